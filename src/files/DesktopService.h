#pragma once

#include <string>
#include <vector>

namespace tarvex {

// Shapes of the screen's mouse pointer the program sets.
enum class PointerShape {
    Default,      // the desktop's own pointer
    HelpQuestion, // arrow with a question mark: help mode is on
};

// What the program asks of the desktop: opening a document or address with
// its default handler, starting a program, and the mouse-pointer shape.
// Programs are started with an argument list, never through a shell, so no
// text of a file can become a command.
class DesktopService {
  public:
    virtual ~DesktopService() = default;

    // A document, folder or web address; true when the desktop took it.
    virtual bool openDocument(const std::string& pathOrUrl) = 0;
    // True when the program was started.
    virtual bool startProgram(const std::string& program,
                              const std::vector<std::string>& arguments) = 0;
    virtual void setPointerShape(PointerShape shape) = 0;
    // A question in a message box with OK and Cancel and the critical-stop
    // icon; true when the user answers OK.
    virtual bool askOkCancel(const std::string& title, const std::string& text) = 0;
};

// Records every request instead of acting on it, for tests: nothing is
// opened or started. Requests whose target is listed in failing report
// failure.
class RecordingDesktopService : public DesktopService {
  public:
    struct Request {
        enum class Kind { Open, Start };
        Kind kind = Kind::Open;
        std::string target; // the document, or the program started
        std::vector<std::string> arguments;
        bool operator==(const Request&) const = default;
    };

    bool openDocument(const std::string& pathOrUrl) override {
        requests.push_back({Request::Kind::Open, pathOrUrl, {}});
        return !Fails(pathOrUrl);
    }
    bool startProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override {
        requests.push_back({Request::Kind::Start, program, arguments});
        return !Fails(program);
    }
    void setPointerShape(PointerShape shape) override { pointers.push_back(shape); }
    bool askOkCancel(const std::string& title, const std::string& text) override {
        questions.push_back({title, text});
        return answerOk;
    }

    struct Question {
        std::string title;
        std::string text;
    };

    std::vector<Request> requests;
    std::vector<Question> questions;    // every question asked, in order
    bool answerOk = false;              // the answer to every question
    std::vector<PointerShape> pointers; // every shape set, in order
    std::vector<std::string> failing;

  private:
    bool Fails(const std::string& target) const {
        for (const std::string& f : failing) {
            if (f == target) return true;
        }
        return false;
    }
};

} // namespace tarvex

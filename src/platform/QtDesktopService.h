#pragma once

#include "files/DesktopService.h"

#include <QString>

namespace tarvex {

// The desktop through the toolkit: documents and addresses go to the
// desktop's default handler, programs are started detached with an argument
// list, and the help pointer is an application-wide override cursor.
class QtDesktopService : public DesktopService {
  public:
    // Relative document paths are taken from documentFolder (the program's
    // folder when empty).
    explicit QtDesktopService(QString documentFolder = {});
    ~QtDesktopService() override;
    QtDesktopService(const QtDesktopService&) = delete;
    QtDesktopService& operator=(const QtDesktopService&) = delete;

    bool openDocument(const std::string& pathOrUrl) override;
    bool startProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override;
    void setPointerShape(PointerShape shape) override;
    bool askOkCancel(const std::string& title, const std::string& text) override;

  private:
    QString documentFolder_;
    bool overridden_ = false; // an override cursor of ours is in force
};

} // namespace tarvex

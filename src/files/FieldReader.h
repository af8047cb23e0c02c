#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarvex {

// A failure of a text reader: what was wrong and the 1-based line where it was
// found. The caller adds the file name.
class TextReadError : public std::runtime_error {
  public:
    TextReadError(int line, const std::string& reason) : std::runtime_error(reason), line_(line) {}
    int Line() const { return line_; }

  private:
    int line_;
};

// Sequential reading of a text held in memory, read once from start to end:
// - ReadLine: the rest of the current line, up to and including its line end;
// - ReadField: the next field; fields are separated by blanks, commas and line
//   ends and run across line ends freely. Blanks after a field, and the comma
//   or line end that ends it, belong to that field, so a field read that
//   starts at a line end has met a blank line: it gives an empty field and
//   consumes that line end;
// - ReadNumber: a field as a number; text that is not a number gives 0, a
//   number too large for single precision, or written as not finite ("nan",
//   "inf"), throws TextReadError;
// - ReadKeyValue: a "key = value" triple known by position alone: two fields
//   are passed over, the third is the number;
// - ReadListField, ReadListNumber, ReadListInteger, ReadListString: list
//   input, whose values may be spread over the lines in any way: blank lines
//   are passed over, and a value that is not a number, or a whole number
//   outside 16 bits, throws TextReadError naming it. Whole numbers are
//   rounded half to even. A list string may be quoted ("a, b"): it then runs
//   to the closing quote, or to the line end when there is none.
// Reading past the end of the text throws TextReadError ("ends early").
class FieldReader {
  public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    std::string_view ReadLine();
    std::string_view ReadField();
    float ReadNumber();
    float ReadKeyValue();
    void SkipLines(int count);
    void SkipFields(int count);

    std::string_view ReadListField();
    float ReadListNumber();
    std::int16_t ReadListInteger();
    std::string_view ReadListString();

    bool AtEnd() const { return pos_ >= text_.size(); }
    // Nothing but blanks and line ends is left.
    bool OnlyBlanksRemain() const;
    // Line of the current position, 1-based.
    int Line() const { return line_; }
    // Line of the last field or line read.
    int LastLine() const { return lastLine_; }
    // The field the last ReadNumber or ReadKeyValue read when it was not a
    // number (it gave 0; empty for a blank line); nothing when it was one.
    std::optional<std::string_view> LastNotANumber() const { return notANumber_; }

    // The number a field stands for: 0 for anything that is not a whole,
    // finite number.
    static float ToNumber(std::string_view field);
    // The same, or nothing for a field that is not a number.
    static std::optional<float> ParseNumber(std::string_view field);
    // A field written as a number whose magnitude single precision cannot
    // hold (1e40); a number too small for it (1e-50) is not too large.
    static bool IsTooLargeNumber(std::string_view field);
    // A field written as a number that is not finite ("nan", "-inf").
    static bool IsNonFiniteNumber(std::string_view field);
    // The finite number the text begins with, after blanks and a "+"; 0 when
    // it begins with none (words such as "nan" and "inf" are not numbers).
    static float LeadingNumber(std::string_view text);

  private:
    [[noreturn]] void EndsEarly() const;
    void SkipBlanks();
    void SkipBlankLines();
    void SkipDelimiter();
    std::size_t SkipDelimiterFrom(std::size_t position);

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int lastLine_ = 1;
    std::optional<std::string_view> notANumber_;
};

// How the read of one text file ended. line is the line of the file where the
// reading stopped (0 when the file could not be opened or no line is to
// blame); path is the file read, or the last one tried.
struct TextFileResult {
    bool ok = false;
    bool missing = false; // there is no file at path
    int line = 0;
    std::string reason;
    std::string path;
};

// Runs parse, which reads with a FieldReader: a TextReadError it throws
// becomes a failed result with its line and reason.
template <typename Parse> TextFileResult GuardedRead(Parse parse) {
    TextFileResult result;
    try {
        parse();
    } catch (const TextReadError& error) {
        result.line = error.Line();
        result.reason = error.what();
        return result;
    }
    result.ok = true;
    return result;
}

// Text of a file quoted in a message: at most maxLength characters (then
// "..."), every character that is not printable ASCII shown as "?".
std::string EchoText(std::string_view text, std::size_t maxLength = 40);

// The lines of a text up to its last one holding more than blanks: blank
// lines at its end are not counted.
int CountTextLines(std::string_view text);

// Text without leading and trailing blanks and tabs.
std::string_view TrimBlanks(std::string_view text);
// ASCII case conversions.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// The largest settings or list file read (they are a few kilobytes), and the
// largest file of any kind read whole.
inline constexpr std::uintmax_t kLargestTextFile = 16u * 1024u * 1024u;
inline constexpr std::uintmax_t kLargestReadFile = 64u * 1024u * 1024u;

// The whole content of a regular file of at most largestBytes, or nothing.
// A pipe or a device is never read (it could block or never end), nor a
// folder or a larger file: refusal (when given) then says why, as it does
// for a file that is there but cannot be opened (with the system's reason).
// It stays empty only when the file does not exist.
std::optional<std::string> ReadTextFile(const std::filesystem::path& path,
                                        std::uintmax_t largestBytes = kLargestReadFile,
                                        std::string* refusal = nullptr);

// Why a file is refused before it is read: a folder, not a regular file, or
// larger than largestBytes; nothing for a file that may be read (or is
// missing).
std::optional<std::string> RefuseBeforeReading(const std::filesystem::path& path,
                                               std::uintmax_t largestBytes);

// A path as a message shows it: a path longer than maxLength keeps its
// beginning and its end (the file name) around "...".
std::string PathForMessage(std::string_view path, std::size_t maxLength = 120);

// Whether text is a text of lines: a failure naming the line of a NUL byte,
// or saying that the lines end in a carriage return alone (with no line feed
// anywhere, the whole text would read as one line).
TextFileResult CheckPlainText(std::string_view text);
// The line-end half of CheckPlainText, for a text known to hold no NUL byte.
TextFileResult CheckLineEnds(std::string_view text);

// Parses the text of the file at path with parse (text -> TextFileResult). A
// file that does not exist gives missing, a file ReadTextFile refuses, or
// whose text CheckPlainText refuses, a failure with its reason; parse is then
// not called.
template <typename Parse>
TextFileResult ParseTextFile(const std::filesystem::path& path, Parse parse,
                             std::uintmax_t largestBytes = kLargestTextFile) {
    TextFileResult result;
    std::string refusal;
    if (const std::optional<std::string> text = ReadTextFile(path, largestBytes, &refusal)) {
        result = CheckPlainText(*text);
        if (result.ok) result = parse(std::string_view(*text));
    } else if (!refusal.empty()) {
        // Present but not a file to read: reported, unlike a missing file.
        result.reason = std::move(refusal);
    } else {
        result.missing = true;
        result.reason = "there is no such file";
    }
    result.path = path.string();
    return result;
}

// The message a user sees for a failed read: which file (kind names it, e.g.
// "configuration file"), the line and what was wrong.
std::string DescribeTextFileFailure(std::string_view kind, const TextFileResult& result);

} // namespace tarvex

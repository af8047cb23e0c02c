#pragma once

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
// - ReadNumber: a field as a number; text that is not a number gives 0;
// - ReadKeyValue: a "key = value" triple known by position alone: two fields
//   are passed over, the third is the number.
// Reading past the end of the text throws TextReadError ("ends early").
class FieldReader {
  public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    std::string_view ReadLine();
    std::string_view ReadField();
    float ReadNumber() { return ToNumber(ReadField()); }
    float ReadKeyValue();
    void SkipLines(int count);
    void SkipFields(int count);

    bool AtEnd() const { return pos_ >= text_.size(); }
    // Line of the current position, 1-based.
    int Line() const { return line_; }
    // Line of the last field or line read.
    int LastLine() const { return lastLine_; }

    // The number a field stands for: 0 for anything that is not a whole,
    // finite number.
    static float ToNumber(std::string_view field);

  private:
    [[noreturn]] void EndsEarly() const;
    void SkipBlanks();

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int lastLine_ = 1;
};

} // namespace tarvex

#include "profile/data/FieldReader.h"

#include <charconv>
#include <cmath>

namespace tarvex {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
bool EndsField(char c) {
    return IsBlank(c) || c == ',' || c == '\n';
}
} // namespace

void FieldReader::EndsEarly() const {
    // Name the file's last line, not the empty one after its final line end.
    const bool afterLineEnd = !text_.empty() && text_.back() == '\n' && line_ > 1;
    throw TextReadError(afterLineEnd ? line_ - 1 : line_, "the file ends early");
}

void FieldReader::SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
}

std::string_view FieldReader::ReadLine() {
    if (AtEnd()) EndsEarly();
    lastLine_ = line_;
    const std::size_t end = text_.find('\n', pos_);
    std::string_view line;
    if (end == std::string_view::npos) {
        line = text_.substr(pos_);
        pos_ = text_.size();
    } else {
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        ++line_;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::string_view FieldReader::ReadField() {
    SkipBlanks();
    if (AtEnd()) EndsEarly();
    lastLine_ = line_;
    if (text_[pos_] == '\n') { // a blank line
        ++pos_;
        ++line_;
        return {};
    }
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !EndsField(text_[pos_])) ++pos_;
    const std::string_view field = text_.substr(start, pos_ - start);
    // The delimiter: blanks, then a comma or a line end.
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        SkipBlanks();
    }
    if (pos_ < text_.size() && text_[pos_] == '\n') {
        ++pos_;
        ++line_;
    }
    return field;
}

float FieldReader::ReadKeyValue() {
    ReadField();
    ReadField();
    return ReadNumber();
}

void FieldReader::SkipLines(int count) {
    for (int i = 0; i < count; ++i) ReadLine();
}

void FieldReader::SkipFields(int count) {
    for (int i = 0; i < count; ++i) ReadField();
}

float FieldReader::ToNumber(std::string_view field) {
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    if (field.empty()) return 0.0f;
    float value = 0.0f;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
        return 0.0f;
    return value;
}

} // namespace tarvex

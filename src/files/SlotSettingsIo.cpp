#include "files/SlotSettingsIo.h"

namespace tarvex {

std::vector<std::string_view> SplitSettingsFields(std::string_view text) {
    std::vector<std::string_view> fields;
    constexpr std::string_view kDelimiters = " ,\t\r\n";
    std::size_t at = text.find_first_not_of(kDelimiters);
    while (at != std::string_view::npos) {
        const std::size_t end = text.find_first_of(kDelimiters, at);
        fields.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) break;
        at = text.find_first_not_of(kDelimiters, end);
    }
    return fields;
}

std::optional<std::string> RefuseSlotText(std::string_view text, int lines) {
    const int count = CountTextLines(text);
    if (count == lines) return std::nullopt;
    return "it holds " + std::to_string(count) + (count == 1 ? " line" : " lines") +
           " where a settings slot holds " + std::to_string(lines) +
           ", so its values would go to the wrong controls";
}

std::string DescribeSlotFailure(const TextFileResult& result) {
    return "The settings slot \"" + PathForMessage(result.path) +
           "\" cannot be recalled: " + result.reason + ". Nothing was changed.";
}

} // namespace tarvex

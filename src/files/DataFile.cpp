#include "files/DataFile.h"

#include <optional>
#include <utility>

namespace tarvex {

namespace {

TextFileResult Report(int line, std::string reason) {
    TextFileResult result;
    result.line = line;
    result.reason = std::move(reason);
    return result;
}

} // namespace

TextFileResult ParseDataFile(std::string_view text, DataTables& tables) {
    FieldReader in(text);
    std::optional<TextFileResult> limit;
    TextFileResult result = GuardedRead([&] {
        while (!in.OnlyBlanksRemain()) {
            float x = in.ReadListNumber();
            if (tables.DataTableCount() == kMaxDataTables) {
                limit = Report(in.LastLine(), "the file holds more than 10 tables; the tables "
                                              "after the 10th are not read");
                return;
            }
            DataTable& table = tables.Tables.emplace_back();
            while (x >= 0.0f) {
                if (table.RowCount() == kMaxDataTableRows) {
                    limit = Report(in.LastLine(),
                                   "table " + std::to_string(tables.DataTableCount()) +
                                       " holds more than 30 rows; the reading stops there");
                    return;
                }
                DataTableRow row;
                row.Key = x;
                for (DataPair& pair : row.Pairs) {
                    pair.First = in.ReadListNumber();
                    pair.Second = in.ReadListNumber();
                }
                table.Rows.push_back(row);
                if (in.OnlyBlanksRemain()) break; // the last table may lack its end mark
                x = in.ReadListNumber();
            }
        }
    });
    if (limit) return *limit;
    if (!result.ok) {
        tables.Tables.clear();
        result.reason += "; no table is used";
    }
    return result;
}

TextFileResult ReadTarvexDat(const std::filesystem::path& folder, DataTables& tables) {
    tables = DataTables();
    return ParseTextFile(folder / "Tarvex.Dat",
                         [&](std::string_view text) { return ParseDataFile(text, tables); });
}

TextFileResult ParseReferenceList(std::string_view text, TrainingTable& table) {
    FieldReader in(text);
    while (!in.AtEnd()) {
        const std::string_view line = TrimBlanks(in.ReadLine());
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            if (table.TrainingCount() == kMaxTrainingSections)
                return Report(in.LastLine(), "the list holds more than 200 sections; the "
                                             "sections after the 200th are not read");
            // The title is the line without its first and last characters.
            table.TrainingKey.push_back(
                UpperCase(TrimBlanks(line.substr(1, line.size() >= 2 ? line.size() - 2 : 0))));
            table.TrainingAction.emplace_back();
            continue;
        }
        table.TrainingAction.back().append(line).push_back('|');
    }
    TextFileResult result;
    result.ok = true;
    return result;
}

TextFileResult GetTraining(const std::filesystem::path& folder, TrainingTable& table) {
    table = TrainingTable();
    return ParseTextFile(folder / "Tarvex.ref",
                         [&](std::string_view text) { return ParseReferenceList(text, table); });
}

} // namespace tarvex

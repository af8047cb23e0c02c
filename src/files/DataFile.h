#pragma once

#include "files/FieldReader.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

inline constexpr int kMaxDataTables = 10;
inline constexpr int kMaxDataTableRows = 30;
inline constexpr int kMaxTrainingSections = 200;

// One pair of a data-table row: its first and second value (the vertical and
// the horizontal map coordinate of a wind-line point).
struct DataPair {
    float First = 0.0f;
    float Second = 0.0f;
    bool operator==(const DataPair&) const = default;
};

struct DataTableRow {
    float Key = 0.0f; // never negative (a wind direction, degrees)
    std::array<DataPair, 4> Pairs{};
    bool operator==(const DataTableRow&) const = default;
};

struct DataTable {
    std::vector<DataTableRow> Rows; // Rows[r - 1] is row r

    int RowCount() const { return static_cast<int>(Rows.size()); }
};

// The numeric tables of the data file "Tarvex.Dat", used by the map panels
// of both windows: at most 10 tables of at most 30 rows.
struct DataTables {
    std::vector<DataTable> Tables; // Tables[t - 1] is table t

    int DataTableCount() const { return static_cast<int>(Tables.size()); }
};

// The training reference list "Tarvex.ref": section titles (upper case) and
// the entries of each section, every entry followed by "|". Index 0 holds
// the entries before the first section header and is never looked up;
// sections 1..TrainingCount follow it, so both vectors are always one
// longer than the count.
struct TrainingTable {
    std::vector<std::string> TrainingKey{std::string()};
    std::vector<std::string> TrainingAction{std::string()};

    int TrainingCount() const { return static_cast<int>(TrainingKey.size()) - 1; }
};

// Parses the data file's numbers into tables, which should be empty: tables
// one after another, each a run of rows (a key of zero or more and eight
// values) ended by a negative number or by the end of the file. Beyond 10
// tables or 30 rows the reading stops with a report, keeping the tables up
// to the limit. Any other fault (a value that is not a number, a file that
// ends inside a row) is reported and keeps no table.
TextFileResult ParseDataFile(std::string_view text, DataTables& tables);

// Reads "Tarvex.Dat" from folder (the program's folder). A missing file
// gives no tables and sets missing; the caller shows nothing for it.
TextFileResult ReadTarvexDat(const std::filesystem::path& folder, DataTables& tables);

// Parses the reference list into table, which should be fresh. Beyond 200
// sections the reading stops with a report, keeping the first 200.
TextFileResult ParseReferenceList(std::string_view text, TrainingTable& table);

// Reads "Tarvex.ref" from folder into a fresh table. A missing file gives an
// empty table and sets missing. The caller also turns help mode
// (TrainingMode) off.
TextFileResult GetTraining(const std::filesystem::path& folder, TrainingTable& table);

} // namespace tarvex

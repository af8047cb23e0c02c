#include "files/DataFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

namespace tarvex {
namespace {

std::string Row(int key) {
    std::string text = std::to_string(key);
    for (int i = 1; i <= 8; ++i) text += " " + std::to_string(key + i);
    return text + "\n";
}

TEST(DataFile, TablesOfRowsEndedByANegativeNumber) {
    DataTables t;
    TextFileResult r = ParseDataFile("5, 1, 2, 3, 4, 5, 6, 7, 8, -1", t);
    ASSERT_TRUE(r.ok) << r.reason;
    ASSERT_EQ(t.DataTableCount(), 1);
    ASSERT_EQ(t.Tables[0].RowCount(), 1);
    const DataTableRow& row = t.Tables[0].Rows[0];
    EXPECT_EQ(row.Key, 5.0f);
    EXPECT_EQ(row.Pairs[0], (DataPair{1, 2}));
    EXPECT_EQ(row.Pairs[3], (DataPair{7, 8}));

    // A zero key is a row; an empty table counts; the last table may end
    // with the file; trailing blank lines add no table.
    t = DataTables();
    r = ParseDataFile("0 1 2 3 4\n5 6 7 8\n-1\n-2\n" + Row(10) + Row(20) + "\n\n  \n", t);
    ASSERT_TRUE(r.ok) << r.reason;
    ASSERT_EQ(t.DataTableCount(), 3);
    EXPECT_EQ(t.Tables[0].Rows[0].Key, 0.0f);
    EXPECT_EQ(t.Tables[1].RowCount(), 0);
    EXPECT_EQ(t.Tables[2].RowCount(), 2);
    EXPECT_EQ(t.Tables[2].Rows[1].Pairs[3].Second, 28.0f);

    t = DataTables();
    EXPECT_TRUE(ParseDataFile("\n \n", t).ok);
    EXPECT_EQ(t.DataTableCount(), 0);
}

TEST(DataFile, LimitsStopTheReadingAndKeepWhatFits) {
    std::string eleven;
    for (int i = 0; i < 11; ++i) eleven += Row(i) + "-1\n";
    DataTables t;
    TextFileResult r = ParseDataFile(eleven, t);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, 21); // the first row of the 11th table
    EXPECT_EQ(t.DataTableCount(), 10);

    std::string long_table;
    for (int i = 0; i < 31; ++i) long_table += Row(i);
    t = DataTables();
    r = ParseDataFile(long_table + "-1\n", t);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, 31);
    ASSERT_EQ(t.DataTableCount(), 1);
    EXPECT_EQ(t.Tables[0].RowCount(), 30);
}

TEST(DataFile, DamagedFileKeepsNoTable) {
    for (const std::string& text :
         {Row(1) + "-1\n" + "2 3 4\n", Row(1) + "-1\n2 3 x 5 6 7 8 9 10\n"}) {
        DataTables t;
        const TextFileResult r = ParseDataFile(text, t);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.line, 3);
        EXPECT_EQ(t.DataTableCount(), 0);
    }
}

TEST(ReferenceList, SectionsCollectTheirEntries) {
    TrainingTable t;
    const TextFileResult r = ParseReferenceList("early.htm\n"
                                                "# a comment\n"
                                                "\n"
                                                "  [ Lake Effect ]  \r\n"
                                                "   lake.htm  \n"
                                                "Page!http://x/y\n"
                                                "[Loop]\n"
                                                "a.htm\n"
                                                "  # not an entry\n"
                                                "b.htm",
                                                t);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(t.TrainingCount(), 2);
    EXPECT_EQ(t.TrainingAction[0], "early.htm|");
    EXPECT_EQ(t.TrainingKey[1], "LAKE EFFECT");
    EXPECT_EQ(t.TrainingAction[1], "lake.htm|Page!http://x/y|");
    EXPECT_EQ(t.TrainingKey[2], "LOOP");
    EXPECT_EQ(t.TrainingAction[2], "a.htm|b.htm|");

    // A lone bracket makes an empty title.
    t = TrainingTable();
    EXPECT_TRUE(ParseReferenceList("[\nx\n", t).ok);
    EXPECT_EQ(t.TrainingKey[1], "");
}

TEST(ReferenceList, StopsAfter200Sections) {
    std::string text;
    for (int i = 1; i <= 201; ++i)
        text += "[w" + std::to_string(i) + "]\ne" + std::to_string(i) + "\n";
    TrainingTable t;
    const TextFileResult r = ParseReferenceList(text, t);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, 401);
    ASSERT_EQ(t.TrainingCount(), 200);
    EXPECT_EQ(t.TrainingKey[200], "W200");
    EXPECT_EQ(t.TrainingAction[200], "e200|");
}

TEST(FilesBesideTheProgram, MissingFilesLeaveEmptyTables) {
    const std::filesystem::path nowhere =
        std::filesystem::temp_directory_path() / "tarvex-no-such-folder";
    DataTables tables;
    tables.Tables.resize(2);
    EXPECT_TRUE(ReadTarvexDat(nowhere, tables).missing);
    EXPECT_EQ(tables.DataTableCount(), 0);
    TrainingTable training;
    training.TrainingKey.push_back("OLD");
    training.TrainingAction.push_back("old|");
    EXPECT_TRUE(GetTraining(nowhere, training).missing);
    EXPECT_EQ(training.TrainingCount(), 0);
}

TEST(FilesBesideTheProgram, AFolderInPlaceOfAFileIsReportedAsAFolder) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tarvex-folder-as-file-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "Tarvex.Dat");
    DataTables tables;
    const TextFileResult r = ReadTarvexDat(folder, tables);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.missing); // reported, unlike a missing file
    EXPECT_EQ(DescribeTextFileFailure("data file", r),
              "The data file \"" + (folder / "Tarvex.Dat").string() +
                  "\" could not be read: it is a folder, not a file.");
    std::filesystem::remove_all(folder);
}

TEST(FilesBesideTheProgram, ShippedFilesRead) {
    const std::filesystem::path shipped = std::filesystem::path(TARVEX_SHIPPED_DATA);
    DataTables tables;
    TextFileResult r = ReadTarvexDat(shipped, tables);
    EXPECT_TRUE(r.ok) << DescribeTextFileFailure("data file", r);
    EXPECT_EQ(tables.DataTableCount(), 7); // one per lake-effect band
    // The map's lookup expects the keys of a table to increase row by row.
    for (const DataTable& table : tables.Tables) {
        EXPECT_GE(table.RowCount(), 2);
        for (std::size_t row = 1; row < table.Rows.size(); ++row)
            EXPECT_LT(table.Rows[row - 1].Key, table.Rows[row].Key);
    }
    TrainingTable training;
    r = GetTraining(shipped, training);
    EXPECT_TRUE(r.ok) << DescribeTextFileFailure("training list", r);
    EXPECT_GT(training.TrainingCount(), 0);
    EXPECT_EQ(training.TrainingAction[0], "");
}

} // namespace
} // namespace tarvex

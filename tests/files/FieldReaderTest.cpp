#include "files/FieldReader.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tarvex {
namespace {

TEST(FieldReader, FieldsRunAcrossLinesAndBlankLinesReadAsEmpty) {
    FieldReader in("1.5 2,3\n  4   \n\n-5e1\r\n6");
    EXPECT_EQ(in.ReadNumber(), 1.5f);
    EXPECT_EQ(in.ReadNumber(), 2.0f);
    EXPECT_EQ(in.ReadNumber(), 3.0f);
    EXPECT_EQ(in.ReadNumber(), 4.0f); // trailing blanks and the line end go with it
    EXPECT_EQ(in.ReadField(), "");    // the blank line
    EXPECT_EQ(in.ReadNumber(), -50.0f);
    EXPECT_EQ(in.ReadNumber(), 6.0f);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_THROW(in.ReadField(), TextReadError);
}

TEST(FieldReader, LineReadTakesTheRestOfTheLine) {
    FieldReader in("SELV = 215.0\nSTIM = 0\r\nnext");
    EXPECT_EQ(in.ReadKeyValue(), 215.0f);
    EXPECT_EQ(in.ReadLine(), "STIM = 0"); // the value's line end went with the value
    EXPECT_EQ(in.Line(), 3);
    EXPECT_EQ(in.ReadLine(), "next");
    try {
        in.ReadLine();
        FAIL() << "read past the end";
    } catch (const TextReadError& e) {
        EXPECT_EQ(e.Line(), 3);
        EXPECT_STREQ(e.what(), "the file ends early");
    }
}

TEST(FieldReader, TextThatIsNotANumberReadsAsZero) {
    EXPECT_EQ(FieldReader::ToNumber("STID"), 0.0f);
    EXPECT_EQ(FieldReader::ToNumber("12abc"), 0.0f);
    EXPECT_EQ(FieldReader::ToNumber("nan"), 0.0f);
    EXPECT_EQ(FieldReader::ToNumber("inf"), 0.0f);
    EXPECT_EQ(FieldReader::ToNumber("1e60"), 0.0f); // beyond a single
    EXPECT_EQ(FieldReader::ToNumber("+7.25"), 7.25f);
    EXPECT_EQ(FieldReader::ToNumber("-9999.00"), -9999.0f);
    EXPECT_EQ(FieldReader::ToNumber(""), 0.0f);
}

// Plain decimals are converted without from_chars; every value must be the
// one from_chars gives, to the bit, on both sides of where the short way
// ends (24-bit digits, nine digits, ten decimals) and across a sweep of
// values as files write them.
TEST(FieldReader, NumbersAreTheCorrectlyRoundedFloat) {
    auto expectSameAsFromChars = [](const std::string& field) {
        float expected = 0.0f;
        const auto [end, error] =
            std::from_chars(field.data(), field.data() + field.size(), expected);
        const std::optional<float> got = FieldReader::ParseNumber(field);
        if (error != std::errc() || end != field.data() + field.size()) {
            EXPECT_FALSE(got) << field;
            return;
        }
        ASSERT_TRUE(got) << field;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(*got), std::bit_cast<std::uint32_t>(expected))
            << field;
    };
    for (const char* field :
         {"16777216", "16777217", "1677721.7", "123456789", "0.123456789", "0.0000000001", "-0.0",
          "1.", ".5", "-.5", ".", "-", "1.2.3", "1e5", "12-3", "0.1", "-9999.00", "3.4028235e38",
          "0.30000001", "99999999", "9.99999999", "1234567890",
          // Ten digits that wrap past 32 bits to a small number.
          "4294967297", "429496.7297"})
        expectSameAsFromChars(field);
    char text[32];
    for (int decimals = 0; decimals <= 4; ++decimals)
        for (int n = -200000; n <= 200000; n += 13) {
            const double value = n / std::pow(10.0, decimals);
            const auto end =
                std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals)
                    .ptr;
            expectSameAsFromChars(std::string(text, end));
        }
}

TEST(FieldReader, ANumberTooLargeOrNotFiniteIsAnError) {
    FieldReader in("1e-50 abc info 3.5e38 1e400 NaN -inf +Infinity\n");
    EXPECT_EQ(in.ReadNumber(), 0.0f); // too small is not too large
    EXPECT_EQ(in.ReadNumber(), 0.0f); // not a number
    EXPECT_EQ(in.ReadNumber(), 0.0f); // a word, though it starts like one
    const std::pair<std::string, const char*> refused[] = {{"3.5e38", "too large"},
                                                           {"1e400", "too large"},
                                                           {"NaN", "not a finite number"},
                                                           {"-inf", "not a finite number"},
                                                           {"+Infinity", "not a finite number"}};
    for (const auto& [field, why] : refused) {
        try {
            in.ReadNumber();
            ADD_FAILURE() << field << " was read";
        } catch (const TextReadError& e) {
            EXPECT_EQ(e.what(), "the number \"" + field + "\" is " + why);
        }
    }
    // Text quoted in a message is printable and short.
    EXPECT_EQ(EchoText(std::string("a\0b\x01", 4)), "a?b?");
    EXPECT_EQ(EchoText(std::string(45, 'x')), std::string(40, 'x') + "...");
}

TEST(FieldReader, ListInputPassesOverBlankLinesAndRejectsText) {
    FieldReader in("1\n\n  \n2.5, 3\n4.5 -2.5 70000 abc \"D, E\" rest\n\n");
    EXPECT_EQ(in.ReadListNumber(), 1.0f);
    EXPECT_EQ(in.ReadListNumber(), 2.5f);
    EXPECT_EQ(in.ReadListInteger(), 3);
    EXPECT_EQ(in.ReadListInteger(), 4);                // half to even
    EXPECT_EQ(in.ReadListInteger(), -2);               // half to even
    EXPECT_THROW(in.ReadListInteger(), TextReadError); // beyond 16 bits
    try {
        in.ReadListNumber();
        FAIL() << "text read as a number";
    } catch (const TextReadError& e) {
        EXPECT_EQ(e.Line(), 5);
        EXPECT_STREQ(e.what(), "\"abc\" is not a number");
    }
    EXPECT_FALSE(in.OnlyBlanksRemain());
    EXPECT_EQ(in.ReadListString(), "D, E");
    EXPECT_EQ(in.ReadListString(), "rest");
    EXPECT_TRUE(in.OnlyBlanksRemain());
    EXPECT_THROW(in.ReadListField(), TextReadError);

    FieldReader unclosed("\"abc\nnext");
    EXPECT_EQ(unclosed.ReadListString(), "abc");
    EXPECT_EQ(unclosed.ReadListString(), "next");
}

// Only regular files are read, within their kind's size, which a refusal
// gives in full; a pipe nobody writes to is refused at once.
TEST(TextFiles, OnlyRegularFilesWithinTheirSizeAreRead) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("tarvex-text-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::string why = "old";
    EXPECT_FALSE(ReadTextFile(folder / "none", kLargestTextFile, &why));
    EXPECT_EQ(why, ""); // missing: nothing to report

    const fs::path huge = folder / "huge";
    std::ofstream(huge) << "x";
    fs::resize_file(huge, kLargestReadFile + 1);
    const std::string tooLarge =
        "the file is 67,108,865 bytes, larger than the 64 MB a file of this kind can be";
    EXPECT_EQ(RefuseBeforeReading(huge, kLargestReadFile), tooLarge);
    EXPECT_FALSE(ReadTextFile(huge, kLargestReadFile, &why));
    EXPECT_EQ(why, tooLarge);
    fs::resize_file(huge, 10);
    EXPECT_EQ(ReadTextFile(huge, 10)->size(), 10u);

    const fs::path pipe = folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const fs::path& path : {pipe, fs::path("/dev/zero")}) {
        EXPECT_FALSE(ReadTextFile(path, kLargestTextFile, &why)) << path;
        EXPECT_EQ(why, "it is not a regular file (a pipe, a device or a socket)") << path;
        EXPECT_EQ(RefuseBeforeReading(path, kLargestTextFile), why) << path;
    }
    EXPECT_FALSE(ReadTextFile(folder, kLargestTextFile, &why));
    EXPECT_EQ(why, "it is a folder, not a file");
    fs::remove_all(folder);
}

TEST(TextFiles, MessagesShortenALongPathAroundItsMiddle) {
    const std::string path = "/data/" + std::string(100000, 'd') + "/eta_KBUF.buf";
    const std::string shown = PathForMessage(path);
    EXPECT_EQ(shown.size(), 120u);
    EXPECT_EQ(shown.substr(0, 6), "/data/");
    EXPECT_NE(shown.find("...d"), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 13), "/eta_KBUF.buf");
    EXPECT_EQ(PathForMessage("/short/path"), "/short/path");
    // A cut never splits a character of several bytes ("\xc3\xa9" is one).
    std::string accents;
    for (int k = 0; k < 100; ++k) accents += "\xc3\xa9";
    EXPECT_EQ(PathForMessage(accents + std::string(100, 'a')).find("...") % 2, 0u);

    TextFileResult failed;
    failed.path = path;
    failed.reason = "it is a folder, not a file";
    EXPECT_LT(DescribeTextFileFailure("settings file", failed).size(), 200u);
}

} // namespace
} // namespace tarvex

#include "profile/data/FieldReader.h"

#include <gtest/gtest.h>

#include <string>
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

} // namespace
} // namespace tarvex

#include "files/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvex {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, UserSwitchNamesTheUserInUpperCase) {
    EXPECT_EQ(GetUserName({}), "tarvex");
    EXPECT_EQ(GetUserName({"/U=smith"}), "SMITH");
    EXPECT_EQ(GetUserName({"/u=smith"}), "SMITH");
    EXPECT_EQ(GetUserName({"\"/U=jones\""}), "JONES");
    EXPECT_EQ(GetUserName({"/U=a b"}), "A"); // up to the first blank
    EXPECT_EQ(GetUserName({"/U="}), "tarvex");
    EXPECT_EQ(GetUserName({"/U= "}), "tarvex");
    EXPECT_EQ(GetUserName({"file.buf", "/U=ann", "/U=bob"}), "ANN");
    // A path that merely contains the letters is not a switch.
    EXPECT_EQ(GetUserName({"/home/u=x/eta_KBUF.buf"}), "tarvex");
}

TEST(CommandLine, OnlyAPlainUserNameNamesFilesAndRelativePathsMeanTheStartFolder) {
    const std::string longest(32, 'A');
    for (const std::string& bad : std::vector<std::string>{"/U=../../ETC/X", "/U=A/B", "/U=C:X",
                                                           "/U=*", "/U=" + longest + "B"}) {
        const CommandLine line = ParseCommandLine({bad});
        EXPECT_EQ(line.UserName, "tarvex") << bad;
        EXPECT_EQ(line.RefusedUserName, bad.substr(3)) << bad;
    }
    EXPECT_TRUE(ParseCommandLine({"/U=A/b"}).TypedUserName.empty());
    const CommandLine good = ParseCommandLine({"/U=j_smith-2"});
    EXPECT_EQ(good.UserName, "J_SMITH-2");
    EXPECT_EQ(good.TypedUserName, "j_smith-2");
    EXPECT_TRUE(good.RefusedUserName.empty());
    EXPECT_EQ(ParseCommandLine({"/U=" + longest}).UserName, longest);
    EXPECT_EQ(DescribeRefusedUserName("../X"),
              "The user name \"../X\" after /U= is not a plain name (at most 32 letters, digits, "
              "\"-\" and \"_\"), so the settings of the user tarvex are used.");

    EXPECT_EQ(ResolveStartPath("runs/ruc_KOKX.buf", "/home/fc"), "/home/fc/runs/ruc_KOKX.buf");
    EXPECT_EQ(ResolveStartPath("/data/ruc_KOKX.buf", "/home/fc"), "/data/ruc_KOKX.buf");
    EXPECT_EQ(ResolveStartPath("", "/home/fc"), "");
}

TEST(CommandLine, FileArgumentKeepsItsCase) {
    EXPECT_EQ(ParseCommandLine({}).FilePath, "");
    CommandLine line = ParseCommandLine({"/U=smith", "  \"/Data/Run 1/eta_kBUF.buf\" "});
    EXPECT_EQ(line.UserName, "SMITH");
    EXPECT_EQ(line.FilePath, "/Data/Run 1/eta_kBUF.buf");
    line = ParseCommandLine({"/data/ngm_KALB.buf", "/U=x", "other.buf"});
    EXPECT_EQ(line.FilePath, "/data/ngm_KALB.buf");
    EXPECT_EQ(line.UserName, "X");
}

TEST(CommandLine, ModelWordOfCurrentAndArchivedFiles) {
    EXPECT_EQ(ModelWordOfFileName("eta_KBUF.buf"), "ETA");
    EXPECT_EQ(ModelWordOfFileName("gfs3_x_KBUF.buf"), "GFS3_X");
    EXPECT_EQ(ModelWordOfFileName("NGM_KALB"), "NGM");
    EXPECT_EQ(ModelWordOfFileName("20240112.ruc_KBUF.buf"), "RUC");
    EXPECT_EQ(ModelWordOfFileName("20240106.eta_KBUF.buf"), "ETAM");
    EXPECT_EQ(ModelWordOfFileName("20240118.Eta_KBUF.buf"), "ETAM");
    EXPECT_EQ(ModelWordOfFileName("20240112.eta_KBUF.buf"), "ETA");
    EXPECT_EQ(ModelWordOfFileName("KBUF.buf"), std::nullopt);
    EXPECT_EQ(ModelWordOfFileName(""), std::nullopt);
}

TEST(CommandLine, ProfileOpensOnlyFilesOfTheFirstEightModels) {
    const Args captions{"eta", "EtaM", "ngm", "ruc", "gfs3", "m5", "m6", "m7", "late"};
    auto request = [&](const std::string& path) {
        CommandLine line;
        line.FilePath = path;
        return CommandProfile(line, captions);
    };
    const auto eta = request("/Data/eta_kbuf.buf");
    ASSERT_TRUE(eta);
    EXPECT_EQ(eta->ModelOption, 0);
    EXPECT_EQ(eta->Path, "/Data/eta_kbuf.buf");
    EXPECT_EQ(eta->Caption, "ETA_KBUF.BUF TARVEX");

    const auto archived = request("C:\\runs\\20240118.eta_KBUF.buf");
    ASSERT_TRUE(archived);
    EXPECT_EQ(archived->ModelOption, 1);
    EXPECT_EQ(archived->Caption, "20240118.ETA_KBUF.BUF TARVEX");

    EXPECT_FALSE(request("late_KBUF.buf")); // option 8 is not searched
    EXPECT_FALSE(request("avn_KBUF.buf"));
    EXPECT_FALSE(request("/data/KBUF.buf")); // no model word
    EXPECT_FALSE(request("a_b.x"));          // shorter than 6
    EXPECT_TRUE(request("m7_b.x"));
    EXPECT_FALSE(request(""));
}

} // namespace
} // namespace tarvex

#include "files/SoundingFiles.h"
#include "files/Session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class SoundingFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tarvex-files-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // A file written ageHours before a fixed moment, so that tests can order
    // files by modification time.
    void Touch(const std::string& name, int ageHours = 0) {
        std::ofstream(folder_ / name) << "x";
        fs::last_write_time(folder_ / name, base_ - std::chrono::hours(ageHours));
    }

    Strings Names(const std::vector<FolderEntry>& files) {
        Strings names;
        for (const FolderEntry& f : files) names.push_back(f.Name);
        return names;
    }

    fs::path folder_;
    const fs::file_time_type base_ = fs::file_time_type::clock::now() - std::chrono::hours(1000);
};

// --- Listing -----------------------------------------------------------------

TEST(SoundingFilePattern, WildCardsIgnoreCase) {
    EXPECT_TRUE(MatchesPattern("20240101.eta_kbuf.buf", "*.*_*.buf"));
    EXPECT_FALSE(MatchesPattern("eta_kbuf.buf", "*.*_*.buf")); // no "." before the "_"
    EXPECT_TRUE(MatchesPattern("eta_KBUF.BUF", "ETA_*.buf"));
    EXPECT_TRUE(MatchesPattern("etavex.buf", "etavex.*"));
    EXPECT_TRUE(MatchesPattern("abc", "a?c"));
    EXPECT_FALSE(MatchesPattern("ac", "a?c"));
    // "*" may stand for nothing, and must give back what the rest needs.
    EXPECT_TRUE(MatchesPattern("ab.buf", "ab*.buf"));
    EXPECT_TRUE(MatchesPattern("axbxbc", "a*b*c"));
    EXPECT_FALSE(MatchesPattern("axbxb", "a*b*c"));
    EXPECT_FALSE(MatchesPattern("eta_kbuf.bufx", "eta_*.buf"));
}

TEST_F(SoundingFolder, ListsMatchingFilesByNameWithTheirRealPaths) {
    Touch("ngm_kbuf.buf");
    Touch("ETA_KALB.BUF");
    Touch("eta_kbuf.buf");
    fs::create_directories(folder_ / "eta_dir.buf"); // folders are not files
    const std::vector<FolderEntry> files = ListFolder(folder_, "eta_*.buf");
    EXPECT_EQ(Names(files), (Strings{"ETA_KALB.BUF", "eta_kbuf.buf"}));
    EXPECT_EQ(files[0].Path, folder_ / "ETA_KALB.BUF");
    EXPECT_TRUE(ListFolder(folder_ / "missing", "*").empty());
}

TEST_F(SoundingFolder, FindsAFileIgnoringCaseAndNamesAMissingOneAsAskedFor) {
    Touch("eta_kbuf.buf");
    EXPECT_EQ(FindInFolder(folder_, "ETA_KBUF.buf"), folder_ / "eta_kbuf.buf");
    EXPECT_EQ(FindInFolder(folder_, "eta_kalb.buf"), folder_ / "eta_kalb.buf");
    // An exact match wins over one that differs in case.
    Touch("ETA_KBUF.BUF");
    EXPECT_EQ(FindInFolder(folder_, "ETA_KBUF.BUF"), folder_ / "ETA_KBUF.BUF");
}

// --- Models ------------------------------------------------------------------

TEST(ModelChoice, KnownCodeSetsFolderAndParametersUnknownKeepsThem) {
    Session session;
    session.models.ModelCaptions = {"gfs3", "Local"};
    session.models.ModelCodes = {"gfs3", "wrf"};
    session.profile->FileTail = "old";
    SoundingSelection selection;
    ModelParameters parameters;

    ChooseModel(session, selection, parameters, "/data/current/", 1);
    EXPECT_EQ(selection.CurrentModelName, "Local");
    EXPECT_EQ(selection.ListFolder, ""); // the current folder until a known code
    EXPECT_EQ(session.profile->ModelChoice, 1);
    EXPECT_TRUE(session.profile->FileTail.empty());

    ChooseModel(session, selection, parameters, "/data/current/", 0);
    EXPECT_EQ(selection.ListFolder, "/data/current/");
    EXPECT_EQ(parameters.HoursPerColumn, 3);
    EXPECT_EQ(session.HoursPerColumn, 1); // the hours per column follow the file read next

    ChooseModel(session, selection, parameters, "/elsewhere/", 1);
    EXPECT_EQ(selection.ListFolder, "/data/current/");
    EXPECT_EQ(parameters.TimeLabelEvery, 4);
}

// --- Sites -------------------------------------------------------------------

TEST_F(SoundingFolder, TheNewerFamilyGivesTheSite) {
    Touch("ETA_BUF.buf", 1);
    Touch("ETAvex.BUF", 2);
    EXPECT_EQ(SoundingSites(folder_, "ETA"), (Strings{"BUF"}));
    Touch("ETAvex.BUF", 0);
    EXPECT_EQ(SoundingSites(folder_, "ETA"), (Strings{"BUF'"}));
    Touch("ETA_BUF.buf", 0); // equal times: the second family
    EXPECT_EQ(SoundingSites(folder_, "ETA"), (Strings{"BUF'"}));
}

TEST_F(SoundingFolder, SitesOfEitherFamilyAlone) {
    Touch("eta_KBUF.buf");
    Touch("etavex.ALB");
    Touch("etavex.BUF"); // three letters never pair with a four-letter site
    Touch("etavex.");    // no site
    Touch("ngm_KROC.buf");
    EXPECT_EQ(SoundingSites(folder_, "eta"), (Strings{"KBUF", "ALB'", "BUF'"}));
}

TEST(SiteButtons, ConfiguredSitesTakeButtonsTheRestGoToTheList) {
    const SiteList list =
        AssignSiteButtons({"KBUF", "XABC", "kroc'", "KALB"}, {"ABC", "NONE", "KBUF"});
    EXPECT_EQ(list.Buttons[0], "XABC"); // containment, ignoring case
    EXPECT_FALSE(list.Buttons[1]);
    EXPECT_EQ(list.Buttons[2], "KBUF");
    EXPECT_EQ(list.ListSites, (Strings{"KROC'", "KALB"}));
    EXPECT_TRUE(list.ButtonEnabled(kListSiteButton));
    EXPECT_FALSE(list.ButtonEnabled(1));
    EXPECT_FALSE(list.ButtonEnabled(17));
}

TEST(SiteButtons, WithoutAConfiguredMatchEverySiteIsListed) {
    const SiteList list = AssignSiteButtons({"KBUF", "KALB"}, {"XYZ"});
    EXPECT_EQ(list.ListSites, (Strings{"KBUF", "KALB"}));
    EXPECT_EQ(list.ButtonToPress(-1), kListSiteButton);
}

TEST(SiteButtons, ButtonToPress) {
    const SiteList list = AssignSiteButtons({"KBUF", "KALB"}, {"NONE", "KALB", "KBUF"});
    EXPECT_EQ(list.ButtonToPress(-1), 1);
    EXPECT_EQ(list.ButtonToPress(2), 2); // the site chosen before, still there
    EXPECT_EQ(list.ButtonToPress(0), 1); // chosen before, now disabled
    EXPECT_EQ(AssignSiteButtons({}, {"KBUF"}).ButtonToPress(-1), -1);
}

TEST_F(SoundingFolder, ChoosingASiteNamesItsFileAndCaption) {
    Touch("eta_kbuf.buf");
    Touch("etavex.alb");
    SoundingSelection selection;
    selection.CurrentModelName = "ETA";
    selection.ListFolder = folder_.string();
    const SiteList list = SitesForModel(selection, {"KBUF", "ALB"});
    EXPECT_EQ(list.Buttons[0], "KBUF");
    EXPECT_EQ(list.Buttons[1], "ALB'");

    const SiteChoice plain = ChooseSite(selection, "KBUF", 0);
    EXPECT_EQ(plain.Path, folder_ / "eta_kbuf.buf");
    EXPECT_EQ(plain.WindowCaption, "KBUF - ETA - TARVEX");
    EXPECT_EQ(selection.SelectedSiteButton, 0);

    const SiteChoice second = ChooseSite(selection, "ALB'", 1);
    EXPECT_EQ(second.Path, folder_ / "etavex.alb");
    EXPECT_EQ(selection.CurrentSite, "ALB'");
}

// --- Archived runs -------------------------------------------------------------

TEST(EtaRule, OffHourEtaRunsBelongToEtaM) {
    EXPECT_EQ(ApplyEtaRule("eta", "20240118.eta_kbuf.buf"), "EtaM");
    EXPECT_EQ(ApplyEtaRule("ETA", "20240106.eta_kbuf.buf"), "EtaM");
    EXPECT_EQ(ApplyEtaRule("eta", "20240112.eta_kbuf.buf"), "eta");
    EXPECT_EQ(ApplyEtaRule("ngm", "20240118.ngm_kbuf.buf"), "ngm");
    EXPECT_EQ(ApplyEtaRule("eta", "2024"), "eta");
    EXPECT_EQ(ArchiveModelFor("EtaM"), "eta");
    EXPECT_EQ(ArchiveModelFor("ngm"), "ngm");
}

TEST_F(SoundingFolder, ArchiveListsNewestFirstWithTheirTexts) {
    Touch("24010100.eta_kbuf.buf");
    Touch("24010112.eta_kbuf.buf");
    Touch("24010112.eta_kalb.buf");
    Touch("24010100.ngm_kbuf.buf");
    Touch("eta_kbuf.buf");

    const ArchiveList site = SeedModelSite(folder_, "eta", "KBUF'");
    EXPECT_EQ(site.Label, "eta for KBUF");
    EXPECT_EQ(site.Entries, (Strings{"24010112", "24010100"}));

    const ArchiveList model = SeedModel(folder_, "eta");
    EXPECT_EQ(model.Label, "All eta");
    EXPECT_EQ(model.Entries, (Strings{"24010112 kbuf", "24010112 kalb", "24010100 kbuf"}));

    const ArchiveList all = SeedAll(folder_);
    EXPECT_EQ(all.Entries, (Strings{"24010112 eta kbuf", "24010112 eta kalb", "24010100 ngm kbuf",
                                    "24010100 eta kbuf"}));
}

TEST_F(SoundingFolder, NamesNotInTheArchivedFormListWithoutFault) {
    Touch("a_b.c_d.buf");
    Touch("x.y_.buf");
    const ArchiveList all = SeedAll(folder_);
    EXPECT_EQ(all.Entries, (Strings{"x.y_.buf  ", "a_b.c_d.  b.c_d"}));
}

TEST(ArchivePick, EachListBuildsTheFileNameAndModel) {
    SoundingSelection selection;
    selection.ArchiveModel = "eta";
    selection.CurrentSite = "KBUF'";

    PickArchivedRun(selection, ArchiveListKind::ModelSite, "24010112");
    EXPECT_EQ(selection.SelectedFileName, "24010112.eta_KBUF.buf");
    EXPECT_EQ(selection.SelectedFileModel, "eta");

    PickArchivedRun(selection, ArchiveListKind::Model, "24010118 kalb");
    EXPECT_EQ(selection.SelectedFileName, "24010118.eta_kalb.buf");
    EXPECT_EQ(selection.SelectedFileModel, "EtaM");

    PickArchivedRun(selection, ArchiveListKind::All, "24010100 gfs3 kroc");
    EXPECT_EQ(selection.SelectedFileName, "24010100.gfs3_kroc.buf");
    EXPECT_EQ(selection.SelectedFileModel, "gfs3");
}

TEST(FileNameWords, ModelAndSiteComeFromTheNameNotTheFolder) {
    EXPECT_EQ(ModelOfFileName("/runs/a.b/24010118.eta_kbuf.buf"), "ETA");
    EXPECT_FALSE(ModelOfFileName("/runs/a.b/eta_kbuf.buf"));
    EXPECT_FALSE(ModelOfFileName("/runs/x_y/plain.buf"));
    EXPECT_EQ(SiteOfFileName("/runs/24010118.eta_kbuf.buf"), "kbuf");
    EXPECT_FALSE(SiteOfFileName("/runs/x_y/plain.buf"));
    EXPECT_FALSE(SiteOfFileName("/runs/eta_kbuf"));
}

TEST(DialogPick, ModelOfTheNameOrTheModelInUse) {
    SoundingSelection selection;
    selection.CurrentModelName = "ngm";
    selection.SelectedFileModel = "eta"; // from an earlier pick
    const fs::path chosen = fs::path("/runs") / "24010112.ruc_kbuf.buf";
    EXPECT_EQ(PickDialogFile(selection, chosen), (fs::path("/runs") / "").string());
    EXPECT_EQ(selection.SelectedFileName, chosen.string());
    EXPECT_EQ(selection.SelectedFileModel, "RUC");

    // A current file's name gives its model too, so that an ruc file picked
    // while ngm is chosen is read with the ruc layout.
    PickDialogFile(selection, fs::path("/samples") / "ruc_KOKX.buf");
    EXPECT_EQ(selection.SelectedFileModel, "RUC");

    PickDialogFile(selection, fs::path("/runs") / "sounding.buf");
    EXPECT_EQ(selection.SelectedFileModel, "ngm");
}

TEST_F(SoundingFolder, SelectFileSwitchesModelAndNamesTheFile) {
    Touch("24010118.eta_kbuf.buf");
    ModelTable models;
    models.ModelCaptions = {"ETA", "NGM", "RUC", "GFS3", "a", "b", "c", "d", "Late"};
    SoundingSelection selection;
    selection.CurrentModelName = "ETA";
    selection.SelectedFileName = "24010118.eta_KBUF.buf";

    selection.SelectedFileModel = "eta";
    FileLoad load = PlanSelectFile(selection, models, folder_, false);
    EXPECT_FALSE(load.ModelOption);
    EXPECT_EQ(load.Path, folder_ / "24010118.eta_kbuf.buf");
    EXPECT_EQ(load.WindowCaption, "24010118.ETA_KBUF TARVEX");
    EXPECT_EQ(load.Site, "KBUF");

    selection.SelectedFileModel = "ruc";
    EXPECT_EQ(PlanSelectFile(selection, models, folder_, false).ModelOption, 2);
    selection.SelectedFileModel = "late"; // option 8 is not searched
    EXPECT_FALSE(PlanSelectFile(selection, models, folder_, false).ModelOption);

    selection.SelectedFileName = "/runs/eta_kbuf.buf";
    load = PlanSelectFile(selection, models, folder_, true);
    EXPECT_EQ(load.Path, fs::path("/runs/eta_kbuf.buf"));
    EXPECT_EQ(load.WindowCaption, "/runs/eta_kbuf.buf TARVEX");
}

} // namespace
} // namespace tarvex

#pragma once

// The main window offscreen with a generated run loaded, and its overview:
// the fixture of the overview window's tests.

#include "SampleSounding.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "overview/fields/RedrawHub.h"
#include "overview/ui/FrmOverView.h"
#include "platform/PictureBox.h"
#include "platform/RecordingSurface.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QPushButton>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace tarvex {

// The window's three pictures drawn again, as its last redraw drew them, on
// recording surfaces of the sizes they show.
struct RecordedOverview {
    RecordingSurface rh;
    RecordingSurface left;
    RecordingSurface right;
};
inline std::unique_ptr<RecordedOverview> RecordOverview(Session& session, FrmOverView& w) {
    const auto size = [](const PictureBox* box) {
        return RecordingSurface(box->Surface().PixelWidth(), box->Surface().PixelHeight());
    };
    auto r = std::unique_ptr<RecordedOverview>(
        new RecordedOverview{size(w.picRH), size(w.picLeft), size(w.picRight)});
    OverviewAxes axes = w.axes;
    OverviewContext ctx{
        session, w.options, axes, r->rh, r->left, r->right, DateTime::FromParts(2024, 1, 15, 12, 0),
        {}};
    ::tarvex::RedrawOverview(ctx, false);
    return r;
}

// Lines, boxes, circles, points and texts a recording holds.
inline std::size_t DrawnCount(const RecordingSurface& pic) {
    std::size_t count = 0;
    for (const DrawOperation& op : pic.Operations())
        count += op.kind != DrawOperation::Kind::Clear &&
                 op.kind != DrawOperation::Kind::SetPicture &&
                 op.kind != DrawOperation::Kind::TakePicture;
    return count;
}

// What picRH draws beside the humidity shading (left off for the count).
inline std::size_t DrawnOverShading(Session& session, FrmOverView& w) {
    const std::array<bool, 2> shading = w.options.chkRH;
    w.options.chkRH = {false, false};
    const std::size_t count = DrawnCount(RecordOverview(session, w)->rh);
    w.options.chkRH = shading;
    return count;
}

// The main window offscreen with a generated run loaded, and its overview.
class Overview : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvex-overview-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        session_.models.ModelCodes = {"eta"};
        main_ = std::make_unique<FrmProfile>(session_, desktop_);
        main_->SetSettingsBase(folder_.string());
        main_->show();
    }
    void TearDown() override {
        main_.reset();
        std::filesystem::remove_all(folder_);
    }

    void Load(samples::Atmosphere atmosphere, int month, int times = 85) {
        samples::SampleSpec spec;
        spec.times = times;
        spec.atmosphere = atmosphere;
        spec.month = month;
        Load(spec);
    }
    void Load(const samples::SampleSpec& spec) {
        const std::filesystem::path path = folder_ / ("eta_" + spec.site + ".buf");
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        ASSERT_TRUE(main_->LoadSoundingFile(path.string()));
    }

    FrmOverView& Open() {
        main_->btnOverView->click();
        FrmOverView* window = main_->Overview();
        EXPECT_NE(window, nullptr);
        window->afterRedraw = [this] { ++redraws_; };
        redraws_ = 0;
        return *window;
    }

    // The window's three pictures drawn again on recording surfaces.
    std::unique_ptr<RecordedOverview> Record(FrmOverView& w) { return RecordOverview(session_, w); }

    static int OverviewWindows() {
        int count = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            count += dynamic_cast<FrmOverView*>(w) != nullptr;
        return count;
    }

    Session session_;
    RecordingDesktopService desktop_;
    std::unique_ptr<FrmProfile> main_;
    std::filesystem::path folder_;
    int redraws_ = 0;
};

} // namespace tarvex

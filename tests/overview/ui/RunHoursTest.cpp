#include "OverviewWindowFixture.h"
#include "platform/EverySampleHour.h"

#include "files/ConfigFile.h"
#include "overview/fields/TimeAxis.h"
#include "platform/Controls.h"
#include "platform/Format.h"

#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace tarvex {
namespace {

namespace fs = std::filesystem;

long HoursInto(const ProfileArrays& s, int column) {
    const int m = s.CurrentModel;
    return s.ValidTime(m, column).HoursAfter(s.ValidTime(m, 0));
}

// Every label of the time strip of w's time window that stands on a column
// of the run reads that column's own valid time; marks fall every 6 hours of
// an hourly run and every 12 of a three-hourly one, and the time grid's wide
// lines stand on them. Returns the labels checked.
int ExpectTimeLabelsOfTheFile(Session& session, FrmOverView& w) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const int last = s.LastTime(m);
    const int offset = session.config.TimeZoneOffset;
    RecordingSurface strip(w.picTime->width(), w.picTime->height());
    DrawTimeAxis(strip, s, w.axes, TimeAxisSettingsOf(session));
    int checked = 0;
    long previousHours = -1;
    std::set<int> marks;
    for (const DrawOperation& op : strip.OperationsOf(DrawOperation::Kind::Text)) {
        const int column = static_cast<int>(std::lround(op.state.labelAnchor.x));
        if (column < 0 || column > last) continue;
        const DateTime valid = s.ValidTime(m, column);
        if (op.text.back() == 'z') {
            EXPECT_EQ(op.text, Format(valid, "hhz")) << "column " << column;
            const long hours = HoursInto(s, column);
            if (previousHours >= 0) {
                EXPECT_EQ(hours - previousHours, session.HoursPerColumn >= 3 ? 12 : 6);
            }
            previousHours = hours;
            if (column < w.axes.ScaleLeftColumn) marks.insert(column);
        } else {
            EXPECT_EQ(op.text, Format(valid.AddHours(-offset), "ddd ha/p").erase(2, 1))
                << "column " << column;
        }
        ++checked;
    }
    w.options.chkGridTime = true;
    std::set<int> wide;
    for (const DrawOperation& op :
         RecordOverview(session, w)->rh.OperationsOf(DrawOperation::Kind::Line))
        if (op.state.drawWidth == 2 && op.x1 <= last) wide.insert(static_cast<int>(op.x1));
    w.options.chkGridTime = false;
    EXPECT_EQ(wide, marks);
    return checked;
}

// The "Now" line stands between the column of the present time and the next.
void ExpectNowBetweenItsColumns(Session& session, FrmOverView& w, int column) {
    const ProfileArrays& s = *session.profile;
    const DateTime now = s.ValidTime(s.CurrentModel, column).AddHours(session.HoursPerColumn - 1);
    const TimeAxisSettings settings = TimeAxisSettingsOf(session);
    RecordingSurface rh(400, 300), left(50, 300), right(50, 300);
    OverviewContext ctx{session,
                        w.options,
                        w.axes,
                        rh,
                        left,
                        right,
                        now.AddHours(settings.ClockIsLocal ? -settings.UtcOffsetHours : 0),
                        {}};
    PlotNow(ctx);
    const auto lines = rh.OperationsOf(DrawOperation::Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].x1, column + 0.5);
}

// Each shipped run, hourly and three-hourly: the main window's hour label of
// every column (stepped by the animation), the overview's time labels and its
// "Now" line, all by the file's own valid times.
TEST_F(Overview, EveryShippedRunCountsItsHoursByItsOwnTimes) {
    ASSERT_TRUE(ReadConfig(TARVEX_SHIPPED_DATA, "tarvex", session_.config).ok);
    int labels = 0;
    int threeHourly = 0;
    for (const fs::path& file : test::ShippedSamples()) {
        SCOPED_TRACE(file.filename().string());
        ASSERT_TRUE(test::UseModelOfSample(session_, file));
        ASSERT_TRUE(main_->LoadSoundingFile(file.string()));
        const ProfileArrays& s = *session_.profile;
        const int last = s.LastTime(s.CurrentModel);
        threeHourly += HoursInto(s, 1) == 3;
        main_->vsbHour->setValue(last);
        for (int c = 0; c <= last; ++c) {
            main_->timerAutoDisplay_Timer(); // from the last column round to c
            ASSERT_EQ(main_->vsbHour->value(), c);
            EXPECT_EQ(main_->lblHour->text().toStdString(), std::to_string(HoursInto(s, c)));
        }
        if (main_->Overview())
            main_->UpdateOverview();
        else
            main_->btnOverView->click();
        FrmOverView& w = *main_->Overview();
        for (QPushButton* hours : w.btnHours) {
            hours->click();
            labels += ExpectTimeLabelsOfTheFile(session_, w);
        }
        ExpectNowBetweenItsColumns(session_, w, last / 2);
    }
    EXPECT_EQ(threeHourly, 6); // three ngm and three gfs3 runs
    EXPECT_GT(labels, 400);
}

// A generated run of every model: three-hourly times give three hours a
// column under any model's name, a single time the model's own step; times
// that step unevenly are refused, naming the file and the first uneven time,
// and the run shown before stays with its hours.
TEST_F(Overview, TheFileTimesGiveTheHoursPerColumn) {
    // A run of the model, with one text in it replaced when asked.
    const auto write = [this](const std::string& model, int times, int step,
                              const std::string& from = "", const std::string& to = "") {
        samples::SampleSpec spec;
        spec.layout = model;
        spec.times = times;
        spec.hoursPerTime = step;
        spec.levels = 20;
        std::string text = samples::MakeSoundingText(spec);
        if (!from.empty()) text.replace(text.find(from), from.size(), to);
        const fs::path path = folder_ / (model + "_KBUF.buf");
        std::ofstream(path, std::ios::binary) << text;
        EXPECT_TRUE(test::UseModelOfSample(session_, path));
        return path;
    };
    for (const std::string model : {"eta", "ngm", "ruc", "gfs3"}) {
        SCOPED_TRACE(model);
        ASSERT_TRUE(main_->LoadSoundingFile(write(model, 7, 3).string()));
        EXPECT_EQ(session_.HoursPerColumn, 3);
        EXPECT_EQ(session_.TimeLabelEvery, 4);
        main_->vsbHour->setValue(6);
        EXPECT_EQ(main_->lblHour->text().toStdString(), "18");
        ASSERT_TRUE(main_->LoadSoundingFile(write(model, 1, 3).string()));
        EXPECT_EQ(session_.HoursPerColumn, model == "gfs3" ? 3 : 1);
        EXPECT_EQ(session_.TimeLabelEvery, model == "gfs3" ? 4 : 6);
    }
    ASSERT_TRUE(main_->LoadSoundingFile(write("gfs3", 5, 1).string()));
    EXPECT_EQ(session_.HoursPerColumn, 1);
    EXPECT_EQ(session_.TimeLabelEvery, 6);
    ASSERT_TRUE(main_->LoadSoundingFile(write("eta", 4, 6).string()));
    EXPECT_EQ(session_.TimeLabelEvery, 2);

    // The fourth time an hour late: 6 h, 6 h, then 7 h.
    const fs::path uneven = write("eta", 5, 6, "TIME = 261210/0600", "TIME = 261210/0700");
    std::string message;
    main_->SetMessageHandler([&message](const std::string& m) { message = m; });
    EXPECT_FALSE(main_->LoadSoundingFile(uneven.string()));
    EXPECT_NE(message.find(uneven.filename().string()), std::string::npos) << message;
    EXPECT_NE(message.find(": the time 261210/0700 of forecast time 4 comes 7 hours after the "
                           "time before, where the run steps by 6 hours (a run's times must be "
                           "evenly spaced)."),
              std::string::npos)
        << message;
    EXPECT_EQ(session_.HoursPerColumn, 6);
    EXPECT_EQ(session_.profile->LastTime(session_.profile->CurrentModel), 3);
}

} // namespace
} // namespace tarvex

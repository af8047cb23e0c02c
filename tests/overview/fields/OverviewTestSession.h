#pragma once

// A session holding a small hand-made run for the overview's tests: model 1,
// hourly columns from 21 UTC on 9 December 2026, levels at 1000, 900, ...,
// 100 mb, and pictures that record what is drawn.

#include "files/Session.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/fields/OverviewState.h"
#include "platform/RecordingSurface.h"

#include <functional>

namespace tarvex::test {

struct OverviewTestSession {
    Session session;
    OverviewOptions options;
    OverviewAxes axes;
    RecordingSurface picRH{500, 300};
    RecordingSurface picLeft{60, 300};
    RecordingSurface picRight{60, 300};
    OverviewContext ctx{session, options, axes, picRH, picLeft, picRight, {}, {}};

    static constexpr int kModel = 1;
    static constexpr int kLevels = 10;

    explicit OverviewTestSession(int lastTime = 12) {
        ProfileArrays& s = *session.profile;
        s.CurrentModel = kModel;
        s.LastTime(kModel) = static_cast<std::int16_t>(lastTime);
        s.LevelCount(kModel) = kLevels;
        for (int t = 0; t <= lastTime; ++t) {
            s.ValidTime(kModel, t) = DateTime::FromParts(2026, 12, 9, 21).AddHours(t);
            s.SurfacePressure(kModel, t) = 1000.0f;
            for (int k = 0; k <= kLevels; ++k)
                s.Pressure(kModel, t, k) = k == 0 ? 1000.0f : 1100.0f - 100.0f * k;
        }
        session.heightGrid.HeightGridPressureFt.fill(0);
        for (int k = 0; k <= 70; ++k)
            session.heightGrid.HeightGridPressureFt[k] = static_cast<std::int16_t>(1000 - 12 * k);
        for (int k = 0; k <= 20; ++k)
            session.heightGrid.HeightGridPressureKm[k] = static_cast<std::int16_t>(1000 - 40 * k);
        SetLevelLogPressures(s, axes);
        StartProfileScale(axes, kModel, 100);
        SetTimeWindow(axes, lastTime + 1, 0);
    }

    // Sets a field of the model at every column and level 1..count.
    void Fill(LevelField& field, const std::function<float(int t, int k)>& value) {
        const ProfileArrays& s = *session.profile;
        for (int t = 0; t <= s.LastTime(kModel); ++t)
            for (int k = 1; k <= kLevels; ++k) field(kModel, t, k) = value(t, k);
    }
};

} // namespace tarvex::test

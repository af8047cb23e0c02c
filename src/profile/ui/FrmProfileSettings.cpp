// The four display-settings slots of the main window: "Save" writes the
// state of the display controls into the slot's file, "Recall" reads it back
// and sets the controls as a user would, with one redraw at the end.
#include "compute/Levels.h"
#include "files/DerivedFields.h"
#include "files/DisplaySettingsFile.h"
#include "files/ScaleBounds.h"
#include "files/Session.h"
#include "files/SlotSettingsIo.h"
#include "files/TrainingHook.h"
#include "platform/Controls.h"
#include "platform/Format.h"
#include "profile/ui/FrmProfile.h"
#include "profile/ui/HodographPanel.h"
#include "profile/ui/LakeEffectPanel.h"
#include "profile/ui/PrecipTypeControls.h"

#include <QCheckBox>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

constexpr int kSlots = 4;

} // namespace

DisplaySettings FrmProfile::CollectDisplaySettings() const {
    const ProfileArrays& s = *session_.profile;
    const SoundingExtras& e = view_.extras;
    const TemperatureAxisEnds& axis = session_.temperatureAxis;
    DisplaySettings d;
    d.chkWindVector = FromCheckState(chkWindVector);
    d.ColorWinds = SlotFlag(e.ColorWinds);
    d.DigitalWindStyle = SlotFlag(e.DigitalWindStyle);
    d.chkWindDigital = FromCheckState(chkWindDigital);
    d.ChkOmega = FromCheckState(ChkOmega);
    d.OmegaFiltered = SlotFlag(e.OmegaFiltered);
    d.chk10MWind = FromCheckState(chk10MWind);
    d.chkRH = FromCheckState(chkRH);
    d.chkWetBulb = FromCheckState(chkWetBulb);
    d.chkInversions = FromCheckState(chkInversions);
    d.chkSnowGrowth = FromCheckState(chkSnowGrowth);
    d.chksWSYMb = FromCheckState(chksWSYMb);
    d.chkSkewT = FromCheckState(chkSkewT);
    d.chkLines = FromCheckState(chkLines);
    d.chkDryAdiabats = FromCheckState(chkDryAdiabats);
    d.chkClouds = FromCheckState(chkClouds);
    d.VWPInterval = e.VWPInterval;
    d.VWPIntervalA = e.VWPIntervalA;
    d.UseVWPIntervalA = e.UseVWPIntervalA;
    d.VerticalUnit = view_.VerticalUnit;
    d.MomentumXferIndex = e.MomentumXferIndex;
    d.SkewTLeftTemp = axis.SkewTLeftTemp;
    d.ProfileLeftTemp = axis.ProfileLeftTemp;
    d.LeftTemp = axis.LeftTemp;
    d.SkewTRightTemp = axis.SkewTRightTemp;
    d.ProfileRightTemp = axis.ProfileRightTemp;
    d.RightTemp = axis.RightTemp;
    d.TopPressure = s.DiagramTopPressure;
    d.chkLakeIndex = FromCheckState(lakePanel_->chkLakeIndex);
    d.vsbLakeF = static_cast<std::int16_t>(lakePanel_->vsbLakeF->Value());
    d.chkMoistLakeIndex = FromCheckState(lakePanel_->chkMoistLakeIndex);
    d.chkLIC = FromCheckState(lakePanel_->chkLIC);
    d.chkLCL = FromCheckState(chkLCL);
    d.chkECAPE = FromCheckState(chkECAPE);
    d.chkCCL = FromCheckState(chkCCL);
    d.chkConvectiveTemp = FromCheckState(chkConvectiveTemp);
    d.chkWBZ = FromCheckState(chkWBZ);
    d.chkLFC = FromCheckState(chkLFC);
    d.chkEQL = FromCheckState(chkEQL);
    d.chkParcel = FromCheckState(chkParcel);
    d.chkCINS = FromCheckState(chkCINS);
    d.ActivePanel = activePanel_;
    for (std::size_t k = 0; k < chkAngle.size(); ++k) d.chkAngle[k] = FromCheckState(chkAngle[k]);
    d.chkBrightBand = FromCheckState(chkBrightBand);
    d.chkSigmaLevel = FromCheckState(chkSigmaLevel);
    d.chkMeanFlow = FromCheckState(chkMeanFlow);
    d.SigmaLevelPressure = SlotLevelPressure(s, vsbSigmaLevel->Value());
    for (std::size_t k = 0; k < 2; ++k)
        d.MeanFlowPressure[k] = SlotLevelPressure(s, vsbMeanFlow[k]->Value());
    d.DisplayMode = displayMode_;
    d.chkActiveReadout = FromCheckState(chkActiveReadout);
    d.ReadoutUnit = e.ReadoutUnit;
    d.chkIcing = FromCheckState(chkIcing);
    d.chkMomentum = FromCheckState(chkMomentum);
    d.UseThicknessMethod = SlotFlag(precipTypeControls_->UseThicknessMethod());
    d.HodoTop = session_.history.HodoTopKm;
    d.HodoBase = session_.history.HodoBaseKm;
    return d;
}

void FrmProfile::ApplyDisplaySettings(const DisplaySettings& d) {
    ProfileArrays& s = *session_.profile;
    SoundingExtras& e = view_.extras;
    TemperatureAxisEnds& axis = session_.temperatureAxis;
    {
        const SuspendRedrawScope hold(view_);
        const NestingCount quiet(codeChanges_);
        auto check = [](QCheckBox* box, const DisplaySettings::Check& item) {
            IfRead(item, [box](std::int16_t state) { SetCheck(box, state); });
        };
        // The button states go through the settings the buttons are marked
        // from, so that every caption and marker follows its value.
        HistorySettings& marks = session_.history;
        CollectSoundingButtonSettings(marks);

        check(chkWindVector, d.chkWindVector);
        IfRead(d.ColorWinds, [&](std::int16_t v) { marks.ColorWinds = v; });
        IfRead(d.DigitalWindStyle, [&](std::int16_t v) { marks.DigitalWindStyle = v; });
        check(chkWindDigital, d.chkWindDigital);
        check(ChkOmega, d.ChkOmega);
        IfRead(d.OmegaFiltered, [&](std::int16_t v) { e.OmegaFiltered = v != 0; });
        check(chk10MWind, d.chk10MWind);
        check(chkRH, d.chkRH);
        check(chkWetBulb, d.chkWetBulb);
        check(chkInversions, d.chkInversions);
        check(chkSnowGrowth, d.chkSnowGrowth);
        check(chksWSYMb, d.chksWSYMb);
        check(chkSkewT, d.chkSkewT);
        check(chkLines, d.chkLines);
        check(chkDryAdiabats, d.chkDryAdiabats);
        check(chkClouds, d.chkClouds);
        IfRead(d.VWPInterval, [&](std::int16_t v) { marks.VWPInterval = v; });
        IfRead(d.VWPIntervalA, [&](std::int16_t v) { marks.VWPIntervalA = v; });
        IfRead(d.UseVWPIntervalA, [&](bool v) { marks.UseVWPIntervalA = v; });
        IfRead(d.VerticalUnit, [&](std::int16_t v) { marks.VerticalUnit = v; });
        IfRead(d.MomentumXferIndex, [&](std::int16_t v) { marks.MomentumXferIndex = v; });
        IfRead(d.SkewTLeftTemp,
               [&](std::int16_t v) { axis.SkewTLeftTemp = BoundedAxisTemperature(v); });
        IfRead(d.ProfileLeftTemp,
               [&](std::int16_t v) { axis.ProfileLeftTemp = BoundedAxisTemperature(v); });
        IfRead(d.LeftTemp, [&](std::int16_t v) { axis.LeftTemp = BoundedAxisTemperature(v); });
        IfRead(d.SkewTRightTemp,
               [&](std::int16_t v) { axis.SkewTRightTemp = BoundedAxisTemperature(v); });
        IfRead(d.ProfileRightTemp,
               [&](std::int16_t v) { axis.ProfileRightTemp = BoundedAxisTemperature(v); });
        IfRead(d.RightTemp, [&](std::int16_t v) { axis.RightTemp = BoundedAxisTemperature(v); });
        IfRead(d.TopPressure, [&](std::int16_t v) {
            // The top stays above the ground of the run shown, so that the
            // diagram keeps a height.
            if (s.MaxSurfacePressure > 0.0f && v >= s.MaxSurfacePressure) return;
            s.DiagramTopPressure = v;
            PlaceDiagramBottom(s);
            FindTopLevel(s);
        });
        check(lakePanel_->chkLakeIndex, d.chkLakeIndex);
        IfRead(d.vsbLakeF, [&](std::int16_t v) { lakePanel_->vsbLakeF->SetValue(v); });
        check(lakePanel_->chkMoistLakeIndex, d.chkMoistLakeIndex);
        check(lakePanel_->chkLIC, d.chkLIC);
        check(chkLCL, d.chkLCL);
        check(chkECAPE, d.chkECAPE);
        check(chkCCL, d.chkCCL);
        check(chkConvectiveTemp, d.chkConvectiveTemp);
        check(chkWBZ, d.chkWBZ);
        check(chkLFC, d.chkLFC);
        check(chkEQL, d.chkEQL);
        check(chkParcel, d.chkParcel);
        check(chkCINS, d.chkCINS);
        // The stored panel always opens: the switch acts on a change.
        IfRead(d.ActivePanel, [&](std::int16_t v) {
            activePanel_ = -1;
            btnControl_Click(v);
        });
        for (std::size_t k = 0; k < chkAngle.size(); ++k) check(chkAngle[k], d.chkAngle[k]);
        check(chkBrightBand, d.chkBrightBand);
        check(chkSigmaLevel, d.chkSigmaLevel);
        check(chkMeanFlow, d.chkMeanFlow);
        // Level bars go to the level nearest the stored pressure in the
        // sounding now loaded.
        IfRead(d.SigmaLevelPressure,
               [&](float p) { vsbSigmaLevel->SetValue(SlotLevelOfPressure(s, p)); });
        // The mean-flow pair keeps its order as a user's move of the upper
        // bar would: it stops above the lower one.
        IfRead(d.MeanFlowPressure[0],
               [&](float p) { vsbMeanFlow[0]->SetValue(SlotLevelOfPressure(s, p)); });
        const int upper = d.MeanFlowPressure[1] ? SlotLevelOfPressure(s, *d.MeanFlowPressure[1])
                                                : vsbMeanFlow[1]->Value();
        vsbMeanFlow[1]->SetValue(MeanFlowStop(1, upper, vsbMeanFlow[0]->Value()));
        IfRead(d.DisplayMode, [&](std::int16_t v) {
            // The mode before the recall stays the one to return to.
            const std::int16_t before = displayMode_;
            const std::int16_t previous = previousDisplayMode_;
            displayMode_ = 8;
            btnDisplay_Click(v);
            previousDisplayMode_ = before == kFileListMode ? previous : before;
        });
        check(chkActiveReadout, d.chkActiveReadout);
        IfRead(d.ReadoutUnit, [&](std::int16_t v) { marks.ReadoutUnit = v; });
        check(chkIcing, d.chkIcing);
        check(chkMomentum, d.chkMomentum);
        IfRead(d.UseThicknessMethod,
               [&](std::int16_t v) { precipTypeControls_->SetThicknessMethod(v != 0); });
        ApplySoundingButtonSettings();
        // The hodograph layer is taken as its buttons would take it; the one
        // redraw below then shows it.
        // The stored pair is checked against itself; an item not read keeps
        // the layer's own.
        auto km = [](const std::optional<float>& stored, float shown) {
            const double whole = std::trunc(static_cast<double>(stored.value_or(shown)));
            return static_cast<int>(std::clamp(whole, -1.0, 1000.0));
        };
        if (d.HodoTop || d.HodoBase)
            hodographPanel_->SetLayers(km(d.HodoTop, session_.history.HodoTopKm),
                                       km(d.HodoBase, session_.history.HodoBaseKm));
    }
    ShowHour();
}

// The folder of the slot files, made and checked on first use; a folder that
// cannot be written is reported then, once.
const std::string& FrmProfile::SettingsFolder() {
    std::string notice;
    const std::string& folder = EnsureTempFolder(
        session_.TempFolder,
        !settingsBase_.empty()
            ? settingsBase_
            : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString(),
        session_.UserName, &notice);
    if (!notice.empty()) showMessage_(notice);
    return folder;
}

void FrmProfile::btnSave_Click(int Index) {
    if (Index < 0 || Index >= kSlots) return;
    const std::string& folder = SettingsFolder();
    const std::filesystem::path path = DisplaySettingsPath(folder, session_.UserName, Index);
    const TextFileResult written = WriteDisplaySettings(path, CollectDisplaySettings());
    if (!written.ok) {
        showMessage_("The display settings could not be saved to \"" +
                     PathForMessage(written.path) + "\": " + written.reason +
                     ". The slot keeps what it held before.");
    }
}

void FrmProfile::btnRecall_Click(int Index) {
    if (Index < 0 || Index >= kSlots) return;
    const std::string& folder = SettingsFolder();
    // A slot never saved changes nothing; a damaged one is reported and
    // changes nothing either.
    DisplaySettings read;
    const TextFileResult result =
        ReadDisplaySettings(DisplaySettingsPath(folder, session_.UserName, Index), read);
    if (result.ok)
        ApplyDisplaySettings(read);
    else if (!result.missing)
        showMessage_(DescribeSlotFailure(result));
}

} // namespace tarvex

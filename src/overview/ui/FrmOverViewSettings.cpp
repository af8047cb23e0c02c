// The overview's settings slots: "Save" writes the window's display state
// into the slot's file, "Recall" reads it back and sets every control
// through its own handler, with one redraw at the end. Slot 9 carries the
// settings across the rebuild after a new file was read.
#include "compute/Levels.h"
#include "files/HistoryFile.h"
#include "files/Session.h"
#include "files/SlotSettingsIo.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/ui/FrmOverView.h"
#include "overview/ui/LegendLabels.h"
#include "platform/Controls.h"
#include "platform/Format.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <QDebug>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <cmath>
#include <exception>
#include <future>
#include <memory>

namespace tarvex {

namespace {

constexpr int kReloadSlot = 9;
// The grid selectors' entries of OverviewSettings::Boxes (lines 54-60).
constexpr std::size_t kFirstGridBox = 52;
constexpr std::size_t kGridBoxes = 7;

bool IsSlot(int Index) {
    return (Index >= 0 && Index <= 3) || Index == kReloadSlot;
}

// Selects an option button; its handler runs when it was not selected.
void Select(QRadioButton* option) {
    option->setChecked(true);
}

} // namespace

OverviewSettings FrmOverView::CollectOverviewSettings() const {
    const ProfileArrays& s = *session_.profile;
    const OverviewOptions& o = options;
    OverviewSettings d;
    for (std::size_t k = 0; k < d.Boxes.size(); ++k) {
        const QCheckBox* box = settingsBoxes_[k];
        d.Boxes[k] = box ? FromCheckState(box) : std::int16_t{0};
    }
    d.SnowRatioTechnique = o.SnowRatioTechnique;
    d.ECAPELegendStart = o.ECAPELegendStart;
    d.PressureTraceBase = axes.PressureTraceBase;
    d.PressureTraceSpan = axes.PressureTraceSpan;
    for (std::size_t k = 0; k < d.ScaleTops.size(); ++k)
        d.ScaleTops[k] = session_.history.OverviewThresholds[k];
    d.DirectionTop = axes.DirectionTop;
    d.DirectionSpan = axes.DirectionSpan;
    d.IndexBase = axes.IndexBase;
    d.IndexSpan = axes.IndexSpan;
    d.VerticalUnits = o.VerticalUnits;
    d.MomentumTransferIndex = main_.soundingView().extras.MomentumXferIndex;
    d.PressureBaseExtended = SlotFlag(o.PressureBaseExtended);
    d.LnPSpan = axes.LnPSpan;
    d.PrecipBase = axes.PrecipBase;
    d.PrecipSpan = axes.PrecipSpan;
    d.TraceBase = axes.TraceBase;
    d.TraceSpan = axes.TraceSpan;
    d.RHLegendIndex = o.RHLegendIndex;
    d.ContourIntervalIndex = ContourIntervalIndex;
    d.ControlPanelIndex = ControlPanelIndex;
    for (std::size_t k = 0; k < 2; ++k) {
        d.optLayerShear[k] = optLayerShear[k]->isChecked();
        d.MeanWindPressure[k] = SlotLevelPressure(s, vsbMeanWind[k]->Value());
    }
    d.SigmaLevelPressure = SlotLevelPressure(s, vsbSigmaLevel->Value());
    d.VWPInterval = o.VWPInterval;
    d.VWPIntervalA = o.VWPIntervalA;
    d.VWPUseA = o.VWPUseA;
    d.WindColorIndex = o.WindColorIndex;
    d.CloudsToggle = SlotFlag(o.CloudsToggle);
    d.HainesLevel = o.HainesLevel;
    d.SelectedPanel = session_.history.SelectedPanel;
    d.SumFieldIndex = SumFieldIndex;
    d.HelicityTop = HelicityTop;
    d.HelicityBottom = HelicityBottom;
    static constexpr std::size_t kCAPEkm[5] = {0, 3, 4, 5, 6};
    for (std::size_t k = 0; k < 5; ++k) d.CAPEkmColours[k] = o.CAPEkmColours[kCAPEkm[k]];
    for (std::size_t k = 0; k < 3; ++k) d.HeightsColours[k] = o.HeightsColours[k + 1];
    d.MixingLayerMode = o.MixingLayerMode;
    return d;
}

void FrmOverView::ApplyOverviewSettings(const OverviewSettings& d, bool reload) {
    const ProfileArrays& s = *session_.profile;
    OverviewOptions& o = options;
    {
        const HoldFlag hold(RedrawSuspended);
        const NestingCount quiet(codeChanges_);
        std::size_t box = 0;
        // The check boxes of the next `count` file positions.
        auto boxes = [&](std::size_t count) {
            for (std::size_t end = box + count; box < end; ++box) {
                QCheckBox* control = settingsBoxes_[box];
                IfRead(d.Boxes[box], [control](std::int16_t state) {
                    if (control) control->setChecked(state != 0);
                });
            }
        };
        boxes(5);
        IfRead(d.SnowRatioTechnique, [&](std::int16_t v) {
            o.SnowRatioTechnique = v;
            Select(optSnowTechnique[static_cast<std::size_t>(v)]);
        });
        boxes(29);
        IfRead(d.ECAPELegendStart, [&](std::int16_t v) { o.ECAPELegendStart = v; });
        boxes(25);
        IfRead(d.PressureTraceBase, [&](float v) { axes.PressureTraceBase = v; });
        IfRead(d.PressureTraceSpan, [&](float v) { axes.PressureTraceSpan = v; });
        for (std::size_t k = 0; k < d.ScaleTops.size(); ++k)
            IfRead(d.ScaleTops[k], [&](float v) { session_.history.OverviewThresholds[k] = v; });
        IfRead(d.DirectionTop, [&](float v) { axes.DirectionTop = v; });
        IfRead(d.DirectionSpan, [&](float v) { axes.DirectionSpan = v; });
        IfRead(d.IndexBase, [&](float v) { axes.IndexBase = v; });
        IfRead(d.IndexSpan, [&](float v) { axes.IndexSpan = v; });
        IfRead(d.VerticalUnits, [&](std::int16_t v) {
            o.VerticalUnits = v;
            for (std::size_t k = 0; k < btnPHK.size(); ++k)
                SetBold(btnPHK[k], static_cast<int>(k) == v);
        });
        IfRead(d.MomentumTransferIndex, [&](std::int16_t v) {
            // The main window's handler takes the level; the focus stays
            // where the user had it.
            QWidget* focus = main_.focusWidget();
            main_.btnXfer_Click(v);
            if (focus) focus->setFocus();
            const int xfer = main_.soundingView().extras.MomentumXferIndex;
            for (std::size_t k = 0; k < btnXferO.size(); ++k)
                SetBold(btnXferO[k], static_cast<int>(k) == xfer);
        });
        IfRead(d.PressureBaseExtended, [&](std::int16_t v) { o.PressureBaseExtended = v != 0; });
        IfRead(d.LnPSpan, [&](float v) { axes.LnPSpan = v; });
        // The base is not in the file: it follows the span read, lowered
        // below the ground when the extended base is on.
        const int m = s.CurrentModel;
        axes.LnPBase = axes.BaseLnP[static_cast<std::size_t>(m)] +
                       (o.PressureBaseExtended ? 0.15f * axes.LnPSpan / 1.15f : 0.0f);
        IfRead(d.PrecipBase, [&](float v) { axes.PrecipBase = v; });
        IfRead(d.PrecipSpan, [&](float v) { axes.PrecipSpan = v; });
        IfRead(d.TraceBase, [&](float v) { axes.TraceBase = v; });
        IfRead(d.TraceSpan, [&](float v) { axes.TraceSpan = v; });
        IfRead(d.RHLegendIndex, [&](std::int16_t v) { o.RHLegendIndex = v; });
        IfRead(d.ContourIntervalIndex, [&](std::int16_t v) {
            chkCI[static_cast<std::size_t>(v)]->setChecked(true);
            chkCI_Click(v);
        });
        IfRead(d.ControlPanelIndex, [&](std::int16_t v) { btnControl_Click(v); });
        for (std::size_t k = 0; k < 2; ++k) {
            IfRead(d.optLayerShear[k], [&](bool on) {
                if (!on) return;
                optLayerShear[k]->setChecked(true);
                optLayerShear_Click();
            });
        }
        // Level bars go to the level nearest the stored pressure in the file
        // now loaded.
        IfRead(d.SigmaLevelPressure,
               [&](float p) { vsbSigmaLevel->SetValue(SlotLevelOfPressure(s, p)); });
        for (std::size_t k = 0; k < 2; ++k) {
            IfRead(d.MeanWindPressure[k],
                   [&](float p) { vsbMeanWind[k]->SetValue(SlotLevelOfPressure(s, p)); });
        }
        IfRead(d.VWPInterval, [&](std::int16_t v) { o.VWPInterval = v; });
        IfRead(d.VWPIntervalA, [&](std::int16_t v) { o.VWPIntervalA = v; });
        IfRead(d.VWPUseA, [&](bool v) { o.VWPUseA = v; });
        btnVWPInterval->setText(QString::number(o.VWPInterval));
        btnVWPIntervalA->setText(QString::number(o.VWPIntervalA) + "A");
        SetBold(btnVWPInterval, !o.VWPUseA);
        SetBold(btnVWPIntervalA, o.VWPUseA);
        IfRead(d.WindColorIndex,
               [&](std::int16_t v) { Select(OptWindColor[static_cast<std::size_t>(v)]); });
        IfRead(d.CloudsToggle, [&](std::int16_t v) { o.CloudsToggle = v != 0; });
        IfRead(d.HainesLevel, [&](std::int16_t v) { btnHaines_Click(v - 1); });
        IfRead(d.SelectedPanel,
               [&](std::int16_t v) { Select(optOverlay[static_cast<std::size_t>(v)]); });
        IfRead(d.SumFieldIndex,
               [&](std::int16_t v) { Select(optSum[static_cast<std::size_t>(v)]); });
        boxes(d.Boxes.size() - 2 - box);
        IfRead(d.HelicityTop, [&](float v) { HelicityTop = v; });
        IfRead(d.HelicityBottom, [&](float v) { HelicityBottom = v; });
        // A colour toggle shows its tag colour or the button face; any other
        // colour read leaves it as it is.
        auto toggle = [this](QPushButton* button, std::int32_t& inForce, std::int32_t tag,
                             const std::optional<std::int32_t>& read) {
            IfRead(read, [&](std::int32_t colour) {
                if (colour != tag && colour != kButtonFace) return;
                inForce = colour;
                SetColourToggle(button, colour);
            });
        };
        static constexpr std::size_t kCAPEkm[5] = {0, 3, 4, 5, 6};
        static constexpr std::int32_t kCAPEkmTags[5] = {0x00C000, 0xFFFFFF, 0xFFFF00, 0xFF00FF,
                                                        0x0080FF};
        for (std::size_t k = 0; k < 5; ++k)
            toggle(btnCAPEkm[kCAPEkm[k]], o.CAPEkmColours[kCAPEkm[k]], kCAPEkmTags[k],
                   d.CAPEkmColours[k]);
        boxes(2);
        static constexpr std::int32_t kHeightsTags[3] = {0x0000FF, 0x00FFFF, 0x00C000};
        for (std::size_t k = 0; k < 3; ++k)
            toggle(btnHeights[k + 1], o.HeightsColours[k + 1], kHeightsTags[k],
                   d.HeightsColours[k]);
        IfRead(d.MixingLayerMode, [&](std::int16_t v) { btnMixingLayer_Click(v); });
        // Overlays on the later lines turn on the grids of their own scales;
        // the grid selectors of lines 54-60 are set once more so that the
        // scale the user had gridded comes back.
        box = kFirstGridBox;
        boxes(kGridBoxes);

        // A damaged file may tick both humidity boxes, which exclude each
        // other: the later one stays, as if the user had clicked it last.
        if (chkRH[0]->isChecked() && chkRH[1]->isChecked()) chkRH[0]->setChecked(false);
        CaptionHelicity();
        // After a reload the surface-pressure scale keeps its span but
        // centres on the new file's surface pressure.
        if (reload)
            axes.PressureTraceBase =
                s.SurfacePressure(s.CurrentModel, 0) - axes.PressureTraceSpan / 2.0f;
    }
    ShowCompanions();
    MirrorBourgouin();
    // The legends show the recalled classes.
    legends->ShowRHLegend();
    legends->DisplayECAPELabels();
    DrawTimeAxis();
    RedrawOverview();
}

void FrmOverView::btnSave_Click(int Index) {
    if (!IsSlot(Index)) return;
    const std::filesystem::path path =
        OverviewSettingsPath(main_.SettingsFolder(), session_.UserName, Index);
    ReportSave(Index, WriteOverviewSettings(path, CollectOverviewSettings()));
}

std::future<TextFileResult> FrmOverView::StartReloadSave(std::string text) {
    const std::filesystem::path path =
        OverviewSettingsPath(main_.SettingsFolder(), session_.UserName, kReloadSlot);
    // The thread owns its copies of the name and the text. The file is
    // written whole to a temporary, flushed and renamed, and that outcome is
    // what the reload waits for; the folder's flush after it, which keeps the
    // new name over a power cut, goes on while the reload returns. Each copy's
    // thread ends once the one before has, so that one future holds them all.
    auto replaced = std::make_shared<std::promise<TextFileResult>>();
    std::future<TextFileResult> copy = replaced->get_future();
    reloadCopyFlush_ =
        std::async(std::launch::async, [path, text = std::move(text), replaced,
                                        before = std::move(reloadCopyFlush_)]() mutable {
            try {
                const TextFileResult written = ReplaceTextFileWhole(path, text);
                replaced->set_value(written);
                if (written.ok) FlushFolderOf(path);
            } catch (...) {
                // Only the write itself can fail before the outcome is given.
                try {
                    replaced->set_exception(std::current_exception());
                } catch (const std::future_error&) {
                }
            }
            if (before.valid()) before.wait();
            before = {};
        });
    return copy;
}

void FrmOverView::FinishReloadSave(std::future<TextFileResult> copy) {
    ReportSave(kReloadSlot, copy.get());
}

void FrmOverView::ReportSave(int Index, const TextFileResult& written) {
    if (written.ok || !showMessage_) return;
    // The reload carries the settings itself; its slot is only a copy.
    showMessage_("The overview settings could not be saved to \"" + PathForMessage(written.path) +
                 "\": " + written.reason +
                 (Index == kReloadSlot ? ". They are kept for this reload all the same."
                                       : ". The slot keeps what it held before."));
}

void FrmOverView::btnRecall_Click(int Index) {
    if (!IsSlot(Index)) return;
    // A slot never saved changes nothing; a damaged one is reported and
    // changes nothing either.
    OverviewSettings read;
    const TextFileResult result = ReadOverviewSettings(
        OverviewSettingsPath(main_.SettingsFolder(), session_.UserName, Index), read);
    if (result.ok)
        ApplyOverviewSettings(read, Index == kReloadSlot);
    else if (!result.missing && showMessage_)
        showMessage_(DescribeSlotFailure(result));
}

} // namespace tarvex

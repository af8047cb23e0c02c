// The overview's settings slots, buttons, option buttons and scroll bars.
#include "OverviewWindowFixture.h"
#include "compute/TimeHeightFields.h"
#include "files/OverviewSettingsFile.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <sstream>

namespace tarvex {
namespace {

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class OverviewSlots : public Overview {
  protected:
    std::filesystem::path SlotPath(int slot) {
        return OverviewSettingsPath(main_->SettingsFolder(), session_.UserName, slot);
    }

    // A state away from the start values in every item of the file.
    static void ChangeEverything(FrmOverView& w) {
        w.chkRH[1]->click();
        for (const char* name : {"chkPrecip", "chkSnowRatio", "chkWinds", "chkLayerShear",
                                 "chkIcing", "chkDeltaThetaE", "chkHeights", "chkLIE"})
            w.Box(name)->click();
        w.optSnowTechnique[3]->click();
        w.hsbRatio->setValue(12);
        w.btnPHK[2]->click();
        w.btnPressureBase->click();
        w.chkCI[0]->click();
        w.btnControl[6]->click();
        w.optLayerShear[1]->click();
        w.vsbSigmaLevel->SetValue(10);
        w.vsbMeanWind[1]->SetValue(9);
        w.btnVWPIntervalA->click();
        w.btnVWPIntervalA->click(); // 1A, in use
        w.OptWindColor[0]->click();
        w.btnClouds->click();
        w.btnHaines[2]->click();
        w.optOverlay[3]->click();
        w.optSum[2]->click();
        w.btnHeights[2]->click();
        w.btnCAPEkm[5]->click();
        w.btnMixingLayer[1]->click();
        w.btnXferO[3]->click();
        w.axes.IndexBase = -2.5f;
        w.HelicityTop = 6.0f;
    }
};

// Every slot writes the same state byte for byte as the golden file; a
// recall after Reset gives every control back, with one redraw and no help
// words, and leaves the main window's focus where it was.
TEST_F(OverviewSlots, SaveAndRecallOfEverySlotRestoreEveryControl) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    ChangeEverything(w);
    const std::string golden =
        FileText(std::filesystem::path(TARVEX_FUZZ_CORPUS) / "overviewsettings" / "golden.SO0");
    ASSERT_FALSE(golden.empty());
    for (int slot : {0, 1, 2, 3, 9}) {
        w.btnSave_Click(slot);
        EXPECT_EQ(FileText(SlotPath(slot)), golden) << "slot " << slot;
    }

    w.btnReset->click();
    w.btnPHK[1]->click();
    w.btnHaines[0]->click();
    w.btnMixingLayer[0]->click();
    w.optSum[0]->click();
    w.chkRH[0]->click();
    EXPECT_NE(FormatOverviewSettings(w.CollectOverviewSettings()), golden);
    session_.help.TrainingMode = true;
    session_.help.Training.TrainingKey = {"", "SNOW RATIO", "PRECIP"};
    session_.help.Training.TrainingAction = {"", "snow.htm|", "precip.htm|"};
    main_->btnHelp->setFocus();
    QWidget* focus = main_->focusWidget();
    redraws_ = 0;
    w.btnRecall[2]->click();
    EXPECT_EQ(FormatOverviewSettings(w.CollectOverviewSettings()), golden);
    EXPECT_EQ(redraws_, 1);
    EXPECT_TRUE(desktop_.requests.empty());
    EXPECT_TRUE(session_.help.TrainingMode);
    EXPECT_EQ(main_->focusWidget(), focus);
    EXPECT_TRUE(w.chkRH[1]->isChecked());
    EXPECT_FALSE(w.chkRH[0]->isChecked());
    EXPECT_TRUE(w.hsbRatio->isEnabled());
    EXPECT_EQ(w.optSnowTechnique[3]->text().toStdString(), "12:1");
    EXPECT_TRUE(w.pnlControl[6]->isVisibleTo(&w));
    EXPECT_TRUE(w.lblMixingLayer->isVisibleTo(&w));
    EXPECT_EQ(w.lblVWP[5]->text().toStdString(), "12");

    // A slot never saved changes nothing and draws nothing.
    std::filesystem::remove(SlotPath(1));
    w.btnRecall_Click(1);
    EXPECT_EQ(redraws_, 1);
}

// A fresh overview saves its start values, item by item: the side scales,
// units, intervals, option buttons, and of the boxes only the humidity
// shading, the height grid and "Now" ticked.
TEST_F(OverviewSlots, AFreshOverviewSavesItsStartValues) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    w.btnSave_Click(0);
    OverviewSettings d;
    ASSERT_TRUE(ReadOverviewSettings(SlotPath(0), d).ok);
    for (std::size_t k = 0; k < OverviewSettings::kBoxes; ++k) {
        const std::string name = kOverviewSettingsBoxes[k];
        const bool ticked = name == "chkRH_0" || name == "chkGridHeight" || name == "chkNow";
        EXPECT_EQ(d.Boxes[k], ticked ? 1 : 0) << name;
    }
    const ProfileArrays& s = *session_.profile;
    EXPECT_EQ(d.DirectionTop, 360.0f);
    EXPECT_EQ(d.DirectionSpan, 360.0f);
    EXPECT_EQ(d.IndexBase, -20.0f);
    EXPECT_EQ(d.IndexSpan, 40.0f);
    EXPECT_EQ(d.PrecipBase, 0.0f);
    EXPECT_NEAR(*d.PrecipSpan, 0.1f, 1e-6f);
    EXPECT_EQ(d.PressureTraceSpan, 50.0f);
    EXPECT_EQ(d.PressureTraceBase, s.SurfacePressure(s.CurrentModel, 0) - 25.0f);
    EXPECT_EQ(d.TraceBase, static_cast<float>(session_.history.TraceRange[0]));
    EXPECT_EQ(d.TraceSpan, static_cast<float>(session_.history.TraceRange[1]));
    EXPECT_EQ(d.VerticalUnits, 1);
    EXPECT_EQ(d.ContourIntervalIndex, 2);
    EXPECT_EQ(d.VWPInterval, 3);
    EXPECT_EQ(d.VWPIntervalA, 3);
    EXPECT_EQ(d.VWPUseA, false);
    EXPECT_EQ(d.HainesLevel, 1);
    EXPECT_EQ(d.PressureBaseExtended, 0);
    EXPECT_EQ(d.RHLegendIndex, 0);
    EXPECT_EQ(d.MixingLayerMode, 0);
    EXPECT_EQ(d.ECAPELegendStart, 0);
    EXPECT_EQ(d.WindColorIndex, 2);
    EXPECT_EQ(d.SnowRatioTechnique, 0);
    EXPECT_EQ(d.optLayerShear, (std::array<std::optional<bool>, 2>{true, false}));
}

// A damaged file that ticks both humidity boxes ends with one of them and
// one redraw; values outside their control's range are passed over.
TEST_F(OverviewSlots, ADamagedSlotSetsOnlyWhatItHoldsRight) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    w.btnSave_Click(0);
    std::string text = FileText(SlotPath(0));
    // Line 2 ticks the second humidity box; line 6 names no technique; line
    // 65 no unit.
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 98u);
    lines[1] = " 1 ";
    lines[5] = " 7 ";
    lines[64] = " 5 ";
    auto join = [&](std::size_t count) {
        std::string joined;
        for (std::size_t k = 0; k < count; ++k) joined += lines[k] + "\r\n";
        return joined;
    };
    // Cut after line 70: refused whole, with its file named.
    std::vector<std::string> messages;
    w.SetMessageHandler([&](const std::string& message) { messages.push_back(message); });
    std::ofstream(SlotPath(0), std::ios::binary) << join(70);
    w.btnRecall_Click(0);
    EXPECT_EQ(redraws_, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(".SO0"), std::string::npos);
    std::ofstream(SlotPath(0), std::ios::binary) << join(98);
    w.btnRecall_Click(0);
    EXPECT_EQ(redraws_, 1);
    EXPECT_NE(w.chkRH[0]->isChecked(), w.chkRH[1]->isChecked());
    EXPECT_EQ(w.options.chkRH[0], w.chkRH[0]->isChecked());
    EXPECT_EQ(w.options.SnowRatioTechnique, 0);
    EXPECT_EQ(w.options.VerticalUnits, 1);
    EXPECT_FALSE(w.RedrawSuspended);

    // A user slot that cannot be written is reported with its file.
    messages.clear();
    session_.TempFolder = (folder_ / "gone" / "").string();
    w.btnSave_Click(3);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(".SO3"), std::string::npos);
}

// The reload carries the overview's settings itself: when the copy in slot 9
// cannot be written (a folder stands at its name, or the folder is gone),
// the reload reports the failure, once, before it returns, and the settings
// still come back.
TEST_F(OverviewSlots, AReloadKeepsTheSettingsWhenItsSlotCannotBeWritten) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    std::filesystem::create_directories(SlotPath(9) / "inside");
    w.Box("chkIcing")->click();
    w.btnPHK[2]->click();
    std::vector<std::string> messages;
    w.SetMessageHandler([&](const std::string& message) { messages.push_back(message); });
    main_->UpdateOverview();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(".SO9"), std::string::npos);
    EXPECT_NE(messages[0].find("kept for this reload"), std::string::npos);
    FrmOverView* again = main_->Overview();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->Box("chkIcing")->isChecked());
    EXPECT_EQ(again->options.VerticalUnits, 2);

    // A folder that cannot be written at all: the same.
    again->SetMessageHandler([&](const std::string& message) { messages.push_back(message); });
    session_.TempFolder = (folder_ / "gone" / "").string();
    main_->UpdateOverview();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find("gone"), std::string::npos);
    ASSERT_NE(main_->Overview(), nullptr);
    EXPECT_TRUE(main_->Overview()->Box("chkIcing")->isChecked());
    main_->Overview()->close();
    EXPECT_EQ(messages.size(), 2u);
}

// The user's overlays survive the rebuild after a new file was read.
TEST_F(OverviewSlots, AReloadKeepsTheOverlaysChosen) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    w.Box("chkIcing")->click();
    w.optLayerShear[1]->click();
    main_->UpdateOverview();
    FrmOverView* again = main_->Overview();
    ASSERT_EQ(again, &w);
    EXPECT_TRUE(again->Box("chkIcing")->isChecked());
    EXPECT_TRUE(again->optLayerShear[1]->isChecked());
    EXPECT_TRUE(again->options.LayerShearPerKm);
}

// Slot 9 holds, whole, the settings of the window before each reload once
// the reload returns, though it is written while the new window is built.
TEST_F(OverviewSlots, AReloadLeavesItsCopyWrittenWhenItReturns) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    ChangeEverything(Open());
    for (int reload = 0; reload < 2; ++reload) {
        FrmOverView& w = *main_->Overview();
        w.Box("chkTemperature")->click(); // on, then off again
        w.axes.PressureTraceBase += 7.0f; // the new window centres it anew
        const std::string before = FormatOverviewSettings(w.CollectOverviewSettings());
        main_->UpdateOverview();
        EXPECT_EQ(FileText(SlotPath(9)), before) << reload;
    }
}

// A read with the overview open starts the reload's copy in slot 9: the
// reload takes it while the settings are still those it holds, and else
// writes its own after it, so that the slot ends with the window's settings
// just before the reload; the failure of the copy the reload keeps is
// reported once, that of one written over not at all.
TEST_F(OverviewSlots, TheCopyAReadStartsIsKeptOnlyWhileItHoldsTheSettings) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    w.Box("chkIcing")->click();
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 13);
    w.btnPHK[2]->click(); // after the read began
    const std::string changed = FormatOverviewSettings(w.CollectOverviewSettings());
    main_->UpdateOverview();
    EXPECT_EQ(FileText(SlotPath(9)), changed);
    EXPECT_EQ(main_->Overview()->options.VerticalUnits, 2);
    EXPECT_TRUE(main_->Overview()->Box("chkIcing")->isChecked());

    std::vector<std::string> messages;
    main_->Overview()->SetMessageHandler(
        [&](const std::string& message) { messages.push_back(message); });
    std::filesystem::remove(SlotPath(9));
    std::filesystem::create_directories(SlotPath(9) / "inside");
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    main_->UpdateOverview();
    EXPECT_EQ(messages.size(), 1u);
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 13);
    main_->Overview()->btnPHK[0]->click();
    main_->UpdateOverview();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find(".SO9"), std::string::npos);

    std::filesystem::remove_all(SlotPath(9));
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    const std::string same = FormatOverviewSettings(main_->Overview()->CollectOverviewSettings());
    main_->UpdateOverview();
    EXPECT_EQ(FileText(SlotPath(9)), same);
    EXPECT_EQ(main_->Overview()->options.VerticalUnits, 0);
    EXPECT_EQ(messages.size(), 2u);
}

// The slots find each overlay box by its list: it is the one widget of its
// name in the window.
TEST_F(OverviewSlots, EachOverlayBoxIsTheOneOfItsName) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    for (const OverlayBoxSpec& spec : FrmOverView::OverlayBoxes()) {
        const auto named = w.findChildren<QWidget*>(spec.name);
        ASSERT_EQ(named.size(), 1) << spec.name;
        EXPECT_EQ(named[0], w.Box(spec.name)) << spec.name;
    }
}

// The window rebuilt for a new file shows, from its first picture on, the
// recalled overlays drawn for that file: what a redraw of it shows.
TEST_F(OverviewSlots, AReloadedWindowShowsTheRecalledOverlaysAtOnce) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    Open().Box("chkTemperature")->click();
    Load(samples::Atmosphere::WarmSeasonConvective, 7, 25);
    main_->UpdateOverview();
    FrmOverView& again = *main_->Overview();
    const QImage shown = again.picRH->Surface().Image().copy();
    int redraws = 0;
    again.afterRedraw = [&redraws] { ++redraws; };
    again.RedrawOverview();
    EXPECT_EQ(redraws, 1);
    EXPECT_TRUE(shown == again.picRH->Surface().Image());
}

TEST_F(Overview, ButtonsRedrawOnceOrNotAtAll) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 25);
    FrmOverView& w = Open();
    // 12 hours: 13 columns of a 25-hour run; the bar scrolls the rest.
    w.btnHours[0]->setText("12");
    session_.parameters.OverviewSpans[0] = 12;
    w.btnHours[0]->click();
    EXPECT_EQ(redraws_, 1);
    EXPECT_TRUE(w.hsbHours->isEnabled());
    EXPECT_EQ(w.hsbHours->maximum(), 24 - 13 + 1);
    EXPECT_EQ(w.hsbHours->pageStep(), 12);
    w.hsbHours->setValue(5);
    EXPECT_EQ(redraws_, 2);
    EXPECT_FLOAT_EQ(w.axes.ScaleLeftColumn, 18.0f);
    EXPECT_FLOAT_EQ(w.axes.ScaleRightColumn, 4.0f);
    // A span over the whole run disables the bar at 0, with one redraw.
    session_.parameters.OverviewSpans[3] = 120;
    w.btnHours[3]->click();
    EXPECT_EQ(redraws_, 3);
    EXPECT_FALSE(w.hsbHours->isEnabled());
    EXPECT_EQ(w.hsbHours->value(), 0);

    w.btnPHK[1]->click(); // already chosen
    EXPECT_EQ(redraws_, 3);
    const float span = w.axes.LnPSpan;
    const float base = w.axes.LnPBase;
    w.btnPressureBase->click();
    EXPECT_FLOAT_EQ(w.axes.LnPSpan, span * 1.15f);
    w.btnPressureBase->click();
    EXPECT_FLOAT_EQ(w.axes.LnPSpan, span);
    EXPECT_FLOAT_EQ(w.axes.LnPBase, base);

    // Plain interval 3 -> 1 -> 2; the first click on "A" only switches.
    w.btnVWPInterval->click();
    w.btnVWPInterval->click();
    EXPECT_EQ(w.btnVWPInterval->text().toStdString(), "2");
    w.btnVWPIntervalA->click();
    EXPECT_TRUE(w.options.VWPUseA);
    EXPECT_EQ(w.options.VWPIntervalA, 3);
    w.btnVWPInterval->click();
    EXPECT_FALSE(w.options.VWPUseA);
    EXPECT_EQ(w.options.VWPInterval, 2);

    // Colour toggles: "4" km on in cyan, "Eql" heights off.
    w.btnCAPEkm[4]->click();
    EXPECT_EQ(w.options.CAPEkmColours[4], 0xFFFF00);
    w.btnHeights[3]->click();
    EXPECT_EQ(w.options.HeightsColours[3], FrmOverView::kButtonFace);
    w.btnHeights[3]->click();
    EXPECT_EQ(w.options.HeightsColours[3], 0x00C000);

    w.btnMixingLayer[0]->click();
    w.btnXferO[session_.profile ? main_->soundingView().extras.MomentumXferIndex : 0]->click();
    for (const char* name : {"chkTemperature", "chkVelocity", "chkWinds", "chkSnow"})
        w.Box(name)->click();
    redraws_ = 0;
    w.btnReset->click();
    EXPECT_EQ(redraws_, 1);
    EXPECT_FALSE(w.Box("chkVelocity")->isChecked());
    EXPECT_TRUE(w.chkRH[0]->isChecked()); // Reset leaves it

    // Without a printer the window goes into the PDF file chosen; a file
    // that cannot be written is reported.
    std::vector<std::string> messages;
    w.SetMessageHandler([&](const std::string& text) { messages.push_back(text); });
    const std::filesystem::path pdf = folder_ / "overview.pdf";
    w.SetPdfDialog([&] { return pdf.string(); });
    w.ptnPrint->click();
    EXPECT_GT(std::filesystem::file_size(pdf), 0u);
    EXPECT_TRUE(messages.empty());
    w.SetPdfDialog([&] { return (folder_ / "no-folder" / "x.pdf").string(); });
    w.ptnPrint->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("x.pdf"), std::string::npos);
}

TEST_F(Overview, OptionButtonsAndBars) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    // "10:1" alone uses the ratio bar; another technique still recomputes
    // when the bar moves, without a redraw.
    w.Box("chkSnowRatio")->click();
    w.optSnowTechnique[3]->click();
    EXPECT_TRUE(w.hsbRatio->isEnabled());
    EXPECT_FLOAT_EQ(session_.timeHeight->SnowRatio(session_.profile->CurrentModel, 4), 10.0f);
    w.optSnowTechnique[2]->click();
    EXPECT_FALSE(w.hsbRatio->isEnabled());
    redraws_ = 0;
    w.hsbRatio->setValue(20);
    EXPECT_EQ(redraws_, 0);
    EXPECT_EQ(w.optSnowTechnique[3]->text().toStdString(), "20:1");
    w.optSnowTechnique[3]->click();
    EXPECT_FLOAT_EQ(session_.timeHeight->SnowRatio(session_.profile->CurrentModel, 4), 20.0f);

    w.OptWindColor[0]->click();
    EXPECT_EQ(w.lblVWP[0]->text().toStdString(), "2");
    EXPECT_EQ(w.lblVWP[5]->text().toStdString(), "12");
    redraws_ = 0;
    w.optSum[3]->click();
    w.optOverlay[1]->click();
    EXPECT_EQ(redraws_, 0);
    EXPECT_EQ(w.SumFieldIndex, 3);
    EXPECT_EQ(session_.history.SelectedPanel, 1);

    // The unit of the layer shear makes the field afresh.
    const int m = session_.profile->CurrentModel;
    w.Box("chkLayerShear")->click();
    EXPECT_EQ(session_.timeHeight->LayerShearDone(m), kFlagTrue);
    w.optLayerShear[1]->click();
    EXPECT_TRUE(w.options.LayerShearPerKm);
    EXPECT_EQ(session_.timeHeight->LayerShearDone(m), kFlagTrue); // made again by the redraw

    // The top of the mean-wind layer moved onto the bottom goes one level
    // above it, and the layer is drawn once; a page step past the bottom
    // stops there too.
    w.vsbMeanWind[1]->SetValue(8);
    w.vsbMeanWind[0]->SetValue(5);
    redraws_ = 0;
    w.vsbMeanWind[1]->SetValue(5);
    EXPECT_EQ(w.vsbMeanWind[1]->Value(), 6);
    EXPECT_EQ(redraws_, 1);
    w.vsbMeanWind[0]->SetValue(9);
    EXPECT_EQ(w.vsbMeanWind[0]->Value(), 5);
    EXPECT_EQ(w.lblMeanWind[0]->text().toStdString(), "5");

    // The elevated level bar is usable with the energy-area box.
    EXPECT_FALSE(w.vbsElevatedPT->Bar()->isEnabled());
    w.findChild<QCheckBox*>("chksWSYMb")->click();
    EXPECT_TRUE(w.vbsElevatedPT->Bar()->isEnabled());
    w.vbsElevatedPT->SetValue(3);
    EXPECT_EQ(session_.options.ElevatedPTLevel, 3);
    EXPECT_EQ(w.lblPTElevation->text().left(4).toStdString(), "AGL:");
}

// The precipitation types of the run show as labels with "Precipitation".
TEST_F(Overview, PrecipitationTypeLabelsFollowTheRun) {
    Load(samples::Atmosphere::WinterWarmNose, 12, 13);
    FrmOverView& w = Open();
    ProfileArrays& s = *session_.profile;
    const int m = s.CurrentModel;
    for (int t = 0; t <= s.LastTime(m); ++t) s.Precip(m, t) = 0.0f;
    w.Box("chkPrecip")->click();
    for (QLabel* label : w.lblPType) EXPECT_TRUE(label->isHidden());
    // Hour 2 snows, hour 3 rains without showers.
    s.Precip(m, 2) = 0.1f;
    session_.ptype->PTypeCode(m, 2) = 70;
    s.Precip(m, 3) = 0.2f;
    s.ConvPrecip(m, 3) = 0.0f;
    session_.ptype->PTypeCode(m, 3) = 60;
    w.Box("chkPrecip")->click();
    w.Box("chkPrecip")->click();
    const std::array<bool, 5> shown{false, true, true, false, false};
    for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(!w.lblPType[k]->isHidden(), shown[k]) << k;
}

// The snow ratio traced over two contoured derived fields, for a reviewer.
TEST_F(Overview, RendersTheSnowRatioOverDerivedFields) {
    const std::filesystem::path out(TARVEX_TEST_OUTPUT);
    std::filesystem::create_directories(out);
    Load(samples::Atmosphere::WinterWarmNose, 12, 49);
    FrmOverView& w = Open();
    w.chkRH[0]->click();
    for (const char* name : {"chkIcing", "chkLayerShear", "chkSnowRatio"}) w.Box(name)->click();
    QApplication::processEvents();
    EXPECT_TRUE(w.grab().save(
        QString::fromStdString((out / "overview_snowratio_icing_layershear.png").string())));
    // The cyan snow-ratio line joins every hour on the 0 .. 30 scale, over
    // the icing contours (magenta) and the layer shear (red or light grey).
    const auto linesIn = [this, &w](Rgb colour) {
        std::vector<DrawOperation> found;
        for (const DrawOperation& op : Record(w)->rh.OperationsOf(DrawOperation::Kind::Line))
            if (op.color == colour) found.push_back(op);
        return found;
    };
    const auto ratio = linesIn(RGB(0, 255, 255));
    ASSERT_EQ(ratio.size(), 48u);
    for (const DrawOperation& op : ratio) EXPECT_EQ(op.scale.height, -30.0);
    EXPECT_FALSE(linesIn(RGB(255, 0, 255)).empty());
    EXPECT_FALSE(linesIn(RGB(255, 0, 0)).empty() && linesIn(RGB(191, 191, 191)).empty());
    w.Box("chkLayerShear")->click();
    w.Box("chkDeltaThetaE")->click();
    w.optSnowTechnique[1]->click();
    QApplication::processEvents();
    EXPECT_TRUE(w.grab().save(
        QString::fromStdString((out / "overview_snowratio_maxtemp_deltathetae.png").string())));
    // The panels with the option buttons and bars.
    for (int panel : {2, 3, 5, 6, 7}) {
        w.btnControl[static_cast<std::size_t>(panel)]->click();
        QApplication::processEvents();
        EXPECT_TRUE(w.grab().save(QString::fromStdString(
            (out / ("overview_panel_" + std::to_string(panel) + ".png")).string())));
    }
}

} // namespace
} // namespace tarvex

#include "files/DisplaySettingsFile.h"

#include "files/HistoryFile.h"
#include "files/SlotSettingsIo.h"

#include <cmath>
#include <limits>
#include <vector>

namespace tarvex {

namespace {

// The items of the file in order, line by line, for one visitor: the reader
// and the writer walk the same list, so they cannot drift apart.
template <typename Settings, typename Visitor> void VisitDisplaySettings(Settings& s, Visitor& v) {
    v.Check(s.chkWindVector);
    v.EndLine();
    v.Integer(s.ColorWinds);
    v.EndLine();
    v.Integer(s.DigitalWindStyle);
    v.EndLine();
    for (auto* check : {&s.chkWindDigital, &s.ChkOmega}) {
        v.Check(*check);
        v.EndLine();
    }
    v.Integer(s.OmegaFiltered);
    v.EndLine();
    for (auto* check : {&s.chk10MWind, &s.chkRH, &s.chkWetBulb, &s.chkInversions, &s.chkSnowGrowth,
                        &s.chksWSYMb, &s.chkSkewT, &s.chkLines, &s.chkDryAdiabats, &s.chkClouds}) {
        v.Check(*check);
        v.EndLine();
    }
    v.Integer(s.VWPInterval, 1, 3);
    v.Integer(s.VWPIntervalA, 1, 3);
    v.Word(s.UseVWPIntervalA);
    v.EndLine();
    v.Integer(s.VerticalUnit, 0, 2);
    v.EndLine();
    v.Integer(s.MomentumXferIndex, 0, 3);
    v.EndLine();
    v.Integer(s.SkewTLeftTemp);
    v.Integer(s.ProfileLeftTemp);
    v.Integer(s.LeftTemp);
    v.EndLine();
    v.Integer(s.SkewTRightTemp);
    v.Integer(s.ProfileRightTemp);
    v.Integer(s.RightTemp);
    v.EndLine();
    // The top of the diagram is a pressure whose logarithm is taken.
    v.Integer(s.TopPressure, 1, 1100);
    v.EndLine();
    v.Check(s.chkLakeIndex);
    v.EndLine();
    v.Integer(s.vsbLakeF, kLakeTempFLowest, kLakeTempFHighest);
    v.EndLine();
    for (auto* check :
         {&s.chkMoistLakeIndex, &s.chkLIC, &s.chkLCL, &s.chkECAPE, &s.chkCCL, &s.chkConvectiveTemp,
          &s.chkWBZ, &s.chkLFC, &s.chkEQL, &s.chkParcel, &s.chkCINS}) {
        v.Check(*check);
        v.EndLine();
    }
    v.Integer(s.ActivePanel, -1, 6);
    v.EndLine();
    for (auto& check : s.chkAngle) {
        v.Check(check);
        v.EndLine();
    }
    for (auto* check : {&s.chkBrightBand, &s.chkSigmaLevel, &s.chkMeanFlow}) {
        v.Check(*check);
        v.EndLine();
    }
    v.Single(s.SigmaLevelPressure);
    v.EndLine();
    for (auto& pressure : s.MeanFlowPressure) {
        v.Single(pressure);
        v.EndLine();
    }
    v.Integer(s.DisplayMode, 0, 99);
    v.EndLine();
    v.Check(s.chkActiveReadout);
    v.Integer(s.ReadoutUnit, 0, 2);
    v.EndLine();
    v.Check(s.chkIcing);
    v.EndLine();
    v.Check(s.chkMomentum);
    v.EndLine();
    v.Integer(s.UseThicknessMethod);
    v.EndLine();
    v.WholeSingle(s.HodoTop);
    v.EndLine();
    v.WholeSingle(s.HodoBase);
    v.EndLine();
}

} // namespace

std::filesystem::path DisplaySettingsPath(const std::string& TempFolder,
                                          const std::string& UserName, int slot) {
    return std::filesystem::path(TempFolder + UserName + ".SP" + std::to_string(slot));
}

std::string FormatDisplaySettings(const DisplaySettings& settings) {
    SettingsWriter writer(SettingsWriter::Spacing::Zones);
    VisitDisplaySettings(settings, writer);
    return writer.Text();
}

DisplaySettings ParseDisplaySettings(std::string_view text) {
    DisplaySettings settings;
    SettingsReader reader(text);
    VisitDisplaySettings(settings, reader);
    // The display modes are 0..9, and 99 for the file lists.
    if (settings.DisplayMode && *settings.DisplayMode > 9 && *settings.DisplayMode != 99)
        settings.DisplayMode.reset();
    return settings;
}

TextFileResult WriteDisplaySettings(const std::filesystem::path& path,
                                    const DisplaySettings& settings) {
    return WriteTextFileWhole(path, FormatDisplaySettings(settings));
}

TextFileResult ReadDisplaySettings(const std::filesystem::path& path, DisplaySettings& settings) {
    // The line count of the layout, from the list the writer walks.
    SettingsLineCounter counter;
    const DisplaySettings layout;
    VisitDisplaySettings(layout, counter);
    return ReadSlotFile(path, counter.Lines(),
                        [&](std::string_view text) { settings = ParseDisplaySettings(text); });
}

} // namespace tarvex

#pragma once

// A display-settings slot for the tests of its file and of the window.
#include "files/DisplaySettingsFile.h"

namespace tarvex::test {

// A slot where no item holds its window's start value.
inline DisplaySettings ChangedSlot() {
    DisplaySettings d;
    d.chkWindVector = 1;
    d.ColorWinds = -1;
    d.DigitalWindStyle = 0;
    d.chkWindDigital = d.ChkOmega = 1;
    d.OmegaFiltered = 0;
    d.chk10MWind = d.chkRH = d.chkWetBulb = d.chkInversions = d.chkSnowGrowth = d.chksWSYMb = 1;
    d.chkSkewT = 0;
    d.chkLines = d.chkDryAdiabats = d.chkClouds = 1;
    d.VWPInterval = 3;
    d.VWPIntervalA = 2;
    d.UseVWPIntervalA = true;
    d.VerticalUnit = 2;
    d.MomentumXferIndex = 3;
    d.SkewTLeftTemp = -55;
    d.ProfileLeftTemp = d.LeftTemp = -40;
    d.SkewTRightTemp = 15;
    d.ProfileRightTemp = d.RightTemp = 25;
    d.TopPressure = 200;
    d.chkLakeIndex = 1;
    d.vsbLakeF = 40;
    d.chkMoistLakeIndex = d.chkLIC = d.chkLCL = d.chkECAPE = d.chkCCL = 1;
    d.chkConvectiveTemp = d.chkWBZ = d.chkLFC = d.chkEQL = d.chkParcel = d.chkCINS = 1;
    d.ActivePanel = 2;
    d.chkAngle = {1, 0, 1, 0, 2};
    d.chkBrightBand = 1;
    d.chkSigmaLevel = 0;
    d.chkMeanFlow = 1;
    d.SigmaLevelPressure = 500.5f;
    d.MeanFlowPressure = {850.0f, 700.25f};
    d.DisplayMode = 7;
    d.chkActiveReadout = 1;
    d.ReadoutUnit = 2;
    d.chkIcing = d.chkMomentum = 1;
    d.UseThicknessMethod = -1;
    d.HodoTop = 6.0f;
    d.HodoBase = 1.0f;
    return d;
}

} // namespace tarvex::test

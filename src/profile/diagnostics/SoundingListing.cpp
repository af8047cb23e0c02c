#include "profile/diagnostics/SoundingListing.h"

#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <string>

namespace tarvex {

void PrintSoundingData(PictureSurface& pic, const ProfileArrays& s, std::int16_t t) {
    const int m = s.CurrentModel;
    pic.SetBackColor(kBlack);
    pic.SetFontName("Fixedsys");
    pic.SetFontSize(9);
    pic.SetFontTransparent(true);
    pic.ScalePixels();
    const int n = std::min<int>(s.LevelCount(m), kListedLevels);
    // The type follows the rows: the longest listing (heading, levels and
    // precipitation) fills the picture's height, as wide as its lines allow.
    const std::string heading = "  Pres   Temp  Dewpt    RH   Dir  Speed";
    const std::string precipitation = "Precipitation:  " + FormatRight(s.Precip(m, t), "0.000", 5) +
                                      " Hr     " + FormatRight(s.PrecipTotal(m, t), "0.000", 5) +
                                      " Total";
    pic.SetDesignSize(0, 0);
    double designWidth = pic.TextWidth(heading + "   ");
    double designHeight = (kListedLevels + 2) * pic.TextHeight("0");
    // The font's pixel size is whole: rounded up, the rows would outgrow
    // the picture and cut the totals at its foot. A slightly larger design
    // keeps every row and the longest line inside.
    for (int k = 0; k < 10; ++k) {
        pic.SetDesignSize(designWidth, designHeight);
        const double widest = std::max(pic.TextWidth(heading), pic.TextWidth(precipitation));
        if ((kListedLevels + 2) * pic.TextHeight("0") <= pic.PixelHeight() &&
            widest <= pic.PixelWidth())
            break;
        designWidth *= 1.03;
        designHeight *= 1.03;
    }
    pic.Clear();
    pic.SetForeColor(kRed);
    pic.Print(heading);

    pic.SetForeColor(kYellow);
    // Each level on a line of its own below the heading, the lowest last.
    for (int k = n; k >= 1; --k) {
        pic.Print(FormatRight(s.Pressure(m, t, k), "0", 6) +
                  FormatRight(s.Temperature(m, t, k), "0.0", 7) +
                  FormatRight(s.DewPoint(m, t, k), "0.0", 7) +
                  FormatRight(s.RelativeHumidity(m, t, k), "0", 6) +
                  FormatRight(s.WindDirection(m, t, k), "0", 6) +
                  FormatRight(s.WindSpeed(m, t, k), "0", 7));
    }
    pic.SetForeColor(kGreen);
    pic.PrintNoNewline(precipitation);
}

} // namespace tarvex

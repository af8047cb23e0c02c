#include "profile/diagnostics/StormMatrixSketch.h"

#include "compute/StormMatrix.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "profile/diagnostics/BlankPanel.h"
#include "profile/diagnostics/StormType.h"

#include <cmath>
#include <string>

namespace tarvex {

namespace {

// The three layers: bounds (km), the title's place and the x of the values.
struct SketchLayer {
    float lower, upper;
    const char* title;
    double titleX;
    double valuesX;
};

constexpr SketchLayer kLayers[3] = {
    {0.0f, 2.5f, "0.0-2.5 km", 3, 15},
    {2.5f, 5.0f, "2.5-5.0 km", 43, 55},
    {5.0f, 7.5f, "5.0-7.5 km", 78, 90},
};

enum class Glyph { Dot, Straight, Arc1, Arc2, Arc3, Arc4 };

class Sketch {
  public:
    Sketch(PictureSurface& pic, const ProfileArrays& store, std::int16_t t)
        : pic_(pic), store_(store), t_(t) {}

    // One layer: title, glyph, then the length and (if asked) the helicity.
    void Layer(int k, Glyph glyph, bool helicity, double lengthX = -1) {
        const SketchLayer& L = kLayers[k];
        At(L.titleX, -10);
        pic_.Print(L.title);
        Draw(k, glyph);
        At(lengthX < 0 ? L.valuesX : lengthX, 25);
        pic_.Print("S:" + Value(MakeHodographLength(store_, t_, L.lower, L.upper)));
        if (!helicity) return;
        At(L.valuesX, 60);
        pic_.Print("H:" + Value(MakeLayerHelicity(store_, t_, L.lower, L.upper)));
    }

  private:
    static std::string Value(float v) { return PrintForm(std::floor(v + 0.5f)); }

    void At(double x, double y) {
        pic_.SetCurrentX(x);
        pic_.SetCurrentY(y);
    }

    void Draw(int k, Glyph glyph) {
        static constexpr double kStraightFrom[3] = {0, 40, 75};
        static constexpr double kDotAt[3] = {10, 50, 50};
        switch (glyph) {
        case Glyph::Dot:
            pic_.SetFillStyle(FillStyle::Solid);
            pic_.Circle(kDotAt[k], 50, 1);
            pic_.SetFillStyle(FillStyle::Transparent);
            break;
        case Glyph::Straight:
            pic_.Line(kStraightFrom[k], 50, kStraightFrom[k] + 12, 50);
            break;
        case Glyph::Arc1:
            pic_.Arc(10, 90, 8, 1.5, 3.1, kBlack);
            break;
        case Glyph::Arc2:
            pic_.Arc(10, 85, 8, 1.5, 3.1, kBlack);
            break;
        case Glyph::Arc3:
            pic_.Arc(40, 85, 8, 0, 1.5, kBlack);
            break;
        case Glyph::Arc4:
            pic_.Arc(13, 15, 8, 3.1, 4.7, kBlack);
            break;
        }
    }

    PictureSurface& pic_;
    const ProfileArrays& store_;
    std::int16_t t_;
};

} // namespace

Rgb MatrixLabelColour(const Session& session, std::int16_t column) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    if (s.CAPE(m, column) == 0.0f) return kGreen;
    return CinsColour(s.CINS(m, column), session.history.IndexThresholds);
}

void ShowTrainingMatrix(PictureSurface& pic, const Session& session, std::int16_t column) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    pic.SetDrawWidth(2);
    pic.Scale(0, -10, 100, 100);
    pic.Clear();
    if (!SoundingLoaded(s)) return;
    const float cape = s.CAPE(m, column);
    if (cape < kMatrixLowCape) {
        pic.SetCurrentX(40);
        pic.SetCurrentY(40);
        pic.Print("Low CAPE");
        return;
    }
    if (cape >= kMatrixHighCape) {
        const StormMatrixResults& matrix = *session.matrix;
        pic.SetCurrentX(75);
        pic.SetCurrentY(75);
        pic.Print("Mean DPD:" + (matrix.MatrixDPDKnown(m, column) != 0
                                     ? PrintForm(std::floor(matrix.MatrixMeanDPD(m, column) + 0.5f))
                                     : std::string(" --- ")));
    }
    Sketch sketch(pic, s, column);
    switch (DecideMatrixCell(s, column).Branch) {
    case MatrixBranch::NoShear:
        sketch.Layer(0, Glyph::Dot, false, 10);
        sketch.Layer(1, Glyph::Dot, false);
        break;
    case MatrixBranch::StraightLow:
        sketch.Layer(0, Glyph::Straight, true);
        sketch.Layer(1, Glyph::Straight, false);
        break;
    case MatrixBranch::TurningLeft:
        sketch.Layer(0, Glyph::Arc4, true);
        break;
    case MatrixBranch::CalmAloft:
        sketch.Layer(0, Glyph::Arc1, true);
        sketch.Layer(1, Glyph::Dot, false);
        break;
    case MatrixBranch::StraightAloft:
        sketch.Layer(0, Glyph::Arc1, true);
        sketch.Layer(1, Glyph::Straight, true);
        sketch.Layer(2, Glyph::Straight, false);
        break;
    case MatrixBranch::CurvedThroughout:
        sketch.Layer(0, Glyph::Arc2, true);
        sketch.Layer(1, Glyph::Arc3, true);
        break;
    }
}

} // namespace tarvex

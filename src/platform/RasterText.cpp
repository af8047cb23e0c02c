// Text on the raster surface: the font of the drawing state (the latest few
// kept, RasterTextFont.h), text measured and printed in it, smoothed in copy
// mode (glyph masks set straight into the image, words kept as pixels) and
// with exact pixels in a combining mode.
#include "platform/RasterSurface.h"

#include "platform/RasterTextFont.h"
#include "platform/TextMetrics.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <optional>

namespace tarvex {

using namespace raster;

namespace {

QString FontFamily(const std::string& name) {
    switch (FaceOfFont(name)) {
    case TextFace::Mono:
        return QStringLiteral("DejaVu Sans Mono");
    case TextFace::Serif:
        return QStringLiteral("DejaVu Serif");
    case TextFace::Sans:
        break;
    }
    return QStringLiteral("DejaVu Sans");
}

QFont MakeFont(const std::string& name, int pixelSize, bool bold) {
    // A bold serif at the least size fills the counters of 3, 6, 8 and 9:
    // it is drawn in the sans face of the same weight, whose digits stay
    // apart.
    const bool serifDigitsMerge =
        bold && pixelSize <= kLeastTextPixels && FaceOfFont(name) == TextFace::Serif;
    QFont font(serifDigitsMerge ? QStringLiteral("DejaVu Sans") : FontFamily(name));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// The mono face's zero holds a dot in its counter; below this size the dot
// touches the ring and the zero reads as an eight ("904" as "984").
constexpr int kLeastClearDotPixels = 12;

// There the zero is drawn from the sans face of the same weight, whose zero
// is plain, its ink centred where the mono zero's stands: the advances, and
// so a listing's columns and every measured width, stay the mono face's.
std::optional<raster::TextFont::StandIn> PlainZero(const std::string& name, const QFont& font,
                                                   const QRawFont& raw) {
    if (FaceOfFont(name) != TextFace::Mono || font.pixelSize() >= kLeastClearDotPixels)
        return std::nullopt;
    QFont sans(font);
    sans.setFamily(QStringLiteral("DejaVu Sans"));
    raster::TextFont::StandIn zero;
    zero.raw = QRawFont::fromFont(sans);
    const QList<quint32> dotted = raw.glyphIndexesForString(QStringLiteral("0"));
    const QList<quint32> plain = zero.raw.glyphIndexesForString(QStringLiteral("0"));
    if (dotted.value(0) == 0 || plain.value(0) == 0) return std::nullopt;
    zero.glyph = dotted[0];
    zero.rawGlyph = plain[0];
    // In whole quarters of a pixel, the places between pixels the toolkit
    // draws a glyph at, so that each mask stands where it is drawn.
    const double shift = raw.pathForGlyph(zero.glyph).boundingRect().center().x() -
                         zero.raw.pathForGlyph(zero.rawGlyph).boundingRect().center().x();
    zero.shift = std::round(4.0 * shift) / 4.0;
    return zero;
}

} // namespace

const raster::TextFont& RasterSurface::CurrentTextFont() const {
    const DrawState& state = State();
    const int pixels = TextPixelSize();
    // A picture that alternates between a few type faces or sizes (a
    // caption in bold, values in the plain face) finds each made already.
    for (std::size_t k = 0; k < textFonts_.size(); ++k) {
        const raster::TextFont& font = *textFonts_[k];
        if (font.name == state.fontName && font.pixels == pixels && font.bold == state.fontBold) {
            if (k > 0)
                std::rotate(textFonts_.begin(), textFonts_.begin() + k, textFonts_.begin() + k + 1);
            return *textFonts_.front();
        }
    }
    auto made = std::make_unique<raster::TextFont>();
    made->name = state.fontName;
    made->pixels = pixels;
    made->bold = state.fontBold;
    made->font = MakeFont(state.fontName, pixels, state.fontBold);
    made->raw = QRawFont::fromFont(made->font);
    made->standIn = PlainZero(made->name, made->font, made->raw);
    made->exactFont = made->font;
    made->exactFont.setStyleStrategy(QFont::NoAntialias);
    made->FillAsciiTables();
    const QFontMetrics metrics(made->font);
    made->ascent = metrics.ascent();
    made->height = metrics.height();
    constexpr std::size_t kFontsKept = 6;
    if (textFonts_.size() == kFontsKept) textFonts_.pop_back();
    textFonts_.insert(textFonts_.begin(), std::move(made));
    return *textFonts_.front();
}

void RasterSurface::DrawText(double x, double y, std::string_view text, bool) {
    const DrawState& state = State();
    const raster::TextFont& font = CurrentTextFont();
    const double px = ToPixelX(x);
    const double py = ToPixelY(y);
    if (!(std::abs(px) <= kLargestRadius && std::abs(py) <= kLargestRadius)) return;
    const QPoint topLeft = Rounded(QPointF(px, py));
    const raster::TextFont::Laid& laid = font.LayOut(text);
    const std::optional<GlyphLine>& glyphs = laid.glyphs;
    const int width = laid.width;
    if (state.textKind == TextKind::Repeat) {
        // A pixel's margin for glyphs that reach past their advance.
        const QRect under =
            QRect(topLeft, QSize(width, font.height)).adjusted(-1, -1, 1, 1) & image_.rect();
        if (underRepeats_.size() >= kMostKeptTexts) underRepeats_.clear();
        underRepeats_.push_back(UnderText{under, image_.copy(under)});
    }
    if (!state.fontTransparent) {
        Painter().fillRect(QRect(topLeft, QSize(width, font.height)), ToQColor(state.backColor));
    }
    // Text printed in copy mode is smoothed, so that every digit reads as
    // itself at the least size; text printed in a combining mode keeps
    // exact pixels.
    const bool smooth = state.drawMode == DrawMode::CopyPen;
    const QPoint baseline = topLeft + QPoint(0, font.ascent);
    if (glyphs && smooth && font.pixels < kLargestMaskedPixels) {
        font.SetText(image_, *glyphs, baseline, 0xFF000000u | PixelBits(state.foreColor));
    } else {
        QPainter& painter = Painter();
        painter.setPen(ToQColor(state.foreColor));
        painter.setRenderHint(QPainter::TextAntialiasing, smooth);
        if (glyphs) {
            QGlyphRun run;
            run.setRawFont(smooth ? font.raw : font.ExactRaw());
            run.setGlyphIndexes(glyphs->glyphs);
            run.setPositions(glyphs->positions);
            painter.drawGlyphRun(baseline, run);
        } else {
            painter.setFont(smooth ? font.font : font.exactFont);
            painter.drawText(baseline, ToQString(text));
        }
    }
    Changed();
}

void RasterSurface::EraseText(const TextRect& box) {
    const QPoint middle = Rounded(QPointF(box.left + box.width / 2.0, box.top + box.height / 2.0));
    // The latest repeat drawn there: the one whose pixels are on top.
    for (auto kept = underRepeats_.rbegin(); kept != underRepeats_.rend(); ++kept) {
        if (!kept->rect.contains(middle)) continue;
        QPainter& painter = Painter();
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(kept->rect.topLeft(), kept->pixels);
        painter.restore();
        underRepeats_.erase(std::next(kept).base());
        Changed();
        return;
    }
}

double RasterSurface::TextWidthPixels(std::string_view text) const {
    if (text.empty()) return 0.0;
    const raster::TextFont& font = CurrentTextFont();
    if (const std::optional<int> width = font.AsciiWidth(text)) return *width;
    return font.LayOut(text).width;
}

double RasterSurface::TextHeightPixels(std::string_view) const {
    return CurrentTextFont().height;
}

} // namespace tarvex

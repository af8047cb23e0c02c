// Text on the raster surface: the font of the drawing state (the latest few
// kept, RasterTextFont.h), text measured and printed in it, smoothed in copy
// mode (glyph masks set straight into the image, words kept as pixels) and
// with exact pixels in a combining mode.
#include "platform/RasterSurface.h"

#include "platform/RasterPixels.h"
#include "platform/RasterTextFont.h"
#include "platform/TextMetrics.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
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
    return FontOf(state.fontName, TextPixelSize(), state.fontBold);
}

const raster::TextFont& RasterSurface::FontOf(const std::string& name, int pixels,
                                              bool bold) const {
    // A picture that alternates between a few type faces or sizes (a
    // caption in bold, values in the plain face) finds each made already.
    for (std::size_t k = 0; k < textFonts_.size(); ++k) {
        const raster::TextFont& font = *textFonts_[k];
        if (font.name == name && font.pixels == pixels && font.bold == bold) {
            if (k > 0)
                std::rotate(textFonts_.begin(), textFonts_.begin() + k, textFonts_.begin() + k + 1);
            return *textFonts_.front();
        }
    }
    auto made = std::make_unique<raster::TextFont>();
    made->name = name;
    made->pixels = pixels;
    made->bold = bold;
    made->font = MakeFont(name, pixels, bold);
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
    const double px = ToPixelX(x);
    const double py = ToPixelY(y);
    if (!(std::abs(px) <= kLargestRadius && std::abs(py) <= kLargestRadius)) return;
    // A surface printed on again and again without being read paints its
    // texts now and then.
    if (held_.size() >= 4 * kMostKeptTexts) SettleTexts();
    HeldText& held = held_.emplace_back();
    held.id = PrintedTextId();
    held.kind = state.textKind;
    held.mayGo = held.id != 0 && state.textKind != TextKind::Value && !state.textMayOverlap;
    held.topLeft = Rounded(QPointF(px, py));
    held.text = std::string(text);
    held.fontName = state.fontName;
    held.pixels = TextPixelSize();
    held.bold = state.fontBold;
    held.foreColor = state.foreColor;
    held.backColor = state.backColor;
    held.transparent = state.fontTransparent;
    // Text printed in copy mode is smoothed, so that every digit reads as
    // itself at the least size; text printed in a combining mode keeps
    // exact pixels.
    held.smooth = state.drawMode == DrawMode::CopyPen;
    Changed();
}

void RasterSurface::Settle(bool read) {
    if (held_.empty()) return;
    // The texts are painted from a list of their own, which keeps its room
    // from one picture to the next.
    std::vector<HeldText>& held = settling_;
    held.swap(held_);
    if (textPainting_ == TextPainting::ValuesLast && !read) {
        // The values wait for the read.
        for (HeldText& text : held)
            if (text.kind == TextKind::Value) held_.push_back(std::move(text));
        std::erase_if(held, [](const HeldText& text) { return text.kind == TextKind::Value; });
    }
    const bool valuesLast = textPainting_ == TextPainting::ValuesLast;
    for (const TextKind kind : {TextKind::Repeat, TextKind::Label, TextKind::Value}) {
        if (kind == TextKind::Value && valuesLast) break;
        for (const HeldText& text : held)
            if (text.kind == kind && (textPainting_ != TextPainting::None || text.id == 0))
                PaintText(text);
    }
    if (valuesLast)
        for (auto text = held.rbegin(); text != held.rend(); ++text)
            if (text->kind == TextKind::Value) PaintText(*text);
    held.clear();
}

void RasterSurface::PaintText(const HeldText& held) {
    const raster::TextFont& font = FontOf(held.fontName, held.pixels, held.bold);
    const raster::TextFont::Laid& laid = font.LayOut(held.text);
    const std::optional<GlyphLine>& glyphs = laid.glyphs;
    const QRect box(held.topLeft, QSize(laid.width, font.height));
    // A pixel's margin for glyphs that reach past their advance.
    const QRect area = box.adjusted(-1, -1, 1, 1) & image_.rect();
    const bool kept = held.mayGo && held.id >= forgottenBefore_ && !area.isEmpty();
    QImage under = kept ? image_.copy(area) : QImage();
    if (!held.transparent) Painter().fillRect(box, ToQColor(held.backColor));
    const QPoint baseline = held.topLeft + QPoint(0, font.ascent);
    if (glyphs && held.smooth && font.pixels < kLargestMaskedPixels) {
        font.SetText(image_, *glyphs, baseline, 0xFF000000u | PixelBits(held.foreColor));
    } else {
        QPainter& painter = Painter();
        painter.setPen(ToQColor(held.foreColor));
        painter.setRenderHint(QPainter::TextAntialiasing, held.smooth);
        if (glyphs) {
            QGlyphRun run;
            run.setRawFont(held.smooth ? font.raw : font.ExactRaw());
            run.setGlyphIndexes(glyphs->glyphs);
            run.setPositions(glyphs->positions);
            painter.drawGlyphRun(baseline, run);
        } else {
            painter.setFont(held.smooth ? font.font : font.exactFont);
            painter.drawText(baseline, ToQString(held.text));
        }
    }
    if (!kept) return;
    // The same text printed again at its place (a redraw in another colour)
    // keeps the pixels from before the first.
    const auto again = std::find_if(painted_.begin(), painted_.end(), [&](const PaintedText& p) {
        return p.id == held.id && p.rect == area;
    });
    if (again != painted_.end()) {
        again->inked = image_.copy(area);
        return;
    }
    painted_.push_back(PaintedText{held.id, area, std::move(under), image_.copy(area)});
    keptStale_ = true;
}

void RasterSurface::EraseText(const DrawnText& text) {
    std::erase_if(held_, [&](const HeldText& held) { return held.id == text.id; });
    const auto painted = std::find_if(painted_.begin(), painted_.end(),
                                      [&](const PaintedText& p) { return p.id == text.id; });
    if (painted == painted_.end()) return;
    // Only the pixels that still show the text's ink go back to what lay
    // under it: whatever was drawn over them since stays.
    EndPainting();
    const QRect area = painted->rect & image_.rect();
    const int width = painted->inked.width();
    for (int row = area.top(); row <= area.bottom(); ++row) {
        const auto* under =
            reinterpret_cast<const QRgb*>(painted->under.constScanLine(row - painted->rect.top()));
        const auto* inked =
            reinterpret_cast<const QRgb*>(painted->inked.constScanLine(row - painted->rect.top()));
        auto* pixels = reinterpret_cast<QRgb*>(image_.scanLine(row));
        for (int column = area.left(); column <= area.right(); ++column) {
            const int k = column - painted->rect.left();
            if (k >= width) break;
            if (inked[k] != under[k] && pixels[column] == inked[k]) pixels[column] = under[k];
        }
    }
    std::erase_if(painted_, [&](const PaintedText& p) { return p.id == text.id; });
    keptStale_ = true;
    Changed();
}

bool RasterSurface::KeptUnder(const QRect& bounds) {
    keptUnder_.clear();
    keptTallest_ = 0;
    keptArea_ = QRect();
    if (painted_.empty()) return false;
    if (keptStale_) {
        // By their top rows, so that a shape or a row of it finds the few it
        // meets; sorted again only when the texts change.
        keptOrder_.resize(painted_.size());
        std::iota(keptOrder_.begin(), keptOrder_.end(), std::size_t{0});
        std::ranges::sort(keptOrder_, {}, [this](std::size_t k) { return painted_[k].rect.top(); });
        keptOrderTallest_ = 0;
        for (const PaintedText& p : painted_)
            keptOrderTallest_ = std::max(keptOrderTallest_, p.rect.height());
        keptStale_ = false;
    }
    auto k = std::ranges::lower_bound(keptOrder_, bounds.top() - keptOrderTallest_ + 1, {},
                                      [this](std::size_t n) { return painted_[n].rect.top(); });
    for (; k != keptOrder_.end() && painted_[*k].rect.top() <= bounds.bottom(); ++k) {
        const QRect& rect = painted_[*k].rect;
        if (rect.right() < bounds.left() || rect.left() > bounds.right() ||
            rect.bottom() < bounds.top())
            continue;
        keptUnder_.push_back(*k);
        keptTallest_ = std::max(keptTallest_, rect.height());
        keptArea_ |= rect;
    }
    return !keptUnder_.empty();
}

void RasterSurface::CombineKept(int row, int left, int end, std::uint32_t pen, const QRgb* source) {
    if (row < keptArea_.top() || row > keptArea_.bottom() || end <= keptArea_.left() ||
        left > keptArea_.right())
        return;
    const DrawMode mode = State().drawMode;
    auto k = std::ranges::lower_bound(keptUnder_, row - keptTallest_ + 1, {},
                                      [this](std::size_t n) { return painted_[n].rect.top(); });
    for (; k != keptUnder_.end() && painted_[*k].rect.top() <= row; ++k) {
        PaintedText& p = painted_[*k];
        const int from = std::max(left, p.rect.left());
        const int to = std::min(end, p.rect.right() + 1);
        if (row > p.rect.bottom() || from >= to) continue;
        for (QImage* kept : {&p.under, &p.inked}) {
            auto* pixels = reinterpret_cast<QRgb*>(kept->scanLine(row - p.rect.top()));
            if (mode == DrawMode::CopyPen && !source) {
                FillRow(pixels + (from - p.rect.left()), to - from, 0xFF000000u | pen);
                continue;
            }
            for (int column = from; column < to; ++column) {
                const QRgb drawn = source ? source[column - left] : pen;
                if (source && qAlpha(drawn) == 0) continue;
                QRgb& pixel = pixels[column - p.rect.left()];
                pixel = 0xFF000000u | ApplyDrawMode(mode, drawn, pixel);
            }
        }
    }
}

void RasterSurface::TextCovered(const DrawnText& text) {
    std::erase_if(held_, [&](const HeldText& held) { return held.id == text.id; });
    std::erase_if(painted_, [&](const PaintedText& p) { return p.id == text.id; });
    keptStale_ = true;
}

std::vector<PictureText> RasterSurface::TextsForPicture() const {
    std::vector<PictureText> texts;
    texts.reserve(DrawnTexts().size());
    for (const DrawnText& drawn : DrawnTexts()) {
        PictureText& text = texts.emplace_back(PictureText{drawn, 0, 0, nullptr, nullptr});
        const auto painted = std::find_if(painted_.begin(), painted_.end(),
                                          [&](const PaintedText& p) { return p.id == drawn.id; });
        if (painted == painted_.end()) continue;
        text.inkLeft = painted->rect.left();
        text.inkTop = painted->rect.top();
        text.under = std::make_shared<const QImage>(painted->under);
        text.inked = std::make_shared<const QImage>(painted->inked);
    }
    return texts;
}

void RasterSurface::PictureTextShown(const PictureText& text, std::uint64_t id) {
    if (!text.under || !text.inked) return;
    painted_.push_back(PaintedText{id, QRect(QPoint(text.inkLeft, text.inkTop), text.under->size()),
                                   *text.under, *text.inked});
    keptStale_ = true;
}

void RasterSurface::TextsForgottenBefore(std::uint64_t id) {
    forgottenBefore_ = id;
    std::erase_if(painted_, [id](const PaintedText& p) { return p.id < id; });
    keptStale_ = true;
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

// Text on the raster surface: the font of the drawing state (the latest few
// kept, RasterTextFont.h), text measured and printed in it, smoothed in copy
// mode (glyph masks set straight into the image, words kept as pixels) and
// with exact pixels in a combining mode. Texts are held until they are
// settled and then painted; a painted text that may still go keeps its ink
// pixels (those its painting changed, with what lay under them), a bit a
// pixel marks where any such ink is, and a grid over the image finds the
// texts a later shape's ink pixels belong to, so that the shape's pixels are
// kept there too and taking the text's ink off leaves the shape whole.
#include "platform/RasterSurface.h"

#include "platform/RasterPixels.h"
#include "platform/RasterTextFont.h"
#include "platform/TextMetrics.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
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
    CurrentFont& current = currentFont_;
    if (current.font && current.points == state.fontSize && current.bold == state.fontBold &&
        current.pixelWidth == PixelWidth() && current.pixelHeight == PixelHeight() &&
        current.designWidth == DesignWidth() && current.designHeight == DesignHeight() &&
        current.nameChanges == FontNameChanges())
        return *current.font;
    const raster::TextFont& font = FontOf(state.fontName, TextPixelSize(), state.fontBold);
    current.font = &font;
    current.points = state.fontSize;
    current.pixelWidth = PixelWidth();
    current.pixelHeight = PixelHeight();
    current.designWidth = DesignWidth();
    current.designHeight = DesignHeight();
    current.bold = state.fontBold;
    current.nameChanges = FontNameChanges();
    return font;
}

const raster::TextFont& RasterSurface::FontOf(const std::string& name, int pixels,
                                              bool bold) const {
    // A picture that alternates between a few type faces or sizes (a
    // caption in bold, values in the plain face) finds each made already.
    for (std::size_t k = 0; k < textFonts_.size(); ++k) {
        const raster::TextFont& font = *textFonts_[k];
        if (font.pixels == pixels && font.bold == bold && font.name == name) {
            if (k > 0)
                std::rotate(textFonts_.begin(), textFonts_.begin() + k, textFonts_.begin() + k + 1);
            return *textFonts_.front();
        }
    }
    currentFont_.font = nullptr;
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
    // Where the text will be painted, with a margin round it wide enough
    // for any glyph that reaches past its advance: a transparent text just
    // placed paints its ink alone, inside the box it was placed by; any
    // other paints its whole box.
    const std::vector<DrawnText>& placed = DrawnTexts();
    QRectF box;
    if (held.transparent && held.id != 0 && !placed.empty() && placed.back().id == held.id) {
        const TextRect& ink = placed.back().rect;
        box = QRectF(ink.left, ink.top, ink.width, ink.height);
    } else {
        box = QRectF(held.topLeft, QSizeF(TextWidthPixels(text), TextHeightPixels(text)));
    }
    const double margin = box.height();
    Changed(box.adjusted(-margin, -margin, margin, margin).toAlignedRect());
}

void RasterSurface::Settle(bool read) {
    if (held_.empty()) return;
    FinishClear();
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
    // The texts under this one keep what shapes copied there before it.
    KeepCopied(area);
    // What lay under the pixels the painting may set, to tell the text's ink
    // from them after.
    if (kept) StartBeforeText(area);
    const bool masked = glyphs && held.smooth && font.pixels < kLargestMaskedPixels;
    if (kept && (!held.transparent || !masked)) KeepBeforeText(area);
    if (!held.transparent) Painter().fillRect(box, ToQColor(held.backColor));
    const QPoint baseline = held.topLeft + QPoint(0, font.ascent);
    if (masked) {
        // Glyphs set from masks touch only the areas of their words: only
        // those are kept and looked over for ink.
        const auto keepWord = [this, kept](const QRect& word) {
            if (kept) KeepBeforeText(word);
        };
        font.SetText(image_, *glyphs, baseline, 0xFF000000u | PixelBits(held.foreColor), keepWord);
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
    StartInkStore();
    const auto* inked =
        reinterpret_cast<const QRgb*>(image_.constScanLine(area.top())) + area.left();
    const qsizetype inkedStride = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    // The same text printed again at its place (a redraw in another colour)
    // keeps the pixels from before the first under the first's ink where
    // that ink still showed: a text painted over it since is not the
    // first's to take back.
    const auto again =
        !MayBePainted(held.id)
            ? painted_.end()
            : std::find_if(painted_.begin(), painted_.end(),
                           [&](const PaintedText& p) { return p.id == held.id && p.rect == area; });
    if (again != painted_.end()) {
        // The first's ink is looked over as well: the pixels kept so far
        // are those this painting may have set, and any other still shows
        // what lay under it.
        if (!again->ink.isEmpty()) KeepBeforeText(again->ink);
        for (int row = again->ink.top(); row <= again->ink.bottom(); ++row) {
            QRgb* before = beforeText_.data() +
                           static_cast<std::ptrdiff_t>(row - area.top()) * area.width() -
                           area.left();
            for (const InkPixel* ink = InkRowBegin(*again, row); ink != InkRowEnd(*again, row);
                 ++ink)
                if (before[ink->column] == ink->inked) before[ink->column] = ink->under;
        }
        if (!again->ink.isEmpty())
            inkLeftOver_ += InkRowStart(*again, again->ink.bottom() + 1) -
                            InkRowStart(*again, again->ink.top());
        AppendInk(*again, area, beforeText_.data(), area.width(), inked, inkedStride,
                  beforeSpans_.data());
        // In the grid by its area still; its new ink is marked as well.
        if (!keptStale_ && static_cast<std::size_t>(again - painted_.begin()) < keptIndexed_)
            SetInkBits(*again);
        if (inkLeftOver_ > 4096 && 2 * inkLeftOver_ > inkPixels_.size()) CompactKeptPixels();
        return;
    }
    PaintedText& painted = AddPainted(held.id, area);
    AppendInk(painted, area, beforeText_.data(), area.width(), inked, inkedStride,
              beforeSpans_.data());
}

void RasterSurface::StartInkStore() {
    if (!painted_.empty()) return;
    inkPixels_.clear();
    inkRows_.clear();
    inkLeftOver_ = 0;
    paintedIds_.fill(0);
}

RasterSurface::PaintedText& RasterSurface::AddPainted(std::uint64_t id, const QRect& rect) {
    paintedIds_[(id >> 6) % paintedIds_.size()] |= std::uint64_t{1} << (id & 63);
    return painted_.emplace_back(PaintedText{id, rect, QRect(), 0});
}

void RasterSurface::StartBeforeText(const QRect& area) {
    beforeArea_ = area;
    beforeText_.resize(static_cast<std::size_t>(area.width()) *
                       static_cast<std::size_t>(area.height()));
    beforeSpans_.assign(static_cast<std::size_t>(area.height()), Span{area.right() + 1, 0});
}

void RasterSurface::KeepBeforeText(const QRect& rect) {
    const QRect keep = rect & beforeArea_;
    for (int row = keep.top(); row <= keep.bottom(); ++row) {
        const auto r = static_cast<std::size_t>(row - beforeArea_.top());
        Span& span = beforeSpans_[r];
        const auto* pixels = reinterpret_cast<const QRgb*>(image_.constScanLine(row));
        QRgb* before = beforeText_.data() + r * static_cast<std::size_t>(beforeArea_.width()) -
                       beforeArea_.left();
        // The row's kept columns stay one span: the new ones on either side
        // of it, with any gap between, still show what lay under them.
        if (span.first > span.end) {
            std::copy(pixels + keep.left(), pixels + keep.right() + 1, before + keep.left());
            span = Span{keep.left(), keep.right() + 1};
            continue;
        }
        if (keep.left() < span.first) {
            std::copy(pixels + keep.left(), pixels + span.first, before + keep.left());
            span.first = keep.left();
        }
        if (keep.right() + 1 > span.end) {
            std::copy(pixels + span.end, pixels + keep.right() + 1, before + span.end);
            span.end = keep.right() + 1;
        }
    }
}

void RasterSurface::AppendInk(PaintedText& p, const QRect& area, const QRgb* under,
                              qsizetype underStride, const QRgb* inked, qsizetype inkedStride,
                              const Span* spans) {
    // A start for each row of the area and one past them; the text's rows
    // begin at its first ink row.
    const std::size_t rows = inkRows_.size();
    int top = area.bottom() + 1;
    int bottom = area.top() - 1;
    int left = area.right() + 1;
    int right = area.left() - 1;
    for (int row = area.top(); row <= area.bottom();
         ++row, under += underStride, inked += inkedStride) {
        inkRows_.push_back(inkPixels_.size());
        const std::size_t start = inkPixels_.size();
        // Most of an area is not ink: four pixels at a time are passed over
        // where none differs.
        int k = 0;
        int width = area.width();
        if (spans) {
            const Span& span = spans[row - area.top()];
            k = std::min(span.first - area.left(), width);
            width = std::max(k, span.end - area.left());
        }
#if defined(__SSE2__)
        for (; k + 4 <= width; k += 4) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(under + k));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(inked + k));
            // A nibble a pixel, set where it differs.
            for (unsigned differ = ~_mm_movemask_epi8(_mm_cmpeq_epi32(a, b)) & 0xFFFFu; differ != 0;
                 differ &= differ - 1) {
                const int j = k + std::countr_zero(differ) / 4;
                differ &= ~(0xEu << (std::countr_zero(differ) & ~3));
                inkPixels_.push_back(InkPixel{area.left() + j, under[j], inked[j]});
            }
        }
#endif
        for (; k < width; ++k)
            if (under[k] != inked[k])
                inkPixels_.push_back(InkPixel{area.left() + k, under[k], inked[k]});
        if (inkPixels_.size() == start) continue;
        top = std::min(top, row);
        bottom = row;
        left = std::min(left, inkPixels_[start].column);
        right = std::max(right, inkPixels_.back().column);
    }
    inkRows_.push_back(inkPixels_.size());
    if (top > bottom) {
        p.ink = QRect();
        p.rows = rows;
        return;
    }
    p.ink = QRect(QPoint(left, top), QPoint(right, bottom));
    p.rows = rows + static_cast<std::size_t>(top - area.top());
}

void RasterSurface::CompactKeptPixels() {
    // The ink of the texts on the list, in its order, into a new store.
    std::vector<InkPixel> pixels;
    std::vector<std::size_t> rows;
    for (PaintedText& p : painted_) {
        if (p.ink.isEmpty()) {
            p.rows = rows.size();
            continue;
        }
        const std::size_t first = inkRows_[p.rows];
        const std::size_t last = inkRows_[p.rows + static_cast<std::size_t>(p.ink.height())];
        const std::size_t start = rows.size();
        for (int row = 0; row <= p.ink.height(); ++row)
            rows.push_back(inkRows_[p.rows + static_cast<std::size_t>(row)] - first +
                           pixels.size());
        pixels.insert(pixels.end(), inkPixels_.begin() + static_cast<std::ptrdiff_t>(first),
                      inkPixels_.begin() + static_cast<std::ptrdiff_t>(last));
        p.rows = start;
    }
    inkPixels_ = std::move(pixels);
    inkRows_ = std::move(rows);
    inkLeftOver_ = 0;
}

void RasterSurface::EraseText(const DrawnText& text) {
    FinishClear();
    std::erase_if(held_, [&](const HeldText& held) { return held.id == text.id; });
    const auto painted = std::find_if(painted_.begin(), painted_.end(),
                                      [&](const PaintedText& p) { return p.id == text.id; });
    if (painted == painted_.end()) return;
    // Only the pixels that still show the text's ink go back to what lay
    // under it: whatever was drawn over them since stays.
    EndPainting();
    KeepCopied(painted->rect);
    const QRect ink = painted->ink & image_.rect();
    for (int row = ink.top(); row <= ink.bottom(); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(image_.scanLine(row));
        for (const InkPixel* p = InkRowBegin(*painted, row); p != InkRowEnd(*painted, row); ++p)
            if (p->column >= ink.left() && p->column <= ink.right() &&
                pixels[p->column] == p->inked)
                pixels[p->column] = p->under;
    }
    const QRect area = painted->rect & image_.rect();
    DropPainted(text.id);
    Changed(area);
}

void RasterSurface::IndexKept() {
    if (keptStale_) {
        for (std::size_t band = 0; band < keptBands_.size(); ++band)
            for (std::uint64_t cells = keptBands_[band]; cells != 0; cells &= cells - 1)
                keptCells_[band * kKeptCellsInBand +
                           static_cast<std::size_t>(std::countr_zero(cells))]
                    .clear();
        keptCellShift_ = 4;
        while ((image_.width() >> keptCellShift_) >= kKeptCellsInBand) ++keptCellShift_;
        const auto bands = static_cast<std::size_t>((image_.height() + (1 << kKeptBandShift) - 1) >>
                                                    kKeptBandShift);
        keptBands_.assign(std::max<std::size_t>(bands, 1), 0);
        keptCells_.resize(keptBands_.size() * kKeptCellsInBand);
        inkStride_ = (image_.width() + 63) / 64;
        const auto words =
            static_cast<std::size_t>(inkStride_) * static_cast<std::size_t>(image_.height());
        inkBits_.assign(words, 0);
        // The marks of copied pixels, all clear when the image changes size.
        if (copied_.size() != words) {
            copied_.assign(words, 0);
            copiedArea_ = QRect();
        }
        keptIndexed_ = 0;
        keptStale_ = false;
    }
    for (; keptIndexed_ < painted_.size(); ++keptIndexed_) {
        // Within the image, where the shapes' pixels are.
        const QRect rect = painted_[keptIndexed_].rect & image_.rect();
        if (rect.isEmpty()) continue;
        SetInkBits(painted_[keptIndexed_]);
        const KeptInCell kept{rect.top(), rect.bottom(), rect.left(), rect.right(),
                              static_cast<std::uint32_t>(keptIndexed_)};
        const std::uint64_t cells = KeptCells(rect.left(), rect.right() + 1);
        for (int band = rect.top() >> kKeptBandShift; band <= rect.bottom() >> kKeptBandShift;
             ++band) {
            const auto b = static_cast<std::size_t>(band);
            keptBands_[b] |= cells;
            for (std::uint64_t left = cells; left != 0; left &= left - 1)
                keptCells_[b * kKeptCellsInBand + static_cast<std::size_t>(std::countr_zero(left))]
                    .push_back(kept);
        }
    }
}

void RasterSurface::SetInkBits(const PaintedText& p) {
    const QRect ink = p.ink & image_.rect();
    if (ink == p.ink) {
        // All of it on the image: no pixel to leave out.
        for (int row = ink.top(); row <= ink.bottom(); ++row) {
            std::uint64_t* const bits = InkBitsRow(row);
            for (const InkPixel* pixel = InkRowBegin(p, row); pixel != InkRowEnd(p, row); ++pixel)
                bits[pixel->column >> 6] |= std::uint64_t{1} << (pixel->column & 63);
        }
        return;
    }
    for (int row = ink.top(); row <= ink.bottom(); ++row) {
        std::uint64_t* const bits = InkBitsRow(row);
        // A row's pixels in the order of their columns: gathered a word of
        // bits at a time.
        int word = -1;
        std::uint64_t gathered = 0;
        for (const InkPixel* pixel = InkRowBegin(p, row); pixel != InkRowEnd(p, row); ++pixel) {
            if (pixel->column < ink.left() || pixel->column > ink.right()) continue;
            if (pixel->column >> 6 != word) {
                if (word >= 0) bits[word] |= gathered;
                word = pixel->column >> 6;
                gathered = 0;
            }
            gathered |= std::uint64_t{1} << (pixel->column & 63);
        }
        if (word >= 0) bits[word] |= gathered;
    }
}

QRect RasterSurface::KeptArea(const QRect& bounds) {
    QRect area;
    const QRect inside = bounds & image_.rect();
    if (inside.isEmpty() || !KeptAny()) return area;
    const std::uint64_t columns = KeptCells(inside.left(), inside.right() + 1);
    for (int band = inside.top() >> kKeptBandShift; band <= inside.bottom() >> kKeptBandShift;
         ++band) {
        const auto b = static_cast<std::size_t>(band);
        for (std::uint64_t cells = keptBands_[b] & columns; cells != 0; cells &= cells - 1)
            for (const KeptInCell& kept :
                 keptCells_[b * kKeptCellsInBand +
                            static_cast<std::size_t>(std::countr_zero(cells))])
                if (kept.left <= inside.right() && kept.right >= inside.left() &&
                    kept.top <= inside.bottom() && kept.bottom >= inside.top())
                    area |= painted_[kept.text].ink;
    }
    return area;
}

void RasterSurface::CombineKeptCells(int row, int left, int end, std::uint32_t pen,
                                     const QRgb* source, std::uint64_t cells) {
    const ModeRule rule(State().drawMode);
    const auto band = static_cast<std::size_t>(row >> kKeptBandShift);
    for (; cells != 0; cells &= cells - 1) {
        const int cell = std::countr_zero(cells);
        for (const KeptInCell& kept :
             keptCells_[band * kKeptCellsInBand + static_cast<std::size_t>(cell)]) {
            const int from = std::max(left, kept.left);
            const int to = std::min(end, kept.right + 1);
            // A text that spans several cells of the row is combined once,
            // from the first cell it shares with the shape's pixels.
            if (row < kept.top || row > kept.bottom || from >= to ||
                (from >> keptCellShift_) != cell)
                continue;
            const PaintedText& p = painted_[kept.text];
            if (row < p.ink.top() || row > p.ink.bottom()) continue;
            InkPixel* const last = InkRowEnd(p, row);
            for (InkPixel* ink = InkRowBegin(p, row); ink != last && ink->column < to; ++ink) {
                if (ink->column < from) continue;
                const QRgb drawn = source ? source[ink->column - left] : pen;
                if (source && qAlpha(drawn) == 0) continue;
                ink->under = 0xFF000000u | rule(drawn, ink->under);
                ink->inked = 0xFF000000u | rule(drawn, ink->inked);
            }
        }
    }
}

void RasterSurface::MarkCopied(int row, int left, int end, const QRgb* source) {
    std::uint64_t* const marks = CopiedRow(row);
    const std::uint64_t* const ink = InkBitsRow(row);
    bool any = false;
    for (int word = left >> 6; word <= (end - 1) >> 6; ++word) {
        std::uint64_t bits = ink[word];
        if (word == left >> 6) bits &= ~std::uint64_t{0} << (left & 63);
        if (word == (end - 1) >> 6) bits &= ~std::uint64_t{0} >> (63 - ((end - 1) & 63));
        if (source)
            for (std::uint64_t b = bits; b != 0; b &= b - 1) {
                const int column = word * 64 + std::countr_zero(b);
                if (qAlpha(source[column - left]) == 0)
                    bits &= ~(std::uint64_t{1} << (column & 63));
            }
        marks[word] |= bits;
        any = any || bits != 0;
    }
    if (!any) return;
    // The row joined to the area by its corners: a shape marks row after row.
    if (copiedArea_.isEmpty()) {
        copiedArea_ = QRect(left, row, end - left, 1);
    } else {
        copiedArea_.setCoords(std::min(copiedArea_.left(), left), std::min(copiedArea_.top(), row),
                              std::max(copiedArea_.right(), end - 1),
                              std::max(copiedArea_.bottom(), row));
    }
}

void RasterSurface::KeepCopied(const QRect& area) {
    const QRect inside = area & copiedArea_ & image_.rect();
    if (copied_.empty() || inside.isEmpty()) return;
    FinishResize();
    const bool anyKept = KeptAny();
    bool marked = !anyKept;
    for (int row = inside.top(); row <= inside.bottom() && !marked; ++row)
        marked = BitsMeet(CopiedRow(row), inside.left(), inside.right() + 1);
    if (!marked) {
        // No shape was copied over ink there: nothing to keep or clear.
        if (area.contains(copiedArea_)) copiedArea_ = QRect();
        return;
    }
    if (anyKept) {
        const std::uint64_t columns = KeptCells(inside.left(), inside.right() + 1);
        for (int band = inside.top() >> kKeptBandShift; band <= inside.bottom() >> kKeptBandShift;
             ++band) {
            const auto b = static_cast<std::size_t>(band);
            const int top = std::max(inside.top(), band << kKeptBandShift);
            const int bottom = std::min(inside.bottom(), ((band + 1) << kKeptBandShift) - 1);
            for (std::uint64_t cells = keptBands_[b] & columns; cells != 0; cells &= cells - 1) {
                const int cell = std::countr_zero(cells);
                for (const KeptInCell& kept :
                     keptCells_[b * kKeptCellsInBand + static_cast<std::size_t>(cell)]) {
                    const int from = std::max(inside.left(), kept.left);
                    const int to = std::min(inside.right(), kept.right) + 1;
                    // Each text once a band, from the first cell it shares
                    // with the area.
                    if (from >= to || (from >> keptCellShift_) != cell) continue;
                    const PaintedText& p = painted_[kept.text];
                    for (int row = std::max({top, kept.top, p.ink.top()});
                         row <= std::min({bottom, kept.bottom, p.ink.bottom()}); ++row) {
                        const std::uint64_t* marks = CopiedRow(row);
                        const auto* pixels =
                            reinterpret_cast<const QRgb*>(image_.constScanLine(row));
                        InkPixel* const last = InkRowEnd(p, row);
                        for (InkPixel* ink = InkRowBegin(p, row); ink != last && ink->column < to;
                             ++ink)
                            if (ink->column >= from &&
                                ((marks[ink->column >> 6] >> (ink->column & 63)) & 1u) != 0)
                                ink->under = ink->inked = pixels[ink->column];
                    }
                }
            }
        }
    }
    for (int row = inside.top(); row <= inside.bottom(); ++row) {
        std::uint64_t* const marks = CopiedRow(row);
        for (int word = inside.left() >> 6; word <= inside.right() >> 6; ++word) {
            std::uint64_t bits = ~std::uint64_t{0};
            if (word == inside.left() >> 6) bits &= ~std::uint64_t{0} << (inside.left() & 63);
            if (word == inside.right() >> 6)
                bits &= ~std::uint64_t{0} >> (63 - (inside.right() & 63));
            marks[word] &= ~bits;
        }
    }
    if (area.contains(copiedArea_)) copiedArea_ = QRect();
}

void RasterSurface::DropPainted(std::uint64_t id) {
    if (copiedBeforeResize_) FinishResize();
    for (std::size_t k = 0; k < painted_.size(); ++k) {
        PaintedText& p = painted_[k];
        if (p.id != id) continue;
        const QRect rect = p.rect & image_.rect();
        if (!keptStale_ && k < keptIndexed_ && !rect.isEmpty()) {
            // Off the cells of the grid it was added to.
            const std::uint64_t cells = KeptCells(rect.left(), rect.right() + 1);
            for (int band = rect.top() >> kKeptBandShift; band <= rect.bottom() >> kKeptBandShift;
                 ++band) {
                const auto b = static_cast<std::size_t>(band);
                for (std::uint64_t left = cells; left != 0; left &= left - 1) {
                    const int cell = std::countr_zero(left);
                    std::vector<KeptInCell>& texts =
                        keptCells_[b * kKeptCellsInBand + static_cast<std::size_t>(cell)];
                    std::erase_if(texts, [k](const KeptInCell& kept) { return kept.text == k; });
                    if (texts.empty()) keptBands_[b] &= ~(std::uint64_t{1} << cell);
                }
            }
        }
        // Left in its place, so that the grid's places of the others hold.
        p = PaintedText{};
        ++droppedPainted_;
    }
    if (droppedPainted_ > 16 && 2 * droppedPainted_ > painted_.size()) {
        std::erase_if(painted_, [](const PaintedText& p) { return p.id == 0; });
        CompactKeptPixels();
        droppedPainted_ = 0;
        keptStale_ = true;
    }
}

void RasterSurface::TextCovered(const DrawnText& text) {
    std::erase_if(held_, [&](const HeldText& held) { return held.id == text.id; });
    DropPainted(text.id);
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
        // Over the text's area, its ink pixels as kept; all others clear in
        // both, which tells them from ink.
        auto under = std::make_shared<QImage>(painted->rect.size(), image_.format());
        auto inked = std::make_shared<QImage>(painted->rect.size(), image_.format());
        under->fill(0u);
        inked->fill(0u);
        const PaintedText& p = *painted;
        for (int row = p.ink.top(); row <= p.ink.bottom(); ++row) {
            auto* underRow = reinterpret_cast<QRgb*>(under->scanLine(row - p.rect.top()));
            auto* inkedRow = reinterpret_cast<QRgb*>(inked->scanLine(row - p.rect.top()));
            for (const InkPixel* ink = InkRowBegin(p, row); ink != InkRowEnd(p, row); ++ink) {
                underRow[ink->column - p.rect.left()] = ink->under;
                inkedRow[ink->column - p.rect.left()] = ink->inked;
            }
        }
        text.under = std::move(under);
        text.inked = std::move(inked);
    }
    return texts;
}

void RasterSurface::PictureTextShown(const PictureText& text, std::uint64_t id) {
    FinishClear();
    if (!text.under || !text.inked || text.under->depth() != 32 ||
        text.inked->size() != text.under->size() || text.inked->depth() != 32)
        return;
    const QRect rect(QPoint(text.inkLeft, text.inkTop), text.under->size());
    KeepCopied(rect);
    StartInkStore();
    PaintedText& painted = AddPainted(id, rect);
    const qsizetype pixel = sizeof(QRgb);
    AppendInk(painted, rect, reinterpret_cast<const QRgb*>(text.under->constBits()),
              text.under->bytesPerLine() / pixel,
              reinterpret_cast<const QRgb*>(text.inked->constBits()),
              text.inked->bytesPerLine() / pixel);
}

void RasterSurface::TextsForgottenBefore(std::uint64_t id) {
    if (copiedBeforeResize_) FinishResize();
    forgottenBefore_ = id;
    if (std::erase_if(painted_, [id](const PaintedText& p) { return p.id < id; }) != 0) {
        CompactKeptPixels();
        droppedPainted_ = 0;
        keptStale_ = true;
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

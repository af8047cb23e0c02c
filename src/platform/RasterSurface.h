#pragma once

#include "platform/PictureSurface.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPen>
#include <QRect>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QPainter;

namespace tarvex {

namespace raster {
struct TextFont;
} // namespace raster

// The colour value 0xRRGGBB that a drawn pixel leaves when it is combined with
// the pixel under it by the draw mode.
std::uint32_t ApplyDrawMode(DrawMode mode, std::uint32_t pen, std::uint32_t destination);

// A surface that draws into an image of 32-bit pixels. Nothing is smoothed, so
// every pixel is either drawn or untouched and the combining draw modes are
// exact: drawing a shape twice in exclusive-or mode restores the picture.
//
// Texts are painted last. A printed text the rules let stand is held, not
// painted, and the held texts are painted when the picture is settled: when
// its pixels are read (Image, TakePicture), before a shape is drawn in a
// combining mode (so that it combines with what shows), and before a
// resize. They are painted repeats first, then labels, then values, each in
// the order printed, over every line, mark and fill drawn before the
// settling: nothing covers a value. A held text left out after all (a value
// or label printed over it) is never painted; one painted already has its
// own ink taken off, every other pixel staying as it is (where a shape was
// drawn over its ink since, the pixel becomes the shape combined with what
// lay under the ink, or the shape's own where it was copied). A box filled in
// copy mode over a held text whole leaves it unpainted. Clear and SetPicture
// drop the held texts.
// Text uses the DejaVu fonts: classic fixed-pitch names map to DejaVu Sans
// Mono (its small smoothed zeros drawn plain, from DejaVu Sans), serif names
// to DejaVu Serif, all others to DejaVu Sans.
class RasterSurface : public PictureSurface {
  public:
    // What Clear leaves: the back colour, or (for a layer shown over another
    // picture) pixels that let the picture below show through.
    enum class Background { Opaque, Transparent };

    RasterSurface(int pixelWidth, int pixelHeight, Background background = Background::Opaque);
    ~RasterSurface() override;

    // The pixels as drawn so far.
    const QImage& Image() const {
        // The surface itself is never const: only the caller's view of it.
        auto* self = const_cast<RasterSurface*>(this);
        self->FinishClear();
        self->Settle(true);
        EndPainting();
        return image_;
    }
    // Changes the pixel size, keeping what is drawn at the top-left corner;
    // new area shows the back colour.
    void Resize(int pixelWidth, int pixelHeight);
    // Called after every change of the pixels, with the area that changed
    // (in pixels; never smaller than what changed).
    void SetChangedHandler(std::function<void(const QRect&)> handler) {
        changed_ = std::move(handler);
    }
    // Paints the held texts now (see above).
    void SettleTexts() { Settle(false); }
    // How texts are painted, for checks that compare a picture's pixels:
    // as usual; none (texts are placed and decided as ever, but only blank
    // ones, which paint their back colour alone, are painted); or with the
    // values held until the pixels are read and then painted last of all,
    // in the reverse order (a value anything covers then shows otherwise).
    enum class TextPainting { Usual, None, ValuesLast };
    void SetTextPainting(TextPainting painting) { textPainting_ = painting; }
    TextPainting GetTextPainting() const { return textPainting_; }

  protected:
    void DrawClear() override;
    void DrawLine(double x1, double y1, double x2, double y2, Rgb color) override;
    void DrawPolyline(const std::vector<std::pair<double, double>>& points, Rgb color) override;
    void DrawLines(const std::vector<Segment>& segments, Rgb color) override;
    void DrawBox(double x1, double y1, double x2, double y2, Rgb color, bool filled) override;
    void DrawCircle(double x, double y, double radius, Rgb color) override;
    void DrawArc(double x, double y, double radius, double start, double end, Rgb color) override;
    void DrawPoint(double x, double y, Rgb color) override;
    void DrawText(double x, double y, std::string_view text, bool lineEnd) override;
    void EraseText(const DrawnText& text) override;
    void TextCovered(const DrawnText& text) override;
    void TextsForgottenBefore(std::uint64_t id) override;
    void PictureTextShown(const PictureText& text, std::uint64_t id) override;
    void ShowPicture(const Picture& picture) override;
    Picture SnapshotPicture() override;
    double TextWidthPixels(std::string_view text) const override;
    double TextHeightPixels(std::string_view text) const override;

  private:
    // Pixels of one row of a kept picture, from a column on.
    struct PixelRun {
        int row = 0;
        int left = 0;
        int count = 0;
    };
    // A stroke wider than a pixel: a line or polylines through their pixel
    // points, in a pen of its width (always solid, with round ends and
    // joints).
    struct WideStroke {
        bool polyline = false;
        int width = 0;
        std::vector<QPoint> points;
        // Where each polyline after the first starts among the points.
        std::vector<int> starts;
    };
    // Sets the pixels of a wide stroke inside bounds by the draw mode, each
    // once: those the painter sets for it. Of a width that strokes as its
    // segments each with round ends, the pixels of its segments, kept by
    // their shape; of another width, stroked whole on a layer of its own.
    void SetStroke(const WideStroke& stroke, const QRect& bounds, Rgb color);
    // Runs in order of their rows, with the area they cover.
    struct PixelRuns {
        std::vector<PixelRun> runs;
        QRect bounds;
    };
    // The pixels of a line from from to to in a round-ended pen of the width,
    // as runs from from: kept from an earlier segment of the same shape or
    // stroked now.
    const PixelRuns& SegmentRuns(int width, const QPoint& from, const QPoint& to);
    // The runs of an upright or level segment (step along one axis) from
    // those of a short one in the same direction: its round ends moved by
    // whole pixels and the straight part between repeated, the pixels the
    // toolkit strokes for it without stroking it.
    std::vector<PixelRun> StretchedRuns(int width, const QPoint& step);
    // Sets the pixels of a stroke of a width whose segments are not its
    // pixels, stroked whole on a layer a byte a pixel.
    void SetWholeStroke(const WideStroke& stroke, const QRect& bounds, Rgb color);
    // The pixels of a wide stroke in a combining mode, as bits over the part
    // of the image it covers (strokeBitsArea_), a row of strokeBitsStride_
    // words at a time: all clear while no stroke is gathered, and no larger
    // than the largest image drawn on. StartStrokeBits starts gathering over
    // an area inside the image; TakeStrokeBits hands out the runs of set
    // bits, row by row, and clears them.
    std::vector<std::uint64_t> strokeBits_;
    QRect strokeBitsArea_;
    int strokeBitsStride_ = 0;
    PixelRuns strokeRuns_;
    void StartStrokeBits(const QRect& plane);
    std::uint64_t* StrokeBitsRow(int row) {
        return strokeBits_.data() + static_cast<std::ptrdiff_t>(row) * strokeBitsStride_;
    }
    const PixelRuns& TakeStrokeBits();
    // Sets the pixels of the runs moved by offset, inside the image, by the
    // draw mode.
    void SetRuns(const PixelRuns& runs, const QPoint& offset, Rgb color);
    // Paints one shape: straight onto the image in copy mode, otherwise into
    // a scratch layer over the bounds that is then combined pixel by pixel,
    // so that each pixel of the shape is combined once.
    void Render(const QRect& bounds, const std::function<void(QPainter&)>& paint);
    // The pixels of the area, or of the whole image, may have changed.
    void Changed();
    void Changed(const QRect& area);
    // Whether a box's outline is drawn as its edge pixels.
    bool ThinOutlineInside(const QPen& pen, const QRect& box) const;
    // Sets the pixels of the area inside the image to the colour (copy mode).
    void FillPixels(const QRect& area, Rgb color);
    // Sets the pixels of the area inside the image that the fill style's
    // hatch pattern covers to the colour (copy mode), as the painter's
    // patterned brush sets them.
    void FillPattern(const QRect& area, Rgb color);
    // Sets the pixels of a thin solid line in copy mode, the same pixels the
    // painter draws, when both its ends lie on the image; false (nothing
    // set) otherwise. Lines set one after another share the image's pixels
    // as taken for the first (taking them is a call into the toolkit).
    struct ImageBits {
        uchar* bits = nullptr;
        qsizetype stride = 0;
    };
    bool SetThinLine(const QLine& line, Rgb color, ImageBits* image = nullptr);
    // Sets the pixels of a patterned one-pixel line from from to to by the
    // draw mode, each once: those of the pattern's dashes, stepped along the
    // line from its start.
    void PlotDashed(const QPoint& from, const QPoint& to, Rgb color);
    // The same, leaving the change untold: the area it reached in the image
    // (none where nothing was plotted), for a caller that tells several
    // lines' changes at once.
    QRect PlotDashedPixels(const QPoint& from, const QPoint& to, Rgb color);
    // The pen and brush of the drawing state. The last of each is kept and
    // handed out again while the state stays the same: the painter then
    // knows it already instead of preparing it anew for every shape (a
    // patterned brush makes its pattern image each time).
    const QPen& OutlinePen(Rgb color) const;
    QBrush FillBrush() const;
    // The pixels a line from (x1, y1) to (x2, y2) runs between, cut to the
    // image and its margin; none when nothing of it lies there.
    std::optional<QLine> PixelLine(double x1, double y1, double x2, double y2) const;
    // Pixel position of a user point, held within a margin around the image.
    QPoint PixelPoint(double x, double y) const;
    // A circle in pixels with the area it may touch; none when it cannot be
    // drawn (a position or radius that is not finite, or far too large).
    struct CircleGeometry {
        QPointF centre;
        double radius = 0.0;
        QRect bounds;
    };
    std::optional<CircleGeometry> CircleOnImage(double x, double y, double radius) const;
    int Margin() const { return State().drawWidth + 2; }
    // The painter of copy-mode drawing and text stays open across operations
    // (opening one per line costs more than drawing it); it is closed before
    // the pixels are read or combined directly.
    QPainter& Painter();
    void EndPainting() const;
    // The font of the drawing state, made once for as long as the state's
    // font stays the same: text-heavy panels print hundreds of texts a draw.
    const raster::TextFont& CurrentTextFont() const;
    // The font CurrentTextFont last handed out, with what its pixel size,
    // face and weight were worked out from: texts are measured tens of
    // thousands of times a picture, nearly always in the font of the text
    // before. Let go whenever a font is made (the kept one may go then).
    struct CurrentFont {
        const raster::TextFont* font = nullptr;
        double points = 0.0;
        int pixelWidth = 0;
        int pixelHeight = 0;
        double designWidth = 0.0;
        double designHeight = 0.0;
        bool bold = false;
        std::uint64_t nameChanges = 0; // FontNameChanges then: the face
    };
    mutable CurrentFont currentFont_;
    const raster::TextFont& FontOf(const std::string& name, int pixels, bool bold) const;
    // A text printed and not painted yet, with what its painting needs of
    // the drawing state then.
    struct HeldText {
        std::uint64_t id = 0;
        TextKind kind = TextKind::Value;
        // Whether it may be left out after it is painted (a repeat or label
        // printed without overlap allowed): its pixels are then kept.
        bool mayGo = false;
        QPoint topLeft;
        std::string text;
        std::string fontName;
        int pixels = 0;
        bool bold = false;
        Rgb foreColor;
        Rgb backColor;
        bool transparent = true;
        bool smooth = true;
    };
    void PaintText(const HeldText& held);
    // Paints the held texts before a shape drawn in a combining mode.
    void SettleBeforeCombining() {
        FinishResize();
        if (!held_.empty() && State().drawMode != DrawMode::CopyPen) SettleTexts();
    }

    // Fills the whole image with what Clear leaves.
    void FillBackground(QImage& image) const;

    Background background_;
    QImage image_;
    // The image's rectangle, kept beside it: the image's own is a call into
    // the toolkit, and every shape asks for it.
    QRect imageRect_;
    // A resize is mostly followed by a Clear, which sets every pixel anew:
    // so the new image's pixels are left unset by the resize, and the image
    // before it is kept, with the back pixel of then and the size of the
    // corner it keeps, until the first drawing or reading that is not a
    // Clear copies the corner and sets the rest (FinishResize, which
    // FinishClear runs first, so wherever a pending clear is finished).
    QImage beforeResize_;
    QSize keptByResize_;
    QRgb resizeBack_ = 0;
    void FinishResize() {
        if (!beforeResize_.isNull()) SetResizedPixels();
    }
    void SetResizedPixels();
    // Whether the marks of copied pixels and the grid of kept texts are
    // still those of the image before a resize, their pixels not yet kept
    // about the texts; anything that reads or changes those texts first
    // finishes the resize, which keeps them.
    bool copiedBeforeResize_ = false;
    void KeepCopiedBeforeResize();
    std::vector<HeldText> held_;
    std::vector<HeldText> settling_;
    TextPainting textPainting_ = TextPainting::Usual;
    // Paints the held texts; read says the pixels are read now.
    void Settle(bool read);
    // The ink of each painted text that may still be left out, to take its
    // own ink off alone: it follows the surface's list of drawn texts (ids),
    // and goes with it. A text's ink is the pixels its painting changed; for
    // each, the pixel under the ink and the ink's own are kept, row by row
    // in the order of their columns, one text after another in one store.
    // The pixels of its area the text left as they were need nothing: taking
    // it off leaves them alone, so a shape drawn later costs work only where
    // it meets ink.
    struct InkPixel {
        int column = 0;
        QRgb under = 0;
        QRgb inked = 0;
    };
    struct PaintedText {
        std::uint64_t id = 0;
        QRect rect; // the area painted over
        QRect ink;  // the rows and columns of its ink pixels; none without
        // Where the starts of its ink rows stand in inkRows_, from its top
        // ink row: each row's pixels run from its start to the next row's.
        std::size_t rows = 0;
    };
    std::vector<InkPixel> inkPixels_;
    std::vector<std::size_t> inkRows_; // places in inkPixels_
    // Pixels of the store that no text holds any more (of a text painted
    // again at its place): once they are as many as those held, the store
    // is made anew.
    std::size_t inkLeftOver_ = 0;
    // The ink pixels of one of a text's ink rows.
    std::size_t InkRowStart(const PaintedText& p, int row) const {
        return inkRows_[p.rows + static_cast<std::size_t>(row - p.ink.top())];
    }
    InkPixel* InkRowBegin(const PaintedText& p, int row) {
        return inkPixels_.data() + InkRowStart(p, row);
    }
    InkPixel* InkRowEnd(const PaintedText& p, int row) {
        return inkPixels_.data() + InkRowStart(p, row + 1);
    }
    const InkPixel* InkRowBegin(const PaintedText& p, int row) const {
        return inkPixels_.data() + InkRowStart(p, row);
    }
    const InkPixel* InkRowEnd(const PaintedText& p, int row) const {
        return inkPixels_.data() + InkRowStart(p, row + 1);
    }
    // Columns first to end - 1 of a row.
    struct Span {
        int first = 0;
        int end = 0;
    };
    // Appends to the store the ink of a text painted over area (inside the
    // image): the pixels where inked, the area's pixels after the painting,
    // differ from under, those before; each given row by row from the
    // area's top-left pixel, rows stride pixels apart. With spans (one a
    // row of the area), only a row's span is looked over: the painting
    // left the rest as it was. Sets the text's ink and rows.
    void AppendInk(PaintedText& p, const QRect& area, const QRgb* under, qsizetype underStride,
                   const QRgb* inked, qsizetype inkedStride, const Span* spans = nullptr);
    // The pixels of a text's area (beforeArea_) before it is painted, as wide
    // as the area, kept where the painting may set them: each row's in one
    // span (empty where first > end, its columns from the area's right on).
    // StartBeforeText starts over for an area; KeepBeforeText keeps the
    // pixels of a part of it not kept yet, and of any gap that part leaves
    // in a row's span, which still show what lay under the text.
    std::vector<QRgb> beforeText_;
    QRect beforeArea_;
    std::vector<Span> beforeSpans_;
    void StartBeforeText(const QRect& area);
    void KeepBeforeText(const QRect& rect);
    // Lets go of the store's pixels of texts no longer on the list.
    void CompactKeptPixels();
    std::vector<PaintedText> painted_;
    // A bit for each id of the texts on the list, folded over 4096 bits and
    // cleared only with an empty list: a text whose bit is clear has not
    // been painted, and the list need not be searched for it.
    std::array<std::uint64_t, 64> paintedIds_{};
    bool MayBePainted(std::uint64_t id) const {
        return ((paintedIds_[(id >> 6) % paintedIds_.size()] >> (id & 63)) & 1u) != 0;
    }
    // Empties the store of ink when no painted text holds any.
    void StartInkStore();
    PaintedText& AddPainted(std::uint64_t id, const QRect& rect);
    // The texts drawn, for a picture taken now, with the pixels about those
    // that may still give way.
    std::vector<PictureText> TextsForPicture() const;
    // A shape drawn over the ink of painted texts that may still go leaves
    // in the pixels kept for the ink what it makes of the pixels under it,
    // so that taking such a text's ink off later leaves the shape whole, one
    // copied in the ink's own colour too. In a combining mode it combines
    // with them as with the image. In copy mode it only marks the ink
    // pixels it covers, in a plane over the image; the kept pixels under
    // the marks are set to the image's when they are next needed
    // (KeepCopied): before a text is painted or taken off over them, for a
    // picture taken and before a resize. Until then only shapes change
    // those pixels of the image, so the image holds what the shapes made of
    // them.
    // KeptAny says whether any such text is painted (and brings the grid
    // below up to date); CombineKept then takes the shape's pixels of one
    // row inside the image, columns left to end - 1, drawn with the pen, or
    // the pixels of source (from column left on) where they are not clear,
    // after they are set on the image. KeptArea is the area the ink of the
    // texts a shape's bounds meet spans.
    bool KeptAny() {
        if (copiedBeforeResize_) FinishResize();
        if (painted_.empty()) return false;
        if (keptStale_ || keptIndexed_ < painted_.size()) IndexKept();
        return true;
    }
    void CombineKept(int row, int left, int end, std::uint32_t pen, const QRgb* source = nullptr) {
        if (!InkMeets(row, left, end)) return;
        if (State().drawMode == DrawMode::CopyPen) {
            MarkCopied(row, left, end, source);
            return;
        }
        const std::uint64_t cells =
            keptBands_[static_cast<std::size_t>(row >> kKeptBandShift)] & KeptCells(left, end);
        if (cells != 0) CombineKeptCells(row, left, end, pen, source, cells);
    }
    // Marks the ink pixels of one row, columns left to end - 1, that a shape
    // copied (those of source that are not clear) as copied.
    void MarkCopied(int row, int left, int end, const QRgb* source);
    void KeepCopied(const QRect& area);
    // A bit a pixel of the image, set where a shape was copied over the ink
    // of painted texts since their kept pixels were last set, within
    // copiedArea_; made with the grid. A text painted clears those in its
    // area first, so marks left from an earlier picture mean nothing.
    std::vector<std::uint64_t> copied_;
    QRect copiedArea_;
    std::uint64_t* CopiedRow(int row) {
        return copied_.data() + static_cast<std::ptrdiff_t>(row) * inkStride_;
    }
    // A bit a pixel of the image, set where a text in the grid below has
    // ink (and where one taken off since had), made with the grid: a row of
    // a shape that meets none of them needs no look-up in it.
    std::vector<std::uint64_t> inkBits_;
    int inkStride_ = 0; // words a row
    std::uint64_t* InkBitsRow(int row) {
        return inkBits_.data() + static_cast<std::ptrdiff_t>(row) * inkStride_;
    }
    bool InkMeets(int row, int left, int end) const {
        return BitsMeet(inkBits_.data() + static_cast<std::ptrdiff_t>(row) * inkStride_, left, end);
    }
    // Whether any of the bits of columns left to end - 1 of a row of bits is
    // set.
    static bool BitsMeet(const std::uint64_t* bits, int left, int end) {
        const int first = left >> 6;
        const int last = (end - 1) >> 6;
        const std::uint64_t head = ~std::uint64_t{0} << (left & 63);
        const std::uint64_t tail = ~std::uint64_t{0} >> (63 - ((end - 1) & 63));
        if (first == last) return (bits[first] & head & tail) != 0;
        if ((bits[first] & head) != 0 || (bits[last] & tail) != 0) return true;
        for (int word = first + 1; word < last; ++word)
            if (bits[word] != 0) return true;
        return false;
    }
    QRect KeptArea(const QRect& bounds);
    // Whether the cells of the grid below that an area inside the image
    // meets hold any such text: a shape whose area meets none leaves the
    // kept pixels as they are, and its rows need not be looked up.
    bool KeptMeets(const QRect& area) {
        if (!KeptAny()) return false;
        const std::uint64_t columns = KeptCells(area.left(), area.right() + 1);
        bool meets = false;
        for (int band = area.top() >> kKeptBandShift; band <= area.bottom() >> kKeptBandShift;
             ++band)
            meets = meets || (keptBands_[static_cast<std::size_t>(band)] & columns) != 0;
        if (!meets || area.height() > kInkRowsLooked) return meets;
        // A small shape's rows are looked over for ink: most meet none.
        for (int row = area.top(); row <= area.bottom(); ++row)
            if (InkMeets(row, area.left(), area.right() + 1)) return true;
        return false;
    }
    static constexpr int kInkRowsLooked = 24;
    // The painted texts that may still go, by the cells of a grid over the
    // image that their areas meet: bands of 16 rows, each of 64 cells at
    // most, as wide as a power of two. A shape's row finds the few texts it
    // meets from the band's mask of cells holding any, without a search.
    // Texts painted since are added to it; one taken off, a new image size
    // or another picture builds it anew.
    static constexpr int kKeptBandShift = 4;
    static constexpr int kKeptCellsInBand = 64;
    std::uint64_t KeptCells(int left, int end) const {
        const int first = left >> keptCellShift_;
        const int last = (end - 1) >> keptCellShift_;
        return (~std::uint64_t{0} << first) & (~std::uint64_t{0} >> (63 - last));
    }
    void IndexKept();
    // Sets the bits of a text's ink inside the image.
    void SetInkBits(const PaintedText& p);
    void CombineKeptCells(int row, int left, int end, std::uint32_t pen, const QRgb* source,
                          std::uint64_t cells);
    // Takes the painted texts of the id off the list and the grid, each
    // left in its place as an empty one (id 0) until they are many.
    void DropPainted(std::uint64_t id);
    std::size_t droppedPainted_ = 0;
    // A text in a cell: its area's rows and columns (last ones included),
    // beside the cell's others, and its place in painted_.
    struct KeptInCell {
        int top = 0;
        int bottom = 0;
        int left = 0;
        int right = 0;
        std::uint32_t text = 0;
    };
    std::vector<std::vector<KeptInCell>> keptCells_; // band by band
    std::vector<std::uint64_t> keptBands_;           // a bit for each cell holding any
    int keptCellShift_ = 4;
    std::size_t keptIndexed_ = 0; // the first texts of painted_ in the grid
    bool keptStale_ = true;       // a text taken off or the image resized since it was built
    // Sets the bits of columns left to end - 1 of a row of bits.
    static void SetBits(std::uint64_t* words, int left, int end) {
        const int first = left >> 6;
        const int last = (end - 1) >> 6;
        const std::uint64_t head = ~std::uint64_t{0} << (left & 63);
        const std::uint64_t tail = ~std::uint64_t{0} >> (63 - ((end - 1) & 63));
        if (first == last) {
            words[first] |= head & tail;
            return;
        }
        for (int word = first; word <= last; ++word) {
            const std::uint64_t bits = (word == first ? head : ~std::uint64_t{0}) &
                                       (word == last ? tail : ~std::uint64_t{0});
            words[word] |= bits;
        }
    }
    // Texts before this id are forgotten by the surface's list.
    std::uint64_t forgottenBefore_ = 0;
    mutable std::unique_ptr<QPainter> painter_;
    struct PenKey {
        Rgb color;
        int width = 0;
        DrawStyle style = DrawStyle::Solid;
        bool operator==(const PenKey&) const = default;
    };
    mutable std::optional<PenKey> penKey_;
    mutable QPen pen_;
    // The kept pen's dash pattern as a thin line plots it: the lengths in
    // pixels of its dashes and the gaps between them, dash first, for one
    // period (one drawn pixel for a solid pen).
    mutable std::vector<int> dashRuns_;
    struct BrushKey {
        FillStyle style = FillStyle::Solid;
        Rgb color;
        bool operator==(const BrushKey&) const = default;
    };
    mutable std::optional<BrushKey> brushKey_;
    // Which pixels of each 8 by 8 tile the hatch pattern of patternStyle_
    // covers, row by row.
    static constexpr int kPatternSize = 8;
    std::array<bool, kPatternSize * kPatternSize> patternTile_{};
    std::optional<FillStyle> patternStyle_;
    mutable QBrush brush_;
    // Circles drawn in copy mode with a solid or no fill, as drawn once on a
    // clear layer of their own: the same circle at another whole pixel is
    // the same pixels moved, so a picture of many equal circles (wind
    // vectors) sets the kept pixels instead of drawing each again.
    struct CircleStamp {
        double radius = 0.0;
        bool disc = false;
        PenKey pen;
        BrushKey brush;
        QImage pixels;
        // The drawn pixels, so that setting the circle touches them alone,
        // not the whole square about it (a wide ring is mostly empty inside).
        std::vector<PixelRun> runs;
    };
    void PaintCircle(QPainter& painter, const QPointF& centre, double radius, Rgb color,
                     bool disc) const;
    const CircleStamp& StampOf(const CircleGeometry& circle, Rgb color, bool disc);
    std::vector<CircleStamp> circleStamps_;
    // The layer segments of wide strokes are stroked on, a bit a pixel, a
    // band of rows at a time, clear between strokes, with its painter kept
    // open (opening a painter costs more than stroking a segment). A band is
    // lower than the number of rows from which the toolkit hands the rows of
    // a fill to other threads: a segment has one run a row, so it is always
    // stroked on this thread (threads setting bits of one byte at once would
    // lose some of them, and waking them costs more than the stroke).
    QImage strokeLayer_;
    std::unique_ptr<QPainter> strokePainter_;
    // The pixels of the segments of wide strokes drawn, by their shape: the
    // width and the step from the first point to the second, which the pixels
    // are kept relative to. Points are whole pixels, so the same step anywhere
    // sets the same pixels moved: the segments of a trace, the wind barbs,
    // box outlines and tick lines of a picture recur at many places, and again
    // when it is scrolled, spanned or resized.
    struct SegmentShape {
        int width = 0;
        int dx = 0;
        int dy = 0;
        bool operator==(const SegmentShape&) const = default;
    };
    struct SegmentShapeHash {
        std::size_t operator()(const SegmentShape& shape) const;
    };
    std::unordered_map<SegmentShape, PixelRuns, SegmentShapeHash> segmentShapes_;
    std::size_t segmentRuns_ = 0; // runs kept in segmentShapes_
    // Keeps the runs of the shape, within the bounds above.
    const PixelRuns& KeepSegment(const SegmentShape& shape, std::vector<PixelRun> runs);
    // The fonts last used, the latest first.
    mutable std::vector<std::unique_ptr<raster::TextFont>> textFonts_;
    std::function<void(const QRect&)> changed_;
    // What the last clear showed (the picture, by its image's key, over the
    // back colour) and the area drawn on since: outside that area the image
    // still shows what the clear left, so a clear to the same picture sets
    // only that area again. A text panel redrawn hour after hour is then
    // cleared and shown again only where its texts stand.
    struct Cleared {
        qint64 picture = 0;
        Rgb backColor;
    };
    std::optional<Cleared> cleared_;
    QRect drawnSinceClear_;
    // A clear of an opaque picture sets its pixels when they are first
    // needed, and sets none in the rows that boxes filled across the whole
    // image in copy mode cover before then: the sounding's cloud layers
    // cover most of its picture right after its clear.
    struct PendingClear {
        QImage picture; // shown over the back colour, or null
        bool fillBack = true;
        QRgb backPixel = 0;
        QRect area;
        std::vector<std::uint8_t> covered; // by row of the image
    };
    std::optional<PendingClear> pendingClear_;
    // Sets the pixels of a pending clear.
    void FinishClear();
};

} // namespace tarvex

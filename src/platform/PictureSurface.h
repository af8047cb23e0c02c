#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/TextGrid.h"

class QImage;

namespace tarvex {

// A colour as red, green and blue bytes.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
};

// A colour from its three parts; parts outside 0..255 are taken as the
// nearest limit.
constexpr Rgb RGB(int r, int g, int b) {
    auto part = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    return Rgb{part(r), part(g), part(b)};
}

// The pure colours the diagrams use by name.
inline constexpr Rgb kBlack = RGB(0, 0, 0);
inline constexpr Rgb kWhite = RGB(255, 255, 255);
inline constexpr Rgb kRed = RGB(255, 0, 0);
inline constexpr Rgb kGreen = RGB(0, 255, 0);
inline constexpr Rgb kBlue = RGB(0, 0, 255);
inline constexpr Rgb kYellow = RGB(255, 255, 0);
inline constexpr Rgb kMagenta = RGB(255, 0, 255);

// How the inside of boxes and circles is filled (in the fill colour).
// Hatched fills leave the pixels between their lines untouched.
enum class FillStyle {
    Solid = 0,
    Transparent = 1,
    HorizontalLine = 2,
    VerticalLine = 3,
    UpwardDiagonal = 4,
    DownwardDiagonal = 5,
    Cross = 6,
    DiagonalCross = 7,
};

// The pattern of lines and outlines. Patterns apply to lines one pixel wide;
// wider lines are always solid.
enum class DrawStyle {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDot = 3,
    DashDotDot = 4,
    Invisible = 5,
    InsideSolid = 6,
};

// How a drawn pixel (pen P) combines with the pixel under it (destination D),
// bit by bit on the colour value. The numbers are the classic mode numbers.
enum class DrawMode {
    Black = 1,        // 0
    NotMergePen = 2,  // not (P or D)
    MaskNotPen = 3,   // (not P) and D
    NotCopyPen = 4,   // not P
    MaskPenNot = 5,   // P and (not D)
    Invert = 6,       // not D
    XorPen = 7,       // P xor D
    NotMaskPen = 8,   // not (P and D)
    MaskPen = 9,      // P and D
    NotXorPen = 10,   // not (P xor D)
    Nop = 11,         // D
    MergeNotPen = 12, // (not P) or D
    CopyPen = 13,     // P
    MergePenNot = 14, // P or (not D)
    MergePen = 15,    // P or D
    White = 16,       // all bits set
};

// What a printed text is to the reader, which decides what the surface does
// when it would cover another text or run off the picture.
enum class TextKind {
    // A value, verdict, caption or unit: always drawn where it is printed;
    // the picture's layout gives it room.
    Value,
    // A label that names a place on the picture (a level, an hour, a
    // contour, a mark): drawn at its anchor, not drawn when its anchor lies
    // outside the picture, moved in when an edge cuts it.
    Label,
    // A repeat or decoration (a repeated contour label, a city name, a grid
    // label): left out when it would cover another text or run off.
    Repeat,
};

// Which way a label may slide from its anchor.
enum class LabelSlide {
    AlongLevel,  // sideways only: the label of a level
    AlongColumn, // up and down only: the label of an hour's column
    Fixed,       // neither: the label of a point
};

// The place a label names, and which way the label may slide from it.
struct LabelAnchor {
    double x = 0.0;
    double y = 0.0;
    LabelSlide slide = LabelSlide::Fixed;

    bool operator==(const LabelAnchor&) const = default;
};

// The drawing attributes in force on a surface.
struct DrawState {
    Rgb foreColor = RGB(0, 0, 0);
    Rgb fillColor = RGB(0, 0, 0);
    Rgb backColor = RGB(255, 255, 255);
    FillStyle fillStyle = FillStyle::Transparent;
    int drawWidth = 1; // pixels
    DrawStyle drawStyle = DrawStyle::Solid;
    DrawMode drawMode = DrawMode::CopyPen;
    bool fontTransparent = true;
    std::string fontName = "MS Sans Serif";
    double fontSize = 8.25; // points
    bool fontBold = false;
    // Texts printed while set may cover other texts (and be covered): the
    // few a picture draws over one another on purpose.
    bool textMayOverlap = false;
    // Repeats printed while set keep a blank's width clear of the texts
    // beside them, so that two numbers never read as one.
    bool repeatSpaced = false;
    // The kind of the texts printed, and a label's anchor in user units.
    TextKind textKind = TextKind::Value;
    LabelAnchor labelAnchor;

    bool operator==(const DrawState&) const = default;
};

// The user coordinate system: the user coordinates of the top-left corner and
// the signed extent across and down the surface.
struct UserScale {
    double left = 0.0;
    double top = 0.0;
    double width = 1.0;
    double height = 1.0;

    bool operator==(const UserScale&) const = default;
};

// Text never drawn smaller than this many pixels on a picture with a design
// size, however small the picture.
inline constexpr int kLeastTextPixels = 8;

// A printed text's box on the surface, in pixels from the top-left corner.
struct TextRect {
    double left = 0.0;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;

    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
};

// A text printed on a surface: its box (where it stands, or would have stood
// for a text left out), the pixel size of its font, whether it was printed
// with overlap allowed, its kind and, for a label, its anchor in pixels from
// the top-left corner.
struct DrawnText {
    std::string text;
    TextRect rect;
    int fontPixels = 0;
    bool mayOverlap = false;
    TextKind kind = TextKind::Value;
    LabelAnchor anchor;
    // The pixels a spaced repeat keeps clear of other texts on either side.
    double gap = 0.0;
    // The text's number among those the surface has drawn (1 for the first):
    // a text printed again at its own place keeps it, and one left out after
    // it was drawn too. 0 for a text never drawn and a kept place.
    std::uint64_t id = 0;

    // Whether a label's anchor lies inside a picture of this pixel size, on
    // the axis the label names (a level's height, a column's place).
    bool AnchorInside(double width, double height) const;
};

// The texts of a list of drawn or left-out texts, in order.
std::vector<std::string> TextsOf(const std::vector<DrawnText>& texts);

// Whether two text boxes share more than a pixel's strip on both axes: boxes
// that only touch, as lines printed one under the other do, do not overlap.
bool TextRectsOverlap(const TextRect& a, const TextRect& b);

// A text drawn on a picture when it was taken. A raster picture keeps, for a
// text that may still give way (a repeat, or a label printed without overlap
// allowed), the pixels about it before and after it was painted and where
// they stand, so that a surface showing the picture can take that text's own
// ink off alone.
struct PictureText {
    DrawnText text;
    int inkLeft = 0;
    int inkTop = 0;
    std::shared_ptr<const QImage> under;
    std::shared_ptr<const QImage> inked;
};

// A snapshot of a surface's drawn image, with the texts drawn on it. Copies
// share the pixels and texts, which never change after the snapshot; an
// empty picture holds no pixels.
class Picture {
  public:
    Picture() = default;
    explicit Picture(const QImage& image, std::vector<PictureText> texts = {});

    bool IsEmpty() const { return !image_; }
    // The pixels, or nullptr for an empty picture.
    const QImage* Image() const { return image_.get(); }
    // The texts drawn on the pixels, in the order printed.
    const std::vector<PictureText>& Texts() const;

  private:
    std::shared_ptr<const QImage> image_;
    std::shared_ptr<const std::vector<PictureText>> texts_;
};

// A drawing surface with a user scale and a current position. Every drawing
// operation takes user coordinates and moves the current position: to a line's
// end point, a box's second corner, a circle's centre, a set point, or past
// printed text. Colours default to the fore colour when none is given.
//
// Outlines, lines and points combine with the picture by the draw mode; text is
// always written as it stands, whatever the draw mode.
//
// Concrete surfaces supply the primitives below; this class holds the scale,
// the position and the attributes and does the bookkeeping shared by all.
class PictureSurface {
  public:
    virtual ~PictureSurface() = default;
    PictureSurface(const PictureSurface&) = delete;
    PictureSurface& operator=(const PictureSurface&) = delete;

    // --- Scale -----------------------------------------------------------
    // User coordinates (x1, y1) at the top-left corner and (x2, y2) at the
    // bottom-right corner; either axis may run backwards. A corner pair with
    // no extent on an axis (or a value that is not finite) leaves the scale
    // as it was.
    void Scale(double x1, double y1, double x2, double y2);
    // Pixel units with the origin at the top-left corner; follows the surface
    // when it is resized.
    void ScalePixels();
    double ScaleLeft() const { return scale_.left; }
    double ScaleTop() const { return scale_.top; }
    double ScaleWidth() const { return scale_.width; }
    double ScaleHeight() const { return scale_.height; }
    const UserScale& CurrentScale() const { return scale_; }

    int PixelWidth() const { return pixelWidth_; }
    int PixelHeight() const { return pixelHeight_; }

    // User coordinates to pixel positions (0 at the left or top edge,
    // PixelWidth or PixelHeight at the far edge) and back.
    double ToPixelX(double x) const;
    double ToPixelY(double y) const;
    double FromPixelX(double px) const;
    double FromPixelY(double py) const;

    // --- Current position ------------------------------------------------
    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void SetCurrentX(double x) { currentX_ = x; }
    void SetCurrentY(double y) { currentY_ = y; }

    // --- Attributes ------------------------------------------------------
    const DrawState& State() const { return state_; }
    Rgb ForeColor() const { return state_.foreColor; }
    Rgb FillColor() const { return state_.fillColor; }
    Rgb BackColor() const { return state_.backColor; }
    FillStyle GetFillStyle() const { return state_.fillStyle; }
    int DrawWidth() const { return state_.drawWidth; }
    DrawStyle GetDrawStyle() const { return state_.drawStyle; }
    DrawMode GetDrawMode() const { return state_.drawMode; }
    bool FontTransparent() const { return state_.fontTransparent; }
    const std::string& FontName() const { return state_.fontName; }
    double FontSize() const { return state_.fontSize; }
    bool FontBold() const { return state_.fontBold; }

    void SetForeColor(Rgb color) { state_.foreColor = color; }
    void SetFillColor(Rgb color) { state_.fillColor = color; }
    // Takes effect at the next Clear.
    void SetBackColor(Rgb color) { state_.backColor = color; }
    void SetFillStyle(FillStyle style) { state_.fillStyle = style; }
    // Widths below one pixel are taken as one.
    void SetDrawWidth(int pixels) { state_.drawWidth = pixels < 1 ? 1 : pixels; }
    void SetDrawStyle(DrawStyle style) { state_.drawStyle = style; }
    void SetDrawMode(DrawMode mode) { state_.drawMode = mode; }
    // When false, printed text is set on a box of the back colour.
    void SetFontTransparent(bool transparent) { state_.fontTransparent = transparent; }
    void SetFontName(std::string name) {
        if (name == state_.fontName) return;
        state_.fontName = std::move(name);
        ++fontNameChanges_;
    }
    // How often the font name has changed: a surface that keeps the font it
    // measures text in tells from it that the name is still the one it
    // knows, without comparing the two for every text.
    std::uint64_t FontNameChanges() const { return fontNameChanges_; }
    // Sizes that are not positive are ignored.
    void SetFontSize(double points);
    void SetFontBold(bool bold) { state_.fontBold = bold; }

    // --- Drawing ---------------------------------------------------------
    // Fills the surface with the back colour over which the persistent
    // picture shows, and moves to the scale's top-left corner.
    void Clear();
    void Line(double x1, double y1, double x2, double y2, std::optional<Rgb> color = {});
    // A line from the current position.
    void LineTo(double x, double y, std::optional<Rgb> color = {});
    // A line from the current position by an offset.
    void LineRel(double dx, double dy, std::optional<Rgb> color = {});
    // A line through the points (x, y) in order, drawn as one stroke: a draw
    // mode that combines with the picture touches each pixel once, so the
    // joints show no gap in exclusive-or mode. Ends at the last point.
    void Polyline(const std::vector<std::pair<double, double>>& points,
                  std::optional<Rgb> color = {});
    // Separate lines, each as Line draws it, in one colour; ends at the end of
    // the last. A surface may draw them in one pass.
    struct Segment {
        double x1, y1, x2, y2;
    };
    void Lines(const std::vector<Segment>& segments, std::optional<Rgb> color = {});
    // A rectangle outlined in the colour and filled by the fill style and
    // fill colour.
    void Box(double x1, double y1, double x2, double y2, std::optional<Rgb> color = {});
    // A rectangle filled whole in the colour, whatever the fill style.
    void FilledBox(double x1, double y1, double x2, double y2, std::optional<Rgb> color = {});
    // A circle whose radius is in x units, round on the screen whatever the
    // scale; outlined in the colour, filled by the fill style and colour.
    void Circle(double x, double y, double radius, std::optional<Rgb> color = {});
    // Part of a circle from a start to an end angle in radians, counted
    // anticlockwise on the screen from the rightward direction.
    void Arc(double x, double y, double radius, double start, double end,
             std::optional<Rgb> color = {});
    void PSet(double x, double y, std::optional<Rgb> color = {});

    // Text with its top-left corner at the current position, in the fore
    // colour. Print ends the line: x returns to the scale's left and y moves
    // down by the text height. PrintNoNewline moves x on by the text width.
    // A text that would cover another is left out (SetLeaveOutCoveredText).
    void Print(std::string_view text);
    void PrintNoNewline(std::string_view text);
    // Extent of a one-line text in user units, signed like the scale.
    double TextWidth(std::string_view text) const;
    double TextHeight(std::string_view text) const;
    // The top-left corner (user units) of a value meant to start at (x, y),
    // moved in just enough to lie whole inside the picture: a value is never
    // cut. Labels are placed by PlaceLabel.
    std::pair<double, double> PlaceValueInside(double x, double y, std::string_view text) const;
    // The top-left corner (user units) of a label meant to start at (x, y),
    // moved in just enough to lie whole inside the picture; none when its
    // anchor (user units) lies outside the picture, where the label is not
    // drawn. A label printed as TextKind::Label is placed so.
    std::optional<std::pair<double, double>> PlaceLabel(double x, double y, std::string_view text,
                                                        const LabelAnchor& anchor) const;

    // --- Text size and collisions ----------------------------------------
    // The pixel size at which the picture's text fits as designed. Once set,
    // text is drawn at the font size times the picture's scale (pixel size
    // over design size, the smaller of the two axes' ratios) and never below
    // kLeastTextPixels, so that what fits on the design fits on the picture.
    // A size that is not positive on both axes removes it: text is then drawn
    // at the font size.
    void SetDesignSize(double width, double height);
    bool HasDesignSize() const { return designWidth_ > 0.0; }
    double DesignWidth() const { return designWidth_; }
    double DesignHeight() const { return designHeight_; }
    // Pixel size over design size (1 without a design size).
    double TextScale() const;
    // The pixel size of the font text is drawn in now.
    int TextPixelSize() const;

    // Each text follows the rule of its kind (DrawState::textKind) against
    // the texts printed since the surface was last cleared or repainted with
    // its picture and the places kept for texts:
    // - a value is always drawn;
    // - a label whose anchor lies outside the picture is not drawn, one an
    //   edge cuts is moved in, and one that would cover a value, a label or
    //   a kept place is left out (the picture slides it along its level or
    //   column to a free place first); one a value is printed over later is
    //   left out then;
    // - a repeat that would cover any text or kept place, or run off the
    //   picture, is left out, and so is one a value or label is printed over
    //   later; a spaced repeat (RepeatsSpaced) counts a text within a blank's
    //   width beside it as covering it.
    // So a label yields to every value, and a repeat to every value and
    // label, whichever is printed first. A text decided against is never
    // painted, or only its own ink is taken off (EraseText): every line and
    // mark drawn before or after it stays whole.
    // The cursor moves past a text left out as past one drawn. Printing the
    // same text at the same place again is allowed (a redraw in another
    // colour), a box filled over a text in copy mode frees its place, and
    // blank texts never collide. With the rule turned off, or for texts
    // printed with overlap allowed, no text is left out for covering another.
    void SetLeaveOutCoveredText(bool leaveOut) { leaveOutCovered_ = leaveOut; }
    bool LeavesOutCoveredText() const { return leaveOutCovered_; }
    // Sets the drawing state's rule for single texts (DrawState::textMayOverlap);
    // see TextRuleScope.
    void SetTextRule(bool DrawState::*rule, bool on) { state_.*rule = on; }
    // Sets the kind of the texts printed next and a label's anchor (user
    // units); see TextAsLabel and TextAsRepeat.
    void SetTextKind(TextKind kind, const LabelAnchor& anchor = {}) {
        state_.textKind = kind;
        state_.labelAnchor = anchor;
    }
    // Whether text printed at (x, y) stands there already: printed again,
    // it takes its own place.
    bool DrawnAt(double x, double y, std::string_view text) const;
    // Keeps the place of text printed later at (x, y), a mark that must show
    // (at the edge too), so that no text printed before it covers it; the
    // same text printed there later takes the place. False, keeping
    // nothing, when a text drawn or kept lies there; spaced, also when one
    // stands closer than a blank's width beside it, so that texts that give
    // way to one another along a row each read as their own.
    bool ReserveTextPlace(double x, double y, std::string_view text, bool spaced = false);
    // Keeps a place (pixels from the top-left corner) free of this
    // picture's texts, for the texts another picture shows over it.
    void ReserveTextArea(const TextRect& area);
    // The texts drawn since the last Clear or repaint (but blank ones and
    // those a filled box has covered since), and those left out (each with
    // the box it would have had).
    const std::vector<DrawnText>& DrawnTexts() const { return placed_; }
    const std::vector<DrawnText>& LeftOutTexts() const { return leftOut_; }
    // The most texts a surface keeps of either kind: a surface drawn again
    // and again without Clear forgets its oldest texts.
    static constexpr std::size_t kMostKeptTexts = 2048;

    // --- Pictures --------------------------------------------------------
    // The image as drawn so far; a raster surface's picture holds the texts
    // drawn on it too.
    Picture TakePicture() { return SnapshotPicture(); }
    // Makes the picture the persistent background: the surface shows it at
    // its top-left corner over the back colour, and Clear returns to it.
    // The texts printed before are painted over, so their places are free;
    // the picture's own texts stand on the surface as texts drawn on it, so
    // that each later text is judged against them by kind (a value printed
    // over a repeat of the picture leaves the repeat out, taking off its own
    // ink alone) and the surface's list of drawn texts holds them.
    void SetPicture(const Picture& picture);
    const Picture& PersistentPicture() const { return picture_; }

  protected:
    PictureSurface(int pixelWidth, int pixelHeight);

    // Changes the pixel size (at least 1 x 1); a pixel scale follows it.
    void SetPixelSize(int width, int height);

    // Primitives in user coordinates with the colour already resolved.
    virtual void DrawClear() = 0;
    virtual void DrawLine(double x1, double y1, double x2, double y2, Rgb color) = 0;
    // Surfaces without a stroke of their own draw the segments one by one.
    virtual void DrawPolyline(const std::vector<std::pair<double, double>>& points, Rgb color);
    // Surfaces without a pass of their own draw the lines one by one.
    virtual void DrawLines(const std::vector<Segment>& segments, Rgb color);
    virtual void DrawBox(double x1, double y1, double x2, double y2, Rgb color, bool filled) = 0;
    virtual void DrawCircle(double x, double y, double radius, Rgb color) = 0;
    virtual void DrawArc(double x, double y, double radius, double start, double end,
                         Rgb color) = 0;
    virtual void DrawPoint(double x, double y, Rgb color) = 0;
    virtual void DrawText(double x, double y, std::string_view text, bool lineEnd) = 0;
    virtual void ShowPicture(const Picture& picture) = 0;
    virtual Picture SnapshotPicture() = 0;
    // A text drawn before (DrawText, with PrintedTextId the text's id) is
    // left out after all: a value or label printed over it has won its
    // place. Nothing of it may show, and nothing else drawn may go: a
    // surface that has not painted it yet never paints it, one that has
    // takes off its own ink alone.
    virtual void EraseText(const DrawnText& text);
    // A text drawn before has been covered whole by a box filled in copy
    // mode since: a surface that has not painted it yet need not.
    virtual void TextCovered(const DrawnText& text);
    // A text of the persistent picture now stands on the surface with this
    // id: a surface that can take its ink off keeps what that needs.
    virtual void PictureTextShown(const PictureText& text, std::uint64_t id);
    // The surface forgets the texts drawn before the one with this id (a
    // surface drawn again and again without Clear): whatever it keeps to
    // take one of them back may go.
    virtual void TextsForgottenBefore(std::uint64_t id);
    // The id of the text DrawText is drawing (0 for a blank one).
    std::uint64_t PrintedTextId() const { return printedTextId_; }
    // Text extent in pixels.
    virtual double TextWidthPixels(std::string_view text) const = 0;
    virtual double TextHeightPixels(std::string_view text) const = 0;

    // Radius in pixels of a radius in x units.
    double RadiusPixels(double radius) const;

  private:
    void MoveTo(double x, double y);
    // Where a text printed at (x, y) is drawn (a label moved in from an
    // edge), or none when it is left out; notes its box when it is drawn and
    // sets PrintedTextId.
    std::optional<std::pair<double, double>> PlaceText(double x, double y, std::string_view text);
    // Keeps the drawn texts below the bound, telling the surface which are
    // forgotten.
    void KeepPlacedBounded();
    // The text's box and kind as the rule judges it.
    DrawnText Judged(std::string_view text, const TextRect& box) const;
    // The pixel box of the ink of text printed at (x, y); empty for a blank.
    std::optional<TextRect> InkBox(double x, double y, std::string_view text) const;
    // A text's extents in pixels in the font of the drawing state: the whole
    // text, the blanks before its ink, its ink, and its height.
    struct TextExtents {
        double width = 0.0;
        double lead = 0.0;
        double inked = 0.0;
        double height = 0.0;
    };
    // The extents of text, kept for the text measured last: a contour's
    // label is tried at many places a picture, and each try measures it as
    // its box, its advance and against the texts beside it.
    const TextExtents& ExtentsOf(std::string_view text) const;
    // The width of a blank in the font of the drawing state.
    double BlankWidth() const;
    // The text ExtentsOf measured last, with what the font it was measured
    // in was worked out from (as the surfaces make their fonts: the face,
    // size, weight, and the picture's pixel and design sizes), and the width
    // of a blank in that font once it has been asked for.
    struct MeasuredText {
        bool set = false;
        std::string text;
        std::uint64_t nameChanges = 0;
        double points = 0.0;
        bool bold = false;
        int pixelWidth = 0;
        int pixelHeight = 0;
        double designWidth = 0.0;
        double designHeight = 0.0;
        TextExtents extents;
        std::optional<double> blank;
    };
    // Whether the font state is the one measured was measured in.
    bool InMeasuredFont(const MeasuredText& measured) const;
    // Forgets every text drawn, left out or kept a place for.
    void ForgetTexts();
    // Notes the texts of the persistent picture as drawn on the surface.
    void AdoptPictureTexts();
    // Frees the places of texts a box filled in copy mode covers whole.
    void ForgetCoveredTexts(double x1, double y1, double x2, double y2);
    Rgb Resolve(std::optional<Rgb> color) const { return color.value_or(state_.foreColor); }
    // Brings the grids of drawn and kept texts up to their lists.
    void SyncTextGrids() const;

    int pixelWidth_ = 1;
    int pixelHeight_ = 1;
    bool pixelScale_ = true;
    UserScale scale_;
    double currentX_ = 0.0;
    double currentY_ = 0.0;
    DrawState state_;
    std::uint64_t fontNameChanges_ = 0;
    Picture picture_;
    double designWidth_ = 0.0;
    double designHeight_ = 0.0;
    bool leaveOutCovered_ = true;
    std::vector<DrawnText> placed_;
    // Places kept for texts printed later; an empty text keeps an area.
    std::vector<DrawnText> reserved_;
    std::vector<DrawnText> leftOut_;
    mutable MeasuredText measured_;
    std::uint64_t lastTextId_ = 0;
    std::uint64_t printedTextId_ = 0;
    // The widest gap a drawn repeat keeps, since the texts were last
    // forgotten.
    double widestGap_ = 0.0;
    // Where the drawn and the kept texts stand, for the checks of a new text.
    mutable TextGrid placedGrid_;
    mutable TextGrid reservedGrid_;
};

// Turns one of the rules for single texts on for the texts printed while it
// lives, then puts the old value back.
template <bool DrawState::*Rule> class TextRuleScope {
  public:
    explicit TextRuleScope(PictureSurface& surface)
        : surface_(surface), was_(surface.State().*Rule) {
        surface_.SetTextRule(Rule, true);
    }
    ~TextRuleScope() { surface_.SetTextRule(Rule, was_); }
    TextRuleScope(const TextRuleScope&) = delete;
    TextRuleScope& operator=(const TextRuleScope&) = delete;

  private:
    PictureSurface& surface_;
    bool was_;
};

// Lets the texts printed while it lives cover other texts, for the few a
// picture draws over one another on purpose.
using TextOverlapAllowed = TextRuleScope<&DrawState::textMayOverlap>;

// Spaces the repeats printed while it lives from the texts beside them.
using RepeatsSpaced = TextRuleScope<&DrawState::repeatSpaced>;

// Gives the texts printed while it lives a kind (and a label its anchor),
// then puts the old kind back.
class TextKindScope {
  public:
    TextKindScope(PictureSurface& surface, TextKind kind, const LabelAnchor& anchor = {})
        : surface_(surface), kind_(surface.State().textKind), anchor_(surface.State().labelAnchor) {
        surface_.SetTextKind(kind, anchor);
    }
    ~TextKindScope() { surface_.SetTextKind(kind_, anchor_); }
    TextKindScope(const TextKindScope&) = delete;
    TextKindScope& operator=(const TextKindScope&) = delete;

  private:
    PictureSurface& surface_;
    TextKind kind_;
    LabelAnchor anchor_;
};

// The texts printed while it lives label the anchor (user units).
class TextAsLabel : public TextKindScope {
  public:
    TextAsLabel(PictureSurface& surface, double x, double y, LabelSlide slide)
        : TextKindScope(surface, TextKind::Label, LabelAnchor{x, y, slide}) {}
};

// The texts printed while it lives are repeats or decoration.
class TextAsRepeat : public TextKindScope {
  public:
    explicit TextAsRepeat(PictureSurface& surface) : TextKindScope(surface, TextKind::Repeat) {}
};

} // namespace tarvex

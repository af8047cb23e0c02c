#include "platform/PictureSurface.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <tuple>
#include <utility>

namespace tarvex {

Picture::Picture(const QImage& image, std::vector<PictureText> texts)
    : image_(std::make_shared<const QImage>(image)) {
    if (!texts.empty()) texts_ = std::make_shared<const std::vector<PictureText>>(std::move(texts));
}

const std::vector<PictureText>& Picture::Texts() const {
    static const std::vector<PictureText> kNone;
    return texts_ ? *texts_ : kNone;
}

bool DrawnText::AnchorInside(double width, double height) const {
    // Half a pixel for rounding: a level on the picture's edge lies inside.
    constexpr double kSlack = 0.5;
    const auto within = [](double v, double extent) {
        return std::isfinite(v) && v >= -kSlack && v <= extent + kSlack;
    };
    const bool across = within(anchor.x, width);
    const bool down = within(anchor.y, height);
    switch (anchor.slide) {
    case LabelSlide::AlongLevel:
        return down;
    case LabelSlide::AlongColumn:
        return across;
    case LabelSlide::Fixed:
        break;
    }
    return across && down;
}

std::vector<std::string> TextsOf(const std::vector<DrawnText>& texts) {
    std::vector<std::string> names;
    names.reserve(texts.size());
    for (const DrawnText& t : texts) names.push_back(t.text);
    return names;
}

bool TextRectsOverlap(const TextRect& a, const TextRect& b) {
    constexpr double kSlack = 1.0;
    const double across = std::min(a.Right(), b.Right()) - std::max(a.left, b.left);
    const double down = std::min(a.Bottom(), b.Bottom()) - std::max(a.top, b.top);
    return across > kSlack && down > kSlack;
}

PictureSurface::PictureSurface(int pixelWidth, int pixelHeight) {
    SetPixelSize(pixelWidth, pixelHeight);
    ScalePixels();
}

void PictureSurface::SetPixelSize(int width, int height) {
    pixelWidth_ = width < 1 ? 1 : width;
    pixelHeight_ = height < 1 ? 1 : height;
    if (pixelScale_) ScalePixels();
}

void PictureSurface::Scale(double x1, double y1, double x2, double y2) {
    const double width = x2 - x1;
    const double height = y2 - y1;
    const bool usable = std::isfinite(x1) && std::isfinite(y1) && std::isfinite(width) &&
                        std::isfinite(height) && width != 0.0 && height != 0.0;
    if (!usable) return;
    scale_ = UserScale{x1, y1, width, height};
    pixelScale_ = false;
}

void PictureSurface::ScalePixels() {
    pixelScale_ = true;
    scale_ =
        UserScale{0.0, 0.0, static_cast<double>(pixelWidth_), static_cast<double>(pixelHeight_)};
}

double PictureSurface::ToPixelX(double x) const {
    return (x - scale_.left) * pixelWidth_ / scale_.width;
}

double PictureSurface::ToPixelY(double y) const {
    return (y - scale_.top) * pixelHeight_ / scale_.height;
}

double PictureSurface::FromPixelX(double px) const {
    return scale_.left + px * scale_.width / pixelWidth_;
}

double PictureSurface::FromPixelY(double py) const {
    return scale_.top + py * scale_.height / pixelHeight_;
}

double PictureSurface::RadiusPixels(double radius) const {
    return std::abs(radius * pixelWidth_ / scale_.width);
}

void PictureSurface::SetFontSize(double points) {
    if (points > 0.0) state_.fontSize = points;
}

void PictureSurface::SetDesignSize(double width, double height) {
    const bool usable =
        std::isfinite(width) && std::isfinite(height) && width > 0.0 && height > 0.0;
    designWidth_ = usable ? width : 0.0;
    designHeight_ = usable ? height : 0.0;
}

double PictureSurface::TextScale() const {
    if (!HasDesignSize()) return 1.0;
    return std::min(pixelWidth_ / designWidth_, pixelHeight_ / designHeight_);
}

int PictureSurface::TextPixelSize() const {
    // Points at 96 pixels per inch.
    double pixels = state_.fontSize * 96.0 / 72.0;
    if (HasDesignSize()) pixels = std::max(pixels * TextScale(), double{kLeastTextPixels});
    return static_cast<int>(std::clamp(std::round(pixels), 1.0, 4096.0));
}

bool PictureSurface::InMeasuredFont(const MeasuredText& measured) const {
    return measured.set && measured.nameChanges == fontNameChanges_ &&
           measured.points == state_.fontSize && measured.bold == state_.fontBold &&
           measured.pixelWidth == pixelWidth_ && measured.pixelHeight == pixelHeight_ &&
           measured.designWidth == designWidth_ && measured.designHeight == designHeight_;
}

const PictureSurface::TextExtents& PictureSurface::ExtentsOf(std::string_view text) const {
    MeasuredText& m = measured_;
    if (InMeasuredFont(m) && m.text == text) return m.extents;
    if (!InMeasuredFont(m)) m.blank.reset();
    m.set = true;
    m.text.assign(text);
    m.nameChanges = fontNameChanges_;
    m.points = state_.fontSize;
    m.bold = state_.fontBold;
    m.pixelWidth = pixelWidth_;
    m.pixelHeight = pixelHeight_;
    m.designWidth = designWidth_;
    m.designHeight = designHeight_;
    TextExtents& e = m.extents;
    e.width = TextWidthPixels(text);
    e.height = TextHeightPixels(text);
    // The blanks about a text leave no mark: its ink is the rest.
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    if (first == std::string_view::npos) {
        e.lead = e.inked = 0.0;
    } else if (first == 0 && last + 1 == text.size()) {
        e.lead = 0.0;
        e.inked = e.width;
    } else {
        e.lead = TextWidthPixels(text.substr(0, first));
        e.inked = TextWidthPixels(text.substr(first, last - first + 1));
    }
    return e;
}

double PictureSurface::BlankWidth() const {
    if (!InMeasuredFont(measured_)) return TextWidthPixels(" ");
    if (!measured_.blank) measured_.blank = TextWidthPixels(" ");
    return *measured_.blank;
}

std::optional<TextRect> PictureSurface::InkBox(double x, double y, std::string_view text) const {
    if (text.find_first_not_of(' ') == std::string_view::npos) return std::nullopt;
    const TextExtents& e = ExtentsOf(text);
    const TextRect box{ToPixelX(x) + e.lead, ToPixelY(y), e.inked, e.height};
    if (!std::isfinite(box.left) || !std::isfinite(box.top)) return std::nullopt;
    return box;
}

namespace {

// The box with gap pixels more on either side, past the slack of
// TextRectsOverlap: a text beside it closer than gap overlaps it.
TextRect Widened(const TextRect& box, double gap) {
    if (!(gap > 0.0)) return box;
    return TextRect{box.left - gap - 1.0, box.top, box.width + 2.0 * (gap + 1.0), box.height};
}

// Whether a kept text is text printed at box's place.
bool SamePlace(const DrawnText& kept, std::string_view text, const TextRect& box) {
    return std::abs(kept.rect.left - box.left) < 0.5 && std::abs(kept.rect.top - box.top) < 0.5 &&
           kept.text == text;
}

// Keeps texts below the bound by forgetting the oldest half; the grid that
// follows the list, when given, notes it again. True when texts were
// forgotten.
template <typename T> bool KeepBounded(std::vector<T>& texts, TextGrid* grid = nullptr) {
    if (texts.size() < PictureSurface::kMostKeptTexts) return false;
    texts.erase(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(texts.size() / 2));
    if (grid) grid->Invalidate();
    return true;
}

// Whether test holds for a text of the list whose box may meet box.
template <typename Test>
bool AnyNear(const TextGrid& grid, const std::vector<DrawnText>& texts, const TextRect& box,
             Test test) {
    return grid.AnyNear(box, [&](std::size_t k) { return test(texts[k]); });
}

} // namespace

void PictureSurface::SyncTextGrids() const {
    placedGrid_.Sync(placed_, pixelWidth_, pixelHeight_);
    reservedGrid_.Sync(reserved_, pixelWidth_, pixelHeight_);
}

DrawnText PictureSurface::Judged(std::string_view text, const TextRect& box) const {
    DrawnText judged{std::string(text), box,          TextPixelSize(), state_.textMayOverlap,
                     state_.textKind,   LabelAnchor{}};
    if (judged.kind == TextKind::Label) {
        const LabelAnchor& a = state_.labelAnchor;
        judged.anchor = LabelAnchor{ToPixelX(a.x), ToPixelY(a.y), a.slide};
    }
    if (judged.kind == TextKind::Repeat && state_.repeatSpaced) judged.gap = BlankWidth();
    return judged;
}

void PictureSurface::KeepPlacedBounded() {
    if (KeepBounded(placed_, &placedGrid_) && !placed_.empty())
        TextsForgottenBefore(placed_.front().id);
}

std::optional<std::pair<double, double>> PictureSurface::PlaceText(double x, double y,
                                                                   std::string_view text) {
    printedTextId_ = 0;
    const TextKind kind = state_.textKind;
    const auto leaveOut = [this, text](const TextRect& box) {
        KeepBounded(leftOut_);
        leftOut_.push_back(Judged(text, box));
        return std::nullopt;
    };
    if (kind == TextKind::Label) {
        const auto placed = PlaceLabel(x, y, text, state_.labelAnchor);
        if (!placed) {
            const TextExtents& e = ExtentsOf(text);
            return leaveOut(TextRect{ToPixelX(x), ToPixelY(y), e.width, e.height});
        }
        std::tie(x, y) = *placed;
    }
    const std::optional<TextRect> found = InkBox(x, y, text);
    if (!found) return std::pair{x, y};
    const TextRect& box = *found;
    SyncTextGrids();
    const auto again = [&](const DrawnText& p) {
        if (!SamePlace(p, text, box)) return false;
        printedTextId_ = p.id;
        return true;
    };
    if (AnyNear(placedGrid_, placed_, box, again)) return std::pair{x, y};
    // The first kept place of the text, should there be several.
    const std::optional<std::size_t> kept = reservedGrid_.FirstNear(
        box, [&](std::size_t k) { return SamePlace(reserved_[k], text, box); });
    if (kept) {
        printedTextId_ = reserved_[*kept].id;
        reserved_.erase(reserved_.begin() + static_cast<std::ptrdiff_t>(*kept));
        reservedGrid_.Invalidate();
    } else if (kind != TextKind::Value) {
        constexpr double kSlack = 1.0;
        const bool off = box.left < -kSlack || box.top < -kSlack ||
                         box.Right() > pixelWidth_ + kSlack || box.Bottom() > pixelHeight_ + kSlack;
        // A repeat off the picture is left out whatever lies beside it.
        if (kind == TextKind::Repeat && off) return leaveOut(box);
        // A label yields to values, labels and kept places; a repeat to
        // every text, and a spaced one to every text beside it too.
        const double gap = kind == TextKind::Repeat && state_.repeatSpaced ? BlankWidth() : 0.0;
        const auto covers = [&](const DrawnText& p) {
            if (kind != TextKind::Repeat)
                return p.kind != TextKind::Repeat && TextRectsOverlap(p.rect, box);
            return TextRectsOverlap(Widened(p.rect, std::max(gap, p.gap)), box);
        };
        const TextRect near = Widened(box, std::max(gap, widestGap_));
        const bool covering = LeavesOutCoveredText() && !state_.textMayOverlap &&
                              (AnyNear(placedGrid_, placed_, near, covers) ||
                               AnyNear(reservedGrid_, reserved_, near, covers));
        if (covering) return leaveOut(box);
    }
    if (kind != TextKind::Repeat && LeavesOutCoveredText() && !state_.textMayOverlap) {
        // The repeats under a value or label give way to it, and the labels
        // under a value.
        const auto under = [&](const DrawnText& p) {
            const bool yields = p.kind == TextKind::Repeat ||
                                (p.kind == TextKind::Label && kind == TextKind::Value);
            return yields && !p.mayOverlap && TextRectsOverlap(Widened(p.rect, p.gap), box);
        };
        bool given = false;
        for (const std::size_t k : placedGrid_.Near(Widened(box, widestGap_))) {
            const DrawnText& p = placed_[k];
            if (!under(p)) continue;
            given = true;
            EraseText(p);
            KeepBounded(leftOut_);
            leftOut_.push_back(p);
        }
        if (given) {
            std::erase_if(placed_, under);
            placedGrid_.Invalidate();
        }
    }
    KeepPlacedBounded();
    placed_.push_back(Judged(text, box));
    placed_.back().id = printedTextId_ = ++lastTextId_;
    widestGap_ = std::max(widestGap_, placed_.back().gap);
    return std::pair{x, y};
}

bool PictureSurface::DrawnAt(double x, double y, std::string_view text) const {
    const std::optional<TextRect> box = InkBox(x, y, text);
    if (!box) return false;
    SyncTextGrids();
    return AnyNear(placedGrid_, placed_, *box,
                   [&](const DrawnText& p) { return SamePlace(p, text, *box); });
}

bool PictureSurface::ReserveTextPlace(double x, double y, std::string_view text, bool spaced) {
    const std::optional<TextRect> box = InkBox(x, y, text);
    if (!box) return false;
    const TextRect near = Widened(*box, spaced ? BlankWidth() : 0.0);
    const auto covers = [&](const DrawnText& p) { return TextRectsOverlap(p.rect, near); };
    SyncTextGrids();
    if (AnyNear(placedGrid_, placed_, near, covers) ||
        AnyNear(reservedGrid_, reserved_, near, covers))
        return false;
    KeepBounded(reserved_, &reservedGrid_);
    DrawnText keep = Judged(text, *box);
    keep.mayOverlap = false;
    reserved_.push_back(std::move(keep));
    return true;
}

void PictureSurface::ReserveTextArea(const TextRect& area) {
    KeepBounded(reserved_, &reservedGrid_);
    reserved_.push_back(DrawnText{std::string(), area, 0, false, TextKind::Value, LabelAnchor{}});
}

void PictureSurface::ForgetTexts() {
    placed_.clear();
    reserved_.clear();
    leftOut_.clear();
    widestGap_ = 0.0;
    placedGrid_.Invalidate();
    reservedGrid_.Invalidate();
}

void PictureSurface::AdoptPictureTexts() {
    for (const PictureText& t : picture_.Texts()) {
        KeepPlacedBounded();
        placed_.push_back(t.text);
        placed_.back().id = ++lastTextId_;
        widestGap_ = std::max(widestGap_, t.text.gap);
        PictureTextShown(t, lastTextId_);
    }
}

void PictureSurface::ForgetCoveredTexts(double x1, double y1, double x2, double y2) {
    if (state_.drawMode != DrawMode::CopyPen || placed_.empty()) return;
    const double left = std::min(ToPixelX(x1), ToPixelX(x2)) - 1.0;
    const double right = std::max(ToPixelX(x1), ToPixelX(x2)) + 1.0;
    const double top = std::min(ToPixelY(y1), ToPixelY(y2)) - 1.0;
    const double bottom = std::max(ToPixelY(y1), ToPixelY(y2)) + 1.0;
    const auto covered = [&](const DrawnText& p) {
        return p.rect.left >= left && p.rect.Right() <= right && p.rect.top >= top &&
               p.rect.Bottom() <= bottom;
    };
    // Only texts near the box can lie inside it: most fills cover none.
    SyncTextGrids();
    if (!AnyNear(placedGrid_, placed_, TextRect{left, top, right - left, bottom - top}, covered))
        return;
    const auto forget = [&](const DrawnText& p) {
        if (!covered(p)) return false;
        TextCovered(p);
        return true;
    };
    std::erase_if(placed_, forget);
    placedGrid_.Invalidate();
}

void PictureSurface::MoveTo(double x, double y) {
    currentX_ = x;
    currentY_ = y;
}

void PictureSurface::Clear() {
    ForgetTexts();
    DrawClear();
    AdoptPictureTexts();
    MoveTo(scale_.left, scale_.top);
}

void PictureSurface::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> color) {
    DrawLine(x1, y1, x2, y2, Resolve(color));
    MoveTo(x2, y2);
}

void PictureSurface::LineTo(double x, double y, std::optional<Rgb> color) {
    Line(currentX_, currentY_, x, y, color);
}

void PictureSurface::LineRel(double dx, double dy, std::optional<Rgb> color) {
    LineTo(currentX_ + dx, currentY_ + dy, color);
}

void PictureSurface::Polyline(const std::vector<std::pair<double, double>>& points,
                              std::optional<Rgb> color) {
    if (points.empty()) return;
    if (points.size() > 1) DrawPolyline(points, Resolve(color));
    MoveTo(points.back().first, points.back().second);
}

void PictureSurface::EraseText(const DrawnText&) {}

void PictureSurface::TextCovered(const DrawnText&) {}

void PictureSurface::PictureTextShown(const PictureText&, std::uint64_t) {}

void PictureSurface::TextsForgottenBefore(std::uint64_t) {}

void PictureSurface::DrawPolyline(const std::vector<std::pair<double, double>>& points, Rgb color) {
    for (std::size_t k = 1; k < points.size(); ++k)
        DrawLine(points[k - 1].first, points[k - 1].second, points[k].first, points[k].second,
                 color);
}

void PictureSurface::Lines(const std::vector<Segment>& segments, std::optional<Rgb> color) {
    if (segments.empty()) return;
    DrawLines(segments, Resolve(color));
    MoveTo(segments.back().x2, segments.back().y2);
}

void PictureSurface::DrawLines(const std::vector<Segment>& segments, Rgb color) {
    for (const Segment& s : segments) DrawLine(s.x1, s.y1, s.x2, s.y2, color);
}

void PictureSurface::Box(double x1, double y1, double x2, double y2, std::optional<Rgb> color) {
    DrawBox(x1, y1, x2, y2, Resolve(color), false);
    if (state_.fillStyle == FillStyle::Solid) ForgetCoveredTexts(x1, y1, x2, y2);
    MoveTo(x2, y2);
}

void PictureSurface::FilledBox(double x1, double y1, double x2, double y2,
                               std::optional<Rgb> color) {
    DrawBox(x1, y1, x2, y2, Resolve(color), true);
    ForgetCoveredTexts(x1, y1, x2, y2);
    MoveTo(x2, y2);
}

void PictureSurface::Circle(double x, double y, double radius, std::optional<Rgb> color) {
    DrawCircle(x, y, radius, Resolve(color));
    MoveTo(x, y);
}

void PictureSurface::Arc(double x, double y, double radius, double start, double end,
                         std::optional<Rgb> color) {
    DrawArc(x, y, radius, start, end, Resolve(color));
    MoveTo(x, y);
}

void PictureSurface::PSet(double x, double y, std::optional<Rgb> color) {
    DrawPoint(x, y, Resolve(color));
    MoveTo(x, y);
}

void PictureSurface::Print(std::string_view text) {
    if (const auto at = PlaceText(currentX_, currentY_, text))
        DrawText(at->first, at->second, text, true);
    MoveTo(scale_.left, currentY_ + TextHeight(text));
}

void PictureSurface::PrintNoNewline(std::string_view text) {
    if (const auto at = PlaceText(currentX_, currentY_, text))
        DrawText(at->first, at->second, text, false);
    currentX_ += TextWidth(text);
}

double PictureSurface::TextWidth(std::string_view text) const {
    // A text just printed or tried is measured already.
    const double pixels = InMeasuredFont(measured_) && measured_.text == text
                              ? measured_.extents.width
                              : TextWidthPixels(text);
    return pixels * scale_.width / pixelWidth_;
}

double PictureSurface::TextHeight(std::string_view text) const {
    return TextHeightPixels(text) * scale_.height / pixelHeight_;
}

std::pair<double, double> PictureSurface::PlaceValueInside(double x, double y,
                                                           std::string_view text) const {
    const double width = TextWidthPixels(text);
    const double height = TextHeightPixels(text);
    const double left = std::clamp(ToPixelX(x), 0.0, std::max(pixelWidth_ - width, 0.0));
    const double top = std::clamp(ToPixelY(y), 0.0, std::max(pixelHeight_ - height, 0.0));
    return {FromPixelX(left), FromPixelY(top)};
}

std::optional<std::pair<double, double>>
PictureSurface::PlaceLabel(double x, double y, std::string_view text,
                           const LabelAnchor& anchor) const {
    DrawnText judged;
    judged.anchor = LabelAnchor{ToPixelX(anchor.x), ToPixelY(anchor.y), anchor.slide};
    if (!judged.AnchorInside(pixelWidth_, pixelHeight_)) return std::nullopt;
    return PlaceValueInside(x, y, text);
}

void PictureSurface::SetPicture(const Picture& picture) {
    picture_ = picture;
    ForgetTexts();
    ShowPicture(picture_);
    AdoptPictureTexts();
}

} // namespace tarvex

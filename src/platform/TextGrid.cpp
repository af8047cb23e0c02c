#include "platform/TextGrid.h"

#include "platform/PictureSurface.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

bool TextGrid::Cells(const TextRect& box, double slack, CellSpan& span) const {
    const double x1 = box.left;
    const double x2 = box.Right();
    const double y1 = box.top;
    const double y2 = box.Bottom();
    if (!std::isfinite(x1) || !std::isfinite(x2) || !std::isfinite(y1) || !std::isfinite(y2))
        return false;
    // Cell 0 and the last cell of each axis also hold everything beyond the
    // picture's edge on their side.
    const auto cell = [](double v, int count) {
        // Held in the range first, the cell's number is whole by cutting
        // toward zero a positive number (cheaper than a floor).
        const double at = std::clamp(v / kCellPixels + 2.0, 1.0, static_cast<double>(count));
        return static_cast<int>(at) - 1;
    };
    span.left = cell(std::min(x1, x2) - slack, columns_);
    span.right = cell(std::max(x1, x2) + slack, columns_);
    span.top = cell(std::min(y1, y2) - slack, rows_);
    span.bottom = cell(std::max(y1, y2) + slack, rows_);
    return true;
}

void TextGrid::Note(std::size_t index, const TextRect& box) {
    const auto id = static_cast<std::uint32_t>(index);
    CellSpan span;
    if (!Cells(box, 0.0, span)) {
        everywhere_.push_back(id);
        return;
    }
    for (int row = span.top; row <= span.bottom; ++row)
        for (int column = span.left; column <= span.right; ++column)
            cells_[static_cast<std::size_t>(row * columns_ + column)].push_back(id);
}

void TextGrid::Sync(const std::vector<DrawnText>& texts, int pixelWidth, int pixelHeight) {
    // Most calls find the list as it was noted.
    if (noted_ != texts.size() || pixelWidth != pixelWidth_ || pixelHeight != pixelHeight_)
        NoteNew(texts, pixelWidth, pixelHeight);
}

void TextGrid::NoteNew(const std::vector<DrawnText>& texts, int pixelWidth, int pixelHeight) {
    if (noted_ == kStale || noted_ > texts.size() || pixelWidth != pixelWidth_ ||
        pixelHeight != pixelHeight_) {
        pixelWidth_ = pixelWidth;
        pixelHeight_ = pixelHeight;
        // A cell beyond each edge of the picture, on every side.
        columns_ = static_cast<int>(std::ceil(pixelWidth / kCellPixels)) + 2;
        rows_ = static_cast<int>(std::ceil(pixelHeight / kCellPixels)) + 2;
        cells_.resize(static_cast<std::size_t>(columns_ * rows_));
        for (auto& cell : cells_) cell.clear();
        everywhere_.clear();
        noted_ = 0;
    }
    for (; noted_ < texts.size(); ++noted_) Note(noted_, texts[noted_].rect);
}

const std::vector<std::size_t>& TextGrid::Near(const TextRect& box) const {
    found_.assign(everywhere_.begin(), everywhere_.end());
    CellSpan span;
    if (!Cells(box, 1.0, span)) {
        // A box without a finite place meets nothing; hand over every text
        // all the same and leave the judgement to the caller.
        found_.resize(noted_ == kStale ? 0 : noted_);
        for (std::size_t k = 0; k < found_.size(); ++k) found_[k] = k;
        return found_;
    }
    for (int row = span.top; row <= span.bottom; ++row)
        for (int column = span.left; column <= span.right; ++column) {
            const auto& cell = cells_[static_cast<std::size_t>(row * columns_ + column)];
            found_.insert(found_.end(), cell.begin(), cell.end());
        }
    if (span.left != span.right || span.top != span.bottom || !everywhere_.empty()) {
        std::sort(found_.begin(), found_.end());
        found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
    }
    return found_;
}

} // namespace tarvex

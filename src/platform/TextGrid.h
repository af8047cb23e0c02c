#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarvex {

struct DrawnText;
struct TextRect;

// Finds, among a picture's kept texts, those whose boxes may meet a box:
// each text is noted in the square cells of the picture its box touches, so
// a new text is compared with its neighbours only, not with every text the
// picture holds. The grid follows a list of texts that grows at its end;
// whoever takes texts out of the list says so (Invalidate), and the grid
// notes the list again when it is next asked.
class TextGrid {
  public:
    // Notes the texts added to the list since the last call (all of them
    // after Invalidate or when the picture's size changed).
    void Sync(const std::vector<DrawnText>& texts, int pixelWidth, int pixelHeight);
    void Invalidate() { noted_ = kStale; }
    // The indexes, ascending and each once, of the noted texts whose boxes
    // may share a point with box grown by a pixel on every side: every text
    // whose box meets that area is among them. The list stays valid until
    // the next call.
    const std::vector<std::size_t>& Near(const TextRect& box) const;
    // Whether test holds for the index of a text among those Near hands
    // over; a text may be asked about more than once.
    template <typename Test> bool AnyNear(const TextRect& box, Test test) const {
        for (const std::uint32_t k : everywhere_)
            if (test(k)) return true;
        CellSpan span;
        if (!Cells(box, 1.0, span)) {
            for (std::size_t k = 0; k < (noted_ == kStale ? 0 : noted_); ++k)
                if (test(k)) return true;
            return false;
        }
        for (int row = span.top; row <= span.bottom; ++row)
            for (int column = span.left; column <= span.right; ++column)
                for (const std::uint32_t k :
                     cells_[static_cast<std::size_t>(row * columns_ + column)])
                    if (test(k)) return true;
        return false;
    }
    // The least index among those Near hands over for which test holds, or
    // none; unlike Near it gathers no list.
    template <typename Test>
    std::optional<std::size_t> FirstNear(const TextRect& box, Test test) const {
        std::optional<std::size_t> first;
        AnyNear(box, [&](std::size_t k) {
            if ((!first || k < *first) && test(k)) first = k;
            return false;
        });
        return first;
    }

  private:
    static constexpr std::size_t kStale = static_cast<std::size_t>(-1);
    static constexpr double kCellPixels = 32.0;

    struct CellSpan {
        int left = 0;
        int top = 0;
        int right = -1;
        int bottom = -1;
    };
    // The cells a box grown by slack pixels touches; false for a box with a
    // coordinate that is not a finite number.
    bool Cells(const TextRect& box, double slack, CellSpan& span) const;
    void Note(std::size_t index, const TextRect& box);
    void NoteNew(const std::vector<DrawnText>& texts, int pixelWidth, int pixelHeight);

    int columns_ = 0;
    int rows_ = 0;
    int pixelWidth_ = 0;
    int pixelHeight_ = 0;
    std::size_t noted_ = kStale;
    std::vector<std::vector<std::uint32_t>> cells_;
    // Texts whose box has a coordinate beyond any number: compared always.
    std::vector<std::uint32_t> everywhere_;
    mutable std::vector<std::size_t> found_;
};

} // namespace tarvex

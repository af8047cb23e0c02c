// A font as the raster surface sets text in it: the toolkit's fonts
// (smoothed and exact), the advances of printable ASCII asked of the font as
// characters turn up (a text of them is laid out from the tables without the
// toolkit's shaping), the texts laid out so far, the glyph masks made so far
// and the words kept as pixels (KeptWords.h). A picture measures and prints
// the same labels and numbers again and again, every hour again: each of
// these is kept because asking the toolkit each time costs many times more.
// Every kept table has a bound, and the font owns them (the surface keeps
// its latest few fonts).
#pragma once

#include "platform/GlyphMasks.h"
#include "platform/KeptWords.h"
#include "platform/RasterPixels.h"

#include <QFont>
#include <QFontMetrics>
#include <QRawFont>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvex::raster {

// The whole number nearest a width, halves away from zero: what std::lround
// gives, worked out inline (text is measured tens of thousands of times a
// picture, and the call into the maths library took a tenth of that).
inline int NearestWhole(double width) {
    if (!(std::abs(width) < 1e9)) return static_cast<int>(std::lround(width));
    const auto whole = static_cast<int>(width); // toward zero
    const double part = width - whole;          // exact
    return whole + (part >= 0.5 ? 1 : 0) - (part <= -0.5 ? 1 : 0);
}

// Hashes a text the same whether it is held or only viewed, so that the
// widths are looked up without making a string.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};

struct TextFont {
    std::string name;
    int pixels = 0;
    bool bold = false;
    // Smoothed, for text in copy mode, and with exact pixels, for text in a
    // combining mode. The exact glyphs are loaded when first printed: most
    // pictures print none, and each face the toolkit loads costs a font
    // match.
    QFont font;
    QRawFont raw;
    QFont exactFont;
    mutable std::optional<QRawFont> exactRaw;
    const QRawFont& ExactRaw() const {
        if (!exactRaw) exactRaw = QRawFont::fromFont(exactFont);
        return *exactRaw;
    }
    int ascent = 0;
    int height = 0;
    // A glyph of the font that smoothed text draws from another face's
    // glyph, its ink centred where the font's own would stand, so that
    // advances and widths stay the font's own (the mono face's dotted zero,
    // at sizes where its dot touches its ring).
    struct StandIn {
        quint32 glyph = 0;
        QRawFont raw;
        quint32 rawGlyph = 0;
        double shift = 0.0;
    };
    std::optional<StandIn> standIn;
    // A text as laid out in this font: its glyphs (none when it goes through
    // the toolkit's shaping) and its width in whole pixels. A picture
    // measures and prints the same labels again and again (to place them, to
    // leave them out, to move on after them), and every hour again.
    struct Laid {
        std::optional<GlyphLine> glyphs;
        int width = 0;
    };
    mutable std::unordered_map<std::string, Laid, TextHash, std::equal_to<>> laid;
    // The smoothed masks made so far, by glyph and rendering.
    mutable std::unordered_map<std::uint32_t, GlyphMask> masks;
    // Words as set over a background of one colour: the same word in the
    // same colour at the same place between pixels over the same colour is
    // the same pixels, so a table of numbers that recur hour after hour
    // copies them instead of blending every glyph again.
    mutable std::unordered_map<WordKey, std::vector<WordPixels>, WordKeyHash> words;
    mutable std::size_t wordPixelsKept = 0;

    // Kept masks and words stay valid through a text: the bounds are kept
    // before one is set. A font keeps at most 2 MB of word pixels.
    void TrimKept() const {
        constexpr std::size_t kMasksKept = 4096;
        constexpr std::size_t kWordsKept = 2048;
        constexpr std::size_t kWordPixelsKept = std::size_t{1} << 19;
        if (masks.size() >= kMasksKept) masks.clear();
        if (words.size() >= kWordsKept || wordPixelsKept >= kWordPixelsKept) {
            words.clear();
            wordPixelsKept = 0;
        }
    }

    const GlyphMask& MaskOf(quint32 glyph, int rendering) const {
        const std::uint32_t key = (glyph << 3) | static_cast<std::uint32_t>(rendering);
        if (const auto known = masks.find(key); known != masks.end()) return known->second;
        return masks
            .emplace(key,
                     standIn && glyph == standIn->glyph
                         ? MakeGlyphMask(standIn->raw, standIn->rawGlyph, rendering, standIn->shift)
                         : MakeGlyphMask(raw, glyph, rendering))
            .first->second;
    }

    // Sets a laid-out text smoothed in the opaque colour, its baseline
    // starting at whole pixel baseline, word by word. Before a word's pixels
    // are set, beforeSet is handed the area they lie in (no pixel outside
    // the areas it is handed changes), so that what lay there can be kept.
    template <typename BeforeSet>
    void SetText(QImage& image, const GlyphLine& line, QPoint baseline, std::uint32_t color,
                 BeforeSet&& beforeSet) const {
        TrimKept();
        const quint32 blank = asciiGlyphs[0];
        const qsizetype count = line.glyphs.size();
        for (qsizetype first = 0; first < count;) {
            if (line.glyphs[first] == blank) {
                ++first;
                continue;
            }
            qsizetype end = first;
            while (end < count && line.glyphs[end] != blank) ++end;
            SetWord(image, line, first, end, baseline, color, beforeSet);
            first = end;
        }
    }

    // Glyphs first to end of the line, a word: copied when it was set over
    // the same colour before, else blended glyph by glyph (and kept when it
    // lies over one colour).
    template <typename BeforeSet>
    void SetWord(QImage& image, const GlyphLine& line, qsizetype first, qsizetype end,
                 QPoint baseline, std::uint32_t color, BeforeSet& beforeSet) const {
        // A glyph's place in 64ths of a pixel, cut toward zero as the toolkit
        // takes it.
        const auto sixtyFourths = [&](qsizetype k) -> std::optional<int> {
            const double place = (baseline.x() + line.positions[k].x()) * 64.0;
            if (!(std::abs(place) < 64.0 * kSafePixel)) return std::nullopt;
            return static_cast<int>(place);
        };
        const std::optional<int> start = sixtyFourths(first);
        WordKey key;
        const qsizetype length = end - first;
        const bool keyed = start && length <= static_cast<qsizetype>(key.glyphs.size());
        const QPoint origin(start ? *start >> 6 : 0, baseline.y());
        std::vector<WordPixels>* kept = nullptr;
        if (keyed) {
            key.length = static_cast<std::uint8_t>(length);
            key.phase = static_cast<std::uint8_t>(*start & 63);
            key.color = color;
            for (qsizetype k = 0; k < length; ++k)
                key.glyphs[static_cast<std::size_t>(k)] = line.glyphs[first + k];
            if (const auto known = words.find(key); known != words.end()) {
                kept = &known->second;
                for (const WordPixels& set : *kept) {
                    const QRect area = set.area.translated(origin);
                    if (!image.rect().contains(area) || !AllPixelsAre(image, area, set.under))
                        continue;
                    beforeSet(area);
                    CopyPixels(image, set, area.topLeft());
                    return;
                }
            }
        }
        std::vector<Placed>& placed = placedScratch;
        placed.clear();
        QRect area;
        for (qsizetype k = first; k < end; ++k) {
            const std::optional<int> at = sixtyFourths(k);
            if (!at) continue;
            const GlyphMask& mask = MaskOf(line.glyphs[k], SubpixelRendering(*at & 63));
            if (mask.coverage.empty()) continue;
            placed.push_back({&mask, *at >> 6});
            area |= QRect(placed.back().x + mask.left, baseline.y() + mask.top, mask.width,
                          mask.height);
        }
        const bool inside = keyed && image.rect().contains(area);
        const std::uint32_t under = inside ? reinterpret_cast<const std::uint32_t*>(
                                                 image.constScanLine(area.top()))[area.left()]
                                           : 0;
        const bool keep = inside && AllPixelsAre(image, area, under);
        if (!area.isEmpty()) beforeSet(area);
        for (const Placed& p : placed) SetGlyph(image, *p.mask, p.x, baseline.y(), color);
        if (!keep) return;
        WordPixels set = TakePixels(image, area);
        set.area.translate(-origin);
        set.under = under;
        wordPixelsKept += set.pixels.size();
        if (!kept) kept = &words[key];
        // A word kept over a few colours at most: the oldest gives way.
        constexpr std::size_t kBackgroundsKept = 4;
        if (kept->size() == kBackgroundsKept) kept->erase(kept->begin());
        kept->push_back(std::move(set));
    }

    // The glyphs of the word being set, with their whole-pixel places.
    struct Placed {
        const GlyphMask* mask;
        int x;
    };
    mutable std::vector<Placed> placedScratch;

    // The printable ASCII characters' glyphs (0 where the font lacks one),
    // their advances alone and, filled as pairs turn up, each one's kerned
    // advance before each other: the toolkit kerns a text pair by pair, so a
    // text of them is laid out from the tables without asking it.
    static constexpr int kFirstAscii = 0x20;
    static constexpr int kAsciiCount = 0x7F - kFirstAscii;
    std::array<quint32, kAsciiCount> asciiGlyphs{};
    mutable std::array<double, kAsciiCount> asciiAdvances{}; // NaN until asked
    mutable std::vector<double> pairAdvances;                // NaN until asked
    mutable Laid asciiLaid; // the latest text laid out from the tables

    void FillAsciiTables() {
        QString all;
        for (int c = kFirstAscii; c < kFirstAscii + kAsciiCount; ++c) all += QChar(c);
        const QList<quint32> glyphs =
            raw.isValid() ? raw.glyphIndexesForString(all) : QList<quint32>{};
        if (glyphs.size() != kAsciiCount) return;
        for (int k = 0; k < kAsciiCount; ++k) asciiGlyphs[static_cast<std::size_t>(k)] = glyphs[k];
        asciiAdvances.fill(std::numeric_limits<double>::quiet_NaN());
        pairAdvances.assign(static_cast<std::size_t>(kAsciiCount * kAsciiCount),
                            std::numeric_limits<double>::quiet_NaN());
    }

    double Advance(int k) const {
        double& advance = asciiAdvances[static_cast<std::size_t>(k)];
        if (std::isnan(advance)) {
            advance = raw.advancesForGlyphIndexes(
                             QList<quint32>{asciiGlyphs[static_cast<std::size_t>(k)]},
                             QRawFont::KernedAdvances)
                          .value(0)
                          .x();
        }
        return advance;
    }

    double PairAdvance(int first, int next) const {
        double& advance = pairAdvances[static_cast<std::size_t>(first * kAsciiCount + next)];
        if (std::isnan(advance)) {
            const QList<quint32> pair{asciiGlyphs[static_cast<std::size_t>(first)],
                                      asciiGlyphs[static_cast<std::size_t>(next)]};
            advance = raw.advancesForGlyphIndexes(pair, QRawFont::KernedAdvances).value(0).x();
        }
        return advance;
    }

    static int AsciiIndex(char c) { return static_cast<unsigned char>(c) - kFirstAscii; }

    // Whether the tables hold every character of the text (and it has one).
    bool InAsciiTables(std::string_view text) const {
        if (pairAdvances.empty() || text.empty()) return false;
        return std::all_of(text.begin(), text.end(), [this](char c) {
            const int k = AsciiIndex(c);
            return k >= 0 && k < kAsciiCount && asciiGlyphs[static_cast<std::size_t>(k)] != 0;
        });
    }

    // The text's width from the tables, as LayOutAscii gives it; none when
    // a character is not in them.
    std::optional<int> AsciiWidth(std::string_view text) const {
        if (!InAsciiTables(text)) return std::nullopt;
        double width = 0.0;
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            width += PairAdvance(AsciiIndex(text[i]), AsciiIndex(text[i + 1]));
        width += Advance(AsciiIndex(text.back()));
        return NearestWhole(width);
    }

    // The text laid out from the tables; false when a character is not in
    // them.
    bool LayOutAscii(std::string_view text) const {
        if (!InAsciiTables(text)) return false;
        if (!asciiLaid.glyphs) asciiLaid.glyphs.emplace();
        GlyphLine& line = *asciiLaid.glyphs;
        // Sized once and written in place: the lists keep their room from
        // text to text, and a push of each glyph cost more than its advance.
        const auto count = static_cast<qsizetype>(text.size());
        line.glyphs.resize(count);
        line.positions.resize(count);
        quint32* glyph = line.glyphs.data();
        QPointF* position = line.positions.data();
        double width = 0.0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int k = AsciiIndex(text[i]);
            glyph[i] = asciiGlyphs[static_cast<std::size_t>(k)];
            position[i] = QPointF(width, 0.0);
            width += i + 1 < text.size() ? PairAdvance(k, AsciiIndex(text[i + 1])) : Advance(k);
        }
        line.width = width;
        asciiLaid.width = NearestWhole(width);
        return true;
    }

    // The reference holds until the next call.
    const Laid& LayOut(std::string_view text) const {
        if (LayOutAscii(text)) return asciiLaid;
        if (const auto known = laid.find(text); known != laid.end()) return known->second;
        constexpr std::size_t kTextsKept = 1024;
        if (laid.size() >= kTextsKept) laid.clear();
        const QString line = ToQString(text);
        Laid made;
        made.glyphs = LayOutGlyphs(raw, line);
        made.width = made.glyphs ? NearestWhole(made.glyphs->width)
                                 : QFontMetrics(font).horizontalAdvance(line);
        return laid.emplace(std::string(text), std::move(made)).first->second;
    }
};

} // namespace tarvex::raster

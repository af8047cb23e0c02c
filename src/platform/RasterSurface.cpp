#include "platform/RasterSurface.h"

#include "platform/TextMetrics.h"

#include "compute/Narrow.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QPolygon>
#include <QRawFont>
#include <QString>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numbers>
#include <string_view>
#include <unordered_map>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvex {

namespace {

// Circles wider than this many pixels, and text this far off the image, are not
// drawn: the painter's fixed-point coordinates do not reach so far.
constexpr double kLargestRadius = 1.0e6;

QColor ToQColor(Rgb color) {
    return QColor(color.r, color.g, color.b);
}

// The colour as an image pixel's red, green and blue bits, without alpha.
std::uint32_t PixelBits(Rgb color) {
    return (static_cast<std::uint32_t>(color.r) << 16) |
           (static_cast<std::uint32_t>(color.g) << 8) | color.b;
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Cuts the segment a-b to the area (Liang-Barsky). False when nothing of it
// lies inside.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& area) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double enter = 0.0;
    double leave = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - area.left(), area.right() - a.x(), a.y() - area.top(),
                         area.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    if (enter > leave) return false;
    const QPointF start = a;
    a = start + QPointF(dx, dy) * enter;
    b = start + QPointF(dx, dy) * leave;
    return true;
}

// The rectangle whose corners are the two pixels, both included, whichever
// way round they are given (QRect::normalized() loses an edge of a rectangle
// given bottom-up).
QRect Spanning(const QPoint& a, const QPoint& b) {
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

// Pixel coordinates are held within this distance of the image before any
// integer arithmetic, so that sums and differences of them never overflow.
constexpr double kSafePixel = 1 << 24;

int SafePixel(double v) {
    return ClampToInt<int>(std::floor(std::clamp(v, -kSafePixel, kSafePixel) + 0.5));
}

QPoint Rounded(const QPointF& point) {
    return QPoint(SafePixel(point.x()), SafePixel(point.y()));
}

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

// A one-line text laid out glyph by glyph with the font's kerned advances:
// the same places as the toolkit's shaping gives Latin text, at a fraction of
// its cost. Empty when the font lacks a glyph of the text, which then goes
// through the toolkit's shaping and its font fallback.
struct GlyphLine {
    QList<quint32> glyphs;
    QList<QPointF> positions;
    double width = 0.0;
};

std::optional<GlyphLine> LayOutGlyphs(const QRawFont& raw, const QString& text) {
    if (!raw.isValid()) return std::nullopt;
    GlyphLine line;
    line.glyphs = raw.glyphIndexesForString(text);
    if (line.glyphs.size() != text.size() || line.glyphs.contains(0u)) return std::nullopt;
    const QList<QPointF> advances =
        raw.advancesForGlyphIndexes(line.glyphs, QRawFont::KernedAdvances);
    line.positions.reserve(advances.size());
    for (const QPointF& advance : advances) {
        line.positions.push_back(QPointF(line.width, 0.0));
        line.width += advance.x();
    }
    return line;
}

// A glyph's smoothed coverage as the toolkit rasterises it at one of the
// places between whole pixels that it tells apart: its masks are made once
// and set straight into the image, so that a text costs its pixels and not a
// pass through the toolkit's text path for every glyph.
struct GlyphMask {
    // From the glyph's whole-pixel place on the baseline to the mask's
    // first column and row.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage; // row by row, 0 (none) to 255 (full)
    // Each row's first covered column and the column after its last.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> rowSpans;
};

// The toolkit places a glyph at its position in 64ths of a pixel, and draws
// it from the whole pixel below with one of four renderings, chosen by the
// quarter that holds the 64ths after it (so the last 64th takes the next
// pixel's). Each rendering is made from the first 64th that selects it.
constexpr std::array<int, 5> kSubpixelFirst = {0, 15, 31, 47, 63};

int SubpixelRendering(int sixtyFourths) {
    return (sixtyFourths + 1) / 16;
}

// Text this large the toolkit draws as outlines rather than glyph images.
constexpr int kLargestMaskedPixels = 64;

GlyphMask MakeGlyphMask(const QRawFont& raw, quint32 glyph, int rendering) {
    // Room about the glyph's outline for the rasteriser's hinting.
    const QRectF outline = raw.boundingRect(glyph);
    const int pad = 2 + static_cast<int>(raw.pixelSize()) / 4;
    const int originX = pad - static_cast<int>(std::floor(outline.left()));
    const int originY = pad - static_cast<int>(std::floor(outline.top()));
    const int width = originX + static_cast<int>(std::ceil(outline.right())) + pad + 1;
    const int height = originY + static_cast<int>(std::ceil(outline.bottom())) + pad + 1;
    GlyphMask mask;
    if (width <= 0 || height <= 0 || width > 4 * kLargestMaskedPixels ||
        height > 4 * kLargestMaskedPixels)
        return mask;
    QImage scratch(width, height, QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setPen(Qt::white);
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes({glyph});
        run.setPositions({QPointF(0.0, 0.0)});
        painter.drawGlyphRun(
            QPointF(originX + kSubpixelFirst[static_cast<std::size_t>(rendering)] / 64.0, originY),
            run);
    }
    // White over nothing leaves the coverage in every channel.
    int x1 = width;
    int y1 = height;
    int x2 = -1;
    int y2 = -1;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[x]) == 0) continue;
            x1 = std::min(x1, x);
            x2 = std::max(x2, x);
            y1 = std::min(y1, y);
            y2 = std::max(y2, y);
        }
    }
    if (x2 < x1) return mask;
    mask.left = x1 - originX;
    mask.top = y1 - originY;
    mask.width = x2 - x1 + 1;
    mask.height = y2 - y1 + 1;
    mask.coverage.reserve(static_cast<std::size_t>(mask.width * mask.height));
    for (int y = y1; y <= y2; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        int first = mask.width;
        int end = 0;
        for (int x = x1; x <= x2; ++x) {
            const int alpha = qAlpha(row[x]);
            mask.coverage.push_back(static_cast<std::uint8_t>(alpha));
            if (alpha == 0) continue;
            first = std::min(first, x - x1);
            end = x - x1 + 1;
        }
        mask.rowSpans.emplace_back(static_cast<std::uint16_t>(std::min(first, end)),
                                   static_cast<std::uint16_t>(end));
    }
    return mask;
}

// Each of the pixel's four bytes times alpha / 255, rounded as the toolkit
// rounds it.
std::uint32_t ByteTimes(std::uint32_t pixel, std::uint32_t alpha) {
    std::uint32_t t = (pixel & 0xFF00FFu) * alpha;
    t = ((t + ((t >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    std::uint32_t u = ((pixel >> 8) & 0xFF00FFu) * alpha;
    u = (u + ((u >> 8) & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
    return t | u;
}

// One pixel of smoothed text: the colour where the glyph covers the pixel
// whole, blended with what is there where it covers a part.
std::uint32_t BlendGlyphPixel(std::uint32_t color, std::uint32_t alpha, std::uint32_t pixel) {
    if (alpha == 255) return color;
    return ByteTimes(color, alpha) + ByteTimes(pixel, 255 - alpha);
}

#if defined(__SSE2__)
// x * alpha / 255 in each 16-bit lane, rounded as ByteTimes rounds it.
__m128i LaneTimes(__m128i x, __m128i alpha) {
    const __m128i t = _mm_mullo_epi16(x, alpha);
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(0x80)), 8);
}

// Four pixels of smoothed text at once, each exactly as BlendGlyphPixel.
void BlendFourGlyphPixels(std::uint32_t* pixels, std::uint32_t coverage, __m128i color) {
    const __m128i zero = _mm_setzero_si128();
    // Each coverage byte for the four bytes of its pixel.
    __m128i alpha = _mm_cvtsi32_si128(static_cast<int>(coverage));
    alpha = _mm_unpacklo_epi8(alpha, alpha);
    alpha = _mm_unpacklo_epi16(alpha, alpha);
    const __m128i alphaLow = _mm_unpacklo_epi8(alpha, zero);
    const __m128i alphaHigh = _mm_unpackhi_epi8(alpha, zero);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
    const __m128i low =
        _mm_add_epi16(LaneTimes(color, alphaLow),
                      LaneTimes(_mm_unpacklo_epi8(under, zero), _mm_sub_epi16(full, alphaLow)));
    const __m128i high =
        _mm_add_epi16(LaneTimes(color, alphaHigh),
                      LaneTimes(_mm_unpackhi_epi8(under, zero), _mm_sub_epi16(full, alphaHigh)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_packus_epi16(low, high));
}
#endif

// Sets the mask in the opaque colour over the image's pixels with the glyph
// at whole pixel (x, y) of the baseline, as the toolkit blends smoothed text.
void SetGlyph(QImage& image, const GlyphMask& mask, int x, int y, std::uint32_t color) {
    const int left = x + mask.left;
    const int top = y + mask.top;
    const int fromColumn = std::max(0, -left);
    const int toColumn = std::min(mask.width, image.width() - left);
    const int fromRow = std::max(0, -top);
    const int toRow = std::min(mask.height, image.height() - top);
    if (fromColumn >= toColumn || fromRow >= toRow) return;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
#if defined(__SSE2__)
    const __m128i lanes =
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(color)), _mm_setzero_si128());
    const __m128i colorLanes = _mm_unpacklo_epi64(lanes, lanes);
    const __m128i fourColors = _mm_set1_epi32(static_cast<int>(color));
#endif
    for (int row = fromRow; row < toRow; ++row) {
        const std::uint8_t* coverage =
            mask.coverage.data() + static_cast<std::size_t>(row * mask.width);
        auto* pixels = reinterpret_cast<std::uint32_t*>(bits + (top + row) * stride) + left;
        const auto [first, end] = mask.rowSpans[static_cast<std::size_t>(row)];
        const int stop = std::min<int>(toColumn, end);
        int column = std::max<int>(fromColumn, first);
#if defined(__SSE2__)
        for (; column + 4 <= stop; column += 4) {
            std::uint32_t four = 0;
            std::memcpy(&four, coverage + column, sizeof four);
            if (four == 0) continue;
            if (four == 0xFFFFFFFFu) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + column), fourColors);
                continue;
            }
            BlendFourGlyphPixels(pixels + column, four, colorLanes);
        }
#endif
        for (; column < stop; ++column) {
            const std::uint32_t a = coverage[column];
            if (a != 0) pixels[column] = BlendGlyphPixel(color, a, pixels[column]);
        }
    }
}

// A word of a text as set over pixels of one colour: its glyphs, the 64ths
// of a pixel its first glyph starts after a whole pixel, its colour and the
// colour under it.
struct WordKey {
    std::array<quint32, 12> glyphs{};
    std::uint8_t length = 0;
    std::uint8_t phase = 0;
    std::uint32_t color = 0;
    bool operator==(const WordKey& other) const {
        return length == other.length && phase == other.phase && color == other.color &&
               std::equal(glyphs.begin(), glyphs.begin() + length, other.glyphs.begin());
    }
};

struct WordKeyHash {
    std::size_t operator()(const WordKey& key) const {
        std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (std::uint64_t{key.length} << 8 | key.phase);
        const auto mix = [&h](std::uint64_t v) {
            h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        };
        mix(key.color);
        for (std::size_t k = 0; k < key.length; ++k) mix(key.glyphs[k]);
        return static_cast<std::size_t>(h);
    }
};

// A word's pixels as set over one colour, and their area from the word's
// first whole pixel on the baseline.
struct WordPixels {
    QRect area;
    std::uint32_t under = 0;
    std::vector<std::uint32_t> pixels;
};

// Whether every pixel of the area, inside the image, is the colour.
bool AllPixelsAre(const QImage& image, const QRect& area, std::uint32_t color) {
    const uchar* const bits = image.constBits();
    const qsizetype stride = image.bytesPerLine();
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(color));
#endif
    for (int row = area.top(); row <= area.bottom(); ++row) {
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(bits + row * stride);
        int column = area.left();
#if defined(__SSE2__)
        for (; column + 4 <= area.right() + 1; column += 4) {
            const __m128i got = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + column));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(got, four)) != 0xFFFF) return false;
        }
#endif
        for (; column <= area.right(); ++column)
            if (pixels[column] != color) return false;
    }
    return true;
}

// The pixels of an area inside the image, row by row.
WordPixels TakePixels(const QImage& image, const QRect& area) {
    WordPixels taken;
    taken.area = area;
    taken.pixels.resize(static_cast<std::size_t>(area.width() * area.height()));
    for (int row = 0; row < area.height(); ++row)
        std::memcpy(taken.pixels.data() + static_cast<std::size_t>(row * area.width()),
                    reinterpret_cast<const std::uint32_t*>(image.constScanLine(area.top() + row)) +
                        area.left(),
                    static_cast<std::size_t>(area.width()) * sizeof(std::uint32_t));
    return taken;
}

void CopyPixels(QImage& image, const WordPixels& kept, const QPoint& at) {
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int width = kept.area.width();
    for (int row = 0; row < kept.area.height(); ++row)
        std::memcpy(reinterpret_cast<std::uint32_t*>(bits + (at.y() + row) * stride) + at.x(),
                    kept.pixels.data() + static_cast<std::size_t>(row * width),
                    static_cast<std::size_t>(width) * sizeof(std::uint32_t));
}

// Hashes a text the same whether it is held or only viewed, so that the
// widths are looked up without making a string.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};

} // namespace

struct RasterSurface::TextFont {
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
        return masks.emplace(key, MakeGlyphMask(raw, glyph, rendering)).first->second;
    }

    // Sets a laid-out text smoothed in the opaque colour, its baseline
    // starting at whole pixel baseline, word by word.
    void SetText(QImage& image, const GlyphLine& line, QPoint baseline, std::uint32_t color) const {
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
            SetWord(image, line, first, end, baseline, color);
            first = end;
        }
    }

    // Glyphs first to end of the line, a word: copied when it was set over
    // the same colour before, else blended glyph by glyph (and kept when it
    // lies over one colour).
    void SetWord(QImage& image, const GlyphLine& line, qsizetype first, qsizetype end,
                 QPoint baseline, std::uint32_t color) const {
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
        return static_cast<int>(std::lround(width));
    }

    // The text laid out from the tables; false when a character is not in
    // them.
    bool LayOutAscii(std::string_view text) const {
        if (!InAsciiTables(text)) return false;
        if (!asciiLaid.glyphs) asciiLaid.glyphs.emplace();
        GlyphLine& line = *asciiLaid.glyphs;
        line.glyphs.clear();
        line.positions.clear();
        line.width = 0.0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int k = AsciiIndex(text[i]);
            line.glyphs.push_back(asciiGlyphs[static_cast<std::size_t>(k)]);
            line.positions.push_back(QPointF(line.width, 0.0));
            line.width +=
                i + 1 < text.size() ? PairAdvance(k, AsciiIndex(text[i + 1])) : Advance(k);
        }
        asciiLaid.width = static_cast<int>(std::lround(line.width));
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
        made.width = made.glyphs ? static_cast<int>(std::lround(made.glyphs->width))
                                 : QFontMetrics(font).horizontalAdvance(line);
        return laid.emplace(std::string(text), std::move(made)).first->second;
    }
};

const RasterSurface::TextFont& RasterSurface::CurrentTextFont() const {
    const DrawState& state = State();
    const int pixels = TextPixelSize();
    // A picture that alternates between a few type faces or sizes (a
    // caption in bold, values in the plain face) finds each made already.
    for (std::size_t k = 0; k < textFonts_.size(); ++k) {
        const TextFont& font = *textFonts_[k];
        if (font.name == state.fontName && font.pixels == pixels && font.bold == state.fontBold) {
            if (k > 0)
                std::rotate(textFonts_.begin(), textFonts_.begin() + k, textFonts_.begin() + k + 1);
            return *textFonts_.front();
        }
    }
    auto made = std::make_unique<TextFont>();
    made->name = state.fontName;
    made->pixels = pixels;
    made->bold = state.fontBold;
    made->font = MakeFont(state.fontName, pixels, state.fontBold);
    made->raw = QRawFont::fromFont(made->font);
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

std::uint32_t ApplyDrawMode(DrawMode mode, std::uint32_t pen, std::uint32_t destination) {
    // Mode n is the function of two bits whose truth table is n - 1: bit
    // 2 * pen + destination of the table is the result for that pair.
    const auto table = (static_cast<std::uint32_t>(mode) - 1u) & 0xFu;
    const std::uint32_t p = pen;
    const std::uint32_t d = destination;
    std::uint32_t result = 0;
    if (table & 8u) result |= p & d;
    if (table & 4u) result |= p & ~d;
    if (table & 2u) result |= ~p & d;
    if (table & 1u) result |= ~p & ~d;
    return result & 0xFFFFFFu;
}

namespace {

QImage::Format ImageFormat(RasterSurface::Background background) {
    return background == RasterSurface::Background::Opaque ? QImage::Format_RGB32
                                                           : QImage::Format_ARGB32_Premultiplied;
}

} // namespace

RasterSurface::RasterSurface(int pixelWidth, int pixelHeight, Background background)
    : PictureSurface(pixelWidth, pixelHeight), background_(background),
      image_(PixelWidth(), PixelHeight(), ImageFormat(background)) {
    FillBackground(image_);
}

void RasterSurface::FillBackground(QImage& image) const {
    if (background_ == Background::Opaque) {
        image.fill(ToQColor(BackColor()));
    } else {
        image.fill(Qt::transparent);
    }
}

RasterSurface::~RasterSurface() {
    EndPainting();
}

QPainter& RasterSurface::Painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, false);
    }
    return *painter_;
}

void RasterSurface::EndPainting() const {
    painter_.reset();
}

void RasterSurface::Resize(int pixelWidth, int pixelHeight) {
    EndPainting();
    SetPixelSize(pixelWidth, pixelHeight);
    if (image_.width() == PixelWidth() && image_.height() == PixelHeight()) return;
    underRepeats_.clear();
    strokes_.clear();
    strokeLayer_ = QImage();
    QImage resized(PixelWidth(), PixelHeight(), ImageFormat(background_));
    FillBackground(resized);
    {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
    }
    image_ = resized;
    Changed();
}

void RasterSurface::Changed() {
    if (changed_) changed_();
}

void RasterSurface::Render(const QRect& bounds, const std::function<void(QPainter&)>& paint) {
    const DrawMode mode = State().drawMode;
    const QRect area = bounds.intersected(image_.rect());
    if (mode == DrawMode::Nop || area.isEmpty()) return;
    if (mode == DrawMode::CopyPen) {
        QPainter& painter = Painter();
        painter.setBrush(Qt::NoBrush);
        paint(painter);
    } else {
        EndPainting();
        QImage layer(area.size(), QImage::Format_ARGB32);
        layer.fill(Qt::transparent);
        {
            QPainter painter(&layer);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.translate(-area.x(), -area.y());
            paint(painter);
        }
        for (int row = 0; row < area.height(); ++row) {
            const auto* source = reinterpret_cast<const QRgb*>(layer.constScanLine(row));
            auto* target = reinterpret_cast<QRgb*>(image_.scanLine(row + area.y())) + area.x();
            for (int column = 0; column < area.width(); ++column) {
                if (qAlpha(source[column]) == 0) continue;
                target[column] = 0xFF000000u | ApplyDrawMode(mode, source[column], target[column]);
            }
        }
    }
    Changed();
}

void RasterSurface::SetStroke(const StrokeKey& key, const QPen& pen, const QRect& bounds,
                              Rgb color) {
    const DrawMode mode = State().drawMode;
    const QRect area = bounds.intersected(image_.rect());
    if (mode == DrawMode::Nop || area.isEmpty()) return;
    auto kept = strokes_.find(key);
    if (kept == strokes_.end()) {
        constexpr std::size_t kStrokesKept = 8192;
        if (strokes_.size() >= kStrokesKept) strokes_.clear();
        const bool layered = !key.layer.isEmpty();
        // The stroke is drawn as coverage alone, a byte a pixel: the toolkit
        // sets the same pixels as on a colour image, in a quarter of the
        // memory.
        QImage layer;
        if (layered) {
            layer = QImage(key.layer.size(), QImage::Format_Alpha8);
            layer.fill(0);
        } else if (strokeLayer_.size() != image_.size()) {
            strokeLayer_ = QImage(image_.size(), QImage::Format_Alpha8);
            strokeLayer_.fill(0);
        }
        QImage& target = layered ? layer : strokeLayer_;
        // Copy mode strokes at the image's own coordinates, so that the
        // stroke sets the very pixels it would set on the image; a combining
        // mode at its layer's, as it always has.
        const QPoint origin = layered ? key.layer.topLeft() : QPoint();
        {
            QPainter painter(&target);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setBrush(Qt::NoBrush);
            if (layered) painter.translate(-origin.x(), -origin.y());
            painter.setPen(pen);
            if (key.polyline) {
                std::size_t from = 0;
                for (std::size_t k = 0; k <= key.starts.size(); ++k) {
                    const std::size_t to = k < key.starts.size()
                                               ? static_cast<std::size_t>(key.starts[k])
                                               : key.points.size();
                    painter.drawPolyline(key.points.data() + from, static_cast<int>(to - from));
                    from = to;
                }
            } else {
                painter.drawLine(key.points[0], key.points[1]);
            }
        }
        const QRect scanned = layered ? QRect(QPoint(), key.layer.size()) : area;
        std::vector<PixelRun> runs;
        for (int row = scanned.top(); row <= scanned.bottom(); ++row) {
            uchar* const line = target.scanLine(row);
            for (int column = scanned.left(); column <= scanned.right();) {
                if (line[column] == 0) {
                    ++column;
                    continue;
                }
                const int left = column;
                while (column <= scanned.right() && line[column] != 0) line[column++] = 0;
                runs.push_back({row + origin.y(), left + origin.x(), column - left});
            }
        }
        kept = strokes_.emplace(key, std::move(runs)).first;
    }
    const std::uint32_t drawn = PixelBits(color);
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (const PixelRun& run : kept->second) {
        auto* pixel = reinterpret_cast<QRgb*>(bits + run.row * stride) + run.left;
        if (mode == DrawMode::CopyPen) {
            std::fill_n(pixel, run.count, 0xFF000000u | drawn);
            continue;
        }
        for (int k = 0; k < run.count; ++k)
            pixel[k] = 0xFF000000u | ApplyDrawMode(mode, drawn, pixel[k]);
    }
    Changed();
}

QPen RasterSurface::OutlinePen(Rgb color) const {
    const DrawState& state = State();
    const PenKey key{color, state.drawWidth, state.drawStyle};
    if (penKey_ == key) return pen_;
    penKey_ = key;
    pen_ = QPen(ToQColor(color));
    if (state.drawStyle == DrawStyle::Invisible) {
        pen_ = QPen(Qt::NoPen);
        return pen_;
    }
    pen_.setWidth(state.drawWidth);
    if (state.drawWidth > 1) {
        pen_.setCapStyle(Qt::RoundCap);
        pen_.setJoinStyle(Qt::RoundJoin);
        return pen_;
    }
    pen_.setCapStyle(Qt::SquareCap);
    switch (state.drawStyle) {
    case DrawStyle::Dash:
        pen_.setDashPattern({18, 6});
        break;
    case DrawStyle::Dot:
        pen_.setDashPattern({3, 3});
        break;
    case DrawStyle::DashDot:
        pen_.setDashPattern({9, 6, 3, 6});
        break;
    case DrawStyle::DashDotDot:
        pen_.setDashPattern({9, 3, 3, 3, 3, 3});
        break;
    default:
        break;
    }
    return pen_;
}

QBrush RasterSurface::FillBrush() const {
    // By fill style number: solid, transparent, horizontal, vertical, upward
    // diagonal, downward diagonal, cross, diagonal cross.
    static constexpr std::array<Qt::BrushStyle, 8> kPatterns = {
        Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
        Qt::BDiagPattern, Qt::FDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    const BrushKey key{State().fillStyle, State().fillColor};
    if (brushKey_ == key) return brush_;
    brushKey_ = key;
    const Qt::BrushStyle pattern = kPatterns.at(static_cast<std::size_t>(key.style));
    brush_ = pattern == Qt::NoBrush ? QBrush(Qt::NoBrush) : QBrush(ToQColor(key.color), pattern);
    return brush_;
}

QPoint RasterSurface::PixelPoint(double x, double y) const {
    const double margin = Margin();
    auto held = [margin](double value, double size) {
        if (std::isnan(value)) return -margin;
        return std::clamp(value, -margin, size + margin);
    };
    return Rounded(QPointF(held(ToPixelX(x), PixelWidth()), held(ToPixelY(y), PixelHeight())));
}

std::optional<RasterSurface::CircleGeometry> RasterSurface::CircleOnImage(double x, double y,
                                                                          double radius) const {
    CircleGeometry circle;
    circle.centre = QPointF(std::floor(ToPixelX(x) + 0.5), std::floor(ToPixelY(y) + 0.5));
    circle.radius = RadiusPixels(radius);
    // A centre further away than the largest radius cannot reach the image.
    if (!(std::abs(circle.centre.x()) <= 2 * kLargestRadius) ||
        !(std::abs(circle.centre.y()) <= 2 * kLargestRadius) ||
        !(circle.radius <= kLargestRadius)) {
        return std::nullopt;
    }
    const int reach = ClampToInt<int>(std::ceil(circle.radius)) + Margin();
    circle.bounds =
        QRect(Rounded(circle.centre) - QPoint(reach, reach), QSize(2 * reach, 2 * reach));
    return circle;
}

void RasterSurface::DrawClear() {
    ShowPicture(PersistentPicture());
}

void RasterSurface::ShowPicture(const Picture& picture) {
    underRepeats_.clear();
    if (background_ == Background::Transparent) {
        EndPainting();
        FillBackground(image_);
    }
    QPainter& painter = Painter();
    // An opaque picture that covers the whole image leaves none of the back
    // colour to show.
    const QImage* shown = picture.Image();
    const bool covered = shown && !shown->hasAlphaChannel() && shown->width() >= image_.width() &&
                         shown->height() >= image_.height();
    if (background_ == Background::Opaque && !covered)
        painter.fillRect(image_.rect(), ToQColor(BackColor()));
    if (shown) painter.drawImage(0, 0, *shown);
    Changed();
}

Picture RasterSurface::SnapshotPicture() {
    EndPainting();
    return Picture(image_);
}

std::optional<QLine> RasterSurface::PixelLine(double x1, double y1, double x2, double y2) const {
    QPointF a(ToPixelX(x1), ToPixelY(y1));
    QPointF b(ToPixelX(x2), ToPixelY(y2));
    const double margin = Margin();
    const QRectF area(-margin, -margin, PixelWidth() + 2 * margin, PixelHeight() + 2 * margin);
    if (!ClipSegment(a, b, area)) return std::nullopt;
    return QLine(Rounded(a), Rounded(b));
}

void RasterSurface::DrawLine(double x1, double y1, double x2, double y2, Rgb color) {
    const QPen pen = OutlinePen(color);
    if (pen.style() == Qt::NoPen) return;
    const std::optional<QLine> line = PixelLine(x1, y1, x2, y2);
    if (!line) return;
    const QPoint from = line->p1();
    const QPoint to = line->p2();
    const int m = Margin();
    const QRect bounds = Spanning(from, to).adjusted(-m, -m, m, m);
    if (pen.style() == Qt::CustomDashLine && pen.width() <= 1) {
        // Patterned one-pixel lines are plotted pixel by pixel along the
        // line: the toolkit's dash stroker costs many times more, and the
        // sounding's background is mostly dotted lines.
        // Which pixels of one period of the pattern are drawn: even runs.
        std::vector<char> drawn;
        const QList<qreal> pattern = pen.dashPattern();
        for (qsizetype run = 0; run < pattern.size(); ++run)
            drawn.insert(drawn.end(), ClampToInt<std::size_t>(pattern[run]), run % 2 == 0);
        if (drawn.empty()) drawn.push_back(1);
        const std::size_t period = drawn.size();
        std::vector<QPoint> points;
        const int dx = std::abs(to.x() - from.x());
        const int dy = -std::abs(to.y() - from.y());
        const int sx = from.x() < to.x() ? 1 : -1;
        const int sy = from.y() < to.y() ? 1 : -1;
        points.reserve(static_cast<std::size_t>(std::max(dx, -dy)) + 1);
        int error = dx + dy;
        QPoint p = from;
        for (std::size_t step = 0;; ++step) {
            if (drawn[step % period]) points.push_back(p);
            if (p == to) break;
            const int e2 = 2 * error;
            if (e2 >= dy) {
                error += dy;
                p.rx() += sx;
            }
            if (e2 <= dx) {
                error += dx;
                p.ry() += sy;
            }
        }
        PlotPixels(points, color);
        return;
    }
    if (State().drawMode == DrawMode::CopyPen && pen.style() == Qt::SolidLine && pen.width() <= 1 &&
        SetThinLine(*line, color)) {
        Changed();
        return;
    }
    if (State().drawMode == DrawMode::CopyPen && pen.width() > 1) {
        SetStroke(StrokeKey{false, pen.width(), {from, to}, {}, {}}, pen, bounds, color);
        return;
    }
    Render(bounds, [&](QPainter& painter) {
        painter.setPen(pen);
        painter.drawLine(from, to);
    });
}

bool RasterSurface::SetThinLine(const QLine& line, Rgb color) {
    const QRect inside = image_.rect();
    if (!inside.contains(line.p1()) || !inside.contains(line.p2())) return false;
    const QRgb pixel = 0xFF000000u | PixelBits(color);
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const auto set = [&](int x, int y) { reinterpret_cast<QRgb*>(bits + y * stride)[x] = pixel; };
    QPoint a = line.p1();
    QPoint b = line.p2();
    const int across = std::abs(b.x() - a.x());
    const int down = std::abs(b.y() - a.y());
    if (across == 0 && down == 0) {
        set(a.x(), a.y());
        return true;
    }
    // The toolkit's pixels for an unsmoothed one-pixel line with square
    // ends: one pixel per step along the longer axis, both ends included,
    // the other axis followed in 16.16 fixed point from half a step in.
    const auto start = [](int from, int step) {
        return from * 65536 - (step >> 1) + (step > 0 ? step : (step >> 1));
    };
    if (across < down) {
        if (a.y() > b.y()) std::swap(a, b);
        const int step = static_cast<int>(std::int64_t{b.x() - a.x()} * 65536 / (b.y() - a.y()));
        int x = start(a.x(), step);
        for (int y = a.y(); y <= b.y(); ++y, x += step) set(x >> 16, y);
    } else {
        if (a.x() > b.x()) std::swap(a, b);
        const int step = static_cast<int>(std::int64_t{b.y() - a.y()} * 65536 / (b.x() - a.x()));
        int y = start(a.y(), step);
        for (int x = a.x(); x <= b.x(); ++x, y += step) set(x, y >> 16);
    }
    return true;
}

void RasterSurface::DrawLines(const std::vector<Segment>& segments, Rgb color) {
    const QPen pen = OutlinePen(color);
    if (pen.style() == Qt::NoPen) return;
    // Thin solid lines in copy mode: those inside the image set their pixels
    // straight, the rest go to the painter in one call. Each is drawn as
    // alone, and a pixel two of them share takes the same colour either way.
    // Other pens and modes draw line by line.
    if (State().drawMode != DrawMode::CopyPen || pen.style() != Qt::SolidLine || pen.width() > 1) {
        PictureSurface::DrawLines(segments, color);
        return;
    }
    std::vector<QLine> lines;
    QRect bounds;
    bool set = false;
    for (const Segment& s : segments) {
        const std::optional<QLine> line = PixelLine(s.x1, s.y1, s.x2, s.y2);
        if (!line) continue;
        if (SetThinLine(*line, color)) {
            set = true;
            continue;
        }
        lines.push_back(*line);
        bounds = bounds.united(Spanning(line->p1(), line->p2()));
    }
    if (set) Changed();
    if (lines.empty()) return;
    const int m = Margin();
    Render(bounds.adjusted(-m, -m, m, m), [&](QPainter& painter) {
        painter.setPen(pen);
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    });
}

void RasterSurface::DrawPolyline(const std::vector<std::pair<double, double>>& points, Rgb color) {
    const QPen pen = OutlinePen(color);
    if (pen.style() == Qt::NoPen) return;
    // Patterned thin lines keep their pixel-by-pixel plotting.
    if (pen.style() == Qt::CustomDashLine && pen.width() <= 1) {
        PictureSurface::DrawPolyline(points, color);
        return;
    }
    const double margin = Margin();
    const QRectF area(-margin, -margin, PixelWidth() + 2 * margin, PixelHeight() + 2 * margin);
    // Runs of joined segments inside the area; a segment cut by its edge
    // ends a run.
    std::vector<QPolygon> runs;
    QRect bounds;
    bool joined = false; // the last segment ended uncut where this one starts
    for (std::size_t k = 1; k < points.size(); ++k) {
        const QPointF from(ToPixelX(points[k - 1].first), ToPixelY(points[k - 1].second));
        const QPointF to(ToPixelX(points[k].first), ToPixelY(points[k].second));
        QPointF a = from;
        QPointF b = to;
        if (!ClipSegment(a, b, area)) {
            joined = false;
            continue;
        }
        const QPoint start = Rounded(a);
        const QPoint end = Rounded(b);
        if (!joined || a != from) runs.push_back(QPolygon{start});
        runs.back().push_back(end);
        bounds = bounds.united(Spanning(start, end));
        joined = b == to;
    }
    const int m = Margin();
    const QRect touched = bounds.adjusted(-m, -m, m, m).intersected(image_.rect());
    if (State().drawMode == DrawMode::CopyPen && pen.width() > 1) {
        // Each run is stroked alone, so each is kept alone.
        if (touched.isEmpty()) return;
        for (const QPolygon& run : runs) {
            if (run.size() < 2) continue;
            const QRect around = run.boundingRect().adjusted(-m, -m, m, m);
            SetStroke(StrokeKey{true, pen.width(), {run.begin(), run.end()}, {}, {}}, pen, around,
                      color);
        }
        Changed();
        return;
    }
    if (pen.width() > 1 && !touched.isEmpty() &&
        std::all_of(runs.begin(), runs.end(), [](const QPolygon& run) { return run.size() > 1; })) {
        // In a combining mode the runs share one layer, each pixel of them
        // combined once.
        StrokeKey key{true, pen.width(), {}, {}, touched};
        for (const QPolygon& run : runs) {
            if (!key.points.empty()) key.starts.push_back(static_cast<int>(key.points.size()));
            key.points.insert(key.points.end(), run.begin(), run.end());
        }
        SetStroke(key, pen, touched, color);
        return;
    }
    Render(bounds.adjusted(-m, -m, m, m), [&](QPainter& painter) {
        painter.setPen(pen);
        for (const QPolygon& run : runs)
            if (run.size() > 1) painter.drawPolyline(run);
    });
}

void RasterSurface::PlotPixels(const std::vector<QPoint>& points, Rgb color) {
    const DrawMode mode = State().drawMode;
    if (mode == DrawMode::Nop || points.empty()) return;
    const std::uint32_t pen = PixelBits(color);
    // The pixels are written straight into the image; the open painter keeps
    // no copy of them.
    const int width = image_.width();
    const int height = image_.height();
    for (const QPoint& p : points) {
        if (p.x() < 0 || p.y() < 0 || p.x() >= width || p.y() >= height) continue;
        auto* pixel = reinterpret_cast<QRgb*>(image_.scanLine(p.y())) + p.x();
        *pixel = 0xFF000000u |
                 (mode == DrawMode::CopyPen ? pen : ApplyDrawMode(mode, pen, *pixel & 0xFFFFFFu));
    }
    Changed();
}

bool RasterSurface::ThinOutlineInside(const QPen& pen, const QRect& box) const {
    // A thin solid outline of a box inside the image is the box's edge
    // pixels, which four one-pixel fills set at a fraction of the cost of a
    // stroke.
    return pen.style() == Qt::SolidLine && pen.width() <= 1 && image_.rect().contains(box);
}

void RasterSurface::FillPixels(const QRect& area, Rgb color) {
    const QRect inside = area.intersected(image_.rect());
    if (inside.isEmpty()) return;
    const QRgb pixel = 0xFF000000u | PixelBits(color);
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int row = inside.top(); row <= inside.bottom(); ++row)
        std::fill_n(reinterpret_cast<QRgb*>(bits + row * stride) + inside.left(), inside.width(),
                    pixel);
}

void RasterSurface::FillPattern(const QRect& area, Rgb color) {
    const QRect inside = area.intersected(image_.rect());
    if (inside.isEmpty()) return;
    const FillStyle style = State().fillStyle;
    if (patternStyle_ != style) {
        // The toolkit's hatch patterns repeat every 8 pixels from the image's
        // corner: one tile, filled as the painter fills it, gives them all.
        QImage tile(kPatternSize, kPatternSize, QImage::Format_ARGB32);
        tile.fill(Qt::transparent);
        {
            QPainter painter(&tile);
            painter.fillRect(tile.rect(), FillBrush());
        }
        for (int row = 0; row < kPatternSize; ++row)
            for (int column = 0; column < kPatternSize; ++column)
                patternTile_[static_cast<std::size_t>(row * kPatternSize + column)] =
                    qAlpha(tile.pixel(column, row)) != 0;
        patternStyle_ = style;
    }
    const QRgb pixel = 0xFF000000u | PixelBits(color);
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int row = inside.top(); row <= inside.bottom(); ++row) {
        const bool* set =
            &patternTile_[static_cast<std::size_t>((row % kPatternSize) * kPatternSize)];
        auto* line = reinterpret_cast<QRgb*>(bits + row * stride);
        for (int column = inside.left(); column <= inside.right(); ++column)
            if (set[column % kPatternSize]) line[column] = pixel;
    }
}

void RasterSurface::DrawBox(double x1, double y1, double x2, double y2, Rgb color, bool filled) {
    const QRect box = Spanning(PixelPoint(x1, y1), PixelPoint(x2, y2));
    const int m = Margin();
    // In copy mode solid fills and thin solid outlines set their pixels
    // straight (the overview fills thousands of cells a picture); patterns
    // and wide or patterned outlines go through the painter.
    if (State().drawMode == DrawMode::CopyPen &&
        !box.adjusted(-m, -m, m, m).intersected(image_.rect()).isEmpty()) {
        const QPen pen = filled ? QPen(Qt::NoPen) : OutlinePen(color);
        const bool thinOutline = ThinOutlineInside(pen, box);
        if (filled || State().fillStyle == FillStyle::Solid) {
            FillPixels(box, filled ? color : State().fillColor);
        } else if (State().fillStyle != FillStyle::Transparent) {
            FillPattern(box, State().fillColor);
        }
        // A thin solid outline the image's edge cuts is set the same way when
        // the box is at least two pixels each way, as the painter strokes it:
        // cut beyond the first column left of the image, the stroke leaves
        // out the bottom-right corner.
        const bool thinCut = !thinOutline && pen.style() == Qt::SolidLine && pen.width() <= 1 &&
                             box.width() >= 2 && box.height() >= 2;
        if (thinOutline || thinCut) {
            const int corner = thinCut && box.left() <= -2 ? 1 : 0;
            FillPixels(QRect(box.topLeft(), QSize(box.width(), 1)), color);
            FillPixels(QRect(box.bottomLeft(), QSize(box.width() - corner, 1)), color);
            FillPixels(QRect(box.topLeft(), QSize(1, box.height())), color);
            FillPixels(QRect(box.topRight(), QSize(1, box.height() - corner)), color);
        } else if (pen.style() == Qt::SolidLine && pen.width() > 1) {
            SetStroke(StrokeKey{true,
                                pen.width(),
                                {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft(),
                                 box.topLeft()},
                                {},
                                {}},
                      pen, box.adjusted(-m, -m, m, m), color);
        } else if (pen.style() != Qt::NoPen) {
            QPainter& painter = Painter();
            painter.setBrush(Qt::NoBrush);
            painter.setPen(pen);
            const QPoint corners[5] = {box.topLeft(), box.topRight(), box.bottomRight(),
                                       box.bottomLeft(), box.topLeft()};
            painter.drawPolyline(corners, 5);
        }
        Changed();
        return;
    }
    if (filled) {
        // A whole fill in a combining mode combines each pixel of the box
        // once: straight into the image, without a layer to paint on.
        const DrawMode mode = State().drawMode;
        const QRect inside = box.intersected(image_.rect());
        if (mode == DrawMode::Nop || inside.isEmpty()) return;
        const std::uint32_t pen = PixelBits(color);
        uchar* const bits = image_.bits();
        const qsizetype stride = image_.bytesPerLine();
        for (int row = inside.top(); row <= inside.bottom(); ++row) {
            auto* pixel = reinterpret_cast<QRgb*>(bits + row * stride) + inside.left();
            for (int column = 0; column < inside.width(); ++column, ++pixel)
                *pixel = 0xFF000000u | ApplyDrawMode(mode, pen, *pixel);
        }
        Changed();
        return;
    }
    Render(box.adjusted(-m, -m, m, m), [&](QPainter& painter) {
        const QBrush brush = FillBrush();
        if (brush.style() != Qt::NoBrush) painter.fillRect(box, brush);
        const QPen pen = OutlinePen(color);
        if (pen.style() == Qt::NoPen) return;
        if (ThinOutlineInside(pen, box)) {
            const QColor edge = ToQColor(color);
            painter.fillRect(QRect(box.topLeft(), QSize(box.width(), 1)), edge);
            painter.fillRect(QRect(box.bottomLeft(), QSize(box.width(), 1)), edge);
            painter.fillRect(QRect(box.topLeft(), QSize(1, box.height())), edge);
            painter.fillRect(QRect(box.topRight(), QSize(1, box.height())), edge);
            return;
        }
        painter.setPen(pen);
        const QPoint corners[5] = {box.topLeft(), box.topRight(), box.bottomRight(),
                                   box.bottomLeft(), box.topLeft()};
        painter.drawPolyline(corners, 5);
    });
}

const RasterSurface::CircleStamp& RasterSurface::StampOf(const CircleGeometry& circle, Rgb color,
                                                         bool disc) {
    const DrawState& state = State();
    const PenKey pen{color, state.drawWidth, state.drawStyle};
    const BrushKey brush{state.fillStyle, state.fillColor};
    for (std::size_t k = 0; k < circleStamps_.size(); ++k) {
        const CircleStamp& kept = circleStamps_[k];
        if (kept.radius == circle.radius && kept.disc == disc && kept.pen == pen &&
            kept.brush == brush && kept.pixels.size() == circle.bounds.size()) {
            if (k > 0)
                std::rotate(circleStamps_.begin(), circleStamps_.begin() + k,
                            circleStamps_.begin() + k + 1);
            return circleStamps_.front();
        }
    }
    CircleStamp made{
        circle.radius, disc, pen, brush, QImage(circle.bounds.size(), QImage::Format_ARGB32), {}};
    made.pixels.fill(Qt::transparent);
    {
        QPainter painter(&made.pixels);
        painter.setRenderHint(QPainter::Antialiasing, false);
        PaintCircle(painter, circle.centre - QPointF(circle.bounds.topLeft()), circle.radius, color,
                    disc);
    }
    for (int row = 0; row < made.pixels.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(made.pixels.constScanLine(row));
        for (int column = 0; column < made.pixels.width();) {
            if (qAlpha(line[column]) == 0) {
                ++column;
                continue;
            }
            const int left = column;
            while (column < made.pixels.width() && qAlpha(line[column]) != 0) ++column;
            made.runs.push_back({row, left, column - left});
        }
    }
    constexpr std::size_t kStampsKept = 8;
    if (circleStamps_.size() == kStampsKept) circleStamps_.pop_back();
    circleStamps_.insert(circleStamps_.begin(), std::move(made));
    return circleStamps_.front();
}

void RasterSurface::PaintCircle(QPainter& painter, const QPointF& centre, double radius, Rgb color,
                                bool disc) const {
    if (disc) {
        // A wide outline round a fill of its own colour is one disc: the
        // toolkit fills it at a fraction of the cost of stroking.
        const double r = radius + State().drawWidth / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQColor(color));
        painter.drawEllipse(centre, r, r);
        return;
    }
    painter.setPen(OutlinePen(color));
    painter.setBrush(FillBrush());
    painter.drawEllipse(centre, radius, radius);
}

void RasterSurface::DrawCircle(double x, double y, double radius, Rgb color) {
    const auto circle = CircleOnImage(x, y, radius);
    if (!circle) return;
    const DrawState& state = State();
    const bool disc = state.drawWidth > 1 && state.fillStyle == FillStyle::Solid &&
                      state.fillColor == color && state.drawStyle != DrawStyle::Invisible;
    // Solid and empty fills look the same wherever the circle stands; a
    // pattern is laid from the image's corner, so those circles are drawn.
    const bool movable =
        state.fillStyle == FillStyle::Solid || state.fillStyle == FillStyle::Transparent;
    const QRect area = circle->bounds.intersected(image_.rect());
    if (state.drawMode == DrawMode::CopyPen && movable && area == circle->bounds) {
        const CircleStamp& stamp = StampOf(*circle, color, disc);
        const QPoint at = circle->bounds.topLeft();
        uchar* const bits = image_.bits();
        const qsizetype stride = image_.bytesPerLine();
        for (const PixelRun& run : stamp.runs) {
            const int line = run.row + at.y();
            if (line < area.top() || line > area.bottom()) continue;
            const int left = std::max(run.left + at.x(), area.left());
            const int right = std::min(run.left + run.count + at.x(), area.right() + 1);
            if (left >= right) continue;
            const auto* source =
                reinterpret_cast<const QRgb*>(stamp.pixels.constScanLine(run.row)) +
                (left - at.x());
            std::copy(source, source + (right - left),
                      reinterpret_cast<QRgb*>(bits + line * stride) + left);
        }
        Changed();
        return;
    }
    Render(circle->bounds, [&](QPainter& painter) {
        PaintCircle(painter, circle->centre, circle->radius, color, disc);
    });
}

void RasterSurface::DrawArc(double x, double y, double radius, double start, double end,
                            Rgb color) {
    const auto circle = CircleOnImage(x, y, radius);
    const QPen pen = OutlinePen(color);
    if (!circle || !std::isfinite(start) || !std::isfinite(end) || pen.style() == Qt::NoPen) {
        return;
    }
    // Anticlockwise from start to end, going round once when end is smaller.
    double span = end - start;
    if (span < 0.0) span += 2.0 * std::numbers::pi;
    constexpr double kSixteenthsPerRadian = 16.0 * 180.0 / std::numbers::pi;
    const double fullTurn = 2.0 * std::numbers::pi;
    const int startAngle =
        ClampToInt<int>(std::round(std::fmod(start, fullTurn) * kSixteenthsPerRadian));
    const int spanAngle =
        ClampToInt<int>(std::round(std::min(span, fullTurn) * kSixteenthsPerRadian));
    const double r = circle->radius;
    const QRectF square(circle->centre - QPointF(r, r), QSizeF(2 * r, 2 * r));
    Render(circle->bounds, [&](QPainter& painter) {
        painter.setPen(pen);
        painter.drawArc(square, startAngle, spanAngle);
    });
}

void RasterSurface::DrawPoint(double x, double y, Rgb color) {
    const QPoint point = PixelPoint(x, y);
    const int width = State().drawWidth;
    const int m = Margin();
    Render(QRect(point, point).adjusted(-m, -m, m, m), [&](QPainter& painter) {
        if (width == 1) {
            painter.setPen(QPen(ToQColor(color), 1));
            painter.drawPoint(point);
            return;
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQColor(color));
        painter.drawEllipse(QPointF(point), width / 2.0, width / 2.0);
    });
}

void RasterSurface::DrawText(double x, double y, std::string_view text, bool) {
    const DrawState& state = State();
    const TextFont& font = CurrentTextFont();
    const double px = ToPixelX(x);
    const double py = ToPixelY(y);
    if (!(std::abs(px) <= kLargestRadius && std::abs(py) <= kLargestRadius)) return;
    const QPoint topLeft = Rounded(QPointF(px, py));
    const TextFont::Laid& laid = font.LayOut(text);
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
    const TextFont& font = CurrentTextFont();
    if (const std::optional<int> width = font.AsciiWidth(text)) return *width;
    return font.LayOut(text).width;
}

double RasterSurface::TextHeightPixels(std::string_view) const {
    return CurrentTextFont().height;
}

} // namespace tarvex

#pragma once

#include <string>
#include <string_view>

namespace tarvex {

// The typefaces every surface draws text in: classic fixed-pitch names map
// to the mono face, serif names to the serif face, all others to the sans
// face (of the DejaVu family).
enum class TextFace { Sans, Mono, Serif };
TextFace FaceOfFont(const std::string& fontName);

// A one-line text's extent in pixels at a pixel font size, from the advance
// widths and the ascent and descent of the face, without hinting: the raster
// surface draws within a pixel or so of it, and it is the same on every
// machine. Characters outside Latin-1 take the width of a digit.
double ModelTextWidth(TextFace face, bool bold, int pixelSize, std::string_view utf8);
int ModelTextHeight(TextFace face, bool bold, int pixelSize);

} // namespace tarvex

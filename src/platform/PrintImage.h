#pragma once

#include <string>

class QImage;

namespace tarvex {

// Whether the desktop has a default printer.
bool HasDefaultPrinter();

// Prints the image, scaled to fit the page with its shape kept: into the PDF
// file pdfPath, or on the default printer when pdfPath is empty. Empty when
// it was printed, else what went wrong.
std::string PrintImage(const QImage& image, const std::string& pdfPath);

} // namespace tarvex

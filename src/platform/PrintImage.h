#pragma once

#include <functional>
#include <string>

class QImage;
class QWidget;

namespace tarvex {

// Whether the desktop has a default printer.
bool HasDefaultPrinter();

// Prints the image, scaled to fit the page with its shape kept: into the PDF
// file pdfPath, or on the default printer when pdfPath is empty. Empty when
// it was printed, else what went wrong.
std::string PrintImage(const QImage& image, const std::string& pdfPath);

// Prints an image of the whole window: on the default printer, else into a
// PDF file that choosePdf names (nothing when it names none). A failure goes
// to report, naming what was printed ("The window") and the PDF file.
void PrintWindow(QWidget& window, const std::string& what,
                 const std::function<std::string()>& choosePdf,
                 const std::function<void(const std::string&)>& report);

} // namespace tarvex

#include "platform/PrintImage.h"

#include "files/HistoryFile.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace tarvex {

bool HasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

namespace {

// Scales the image to fit the painter's page with its shape kept.
bool PaintPage(QPainter& painter, const QImage& image) {
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), image);
    return painter.end();
}

} // namespace

std::string PrintImage(const QImage& image, const std::string& pdfPath) {
    if (image.isNull()) return "there is no picture of the window to print";
    const QPageLayout::Orientation orientation =
        image.width() > image.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (!pdfPath.empty()) {
        // The PDF is made in memory on the printer's page, then written whole
        // beside its name and renamed over it, so that a full disk leaves no
        // cut file behind.
        QPrinter page(QPrinter::HighResolution);
        page.setOutputFormat(QPrinter::PdfFormat);
        QBuffer bytes;
        bytes.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&bytes);
        pdf.setResolution(page.resolution());
        pdf.setPageLayout(page.pageLayout());
        pdf.setPageOrientation(orientation);
        QPainter painter;
        if (!painter.begin(&pdf) || !PaintPage(painter, image)) return "the PDF could not be made";
        const QByteArray& data = bytes.data();
        const TextFileResult written = WriteTextFileWhole(
            pdfPath, std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
        if (!written.ok) return "the PDF could not be written whole: " + written.reason;
        return {};
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(orientation);
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull()) return "there is no default printer";
    printer.setPrinterName(target.printerName());
    QPainter painter;
    if (!painter.begin(&printer)) return "the printer could not be started";
    if (!PaintPage(painter, image)) return "the printer did not take the whole page";
    return {};
}

void PrintWindow(QWidget& window, const std::string& what,
                 const std::function<std::string()>& choosePdf,
                 const std::function<void(const std::string&)>& report) {
    const QImage image = window.grab().toImage();
    std::string pdf;
    if (!HasDefaultPrinter()) {
        pdf = choosePdf ? choosePdf() : std::string();
        if (pdf.empty()) return; // the user chose no file
    }
    const std::string fault = PrintImage(image, pdf);
    if (!fault.empty() && report) {
        report(what + " could not be printed" +
               (pdf.empty() ? std::string() : " to \"" + pdf + "\"") + ": " + fault + ".");
    }
}

} // namespace tarvex

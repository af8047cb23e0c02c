#include "platform/PrintImage.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace tarvex {

bool HasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

std::string PrintImage(const QImage& image, const std::string& pdfPath) {
    if (image.isNull()) return "there is no picture of the window to print";
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
    if (pdfPath.empty()) {
        const QPrinterInfo target = QPrinterInfo::defaultPrinter();
        if (target.isNull()) return "there is no default printer";
        printer.setPrinterName(target.printerName());
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdfPath));
    }
    QPainter painter;
    if (!painter.begin(&printer)) return "the printer could not be started";
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), image);
    if (!painter.end()) return "the printer did not take the whole page";
    if (!pdfPath.empty() && QFileInfo(QString::fromStdString(pdfPath)).size() == 0)
        return "the PDF file could not be written";
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

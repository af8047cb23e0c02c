#include "platform/QtDesktopService.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace tarvex {

QtDesktopService::QtDesktopService(QString documentFolder)
    : documentFolder_(documentFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                               : std::move(documentFolder)) {}

QtDesktopService::~QtDesktopService() {
    if (overridden_ && QCoreApplication::instance() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

bool QtDesktopService::openDocument(const std::string& pathOrUrl) {
    // A file that exists relative to the document folder becomes a file
    // address; anything else is taken as a web address.
    const QUrl url = QUrl::fromUserInput(QString::fromStdString(pathOrUrl), documentFolder_,
                                         QUrl::AssumeLocalFile);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool QtDesktopService::startProgram(const std::string& program,
                                    const std::vector<std::string>& arguments) {
    if (program.empty()) return false;
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), args, documentFolder_);
}

void QtDesktopService::setPointerShape(PointerShape shape) {
    if (shape == PointerShape::Default) {
        if (overridden_) QGuiApplication::restoreOverrideCursor();
        overridden_ = false;
        return;
    }
    const QCursor cursor(Qt::WhatsThisCursor);
    if (overridden_) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
        overridden_ = true;
    }
}

bool QtDesktopService::askOkCancel(const std::string& title, const std::string& text) {
    return QMessageBox::critical(nullptr, QString::fromStdString(title),
                                 QString::fromStdString(text),
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

} // namespace tarvex

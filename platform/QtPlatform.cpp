#include "platform/QtPlatform.h"

#include "platform/Bitmap.h"
#include "platform/ErrorTexts.h"

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibrary>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

namespace platform {

namespace {
constexpr double kPixelsPerInch = 96.0;  // 15 twips per pixel

QMessageBox::Icon ToQt(Icon icon) {
    switch (icon) {
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The last CUPS request's refusal, if any. libcups is looked up when a page
// has been printed (Qt's print support has loaded it by then) rather than
// linked, so that the program starts without it.
QString LastCupsRefusal() {
    using LastError = int (*)();
    using LastErrorString = const char* (*)();
    constexpr int kFirstFailure = 0x0200;  // IPP statuses below this are successes
    static QLibrary cups(QStringLiteral("cups"), 2);
    const auto lastError = reinterpret_cast<LastError>(cups.resolve("cupsLastError"));
    const auto lastErrorString =
        reinterpret_cast<LastErrorString>(cups.resolve("cupsLastErrorString"));
    if (lastError == nullptr || lastErrorString == nullptr || lastError() < kFirstFailure) {
        return {};
    }
    return CupsRefusalText(lastError(), QString::fromUtf8(lastErrorString()));
}

QString Reason(const QString& what, const QString& path) {
    return QStringLiteral("%1: %2").arg(what, QDir::toNativeSeparators(path));
}
}  // namespace

Answer QtPlatform::ShowMessage(QWidget* parent, const Message& message) {
    QMessageBox box(ToQt(message.icon), message.title, message.text, QMessageBox::NoButton, parent);
    if (message.buttons == Buttons::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    box.setDefaultButton(box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole));
    box.exec();
    return Answer::Ok;
}

QString QtPlatform::DefaultPrinterName() {
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) {
        throw Failure("No hay una impresora predeterminada");
    }
    return name;
}

void PaintPage(QPainter& painter, const Page& page) {
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Replaying a picture already scales it from the resolution it was
    // recorded at to the device's; what is left is to make one recorded
    // pixel 1/96 inch, whatever the screen's resolution was.
    painter.scale(page.picture.logicalDpiX() / kPixelsPerInch,
                  page.picture.logicalDpiY() / kPixelsPerInch);
    painter.drawPicture(0, 0, page.picture);
}

void QtPlatform::PrintPage(const Page& page) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(DefaultPrinterName());
    printer.setDocName(QStringLiteral("Talonario"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw Failure("No se pudo imprimir en " + printer.printerName().toStdString());
    }
    PaintPage(painter, page);
    if (!painter.end()) {
        throw Failure("La impresora rechazó el trabajo");
    }
    // Qt hands the job to CUPS in end() and reports success even when the
    // queue refused it; CUPS itself knows.
    if (const QString refusal = LastCupsRefusal(); !refusal.isEmpty()) {
        throw Failure("La impresora rechazó el trabajo: " + refusal.toStdString());
    }
}

void QtPlatform::WritePdf(const std::vector<Page>& pages, const QString& path) {
    // Written under a temporary name and renamed when complete, so a failure
    // never leaves half a PDF behind.
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open()) {
        throw Failure(Reason(QStringLiteral("No se puede escribir"), path).toStdString());
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Talonario"));
        writer.setResolution(300);
        if (!pages.empty()) {
            const QSize& px = pages.front().pixels;
            writer.setPageSize(
                QPageSize(QSizeF(px.width() / kPixelsPerInch, px.height() / kPixelsPerInch),
                          QPageSize::Inch));
        }
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0) {
                writer.newPage();
            }
            painter.save();
            PaintPage(painter, pages[i]);
            painter.restore();
        }
        if (!painter.end()) {
            throw Failure(Reason(QStringLiteral("No se pudo generar el PDF"), path).toStdString());
        }
    }
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!file.flush() || std::rename(QFile::encodeName(file.fileName()).constData(),
                                     QFile::encodeName(path).constData()) != 0) {
        throw Failure(Reason(QStringLiteral("No se puede escribir"), path).toStdString());
    }
    file.setAutoRemove(false);
}

QString QtPlatform::AskSaveFileName(QWidget* parent, const QString& title,
                                    const QString& proposedPath, const QString& filter) {
    // A bare name is proposed in the user's documents folder.
    const QString start =
        QFileInfo(proposedPath).isAbsolute()
            ? proposedPath
            : QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                  .filePath(proposedPath);
    return QFileDialog::getSaveFileName(parent, title, start, filter);
}

QString QtPlatform::ProgramFolder() {
    return QCoreApplication::applicationDirPath();
}

QString QtPlatform::TemporaryFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation);
}

void QtPlatform::SavePicture(const QImage& picture, const QString& path) {
    const QByteArray bytes = EncodeBitmap24(picture);
    const QByteArray name = QFile::encodeName(path);
    // The name itself is replaced: whatever lies there (a stale bitmap, or a
    // link planted to make us overwrite a file elsewhere) is removed, and
    // O_EXCL refuses a link that reappears before the file is created.
    ::unlink(name.constData());
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw Failure(
            Reason(QStringLiteral("No se puede escribir (%1)").arg(SystemErrorText(errno)), path)
                .toStdString());
    }
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        written += n;
    }
    const int saved = errno;
    if (::close(fd) != 0 || written != bytes.size()) {
        ::unlink(name.constData());  // never leave half a picture behind
        throw Failure(
            Reason(QStringLiteral("No se puede escribir (%1)").arg(SystemErrorText(saved)), path)
                .toStdString());
    }
}

QImage QtPlatform::LoadPicture(const QString& path) {
    QFile file(path);
    const QImage picture = file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
                               ? ReadBitmap(file.readAll())
                               : QImage();
    if (picture.isNull()) {
        throw Failure(Reason(QStringLiteral("No se puede leer"), path).toStdString());
    }
    return picture;
}

void QtPlatform::DeleteFile(const QString& path) {
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
        throw Failure(
            Reason(QStringLiteral("No se puede borrar (%1)").arg(SystemErrorText(errno)), path)
                .toStdString());
    }
}

void QtPlatform::ProcessEvents() {
    QCoreApplication::processEvents();
}

}  // namespace platform

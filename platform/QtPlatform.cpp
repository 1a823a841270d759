// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtPlatform.h"

#include "platform/Bitmap.h"
#include "platform/ErrorTexts.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

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

void WritePdfPages(const std::vector<Page>& pages, QIODevice& device) {
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("Talonario"));
    writer.setResolution(300);
    if (!pages.empty()) {
        const QSize& px = pages.front().pixels;
        writer.setPageSize(QPageSize(
            QSizeF(px.width() / kPixelsPerInch, px.height() / kPixelsPerInch), QPageSize::Inch));
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
        throw Failure("No se pudo generar el PDF");
    }
}

QByteArray RenderPdf(const std::vector<Page>& pages) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WritePdfPages(pages, buffer);
    return buffer.data();
}

void QtPlatform::WritePdf(const std::vector<Page>& pages, const QString& path) {
    // Made whole in memory first: the file is opened only once the PDF is
    // complete, so a failure to make it touches nothing on disk.
    QByteArray pdf;
    try {
        pdf = RenderPdf(pages);
    } catch (const Failure&) {
        throw Failure(Reason(QStringLiteral("No se pudo generar el PDF"), path).toStdString());
    }
    if (const QString why = WriteFileSafely(EncodeName(path), pdf); !why.isEmpty()) {
        throw Failure(QStringLiteral("No se puede escribir %1: %2")
                          .arg(Printable(QDir::toNativeSeparators(path)), why)
                          .toStdString());
    }
}

QString ProposedSavePath(const QString& proposedPath) {
    // A folder that is not there would leave the dialog in the current folder
    // with the missing one's path as the name; the dialog then resolves that
    // against the current folder, which is nowhere the user meant.
    const QFileInfo proposed(proposedPath);
    QStringList folders;
    if (proposed.isAbsolute()) {
        folders << proposed.absolutePath();
    }
    folders << QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
            << QDir::homePath();
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        if (!folder.isEmpty() && info.isAbsolute() && info.isDir()) {
            return QDir(info.absoluteFilePath()).absoluteFilePath(proposed.fileName());
        }
    }
    return QDir::current().absoluteFilePath(proposed.fileName());
}

QString QtPlatform::AskSaveFileName(QWidget* parent, const QString& title,
                                    const QString& proposedPath, const QString& filter) {
    const QFileInfo start(ProposedSavePath(proposedPath));
    // The suffix is added by the dialog itself, so that the overwrite
    // question is about the name that will be written ("dup" is "dup.pdf").
    QFileDialog dialog(parent, title, start.absolutePath(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(start.fileName());
    static const QRegularExpression kSuffix(QStringLiteral("\\(\\*\\.(\\w+)"));
    if (const QRegularExpressionMatch match = kSuffix.match(filter); match.hasMatch()) {
        dialog.setDefaultSuffix(match.captured(1));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    // Whatever was typed, the name returned is absolute.
    return dialog.directory().absoluteFilePath(dialog.selectedFiles().constFirst());
}

QString QtPlatform::ProgramFolder() {
    return QCoreApplication::applicationDirPath();
}

QString QtPlatform::TemporaryFolder() {
    // Private to the user (0700): in a shared /tmp another user's file of the
    // same name would stop every print, or be read as ours.
    if (!privateFolder_.isEmpty()) {
        return privateFolder_;
    }
    QStringList candidates;
    if (const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
        candidates << QFile::decodeName(runtime) + QStringLiteral("/talonario");
    }
    candidates << QDir::tempPath() + QStringLiteral("/talonario-%1").arg(::geteuid());
    for (const QString& candidate : candidates) {
        const QByteArray name = QFile::encodeName(candidate);
        ::mkdir(name.constData(), 0700);
        struct stat folder {};
        if (::lstat(name.constData(), &folder) == 0 && S_ISDIR(folder.st_mode) &&
            folder.st_uid == ::geteuid() &&
            ((folder.st_mode & 077) == 0 || ::chmod(name.constData(), 0700) == 0)) {
            privateFolder_ = candidate;
            return privateFolder_;
        }
    }
    // Both names taken by someone else: a fresh folder for this run.
    fallbackFolder_ =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/talonario-XXXXXX"));
    if (!fallbackFolder_->isValid()) {
        throw Failure(QStringLiteral("No se puede crear una carpeta temporal privada en %1")
                          .arg(QDir::tempPath())
                          .toStdString());
    }
    privateFolder_ = fallbackFolder_->path();
    return privateFolder_;
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
    // Keys and clicks wait for the handler that asked: a click's release
    // delivered inside the handler of its own press is lost, and a run it
    // started would read figures the handler has not finished.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace platform

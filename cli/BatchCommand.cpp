// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchCommand.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QThread>
#include <memory>

#include "batch/CsvRows.h"
#include "batch/FileNames.h"
#include "batch/Report.h"
#include "batch/Rows.h"
#include "cli/BatchRun.h"
#include "cli/BatchWorker.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/OnePdf.h"
#include "cli/Recording.h"
#include "cli/Tell.h"
#include "cli/VoucherOptions.h"
#include "history/Destination.h"
#include "platform/ErrorTexts.h"
#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Input.h"
#include "platform/QtPlatform.h"
#include "platform/SafeFile.h"

namespace cli {

namespace {

// A CSV, or an earlier report, larger than this is refused unread: far more
// than any employer list, and reading stays bounded.
constexpr qint64 kMaxInputBytes = 64LL * 1024 * 1024;
// How long a second batch into the same folder waits for the first.
constexpr int kFolderLockWaitMs = 3000;
constexpr char kFolderLockName[] = ".talonario-lote.lock";

QString Shown(const QString& name) {
    return platform::Printable(QDir::toNativeSeparators(name));
}

bool SameFile(const struct stat& a, dev_t device, ino_t inode) {
    return inode != 0 && a.st_dev == device && a.st_ino == inode;
}

// The reports earlier runs left in the folder: resultado.csv and the ones
// kept beside it.
void ReadEarlierRecords(const platform::Folder& folder, batch::EarlierRecords& earlier) {
    const int listing = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listing < 0 ? nullptr : ::fdopendir(listing);
    if (entries == nullptr) {
        if (listing >= 0) {
            ::close(listing);
        }
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (name != batch::kReportName &&
            !(name.startsWith("resultado ") && name.endsWith(".csv"))) {
            continue;
        }
        QString why;
        struct stat info {};
        const int fd = platform::OpenInput(folder.fd(), name, kMaxInputBytes, why, info);
        if (fd < 0) {
            continue;
        }
        QFile file;
        if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            earlier.Add(file.readAll());
        } else {
            ::close(fd);
        }
    }
    ::closedir(entries);
}

// The journal of a run killed outright is all the record it left: kept as
// an earlier report, so its vouchers are neither lost nor made twice.
void KeepJournalOfKilledRun(const platform::Folder& folder) {
    struct stat journal {};
    if (::fstatat(folder.fd(), batch::kJournalName, &journal, AT_SYMLINK_NOFOLLOW) != 0) {
        return;
    }
    if (!S_ISREG(journal.st_mode)) {
        ::unlinkat(folder.fd(), batch::kJournalName, 0);
        return;
    }
    const QString stamp = QDateTime::fromSecsSinceEpoch(journal.st_mtim.tv_sec)
                              .toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    for (int attempt = 1;; ++attempt) {
        bool taken = false;
        const QString kept = batch::NumberedName(
            batch::KeptReportName(stamp + QStringLiteral(" interrumpido")), attempt);
        if (!platform::MoveToNewName(folder, batch::kJournalName, platform::EncodeName(kept),
                                     &taken)
                 .isEmpty() ||
            !taken) {
            return;
        }
    }
}

// The CSV read through once, before anything is written: a file that cannot
// be read whole refuses the batch, naming the row, and its rows are counted.
bool CheckCsv(QFile& file, const QString& csvName, QStringList& columns, int& rows,
              QTextStream& err) {
    batch::CsvReader reader(file);
    QStringList header;
    if (!reader.ReadHeader(header)) {
        Error(err, Shown(csvName) + QStringLiteral(": ") + reader.error());
        return false;
    }
    const batch::Columns read = batch::ReadColumns(header, VoucherOptionNames());
    if (!read.error.isEmpty()) {
        Error(err, Shown(csvName) + QStringLiteral(": ") + read.error);
        return false;
    }
    columns = read.names;
    batch::CsvRow row;
    rows = 0;
    while (reader.Next(row)) {
        ++rows;
    }
    if (!reader.error().isEmpty()) {
        Error(err, Shown(csvName) + QStringLiteral(": ") + reader.error());
        return false;
    }
    return true;
}

}  // namespace

int RunBatchCommand(const CommandLine& line, QTextStream& err) {
    const QString csvName = line.value(QStringLiteral("lote"));
    const QString folderName = line.value(QStringLiteral("carpeta"));
    const QString onePdfName = line.value(QStringLiteral("un-pdf"));
    BatchSettings settings;
    settings.folderName = folderName;
    settings.onePdfName = onePdfName;
    settings.strict = line.isSet(QString::fromUtf8(kStrictOption));
    settings.print = line.isSet(QString::fromUtf8(kPrintOption));
    settings.printer = line.value(QString::fromUtf8(kPrinterOption));
    settings.workers = QThread::idealThreadCount();
    if (line.isSet(QStringLiteral("trabajos"))) {
        bool ok = false;
        settings.workers = line.value(QStringLiteral("trabajos")).toInt(&ok);
        if (!ok || settings.workers < 1 || settings.workers > 64) {
            Error(err, QStringLiteral("--trabajos: un número de 1 a 64"));
            return kRefused;
        }
    }

    Recorder recorder(RecordDestination(line), err);
    settings.recorder = &recorder;
    if (line.isSet(QStringLiteral("completar"))) {
        const QString destination = RecordDestination(line);
        if (destination.isEmpty()) {
            Error(err, QStringLiteral("--completar toma los datos del padrón del historial: no va "
                                      "con --sin-historial ni con TALONARIO_BASE=ninguna"));
            return kRefused;
        }
        try {
            for (const history::Employer& employer : history::OpenStore(destination)->Employers()) {
                settings.employers.insert(employer.cuit, employer);
            }
        } catch (const history::StoreFailure& failure) {
            Error(err, QStringLiteral("--completar: no se puede leer el padrón: ") +
                           QString::fromUtf8(failure.what()));
            return kNoRecord;
        }
    }

    QString why;
    struct stat csvInfo {};
    const int csvFd =
        platform::OpenInput(AT_FDCWD, platform::EncodeName(csvName), kMaxInputBytes, why, csvInfo);
    if (csvFd < 0) {
        Error(err, QStringLiteral("No se puede leer %1: %2").arg(Shown(csvName), why));
        return kRefused;
    }
    QFile csv;
    if (!csv.open(csvFd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(csvFd);
        Error(err, QStringLiteral("No se puede leer %1").arg(Shown(csvName)));
        return kRefused;
    }
    if (!CheckCsv(csv, csvName, settings.columns, settings.rows, err)) {
        return kRefused;
    }

    platform::Folder folder;
    if (why = folder.Open(platform::EncodeName(folderName), true); !why.isEmpty()) {
        Error(err, QStringLiteral("No se puede escribir en la carpeta %1: %2")
                       .arg(Shown(folderName), why));
        return kUnwritable;
    }
    platform::FileLock lock(kFolderLockName, folder.fd());
    if (!lock.TryLock(kFolderLockWaitMs)) {
        Error(err,
              QStringLiteral("Otra corrida de --lote está escribiendo en la carpeta %1; espere a "
                             "que termine o elija otra carpeta")
                  .arg(Shown(folderName)));
        return kUnwritable;
    }
    platform::RemoveLeftovers(folder);
    RemoveStaleWorkerFolders();
    {
        platform::SafeFile probe;
        if (why = probe.OpenTemporary(folder); !why.isEmpty()) {
            Error(err, QStringLiteral("No se puede escribir en la carpeta %1: %2")
                           .arg(Shown(folderName), why));
            return kUnwritable;
        }
    }

    // The report's name must hold a plain file or nothing: a link or a pipe
    // planted there is neither followed nor waited on.
    struct stat report {};
    const bool reportThere =
        ::fstatat(folder.fd(), batch::kReportName, &report, AT_SYMLINK_NOFOLLOW) == 0;
    if (reportThere && !S_ISREG(report.st_mode)) {
        Error(err,
              QStringLiteral("No se puede escribir %1: no es un archivo común; quítelo o elija "
                             "otra carpeta")
                  .arg(Shown(QDir(folderName).filePath(QString::fromUtf8(batch::kReportName)))));
        return kUnwritable;
    }
    if (reportThere && report.st_dev == csvInfo.st_dev && report.st_ino == csvInfo.st_ino) {
        Error(err, QStringLiteral("--lote: el CSV no puede ser el informe %1 de la carpeta, que la "
                                  "corrida reemplaza; cópielo con otro nombre")
                       .arg(QString::fromUtf8(batch::kReportName)));
        return kRefused;
    }

    std::unique_ptr<OnePdf> onePdf;
    if (!onePdfName.isEmpty()) {
        // An output that is also an input would be destroyed by the run.
        const QByteArray name = platform::EncodeName(onePdfName);
        struct stat target {};
        const bool exists = ::stat(name.constData(), &target) == 0;
        const qsizetype slash = name.lastIndexOf('/');
        struct stat parent {};
        struct stat held {};
        const bool intoReport =
            name.mid(slash + 1) == batch::kReportName &&
            ::stat(slash < 0 ? "." : name.left(std::max<qsizetype>(slash, 1)).constData(),
                   &parent) == 0 &&
            ::fstat(folder.fd(), &held) == 0 && SameFile(parent, held.st_dev, held.st_ino);
        if ((exists && SameFile(target, csvInfo.st_dev, csvInfo.st_ino)) || intoReport ||
            (exists && reportThere && SameFile(target, report.st_dev, report.st_ino))) {
            Error(err,
                  QStringLiteral("--un-pdf: %1 es el CSV o el informe de la corrida; elija otro "
                                 "nombre")
                      .arg(Shown(onePdfName)));
            return kRefused;
        }
        onePdf = std::make_unique<OnePdf>();
        if (why = onePdf->Open(name); !why.isEmpty()) {
            Error(err, QStringLiteral("No se puede escribir %1: %2").arg(Shown(onePdfName), why));
            return kUnwritable;
        }
    }

    KeepJournalOfKilledRun(folder);
    batch::EarlierRecords earlier;
    if (!onePdf) {
        ReadEarlierRecords(folder, earlier);
    }
    csv.seek(0);
    batch::CsvReader reader(csv);
    QStringList header;
    reader.ReadHeader(header);
    settings.separator = reader.separator();
    BatchRun run(err, folder, reader, std::move(settings), onePdf.get(), earlier);
    const int status = run.Run();
    platform::RemoveLeftovers(folder);
    return status;
}

}  // namespace cli

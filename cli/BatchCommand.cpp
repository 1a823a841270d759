#include "cli/BatchCommand.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "app/VoucherWindow.h"
#include "assets/Assets.h"
#include "batch/CsvRows.h"
#include "batch/FileNames.h"
#include "batch/Progress.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/OnePdf.h"
#include "cli/VoucherFill.h"
#include "cli/VoucherOptions.h"
#include "platform/Files.h"
#include "platform/QtPlatform.h"

namespace cli {

namespace {

constexpr int kBadCommand = kRefused;

// A row's state in resultado.csv.
const QString kWritten = QStringLiteral("escrito");
const QString kRowRefused = QStringLiteral("rechazado");
const QString kRowFailed = QStringLiteral("error");
const QString kNotDone = QStringLiteral("no hecho");

// ---------------------------------------------------------------- worker side

// A worker's desktop: messages are collected for the answer (the one
// question is answered yes, as on the command line), the temporary bitmap
// goes to a folder of this process alone so that workers never share it,
// and in one-PDF runs the pages are kept instead of written.
class WorkerPlatform : public platform::QtPlatform {
  public:
    explicit WorkerPlatform(const QString& folder) : folder_(folder) {}

    void Start(bool keepPages) {
        keepPages_ = keepPages;
        messages_.clear();
        pages_.clear();
    }
    const QStringList& messages() const { return messages_; }
    const std::vector<platform::Page>& pages() const { return pages_; }

    platform::Answer ShowMessage(QWidget*, const platform::Message& message) override {
        if (message.buttons == platform::Buttons::YesNo) {
            return platform::Answer::Yes;
        }
        messages_ << message.text;
        return platform::Answer::Ok;
    }
    void WritePdf(const std::vector<platform::Page>& pages, const QString& path) override {
        if (keepPages_) {
            pages_ = pages;
        } else {
            QtPlatform::WritePdf(pages, path);
        }
    }
    QString ProgramFolder() override { return folder_; }
    QString TemporaryFolder() override { return folder_; }

  private:
    QString folder_;
    bool keepPages_ = false;
    QStringList messages_;
    std::vector<platform::Page> pages_;
};

QJsonObject MakeVoucher(WorkerPlatform& platform, const QJsonObject& job) {
    const QString path = job.value(QStringLiteral("path")).toString();
    platform.Start(path.isEmpty());
    VoucherValues input;
    const QJsonObject given = job.value(QStringLiteral("values")).toObject();
    for (auto it = given.begin(); it != given.end(); ++it) {
        input.values.insert(it.key(), it.value().toString());
    }
    input.cash = job.value(QStringLiteral("cash")).toBool();
    input.strict = job.value(QStringLiteral("strict")).toBool();
    const VoucherOutcome outcome = WriteVoucher(input, path, platform);
    QJsonObject answer{{QStringLiteral("row"), job.value(QStringLiteral("row"))}};
    const QString message = (platform.messages() + outcome.messages).join(QLatin1Char(' '));
    if (outcome.status != kDone) {
        answer.insert(QStringLiteral("status"),
                      outcome.status == kRefused ? kRowRefused : kRowFailed);
        answer.insert(QStringLiteral("message"), message);
        return answer;
    }
    answer.insert(QStringLiteral("status"), kWritten);
    answer.insert(QStringLiteral("message"), message);  // the remarks, if any
    answer.insert(QStringLiteral("code"), outcome.code.trimmed());
    answer.insert(QStringLiteral("name"), outcome.proposedName);
    if (path.isEmpty()) {
        QJsonArray pages;
        for (const platform::Page& page : platform.pages()) {
            const QByteArray data(page.picture.data(), page.picture.size());
            pages.append(
                QJsonObject{{QStringLiteral("width"), page.pixels.width()},
                            {QStringLiteral("height"), page.pixels.height()},
                            {QStringLiteral("picture"), QString::fromLatin1(data.toBase64())}});
        }
        answer.insert(QStringLiteral("pages"), pages);
    }
    return answer;
}

// ---------------------------------------------------------------- batch side

volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void OnInterrupt(int) {
    interruptRequested = 1;
}

struct Row {
    int number = 0;
    VoucherValues input;
    QString status;  // empty while not finished
    QString file;
    QString code;
    QString message;
    QString proposedName;
    std::vector<platform::Page> pages;  // one-PDF runs, until painted
};

bool IsYes(const QString& value) {
    static const QStringList yes{"si", "sí", "s", "x", "1", "true", "verdadero"};
    return yes.contains(value.trimmed().toLower());
}

bool IsNo(const QString& value) {
    static const QStringList no{"", "no", "n", "0", "false", "falso"};
    return no.contains(value.trimmed().toLower());
}

int TerminalWidth() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

class Batch : public QObject {
  public:
    Batch(QTextStream& err, const QString& folder, std::vector<Row> rows, int workers,
          const QString& onePdf, char separator)
        : err_(err),
          folder_(folder),
          rows_(std::move(rows)),
          workerCount_(workers),
          onePdfPath_(onePdf),
          separator_(separator),
          terminal_(::isatty(STDERR_FILENO) != 0) {}

    int Run() {
        if (!onePdfPath_.isEmpty() && !onePdf_.Open(onePdfPath_)) {
            err_ << "No se puede escribir " << QDir::toNativeSeparators(onePdfPath_) << Qt::endl;
            return kUnwritable;
        }
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].status.isEmpty()) {
                queue_.push_back(i);
            } else {
                ++done_;
            }
        }
        SettleInOrder();
        clock_.start();
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        struct sigaction previous {};
        ::sigaction(SIGINT, &action, &previous);

        const int count = std::min<int>(workerCount_, static_cast<int>(queue_.size()));
        for (int i = 0; i < count; ++i) {
            StartWorker();
        }
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, this, [this] {
            if (interruptRequested != 0 && !interrupted_) {
                Interrupt();
            }
            DrawProgress(false);
        });
        tick.start(100);
        if (running_ > 0) {
            loop_.exec();
        }
        tick.stop();
        ::sigaction(SIGINT, &previous, nullptr);
        return Finish();
    }

  private:
    struct Worker {
        QProcess* process = nullptr;
        std::optional<std::size_t> row;
        QByteArray buffer;
    };

    void StartWorker() {
        auto worker = std::make_shared<Worker>();
        worker->process = new QProcess(this);
        QProcess* process = worker->process;
        // Their stderr would tear the progress line; everything they have to
        // say comes back in their answers.
        process->setStandardErrorFile(QProcess::nullDevice());
        connect(process, &QProcess::readyReadStandardOutput, this, [this, worker] {
            worker->buffer += worker->process->readAllStandardOutput();
            qsizetype end = 0;
            while ((end = worker->buffer.indexOf('\n')) >= 0) {
                const QByteArray line = worker->buffer.left(end);
                worker->buffer.remove(0, end + 1);
                Answered(*worker, QJsonDocument::fromJson(line).object());
            }
        });
        connect(process, &QProcess::finished, this, [this, worker] { WorkerEnded(*worker); });
        // A worker that never started sends no finished() of its own.
        connect(process, &QProcess::errorOccurred, this,
                [this, worker](QProcess::ProcessError error) {
                    if (error == QProcess::FailedToStart) {
                        WorkerEnded(*worker);
                    }
                });
        ++running_;
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--") + QString::fromUtf8(kBatchWorkerOption)});
        Dispatch(*worker);
    }

    void WorkerEnded(Worker& worker) {
        if (worker.row) {
            Row& row = rows_[*worker.row];
            worker.row.reset();
            Answer(row, kRowFailed,
                   QStringLiteral("El proceso de trabajo terminó de forma inesperada"));
            if (!queue_.empty() && !interrupted_ && restarts_++ < workerCount_ * 2) {
                StartWorker();
            }
        }
        if (--running_ == 0) {
            loop_.quit();
        }
    }

    QString TemporaryPath(const Row& row) const {
        return QDir(folder_).filePath(QStringLiteral(".talonario-%1-%2.part")
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(row.number));
    }

    void Dispatch(Worker& worker) {
        if (queue_.empty() || interrupted_) {
            worker.process->closeWriteChannel();  // a worker ends at the end of its input
            return;
        }
        const std::size_t index = queue_.front();
        queue_.pop_front();
        worker.row = index;
        const Row& row = rows_[index];
        QJsonObject values;
        for (auto it = row.input.values.begin(); it != row.input.values.end(); ++it) {
            values.insert(it.key(), it.value());
        }
        const QJsonObject job{
            {QStringLiteral("row"), row.number},
            {QStringLiteral("values"), values},
            {QStringLiteral("cash"), row.input.cash},
            {QStringLiteral("strict"), row.input.strict},
            {QStringLiteral("path"), onePdfPath_.isEmpty() ? TemporaryPath(row) : QString()}};
        worker.process->write(QJsonDocument(job).toJson(QJsonDocument::Compact) + '\n');
    }

    void Answered(Worker& worker, const QJsonObject& answer) {
        if (!worker.row) {
            return;
        }
        Row& row = rows_[*worker.row];
        worker.row.reset();
        const QString status = answer.value(QStringLiteral("status")).toString();
        row.code = answer.value(QStringLiteral("code")).toString();
        row.proposedName = answer.value(QStringLiteral("name")).toString();
        for (const QJsonValue& value : answer.value(QStringLiteral("pages")).toArray()) {
            const QJsonObject page = value.toObject();
            platform::Page recorded{QPicture(),
                                    QSize(page.value(QStringLiteral("width")).toInt(),
                                          page.value(QStringLiteral("height")).toInt()),
                                    voucherPicture_};
            const QByteArray data =
                QByteArray::fromBase64(page.value(QStringLiteral("picture")).toString().toLatin1());
            recorded.picture.setData(data.constData(), static_cast<uint>(data.size()));
            row.pages.push_back(recorded);
        }
        Answer(row, status.isEmpty() ? kRowFailed : status,
               answer.value(QStringLiteral("message")).toString());
        Dispatch(worker);
    }

    void Answer(Row& row, const QString& status, const QString& message) {
        row.status = status;
        row.message = message;
        ++done_;
        SettleInOrder();
    }

    // Rows are settled in row order, whatever order the workers finish in:
    // a name taken twice gets its number in row order, and the one PDF has
    // its vouchers in row order.
    void SettleInOrder() {
        while (nextToSettle_ < rows_.size() && !rows_[nextToSettle_].status.isEmpty()) {
            Row& row = rows_[nextToSettle_++];
            if (row.status == kWritten && onePdfPath_.isEmpty()) {
                ClaimFile(row);
            } else if (row.status == kWritten) {
                onePdf_.Add(row.pages);
                row.file = QFileInfo(onePdfPath_).fileName();
                const QString pages = QStringLiteral("páginas %1 a %2")
                                          .arg(pagesPainted_ + 1)
                                          .arg(pagesPainted_ + static_cast<int>(row.pages.size()));
                row.message =
                    row.message.isEmpty() ? pages : pages + QStringLiteral("; ") + row.message;
                pagesPainted_ += static_cast<int>(row.pages.size());
                row.pages.clear();
            }
            Report(row);
        }
    }

    void ClaimFile(Row& row) {
        const QString name = batch::ClaimName(TemporaryPath(row), folder_, row.proposedName);
        if (name.isEmpty()) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            ::unlink(platform::EncodeName(TemporaryPath(row)).constData());
            row.status = kRowFailed;
            row.message = QStringLiteral("No se puede escribir en %1: %2")
                              .arg(QDir::toNativeSeparators(folder_), reason);
        } else {
            row.file = name;
        }
    }

    void Interrupt() {
        interrupted_ = true;
        queue_.clear();
        ClearProgress();
        err_ << "Interrumpido: se terminan las filas en curso y no se empiezan más." << Qt::endl;
    }

    // A line for each row settled; on a terminal only the ones with
    // something to say, above the progress bar.
    void Report(const Row& row) {
        QString line = QStringLiteral("fila %1: %2").arg(row.number).arg(row.status);
        if (!row.file.isEmpty() && onePdfPath_.isEmpty()) {
            line += QStringLiteral(" ") + row.file;
        }
        if (!row.message.isEmpty()) {
            line += QStringLiteral(": ") + QString(row.message).replace(u'\n', u' ');
        }
        if (terminal_) {
            if (row.status == kWritten) {
                return;
            }
            ClearProgress();
        }
        err_ << line << Qt::endl;
        DrawProgress(true);
    }

    void ClearProgress() {
        if (terminal_ && progressShown_) {
            err_ << "\r\x1b[K";
            err_.flush();
            progressShown_ = false;
        }
    }

    void DrawProgress(bool force) {
        if (!terminal_ || (!force && !progressShown_ && done_ == 0)) {
            return;
        }
        err_ << '\r'
             << batch::ProgressBar(done_, static_cast<int>(rows_.size()),
                                   clock_.isValid() ? clock_.elapsed() / 1000.0 : 0.0,
                                   TerminalWidth() - 1)
             << "\x1b[K";
        err_.flush();
        progressShown_ = true;
    }

    int Finish() {
        ClearProgress();
        bool oneWritten = true;
        if (!onePdfPath_.isEmpty()) {
            if (interrupted_) {
                onePdf_.Discard();
            } else {
                oneWritten = onePdf_.Close();
            }
        }
        // Worker leftovers of an unexpected end: nothing half written stays.
        // Names as bytes, as the workers wrote them.
        const std::string prefix =
            QStringLiteral(".talonario-%1-").arg(QCoreApplication::applicationPid()).toStdString();
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(
                 platform::EncodeName(folder_).toStdString(), ignored)) {
            if (entry.path().filename().string().starts_with(prefix)) {
                std::filesystem::remove(entry.path(), ignored);
            }
        }
        const QDir folder(folder_);

        // Answered after a row that never was: their files are gone with
        // the leftovers above.
        for (std::size_t i = nextToSettle_; i < rows_.size(); ++i) {
            rows_[i].status.clear();
        }
        int written = 0;
        int refused = 0;
        int failed = 0;
        for (Row& row : rows_) {
            if (!onePdfPath_.isEmpty() && row.status == kWritten && (interrupted_ || !oneWritten)) {
                row.status = interrupted_ ? kNotDone : kRowFailed;
                row.file.clear();
                row.message = interrupted_
                                  ? QStringLiteral("interrumpido antes de terminar el PDF")
                                  : QStringLiteral("No se pudo escribir %1").arg(onePdfPath_);
            }
            if (row.status.isEmpty()) {
                row.status = kNotDone;
                row.message = interrupted_
                                  ? QStringLiteral("interrumpido")
                                  : QStringLiteral("ningún proceso de trabajo pudo hacerla");
            }
            written += row.status == kWritten ? 1 : 0;
            refused += row.status == kRowRefused ? 1 : 0;
            failed += row.status == kRowFailed ? 1 : 0;
        }
        const bool reportWritten = WriteResults();
        err_ << QStringLiteral(
                    "%1 escritos, %2 rechazados, %3 con error, %4 sin hacer; detalle en %5")
                    .arg(written)
                    .arg(refused)
                    .arg(failed)
                    .arg(static_cast<int>(rows_.size()) - written - refused - failed)
                    .arg(QDir::toNativeSeparators(folder.filePath(QStringLiteral("resultado.csv"))))
             << Qt::endl;
        if (interrupted_) {
            return kInterrupted;
        }
        if (failed > 0 || !reportWritten) {
            return kUnwritable;
        }
        return refused > 0 ? kSomeRefused : kDone;
    }

    bool WriteResults() {
        const QString path = QDir(folder_).filePath(QStringLiteral("resultado.csv"));
        // With a BOM, so that spreadsheets read the accents as UTF-8.
        QByteArray text("\xEF\xBB\xBF");
        text += batch::CsvLine({QStringLiteral("fila"), QStringLiteral("archivo"),
                                QStringLiteral("codigo_pago"), QStringLiteral("estado"),
                                QStringLiteral("mensaje")},
                               separator_) +
                "\r\n";
        for (const Row& row : rows_) {
            text += batch::CsvLine(
                        {QString::number(row.number), row.file, row.code, row.status, row.message},
                        separator_) +
                    "\r\n";
        }
        if (const QString why = platform::WriteFileSafely(platform::EncodeName(path), text);
            !why.isEmpty()) {
            err_ << why << Qt::endl;
            return false;
        }
        return true;
    }

    QTextStream& err_;
    QString folder_;
    // Under every page the workers send back; they send only what lies on it.
    const QImage voucherPicture_ = assets::ResourcePicture(":/assets/voucher.bmp");
    std::vector<Row> rows_;
    int workerCount_;
    QString onePdfPath_;
    char separator_;
    bool terminal_;
    std::deque<std::size_t> queue_;
    int running_ = 0;
    int restarts_ = 0;
    int done_ = 0;
    bool interrupted_ = false;
    bool progressShown_ = false;
    std::size_t nextToSettle_ = 0;
    int pagesPainted_ = 0;
    OnePdf onePdf_;
    QElapsedTimer clock_;
    QEventLoop loop_;
};

// Makes the folder if need be and tries a file in it; names as bytes, as
// platform::EncodeName gives them, so that any folder the user names works.
bool FolderWritable(const QString& folder) {
    const QByteArray name = platform::EncodeName(folder);
    std::error_code error;
    std::filesystem::create_directories(name.toStdString(), error);
    const QByteArray probe =
        name + "/.talonario-" + QByteArray::number(QCoreApplication::applicationPid()) + "-prueba";
    const int descriptor = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (descriptor < 0) {
        return false;
    }
    ::close(descriptor);
    ::unlink(probe.constData());
    return true;
}

}  // namespace

int RunBatchWorker() {
    // Ctrl+C reaches the whole process group; the batch decides what stops.
    std::signal(SIGINT, SIG_IGN);
    QTemporaryDir privateFolder;
    if (!privateFolder.isValid()) {
        return kUnwritable;
    }
    WorkerPlatform platform(privateFolder.path());
    QFile input;
    QFile output;
    if (!input.open(stdin, QIODevice::ReadOnly) || !output.open(stdout, QIODevice::WriteOnly)) {
        return kBadCommand;
    }
    for (QByteArray line = input.readLine(); !line.isEmpty(); line = input.readLine()) {
        const QJsonObject answer = MakeVoucher(platform, QJsonDocument::fromJson(line).object());
        output.write(QJsonDocument(answer).toJson(QJsonDocument::Compact) + '\n');
        output.flush();
    }
    return kDone;
}

int RunBatchCommand(const CommandLine& line, QTextStream& err) {
    const QString csvPath = line.value(QStringLiteral("lote"));
    const QString folder = line.value(QStringLiteral("carpeta"));
    int workers = QThread::idealThreadCount();
    if (line.isSet(QStringLiteral("trabajos"))) {
        bool ok = false;
        workers = line.value(QStringLiteral("trabajos")).toInt(&ok);
        if (!ok || workers < 1 || workers > 64) {
            err << "--trabajos: un número de 1 a 64" << Qt::endl;
            return kBadCommand;
        }
    }

    QFile csvFile(csvPath);
    if (!csvFile.open(QIODevice::ReadOnly)) {
        err << "No se puede leer " << QDir::toNativeSeparators(csvPath) << ": "
            << csvFile.errorString() << Qt::endl;
        return kBadCommand;
    }
    const batch::CsvTable table = batch::ReadCsv(csvFile.readAll());
    if (!table.error.isEmpty()) {
        err << QDir::toNativeSeparators(csvPath) << ": " << table.error << Qt::endl;
        return kBadCommand;
    }
    const QStringList known = VoucherOptionNames();
    QStringList columns;
    for (const QString& title : table.header) {
        const QString name = title.trimmed().toLower();
        if (!known.contains(name)) {
            err << QDir::toNativeSeparators(csvPath) << ": columna desconocida «" << title
                << "»; las columnas posibles son: " << known.join(QStringLiteral(", ")) << Qt::endl;
            return kBadCommand;
        }
        if (columns.contains(name)) {
            err << QDir::toNativeSeparators(csvPath) << ": la columna «" << name
                << "» está dos veces" << Qt::endl;
            return kBadCommand;
        }
        columns << name;
    }

    if (!FolderWritable(folder)) {
        err << "No se puede escribir en la carpeta " << QDir::toNativeSeparators(folder)
            << Qt::endl;
        return kUnwritable;
    }

    std::vector<Row> rows;
    rows.reserve(table.rows.size());
    for (const batch::CsvRow& record : table.rows) {
        Row row;
        row.number = record.number;
        row.input.strict = line.isSet(QString::fromUtf8(kStrictOption));
        if (record.fields.size() > columns.size()) {
            row.status = kRowRefused;
            row.message = QStringLiteral("la fila tiene %1 campos y el encabezado %2")
                              .arg(record.fields.size())
                              .arg(columns.size());
        }
        for (qsizetype i = 0; i < record.fields.size() && i < columns.size(); ++i) {
            const QString& value = record.fields[i];
            if (columns[i] != QString::fromUtf8(kCashOption)) {
                row.input.values.insert(columns[i], value);
            } else if (IsYes(value)) {
                row.input.cash = true;
            } else if (!IsNo(value) && row.status.isEmpty()) {
                row.status = kRowRefused;
                row.message = QStringLiteral("efectivo: «%1» no es sí ni no").arg(value);
            }
        }
        rows.push_back(std::move(row));
    }
    Batch batchRun(err, folder, std::move(rows), workers, line.value(QStringLiteral("un-pdf")),
                   table.separator);
    return batchRun.Run();
}

}  // namespace cli

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "CupsSpool.h"
#include "VoucherFixture.h"
#include "app/VoucherWindow.h"
#include "platform/QtPlatform.h"

using platform::Answer;
using platform::Buttons;
using platform::Message;

namespace {

// The real desktop with the person scripted: questions answered Yes,
// messages recorded; the preview either Qt's own, driven by the test, or a
// choice given outright.
class CupsPlatform : public platform::QtPlatform {
  public:
    std::vector<Message> messages;
    std::optional<platform::PrintChoice> scriptedChoice;  // none: Qt's dialog
    QTemporaryDir programDir;
    QTemporaryDir temporaryDir;

    Answer ShowMessage(QWidget*, const Message& message) override {
        messages.push_back(message);
        return message.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    std::optional<platform::PrintChoice> ChoosePrint(
        QWidget* parent, const std::vector<platform::Page>& pages) override {
        if (scriptedChoice) {
            return scriptedChoice;
        }
        return QtPlatform::ChoosePrint(parent, pages);
    }
    QString ProgramFolder() override { return programDir.path(); }
    QString TemporaryFolder() override { return temporaryDir.path(); }
};

// Calls `step` with the modal dialog on top every 50 ms until it says it is
// done; after 20 s whatever is on top is closed, so a test never hangs.
void WhenModal(const std::function<bool(QWidget*)>& step) {
    auto* timer = new QTimer(qApp);
    auto* waited = new QElapsedTimer;
    waited->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, waited, step] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool done = modal != nullptr && step(modal);
        if (done || waited->elapsed() > 20000) {
            if (!done && modal != nullptr) {
                qWarning() << "gave up on" << modal;
                static_cast<QDialog*>(modal)->reject();
            }
            timer->stop();
            timer->deleteLater();
            delete waited;
        }
    });
    timer->start(50);
}

QString Told(const std::vector<Message>& messages) {
    QStringList lines;
    for (const Message& message : messages) {
        lines << message.title + QStringLiteral(": ") + message.text;
    }
    return lines.join(QLatin1Char('\n'));
}

const QStringList kJobNames{
    QStringLiteral("Talonario 20-12345678-9 05/2026 copia 1 (banco)"),
    QStringLiteral("Talonario 20-12345678-9 05/2026 copia 2 (depositante)")};

}  // namespace

// Ctrl+P's preview and printing through the private CUPS server of
// with-cups.sh: the jobs it sends, the queue chosen in Qt's own print dialog.
class TestCupsPreview : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void previewPrintsTheJobsImprimirPrints();
    void queueChosenInQtsDialogReceivesThem();
    void stoppedQueueIsTold();

  private:
    std::unique_ptr<CupsPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
};

void TestCupsPreview::initTestCase() {
    QVERIFY2(!spool::First().name.isEmpty() && !spool::Second().out.isEmpty(),
             "run through tests/cups/with-cups.sh");
    QCOMPARE(QPrinterInfo::defaultPrinterName(), spool::First().name);
    QVERIFY(QPrinterInfo::availablePrinterNames().contains(spool::Second().name));
}

void TestCupsPreview::init() {
    platform = std::make_unique<CupsPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    FillValidVoucher(*window);
}

void TestCupsPreview::cleanup() {
    window.reset();
    platform.reset();
}

void TestCupsPreview::previewPrintsTheJobsImprimirPrints() {
    const qsizetype before = spool::Settled(spool::First()).size();
    window->PrintRun();
    const QStringList imprimir = spool::Settled(spool::First(), before + 2).mid(before);
    platform->scriptedChoice = platform::PrintChoice{};  // the default printer, as it comes
    window->PreviewRun();
    QVERIFY2(platform->messages.size() == 1, qPrintable(Told(platform->messages)));
    const QStringList all = spool::Settled(spool::First(), before + 4);
    QVERIFY2(all.size() == before + 4, qPrintable(all.join('\n')));
    const QStringList preview = all.mid(before + 2);
    QCOMPARE(spool::Titles(imprimir), kJobNames);
    QCOMPARE(spool::Titles(preview), kJobNames);
    QTemporaryDir scratch;
    for (qsizetype i = 0; i < 2; ++i) {
        const QImage sheet = spool::Scan(preview[i], scratch);
        QVERIFY(!sheet.isNull());
        QVERIFY2(sheet == spool::Scan(imprimir[i], scratch), qPrintable(preview[i]));
    }
    // CUPS's numbers for the jobs, for whoever keeps a record of them.
    QCOMPARE(window->printedJobs().size(), std::size_t(2));
    for (qsizetype i = 0; i < 2; ++i) {
        const platform::PrintedJob& job = window->printedJobs()[std::size_t(i)];
        QCOMPARE(job.printer, spool::First().name);
        QCOMPARE(job.id, spool::JobNumber(preview[i]));
    }
}

void TestCupsPreview::queueChosenInQtsDialogReceivesThem() {
    const qsizetype firstBefore = spool::Settled(spool::First()).size();
    const QString second = spool::Second().name;
    int previewPages = -1;
    bool chosen = false;
    WhenModal([&](QWidget* modal) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
        if (preview == nullptr) {
            return false;
        }
        if (auto* pages = preview->findChild<QPrintPreviewWidget*>()) {
            previewPages = pages->pageCount();
        }
        QAction* print = nullptr;
        const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (QAction* action : preview->findChildren<QAction*>()) {
            if (action->text() == printText) {
                print = action;
            }
        }
        if (print == nullptr) {
            return false;
        }
        // The print dialog opens inside the action, in a loop of its own.
        WhenModal([&](QWidget* top) {
            auto* dialog = qobject_cast<QPrintDialog*>(top);
            auto* printers =
                dialog ? dialog->findChild<QComboBox*>(QStringLiteral("printers")) : nullptr;
            if (printers == nullptr) {
                return false;
            }
            const int index = printers->findText(second);
            chosen = index >= 0;
            if (chosen) {
                printers->setCurrentIndex(index);
                dialog->accept();
            } else {
                dialog->reject();
            }
            return true;
        });
        print->trigger();
        return true;
    });
    window->PreviewRun();
    QCOMPARE(previewPages, 2);
    QVERIFY(chosen);
    QVERIFY2(platform->messages.empty(), qPrintable(Told(platform->messages)));
    QCOMPARE(spool::Titles(spool::Settled(spool::Second(), 2)), kJobNames);
    QCOMPARE(spool::Settled(spool::First()).size(), firstBefore);
    QCOMPARE(window->printedJobs().size(), std::size_t(2));
    QCOMPARE(window->printedJobs()[0].printer, second);
}

void TestCupsPreview::stoppedQueueIsTold() {
    const spool::Queue second = spool::Second();
    const qsizetype before = spool::Settled(second).size();
    QVERIFY(spool::Run(QStringLiteral("cupsdisable"), {second.name}));
    platform::PrintChoice choice;
    choice.printerName = second.name;
    platform->scriptedChoice = choice;
    window->PreviewRun();
    const bool started = spool::Run(QStringLiteral("cupsenable"), {second.name}).has_value();
    QVERIFY2(platform->messages.size() == 1, qPrintable(Told(platform->messages)));
    QCOMPARE(platform->messages[0].title, QStringLiteral("Imprimir!"));
    QCOMPARE(platform->messages[0].text,
             QStringLiteral("No se pudo imprimir:\nCopia 1: La impresora «%1» está detenida\n"
                            "Copia 2: La impresora «%1» está detenida")
                 .arg(second.name));
    QVERIFY(window->printedJobs().empty());
    QVERIFY(started);
    QCOMPARE(spool::Settled(second).size(), before);
}

QTEST_MAIN(TestCupsPreview)
#include "TestCupsPreview.moc"

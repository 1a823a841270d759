// SPDX-License-Identifier: GPL-3.0-or-later
// Two voucher windows and a batch recording into one SQLite file at the same
// time, as on a desktop where the program is open twice while an accountant's
// batch runs: every voucher is recorded once, none is lost to a lock, and no
// window is told its voucher was not recorded.
#include <QApplication>
#include <QSet>
#include <QtTest>
#include <memory>

#include "HistoryFixture.h"
#include "ScriptedPlatform.h"
#include "VoucherFixture.h"
#include "app/VoucherWindow.h"
#include "history/LazyStore.h"

namespace {

constexpr int kRowsInBatch = 30;
constexpr int kSavesPerWindow = 8;

struct RecordingWindow {
    explicit RecordingWindow(const QString& base) : store(base), window(platform) {
        window.setStore(&store);
        FillValidVoucher(window);
    }
    ScriptedPlatform platform;
    history::LazyStore store;
    app::VoucherWindow window;
};

}  // namespace

class TestWindowsShareRecord : public HistoryFixture {
    Q_OBJECT

  private slots:
    void twoWindowsAndABatchOnOneFile() {
        QVERIFY(folder_.isValid());
        const QString base = folder_.filePath(QStringLiteral("compartida.sqlite"));
        history::OpenStore(base);  // made before anyone races to make it

        QProcess batch;
        batch.setProcessEnvironment(Environment(folder_.filePath(QStringLiteral("home"))));
        batch.start(QStringLiteral(TALONARIO_BINARY),
                    {QStringLiteral("--lote"), BatchCsv(kRowsInBatch), QStringLiteral("--carpeta"),
                     folder_.filePath(QStringLiteral("lote")), QStringLiteral("--base"), base,
                     QStringLiteral("--trabajos"), QStringLiteral("2")});
        QVERIFY(batch.waitForStarted());

        RecordingWindow first(base);
        RecordingWindow second(base);
        QSet<QString> saved;
        for (int i = 0; i < kSavesPerWindow; ++i) {
            for (RecordingWindow* one : {&first, &second}) {
                const QString pdf =
                    folder_.filePath(QStringLiteral("ventana-%1.pdf").arg(saved.size()));
                one->platform.saveNames.push_back(pdf);
                one->window.SavePdfRun();
                saved << pdf;
            }
        }
        QVERIFY(batch.waitForFinished(300000));
        QVERIFY2(batch.exitCode() == 0, batch.readAllStandardError().constData());
        QVERIFY2(!batch.readAllStandardError().contains("historial"), "the batch was warned");
        for (const RecordingWindow* one : {&first, &second}) {
            QVERIFY2(
                !one->platform.messageTexts().join(u'\n').contains(QStringLiteral("historial")),
                qPrintable(one->platform.messageTexts().join(u'\n')));
        }

        QSet<qint64> ids;
        QSet<QString> windowFiles;
        int fromBatch = 0;
        for (const history::Voucher& voucher : Recorded(base)) {
            ids << voucher.id;
            if (voucher.how == QLatin1String(history::kFromWindow)) {
                windowFiles << voucher.destination;
            } else if (voucher.how == QLatin1String(history::kFromBatch)) {
                ++fromBatch;
            }
        }
        QCOMPARE(ids.size(), kRowsInBatch + 2 * kSavesPerWindow);
        QCOMPARE(fromBatch, kRowsInBatch);
        QCOMPARE(windowFiles, saved);
    }
};

QTEST_MAIN(TestWindowsShareRecord)
#include "TestWindowsShareRecord.moc"

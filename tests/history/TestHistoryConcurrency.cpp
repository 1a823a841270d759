// SPDX-License-Identifier: GPL-3.0-or-later
// Several programs recording at once into one SQLite file and into one
// PostgreSQL server, and the store failing in every way while the vouchers
// still leave.
#include <sys/stat.h>

#include <QSet>
#include <csignal>

#include "HistoryFixture.h"

class TestHistoryConcurrency : public HistoryFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { StartServerWhereInstalled(); }

    void concurrentRecorders_data() {
        QTest::addColumn<bool>("server");
        QTest::newRow("sqlite: four --pdf and a batch on one file") << false;
        QTest::newRow("postgresql: two machines' --pdf and a batch") << true;
    }
    void concurrentRecorders() {
        QFETCH(bool, server);
        if (server && !serverUp_) {
            QSKIP("PostgreSQL is not installed (/usr/lib/postgresql/15/bin/initdb): row skipped");
        }
        const QString base = server ? server_.NewDatabase(QStringLiteral("concurrent"))
                                    : Fresh(QStringLiteral("shared")) + QStringLiteral(".sqlite");
        std::vector<std::unique_ptr<QProcess>> running;
        QSet<QString> expected;
        for (int i = 0; i < 4; ++i) {
            auto process = std::make_unique<QProcess>();
            // Two "machines": separate homes, one server.
            process->setProcessEnvironment(
                Environment(folder_.filePath(QStringLiteral("machine%1").arg(i % 2))));
            process->start(QStringLiteral(TALONARIO_BINARY),
                           QStringList{QStringLiteral("--pdf"),
                                       Fresh(QStringLiteral("c")) + QStringLiteral(".pdf"),
                                       QStringLiteral("--base"), base} +
                               VoucherArguments(QStringLiteral("20123456786"), i + 1, 2026,
                                                QString::number(500 + i)));
            running.push_back(std::move(process));
        }
        auto batch = std::make_unique<QProcess>();
        batch->setProcessEnvironment(Environment(folder_.filePath(QStringLiteral("machine0"))));
        batch->start(QStringLiteral(TALONARIO_BINARY),
                     {QStringLiteral("--lote"), BatchCsv(6), QStringLiteral("--carpeta"),
                      Fresh(QStringLiteral("concurrent")), QStringLiteral("--trabajos"),
                      QStringLiteral("2"), QStringLiteral("--base"), base});
        running.push_back(std::move(batch));
        for (auto& process : running) {
            QVERIFY(process->waitForFinished(120000));
            const QByteArray err = process->readAllStandardError();
            QVERIFY2(process->exitCode() == 0, err.constData());
            QVERIFY2(!err.contains("historial"), err.constData());
        }
        const auto recorded = Recorded(base);
        QSet<QString> codes;
        for (const history::Voucher& voucher : recorded) {
            codes << voucher.paymentCode + voucher.period();
        }
        QCOMPARE(recorded.size(), std::size_t(10));
        QCOMPARE(codes.size(), 10);  // each once
    }

    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("locked by another program's long transaction")
            << QStringLiteral("locked") << QStringLiteral("está bloqueada por otro programa");
        QTest::newRow("read-only file")
            << QStringLiteral("read-only") << QStringLiteral("es de solo lectura");
        QTest::newRow("corrupt file, left as it was")
            << QStringLiteral("corrupt")
            << QStringLiteral("no es una base de Talonario o está dañado");
        QTest::newRow("full disk (a small tmpfs)")
            << QStringLiteral("full") << QStringLiteral("el disco está lleno");
    }
    // The voucher leaves, the exit status is the usual one, one warning line
    // says why it was not recorded, and what was recorded before stays.
    void faults() {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        const QString base = Fresh(QStringLiteral("fault")) + QStringLiteral(".sqlite");
        const QString pdf = Fresh(QStringLiteral("fault")) + QStringLiteral(".pdf");
        const QStringList voucher =
            VoucherArguments(QStringLiteral("20123456786"), 5, 2026, QStringLiteral("1000"));
        QProcess holder;
        ProgramResult result{};
        if (fault == QLatin1String("full")) {
            const QString mount = Fresh(QStringLiteral("tmpfs"));
            QVERIFY(QDir().mkpath(mount));
            QProcess probe;
            probe.start(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")});
            if (!probe.waitForFinished() || probe.exitCode() != 0) {
                QSKIP("no user namespace to mount a small tmpfs in without root");
            }
            QProcess run;
            run.setProcessEnvironment(Environment(folder_.filePath(QStringLiteral("home"))));
            run.start(
                QStringLiteral("unshare"),
                QStringList{QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                            QStringLiteral("mount -t tmpfs -o size=12k tmpfs \"$0\" && "
                                           "exec \"$@\""),
                            mount, QStringLiteral(TALONARIO_BINARY), QStringLiteral("--pdf"), pdf,
                            QStringLiteral("--base"), mount + QStringLiteral("/talonario.sqlite")} +
                    voucher);
            QVERIFY(run.waitForFinished(60000));
            result = {run.exitCode(), QString::fromUtf8(run.readAllStandardOutput()),
                      QString::fromUtf8(run.readAllStandardError())};
        } else {
            QCOMPARE(
                Pdf(base, voucher, Fresh(QStringLiteral("before")) + QStringLiteral(".pdf")).status,
                0);
            if (fault == QLatin1String("corrupt")) {
                QFile file(base);
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                file.write(QByteArray(8192, '\x5a'));
            } else if (fault == QLatin1String("read-only")) {
                QVERIFY(QFile::setPermissions(base, QFile::ReadOwner | QFile::ReadGroup));
            } else {
                holder.start(QStringLiteral("sqlite3"), {base});
                QVERIFY(holder.waitForStarted());
                holder.write(
                    "BEGIN IMMEDIATE;\nINSERT INTO settings VALUES ('x', 'y');\n"
                    ".print held\n");
                QVERIFY(holder.waitForReadyRead(10000));
            }
            const QByteArray before = Bytes(base);
            result = Pdf(base, voucher, pdf);
            if (fault != QLatin1String("locked")) {
                QCOMPARE(Bytes(base), before);  // never overwritten
            }
        }
        QCOMPARE(result.status, 0);
        QVERIFY(result.out.startsWith(QStringLiteral("5247")));
        QVERIFY(QFileInfo(pdf).size() > 0);
        const QStringList lines = result.err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith(kWarning) && lines[0].contains(reason),
                 qPrintable(result.err));
        if (fault == QLatin1String("locked")) {
            holder.write("ROLLBACK;\n.quit\n");
            holder.closeWriteChannel();
            QVERIFY(holder.waitForFinished());
            QCOMPARE(Recorded(base).size(), std::size_t(1));  // the one from before, nothing half
        }
        if (fault == QLatin1String("read-only")) {
            // Still listed, and left as it was.
            const QByteArray before = Bytes(base);
            const ProgramResult listed =
                Run({QStringLiteral("--historial"), QStringLiteral("--base"), base});
            QCOMPARE(listed.status, 0);
            QCOMPARE(listed.out.count(QStringLiteral("\r\n")), 2);  // the header and the voucher
            QCOMPARE(Bytes(base), before);
            QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner);
            QCOMPARE(Recorded(base).size(), std::size_t(1));
        }
    }

    // The server stops while a batch records into it: every voucher is still
    // written, one warning names the row from which recording stopped, and
    // what was recorded before is there when the server is back.
    void serverStoppedMidBatch() {
        if (!serverUp_) {
            QSKIP("PostgreSQL is not installed (/usr/lib/postgresql/15/bin/initdb): skipped");
        }
        const QString base = server_.NewDatabase(QStringLiteral("stopped"));
        const QString out = Fresh(QStringLiteral("stopped"));
        constexpr int kRows = 40;
        QProcess batch;
        batch.setProcessEnvironment(Environment(folder_.filePath(QStringLiteral("home"))));
        batch.start(
            QStringLiteral(TALONARIO_BINARY),
            {QStringLiteral("--lote"), BatchCsv(kRows), QStringLiteral("--carpeta"), out,
             QStringLiteral("--trabajos"), QStringLiteral("1"), QStringLiteral("--base"), base});
        QVERIFY(batch.waitForStarted());
        int before = 0;
        for (int wait = 0; wait < 1200 && before < 3; ++wait) {
            QTest::qWait(50);
            try {
                before = static_cast<int>(Recorded(base).size());
            } catch (const history::StoreFailure&) {
            }
        }
        QVERIFY(before >= 3);
        // Held while the server stops, so that rows are surely left to record.
        const auto held = static_cast<pid_t>(batch.processId());
        QCOMPARE(::kill(held, SIGSTOP), 0);
        server_.Stop();
        QCOMPARE(::kill(held, SIGCONT), 0);
        QVERIFY(batch.waitForFinished(120000));
        const QString err = QString::fromUtf8(batch.readAllStandardError());
        QCOMPARE(batch.exitCode(), 0);
        QCOMPARE(err.count(QStringLiteral("los comprobantes no quedan en el historial")), 1);
        const QStringList pdfs = QDir(out).entryList({QStringLiteral("*.pdf")});
        QCOMPARE(pdfs.size(), kRows);
        QVERIFY(server_.Resume().isEmpty());
        const auto recorded = Recorded(base);
        QVERIFY(int(recorded.size()) >= before);
        QVERIFY(int(recorded.size()) < kRows);
        for (const history::Voucher& voucher : recorded) {
            QVERIFY(QFile::exists(voucher.destination));
        }
    }
};

QTEST_GUILESS_MAIN(TestHistoryConcurrency)
#include "TestHistoryConcurrency.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the record's process tests share: the program run with a home of
// the test's own, vouchers and batch CSVs to make, the record read back.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "PostgresServer.h"
#include "ProgramRun.h"
#include "history/Destination.h"

inline const QString kWarning =
    QStringLiteral("talonario: aviso: el comprobante no quedó en el historial: ");

inline QStringList VoucherArguments(const QString& cuit, int month, int year,
                                    const QString& payroll) {
    return {QStringLiteral("--cuit"),
            cuit,
            QStringLiteral("--mes"),
            QString::number(month),
            QStringLiteral("--anio"),
            QString::number(year),
            QStringLiteral("--remuneracion"),
            payroll,
            QStringLiteral("--establecimiento"),
            QStringLiteral("Taller Ñandú"),
            QStringLiteral("--calle"),
            QStringLiteral("Belgrano 1234")};
}

inline QProcessEnvironment Environment(const QString& home) {
    QProcessEnvironment environment = EnvironmentWithoutDisplay();
    environment.insert(QStringLiteral("HOME"), home);
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.remove(QStringLiteral("TALONARIO_BASE"));
    return environment;
}

inline std::vector<history::Voucher> Recorded(const QString& destination) {
    return history::OpenStore(destination)->List({});
}

inline QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The pages of a PDF as pdftoppm renders them.
inline QList<QImage> Pages(const QString& pdf) {
    const QString prefix = pdf + QStringLiteral("-page");
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"),
                                                   QStringLiteral("-png"), pdf, prefix});
    QList<QImage> pages;
    for (int page = 1;; ++page) {
        const QImage image(QStringLiteral("%1-%2.png").arg(prefix).arg(page));
        if (image.isNull()) {
            break;
        }
        pages << image;
    }
    return pages;
}

class HistoryFixture : public QObject {
  protected:
    QTemporaryDir folder_;
    PostgresServer server_;
    bool serverUp_ = false;
    int names_ = 0;

    // The private server, where PostgreSQL is installed (its rows skip
    // with a clear line where it is not).
    void StartServerWhereInstalled() {
        QVERIFY(folder_.isValid());
        if (PostgresServer::Installed()) {
            const QString why = server_.Start();
            QVERIFY2(why.isEmpty(), qPrintable(why));
            serverUp_ = true;
        }
    }

    QString Fresh(const QString& what) {
        return folder_.filePath(what + QString::number(++names_));
    }

    ProgramResult Run(const QStringList& arguments, const QString& home = {}) {
        return RunProgram(
            QStringLiteral(TALONARIO_BINARY), arguments,
            Environment(home.isEmpty() ? folder_.filePath(QStringLiteral("home")) : home));
    }
    ProgramResult Pdf(const QString& base, const QStringList& voucher, const QString& pdf) {
        return Run(QStringList{QStringLiteral("--pdf"), pdf, QStringLiteral("--base"), base} +
                   voucher);
    }
    QString BatchCsv(int rows, int firstMonth = 1) {
        const QString name = Fresh(QStringLiteral("lote")) + QStringLiteral(".csv");
        QFile csv(name);
        csv.open(QIODevice::WriteOnly);
        csv.write("cuit;mes;anio;remuneracion\n");
        for (int i = 0; i < rows; ++i) {
            csv.write(QStringLiteral("27000000006;%1;%2;%3\n")
                          .arg((firstMonth + i - 1) % 12 + 1)
                          .arg(2026 + (firstMonth + i - 1) / 12)
                          .arg(1000 + i)
                          .toUtf8());
        }
        return name;
    }
};

// SPDX-License-Identifier: GPL-3.0-or-later
// The record's own costs on SQLite: recording one voucher (a transaction,
// the register's upsert and the WAL's sync included), and listing 100,000
// recorded vouchers whole and filtered. scripts/bench runs them.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <memory>

#include "history/Destination.h"

namespace {

history::Voucher Made(int i) {
    history::Voucher voucher;
    const QString cuit = QStringLiteral("20%1").arg(100000000 + i % 400, 9, 10, QLatin1Char('0'));
    voucher.boxes = {{QStringLiteral("txtCuit"), cuit},
                     {QStringLiteral("txtNombre"), QStringLiteral("Taller %1").arg(i % 400)},
                     {QStringLiteral("txtCalle"), QStringLiteral("Belgrano 1234")},
                     {QStringLiteral("txtAnio"), QString::number(2000 + (i / 12) % 27)},
                     {QStringLiteral("txtMes"), QString::number(i % 12 + 1)},
                     {QStringLiteral("txtRemuneracion"), QString::number(1000 + i % 90000)},
                     {QStringLiteral("txtRemuneracionDec"), QStringLiteral("00")},
                     {QStringLiteral("Check1"), QStringLiteral("0")}};
    voucher.contribution = QStringLiteral("15,00");
    voucher.total = QStringLiteral("15,00");
    voucher.paymentCode = QStringLiteral("5247") + cuit + QStringLiteral("000000001500");
    voucher.issued = QDateTime::currentDateTime();
    voucher.how = QString::fromUtf8(history::kFromPdf);
    voucher.destination = QStringLiteral("/home/ana/comprobante.pdf");
    voucher.version = QStringLiteral("1.0");
    return voucher;
}

// One store of 100,000 vouchers, filled once.
struct Filled {
    QTemporaryDir folder;
    std::unique_ptr<history::Store> store;
    Filled() {
        const QString file = folder.filePath(QStringLiteral("filled.sqlite"));
        history::OpenStore(file);
        // Filled in one transaction (100,000 of the store's own would each
        // wait for the disk), with the columns its Record() writes.
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
            db.setDatabaseName(file);
            db.open();
            db.transaction();
            QSqlQuery insert(db);
            insert.prepare(QStringLiteral(
                "INSERT INTO vouchers (issued, how, destination, program_version, cuit, name, "
                "name_key, period, contribution, total, payment_code, boxes) VALUES (?, ?, ?, ?, "
                "?, ?, ?, ?, ?, ?, ?, ?)"));
            constexpr int kVouchers = 100000;
            for (int i = 0; i < kVouchers; ++i) {
                const history::Voucher v = Made(i);
                QJsonObject boxes;
                for (auto it = v.boxes.begin(); it != v.boxes.end(); ++it) {
                    boxes.insert(it.key(), it.value());
                }
                for (const QString& value :
                     {v.issued.toOffsetFromUtc(v.issued.offsetFromUtc()).toString(Qt::ISODate),
                      v.how, v.destination, v.version, v.cuit(), v.name(), v.name().toCaseFolded(),
                      v.period(), v.contribution, v.total, v.paymentCode,
                      QString::fromUtf8(QJsonDocument(boxes).toJson(QJsonDocument::Compact))}) {
                    insert.addBindValue(value);
                }
                insert.exec();
            }
            db.commit();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fill"));
        store = history::OpenStore(file);
    }
};

Filled& Shared() {
    static Filled filled;
    return filled;
}

void BM_RecordOneVoucher(benchmark::State& state) {
    QTemporaryDir folder;
    auto store = history::OpenStore(folder.filePath(QStringLiteral("one.sqlite")));
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store->Record(Made(i++)));
    }
}
BENCHMARK(BM_RecordOneVoucher)->Unit(benchmark::kMillisecond);

void BM_OpenAndRecord(benchmark::State& state) {
    // What a --pdf run adds: the store opened, one voucher recorded, closed.
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("open.sqlite"));
    history::OpenStore(file);
    int i = 0;
    for (auto _ : state) {
        auto store = history::OpenStore(file);
        benchmark::DoNotOptimize(store->Record(Made(i++)));
    }
}
BENCHMARK(BM_OpenAndRecord)->Unit(benchmark::kMillisecond);

void BM_List100000(benchmark::State& state) {
    history::Store& store = *Shared().store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.List({}).size());
    }
}
BENCHMARK(BM_List100000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ListNewestPage100000(benchmark::State& state) {
    // What "Comprobantes emitidos" lists of a 100,000-voucher record.
    history::Store& store = *Shared().store;
    history::Filter filter;
    filter.limit = 1000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.List(filter).size());
    }
}
BENCHMARK(BM_ListNewestPage100000)->Unit(benchmark::kMillisecond);

void BM_Filter100000(benchmark::State& state) {
    history::Store& store = *Shared().store;
    const history::Filter filter{
        QStringLiteral("20100000007"), {}, QStringLiteral("2010-01"), QStringLiteral("2020-12")};
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.List(filter).size());
    }
}
BENCHMARK(BM_Filter100000)->Unit(benchmark::kMillisecond);

void BM_FilterByName100000(benchmark::State& state) {
    history::Store& store = *Shared().store;
    const history::Filter filter{{}, QStringLiteral("taller 17"), {}, {}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.List(filter).size());
    }
}
BENCHMARK(BM_FilterByName100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

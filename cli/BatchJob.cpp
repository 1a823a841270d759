// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchJob.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {

QJsonObject FiguresObject(const batch::VoucherFigures& f) {
    return {{"cuit", f.cuit},
            {"name", f.name},
            {"period", f.period},
            {"remuneration", f.remuneration},
            {"contribution", f.contribution},
            {"surcharge", f.surcharge},
            {"other", f.other},
            {"total", f.total}};
}

batch::VoucherFigures ObjectFigures(const QJsonObject& o) {
    const auto get = [&o](const char* key) { return o.value(QLatin1String(key)).toString(); };
    return {get("cuit"),         get("name"),      get("period"), get("remuneration"),
            get("contribution"), get("surcharge"), get("other"),  get("total")};
}

QByteArray Line(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace

QByteArray EncodeJob(const BatchJob& job) {
    QJsonObject values;
    for (auto it = job.values.begin(); it != job.values.end(); ++it) {
        values.insert(it.key(), it.value());
    }
    return Line({{"row", job.row},
                 {"values", values},
                 {"cash", job.cash},
                 {"strict", job.strict},
                 {"keepPages", job.keepPages},
                 {"print", job.print}});
}

BatchJob DecodeJob(const QByteArray& line) {
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    BatchJob job;
    job.row = o.value(QLatin1String("row")).toInt();
    const QJsonObject values = o.value(QLatin1String("values")).toObject();
    for (auto it = values.begin(); it != values.end(); ++it) {
        job.values.insert(it.key(), it.value().toString());
    }
    job.cash = o.value(QLatin1String("cash")).toBool();
    job.strict = o.value(QLatin1String("strict")).toBool();
    job.keepPages = o.value(QLatin1String("keepPages")).toBool();
    job.print = o.value(QLatin1String("print")).toBool();
    return job;
}

QByteArray EncodeAnswer(const BatchAnswer& answer) {
    QJsonObject o{{"row", answer.row},           {"state", answer.state},
                  {"message", answer.message},   {"code", answer.code},
                  {"name", answer.proposedName}, {"figures", FiguresObject(answer.figures)}};
    QJsonObject boxes;
    for (auto it = answer.boxes.begin(); it != answer.boxes.end(); ++it) {
        boxes.insert(it.key(), it.value());
    }
    o.insert(QLatin1String("boxes"), boxes);
    if (!answer.pdf.isEmpty()) {
        o.insert(QLatin1String("pdf"), QString::fromLatin1(answer.pdf.toBase64()));
    }
    if (!answer.pages.empty()) {
        QJsonArray pages;
        for (const platform::Page& page : answer.pages) {
            const QByteArray data(page.picture.data(), page.picture.size());
            pages.append(QJsonObject{{"width", page.pixels.width()},
                                     {"height", page.pixels.height()},
                                     {"picture", QString::fromLatin1(data.toBase64())}});
        }
        o.insert(QLatin1String("pages"), pages);
    }
    return Line(o);
}

BatchAnswer DecodeAnswer(const QByteArray& line, const QImage& background) {
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    BatchAnswer answer;
    answer.row = o.value(QLatin1String("row")).toInt();
    answer.state = o.value(QLatin1String("state")).toString();
    if (answer.state.isEmpty()) {
        answer.state = batch::kRowFailed;
    }
    answer.message = o.value(QLatin1String("message")).toString();
    answer.code = o.value(QLatin1String("code")).toString();
    answer.proposedName = o.value(QLatin1String("name")).toString();
    answer.figures = ObjectFigures(o.value(QLatin1String("figures")).toObject());
    const QJsonObject boxes = o.value(QLatin1String("boxes")).toObject();
    for (auto it = boxes.begin(); it != boxes.end(); ++it) {
        answer.boxes.insert(it.key(), it.value().toString());
    }
    answer.pdf = QByteArray::fromBase64(o.value(QLatin1String("pdf")).toString().toLatin1());
    for (const QJsonValue& value : o.value(QLatin1String("pages")).toArray()) {
        const QJsonObject page = value.toObject();
        platform::Page recorded{QPicture(),
                                QSize(page.value(QLatin1String("width")).toInt(),
                                      page.value(QLatin1String("height")).toInt()),
                                background};
        const QByteArray data =
            QByteArray::fromBase64(page.value(QLatin1String("picture")).toString().toLatin1());
        recorded.picture.setData(data.constData(), static_cast<uint>(data.size()));
        answer.pages.push_back(recorded);
    }
    return answer;
}

}  // namespace cli

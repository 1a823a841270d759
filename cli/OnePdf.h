// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <memory>
#include <vector>

#include "platform/Platform.h"
#include "platform/SafeFile.h"

namespace cli {

// Paints into another painter, handing every image it has met before (same
// size, format and pixels) over as the very same QImage. Qt's PDF writer
// keeps one copy of an image per QImage, so pages replayed from separate
// recordings then share the voucher picture instead of repeating it.
class SharingEngine : public QPaintEngine {
  public:
    SharingEngine();
    void SetTarget(QPainter* target) { target_ = target; }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& state) override;

    using QPaintEngine::drawEllipse;
    using QPaintEngine::drawLines;
    using QPaintEngine::drawPoints;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;
    void drawImage(const QRectF& rectangle, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override;
    void drawPixmap(const QRectF& rectangle, const QPixmap& pixmap, const QRectF& source) override;
    void drawTiledPixmap(const QRectF& rectangle, const QPixmap& pixmap,
                         const QPointF& offset) override;
    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawEllipse(const QRectF& rectangle) override;
    void drawPoints(const QPointF* points, int count) override;
    void drawTextItem(const QPointF& position, const QTextItem& item) override;

  private:
    QImage Shared(const QImage& image);

    QPainter* target_ = nullptr;
    struct Remembered {
        QImage image;
        quint64 lastUse = 0;
    };
    QHash<QByteArray, Remembered> images_;  // by size, format and a hash of the pixels
    quint64 uses_ = 0;
};

// All the vouchers of a batch in one PDF, painted in the order given and
// streamed through the safe writer, which gives it its name in Close().
class OnePdf : public QPaintDevice {
  public:
    OnePdf();
    ~OnePdf() override;
    // `name` as bytes (EncodeName). Empty when ready, else why not.
    QString Open(const QByteArray& name);
    void Add(const std::vector<platform::Page>& pages);
    // Finishes the file and gives it its name; empty when done, else why not.
    QString Close();
    // The target as found when opened, to refuse it as one of the inputs.
    const platform::SafeFile& file() const { return *file_; }
    // Drops what was written: an interrupted run leaves no part of a file.
    void Discard();

    QPaintEngine* paintEngine() const override { return engine_.get(); }

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    std::unique_ptr<platform::SafeFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<SharingEngine> engine_;
    QPainter target_;
};

}  // namespace cli

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OnePdf.h"

#include <QPainterPath>

#include "platform/QtPlatform.h"

namespace cli {

namespace {
constexpr double kPixelsPerInch = 96.0;  // a recorded page's pixel, as platform/ prints it
// The voucher picture is on every page and a barcode on a voucher's two: the
// few images used last are enough, and a thousand barcodes do not pile up.
constexpr qsizetype kRemembered = 8;
}  // namespace

SharingEngine::SharingEngine() : QPaintEngine(AllFeatures) {}

void SharingEngine::updateState(const QPaintEngineState& state) {
    const DirtyFlags flags = state.state();
    // The transform first: a clip set with it is meant in its coordinates.
    if (flags & DirtyTransform) {
        target_->setTransform(state.transform());
    }
    if (flags & DirtyPen) {
        target_->setPen(state.pen());
    }
    if (flags & DirtyBrush) {
        target_->setBrush(state.brush());
    }
    if (flags & DirtyBrushOrigin) {
        target_->setBrushOrigin(state.brushOrigin());
    }
    if (flags & DirtyBackground) {
        target_->setBackground(state.backgroundBrush());
    }
    if (flags & DirtyBackgroundMode) {
        target_->setBackgroundMode(state.backgroundMode());
    }
    if (flags & DirtyFont) {
        target_->setFont(state.font());
    }
    if (flags & DirtyClipPath) {
        target_->setClipPath(state.clipPath(), state.clipOperation());
    }
    if (flags & DirtyClipRegion) {
        target_->setClipRegion(state.clipRegion(), state.clipOperation());
    }
    if (flags & DirtyClipEnabled) {
        target_->setClipping(state.isClipEnabled());
    }
    if (flags & DirtyHints) {
        target_->setRenderHints(target_->renderHints(), false);
        target_->setRenderHints(state.renderHints(), true);
    }
    if (flags & DirtyCompositionMode) {
        target_->setCompositionMode(state.compositionMode());
    }
    if (flags & DirtyOpacity) {
        target_->setOpacity(state.opacity());
    }
}

QImage SharingEngine::Shared(const QImage& image) {
    // A fast hash finds the candidate; the pixels themselves decide.
    const QByteArray key =
        QByteArray::number(image.width()) + 'x' + QByteArray::number(image.height()) + '/' +
        QByteArray::number(static_cast<int>(image.format())) + '/' +
        QByteArray::number(qHash(
            QByteArrayView(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes())));
    ++uses_;
    if (const auto it = images_.find(key); it != images_.end() && it->image == image) {
        it->lastUse = uses_;
        return it->image;
    }
    images_.remove(key);
    if (images_.size() >= kRemembered) {
        auto oldest = images_.begin();
        for (auto it = images_.begin(); it != images_.end(); ++it) {
            if (it->lastUse < oldest->lastUse) {
                oldest = it;
            }
        }
        images_.erase(oldest);
    }
    images_.insert(key, {image, uses_});
    return image;
}

void SharingEngine::drawImage(const QRectF& rectangle, const QImage& image, const QRectF& source,
                              Qt::ImageConversionFlags flags) {
    target_->drawImage(rectangle, Shared(image), source, flags);
}

void SharingEngine::drawPixmap(const QRectF& rectangle, const QPixmap& pixmap,
                               const QRectF& source) {
    target_->drawImage(rectangle, Shared(pixmap.toImage()), source);
}

void SharingEngine::drawTiledPixmap(const QRectF& rectangle, const QPixmap& pixmap,
                                    const QPointF& offset) {
    target_->drawTiledPixmap(rectangle, pixmap, offset);
}

void SharingEngine::drawPath(const QPainterPath& path) {
    target_->drawPath(path);
}

void SharingEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
    switch (mode) {
        case PolylineMode:
            target_->drawPolyline(points, count);
            break;
        case OddEvenMode:
            target_->drawPolygon(points, count, Qt::OddEvenFill);
            break;
        case WindingMode:
            target_->drawPolygon(points, count, Qt::WindingFill);
            break;
        case ConvexMode:
            target_->drawConvexPolygon(points, count);
            break;
    }
}

void SharingEngine::drawRects(const QRectF* rects, int count) {
    target_->drawRects(rects, count);
}

void SharingEngine::drawLines(const QLineF* lines, int count) {
    target_->drawLines(lines, count);
}

void SharingEngine::drawEllipse(const QRectF& rectangle) {
    target_->drawEllipse(rectangle);
}

void SharingEngine::drawPoints(const QPointF* points, int count) {
    target_->drawPoints(points, count);
}

void SharingEngine::drawTextItem(const QPointF& position, const QTextItem& item) {
    target_->drawTextItem(position, item);
}

OnePdf::OnePdf() : engine_(std::make_unique<SharingEngine>()) {}

OnePdf::~OnePdf() {
    Discard();
}

QString OnePdf::Open(const QByteArray& name) {
    file_ = std::make_unique<platform::SafeFile>();
    return file_->Open(name);
}

int OnePdf::metric(PaintDeviceMetric metric) const {
    // The writer's own measures, so that a picture replayed here scales
    // exactly as it would on the writer.
    const QPaintDevice& device = *writer_;
    switch (metric) {
        case PdmWidth:
            return device.width();
        case PdmHeight:
            return device.height();
        case PdmWidthMM:
            return device.widthMM();
        case PdmHeightMM:
            return device.heightMM();
        case PdmNumColors:
            return device.colorCount();
        case PdmDepth:
            return device.depth();
        case PdmDpiX:
            return device.logicalDpiX();
        case PdmDpiY:
            return device.logicalDpiY();
        case PdmPhysicalDpiX:
            return device.physicalDpiX();
        case PdmPhysicalDpiY:
            return device.physicalDpiY();
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

void OnePdf::Add(const std::vector<platform::Page>& pages) {
    for (const platform::Page& page : pages) {
        if (!writer_) {
            writer_ = std::make_unique<QPdfWriter>(file_.get());
            writer_->setCreator(QStringLiteral("Talonario"));
            writer_->setResolution(300);
            writer_->setPageSize(QPageSize(
                QSizeF(page.pixels.width() / kPixelsPerInch, page.pixels.height() / kPixelsPerInch),
                QPageSize::Inch));
            writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
            target_.begin(writer_.get());
        } else {
            writer_->newPage();
        }
        engine_->SetTarget(&target_);
        target_.save();
        {
            QPainter painter(this);
            platform::PaintPage(painter, page);
        }
        target_.restore();
    }
}

QString OnePdf::Close() {
    if (writer_ && !target_.end()) {
        file_->Discard();
        return QStringLiteral("no se pudo generar el PDF");
    }
    writer_.reset();
    return file_->Finish();
}

void OnePdf::Discard() {
    if (target_.isActive()) {
        target_.end();
    }
    writer_.reset();
    if (file_) {
        file_->Discard();
    }
}

}  // namespace cli

#include "platform/ui/curve_picture.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

constexpr int kMargin = 8;
constexpr int kAxisWidth = 44;
constexpr int kYTicks = 5;

QColor Colour(int rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void DrawGrid(QPainter& painter, const QRectF& area, const CurvePicture& picture, int samples) {
    painter.setPen(QPen(QColor(0xD8, 0xD8, 0xD8), 1));
    const QFontMetrics metrics(painter.font());
    for (int t = 0; t <= kYTicks; ++t) {
        const double y = area.bottom() - area.height() * t / kYTicks;
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        const double value = picture.yMin + (picture.yMax - picture.yMin) * t / kYTicks;
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, area.left() - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'g', 6));
        painter.setPen(QPen(QColor(0xD8, 0xD8, 0xD8), 1));
    }
    for (int sample : {1, 32, 64, 96, samples}) {
        const double x = area.left() + area.width() * (sample - 1) / std::max(1, samples - 1);
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x - 20, area.bottom() + 2, 40, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(sample));
        painter.setPen(QPen(QColor(0xD8, 0xD8, 0xD8), 1));
    }
    painter.setPen(Qt::black);
    painter.drawRect(area);
}

void DrawCurve(QPainter& painter, const QRectF& area, const CurvePicture& picture,
               const PictureCurve& curve, int samples) {
    const double span = picture.yMax > picture.yMin ? picture.yMax - picture.yMin : 1.0;
    QPainterPath path;
    bool drawing = false;
    for (int i = 0; i < static_cast<int>(curve.values.size()); ++i) {
        const bool present = curve.present.empty() || curve.present[i];
        if (!present) {
            drawing = false;
            continue;
        }
        const double x = area.left() + area.width() * i / std::max(1, samples - 1);
        const double clipped = std::clamp(curve.values[i], picture.yMin, picture.yMax);
        const QPointF point(x, area.bottom() - area.height() * (clipped - picture.yMin) / span);
        if (drawing) {
            path.lineTo(point);
        } else {
            path.moveTo(point);
            drawing = true;
        }
    }
    QPen pen(Colour(curve.rgb), curve.dashed ? 1.2 : 1.6);
    if (curve.dashed) pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.drawPath(path);
}

void DrawLegend(QPainter& painter, const QRectF& area, const std::vector<PictureCurve>& curves) {
    const QFontMetrics metrics(painter.font());
    double x = area.left();
    const double y = area.top() - 4;
    for (const PictureCurve& curve : curves) {
        QPen pen(Colour(curve.rgb), 2);
        if (curve.dashed) pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(x, y - metrics.ascent() / 2.0), QPointF(x + 18, y - metrics.ascent() / 2.0));
        painter.setPen(Qt::black);
        const QString name = QString::fromStdString(curve.name);
        painter.drawText(QPointF(x + 22, y), name);
        x += 34 + metrics.horizontalAdvance(name);
    }
}

}  // namespace

std::string CurvePicturePng(const CurvePicture& picture, const std::vector<PictureCurve>& curves) {
    if (picture.width < 100 || picture.height < 80) return {};
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const QFontMetrics metrics(painter.font());
        painter.drawText(QRectF(0, kMargin / 2, picture.width, metrics.height()), Qt::AlignHCenter,
                         QString::fromStdString(picture.title));
        const double top = kMargin + 2.5 * metrics.height();
        const QRectF area(kAxisWidth, top, picture.width - kAxisWidth - 2 * kMargin,
                          picture.height - top - metrics.height() - kMargin);
        int samples = 0;
        for (const PictureCurve& curve : curves) {
            samples = std::max(samples, static_cast<int>(curve.values.size()));
        }
        DrawGrid(painter, area, picture, samples);
        painter.setClipRect(area.adjusted(-1, -1, 1, 1));
        for (const PictureCurve& curve : curves) DrawCurve(painter, area, picture, curve, samples);
        painter.setClipping(false);
        DrawLegend(painter, area, curves);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return bytes.toStdString();
}

#include "platform/ui/plot_overlay.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QPainter>

PlotOverlay::PlotOverlay(QChartView* view, PaintLines paintLines)
    : QWidget(view->viewport()), view_(view), paintLines_(std::move(paintLines)) {
    // It paints every pixel of its rectangle, so nothing is painted under it; the pointer
    // and the context menu stay the chart's.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    connect(view->chart(), &QChart::plotAreaChanged, this, &PlotOverlay::follow);
    // Anything the chart draws anew (a scale, a title, the legend) may show in the picture.
    connect(view->scene(), &QGraphicsScene::changed, this, [this] {
        pictureStale_ = true;
        update();
    });
    follow();
    show();
}

void PlotOverlay::linesChanged() {
    update();
}

// The plot area in the viewport's coordinates; the overlay covers it to the whole pixel.
void PlotOverlay::follow() {
    QChart* chart = view_->chart();
    const QRectF plot =
        view_->viewportTransform().mapRect(chart->mapRectToScene(chart->plotArea()));
    const QRect covered = plot.toAlignedRect().intersected(view_->viewport()->rect());
    area_ = plot.translated(-covered.topLeft());
    setGeometry(covered);
    pictureStale_ = true;
    update();
}

void PlotOverlay::takePicture() {
    const qreal ratio = devicePixelRatioF();
    picture_ = QPixmap(size() * ratio);
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(view_->palette().color(QPalette::Base));
    QPainter painter(&picture_);
    view_->render(&painter, QRectF(QPointF(0, 0), size()), geometry());
    pictureStale_ = false;
}

void PlotOverlay::paintEvent(QPaintEvent*) {
    if (pictureStale_ || picture_.deviceIndependentSize().toSize() != size()) takePicture();
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
    painter.setClipRect(area_);
    paintLines_(painter, area_);
}

#include "platform/ui/plot_overlay.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QGraphicsScene>
#include <QPaintEvent>
#include <QPainter>

PlotOverlay::PlotOverlay(QChartView* view, PaintLines paintLines)
    : QWidget(view->viewport()), view_(view), paintLines_(std::move(paintLines)) {
    // It paints every pixel of the viewport, so the view never paints under it; the pointer
    // and the context menu stay the chart's.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    view->viewport()->installEventFilter(this);
    connect(view->chart(), &QChart::plotAreaChanged, this, &PlotOverlay::follow);
    // Anything the chart draws anew (a scale, a title, the legend) shows in the picture.
    connect(view->scene(), &QGraphicsScene::changed, this, [this] {
        pictureStale_ = true;
        update();
    });
    follow();
    show();
}

void PlotOverlay::linesChanged() {
    // A pixel around the area for the lines' antialiased edges.
    update(area_.toAlignedRect().adjusted(-1, -1, 1, 1));
}

bool PlotOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::Resize) follow();
    return false;
}

QRectF PlotOverlay::plotArea() const {
    QChart* chart = view_->chart();
    return view_->viewportTransform().mapRect(chart->mapRectToScene(chart->plotArea()));
}

// The whole viewport, and the plot area in its coordinates.
void PlotOverlay::follow() {
    area_ = plotArea();
    setGeometry(view_->viewport()->rect());
    pictureStale_ = true;
    update();
}

void PlotOverlay::takePicture() {
    const qreal ratio = devicePixelRatioF();
    picture_ = QPixmap(size() * ratio);
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(view_->palette().color(QPalette::Base));
    QPainter painter(&picture_);
    view_->render(&painter, QRectF(QPointF(0, 0), size()), rect());
    pictureStale_ = false;
}

void PlotOverlay::paintEvent(QPaintEvent* event) {
    // A view grown or shrunk may place its scene anew without the plot area changing in the
    // chart's own coordinates (a window that makes room for a docked pane): the lines follow
    // the picture's plot area, not the one of the last layout.
    if (const QRectF now = plotArea(); now != area_) {
        area_ = now;
        pictureStale_ = true;
        if (event->rect() != rect()) {
            update();
            return;
        }
    }
    if (pictureStale_ || picture_.deviceIndependentSize().toSize() != size()) takePicture();
    QPainter painter(this);
    const QRect part = event->rect();
    const qreal ratio = picture_.devicePixelRatio();
    painter.drawPixmap(part, picture_,
                       QRectF(part.topLeft() * ratio, part.size() * ratio).toAlignedRect());
    painter.setClipRect(area_.intersected(QRectF(part)));
    paintLines_(painter, area_);
}

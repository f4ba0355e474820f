#include "platform/ui/chart_image.h"

#include <QAbstractScrollArea>
#include <QBuffer>
#include <QCoreApplication>
#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"

namespace {

constexpr int kTitlePadding = 3;  // pixels above and below a chart's title

// The name a chart goes by on the panel: the title of its frame, else its accessible name.
QString ChartTitle(const QWidget* chart) {
    for (const QWidget* w = chart->parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
            QString title = box->title();
            return title.remove(QLatin1Char('&'));
        }
    }
    return chart->accessibleName();
}

// What is drawn of a chart: the view's drawing area, without buttons laid over it.
QWidget* DrawnArea(QWidget* chart) {
    auto* view = qobject_cast<QAbstractScrollArea*>(chart);
    return view != nullptr ? view->viewport() : chart;
}

}  // namespace

int ChartsPng(int panel, const int* controls, int count, int scale, std::string& png, int* width,
              int* height) {
    png.clear();
    QWidget* window = PanelWidget(panel);
    if (window == nullptr || scale < 1 || (count > 0 && controls == nullptr)) return kUiError;

    std::vector<QWidget*> shown;
    for (int i = 0; i < count; ++i) {
        QWidget* chart = CtrlWidget(panel, controls[i]);
        if (chart != nullptr && chart->isVisibleTo(window)) shown.push_back(chart);
    }
    if (shown.empty()) return 0;
    // A chart lays out its legend and titles when the event loop gets to it; a picture
    // taken right after a redraw must not show the layout before.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    QFont titleFont = window->font();
    titleFont.setBold(true);
    const int titleHeight = QFontMetrics(titleFont).height() + 2 * kTitlePadding;
    int logicalWidth = 0;
    int logicalHeight = 0;
    for (QWidget* chart : shown) {
        logicalWidth = std::max(logicalWidth, DrawnArea(chart)->width());
        logicalHeight += titleHeight + DrawnArea(chart)->height();
    }

    const qreal ratio = window->devicePixelRatioF() * scale;
    QImage image(qRound(logicalWidth * ratio), qRound(logicalHeight * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(titleFont);
    painter.setPen(window->palette().color(QPalette::WindowText));
    int top = 0;
    for (QWidget* chart : shown) {
        QWidget* area = DrawnArea(chart);
        painter.drawText(QRect(kTitlePadding, top, logicalWidth - 2 * kTitlePadding, titleHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, ChartTitle(chart));
        top += titleHeight;
        area->render(&painter, QPoint(0, top));
        top += area->height();
    }
    painter.end();

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return kUiError;
    png.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (width != nullptr) *width = image.width();
    if (height != nullptr) *height = image.height();
    return static_cast<int>(shown.size());
}

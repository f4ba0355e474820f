#include "console/recording_plot.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/ui/chart_style.h"
#include "platform/ui/ui_service.h"
#include "scope/chart_labels.h"

namespace kervano {

namespace {

constexpr int kLeft = 56;  // room for the value labels
constexpr int kRight = 10;
constexpr int kTop = 4;
constexpr int kTitle = 16;  // a channel's title and legend above its plot
constexpr int kGap = 6;
constexpr int kAxis = 22;  // the time labels below the plots
constexpr int kTickSpacing = 90;
constexpr double kWheelStep = 0.8;  // span factor per notch of the wheel
constexpr double kKeyZoom = 0.5;
constexpr double kKeyPan = 0.25;

const QColor kFrame(0x90, 0x90, 0x90);
const QColor kGrid(0xe4, 0xe4, 0xe4);
const QColor kCursor(0x60, 0x60, 0x60);

}  // namespace

RecordingPlot::RecordingPlot(std::shared_ptr<const Recording> recording, QWidget* parent)
    : QWidget(parent),
      recording_(std::move(recording)),
      view_(recording_->timeMs.front(), recording_->timeMs.back()) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(480, 320);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RecordingPlot::setUnit(RecordingUnit unit) {
    unit_ = unit;
    update();
}

// The live strip charts' traces: values 1 and 2 of the channel in the unit's colours; the
// normalised view adds the channel's maxima, dashed, which are per mille too.
std::vector<RecordingPlot::Trace> RecordingPlot::traces(int channel) const {
    const int first = 2 * channel;
    const char* one = channel == 0 ? "TOP1" : "BOT1";
    const char* two = channel == 0 ? "TOP2" : "BOT2";
    if (unit_ == RECORDING_RAW)
        return {{first, VAL_BLUE, false, one}, {first + 1, VAL_DK_GREEN, false, two}};
    return {{4 + first, VAL_RED, false, one},
            {5 + first, VAL_DK_GRAY, false, two},
            {8 + first, VAL_RED, true, channel == 0 ? "max TOP1" : "max BOT1"},
            {9 + first, VAL_DK_GRAY, true, channel == 0 ? "max TOP2" : "max BOT2"}};
}

QRect RecordingPlot::plotRect(int channel) const {
    const int band = (height() - kTop - kAxis) / 2;
    return QRect(kLeft, kTop + band * channel + kTitle, std::max(width() - kLeft - kRight, 1),
                 std::max(band - kTitle - kGap, 1));
}

double RecordingPlot::timeAt(double x) const {
    const QRect r = plotRect(0);
    return view_.begin() + (x - r.left()) / r.width() * view_.span();
}

double RecordingPlot::xOf(double timeMs) const {
    const QRect r = plotRect(0);
    return r.left() + (timeMs - view_.begin()) / view_.span() * r.width();
}

std::size_t RecordingPlot::rowAt(int x) const {
    return NearestRow(recording_->timeMs, timeAt(x + 0.5));
}

QString RecordingPlot::readoutAt(int x) const {
    const std::size_t row = rowAt(x);
    QString text = QString::fromStdString(
        ClockText(recording_->timeMs[row], recording_->offsetMin[row], true));
    for (int k = 0; k < kMonitorWords; ++k)
        text += QStringLiteral("  %1 %2")
                    .arg(QLatin1String(MonitorWordName(k)))
                    .arg(recording_->words[static_cast<std::size_t>(k)][row]);
    return text;
}

void RecordingPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    // The rows of each pixel column, once for both plots and all their traces.
    ColumnRows(recording_->timeMs, view_.begin(), view_.end(), plotRect(0).width(), columnStart_);
    // Ticks on round times of the file's clock, as it stood at the left edge.
    tickOffset_ = recording_->offsetMin[NearestRow(recording_->timeMs, view_.begin())];
    ticks_ = TimeTicks(view_.begin(), view_.end(), std::max(plotRect(0).width() / kTickSpacing, 1),
                       tickOffset_, &tickStep_);
    paintTimeAxis(painter);
    paintChannel(painter, 0);
    paintChannel(painter, 1);
}

void RecordingPlot::paintChannel(QPainter& painter, int channel) {
    const QRect r = plotRect(channel);
    const std::vector<Trace> shown = traces(channel);
    const std::size_t n = recording_->rows();
    const std::size_t first = columnStart_.front();
    const std::size_t last = columnStart_.back();
    const bool dense = static_cast<double>(last - first) >= kMinRowsPerColumn * r.width();
    // Sparse: the rows shown and one on either side, so the lines run to the edges.
    const std::size_t from = first > 0 ? first - 1 : 0;
    const std::size_t to = std::min(last + 1, n);

    // The scale fits what is shown, from 0 to a round value above its largest.
    std::vector<std::vector<MinMax>> columns(shown.size());
    unsigned largest = 1;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const auto& values = recording_->words[static_cast<std::size_t>(shown[i].word)];
        if (dense) {
            ColumnMinMax(values, columnStart_, columns[i]);
            for (const MinMax& m : columns[i])
                if (!m.empty()) largest = std::max<unsigned>(largest, m.hi);
        } else if (to > from) {
            largest = std::max<unsigned>(
                largest, *std::max_element(values.begin() + static_cast<std::ptrdiff_t>(from),
                                           values.begin() + static_cast<std::ptrdiff_t>(to)));
        }
    }
    const double top = kvui::RoundUp(largest);
    auto yOf = [&](double value) { return r.bottom() + 1 - value / top * r.height(); };

    painter.fillRect(r, Qt::white);
    painter.setPen(kGrid);
    for (int k = 1; k < 4; ++k) {
        const int y = qRound(yOf(top * k / 4));
        painter.drawLine(r.left(), y, r.right(), y);
    }
    for (long long t : ticks_) {
        const int tx = qRound(xOf(static_cast<double>(t)));
        painter.drawLine(tx, r.top(), tx, r.bottom());
    }
    painter.setPen(palette().windowText().color());
    const QFontMetrics metrics(font());
    for (int k = 0; k <= 4; k += 2) {
        const QString label = QString::number(top * k / 4, 'g', 6);
        painter.drawText(QRect(0, qRound(yOf(top * k / 4)) - 8, kLeft - 4, 16),
                         Qt::AlignRight | Qt::AlignVCenter, label);
    }
    painter.drawText(
        QRect(kLeft, r.top() - kTitle, r.width(), kTitle), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("%1 - %2").arg(
            channel == 0 ? "TOP" : "BOT",
            QString::fromUtf8(unit_ == RECORDING_RAW ? kRawUnitTitle : kNormUnitTitle)));
    // The legend, right-aligned above the plot: a piece of each line and its name.
    int x = r.right();
    for (auto t = shown.rbegin(); t != shown.rend(); ++t) {
        const QString name = QString::fromLatin1(t->name);
        x -= metrics.horizontalAdvance(name);
        painter.setPen(palette().windowText().color());
        painter.drawText(QPoint(x, r.top() - 4), name);
        x -= 20;
        painter.setPen(QPen(QColor::fromRgb(static_cast<QRgb>(t->colour)), 2,
                            t->dashed ? Qt::DashLine : Qt::SolidLine));
        painter.drawLine(x, r.top() - 8, x + 16, r.top() - 8);
        x -= 10;
    }

    painter.save();
    painter.setClipRect(r);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        QPen pen(QColor::fromRgb(static_cast<QRgb>(shown[i].colour)), 1,
                 shown[i].dashed ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(pen);
        const auto& values = recording_->words[static_cast<std::size_t>(shown[i].word)];
        if (dense) {
            // One vertical stroke per column from its smallest to its largest value, reaching
            // to the column before it so that the trace stays one line.
            painter.setRenderHint(QPainter::Antialiasing, false);
            QVector<QLineF> strokes;
            strokes.reserve(static_cast<int>(columns[i].size()));
            const MinMax* before = nullptr;
            for (std::size_t c = 0; c < columns[i].size(); ++c) {
                const MinMax& m = columns[i][c];
                if (m.empty()) continue;
                unsigned lo = m.lo, hi = m.hi;
                if (before != nullptr) {
                    lo = std::min<unsigned>(lo, before->hi);
                    hi = std::max<unsigned>(hi, before->lo);
                }
                const double cx = r.left() + static_cast<double>(c) + 0.5;
                strokes.append(QLineF(cx, yOf(lo), cx, yOf(hi) - (lo == hi ? 1 : 0)));
                before = &m;
            }
            painter.drawLines(strokes);
        } else {
            painter.setRenderHint(QPainter::Antialiasing, true);
            QPolygonF line;
            line.reserve(static_cast<int>(to - from));
            for (std::size_t row = from; row < to; ++row)
                line.append(
                    QPointF(xOf(static_cast<double>(recording_->timeMs[row])), yOf(values[row])));
            painter.drawPolyline(line);
            // Few rows: each marked, so single rows stand out from the lines joining them.
            if (static_cast<double>(last - first) * 8 < r.width())
                for (const QPointF& p : line) painter.drawEllipse(p, 1.5, 1.5);
        }
    }
    if (cursorX_ >= r.left() && cursorX_ <= r.right()) {
        const std::size_t row = rowAt(cursorX_);
        const double cx = xOf(static_cast<double>(recording_->timeMs[row]));
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(kCursor, 1, Qt::DotLine));
        painter.drawLine(QLineF(cx, r.top(), cx, r.bottom()));
    }
    painter.restore();
    painter.setPen(kFrame);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
}

void RecordingPlot::paintTimeAxis(QPainter& painter) {
    const QRect bottom = plotRect(1);
    painter.setPen(palette().windowText().color());
    for (long long t : ticks_) {
        const int x = qRound(xOf(static_cast<double>(t)));
        const QString label = QString::fromStdString(ClockText(t, tickOffset_, tickStep_ < 1000));
        painter.drawText(QRect(x - kTickSpacing / 2, bottom.bottom() + 4, kTickSpacing, kAxis - 4),
                         Qt::AlignHCenter | Qt::AlignTop, label);
    }
}

void RecordingPlot::changed() {
    update();
    if (cursorX_ >= 0 && readoutListener_) readoutListener_(readoutAt(cursorX_));
}

void RecordingPlot::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    const QRect r = plotRect(0);
    view_.zoom(std::pow(kWheelStep, notches), (event->position().x() - r.left()) / r.width());
    changed();
    event->accept();
}

void RecordingPlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragX_ = qRound(event->position().x());
}

void RecordingPlot::mouseMoveEvent(QMouseEvent* event) {
    const int x = qRound(event->position().x());
    if (dragX_ >= 0 && (event->buttons() & Qt::LeftButton)) {
        view_.pan(static_cast<double>(dragX_ - x) / plotRect(0).width());
        dragX_ = x;
    }
    cursorX_ = x;
    changed();
}

void RecordingPlot::mouseReleaseEvent(QMouseEvent*) {
    dragX_ = -1;
}

void RecordingPlot::leaveEvent(QEvent*) {
    cursorX_ = -1;
    update();
}

void RecordingPlot::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            view_.zoom(kKeyZoom);
            break;
        case Qt::Key_Minus:
            view_.zoom(1.0 / kKeyZoom);
            break;
        case Qt::Key_Left:
            view_.pan(-kKeyPan);
            break;
        case Qt::Key_Right:
            view_.pan(kKeyPan);
            break;
        case Qt::Key_Home:
            view_.showAll();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    changed();
}

}  // namespace kervano

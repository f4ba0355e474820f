#include "platform/ui/panel_group_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace {

// Everything the style draws a group box from.
QString Key(const QStyleOptionGroupBox& option, const QWidget* box, qreal ratio) {
    return QStringLiteral("%1x%2@%3|%4|%5|%6|%7|%8|%9")
        .arg(option.rect.width())
        .arg(option.rect.height())
        .arg(ratio)
        .arg(static_cast<int>(option.state))
        .arg(option.text)
        .arg(option.palette.cacheKey())
        .arg(box->font().key())
        .arg(QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8")
                 .arg(static_cast<int>(option.subControls))
                 .arg(static_cast<int>(option.activeSubControls))
                 .arg(static_cast<int>(option.features))
                 .arg(static_cast<int>(option.textAlignment))
                 .arg(option.textColor.rgba())
                 .arg(option.lineWidth)
                 .arg(option.midLineWidth)
                 .arg(static_cast<int>(option.direction)))
        .arg(reinterpret_cast<quintptr>(box->style()));
}

}  // namespace

// The frame comes from the picture; the title is drawn live, as text drawn into a
// transparent picture would not blend with the background exactly as text drawn onto it.
void PanelGroupBox::paintEvent(QPaintEvent* event) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const qreal ratio = devicePixelRatioF();
    QStyleOptionGroupBox frame = option;
    frame.subControls &= ~QStyle::SC_GroupBoxLabel;
    const QString shows = Key(frame, this, ratio);
    if (shows != shows_ || picture_.isNull()) {
        picture_ = QPixmap(size() * ratio);
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(Qt::transparent);
        QStylePainter painter(&picture_, this);
        painter.drawComplexControl(QStyle::CC_GroupBox, frame);
        title_ =
            style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
        shows_ = shows;
    }
    QStylePainter painter(this);
    // Piece by piece: the bounding rectangle of what changed may span the whole box.
    for (const QRect& part : event->region()) {
        painter.drawPixmap(part, picture_,
                           QRectF(part.topLeft() * ratio, part.size() * ratio).toAlignedRect());
    }
    if ((option.subControls & QStyle::SC_GroupBoxLabel) && event->region().intersects(title_)) {
        QStyleOptionGroupBox label = option;
        label.subControls = QStyle::SC_GroupBoxLabel;
        painter.drawComplexControl(QStyle::CC_GroupBox, label);
    }
}

#include "platform/ui/led.h"

#include <QPainter>
#include <QRadialGradient>

Led::Led(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleDescription(QStringLiteral("off"));
}

void Led::setOn(bool on) {
    if (on == on_) return;
    on_ = on;
    // Screen readers have no colour to go by.
    setAccessibleDescription(on_ ? QStringLiteral("on") : QStringLiteral("off"));
    update();
}

void Led::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height()) - 2.0;
    const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);

    // Off is the on colour at a fifth of its brightness: clearly dark, still recognisable.
    const QColor base = on_ ? kOnColor : kOnColor.darker(500);
    QRadialGradient glow(lamp.center() - QPointF(side / 6.0, side / 6.0), side / 1.6);
    glow.setColorAt(0.0, on_ ? base.lighter(170) : base.lighter(130));
    glow.setColorAt(1.0, base);

    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.2));
    p.setBrush(glow);
    p.drawEllipse(lamp);
}

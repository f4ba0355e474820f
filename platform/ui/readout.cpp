#include "platform/ui/readout.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>
#include <algorithm>

namespace {

const QString kWidestValue = QStringLiteral("65535");

// The number a read-out shows, or its text when it shows something else.
QVariant ShownValue(const QLabel* label) {
    bool ok = false;
    const int value = label->text().trimmed().toInt(&ok);
    return ok ? QVariant(value) : QVariant(label->text());
}

// Name: the read-out's accessible name (or the text of its buddy label); value: the number.
// A plain label would speak its accessible name in place of its text.
class ReadoutAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit ReadoutAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return label()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QVariant currentValue() const override { return ShownValue(label()); }
    void setCurrentValue(const QVariant&) override {}  // the program alone writes read-outs
    QVariant maximumValue() const override { return 65535; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

  private:
    const QLabel* label() const { return static_cast<const QLabel*>(object()); }
};

QAccessibleInterface* ReadoutAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("Readout") && object && object->isWidgetType())
        return new ReadoutAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

Readout::Readout(QWidget* parent) : QLabel(parent) {
    static const bool factoryInstalled =
        (QAccessible::installFactory(ReadoutAccessibleFactory), true);
    Q_UNUSED(factoryInstalled);
    holdOff_.setSingleShot(true);
    holdOff_.setInterval(kAnnounceIntervalMs);
    connect(&holdOff_, &QTimer::timeout, this, &Readout::announceIfChanged);
}

QSize Readout::holdingWidest(QSize size) const {
    // What the label adds around its text (margins, frame, style-sheet box) stays the same.
    const QFontMetrics fm = fontMetrics();
    const int extra = fm.horizontalAdvance(kWidestValue) - fm.horizontalAdvance(text());
    if (extra > 0) size.rwidth() += extra;
    return size;
}

QSize Readout::sizeHint() const {
    return fixedSize_ ? *fixedSize_ : holdingWidest(QLabel::sizeHint());
}

QSize Readout::minimumSizeHint() const {
    return fixedSize_ ? *fixedSize_ : holdingWidest(QLabel::minimumSizeHint());
}

void Readout::fixSize() {
    if (!designedLimits_) designedLimits_ = std::make_pair(minimumSize(), maximumSize());
    // A label's hint grows to its minimum size, so it is measured within the resource's own
    // limits, for the text shown and for the widest number (a new text recomputes it).
    fixedSize_.reset();
    setMinimumSize(designedLimits_->first);
    setMaximumSize(designedLimits_->second);
    const QString shown = text();
    setText(kWidestValue);
    QSize size = QLabel::sizeHint();
    setText(shown);
    size = size.expandedTo(QLabel::sizeHint()).expandedTo(designedLimits_->first);
    fixedSize_ = size;
    setFixedSize(size);
}

void Readout::textSet() {
    // Up to five digits never take more room than the largest number.
    const QString shown = text();
    const bool digits =
        std::all_of(shown.begin(), shown.end(), [](QChar c) { return c.isDigit(); });
    if (!digits || shown.size() > kWidestValue.size()) fixSize();
    if (!holdOff_.isActive()) announceIfChanged();
}

bool Readout::event(QEvent* event) {
    const bool handled = QLabel::event(event);
    // Sizes are known once polished (a style sheet's border and padding count), and change
    // with the font and the style.
    switch (event->type()) {
        case QEvent::Polish:
            fixSize();
            break;
        case QEvent::FontChange:
        case QEvent::StyleChange:
            // Before the polish the resource is still setting its properties.
            if (designedLimits_) fixSize();
            break;
        default:
            break;
    }
    // It draws every pixel of its rectangle (see paintEvent); a style sheet's polish says
    // otherwise each time.
    if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange)
        setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

Readout::Look Readout::look() const {
    return {geometry(), devicePixelRatioF(), styleSheet(), palette().cacheKey(), isEnabled()};
}

// What a label draws under its text: the parent's background (and frame) at this place,
// then its own styled box and border.
void Readout::takeBackground() {
    const qreal ratio = devicePixelRatioF();
    background_ = QPixmap(size() * ratio);
    background_.setDevicePixelRatio(ratio);
    background_.fill(palette().color(QPalette::Window));
    QPainter painter(&background_);
    if (QWidget* parent = parentWidget())
        parent->render(&painter, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    drawFrame(&painter);
}

// The text as QLabel places and draws plain text.
void Readout::drawValue(QPainter& painter) {
    const QString shown = text();
    QRect area = contentsRect();
    area.adjust(margin(), margin(), -margin(), -margin());
    const Qt::LayoutDirection direction = shown.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const int align = QStyle::visualAlignment(direction, alignment());
    int indentation = indent();
    if (indentation < 0 && frameWidth())
        indentation = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin();
    if (indentation > 0) {
        if (align & Qt::AlignLeft) area.setLeft(area.left() + indentation);
        if (align & Qt::AlignRight) area.setRight(area.right() - indentation);
        if (align & Qt::AlignTop) area.setTop(area.top() + indentation);
        if (align & Qt::AlignBottom) area.setBottom(area.bottom() - indentation);
    }
    QStyleOption option;
    option.initFrom(this);
    const int flags = align | (direction == Qt::LeftToRight ? Qt::TextForceLeftToRight
                                                            : Qt::TextForceRightToLeft);
    style()->drawItemText(&painter, area, flags, option.palette, isEnabled(), shown,
                          foregroundRole());
}

// A label's text has no change signal: a value set other than through SetCtrlVal is noticed
// when it is drawn, which is also when a sighted operator first sees it.
void Readout::paintEvent(QPaintEvent* event) {
    const Look now = look();
    if (!(now == look_) || background_.isNull()) {
        takeBackground();
        look_ = now;
    }
    const bool rich = textFormat() == Qt::RichText ||
                      (textFormat() == Qt::AutoText && Qt::mightBeRichText(text()));
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, background_);
        if (!rich) drawValue(painter);
    }
    // Rich text is QLabel's business (its frame, drawn again, matches the picture).
    if (rich) QLabel::paintEvent(event);
    // What the panel shows when it appears is read with the panel, not announced (a drawing
    // made before the panel is shown is not its appearance).
    if (!announced_ && isVisible()) announced_ = text();
    if (!holdOff_.isActive()) announceIfChanged();
}

void Readout::announceIfChanged() {
    if (!announced_ || text() == *announced_) return;
    announced_ = text();
    const QVariant value = ShownValue(this);
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);  // returns at once when no reader listens
    emit valueAnnounced(value);
    holdOff_.start();  // later values wait, and only the newest of them is told
}

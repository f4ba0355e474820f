// A numeric read-out: a label showing one value of the monitor (TOP1, a maximum, Count ...).
// Assistive technology gets the read-out's accessible name ("TOP1") as its name and the
// number as its value, and hears of a new number at most a few times a second however fast
// the monitor writes them. It is set like any label (SetCtrlVal sets its text).
//
// A new value repaints the read-out many times a second, so it keeps a picture of what lies
// under its value (the parent's background and frame, its own styled box and border) and
// draws the value onto that: the box's rounded border is not drawn again for each value,
// and the parent is not repainted under it.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QTimer>
#include <optional>
#include <utility>

class Readout : public QLabel {
    Q_OBJECT

  public:
    // Least time between two announcements of a new value.
    static constexpr int kAnnounceIntervalMs = 250;

    explicit Readout(QWidget* parent = nullptr);

    // Wide enough for the largest 16-bit number whatever it shows now.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The read-out's size is fixed at that hint, so a new value does not make the window
    // lay itself out again (a label whose size may change asks for that on every new text).
    // Called after a new text: a text wider than the largest number resizes it, and the new
    // value is told (within the hold-off) without waiting for the window's next frame.
    void textSet();

  signals:
    // A new value was told to assistive technology (at most once per interval).
    void valueAnnounced(const QVariant& value);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // What the picture under the value depends on.
    struct Look {
        QRect geometry;
        qreal ratio = 0;
        QString styleSheet;
        qint64 palette = 0;
        bool enabled = false;
        bool operator==(const Look&) const = default;
    };

    Look look() const;
    void takeBackground();
    void drawValue(QPainter& painter);
    QSize holdingWidest(QSize size) const;
    void fixSize();
    void announceIfChanged();

    QTimer holdOff_;
    std::optional<std::pair<QSize, QSize>> designedLimits_;  // the resource's minimum, maximum
    std::optional<QSize> fixedSize_;
    std::optional<QString> announced_;  // none until first shown
    QPixmap background_;
    Look look_;  // what the background shows
};

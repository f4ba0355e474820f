// A numeric read-out: a label showing one value of the monitor (TOP1, a maximum, Count ...).
// Assistive technology gets the read-out's accessible name ("TOP1") as its name and the
// number as its value, and hears of a new number at most a few times a second however fast
// the monitor writes them. It is set like any label (SetCtrlVal sets its text).
#pragma once

#include <QLabel>
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
    QSize holdingWidest(QSize size) const;
    void fixSize();
    void announceIfChanged();

    QTimer holdOff_;
    std::optional<std::pair<QSize, QSize>> designedLimits_;  // the resource's minimum, maximum
    std::optional<QSize> fixedSize_;
    std::optional<QString> announced_;  // none until first shown
};

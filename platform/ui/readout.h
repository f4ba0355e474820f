// A numeric read-out: a label showing one value of the monitor (TOP1, a maximum, Count ...).
// Assistive technology gets the read-out's accessible name ("TOP1") as its name and the
// number as its value, and hears of a new number at most a few times a second however fast
// the monitor writes them. It is set like any label (SetCtrlVal sets its text).
#pragma once

#include <QLabel>
#include <QTimer>
#include <optional>

class Readout : public QLabel {
    Q_OBJECT

  public:
    // Least time between two announcements of a new value.
    static constexpr int kAnnounceIntervalMs = 250;

    explicit Readout(QWidget* parent = nullptr);

    // Wide enough for the largest 16-bit number whatever it shows now.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // A new value was told to assistive technology (at most once per interval).
    void valueAnnounced(const QVariant& value);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QSize holdingWidest(QSize size) const;
    void announceIfChanged();

    QTimer holdOff_;
    std::optional<QString> announced_;  // none until first shown
};

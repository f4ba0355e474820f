// A round indicator lamp: bright when on, dark when off.
#pragma once

#include <QColor>
#include <QWidget>

class Led : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn WRITE setOn)

  public:
    explicit Led(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);

    QSize sizeHint() const override { return {24, 24}; }
    QSize minimumSizeHint() const override { return {14, 14}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool on_ = false;
    static inline const QColor kOnColor{0x20, 0xe0, 0x30};
};

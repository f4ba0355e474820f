// A round indicator lamp: bright when on, dark when off.
#pragma once

#include <QColor>
#include <QWidget>

class Led : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn WRITE setOn)
    Q_PROPERTY(QColor onColor READ onColor WRITE setOnColor)

  public:
    explicit Led(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);
    QColor onColor() const { return onColor_; }
    void setOnColor(const QColor& color);

    QSize sizeHint() const override { return {24, 24}; }
    QSize minimumSizeHint() const override { return {14, 14}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool on_ = false;
    QColor onColor_{0x20, 0xe0, 0x30};
};

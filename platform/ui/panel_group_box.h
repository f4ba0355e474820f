// A group box that keeps a picture of its frame and title. The read-outs and fields inside
// a panel's group boxes change many times a second while the monitor runs, and each change
// repaints the part of the box under them: drawing the styled frame every time cost more
// than the read-outs themselves. The picture is drawn again only when what the box shows
// changes (size, title, state, palette, font, style).
#pragma once

#include <QGroupBox>
#include <QPixmap>
#include <QRect>
#include <QString>

class PanelGroupBox : public QGroupBox {
    Q_OBJECT

  public:
    explicit PanelGroupBox(QWidget* parent = nullptr) : QGroupBox(parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
    QString shows_;  // what the picture shows, as a key
    QRect title_;    // where the title goes
};

// A QUiLoader that also builds the instrument widgets (StripChart, DataGraph, Led, Readout)
// the panel resource declares as custom widgets, which plain QUiLoader would build as their
// base class, and group boxes that keep a picture of their frame (PanelGroupBox).
#pragma once

#include <QUiLoader>

namespace kvui {

class PanelUiLoader : public QUiLoader {
    Q_OBJECT

  public:
    explicit PanelUiLoader(QObject* parent = nullptr);

    QWidget* createWidget(const QString& className, QWidget* parent = nullptr,
                          const QString& name = QString()) override;
};

// Where a panel's controls sit: below its menu bar, and scrolled with them when the window is
// smaller than they need (the widget inside the panel's scroll area); the panel itself when
// it has none. Controls made at run time are placed here.
QWidget* ClientArea(QWidget* panel);

}  // namespace kvui

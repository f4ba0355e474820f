// A QUiLoader that also builds the instrument widgets (StripChart, DataGraph, Led) the panel
// resource declares as custom widgets; plain QUiLoader would fall back to their base class.
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

}  // namespace kvui

#include "platform/ui/panel_dock.h"

#include <QBoxLayout>
#include <QEvent>
#include <QScrollArea>
#include <QSplitter>
#include <QWidget>
#include <algorithm>

#include "platform/ui/window_fit.h"

namespace kvui {

namespace {

// Gives the controls their whole height while the pane is shown (the window's room on the
// screen allowing), and the pane what is left; hidden, the pane takes nothing.
class ControlsKeeper : public QObject {
  public:
    ControlsKeeper(QWidget* panel, QSplitter* splitter, QScrollArea* controls, QWidget* pane)
        : QObject(pane), panel_(panel), splitter_(splitter), controls_(controls), pane_(pane) {
        pane->installEventFilter(this);
        panel->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool paneChange =
            watched == pane_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide);
        const bool panelShown = watched == panel_ && event->type() == QEvent::Show;
        if (paneChange || panelShown) keepControls();
        return false;
    }

  private:
    static constexpr int kPaneFloor = 110;

    void keepControls() {
        if (pane_->isHidden()) {
            controls_->setMinimumHeight(0);
            return;
        }
        const QWidget* client = controls_->widget();
        const int needed =
            (client ? client->minimumSizeHint().height() : 0) + 2 * controls_->frameWidth();
        // What the window can be on its screen, less what lies around the splitter (menu bar,
        // status line) and the pane's own least.
        const QMargins frame = FrameMargins(panel_);
        const int window = AvailableArea(panel_).height() - frame.top() - frame.bottom();
        const int around = panel_->height() - splitter_->height();
        // On a low screen the controls come first: the pane may shrink below its usual
        // least, down to a header and a row or so.
        pane_->setMinimumHeight(0);
        const int paneLeast = std::min(pane_->minimumSizeHint().height(), kPaneFloor);
        pane_->setMinimumHeight(paneLeast);
        const int room = window - around - splitter_->handleWidth() - paneLeast;
        const int kept = std::max(0, std::min(needed, room));
        controls_->setMinimumHeight(kept);
        // A window too low for both grows, as far as its screen allows (the panel's own
        // minimum size keeps its layout from growing it).
        const int wanted = around + kept + splitter_->handleWidth() + paneLeast;
        if (panel_->isVisible() && panel_->height() < wanted) {
            const QRect grown(panel_->geometry().topLeft(),
                              QSize(panel_->width(), std::min(wanted, window)));
            panel_->setGeometry(FitInside(grown, frame, AvailableArea(panel_)));
        }
        // The pane starts with what the controls leave, up to what it would like.
        const int total = splitter_->height() - splitter_->handleWidth();
        const int pane =
            std::clamp(total - kept, paneLeast, std::max(paneLeast, pane_->sizeHint().height()));
        splitter_->setSizes({total - pane, pane});
    }

    QWidget* panel_;
    QSplitter* splitter_;
    QScrollArea* controls_;
    QWidget* pane_;
};

}  // namespace

void DockBelowControls(QWidget* panel, QWidget* pane) {
    auto* controls = panel->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    auto* layout = qobject_cast<QBoxLayout*>(panel->layout());
    const int index = layout ? layout->indexOf(controls) : -1;
    if (controls == nullptr || index < 0) return;
    const int stretch = layout->stretch(index);
    auto* splitter = new QSplitter(Qt::Vertical, panel);
    splitter->setObjectName(QStringLiteral("panelDock"));
    splitter->setChildrenCollapsible(false);
    layout->removeWidget(controls);
    splitter->addWidget(controls);
    splitter->addWidget(pane);
    // A larger window gives its extra height to the controls (the charts); the pane keeps
    // what it was given or dragged to.
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    layout->insertWidget(index, splitter, stretch);
    pane->hide();
    new ControlsKeeper(panel, splitter, controls, pane);
}

}  // namespace kvui

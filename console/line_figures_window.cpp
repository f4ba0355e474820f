#include "console/line_figures_window.h"

#include <QAction>
#include <QFormLayout>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "console/menus.h"
#include "console/startup.h"
#include "link/frame.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"

namespace kervano {

namespace {

constexpr int kRefreshMs = 500;
constexpr double kRateWindowSeconds = 5.0;
constexpr double kBaud = 19200.0;
constexpr double kBitsPerByte = 10.0;

struct FiguresWindow {
    QPointer<QWidget> window;
    std::vector<QLabel*> values;
};

FiguresWindow& FiguresState() {
    static FiguresWindow state;
    return state;
}

std::string Fixed(double value, const char* unit) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f%s", value, unit);
    return text;
}

void Refresh() {
    FiguresWindow& state = FiguresState();
    if (!state.window) return;
    const auto rows = LineFigureRows(lineFigures, FramesPerSecond(Timer(), kRateWindowSeconds),
                                     MedianReplySeconds());
    for (size_t i = 0; i < rows.size() && i < state.values.size(); ++i) {
        state.values[i]->setText(QString::fromStdString(rows[i].second));
    }
}

QWidget* CreateFiguresWindow(QWidget* panel) {
    FiguresWindow& state = FiguresState();
    auto* w = new QWidget(panel, Qt::Window);
    w->setObjectName(QStringLiteral("lineFiguresWindow"));
    w->setWindowTitle(QStringLiteral("Line figures"));
    auto* form = new QFormLayout(w);
    state.values.clear();
    for (const auto& [name, value] : LineFigureRows(LineFigures{}, -1.0, -1.0)) {
        auto* label = new QLabel(QString::fromStdString(value), w);
        label->setObjectName(QStringLiteral("lineFigure%1").arg(state.values.size()));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromStdString(name) + QLatin1Char(':'), label);
        state.values.push_back(label);
    }
    // Runs only while the window is shown: a closed window costs nothing.
    auto* timer = new QTimer(w);
    timer->setObjectName(QStringLiteral("lineFiguresTimer"));
    timer->setInterval(kRefreshMs);
    QObject::connect(timer, &QTimer::timeout, [] { Refresh(); });
    struct ShowHide : QObject {
        QTimer* timer;
        explicit ShowHide(QTimer* t) : QObject(t), timer(t) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show) {
                Refresh();
                timer->start();
            } else if (event->type() == QEvent::Hide) {
                timer->stop();
            }
            return false;
        }
    };
    w->installEventFilter(new ShowHide(timer));
    return w;
}

}  // namespace

double LineLimitPerSecond() {
    return kBaud / (kBitsPerByte * 2.0 * kFrameBytes);
}

std::vector<std::pair<std::string, std::string>> LineFigureRows(const LineFigures& figures,
                                                                double rate, double median) {
    return {
        {"Exchanges a second", rate < 0.0 ? std::string("-") : Fixed(rate, "")},
        {"The line's limit", Fixed(LineLimitPerSecond(), " a second (19200 baud)")},
        {"Frames sent", std::to_string(figures.framesSent)},
        {"Replies", std::to_string(figures.replies)},
        {"Replies missing (time-outs)", std::to_string(figures.repliesMissing)},
        {"Reads set aside", std::to_string(figures.framesSetAside) + " (" +
                                std::to_string(figures.bytesSetAside) + " bytes)"},
        {"Median reply time", median < 0.0 ? std::string("-") : Fixed(median * 1000.0, " ms")},
    };
}

void ShowLineFigures() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr) return;
    FiguresWindow& state = FiguresState();
    if (!state.window) state.window = CreateFiguresWindow(panel);
    state.window->show();
    state.window->raise();
    state.window->activateWindow();
}

void InstallLineFiguresCommand() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr || PanelMenu(MENU_VIEW) == nullptr) return;
    auto* action = new QAction(QStringLiteral("&Line figures..."), panel);
    action->setObjectName(QStringLiteral("actionLineFigures"));
    AddPanelMenuAction(MENU_VIEW, action);
    QObject::connect(action, &QAction::triggered, [] { ShowLineFigures(); });
}

}  // namespace kervano

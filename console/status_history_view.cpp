#include "console/status_history_view.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "console/startup.h"
#include "console/status_history.h"
#include "platform/ui/qt_panel_access.h"

namespace kervano {

namespace {

QPointer<QWidget> window;
QPointer<QPlainTextEdit> lines;

// Status texts are Latin-1, as everything the panel shows.
QString LineOf(const StatusHistoryEntry& entry) {
    return QString::fromLatin1(StatusHistoryLine(entry).c_str());
}

void Refill() {
    if (!lines) return;
    lines->clear();
    for (const StatusHistoryEntry& entry : StatusHistory()) lines->appendPlainText(LineOf(entry));
}

// Keeps the open window current: a new text is appended (the view keeps its place unless it
// was at the end), a cleared history empties it.
void OnHistoryChanged(const StatusHistoryEntry* added) {
    if (!lines) return;
    if (added == nullptr) {
        lines->clear();
    } else {
        lines->appendPlainText(LineOf(*added));
    }
}

QWidget* CreateHistoryWindow(QWidget* panel) {
    auto* w = new QWidget(panel, Qt::Window);
    w->setObjectName(QStringLiteral("statusHistoryWindow"));
    w->setWindowTitle(QStringLiteral("Status history"));
    w->setAttribute(Qt::WA_DeleteOnClose, false);

    lines = new QPlainTextEdit(w);
    lines->setObjectName(QStringLiteral("statusHistoryLines"));
    lines->setAccessibleName(QStringLiteral("Status history"));
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines->setMaximumBlockCount(kStatusHistorySize);
    lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* copy = new QPushButton(QStringLiteral("&Copy"), w);
    copy->setObjectName(QStringLiteral("statusHistoryCopy"));
    copy->setToolTip(QStringLiteral("Copy every line to the clipboard"));
    QObject::connect(copy, &QPushButton::clicked, [] {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(StatusHistoryText().c_str()));
    });
    auto* clear = new QPushButton(QStringLiteral("C&lear"), w);
    clear->setObjectName(QStringLiteral("statusHistoryClear"));
    QObject::connect(clear, &QPushButton::clicked, [] { ClearStatusHistory(); });
    auto* close = new QPushButton(QStringLiteral("Close"), w);
    QObject::connect(close, &QPushButton::clicked, w, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(w);
    layout->addWidget(lines);
    layout->addLayout(buttons);
    w->resize(560, 320);

    SetStatusHistoryListener(OnHistoryChanged);
    return w;
}

}  // namespace

void ShowStatusHistory() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr) return;
    if (!window || window->parentWidget() != panel) {
        delete window;
        window = CreateHistoryWindow(panel);
    }
    Refill();
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace kervano

#include "console/help_dialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtGlobal>
#include <algorithm>
#include <utility>
#include <vector>

#include "console/startup.h"
#include "platform/ui/qt_panel_access.h"

namespace kervano {

namespace {

// Built into the program from the repository's LICENSE file.
const char* const kLicenceResource = ":/kervano-scope/LICENSE";

QString LicenceText() {
    QFile file(QString::fromLatin1(kLicenceResource));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// "&Open parameters..." -> "Open parameters"
QString Plain(QString text) {
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QLatin1String("..."))) text.chop(3);
    return text;
}

QDialog* NewDialog(const char* name, const QString& title) {
    auto* dialog = new QDialog(PanelWidget(panelHandle));
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog;
}

void AddAbove(QDialog* dialog, QWidget* w) {
    auto* layout = static_cast<QVBoxLayout*>(dialog->layout());
    layout->insertWidget(layout->count() - 1, w);
}

using ShortcutRows = std::vector<std::pair<QString, QString>>;

// Every menu command with its keys, every menu with its Alt key, then the mnemonics of the
// panel's own controls.
ShortcutRows CollectShortcuts(QWidget* panel) {
    ShortcutRows rows;
    const auto* bar = panel->findChild<QMenuBar*>();
    if (bar) {
        for (QAction* menuAction : bar->actions()) {
            QMenu* menu = menuAction->menu();
            if (!menu) continue;
            const QString title = Plain(menu->title());
            for (QAction* a : menu->actions()) {
                QStringList keys;
                for (const QKeySequence& k : a->shortcuts())
                    keys << k.toString(QKeySequence::NativeText);
                if (!keys.isEmpty())
                    rows.emplace_back(keys.join(QStringLiteral(", ")),
                                      title + QStringLiteral(" > ") + Plain(a->text()));
            }
        }
        for (QAction* menuAction : bar->actions()) {
            const QKeySequence key = QKeySequence::mnemonic(menuAction->text());
            if (!key.isEmpty())
                rows.emplace_back(key.toString(QKeySequence::NativeText),
                                  Plain(menuAction->text()) + QStringLiteral(" menu"));
        }
    }
    for (QWidget* w : panel->findChildren<QWidget*>()) {
        if (w->window() != panel) continue;  // an open dialog's buttons are not the panel's
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            text = button->text();
        else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            text = label->text();
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            text = group->title();
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty()) {
            const char* kind = qobject_cast<QAbstractButton*>(w) ? " button" : "";
            rows.emplace_back(key.toString(QKeySequence::NativeText),
                              Plain(text) + QLatin1String(kind));
        }
    }
    rows.emplace_back(QStringLiteral("Tab, Shift+Tab"), QStringLiteral("Next, previous control"));
    rows.emplace_back(QStringLiteral("Space, Enter"), QStringLiteral("Press the focused button"));
    return rows;
}

}  // namespace

QWidget* ShowAboutBox() {
    QDialog* dialog = NewDialog("aboutBox", QStringLiteral("About kervano-scope"));
    auto* heading = new QLabel(
        QStringLiteral("<b>kervano-scope %1</b><br>"
                       "Service and tuning tool for the KERVANO two-channel sensor controller.<br>"
                       "Qt %2 (built with Qt %3)")
            .arg(QStringLiteral(KV_VERSION), QString::fromLatin1(qVersion()),
                 QStringLiteral(QT_VERSION_STR)),
        dialog);
    heading->setObjectName(QStringLiteral("aboutText"));
    heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    AddAbove(dialog, heading);

    auto* licence = new QPlainTextEdit(LicenceText(), dialog);
    licence->setObjectName(QStringLiteral("licenceText"));
    licence->setReadOnly(true);
    licence->setLineWrapMode(QPlainTextEdit::NoWrap);  // the licence keeps its own lines
    const QFontMetrics metrics(licence->font());
    licence->setMinimumSize(metrics.horizontalAdvance(QString(82, QLatin1Char('x'))),
                            metrics.lineSpacing() * 16);
    AddAbove(dialog, licence);

    auto* qt = new QLabel(
        QStringLiteral("Qt is used under the GNU Lesser General Public License v3 (LGPL-3.0)."),
        dialog);
    qt->setObjectName(QStringLiteral("qtLicenceText"));
    AddAbove(dialog, qt);
    dialog->open();
    return dialog;
}

QWidget* ShowKeyboardShortcuts() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr) return nullptr;
    if (auto* open = panel->findChild<QDialog*>(QStringLiteral("keyboardShortcuts"))) {
        open->raise();
        open->activateWindow();
        return open;
    }
    QDialog* dialog = NewDialog("keyboardShortcuts", QStringLiteral("Keyboard shortcuts"));
    const ShortcutRows rows = CollectShortcuts(panel);
    auto* table = new QTableWidget(static_cast<int>(rows.size()), 2, dialog);
    table->setObjectName(QStringLiteral("shortcutTable"));
    table->setHorizontalHeaderLabels({QStringLiteral("Keys"), QStringLiteral("Command")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        table->setItem(r, 0, new QTableWidgetItem(rows[r].first));
        table->setItem(r, 1, new QTableWidgetItem(rows[r].second));
    }
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    // Every row in view, as far as the screen allows.
    table->setMinimumSize(
        table->horizontalHeader()->length() + 60,
        std::min(table->verticalHeader()->length() + table->horizontalHeader()->height() + 4, 480));
    AddAbove(dialog, table);
    dialog->show();
    return dialog;
}

}  // namespace kervano

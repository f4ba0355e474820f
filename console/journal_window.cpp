#include "console/journal_window.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

#include "console/compare_enabled.h"
#include "console/journal_store.h"
#include "console/menus.h"
#include "console/qt_text.h"
#include "console/startup.h"
#include "params/panel_binding.h"
#include "params/param_table.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/status_line.h"

namespace kervano {

namespace {
enum ListColumn {
    COL_TIME,
    COL_COMMAND,
    COL_PORT,
    COL_DEVICE,
    COL_ADAPTER,
    COL_FIRMWARE,
    COL_STATUS
};

struct JournalWindow {
    QPointer<QWidget> window;
    QPointer<QLineEdit> filter;
    QPointer<QTreeWidget> list;
    QPointer<QTableWidget> values;
    QPointer<QPushButton> takeBefore, takeSent, copy;
};

JournalWindow& JournalWindowState() {
    static JournalWindow state;
    return state;
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.c_str());
}

// An item's key: this run's record k is k, the earlier record k is -1 - k (both lists only
// grow, so a key stays valid).
const JournalRecord* RecordOf(const QTreeWidgetItem* item) {
    if (item == nullptr) return nullptr;
    const int key = item->data(COL_TIME, Qt::UserRole).toInt();
    const auto& records = key >= 0 ? JournalOfThisRun() : EarlierJournalRecords();
    const size_t index = static_cast<size_t>(key >= 0 ? key : -1 - key);
    return index < records.size() ? &records[index] : nullptr;
}

const JournalRecord* Selected() {
    return JournalWindowState().list ? RecordOf(JournalWindowState().list->currentItem()) : nullptr;
}

bool Matches(const JournalRecord& record, const QString& filter) {
    for (const std::string* field : {&record.firmware, &record.device, &record.serialNumber})
        if (Utf8(*field).contains(filter, Qt::CaseInsensitive)) return true;
    return false;
}

void ApplyFilter() {
    JournalWindow& state = JournalWindowState();
    const QString filter = state.filter->text().trimmed();
    for (int i = 0; i < state.list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = state.list->topLevelItem(i);
        const JournalRecord* record = RecordOf(item);
        item->setHidden(record == nullptr || (!filter.isEmpty() && !Matches(*record, filter)));
    }
}

QTableWidgetItem* Cell(bool known, unsigned short value, bool changed = false) {
    auto* item = new QTableWidgetItem(known ? QString::fromLatin1(changed ? "* " : "") +
                                                  QString::number(value)
                                            : QStringLiteral("-"));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont font = item->font();
    font.setBold(changed);
    item->setFont(font);
    if (changed) item->setToolTip(QStringLiteral("sent a value RAM did not hold"));
    return item;
}

void ShowValues() {
    JournalWindow& state = JournalWindowState();
    const JournalRecord* record = Selected();
    for (int p = 0; p < kParameterCount; ++p) {
        unsigned short ram = 0, eeprom = 0, sent = 0;
        const bool ramKnown = record != nullptr && KnownParameter(record->ramBefore, p, &ram);
        const bool eepromKnown =
            record != nullptr && KnownParameter(record->eepromBefore, p, &eeprom);
        const bool wasSent = record != nullptr && JournalSentParameter(*record, p, &sent);
        state.values->setItem(p, 0, Cell(ramKnown, ram));
        state.values->setItem(p, 1, Cell(eepromKnown, eeprom));
        state.values->setItem(p, 2, Cell(wasSent, sent, wasSent && ramKnown && sent != ram));
    }
    state.takeBefore->setEnabled(record != nullptr &&
                                 (record->ramBefore.known[0] || record->ramBefore.known[1]));
    state.takeSent->setEnabled(record != nullptr && !record->packets.empty());
    state.copy->setEnabled(record != nullptr);
}

QTreeWidgetItem* ItemOf(const JournalRecord& record, int key) {
    auto* item = new QTreeWidgetItem(
        QStringList{Utf8(record.time), Utf8(record.command), Utf8(record.port), Utf8(record.device),
                    Utf8(record.serialNumber), Utf8(record.firmware), Utf8(record.status)});
    item->setData(COL_TIME, Qt::UserRole, key);
    return item;
}

// Newest first: this run's records, then the earlier runs'.
void FillJournal() {
    JournalWindow& state = JournalWindowState();
    if (!state.list) return;
    const int selected = state.list->currentItem() != nullptr
                             ? state.list->currentItem()->data(COL_TIME, Qt::UserRole).toInt()
                             : 0;
    const bool anySelected = state.list->currentItem() != nullptr;
    state.list->clear();
    QList<QTreeWidgetItem*> items;
    const auto& run = JournalOfThisRun();
    for (int k = static_cast<int>(run.size()) - 1; k >= 0; --k) items << ItemOf(run[k], k);
    const auto& earlier = EarlierJournalRecords();
    for (int k = static_cast<int>(earlier.size()) - 1; k >= 0; --k)
        items << ItemOf(earlier[k], -1 - k);
    state.list->addTopLevelItems(items);
    for (QTreeWidgetItem* item : items)
        if (anySelected && item->data(COL_TIME, Qt::UserRole).toInt() == selected)
            state.list->setCurrentItem(item);
    ApplyFilter();
    ShowValues();
}

void TakeRecord(bool sent) {
    const JournalRecord* record = Selected();
    if (record == nullptr) return;
    unsigned short values[kParameterCount];
    ReadPanelFields(values);
    for (int p = 0; p < kParameterCount; ++p) {
        unsigned short value = 0;
        if (sent ? JournalSentParameter(*record, p, &value)
                 : KnownParameter(record->ramBefore, p, &value))
            values[p] = value;
    }
    // The fields' marks then count them as edits not yet sent.
    WritePanelFields(values);
    ShowStatus(sent ? "Journal: sent values taken into the panel - not sent"
                    : "Journal: RAM values before taken into the panel - not sent");
}

QWidget* CreateJournalWindow(QWidget* panel) {
    JournalWindow& state = JournalWindowState();
    auto* w = new QWidget(panel, Qt::Window);
    w->setObjectName(QStringLiteral("journalWindow"));
    w->setWindowTitle(QStringLiteral("Journal of writes to the controller"));

    state.filter = new QLineEdit(w);
    state.filter->setObjectName(QStringLiteral("journalFilter"));
    state.filter->setPlaceholderText(QStringLiteral("Filter: firmware, device or adapter serial"));
    state.filter->setClearButtonEnabled(true);
    QObject::connect(state.filter, &QLineEdit::textChanged, [] { ApplyFilter(); });

    state.list = new QTreeWidget(w);
    state.list->setObjectName(QStringLiteral("journalList"));
    state.list->setRootIsDecorated(false);
    state.list->setHeaderLabels(
        {"time", "command", "port", "device", "adapter", "firmware", "status"});
    QObject::connect(state.list, &QTreeWidget::currentItemChanged, [] { ShowValues(); });

    state.values = new QTableWidget(kParameterCount, 3, w);
    state.values->setObjectName(QStringLiteral("journalValues"));
    state.values->setHorizontalHeaderLabels({"RAM before", "EEPROM before", "sent"});
    QStringList names;
    for (const ParameterEntry& entry : kParameterTable) names << QString::fromLatin1(entry.name);
    state.values->setVerticalHeaderLabels(names);
    state.values->setEditTriggers(QAbstractItemView::NoEditTriggers);
    state.values->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Rows of one height, bold values included, so all eighteen show at once.
    state.values->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    state.values->verticalHeader()->setDefaultSectionSize(w->fontMetrics().height() + 6);

    // The take buttons change the panel's fields: available when Get is.
    auto* commands = new QWidget(w);
    auto* row = new QHBoxLayout(commands);
    row->setContentsMargins(0, 0, 0, 0);
    state.takeBefore = NamedButton(commands, "journalTakeBefore", "Take RAM &before into panel");
    state.takeSent = NamedButton(commands, "journalTakeSent", "Take &sent values into panel");
    QObject::connect(state.takeBefore, &QPushButton::clicked, [] { TakeRecord(false); });
    QObject::connect(state.takeSent, &QPushButton::clicked, [] { TakeRecord(true); });
    row->addWidget(state.takeBefore);
    row->addWidget(state.takeSent);
    FollowGetButton(commands);
    state.copy = NamedButton(w, "journalCopy", "&Copy");
    QObject::connect(state.copy, &QPushButton::clicked, [] {
        if (const JournalRecord* record = Selected())
            QGuiApplication::clipboard()->setText(Utf8(JournalRecordText(*record)));
    });
    auto* close = NamedButton(w, "journalClose", "Close");
    QObject::connect(close, &QPushButton::clicked, w, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(commands);
    bottom->addWidget(state.copy);
    bottom->addStretch();
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(w);
    layout->addWidget(state.filter);
    layout->addWidget(state.list, 1);
    layout->addWidget(state.values, 2);
    layout->addLayout(bottom);
    w->resize(820, 660);
    return w;
}
}  // namespace

void ShowJournalWindow() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr) return;
    JournalWindow& state = JournalWindowState();
    if (!state.window || state.window->parentWidget() != panel) {
        delete state.window;
        state.window = CreateJournalWindow(panel);
    }
    FillJournal();
    if (state.list->currentItem() == nullptr && state.list->topLevelItemCount() > 0)
        state.list->setCurrentItem(state.list->topLevelItem(0));
    for (int c = 0; c < COL_STATUS; ++c) state.list->resizeColumnToContents(c);
    state.window->show();
    state.window->raise();
    state.window->activateWindow();
}

void InstallJournalWindow() {
    InstallJournalFile();
    SetJournalListener([] {
        if (JournalWindowState().window && JournalWindowState().window->isVisible()) FillJournal();
    });
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr || PanelMenu(MENU_VIEW) == nullptr) return;
    auto* action = new QAction(QStringLiteral("&Journal..."), panel);
    action->setObjectName(QStringLiteral("actionJournal"));
    QObject::connect(action, &QAction::triggered, [] { ShowJournalWindow(); });
    AddPanelMenuAction(MENU_VIEW, action);
}

}  // namespace kervano

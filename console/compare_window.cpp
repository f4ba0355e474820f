#include "console/compare_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <string>

#include "console/compare_enabled.h"
#include "console/compare_sources.h"
#include "console/qt_text.h"
#include "console/settings.h"
#include "console/startup.h"
#include "params/param_file.h"
#include "params/param_info.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/status_line.h"

namespace kervano {

namespace {

constexpr int kNoteColumn = kCompareSources + 1;
const QColor kDifferenceTint(0xff, 0xe0, 0x82);
const QColor kNotReadColour(0x75, 0x75, 0x75);

// The sources a button takes into the panel, and their buttons' texts.
struct TakeButton {
    int source;
    const char* name;
    const char* text;
};
constexpr TakeButton kTakeButtons[] = {
    {COMPARE_RAM, "compareTakeRam", "Take &RAM into panel"},
    {COMPARE_EEPROM, "compareTakeEeprom", "Take &EEPROM into panel"},
    {COMPARE_DEFAULT, "compareTakeDefault", "Take &defaults into panel"},
    {COMPARE_FILE, "compareTakeFile", "Take f&ile into panel"},
};

struct CompareWindow {
    QPointer<QWidget> window;
    QPointer<QTableWidget> table;
    QPointer<QLabel> summary;
    QPointer<QLabel> fileName;
    QPointer<QPushButton> take[kCompareSources];
    CompareTable shown;
    std::string filePath;  // the file of the file column, "" until one is chosen
    std::string fileRefusal;
    std::function<void()> readAgain;
};

CompareWindow& CompareState() {
    static CompareWindow state;
    return state;
}

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.c_str());
}

QString HeaderText(const CompareTable& table, int source) {
    QString text = QString::fromLatin1(CompareSourceName(source));
    if (ColumnNotRead(table, source)) text += QStringLiteral(" (not read)");
    return text;
}

QTableWidgetItem* ValueItem(const CompareTable& table, int source, int p) {
    const bool differs = CellDiffers(table, source, p);
    const std::string text = CellText(table, source, p);
    auto* item = new QTableWidgetItem(Latin1(differs ? "* " + text : text));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont font = item->font();
    if (differs) {
        font.setBold(true);
        item->setBackground(kDifferenceTint);
        item->setToolTip(QStringLiteral("differs from %1")
                             .arg(QString::fromLatin1(CompareSourceName(RowReference(table, p)))));
    } else if (text == kNotReadText) {
        font.setItalic(true);
        item->setForeground(kNotReadColour);
    }
    item->setFont(font);
    return item;
}

QTableWidgetItem* NameItem(const CompareTable& table, int p) {
    const bool differs = RowDiffers(table, p);
    auto* item = new QTableWidgetItem(QString::fromLatin1(differs ? "* " : "") +
                                      QString::fromLatin1(kParameterTable[p].name));
    item->setToolTip(Latin1(ParameterDescription(p)));
    QFont font = item->font();
    font.setBold(differs);
    item->setFont(font);
    return item;
}

void FillComparison() {
    CompareWindow& state = CompareState();
    if (!state.table) return;
    const CompareTable& table = state.shown;
    QStringList headers = {QStringLiteral("parameter")};
    for (int source = 0; source < kCompareSources; ++source) headers << HeaderText(table, source);
    headers << QStringLiteral("note");
    state.table->setHorizontalHeaderLabels(headers);
    for (int p = 0; p < kParameterCount; ++p) {
        state.table->setItem(p, 0, NameItem(table, p));
        for (int source = 0; source < kCompareSources; ++source)
            state.table->setItem(p, source + 1, ValueItem(table, source, p));
        state.table->setItem(p, kNoteColumn, new QTableWidgetItem(Latin1(RowNote(table, p))));
    }
    state.table->setColumnHidden(COMPARE_FILE + 1, !table.columns[COMPARE_FILE].shown);
    state.table->resizeColumnsToContents();
    state.table->resizeRowsToContents();
    state.table->setCurrentItem(nullptr);

    QString summary = Latin1(CompareSummary(table));
    if (!state.fileRefusal.empty())
        summary += QStringLiteral("\nfile: ") + Latin1(state.fileRefusal);
    state.summary->setText(summary);
    state.fileName->setText(state.filePath.empty()
                                ? QStringLiteral("no parameter file chosen")
                                : QString::fromLocal8Bit(state.filePath.c_str()));
    // A column is taken whole: RAM or EEPROM only when both of its packets came.
    for (const TakeButton& b : kTakeButtons) {
        const CompareColumn& column = table.columns[b.source];
        const bool whole = b.source == COMPARE_FILE ? column.shown : ColumnComplete(column);
        state.take[b.source]->setEnabled(whole);
    }
}

// The columns that are not read from the controller, as they stand now.
void RefreshLocalColumns() {
    CompareWindow& state = CompareState();
    state.shown.columns[COMPARE_PANEL] = PanelColumn();
    state.shown.columns[COMPARE_DEFAULT] = DefaultColumn();
    state.shown.columns[COMPARE_FILE] = CompareColumn{};
    state.fileRefusal.clear();
    if (!state.filePath.empty())
        state.shown.columns[COMPARE_FILE] = FileColumn(state.filePath, state.fileRefusal);
}

void ChooseFile() {
    char path[kPathBytes] = "";
    const std::string folder = ParamFileFolder();
    const int chosen =
        FileSelectPopup(folder.c_str(), kParamFileDefaultName, kParamFileFilter,
                        "Compare with parameter file", VAL_LOAD_BUTTON, 0, 1, 1, 0, path);
    if (chosen < 0) ShowStatus("File selection error - nothing loaded!");
    if (chosen <= 0) return;
    RememberParamFile(path);
    std::string refusal;
    const CompareColumn column = FileColumn(path, refusal);
    // A file that cannot be used changes nothing, as for Get.
    if (!refusal.empty()) {
        ShowStatus(refusal.c_str());
        return;
    }
    CompareWindow& state = CompareState();
    state.filePath = path;
    state.fileRefusal.clear();
    state.shown.columns[COMPARE_FILE] = column;
    FillComparison();
}

void TakeSource(int source) {
    CompareWindow& state = CompareState();
    TakeIntoPanel(state.shown.columns[source]);
    const std::string text = std::string("Compare: ") + CompareSourceName(source) +
                             " values taken into the panel - not sent";
    ShowStatus(text.c_str());
    state.shown.columns[COMPARE_PANEL] = PanelColumn();
    FillComparison();
}

QWidget* CreateCompareWindow(QWidget* panel) {
    CompareWindow& state = CompareState();
    auto* w = new QWidget(panel, Qt::Window);
    w->setObjectName(QStringLiteral("compareWindow"));
    w->setWindowTitle(QStringLiteral("Compare parameters"));

    state.summary = new QLabel(w);
    state.summary->setObjectName(QStringLiteral("compareSummary"));
    state.summary->setWordWrap(true);
    QFont bold = state.summary->font();
    bold.setBold(true);
    state.summary->setFont(bold);

    state.table = new QTableWidget(kParameterCount, kNoteColumn + 1, w);
    state.table->setObjectName(QStringLiteral("compareTable"));
    state.table->setAccessibleName(QStringLiteral("Parameters side by side"));
    state.table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    state.table->setSelectionMode(QAbstractItemView::NoSelection);
    state.table->verticalHeader()->setVisible(false);
    state.table->horizontalHeader()->setStretchLastSection(true);

    auto* choose = NamedButton(w, "compareChooseFile", "Choose &file...");
    QObject::connect(choose, &QPushButton::clicked, [] { ChooseFile(); });
    state.fileName = new QLabel(w);
    state.fileName->setObjectName(QStringLiteral("compareFileName"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(choose);
    fileRow->addWidget(state.fileName, 1);

    // The buttons that use the line or the panel's fields follow Get as a group; each take
    // button is enabled on its own when its column can be taken.
    auto* commands = new QWidget(w);
    auto* takeRow = new QHBoxLayout(commands);
    takeRow->setContentsMargins(0, 0, 0, 0);
    for (const TakeButton& b : kTakeButtons) {
        state.take[b.source] = NamedButton(commands, b.name, b.text);
        QObject::connect(state.take[b.source], &QPushButton::clicked,
                         [source = b.source] { TakeSource(source); });
        takeRow->addWidget(state.take[b.source]);
    }
    auto* again = NamedButton(commands, "compareReadAgain", "Read &again");
    QObject::connect(again, &QPushButton::clicked, [] {
        if (CompareState().readAgain) CompareState().readAgain();
    });
    takeRow->addStretch();
    takeRow->addWidget(again);
    FollowGetButton(commands);

    auto* close = NamedButton(w, "compareClose", "Close");
    QObject::connect(close, &QPushButton::clicked, w, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(commands, 1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(w);
    layout->addWidget(state.summary);
    layout->addWidget(state.table, 1);
    layout->addLayout(fileRow);
    layout->addLayout(bottom);
    w->resize(760, 500);
    return w;
}

}  // namespace

void ShowCompareWindow(const CompareColumn& ram, const CompareColumn& eeprom,
                       std::function<void()> readAgain) {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr) return;
    CompareWindow& state = CompareState();
    if (!state.window || state.window->parentWidget() != panel) {
        delete state.window;
        state.filePath.clear();
        state.window = CreateCompareWindow(panel);
    }
    state.readAgain = std::move(readAgain);
    state.shown.columns[COMPARE_RAM] = ram;
    state.shown.columns[COMPARE_EEPROM] = eeprom;
    RefreshLocalColumns();
    FillComparison();
    state.window->show();
    state.window->raise();
    state.window->activateWindow();
}

}  // namespace kervano

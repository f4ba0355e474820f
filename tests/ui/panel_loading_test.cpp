// Loading the panel resource: both panels, failures, the widgets behind every constant.
#include <QAccessible>
#include <QChartView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "platform/ui/data_graph.h"
#include "platform/ui/led.h"
#include "platform/ui/strip_chart.h"
#include "tests/support/ui/ui_readback.h"
#include "tests/ui/ui_test_support.h"

namespace {

bool IsPanelId(int id) {
    return id == PANEL || id == POPUP;
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

}  // namespace

TEST_F(PanelTest, MainPanelIsItsOwnWindowWithTheToolTitle) {
    QWidget* w = PanelWidget(panel_);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->parentWidget(), nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("KERVANO-Scope-trg V1.31"));
    EXPECT_EQ(w->size(), QSize(1280, 640));  // the designed size
}

TEST_F(PanelTest, EveryConstantNamesAWidgetThatScreenReadersCanName) {
    for (int i = 0; i < kPanelResourceNameCount; ++i) {
        const UiResourceName& entry = kPanelResourceNames[i];
        if (IsPanelId(entry.id)) continue;
        QWidget* w = CtrlWidget(panel_, entry.id);
        ASSERT_NE(w, nullptr) << entry.name;
        EXPECT_EQ(w->objectName(), QString::fromLatin1(entry.name));
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a11y, nullptr) << entry.name;
        EXPECT_FALSE(a11y->text(QAccessible::Name).trimmed().isEmpty()) << entry.name;
    }
}

TEST_F(PanelTest, ChartsAndLampsAreTheRealInstrumentWidgets) {
    for (int id : {PANEL_STRIPTOP, PANEL_STRIPBOT}) {
        EXPECT_NE(ctrl<StripChart>(id), nullptr) << id;
        EXPECT_NE(ctrl<QChartView>(id), nullptr) << id;
    }
    for (int id : {PANEL_GRAPHTOP, PANEL_GRAPHBOT}) {
        EXPECT_NE(ctrl<DataGraph>(id), nullptr) << id;
        EXPECT_NE(ctrl<QChartView>(id), nullptr) << id;
    }
    EXPECT_NE(ctrl<Led>(PANEL_LED1), nullptr);
    EXPECT_NE(ctrl<Led>(PANEL_LED2), nullptr);
}

TEST_F(PanelTest, GraphsStartHiddenBehindTheStripCharts) {
    EXPECT_TRUE(CtrlWidget(panel_, PANEL_GRAPHTOP)->isHidden());
    EXPECT_TRUE(CtrlWidget(panel_, PANEL_GRAPHBOT)->isHidden());
    EXPECT_TRUE(CtrlWidget(panel_, PANEL_STRIPTOP)->isVisible());
    int visible = -1;
    ASSERT_EQ(GetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_VISIBLE, &visible), 0);
    EXPECT_EQ(visible, 0);

    // Shown in place of the strip chart, the graph takes its place.
    SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_VISIBLE, 0);
    SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_VISIBLE, 1);
    QCoreApplication::processEvents();
    const QWidget* graph = CtrlWidget(panel_, PANEL_GRAPHTOP);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_GE(graph->width(), 300);
    EXPECT_GE(graph->height(), 180);
}

TEST_F(PanelTest, ParametersStartAtTheirDefaultsOnASixteenBitRange) {
    const std::pair<int, int> defaults[] = {
        {PANEL_POWERTOP, 500}, {PANEL_POWERBOT, 500}, {PANEL_POWERDIG, 500}, {PANEL_REFTOP, 500},
        {PANEL_REFBOT, 500},   {PANEL_TOLTOP, 50},    {PANEL_TOLBOT, 50},    {PANEL_TRIGTOP, 950},
        {PANEL_TRIGBOT, 950},  {PANEL_HYSTTOP, 10},   {PANEL_HYSTBOT, 10},   {PANEL_EVALMODE, 0},
        {PANEL_HWMODE, 1},     {PANEL_MAXMODE, 0},    {PANEL_POLARITY, 1},   {PANEL_HOLD, 100},
        {PANEL_DIGCNT, 0},     {PANEL_DIGMODE, 0}};
    for (const auto& [id, value] : defaults) {
        auto* spin = ctrl<QSpinBox>(id);
        ASSERT_NE(spin, nullptr) << id;
        EXPECT_EQ(spin->minimum(), 0) << id;
        EXPECT_EQ(spin->maximum(), 65535) << id;
        unsigned short v = 0;
        ASSERT_EQ(GetCtrlVal(panel_, id, &v), 0);
        EXPECT_EQ(v, value) << id;
    }
}

TEST_F(PanelTest, TransferTargetsStartOnRamAndAreNotAutoExclusive) {
    int ram = -1, eeprom = -1, file = -1;
    GetCtrlVal(panel_, PANEL_RBTRAM, &ram);
    GetCtrlVal(panel_, PANEL_RBTEEPROM, &eeprom);
    GetCtrlVal(panel_, PANEL_RBTFILE, &file);
    EXPECT_EQ(ram, 1);
    EXPECT_EQ(eeprom, 0);
    EXPECT_EQ(file, 0);
    for (int id : {PANEL_RBTRAM, PANEL_RBTEEPROM, PANEL_RBTFILE})
        EXPECT_FALSE(ctrl<QRadioButton>(id)->autoExclusive()) << id;
}

TEST_F(PanelTest, ViewModesAreListedWithValuesZeroToTwo) {
    auto* view = ctrl<QComboBox>(PANEL_VIEWMODE);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->count(), 3);
    EXPECT_EQ(view->itemText(1), QStringLiteral("normalised"));
    for (int value : {2, 0, 1}) {
        ASSERT_EQ(SetCtrlVal(panel_, PANEL_VIEWMODE, value), 0);
        int read = -1;
        ASSERT_EQ(GetCtrlVal(panel_, PANEL_VIEWMODE, &read), 0);
        EXPECT_EQ(read, value);
    }
}

TEST_F(PanelTest, ControlsLeaveTheTitleBannerCornerFree) {
    const QRect banner(30, 19, 340, 30);
    QWidget* panel = PanelWidget(panel_);
    for (int i = 0; i < kPanelResourceNameCount; ++i) {
        QWidget* w = CtrlWidget(panel_, kPanelResourceNames[i].id);
        if (!w || !w->isVisible()) continue;
        const QRect area(w->mapTo(panel, QPoint(0, 0)), w->size());
        EXPECT_FALSE(area.intersects(banner)) << kPanelResourceNames[i].name;
    }
}

TEST_F(PanelTest, DiscardedPanelIsDeletedAndItsHandleRefused) {
    QPointer<QWidget> widget = PanelWidget(panel_);
    ASSERT_EQ(DiscardPanel(panel_), 0);
    FlushDeletions();
    EXPECT_TRUE(widget.isNull());
    EXPECT_EQ(PanelWidget(panel_), nullptr);
    EXPECT_EQ(CtrlWidget(panel_, PANEL_STATUS), nullptr);
    EXPECT_EQ(DisplayPanel(panel_), kUiError);
    EXPECT_EQ(SetCtrlVal(panel_, PANEL_STATUS, "x"), kUiError);
    EXPECT_EQ(DiscardPanel(panel_), kUiError);
    panel_ = -1;
}

TEST(PanelLoading, PopupLoadsAsASeparateHiddenWindow) {
    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    const int main = LoadPanel(0, PanelResourcePath().c_str(), PANEL);
    const int popup = LoadPanel(0, PanelResourcePath().c_str(), POPUP);
    ASSERT_GT(main, 0);
    ASSERT_GT(popup, 0);
    EXPECT_NE(main, popup);
    QWidget* w = PanelWidget(popup);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_FALSE(w->isVisible());
    EXPECT_NE(w, PanelWidget(main));
    // The main panel's controls belong to the main panel only.
    EXPECT_EQ(CtrlWidget(popup, PANEL_STATUS), nullptr);
    EXPECT_NE(CtrlWidget(main, PANEL_STATUS), nullptr);
    DiscardPanel(popup);
    DiscardPanel(main);
    FlushDeletions();
}

TEST(PanelLoading, MissingOrBrokenResourcesGiveNegativeHandles) {
    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_LT(LoadPanel(0, dir.filePath("absent.ui").toLocal8Bit().constData(), PANEL), 0);
    EXPECT_LT(LoadPanel(0, nullptr, PANEL), 0);
    EXPECT_LT(LoadPanel(0, "", PANEL), 0);

    const QString noPanel = dir.filePath("other.ui");
    WriteFile(noPanel,
              "<?xml version=\"1.0\"?><ui version=\"4.0\"><class>Root</class>"
              "<widget class=\"QWidget\" name=\"Root\">"
              "<widget class=\"QWidget\" name=\"SOMETHING_ELSE\"/></widget></ui>");
    EXPECT_LT(LoadPanel(0, noPanel.toLocal8Bit().constData(), PANEL), 0);

    const QString garbage = dir.filePath("garbage.ui");
    WriteFile(garbage, "this is not a panel resource <<<");
    EXPECT_LT(LoadPanel(0, garbage.toLocal8Bit().constData(), PANEL), 0);

    // A constant without a registered name names no panel.
    EXPECT_LT(LoadPanel(0, PanelResourcePath().c_str(), 4242), 0);
    // Nor can a panel be a child of a panel that does not exist.
    EXPECT_LT(LoadPanel(9999, PanelResourcePath().c_str(), PANEL), 0);
}

TEST(PanelLoading, AResourceChangedBetweenTwoLoadsIsReadAgain) {
    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("panels.ui");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(PanelResourcePath()), path));
    const QByteArray name = path.toLocal8Bit();
    const int panel = LoadPanel(0, name.constData(), PANEL);
    ASSERT_GE(panel, 0);
    // The popup built along with the panel belongs to the old file, which had one.
    QFile::remove(path);
    WriteFile(path,
              "<?xml version=\"1.0\"?><ui version=\"4.0\"><class>Root</class>"
              "<widget class=\"QWidget\" name=\"Root\">"
              "<widget class=\"QWidget\" name=\"PANEL\"/></widget></ui>");
    EXPECT_LT(LoadPanel(0, name.constData(), POPUP), 0);
    DiscardPanel(panel);
    FlushDeletions();
}

TEST(PanelLoading, RelativeNamesAreFoundBesideTheProgram) {
    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    const QString name = QStringLiteral("kv_ui_test_%1.ui").arg(QCoreApplication::applicationPid());
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    ASSERT_TRUE(QFile::copy(QString::fromStdString(PanelResourcePath()), path));
    const int handle = LoadPanel(0, name.toLocal8Bit().constData(), PANEL);
    QFile::remove(path);
    EXPECT_GT(handle, 0);
    DiscardPanel(handle);
    FlushDeletions();
}

TEST(PanelLoading, UnknownHandlesAndControlsAreRefused) {
    int value = 0;
    EXPECT_EQ(DisplayPanel(777), kUiError);
    EXPECT_EQ(HidePanel(777), kUiError);
    EXPECT_EQ(InstallPanelCallback(777, nullptr, nullptr), kUiError);
    EXPECT_EQ(GetCtrlVal(777, PANEL_REFTOP, &value), kUiError);
    EXPECT_EQ(PanelWidget(777), nullptr);

    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    const int panel = LoadPanel(0, PanelResourcePath().c_str(), PANEL);
    ASSERT_GT(panel, 0);
    EXPECT_EQ(GetCtrlVal(panel, 999, &value), kUiError);
    EXPECT_EQ(SetCtrlVal(panel, 999, 1), kUiError);
    EXPECT_EQ(InstallCtrlCallback(panel, 999, RecordEvent, nullptr), kUiError);
    EXPECT_EQ(SetCtrlAttribute(panel, 999, ATTR_DIMMED, 1), kUiError);
    EXPECT_EQ(PlotXY(panel, 999, nullptr, nullptr, 0, VAL_DOUBLE, VAL_DOUBLE, 0, 0, 0, 1, 0),
              kUiError);
    DiscardPanel(panel);
    FlushDeletions();
}

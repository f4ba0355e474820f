// Controller > Compare... on the real panel against the emulator on the simulated line: the
// window's columns hold what the controller's memories, the fields, the defaults and a file
// hold, a difference is marked without relying on colour, a column can be taken into the
// fields, and neither the variables nor (until then) the fields change.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "console/compare_command.h"
#include "console/compare_table.h"
#include "console/menus.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/transactions.h"
#include "params/panel_binding.h"
#include "params/param_info.h"
#include "params/param_set.h"
#include "params/param_table.h"
#include "platform/files/file_service.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

using Values = std::vector<unsigned>;

constexpr int kRefTop = 3, kTolTop = 5, kHold = 17;  // kParameterTable indexes

class CompareWindowTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        InstallPanelMenus();
        InstallCompareCommand();
        OpenLine();
        panel = PanelWidget(panelHandle);
        DisplayPanel(panelHandle);
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel));

        // RAM 300 + p; EEPROM the same but refTOP and hold; the fields RAM's but an edit of
        // tolTOP; the variables something else again.
        for (int p = 0; p < kParameterCount; ++p) {
            const ParameterEntry& entry = kParameterTable[p];
            ram.push_back(300 + p);
            controller.model().ram[entry.flag][entry.word] = static_cast<uint16_t>(ram[p]);
            *entry.variable = static_cast<unsigned short>(1000 + p);
        }
        eeprom = ram;
        eeprom[kRefTop] = 777;
        eeprom[kHold] = 55;
        for (int p = 0; p < kParameterCount; ++p) {
            const ParameterEntry& entry = kParameterTable[p];
            controller.model().eeprom[entry.flag][entry.word] = static_cast<uint16_t>(eeprom[p]);
        }
        fields = ram;
        fields[kTolTop] = 55;
        PutFields(fields);
    }
    void TearDown() override {
        SetFileSelectHook({});
        PanelFixture::TearDown();
    }

    QAction* CompareAction() const { return panel->findChild<QAction*>("actionCompare"); }
    QWidget* Window() const { return panel->findChild<QWidget*>("compareWindow"); }
    QTableWidget* Table() const { return Window()->findChild<QTableWidget*>("compareTable"); }
    QPushButton* Button(const char* name) const {
        return Window()->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QTableWidgetItem* Cell(int p, int source) const { return Table()->item(p, source + 1); }
    std::string Text(int p, int column) const {
        return Table()->item(p, column)->text().toStdString();
    }
    std::string Header(int source) const {
        return Table()->horizontalHeaderItem(source + 1)->text().toStdString();
    }

    void PutFields(const Values& values) {
        unsigned short words[kParameterCount];
        std::copy(values.begin(), values.end(), words);
        WritePanelFields(words);
    }
    Values Fields() const {
        unsigned short words[kParameterCount];
        ReadPanelFields(words);
        return Values(words, words + kParameterCount);
    }
    static Values Variables() {
        Values v;
        for (const ParameterEntry& entry : kParameterTable) v.push_back(*entry.variable);
        return v;
    }
    static Values Defaults() {
        unsigned short words[kParameterCount];
        DefaultParameterValues(words);
        return Values(words, words + kParameterCount);
    }
    // The orders and word 0 of the requests since the last clear.
    std::vector<std::pair<int, int>> Reads() const {
        std::vector<std::pair<int, int>> reads;
        for (const auto& r : controller.requests()) reads.emplace_back(r.order, r.payload.at(0));
        return reads;
    }
    // A source's column as the table shows it, the mark of a difference left off.
    Values Column(int source) const {
        Values v;
        for (int p = 0; p < kParameterCount; ++p) {
            std::string text = Cell(p, source)->text().toStdString();
            if (text.starts_with("* ")) text.erase(0, 2);
            v.push_back(text.empty() ? 0u : static_cast<unsigned>(std::stoul(text)));
        }
        return v;
    }
    bool Marked(int p, int source) const {
        const QTableWidgetItem* cell = Cell(p, source);
        return cell->text().startsWith("* ") && cell->font().bold() &&
               cell->background().style() != Qt::NoBrush;
    }

    QWidget* panel = nullptr;
    Values ram, eeprom, fields;
};

}  // namespace

TEST_F(CompareWindowTest, ShowsEachSourceAndMarksWhatDiffersChangingNothing) {
    const Values variables = Variables();
    QTest::keyClick(panel, Qt::Key_F7);
    EXPECT_EQ(Reads(), (std::vector<std::pair<int, int>>{{ORDER_READ_RAM, 0},
                                                         {ORDER_READ_RAM, 1},
                                                         {ORDER_READ_EEPROM, 0},
                                                         {ORDER_READ_EEPROM, 1}}));
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Variables(), variables) << "Compare shows, it does not load";
    EXPECT_EQ(Fields(), fields);
    EXPECT_EQ(StatusText(), "Parameter-frame received! - Line Ok!");

    EXPECT_EQ(Column(COMPARE_PANEL), fields);
    EXPECT_EQ(Column(COMPARE_RAM), ram);
    EXPECT_EQ(Column(COMPARE_EEPROM), eeprom);
    EXPECT_EQ(Column(COMPARE_DEFAULT), Defaults());
    EXPECT_TRUE(Table()->isColumnHidden(COMPARE_FILE + 1)) << "no file chosen";

    // Measured against RAM: EEPROM's refTOP and hold, the field's edit of tolTOP.
    const std::vector<std::pair<int, int>> differing = {
        {kRefTop, COMPARE_EEPROM}, {kHold, COMPARE_EEPROM}, {kTolTop, COMPARE_PANEL}};
    for (int p = 0; p < kParameterCount; ++p) {
        for (int source : {COMPARE_PANEL, COMPARE_RAM, COMPARE_EEPROM, COMPARE_DEFAULT}) {
            const bool expected = std::find(differing.begin(), differing.end(),
                                            std::pair(p, source)) != differing.end();
            EXPECT_EQ(Marked(p, source), expected) << kParameterTable[p].name << " " << source;
        }
    }
    EXPECT_EQ(Text(kRefTop, 0), "* refTOP");
    EXPECT_EQ(Text(kRefTop, kCompareSources + 1), "EEPROM differs from RAM");
    EXPECT_EQ(Text(kTolTop, kCompareSources + 1), "panel differs from RAM");
    EXPECT_EQ(Text(0, 0), "powerTOP");
    EXPECT_EQ(Text(0, kCompareSources + 1), "");
    EXPECT_EQ(Window()->findChild<QLabel*>("compareSummary")->text().toStdString(),
              "3 of 18 parameters differ between panel, RAM and EEPROM");
}

TEST_F(CompareWindowTest, EachTakeButtonPutsItsColumnOnTheFieldsOnly) {
    // The file's full packet: 400 + word; the file holds no digcnt, digmode or hold.
    QTemporaryDir dir;
    const std::string good = dir.filePath("good.dat").toStdString();
    const std::string outside = dir.filePath("outside.dat").toStdString();
    std::string record;
    for (int word = 0; word < PNUM; ++word)
        record += std::to_string(word == 0 ? 0 : 400 + word) + "\n";
    ASSERT_TRUE(WriteFileWhole(good, record));
    ASSERT_TRUE(WriteFileWhole(outside, "0 1 2\n70000\n" + record.substr(record.find("404"))));
    std::string chosen;
    SetFileSelectHook([&chosen](const std::string&, const std::string&, std::string& path) {
        path = chosen;
        return 1;
    });
    Values file = fields;
    for (int p = 0; p < kParameterCount; ++p) {
        if (kParameterTable[p].flag == 0) file[p] = 400 + kParameterTable[p].word;
    }

    CompareAction()->trigger();
    chosen = outside;
    Button("compareChooseFile")->click();
    EXPECT_EQ(StatusText(), "Cannot read parameter file! - line 2: 70000 is outside 0..65535");
    EXPECT_TRUE(Table()->isColumnHidden(COMPARE_FILE + 1)) << "a refused file shows nothing";
    EXPECT_FALSE(Button("compareTakeFile")->isEnabled());
    chosen = good;
    Button("compareChooseFile")->click();
    ASSERT_FALSE(Table()->isColumnHidden(COMPARE_FILE + 1));
    EXPECT_EQ(Cell(kHold, COMPARE_FILE)->text(), "") << "the short packet is not in the file";

    const Values variables = Variables();
    controller.clearRequests();
    const struct {
        const char* button;
        int source;
        Values fields;
    } cases[] = {
        {"compareTakeRam", COMPARE_RAM, ram},
        {"compareTakeEeprom", COMPARE_EEPROM, eeprom},
        {"compareTakeDefault", COMPARE_DEFAULT, Defaults()},
        {"compareTakeFile", COMPARE_FILE, file},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        PutFields(fields);
        Button(c.button)->click();
        EXPECT_EQ(Fields(), c.fields);
        EXPECT_EQ(Column(COMPARE_PANEL), c.fields) << "the panel column follows the fields";
        EXPECT_EQ(StatusText(), std::string("Compare: ") + CompareSourceName(c.source) +
                                    " values taken into the panel - not sent");
        EXPECT_EQ(Variables(), variables) << "taken values are edits not yet sent";
    }
    EXPECT_TRUE(controller.requests().empty()) << "taking uses no line";
}

TEST_F(CompareWindowTest, AMemoryThatDoesNotAnswerShowsNotRead) {
    controller.model().faults.ignoredOrders = {ORDER_READ_EEPROM};
    const Values variables = Variables();
    CompareAction()->trigger();
    const auto history = TakeStatusHistory();
    EXPECT_EQ(std::count(history.begin(), history.end(), "Timeout-RS-232..."), 2);
    EXPECT_EQ(StatusText(), kParametersNotReadText);

    EXPECT_EQ(Column(COMPARE_RAM), ram);
    for (int p = 0; p < kParameterCount; ++p) {
        EXPECT_EQ(Cell(p, COMPARE_EEPROM)->text(), "not read");
        EXPECT_FALSE(Marked(p, COMPARE_EEPROM));
    }
    EXPECT_EQ(Header(COMPARE_EEPROM), "EEPROM (not read)");
    EXPECT_FALSE(Button("compareTakeEeprom")->isEnabled()) << "nothing read to take";
    EXPECT_TRUE(Button("compareTakeRam")->isEnabled());
    EXPECT_EQ(Variables(), variables);
    EXPECT_EQ(Fields(), fields);
}

TEST_F(CompareWindowTest, AvailableExactlyWhenGetIs) {
    CompareAction()->trigger();
    QWidget* take = Button("compareTakeRam");
    ASSERT_TRUE(CompareAction()->isEnabled());
    ASSERT_TRUE(take->isEnabled());
    // The monitor or a capture dims the parameter frame, and with it Get.
    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 1);
    EXPECT_FALSE(CompareAction()->isEnabled());
    EXPECT_FALSE(take->isEnabled());
    EXPECT_FALSE(Button("compareReadAgain")->isEnabled());
    controller.clearRequests();
    QTest::keyClick(panel, Qt::Key_F7);
    EXPECT_TRUE(controller.requests().empty()) << "a dimmed command's shortcut does nothing";

    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 0);
    EXPECT_TRUE(CompareAction()->isEnabled());
    EXPECT_TRUE(take->isEnabled());
}

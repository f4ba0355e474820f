// View > Traffic on the real panel, against the emulator on the simulated line: a start-up's
// frames and blocks in order with their names, bytes and words; what the tool throws away;
// the filter, Clear and Save as text; and no tap at all while the pane is hidden.
#include "platform/ui/traffic_view.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <sstream>

#include "console/menus.h"
#include "console/startup.h"
#include "console/traffic_pane.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/param_set.h"
#include "platform/serial/serial_port.h"
#include "platform/serial/traffic_tap.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

using Row = std::vector<std::string>;  // time, dir, order, note, bytes, words
enum { TIME, DIR, ORDER, NOTE, BYTES, WORDS };

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string out;
    char two[4];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02X", b);
        out += (out.empty() ? "" : " ") + std::string(two);
    }
    return out;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

class TrafficViewTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        InstallPanelMenus();
        InstallTrafficMenu();
        pane = qobject_cast<kvui::TrafficView*>(TrafficPane());
        ASSERT_NE(pane, nullptr);
        action = PanelWidget(panelHandle)->findChild<QAction*>(QStringLiteral("actionTraffic"));
        ASSERT_NE(action, nullptr);
        table = pane->findChild<QTableView*>(QStringLiteral("trafficTable"));
        ASSERT_NE(table, nullptr);
        // The pane is docked in the panel's window: shown only with it.
        DisplayPanel(panelHandle);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(PanelWidget(panelHandle)));
    }
    void TearDown() override {
        SetFileSelectHook({});
        PanelFixture::TearDown();
        EXPECT_FALSE(TrafficTapped()) << "the pane went with its panel";
    }

    void Show() {
        action->setChecked(true);
        ASSERT_TRUE(pane->isVisible());
    }
    std::vector<Row> Rows() {
        pane->takeHeard();
        const QAbstractItemModel* model = table->model();
        std::vector<Row> rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            Row& row = rows.emplace_back();
            for (int c = 0; c < model->columnCount(); ++c)
                row.push_back(model->index(r, c).data().toString().toStdString());
        }
        return rows;
    }
    std::vector<std::string> Labels() {
        std::vector<std::string> labels;
        for (const Row& row : Rows()) labels.push_back(row[DIR] + " " + row[ORDER]);
        return labels;
    }

    kvui::TrafficView* pane = nullptr;
    QAction* action = nullptr;
    QTableView* table = nullptr;
};

const std::vector<std::string> kStartUp = {
    "-> 5 echo",    "<- 5 echo",    "-> 2 get RAM",       "<- 2 get RAM",
    "-> 2 get RAM", "<- 2 get RAM", "-> 7 firmware info", "<- firmware block",
};

TEST_F(TrafficViewTest, StartUpShowsEveryFrameAndBlockInOrder) {
    Show();
    ASSERT_EQ(InitRS232(com), 1);
    // The update timer takes the rows in while the program waits for the next event.
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->model()->rowCount() == 8; }, 2000));

    const std::vector<Row> rows = Rows();
    EXPECT_EQ(Labels(), kStartUp);
    // What went out is exactly what the line carried.
    const auto& writes = line.writes();
    ASSERT_EQ(writes.size(), 4u);
    for (size_t w = 0; w < writes.size(); ++w) {
        EXPECT_EQ(rows[2 * w][BYTES], Hex(writes[w].bytes)) << w;
        EXPECT_EQ(rows[2 * w][NOTE], "") << w;
    }
    EXPECT_EQ(Split(rows[0][WORDS], ' ').size(), 16u);
    EXPECT_EQ(rows[4][WORDS].substr(0, 2), "1 ") << "the short packet's request";
    EXPECT_EQ(rows[1][BYTES].substr(0, 17), "00 55 00 05 00 AA");
    EXPECT_EQ(rows[1][WORDS].substr(0, 4), "170 ") << "the echo word";
    EXPECT_GE(std::stod(rows[1][TIME]) - std::stod(rows[0][TIME]), 50.0) << "read 0.05 s later";

    // The firmware block: 64 bytes, one character of "SIM 1.31" in each word's low byte.
    const Row& block = rows[7];
    EXPECT_EQ(Split(block[BYTES], ' ').size(), 64u);
    EXPECT_EQ(block[BYTES].substr(0, 23), "00 53 00 49 00 4D 00 20");
    EXPECT_EQ(block[WORDS].substr(0, 33), "83 73 77 32 49 46 51 49 0 0 0 0 0");
    EXPECT_NE(block[WORDS].find("... (32 words)"), std::string::npos) << block[WORDS];
}

TEST_F(TrafficViewTest, WhatTheToolThrowsAwayHasRowsOfItsOwn) {
    OpenLine();
    Show();
    // Two monitor replies in one go: the notification reads the first, flushes the second.
    const auto first = MakeFrame(ORDER_MONITOR, {1, 2, 3});
    const auto second = MakeFrame(ORDER_MONITOR, {4, 5, 6});
    line.deliver(com, Concat(first, second), line.now() + 0.01);
    rx_flag = 0;
    ASSERT_EQ(WaitRxFull(), 1);
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][ORDER], "8 monitor");
    EXPECT_EQ(rows[0][BYTES], Hex(first));
    EXPECT_EQ(rows[0][NOTE], "");
    EXPECT_EQ(rows[1][DIR], "<-");
    EXPECT_EQ(rows[1][ORDER], "8 monitor");
    EXPECT_EQ(rows[1][BYTES], Hex(second));
    EXPECT_EQ(rows[1][WORDS].substr(0, 6), "4 5 6 ");
    EXPECT_EQ(rows[1][NOTE], "discarded (flushed unread)");

    // A write the port takes only in part, an echo that never comes, a write to a closed port.
    struct Case {
        std::function<void()> act;
        std::string label;
        std::string note;
    };
    const Case cases[] = {
        {[&] {
             line.setWriteLimit(com, 20);
             PushGET(RAM, 0);
             line.setWriteLimit(com, -1);
         },
         "-> 2 get RAM", "short write: 20 of 36 sent"},
        {[&] {
             controller.setReplyHook([](int, const uint16_t*, sim::Reply& r) { r.bytes.clear(); });
             CheckComLine(com);
             controller.setReplyHook({});
         },
         "<- reply to 5 echo", "nothing read (time-out)"},
        {[&] {
             CloseCom(com);
             WriteTxBuf(com);
         },
         "-> 5 echo", "write failed (-3)"},
    };
    for (const Case& c : cases) {
        pane->clear();
        c.act();
        rows = Rows();
        ASSERT_FALSE(rows.empty()) << c.note;
        const auto hit = std::find_if(rows.begin(), rows.end(), [&](const Row& r) {
            std::string label = r[DIR];
            label.append(" ").append(r[ORDER]);
            return label == c.label && r[NOTE] == c.note;
        });
        EXPECT_NE(hit, rows.end()) << c.note;
    }
}

TEST_F(TrafficViewTest, FilterByOrderAndClear) {
    Show();
    ASSERT_EQ(InitRS232(com), 1);
    auto* filter = pane->findChild<QComboBox*>(QStringLiteral("trafficFilter"));
    auto* counts = pane->findChild<QLabel*>(QStringLiteral("trafficCounts"));
    ASSERT_NE(filter, nullptr);
    ASSERT_NE(counts, nullptr);
    ASSERT_EQ(filter->count(), 11) << "all orders, then the ten the tool sends";

    struct Case {
        int order;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {ORDER_READ_RAM, {"-> 2 get RAM", "<- 2 get RAM", "-> 2 get RAM", "<- 2 get RAM"}},
        {ORDER_FIRMWARE, {"-> 7 firmware info", "<- firmware block"}},
        {ORDER_MONITOR, {}},
        {-1, kStartUp},
    };
    for (const Case& c : cases) {
        filter->setCurrentIndex(filter->findData(c.order));
        EXPECT_EQ(Labels(), c.labels) << c.order;
    }
    filter->setCurrentIndex(filter->findData(ORDER_FIRMWARE));
    EXPECT_EQ(counts->text().toStdString(), "2 of 8 rows (keeps the last 5000)");

    pane->findChild<QPushButton*>(QStringLiteral("trafficClear"))->click();
    EXPECT_TRUE(Rows().empty());
    GetVERSIONInfo();  // the filter stays: the new exchange shows, timed from the Clear
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][TIME], "0.0");
    EXPECT_EQ(counts->text().toStdString(), "2 rows (keeps the last 5000)");
}

TEST_F(TrafficViewTest, SaveAsTextWritesTheShownRowsWhole) {
    Show();
    ASSERT_EQ(InitRS232(com), 1);
    QTemporaryDir dir;
    std::string chosen = dir.filePath(QStringLiteral("line.txt")).toStdString();
    std::string title;
    SetFileSelectHook([&](const std::string& t, const std::string&, std::string& path) {
        title = t;
        path = chosen;
        return VAL_NEW_FILE_SELECTED;
    });
    auto* save = pane->findChild<QPushButton*>(QStringLiteral("trafficSave"));
    auto* message = pane->findChild<QLabel*>(QStringLiteral("trafficMessage"));
    save->click();
    EXPECT_EQ(title, "Save traffic as text");
    EXPECT_EQ(message->text().toStdString(), "Saved 8 rows to " + chosen);

    std::ifstream in(chosen);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0],
              "# kervano-scope line traffic: 8 rows, all orders; time in ms since the tool "
              "started");
    EXPECT_EQ(lines[1], "Time (ms)\tDir\tOrder\tNote\tBytes (hex)\tWords");
    const std::vector<Row> rows = Rows();
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto cells = Split(lines[2 + r], '\t');
        ASSERT_EQ(cells.size(), 6u) << lines[2 + r];
        EXPECT_EQ(cells[DIR] + " " + cells[ORDER], kStartUp[r]);
        EXPECT_EQ(cells[BYTES], rows[r][BYTES]);
    }
    EXPECT_EQ(Split(Split(lines[9], '\t')[WORDS], ' ').size(), 32u) << "every word of the block";

    // A folder that is not there: nothing is written, and the pane says so.
    chosen = dir.filePath(QStringLiteral("missing/line.txt")).toStdString();
    save->click();
    EXPECT_EQ(message->text().toStdString().rfind("Traffic not saved to " + chosen, 0), 0u)
        << message->text().toStdString();
}

TEST_F(TrafficViewTest, NothingIsTappedWhileHidden) {
    EXPECT_FALSE(TrafficTapped());
    ASSERT_EQ(InitRS232(com), 1);
    EXPECT_TRUE(Rows().empty());

    Show();
    EXPECT_TRUE(TrafficTapped());
    // The operator hides it with its own button.
    pane->findChild<QToolButton*>(QStringLiteral("trafficHide"))->click();
    EXPECT_FALSE(pane->isVisible());
    EXPECT_FALSE(action->isChecked());
    EXPECT_FALSE(TrafficTapped());
    PushGET(RAM, 0);
    EXPECT_TRUE(Rows().empty());

    action->trigger();
    EXPECT_TRUE(pane->isVisible());
    action->trigger();
    EXPECT_FALSE(pane->isVisible());
    EXPECT_FALSE(TrafficTapped());
}

TEST_F(TrafficViewTest, KeepsTheLastRowsOnly) {
    OpenLine();
    Show();
    controller.setReplyHook([](int, const uint16_t*, sim::Reply& r) { r.bytes.clear(); });
    const int writes = kvui::TrafficView::kMaxRows + 3;
    for (int i = 0; i < writes; ++i) {
        pp[0] = static_cast<unsigned short>(i);
        FillTxBuf(ORDER_MONITOR, pp);
        WriteTxBuf(com);
        if (i % 1000 == 0) pane->takeHeard();  // as the update timer would, now and then
    }
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), static_cast<size_t>(kvui::TrafficView::kMaxRows));
    EXPECT_EQ(rows.front()[WORDS].substr(0, 2), "3 ");
    EXPECT_EQ(rows.back()[WORDS].substr(0, 5), std::to_string(writes - 1) + " ");
}

}  // namespace

// Captures opened again, overlays and the cursor read-out, on the real panel against the
// emulator on the simulated line: a capture exported through the File menu comes back
// with its own lines, a file that is no capture changes nothing, an overlay lies behind the
// next captures until cleared, and the read-out lists every curve at a sample.
#include "console/open_capture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <fstream>

#include "console/commands.h"
#include "console/export_commands.h"
#include "console/menus.h"
#include "console/startup.h"
#include "link/data_block.h"
#include "params/param_set.h"
#include "platform/ui/data_graph.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "scope/data_graphs.h"
#include "scope/graph_overlay.h"
#include "scope/last_capture.h"
#include "scope/monitor.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/read_text.h"
#include "tests/support/scoped_time_zone.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

namespace {

using Plots = std::vector<std::vector<std::pair<double, double>>>;

class OpenCaptureTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        InstallPanelMenus();
        InstallExportCommands();
        InstallCaptureCommands();
        OpenLine();
        panel = PanelWidget(panelHandle);
        DisplayPanel(panelHandle);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
    }
    void TearDown() override {
        ClearOverlay();
        SetFileSelectHook({});
        PanelFixture::TearDown();
    }
    void Trigger(const char* name) {
        QAction* action = panel->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    // The file dialog answers with path.
    void Choose(const std::string& path) {
        SetFileSelectHook([path](const std::string&, const std::string&, std::string& chosen) {
            chosen = path;
            return 1;
        });
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    void Data() { CC_BTNData(panelHandle, PANEL_BTNDATA, EVENT_COMMIT, nullptr, 0, 0); }
    void RunBriefly() {
        line.at(line.now() + 0.2,
                [] { CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0); });
        CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_COMMIT, nullptr, 0, 0);
    }
    // Data, exported through the File menu; returns the file.
    std::string ExportCapture() {
        Data();
        const std::string path = Path("capture.csv");
        Choose(path);
        Trigger("actionExportCaptureCsv");
        return path;
    }
    void Open(const std::string& path) {
        Choose(path);
        Trigger("actionOpenCapture");
    }
    static Plots Drawn(int graph) {
        Plots plots;
        for (int i = 0; i < GraphPlotCount(panelHandle, graph); ++i)
            plots.push_back(GraphPlotPoints(panelHandle, graph, i));
        return plots;
    }
    static std::string OverlayTime(std::time_t time) {
        char stamp[16] = "";
        std::strftime(stamp, sizeof stamp, "%H:%M:%S", std::localtime(&time));
        return std::string("Overlay ") + stamp;
    }

    QWidget* panel = nullptr;
    QTemporaryDir dir;
    ScopedTimeZone zone{"IST-5:30"};  // the file's offset is read, not assumed to be zero
};

}  // namespace

TEST_F(OpenCaptureTest, ExportedCaptureComesBackWithItsOwnLinesAndLeavesTheParameters) {
    const std::string path = ExportCapture();
    const Plots top = Drawn(PANEL_GRAPHTOP), bot = Drawn(PANEL_GRAPHBOT);
    const std::time_t captured = LastCapture()->time;
    ASSERT_EQ(top.size(), 4u);
    // Changed since: the graphs must show the file's lines, and the change must survive.
    refTOP = 400;
    hystBOT = 99;
    const unsigned fieldRefTop = CtrlValue(PANEL_REFTOP);
    RunBriefly();
    ASSERT_FALSE(IsVisible(PANEL_GRAPHTOP));

    Open(path);
    EXPECT_EQ(StatusText(), "Capture opened from " + path + " - not the controller");
    EXPECT_TRUE(IsVisible(PANEL_GRAPHTOP));
    EXPECT_FALSE(IsVisible(PANEL_STRIPBOT));
    EXPECT_EQ(Drawn(PANEL_GRAPHTOP), top);
    EXPECT_EQ(Drawn(PANEL_GRAPHBOT), bot);
    EXPECT_FALSE(GraphCursorDrawn(panelHandle, PANEL_GRAPHTOP)) << "a file holds no index";
    char stamp[24] = "";
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&captured));
    const std::string note =
        "File capture.csv, captured " + std::string(stamp) + " - not the controller";
    EXPECT_NE(GraphCaption(panelHandle, PANEL_GRAPHBOT).find(note), std::string::npos)
        << GraphCaption(panelHandle, PANEL_GRAPHBOT);
    ASSERT_NE(ShownFileCapture(), nullptr);
    EXPECT_EQ(ShownFileCapture()->time, captured);
    EXPECT_EQ(refTOP, 400);
    EXPECT_EQ(hystBOT, 99);
    EXPECT_EQ(CtrlValue(PANEL_REFTOP), fieldRefTop);

    Data();  // the controller again
    EXPECT_EQ(GraphCaption(panelHandle, PANEL_GRAPHTOP), kGraphCaption);
    EXPECT_EQ(ShownFileCapture(), nullptr);
    EXPECT_EQ(GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, 3)[0].second, 400.0) << "Data's lines";
    Open(path);
    // Export writes what the graphs show: the file, not the newer capture of the controller.
    Choose(Path("again.csv"));
    Trigger("actionExportCaptureCsv");
    EXPECT_EQ(ReadText(Path("again.csv")), ReadText(path));
    RunBriefly();
    EXPECT_EQ(ShownFileCapture(), nullptr) << "Run ends the file's showing too";
}

TEST_F(OpenCaptureTest, FileThatIsNoCaptureChangesNothingAndSaysWhy) {
    const std::string good = ReadText(ExportCapture());
    const Plots top = Drawn(PANEL_GRAPHTOP);
    const std::time_t captured = LastCapture()->time;
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const std::string row5 = "\n5," + std::to_string(yArrayA[4]) + ",";
    struct Case {
        const char* file;
        std::string bytes;
        std::string why;
    };
    const Case cases[] = {
        {"foreign.csv", "time,value\n1,2\n", "not a capture file (no '# capture time:' line)"},
        {"binary.csv", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
         "not a capture file (no '# capture time:' line)"},
        {"truncated.csv", good.substr(0, good.find("\n100,") + 1), "cut short: 99 of 128 samples"},
        {"damaged.csv", replaced(row5, "\n5,70000,"), "line 8: TOP value '70000' is not 0-65535"},
        {"renamed.csv", replaced(" refTOP=", " refTIP="),
         "line 2: parameter 4 is not refTOP=0-65535"},
        {"gap.csv", replaced(row5, "\n5,,"),
         "line 8: TOP value missing inside a block that was received"},
        {"longer.csv", good + "129,1,1,1,1,1,1,1,1\n", "line 132: more after sample 128"},
    };
    for (const Case& c : cases) {
        const std::string path = Path(c.file);
        std::ofstream(path, std::ios::binary) << c.bytes;
        Open(path);
        EXPECT_EQ(StatusText(),
                  "Cannot open capture " + path + " - " + c.why + " - nothing changed!")
            << c.file;
        EXPECT_EQ(Drawn(PANEL_GRAPHTOP), top) << c.file;
        EXPECT_EQ(GraphCaption(panelHandle, PANEL_GRAPHTOP), kGraphCaption) << c.file;
        EXPECT_EQ(ShownFileCapture(), nullptr) << c.file;
        EXPECT_EQ(LastCapture()->time, captured) << c.file;
    }
    const std::string folder = dir.path().toStdString();
    OpenCaptureFile(folder);  // as the dialog or --open hands it over
    EXPECT_EQ(StatusText().rfind("Cannot open capture " + folder + " - ", 0), 0u) << StatusText();
    EXPECT_EQ(Drawn(PANEL_GRAPHTOP), top);
}

TEST_F(OpenCaptureTest, OverlayLiesBehindTheNextCapturesUntilCleared) {
    const std::string path = ExportCapture();
    const std::vector<std::pair<double, double>> kept =
        GraphPlotPoints(panelHandle, PANEL_GRAPHBOT, 2);
    const std::string name = OverlayTime(LastCapture()->time);
    Trigger("actionKeepOverlay");
    EXPECT_EQ(StatusText(), "Overlay kept: " + name);

    const GraphPlotStyle muted{0xA8A8A8, true, false};
    const auto expectOverlay = [&](const char* when) {
        for (int graph : {PANEL_GRAPHTOP, PANEL_GRAPHBOT}) {
            ASSERT_EQ(GraphPlotCount(panelHandle, graph), 5) << when;
            EXPECT_EQ(GraphPlotLook(panelHandle, graph, 0), muted) << when;
            const auto legend = ChartLegend(panelHandle, graph);
            ASSERT_FALSE(legend.empty()) << when;
            EXPECT_EQ(legend[0], (ChartLegendEntry{name, 0xA8A8A8, true})) << when;
        }
        EXPECT_EQ(GraphPlotPoints(panelHandle, PANEL_GRAPHBOT, 0), kept) << when;
        EXPECT_TRUE(GraphPlotLook(panelHandle, PANEL_GRAPHBOT, 3).pointsShown) << "data on top";
    };
    expectOverlay("kept");
    Data();
    expectOverlay("next capture");
    Open(path);
    expectOverlay("opened file");

    Trigger("actionClearOverlay");
    EXPECT_EQ(StatusText(), "Overlay cleared");
    EXPECT_EQ(GraphPlotCount(panelHandle, PANEL_GRAPHTOP), 4);
    for (const ChartLegendEntry& entry : ChartLegend(panelHandle, PANEL_GRAPHTOP))
        EXPECT_NE(entry.text, name);
    Data();
    EXPECT_EQ(GraphPlotCount(panelHandle, PANEL_GRAPHBOT), 4) << "not drawn again";
}

TEST_F(OpenCaptureTest, CursorReadOutListsEveryCurveAtTheSample) {
    Data();
    Trigger("actionKeepOverlay");
    const std::string name = OverlayTime(LastCapture()->time);
    const std::string kept = std::to_string(yArrayA[63]);
    refTOP = 420;  // this capture's lines differ from the overlay's
    Data();
    auto* graph = qobject_cast<DataGraph*>(CtrlWidget(panelHandle, PANEL_GRAPHTOP));
    ASSERT_NE(graph, nullptr);
    QCoreApplication::processEvents();  // the chart lays out its plot area
    const auto at = [graph](double sample) {
        const QPointF inChart = graph->chart()->mapToPosition(QPointF(sample, 500));
        return graph->mapFromScene(graph->chart()->mapToScene(inChart));
    };
    const std::string top = std::to_string(yArrayA[63]);
    const std::string expected =
        "sample 64 (\u2030 of max)\n" + name + ": " + kept +
        "\ntolerance limit: " + std::to_string(std::min(420 + tolTOP, 1000)) +
        "\nhysteresis limit: " + std::to_string(420 - hystTOP) + "\nTOP data: " + top +
        "\nreference: 420";
    EXPECT_EQ(graph->readoutText(at(64.2)).toStdString(), expected);
    EXPECT_EQ(graph->readoutText(at(200)).toStdString(), "") << "beside the plot area";
    QTest::mouseMove(graph->viewport(), at(64));
    EXPECT_EQ(QToolTip::text().toStdString(), expected) << "the pointer shows it";
}

// File menu exports on the real panel against the emulator on the simulated line: the last
// capture as CSV, the charts as PNG at one and twice the panel's resolution, and the
// recording of the live monitor with the line's virtual clock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "console/commands.h"
#include "console/export_commands.h"
#include "console/menus.h"
#include "console/settings.h"
#include "console/startup.h"
#include "link/data_block.h"
#include "link/frame.h"
#include "params/param_file.h"
#include "params/param_set.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "scope/capture_csv.h"
#include "scope/monitor_recording.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/csv_reader.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/read_text.h"
#include "tests/support/scoped_time_zone.h"

using namespace kervano;

namespace {

// "1970-01-01T00:00:02.345+00:00" -> 2345 (the tests record in UTC from the epoch).
long long RowMs(const std::string& time) {
    int h = 0, m = 0, s = 0, ms = 0;
    EXPECT_EQ(std::sscanf(time.c_str(), "1970-01-01T%2d:%2d:%2d.%3d+00:00", &h, &m, &s, &ms), 4)
        << time;
    return ((h * 60LL + m) * 60 + s) * 1000 + ms;
}

class ExportsTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        InstallPanelMenus();
        InstallExportCommands();
        OpenLine();
        panel = PanelWidget(panelHandle);
        DisplayPanel(panelHandle);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
        SetMonitorRecordingClock([this] { return static_cast<long long>(line.now() * 1000); });
    }
    void TearDown() override {
        SetFileSelectHook({});
        PanelFixture::TearDown();
        SetMonitorRecordingClock(nullptr);
    }
    QAction* Action(const char* name) const {
        return panel->findChild<QAction*>(QString::fromLatin1(name));
    }
    // The file dialog answers with file (in the test's folder); proposed gets its proposal.
    std::string Choose(const char* file) {
        const std::string path = dir.filePath(QString::fromLatin1(file)).toStdString();
        SetFileSelectHook(
            [this, path](const std::string&, const std::string& offered, std::string& chosen) {
                proposed = offered;
                chosen = path;
                return 1;
            });
        return path;
    }
    void Data() { CC_BTNData(panelHandle, PANEL_BTNDATA, EVENT_COMMIT, nullptr, 0, 0); }
    // The live monitor for seconds of line time, then Stop.
    void Run(double seconds) {
        line.at(line.now() + seconds,
                [] { CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0); });
        CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_COMMIT, nullptr, 0, 0);
    }
    bool StatusShown(const std::string& text) {
        const auto shown = TakeStatusHistory();
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    }

    QWidget* panel = nullptr;
    QTemporaryDir dir;
    std::string proposed;
    ScopedTimeZone utc{"UTC0"};  // the rows' times, from the line's clock, read as text
};

// Pixels in the image of one colour family, from the traces and legends drawn in it.
int CountPixels(const QImage& image, bool (*family)(QRgb)) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += family(image.pixel(x, y)) ? 1 : 0;
    return n;
}
bool Blue(QRgb c) {
    return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60;
}
bool Red(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}

}  // namespace

TEST_F(ExportsTest, CaptureExportWaitsForACaptureTheOthersAreAlwaysThere) {
    for (const char* name : {"actionExportCaptureCsv", "actionSaveChartsPng",
                             "actionSaveChartsPng2x", "actionRecordMonitor"})
        ASSERT_NE(Action(name), nullptr) << name;
    EXPECT_FALSE(Action("actionExportCaptureCsv")->isEnabled());
    EXPECT_TRUE(Action("actionSaveChartsPng")->isEnabled());
    EXPECT_TRUE(Action("actionSaveChartsPng2x")->isEnabled());
    EXPECT_TRUE(Action("actionRecordMonitor")->isEnabled());
    EXPECT_TRUE(Action("actionRecordMonitor")->isCheckable());
    EXPECT_FALSE(Action("actionRecordMonitor")->isChecked());

    controller.model().faults.ignoredOrders.insert(ORDER_DATA);
    Data();  // no block came: still a capture, of empty samples
    EXPECT_TRUE(Action("actionExportCaptureCsv")->isEnabled());
    InitVars();
    EXPECT_FALSE(Action("actionExportCaptureCsv")->isEnabled()) << "start-up knows no capture";
}

TEST_F(ExportsTest, CaptureCsvHoldsTheCaptureAsItWasNotAsItIsAtExport) {
    const int ref[2] = {refTOP, refBOT}, tol[2] = {tolTOP, tolBOT}, hyst[2] = {hystTOP, hystBOT};
    const std::time_t before = std::time(nullptr);
    Data();
    const std::time_t after = std::time(nullptr);
    refTOP = 400;  // changed after the capture: the export keeps the capture's set
    hystBOT = 99;

    const std::string path = Choose("capture.csv");
    Action("actionExportCaptureCsv")->trigger();
    EXPECT_EQ(StatusText(), "Capture exported to " + path);
    const QString offered = QString::fromStdString(proposed);
    EXPECT_TRUE(offered.startsWith(QString::fromStdString(ParamFileFolder()))) << proposed;
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/capture-\\d{8}-\\d{6}\\.csv$"))
                    .match(offered)
                    .hasMatch())
        << proposed;

    const CsvText csv = ReadCsv(ReadText(path));
    ASSERT_EQ(csv.comments.size(), 2u);
    bool timeMatches = false;
    for (std::time_t t = before; t <= after; ++t)
        timeMatches |= csv.comments[0] == "capture time: " + Iso8601LocalTime(t);
    EXPECT_TRUE(timeMatches) << csv.comments[0];
    EXPECT_NE(csv.comments[1].find(" refTOP=" + std::to_string(ref[0]) + " "), std::string::npos);
    EXPECT_NE(csv.comments[1].find(" hystBOT=" + std::to_string(hyst[1])), std::string::npos);
    ASSERT_EQ(csv.header.size(), 9u);
    ASSERT_EQ(csv.rows.size(), 128u);
    for (int i = 0; i < 128; ++i) {
        const std::vector<std::string> expected{std::to_string(i + 1),
                                                std::to_string(yArrayA[i]),
                                                std::to_string(ref[0]),
                                                std::to_string(ref[0] + tol[0]),
                                                std::to_string(ref[0] - hyst[0]),
                                                std::to_string(yArrayB[i]),
                                                std::to_string(ref[1]),
                                                std::to_string(ref[1] + hyst[1]),
                                                std::to_string(ref[1] - tol[1])};
        ASSERT_EQ(csv.rows[i], expected) << "sample " << i + 1;
    }

    // A capture in which no block came: the samples are empty cells, the lines are there.
    controller.model().faults.ignoredOrders.insert(ORDER_DATA);
    Data();
    Action("actionExportCaptureCsv")->trigger();
    const CsvText empty = ReadCsv(ReadText(path));
    ASSERT_EQ(empty.rows.size(), 128u);
    for (const auto& row : empty.rows) {
        EXPECT_EQ(row[1], "");
        EXPECT_EQ(row[5], "");
        EXPECT_EQ(row[2], "400");
    }

    const std::string nowhere = Choose("missing/capture.csv");
    Action("actionExportCaptureCsv")->trigger();
    EXPECT_EQ(StatusText().rfind("Cannot write " + nowhere + " - ", 0), 0u) << StatusText();
    EXPECT_TRUE(QString::fromStdString(StatusText()).endsWith(QLatin1String(" - file unchanged!")));
}

TEST_F(ExportsTest, PngIsTheShownChartsAtOneAndTwiceThePanelResolution) {
    auto drawnArea = [](int control) {
        return qobject_cast<QAbstractScrollArea*>(CtrlWidget(panelHandle, control))->viewport();
    };
    auto save = [&](const char* action) {
        const std::string path = Choose("charts.png");
        Action(action)->trigger();
        QImage image(QString::fromStdString(path));
        EXPECT_EQ(StatusText(), "Charts saved to " + path + " (" + std::to_string(image.width()) +
                                    "x" + std::to_string(image.height()) + " pixels)");
        return image;
    };
    const qreal ratio = panel->devicePixelRatioF();

    Run(0.5);  // raw mode: blue and green traces
    const QImage strips = save("actionSaveChartsPng");
    const QImage strips2x = save("actionSaveChartsPng2x");
    Delay(0.1);  // the reply in flight at Stop lands before the capture
    Data();      // the graphs take the charts' place: a red data curve on black lines
    ASSERT_EQ(StatusText(), "Data[64] block received!");
    const QImage graphs = save("actionSaveChartsPng");
    const QImage graphs2x = save("actionSaveChartsPng2x");

    const struct {
        const QImage& one;
        const QImage& two;
        int top, bot;
        bool (*colour)(QRgb);
        bool (*other)(QRgb);
    } views[] = {{strips, strips2x, PANEL_STRIPTOP, PANEL_STRIPBOT, Blue, Red},
                 {graphs, graphs2x, PANEL_GRAPHTOP, PANEL_GRAPHBOT, Red, Blue}};
    for (const auto& v : views) {
        const QWidget* top = drawnArea(v.top);
        const QWidget* bot = drawnArea(v.bot);
        ASSERT_FALSE(v.one.isNull());
        EXPECT_EQ(v.one.width(), qRound(top->width() * ratio));
        const int charts = qRound((top->height() + bot->height()) * ratio);
        EXPECT_GT(v.one.height(), charts) << "both charts, stacked, under their titles";
        EXPECT_LT(v.one.height(), charts + qRound(100 * ratio));
        EXPECT_EQ(v.two.size(), v.one.size() * 2);
        EXPECT_GT(CountPixels(v.one, v.colour), 20) << "the view shown is the one saved";
        EXPECT_EQ(CountPixels(v.one, v.other), 0);
    }
}

TEST_F(ExportsTest, RecordingWritesARowPerReplyAndNotesWhereItRecords) {
    int replies = 0;
    controller.setReplyHook([&](int order, const uint16_t*, sim::Reply& reply) {
        if (order != ORDER_MONITOR) return;
        ++replies;
        std::vector<uint16_t> words(16, 0);
        words[0] = static_cast<uint16_t>(replies * 3);
        words[12] = static_cast<uint16_t>(replies);
        words[15] = 300;  // recorded as the variable holds it: limited to 128
        reply.bytes = MakeFrame(ORDER_MONITOR, words);
    });
    const std::string path = Choose("monitor.csv");
    QAction* record = Action("actionRecordMonitor");
    record->trigger();
    EXPECT_TRUE(record->isChecked());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/monitor-\\d{8}-\\d{6}\\.csv$"))
                    .match(QString::fromStdString(proposed))
                    .hasMatch())
        << proposed;
    EXPECT_EQ(StatusText(), "Recording monitor to " + path);

    // Meanwhile, every 100 ms, a reader of the file finds every row older than a second.
    std::vector<std::pair<long long, size_t>> seen;  // (ms, rows in the file)
    for (int k = 1; k <= 28; ++k) {
        line.at(line.now() + 0.1 * k, [&] {
            seen.emplace_back(static_cast<long long>(line.now() * 1000),
                              ReadCsv(ReadText(path)).rows.size());
        });
    }
    Run(3.0);
    record->trigger();
    EXPECT_FALSE(record->isChecked());
    const size_t rows = ReadCsv(ReadText(path)).rows.size();
    EXPECT_EQ(StatusText(), "Recording stopped: " + std::to_string(rows) + " rows in " + path);

    // Once more into the same file: appended, under the one header.
    record->trigger();
    Run(0.5);
    record->trigger();

    const std::string text = ReadText(path);
    EXPECT_EQ(text.find("time,rawTop1,"), 0u);
    EXPECT_EQ(text.find("time,", 1), std::string::npos) << "one header";
    const CsvText csv = ReadCsv(text);
    ASSERT_GT(rows, 40u);
    ASSERT_GT(csv.rows.size(), rows);
    for (size_t r = 0; r < csv.rows.size(); ++r) {
        const auto& row = csv.rows[r];
        ASSERT_EQ(row.size(), 17u);
        // Every reply drawn is a row, in order; the reply to the request Stop left on the
        // line comes while stopped and is drawn by neither run.
        const int reply = std::stoi(row[13]);
        const int step = r == 0 ? reply : reply - std::stoi(csv.rows[r - 1][13]);
        EXPECT_TRUE(step == 1 || (r == rows && step == 2)) << r << ": reply " << reply;
        EXPECT_EQ(row[1], std::to_string(reply * 3));
        EXPECT_EQ(row[16], "128");
        if (r > 0) {
            EXPECT_GE(RowMs(row[0]), RowMs(csv.rows[r - 1][0]));
        }
    }
    EXPECT_EQ(csv.rows.back()[13], std::to_string(CtrlValue(PANEL_COUNT)));
    ASSERT_EQ(seen.size(), 28u);
    bool waited = false;
    for (const auto& [atMs, onDisk] : seen) {
        ASSERT_LE(onDisk, rows);
        if (onDisk == rows) continue;
        waited = true;
        EXPECT_GT(RowMs(csv.rows[onDisk][0]), atMs - 1000)
            << "at " << atMs << " ms the first row not yet on disk is of the last second";
    }
    EXPECT_TRUE(waited) << "rows wait a little, not a system call each";
}

TEST_F(ExportsTest, AWriteErrorStopsTheRecordingOnAWholeRowAndSaysSo) {
    const std::string path = Choose("monitor.csv");
    {
        ScopedFileSizeLimit limit(4000);  // about fifty rows
        ASSERT_EQ(StartMonitorRecording(path.c_str()), 1);
        controller.clearRequests();
        Run(3.0);
    }
    EXPECT_TRUE(StatusShown("Recording stopped: cannot write " + path + " - " +
                            std::string(std::strerror(EFBIG)) + "!"));
    EXPECT_FALSE(Action("actionRecordMonitor")->isChecked());
    EXPECT_GT(controller.orders().size(), 60u) << "the monitor runs on";
    EXPECT_EQ(ReadText(path).back(), '\n');
}

TEST_F(ExportsTest, ARecordingRefusesAnythingButAFileAtOnce) {
    // A pipe with a reader: opening it would not even block, it must still be refused.
    const std::string fifo = dir.filePath(QStringLiteral("pipe.csv")).toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    // Named as the dialog would leave them (it adds ".csv" to a name without it).
    const std::string device = dir.filePath(QStringLiteral("device.csv")).toStdString();
    ASSERT_EQ(symlink("/dev/null", device.c_str()), 0);
    const std::string folder = dir.filePath(QStringLiteral("folder.csv")).toStdString();
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    for (const std::string& path : {fifo, device, folder}) {
        SetFileSelectHook([&path](const std::string&, const std::string&, std::string& chosen) {
            chosen = path;
            return 1;
        });
        Action("actionRecordMonitor")->trigger();
        EXPECT_EQ(StatusText(), "Cannot record monitor to " + path + " - not a regular file!");
        EXPECT_FALSE(Action("actionRecordMonitor")->isChecked());
    }
    ::close(reader);
}

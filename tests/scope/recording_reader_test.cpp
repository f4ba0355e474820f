// Recordings read back: what the real recorder wrote comes back row for row, damaged rows
// are counted and left out, foreign files are refused, and the min/max columns keep every
// extreme however many rows share a pixel.
#include "scope/recording_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>

#include "scope/recording_columns.h"
#include "tests/support/scoped_time_zone.h"

using namespace kervano;

namespace {
const std::string kHeader = std::string(kMonitorCsvHeader) + "\n";
const std::string kRow = "2026-03-02T14:05:09.123+01:00,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16";
}  // namespace

TEST(RecordingReader, ReadsBackWhatTheRecorderWroteWithTimesAndOffsets) {
    ScopedTimeZone cet{"CET-1"};
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("monitor.csv")).toStdString();
    const long long times[] = {1772456709123LL, 1772456709160LL, 1772460000999LL};
    long long now = 0;
    {
        MonitorRecorder recorder([&now] { return now; });
        ASSERT_TRUE(recorder.open(path)) << recorder.error();
        for (int r = 0; r < 3; ++r) {
            unsigned short words[kMonitorWords];
            for (int k = 0; k < kMonitorWords; ++k)
                words[k] = static_cast<unsigned short>(r * 1000 + k * 4000 + 1);
            now = times[r];
            ASSERT_TRUE(recorder.append(words));
        }
    }
    Recording rec;
    std::string error;
    ASSERT_TRUE(ReadRecording(path, rec, error)) << error;
    ASSERT_EQ(rec.rows(), 3u);
    EXPECT_EQ(rec.skipped, 0);
    for (std::size_t r = 0; r < 3; ++r) {
        EXPECT_EQ(rec.timeMs[r], times[r]);
        EXPECT_EQ(rec.offsetMin[r], 60);
        for (int k = 0; k < kMonitorWords; ++k)
            EXPECT_EQ(rec.words[k][r], r * 1000 + k * 4000 + 1) << MonitorWordName(k);
    }
    EXPECT_STREQ(MonitorWordName(0), "rawTop1");
    EXPECT_STREQ(MonitorWordName(15), "indexA");
}

TEST(RecordingReader, DamagedRowsAreCountedAndForeignFilesRefused) {
    struct Case {
        const char* name;
        std::string text;
        bool ok;
        std::size_t rows;
        long long skipped;
        const char* error;
    };
    const Case cases[] = {
        {"whole rows, CRLF, blank line", kHeader + kRow + "\r\n\n" + kRow, true, 2, 0, ""},
        {"cut short", kHeader + kRow + "\n" + kRow.substr(0, 50) + "\n" + kRow, true, 2, 1, ""},
        {"word too large", kHeader + kRow + "\n" + kRow + "0000\n", true, 1, 1, ""},
        {"word not a number", kHeader + kRow.substr(0, 30) + "x" + kRow.substr(31) + "\n" + kRow,
         true, 1, 1, ""},
        {"one word too many", kHeader + kRow + ",17\n" + kRow, true, 1, 1, ""},
        {"month 13", kHeader + "2026-13" + kRow.substr(7) + "\n" + kRow, true, 1, 1, ""},
        {"no offset", kHeader + kRow.substr(0, 23) + kRow.substr(29) + "\n" + kRow, true, 1, 1, ""},
        {"header only", kHeader, false, 0, 0, "no rows"},
        {"only damaged rows", kHeader + "garbage\n1,2\n", false, 0, 2,
         "no readable rows (2 damaged)"},
        {"another CSV", "time,a,b\n" + kRow, false, 0, 0, "not a monitor recording"},
        {"empty", "", false, 0, 0, "not a monitor recording"},
    };
    for (const Case& c : cases) {
        Recording rec;
        std::string error;
        EXPECT_EQ(ParseRecording(c.text, rec, error), c.ok) << c.name;
        EXPECT_EQ(rec.rows(), c.rows) << c.name;
        EXPECT_EQ(rec.skipped, c.skipped) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
}

TEST(RecordingReader, APipeIsRefusedAtOnce) {
    QTemporaryDir dir;
    const std::string fifo = dir.filePath(QStringLiteral("pipe.csv")).toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Recording rec;
    std::string error;
    EXPECT_FALSE(ReadRecording(fifo, rec, error));
    EXPECT_EQ(error, "not a regular file");
}

TEST(RecordingReader, RowsOutOfTimeOrderArePutInOrder) {
    const std::string later = "2026-03-02T14:05:10.000+01:00,9" + kRow.substr(30);
    Recording rec;
    std::string error;
    ASSERT_TRUE(ParseRecording(kHeader + later + "\n" + kRow, rec, error)) << error;
    ASSERT_EQ(rec.rows(), 2u);
    EXPECT_LT(rec.timeMs[0], rec.timeMs[1]);
    EXPECT_EQ(rec.words[0][0], 1);
    EXPECT_EQ(rec.words[0][1], 91);
}

TEST(RecordingColumns, EveryPixelKeepsItsExtremes) {
    constexpr std::size_t kRows = 100000;
    constexpr std::size_t kSpike = 61234;
    constexpr std::size_t kDip = 7;
    std::vector<long long> times(kRows);
    std::vector<std::uint16_t> values(kRows, 100);
    for (std::size_t i = 0; i < kRows; ++i) times[i] = 1000 + static_cast<long long>(i) * 37;
    values[kSpike] = 60000;
    values[kDip] = 5;
    std::vector<std::size_t> start;
    ColumnRows(times, static_cast<double>(times.front()), times.back() + 1.0, 300, start);
    ASSERT_EQ(start.size(), 301u);
    EXPECT_EQ(start.front(), 0u);
    EXPECT_EQ(start.back(), kRows);
    std::vector<MinMax> columns;
    ColumnMinMax(values, start, columns);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const bool spike = start[c] <= kSpike && kSpike < start[c + 1];
        const bool dip = start[c] <= kDip && kDip < start[c + 1];
        EXPECT_EQ(columns[c].hi, spike ? 60000 : 100) << c;
        EXPECT_EQ(columns[c].lo, dip ? 5 : 100) << c;
    }
    EXPECT_EQ(NearestRow(times, 1000 + 37 * 5 + 19.0), 6u);
    EXPECT_EQ(NearestRow(times, -1e12), 0u);
    EXPECT_EQ(NearestRow(times, 1e18), kRows - 1);
}

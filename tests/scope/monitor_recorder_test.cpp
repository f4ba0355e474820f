// The monitor recorder with a clock the test drives: one row per reply, the header once,
// appending, and what a separate reader (or a killed process) finds in the file.
#include "scope/monitor_recorder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tests/support/csv_reader.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/read_text.h"
#include "tests/support/scoped_time_zone.h"

using namespace kervano;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Words that tell rows apart: row n carries n in cntTRUV and n * 7 in rawTop1.
std::vector<unsigned short> RowWords(int n) {
    std::vector<unsigned short> words(kMonitorWords, 0);
    words[0] = static_cast<unsigned short>(n * 7);
    words[12] = static_cast<unsigned short>(n);
    words[15] = 128;
    return words;
}

class MonitorRecorderTest : public ::testing::Test {
  protected:
    void SetUp() override { path = dir.filePath(QStringLiteral("monitor.csv")).toStdString(); }
    void Append(int n, long long atMs) {
        nowMs = atMs;
        ASSERT_TRUE(recorder.append(RowWords(n).data())) << recorder.error();
    }
    // Rows in the file now, as a reader that is not the recorder sees it.
    size_t RowsOnDisk() const {
        const auto lines = Lines(ReadText(path));
        return lines.empty() ? 0 : lines.size() - 1;
    }

    QTemporaryDir dir;
    std::string path;
    long long nowMs = 0;
    MonitorRecorder recorder{[this] { return nowMs; }};
    ScopedTimeZone utc{"UTC0"};
};

}  // namespace

TEST_F(MonitorRecorderTest, RowsCarryTimeAndWordsAndAppendUnderOneHeader) {
    for (int session = 0; session < 2; ++session) {
        ASSERT_TRUE(recorder.open(path)) << recorder.error();
        Append(3 * session + 1, 86400005);
        Append(3 * session + 2, 86400999);
        Append(3 * session + 3, 86401000);
        ASSERT_TRUE(recorder.close());
        EXPECT_EQ(recorder.rows(), 3);
    }
    const CsvText csv = ReadCsv(ReadText(path));
    EXPECT_EQ(csv.header, (std::vector<std::string>{
                              "time", "rawTop1", "rawTop2", "rawBot1", "rawBot2", "normTop1",
                              "normTop2", "normBot1", "normBot2", "maxTop1", "maxTop2", "maxBot1",
                              "maxBot2", "cntTRUV", "in2cnt", "inputs", "indexA"}));
    ASSERT_EQ(csv.rows.size(), 6u) << "the second session appends, without a second header";
    const char* const times[] = {"1970-01-02T00:00:00.005+00:00", "1970-01-02T00:00:00.999+00:00",
                                 "1970-01-02T00:00:01.000+00:00"};
    for (int r = 0; r < 6; ++r) {
        std::vector<std::string> expected{times[r % 3]};
        for (unsigned short w : RowWords(r + 1)) expected.push_back(std::to_string(w));
        EXPECT_EQ(csv.rows[r], expected) << "row " << r;
    }
}

TEST_F(MonitorRecorderTest, EveryRowOlderThanASecondIsOnDiskYetRowsDoNotGoOneByOne) {
    // Replies every 20 ms for two seconds, then none, while the timer asks every tick; at
    // every millisecond the file must hold every row older than a second, whatever the
    // timer's phase.
    constexpr long long kStepMs = 20, kLastReplyMs = 2000;
    for (long long phase = 0; phase < kRecorderTickMs; phase += kRecorderTickMs / 5 + 3) {
        std::remove(path.c_str());
        ASSERT_TRUE(recorder.open(path));
        size_t appended = 0, onDisk = 0, mostWaiting = 0;
        for (long long t = 1; t <= kLastReplyMs + 1500; ++t) {
            nowMs = t;
            if (t % kStepMs == 0 && t <= kLastReplyMs) {
                Append(static_cast<int>(++appended), t);
                onDisk = RowsOnDisk();
            } else if ((t - phase) % kRecorderTickMs == 0) {
                ASSERT_TRUE(recorder.flushIfDue());
                onDisk = RowsOnDisk();
            }
            const size_t older = t < 1000 ? 0 : std::min<size_t>(appended, (t - 1000) / kStepMs);
            ASSERT_GE(onDisk, older) << "at " << t << " ms, timer phase " << phase;
            mostWaiting = std::max(mostWaiting, appended - onDisk);
        }
        EXPECT_EQ(onDisk, appended);
        EXPECT_GT(mostWaiting, 5u) << "rows wait in memory, not a system call each";
        recorder.close();
    }

    ASSERT_TRUE(recorder.open(path));
    // A fast monitor: rows go out in chunks before the time is due, always whole.
    const size_t before = RowsOnDisk();
    for (int n = 0; n < 2000; ++n) Append(n, nowMs);
    const std::string text = ReadText(path);
    EXPECT_GT(RowsOnDisk(), before);
    EXPECT_EQ(text.back(), '\n');
}

TEST_F(MonitorRecorderTest, AKilledProcessLeavesEveryRowUpToTheLastSecond) {
    // The child records rows every 70 ms of its clock, says when it has, and is killed while
    // the rows of its last second still wait in memory.
    constexpr int kRows = 40;
    constexpr long long kStepMs = 70;
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(report[0]);
        long long clock = 0;
        MonitorRecorder childRecorder([&clock] { return clock; });
        if (!childRecorder.open(path)) _exit(1);
        for (int n = 1; n <= kRows; ++n) {
            clock = n * kStepMs;
            if (!childRecorder.append(RowWords(n).data())) _exit(1);
        }
        const char done = 'd';
        if (write(report[1], &done, 1) != 1) _exit(1);
        for (;;) pause();
    }
    close(report[1]);
    char done = 0;
    ASSERT_EQ(read(report[0], &done, 1), 1);
    close(report[0]);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    const std::string text = ReadText(path);
    const CsvText csv = ReadCsv(text);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "only whole rows";
    const long long lastMs = kRows * kStepMs;
    int kept = 0;
    for (const auto& row : csv.rows) {
        ASSERT_EQ(row.size(), 17u);
        EXPECT_EQ(row[13], std::to_string(++kept)) << "rows in order, none missing";
    }
    EXPECT_GT((kept + 1) * kStepMs, lastMs - 1000) << "the first lost row is of the last second";
    EXPECT_LT(kept, kRows) << "the newest rows were still waiting";
}

TEST_F(MonitorRecorderTest, AWriteErrorEndsTheFileOnAWholeRowAndTheNextRecordingOnANewOne) {
    ASSERT_TRUE(recorder.open(path));
    Append(1, 100);
    Append(2, kRecorderFlushMs);  // due: the header and both rows go to the file
    const size_t written = ReadText(path).size();
    const size_t rowBytes = (written - std::strlen(kMonitorCsvHeader) - 1) / 2;
    {
        // Room for one more row and half the next: the batch goes in part-way.
        ScopedFileSizeLimit limit(written + rowBytes * 3 / 2);
        for (int n = 3; n <= 5; ++n) Append(n, kRecorderFlushMs + n);
        nowMs = 2 * kRecorderFlushMs;
        EXPECT_FALSE(recorder.flushIfDue());
    }
    EXPECT_FALSE(recorder.isOpen());
    EXPECT_EQ(recorder.error(), std::strerror(EFBIG));
    EXPECT_FALSE(recorder.append(RowWords(6).data()));
    const std::string cut = ReadText(path);
    EXPECT_EQ(cut.back(), '\n') << "the row that went in part-way is taken back out";
    EXPECT_EQ(ReadCsv(cut).rows.size(), 3u) << "the rows that went in whole stay";

    // Recording again into the same file goes on under the one header; so it does after a
    // file left with a row cut short (by another program, or where the cut failed).
    ASSERT_TRUE(recorder.open(path));
    Append(4, nowMs);
    ASSERT_TRUE(recorder.close());
    const std::string cutShort = "1970-01-02T00:00:00.000+00:00,35,0,0";
    std::ofstream(path, std::ios::app) << cutShort;
    ASSERT_TRUE(recorder.open(path));
    Append(5, nowMs);
    ASSERT_TRUE(recorder.close());
    const std::vector<std::string> lines = Lines(ReadText(path));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], kMonitorCsvHeader);
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(SplitCells(lines[n])[13], std::to_string(n));
    EXPECT_EQ(lines[5], cutShort);
    EXPECT_EQ(SplitCells(lines[6]).size(), 17u) << "a row of its own";
    EXPECT_EQ(SplitCells(lines[6])[13], "5");

    EXPECT_FALSE(recorder.open(dir.filePath(QStringLiteral("no/such/folder.csv")).toStdString()));
    EXPECT_EQ(recorder.error(), std::strerror(ENOENT));
}

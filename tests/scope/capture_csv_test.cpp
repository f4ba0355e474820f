// A capture as CSV, read back against the curves, the blocks that arrived and the lines.
#include "scope/capture_csv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "link/data_block.h"
#include "params/param_set.h"
#include "tests/support/csv_reader.h"

using namespace kervano;

namespace {

// Runs body with the time zone TZ set to zone, then restores it.
template <typename Body>
void InZone(const char* zone, Body body) {
    const char* old = std::getenv("TZ");
    const std::string saved = old != nullptr ? old : "";
    setenv("TZ", zone, 1);
    tzset();
    body();
    if (old != nullptr)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace

TEST(CaptureCsv, TimeIsIso8601WithItsOffset) {
    const struct {
        const char* zone;
        std::time_t time;
        const char* text;
    } cases[] = {
        {"UTC0", 123456, "1970-01-02T10:17:36+00:00"},
        {"CET-1", 123456, "1970-01-02T11:17:36+01:00"},
        {"NST+3:30", 0, "1969-12-31T20:30:00-03:30"},
    };
    for (const auto& c : cases) {
        InZone(c.zone, [&] { EXPECT_EQ(Iso8601LocalTime(c.time), c.text) << c.zone; });
    }
}

TEST(CaptureCsv, RowsCarryTheCurvesTheLinesAndGapsWhereBlocksMissed) {
    SetParameterDefaults();
    refTOP = 980, tolTOP = 50, hystTOP = 10;     // upper line limited to 1000
    refBOT = 30, tolBOT = 100, hystBOT = 65535;  // lines below 0 and beyond 16 bits
    hold = 65535;
    for (int i = 0; i < kCurvePoints; ++i) {
        yArrayA[i] = static_cast<unsigned short>(i * 3);
        yArrayB[i] = static_cast<unsigned short>(65535 - i);
    }
    const int blocks[kDataBlocks] = {1, 1, 0, 1};  // BOT samples 1-64 missing
    std::copy(blocks, blocks + kDataBlocks, dataBlockOk);

    std::string text;
    InZone("UTC0", [&] { text = FormatCaptureCsv(RecordCapture(86400)); });
    const CsvText csv = ReadCsv(text);

    ASSERT_EQ(csv.comments.size(), 2u);
    EXPECT_EQ(csv.comments[0], "capture time: 1970-01-02T00:00:00+00:00");
    for (const ParameterEntry& p : kParameterTable) {
        const std::string pair = std::string(" ") + p.name + "=" + std::to_string(*p.variable);
        EXPECT_NE(csv.comments[1].find(pair), std::string::npos) << pair;
    }
    EXPECT_EQ(csv.header, (std::vector<std::string>{
                              "sample", "TOP value", "TOP reference", "TOP upper limit (ref+tol)",
                              "TOP lower limit (ref-hyst)", "BOT value", "BOT reference",
                              "BOT upper limit (ref+hyst)", "BOT lower limit (ref-tol)"}));
    ASSERT_EQ(csv.rows.size(), 128u);
    for (int i = 0; i < kCurvePoints; ++i) {
        const std::string bot = i < 64 ? "" : std::to_string(yArrayB[i]);
        EXPECT_EQ(csv.rows[i],
                  (std::vector<std::string>{std::to_string(i + 1), std::to_string(yArrayA[i]),
                                            "980", "1000", "970", bot, "30", "65565", "-70"}))
            << "sample " << i + 1;
    }
    // As after a capture, the line arrays are left holding the BOT lines.
    EXPECT_EQ(refArray[0], 30);
    EXPECT_EQ(upBOT, -70);
}

#include "scope/capture_csv.h"

#include "link/data_block.h"

namespace kervano {

namespace {

// The value of a line at a sample: the word the graph draws, or the limit itself where
// that word could not hold it.
int LineValue(unsigned short drawn, int limit) {
    return limit < 0 || limit > 0xFFFF ? limit : drawn;
}

void TakeLines(int up, int lo, int* ref, int* upper, int* lower) {
    for (int i = 0; i < kCurvePoints; ++i) {
        ref[i] = refArray[i];
        upper[i] = LineValue(upArray[i], up);
        lower[i] = LineValue(loArray[i], lo);
    }
}

void AppendCell(std::string& row, bool present, long value) {
    row += ',';
    if (present) row += std::to_string(value);
}
}  // namespace

CaptureRecord RecordCapture(std::time_t time) {
    CaptureRecord record;
    record.time = time;
    for (int i = 0; i < kCurvePoints; ++i) {
        const int half = i < kHalfCurvePoints ? 0 : 1;
        record.top[i] = yArrayA[i];
        record.bot[i] = yArrayB[i];
        record.topReceived[i] = dataBlockOk[half] != 0;
        record.botReceived[i] = dataBlockOk[2 + half] != 0;
    }
    ComputeLimits();
    FillTopLines();
    TakeLines(upTOP, loTOP, record.topRef, record.topUpper, record.topLower);
    // The BOT channel is mirrored: upArray holds its tolerance line below the reference,
    // loArray its hysteresis line above.
    FillBotLines();
    TakeLines(upBOT, loBOT, record.botRef, record.botLower, record.botUpper);
    for (int p = 0; p < kParameterCount; ++p) record.parameters[p] = *kParameterTable[p].variable;
    return record;
}

std::string FormatCaptureCsv(const CaptureRecord& record) {
    std::string text = "# capture time: " + Iso8601LocalTime(record.time) + "\n# parameters:";
    for (int p = 0; p < kParameterCount; ++p) {
        text += ' ';
        text += kParameterTable[p].name;
        text += '=' + std::to_string(record.parameters[p]);
    }
    text +=
        "\nsample,TOP value,TOP reference,TOP upper limit (ref+tol),TOP lower limit (ref-hyst),"
        "BOT value,BOT reference,BOT upper limit (ref+hyst),BOT lower limit (ref-tol)\n";
    for (int i = 0; i < kCurvePoints; ++i) {
        std::string row = std::to_string(i + 1);
        AppendCell(row, record.topReceived[i], record.top[i]);
        AppendCell(row, true, record.topRef[i]);
        AppendCell(row, true, record.topUpper[i]);
        AppendCell(row, true, record.topLower[i]);
        AppendCell(row, record.botReceived[i], record.bot[i]);
        AppendCell(row, true, record.botRef[i]);
        AppendCell(row, true, record.botUpper[i]);
        AppendCell(row, true, record.botLower[i]);
        text += row + '\n';
    }
    return text;
}

}  // namespace kervano

// --capture: one data capture, as Data makes it, written as CSV.
#include <ctime>

#include "console/data_capture.h"
#include "console/headless_steps.h"
#include "link/data_block.h"
#include "platform/files/file_service.h"
#include "scope/capture_csv.h"

namespace kervano {

int RunCapture(const CommandLine& commandLine) {
    const std::string nothingWritten = "nothing written to " + commandLine.file;
    if (ConnectController() != 1) return Fail(kExitControllerFailure, ControllerNotReady());
    if (SignalCame()) return StopForSignal(nothingWritten);
    PrintStep("Capturing both data curves");
    const std::time_t time = std::time(nullptr);
    const bool monitorReply = CaptureDataBlocks() == 1;
    const int blocks = DataBlocksReceived();
    if (SignalCame()) return StopForSignal(nothingWritten);
    // Written whatever arrived: a sample that did not is an empty cell.
    std::string error;
    if (!WriteFileWhole(commandLine.file, FormatCaptureCsv(RecordCapture(time)), &error)) {
        return Fail(kExitUsageError,
                    "cannot write " + commandLine.file + " - " + error + " - file unchanged");
    }
    PrintStep("Capture written to " + commandLine.file + " (" + std::to_string(blocks) +
              " of 4 blocks)");
    if (!monitorReply || blocks != kDataBlocks)
        return Fail(kExitControllerFailure, "capture incomplete - " + LastStatusText());
    return 0;
}

}  // namespace kervano

// --report FILE: reads RAM, EEPROM and both data curves, then writes the service report, as
// File > Service report... writes it from the panel.
#include <ctime>

#include "console/compare_sources.h"
#include "console/data_capture.h"
#include "console/headless_steps.h"
#include "console/service_report_file.h"
#include "link/data_block.h"
#include "scope/last_capture.h"

namespace kervano {

int RunReport(const CommandLine& commandLine) {
    const std::string nothingWritten = "nothing written to " + commandLine.file;
    if (ConnectController() != 1) return Fail(kExitControllerFailure, ControllerNotReady());
    if (SignalCame()) return StopForSignal(nothingWritten);
    PrintStep("Reading RAM and EEPROM");
    CompareColumn ram;
    CompareColumn eeprom;
    const bool setsRead = ReadControllerColumns(ram, eeprom);
    if (SignalCame()) return StopForSignal(nothingWritten);
    PrintStep("Capturing both data curves");
    const std::time_t time = std::time(nullptr);
    const bool monitorReply = CaptureDataBlocks() == 1;
    const int blocks = DataBlocksReceived();
    RememberCapture(time);
    if (SignalCame()) return StopForSignal(nothingWritten);
    // Written whatever came: the report says what was not read.
    std::string error;
    if (!WriteServiceReport(commandLine.file, &error)) {
        return Fail(kExitUsageError,
                    "cannot write " + commandLine.file + " - " + error + " - file unchanged");
    }
    PrintStep("Service report written to " + commandLine.file);
    if (!setsRead) return Fail(kExitControllerFailure, "parameters not read - " + LastStatusText());
    if (!monitorReply || blocks != kDataBlocks)
        return Fail(kExitControllerFailure, "capture incomplete - " + LastStatusText());
    return 0;
}

}  // namespace kervano

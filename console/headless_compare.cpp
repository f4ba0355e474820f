// --compare [FILE]: RAM, EEPROM, the defaults and FILE's full packet side by side, as the
// Compare window shows them; the exit status says whether RAM, EEPROM and FILE agree.
#include <string>
#include <vector>

#include "console/compare_sources.h"
#include "console/compare_table.h"
#include "console/headless_steps.h"

namespace kervano {

namespace {
// "EEPROM", "RAM and EEPROM": the memories whose packets did not all come.
std::string NotReadMemories(const CompareTable& table) {
    const bool ram = ColumnNotRead(table, COMPARE_RAM);
    const bool eeprom = ColumnNotRead(table, COMPARE_EEPROM);
    return ram && eeprom ? "RAM and EEPROM" : ram ? "RAM" : "EEPROM";
}
}  // namespace

int RunCompare(const CommandLine& commandLine) {
    CompareTable table;
    const std::string& file = commandLine.file;
    // The file first: a file that cannot be used never reaches the line.
    if (!file.empty()) {
        std::string refusal;
        table.columns[COMPARE_FILE] = FileColumn(file, refusal);
        if (!refusal.empty())
            return Fail(kExitUsageError, "parameter file " + file + " not loaded - " + refusal);
        PrintStep("Parameter file " + file + " loaded");
    }
    if (ConnectController() != 1) return Fail(kExitControllerFailure, ControllerNotReady());
    if (SignalCame()) return StopForSignal("nothing compared");
    PrintStep(file.empty() ? std::string("Comparing RAM and EEPROM")
                           : "Comparing RAM and EEPROM with " + file);
    const bool allRead =
        ReadControllerColumns(table.columns[COMPARE_RAM], table.columns[COMPARE_EEPROM]);
    table.columns[COMPARE_DEFAULT] = DefaultColumn();
    if (SignalCame()) return StopForSignal("nothing compared");

    for (const std::string& line : CompareTableLines(table)) PrintStep(line);
    const std::string summary = CompareSummary(table);
    PrintStep(summary);
    if (!allRead) {
        return Fail(kExitControllerFailure, "parameters not read from " + NotReadMemories(table) +
                                                " - " + LastStatusText());
    }
    if (DifferingRows(table) != 0) return Fail(kExitControllerFailure, summary);
    return 0;
}

}  // namespace kervano

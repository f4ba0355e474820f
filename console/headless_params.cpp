// --read-params and --write-params: the parameter set between the controller and a file,
// with Get's reads, Send's frames and the parameter-file routines.
#include <algorithm>

#include "console/headless_steps.h"
#include "console/journal_store.h"
#include "link/frame.h"
#include "link/packet.h"
#include "link/transactions.h"
#include "params/param_file.h"
#include "params/param_set.h"
#include "params/param_table.h"
#include "params/transfer_commands.h"
#include "platform/serial/serial_port.h"

namespace kervano {

namespace {
// Time the controller is given to take a Send in before the next request, which starts by
// flushing the queues; the same gap Send leaves between its two frames.
constexpr double kStoreGap = 0.1;

// Both packets from memory into the variables, as Get does; 1 when both replies came.
int ReadBothPackets(int memory) {
    target = memory;
    return ReadParameterSet(memory);
}

// Compares every parameter with what was sent; prints each that differs. Returns how many.
int ReportMismatches(const unsigned short* sent, int memory) {
    int mismatches = 0;
    for (int p = 0; p < kParameterCount; ++p) {
        const ParameterEntry& entry = kParameterTable[p];
        if (*entry.variable == sent[p]) continue;
        ++mismatches;
        PrintStep(std::string("Mismatch: ") + entry.name + " (" +
                  (entry.flag == 0 ? "full" : "short") + " packet word " +
                  std::to_string(entry.word) + ") sent " + std::to_string(sent[p]) + ", " +
                  MemoryName(memory) + " holds " + std::to_string(*entry.variable));
    }
    return mismatches;
}
}  // namespace

int RunReadParams(const CommandLine& commandLine) {
    if (!SetFileName(commandLine.file)) return Fail(kExitUsageError, "file name too long");
    // The link's set-up reads both packets from RAM already.
    const std::string nothingWritten = "nothing written to " + commandLine.file;
    if (ConnectController() != 1) return Fail(kExitControllerFailure, ControllerNotReady());
    if (SignalCame()) return StopForSignal(nothingWritten);
    if (commandLine.memory == EEPROM) {
        PrintStep("Reading the parameter set from EEPROM");
        if (ReadBothPackets(EEPROM) != 1) {
            return Fail(kExitControllerFailure,
                        "parameters not read from EEPROM - " + LastStatusText());
        }
        if (SignalCame()) return StopForSignal(nothingWritten);
    }
    if (SendParaToFile() != 1) {
        return Fail(kExitUsageError,
                    "cannot write parameter file " + commandLine.file + " - file unchanged");
    }
    PrintStep(std::string("Parameters from ") + MemoryName(commandLine.memory) + " written to " +
              commandLine.file);
    return 0;
}

int RunWriteParams(const CommandLine& commandLine) {
    InstallJournalFile();  // the Send below leaves its record in the journal file
    const int memory = commandLine.memory;
    // The file first: a file that cannot be used never reaches the line.
    if (!SetFileName(commandLine.file)) return Fail(kExitUsageError, "file name too long");
    if (LoadParaFile() != 1) {
        return Fail(kExitUsageError,
                    "parameter file " + commandLine.file + " not loaded - " + LastStatusText());
    }
    CopyVarsToPP(0);
    unsigned short fromFile[PNUM];
    std::copy(pp, pp + PNUM, fromFile);
    PrintStep("Parameter file " + commandLine.file + " loaded");

    // The set-up reads the controller's RAM set; the short packet it sends back keeps the
    // controller's own digcnt, digmode and hold, which a file does not hold.
    if (ConnectController() != 1) return Fail(kExitControllerFailure, ControllerNotReady());
    if (SignalCame()) return StopForSignal("nothing sent");
    if (memory == EEPROM) {
        PrintStep("Reading digcnt, digmode and hold from EEPROM");
        target = EEPROM;
        order = ORDER_READ_EEPROM;
        if (PushGET(EEPROM, 1) != 1) {
            return Fail(kExitControllerFailure,
                        "short packet not read from EEPROM - " + LastStatusText());
        }
        if (SignalCame()) return StopForSignal("nothing sent");
    }
    std::copy(fromFile, fromFile + PNUM, pp);
    CopyPPtoVars(0);

    unsigned short sent[kParameterCount];
    for (int p = 0; p < kParameterCount; ++p) sent[p] = *kParameterTable[p].variable;
    PrintStep(std::string("Sending the parameter set to ") + MemoryName(memory));
    target = memory;
    if (SendParaToController() != 1) {
        return Fail(kExitControllerFailure, "parameters not sent - " + LastStatusText());
    }
    // A signal never parts the two packets (a Send runs to its end), but the write as asked
    // for is not done: the unit must not pass as written.
    const std::string bothSent =
        std::string(" after both packets went to ") + MemoryName(memory) + " - not verified";
    Delay(kStoreGap);
    if (SignalCame()) return Fail(kExitControllerFailure, StoppedBySignal() + bothSent);
    if (!commandLine.verify) {
        PrintStep("Parameters from " + commandLine.file + " sent to " + MemoryName(memory) +
                  " (not verified)");
        return 0;
    }

    PrintStep(std::string("Verifying: reading the parameter set back from ") + MemoryName(memory));
    if (ReadBothPackets(memory) != 1) {
        return Fail(kExitControllerFailure, std::string("parameters not read back from ") +
                                                MemoryName(memory) + " - " + LastStatusText());
    }
    if (SignalCame()) return Fail(kExitControllerFailure, StoppedBySignal() + bothSent);
    const int mismatches = ReportMismatches(sent, memory);
    if (mismatches != 0) {
        return Fail(kExitControllerFailure, "verify failed: " + std::to_string(mismatches) +
                                                " of " + std::to_string(kParameterCount) +
                                                " parameters differ in " + MemoryName(memory));
    }
    PrintStep("Parameters from " + commandLine.file + " written to " + MemoryName(memory) +
              " and verified: all " + std::to_string(kParameterCount) + " read back as sent");
    return 0;
}

}  // namespace kervano

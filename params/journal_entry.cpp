#include "params/journal_entry.h"

#include <ctime>
#include <memory>
#include <utility>

#include "link/frame.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/known_values.h"
#include "params/local_time.h"
#include "platform/serial/port_table.h"
#include "resources/status_line.h"
#include "resources/status_listeners.h"

namespace kervano {

namespace {
// The description main gives the built-in simulated controller's pseudo-terminal.
constexpr const char* kSimulatedController = "built-in simulated controller";

std::unique_ptr<JournalRecord> current;

// The last text the status line showed while the entry is open (ShowStatus with a text of
// its own leaves szStatus as it was).
void TakeStatus(const char* text) {
    if (current != nullptr) current->status = text;
}

void TakePort(JournalRecord& record) {
    record.port = "COM" + std::to_string(com);
    for (const PortEntry& entry : PortTableList()) {
        if (entry.number != com) continue;
        record.device = entry.description == kSimulatedController ? "sim" : entry.device;
        record.serialNumber = entry.serialNumber;
    }
}
}  // namespace

JournalEntry::JournalEntry(const char* command) {
    if (current != nullptr) return;
    open_ = true;
    current = std::make_unique<JournalRecord>();
    current->time = Iso8601LocalTime(std::time(nullptr));
    current->command = command;
    current->ramBefore = knownRam;
    current->eepromBefore = knownEeprom;
    current->status = szStatus;
    AddStatusListener(TakeStatus);
}

JournalEntry::~JournalEntry() {
    if (!open_) return;
    const std::unique_ptr<JournalRecord> record = std::move(current);
    RemoveStatusListener(TakeStatus);
    TakePort(*record);
    record->firmware = FirmwareTextUtf8();
    AddJournalRecord(std::move(*record));
}

void JournalPacketSent(const unsigned short* words) {
    if (current != nullptr) current->packets.emplace_back(words, words + PNUM);
}

}  // namespace kervano

#include "params/journal.h"

#include <cstdio>
#include <utility>

#include "params/param_table.h"

namespace kervano {

namespace {
std::vector<JournalRecord>& Records() {
    static std::vector<JournalRecord> records;
    return records;
}

JournalWriter writer = nullptr;

std::string Cell(bool known, unsigned short value) {
    return known ? std::to_string(value) : "-";
}
}  // namespace

const std::vector<JournalRecord>& JournalOfThisRun() {
    return Records();
}

void AddJournalRecord(JournalRecord record) {
    Records().push_back(std::move(record));
    if (writer != nullptr) writer(Records().back());
}

void SetJournalWriter(JournalWriter newWriter) {
    writer = newWriter;
}

bool JournalSentParameter(const JournalRecord& record, int index, unsigned short* value) {
    if (index < 0 || index >= kParameterCount) return false;
    const ParameterEntry& entry = kParameterTable[index];
    // The packets tell their layout by word 0, as on the line: 0 full, 1 short.
    for (const std::vector<unsigned short>& packet : record.packets) {
        if (packet.size() <= static_cast<size_t>(entry.word) || packet[0] != entry.flag) continue;
        *value = packet[entry.word];
        return true;
    }
    return false;
}

std::string JournalRecordText(const JournalRecord& record) {
    std::string text =
        record.time + "  " + record.command + "  " + record.port + " " + record.device;
    if (!record.serialNumber.empty()) text += " (adapter " + record.serialNumber + ")";
    text += "  firmware \"" + record.firmware + "\"  - " + record.status + "\n";
    for (int p = 0; p < kParameterCount; ++p) {
        unsigned short ram = 0, eeprom = 0, sent = 0;
        const bool ramKnown = KnownParameter(record.ramBefore, p, &ram);
        const bool eepromKnown = KnownParameter(record.eepromBefore, p, &eeprom);
        const bool wasSent = JournalSentParameter(record, p, &sent);
        char line[128];
        std::snprintf(line, sizeof line, "  %-9s RAM before %5s  EEPROM before %5s  sent %5s\n",
                      kParameterTable[p].name, Cell(ramKnown, ram).c_str(),
                      Cell(eepromKnown, eeprom).c_str(), Cell(wasSent, sent).c_str());
        text += line;
    }
    return text;
}

}  // namespace kervano

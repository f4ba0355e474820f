// The journal of writes to a controller: one record per Send, Teach, Reset or headless
// write, kept for the whole run and appended to a file in the user's data folder. Plain
// data here; the file and its format live with the platform and console glue.
#pragma once

#include <string>
#include <vector>

#include "params/known_values.h"

namespace kervano {

struct JournalRecord {
    std::string time;          // local time with its offset, "2025-03-01T14:05:09+01:00"
    std::string port;          // "COM1"
    std::string device;        // "/dev/ttyUSB0", "sim"
    std::string serialNumber;  // the USB adapter's serial number, or ""
    std::string firmware;      // the controller's firmware text, or ""
    std::string command;       // "Send to RAM", "Send to EEPROM", "Teach", "Reset", ...
    std::vector<std::vector<unsigned short>> packets;  // the packets sent, each its words
    KnownMemory ramBefore;     // what the tool knew the controller to hold before
    KnownMemory eepromBefore;
    std::string status;        // the final status text
};

// The records written during this run, oldest first (the service report lists them).
const std::vector<JournalRecord>& JournalOfThisRun();

// A record as text: one header line, then a line per parameter with its values before.
std::string JournalRecordText(const JournalRecord& record);

// Adds record to this run's list, then hands the stored record to the writer when one is
// set. The writer (the console glue) may complete what the layers below cannot know, such
// as a pinned adapter's serial number, and appends it to the journal file. One writer;
// nullptr for none (the record is then kept for this run only).
void AddJournalRecord(JournalRecord record);
using JournalWriter = void (*)(JournalRecord& record);
void SetJournalWriter(JournalWriter writer);

// The value of parameter index (kParameterTable order) in the packets record sent; false
// when no packet sent carries it (Teach and Reset send the full packet only).
bool JournalSentParameter(const JournalRecord& record, int index, unsigned short* value);

}  // namespace kervano

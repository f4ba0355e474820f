// The journal between the records of this run and its file: each record added is written
// as one JSON line (a write that fails never fails the command: the status line says so
// once per run and then shows the command's own outcome again), and the records of earlier
// runs are read back for the Journal window, skipping lines that are damaged.
#pragma once

#include <string>
#include <vector>

#include "params/journal.h"

namespace kervano {

// Makes the journal file the journal's writer (the panel, --write-params) and starts a run:
// its notices afresh, the files read again when next asked.
void InstallJournalFile();

// The records in the journal files (journal.1.jsonl, then journal.jsonl) that this program
// did not write, oldest first. Read once, when first asked; damaged lines (a last one cut short
// by a crash, any other) are skipped and the status line says so once.
const std::vector<JournalRecord>& EarlierJournalRecords();

// Called after each record of this run was added and written (the window follows it).
using JournalListener = void (*)();
void SetJournalListener(JournalListener listener);

// A record as one compact JSON object, and back; false for a line that is no record.
std::string JournalRecordJson(const JournalRecord& record);
bool JournalRecordFromJson(const std::string& line, JournalRecord& record);

}  // namespace kervano

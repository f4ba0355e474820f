// A journal record taken beside a write to the controller: the entry is opened when the
// command starts (its time, what the tool knew the controller to hold), is given each packet
// as it goes out, and is added to the journal with the port, the firmware text and the last
// status text when the command has ended (the entry's end). Nothing on the line or in the
// order of steps depends on it. One entry is open at a time; one opened inside another
// (a command that runs another) joins the outer one.
#pragma once

#include "params/journal.h"

namespace kervano {

class JournalEntry {
  public:
    explicit JournalEntry(const char* command);
    ~JournalEntry();
    JournalEntry(const JournalEntry&) = delete;
    JournalEntry& operator=(const JournalEntry&) = delete;

  private:
    bool open_ = false;
};

// The packet that goes out now (words as in pp, word 0 its layout), into the open entry.
void JournalPacketSent(const unsigned short* words);

}  // namespace kervano

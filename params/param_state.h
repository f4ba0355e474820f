// Where each parameter field stands against the controller, and the Parameters frame's line
// that says it: computed from the fields, the record of known controller values and a note
// the last command left. Recomputed when a field or the record changes, never per monitor
// reply.
#pragma once

#include <string>

#include "params/param_table.h"

namespace kervano {

struct FieldState {
    unsigned short panel = 0;
    bool ramKnown = false;
    unsigned short ram = 0;
    bool unsent = false;         // differs from the controller's RAM (or, RAM unknown, was edited)
    bool outsideRange = false;   // outside the usual range (per mille above 1000)
};

struct ParameterState {
    FieldState fields[kParameterCount];
    int unsentCount = 0;
    std::string line;  // the Parameters frame's line, one or more lines of text
};

// The state of the panel as it stands now.
ParameterState CurrentParameterState();
// The tooltip of one field: its state against the controller, then its description.
std::string FieldTooltip(int index, const FieldState& field);
// How many fields hold values the controller does not (the count of "changes not sent").
int UnsentChangeCount();
// Names of the unsent parameters with their values, "refTOP 620 -> 444", one per line.
std::string UnsentChangeList();

// The program put values on the fields (start-up defaults, Get, a file): with the RAM
// not known, these are what later edits are counted against.
void NotePanelSetByProgram(bool defaults = false);
// A text the last command leaves on the line ("Taught: refTOP 500 -> 628"); it stays until
// the next command leaves another or clears it. Empty clears.
void SetParameterNote(const std::string& note);
// The panel fields changed or were repainted: recompute and tell the listener.
void ParameterStateChanged();

using ParameterStateListener = void (*)(const ParameterState& state);
void SetParameterStateListener(ParameterStateListener listener);

// "refTOP 500 -> 628, refBOT 500 -> 611" for the fields that differ between before and after;
// empty when none does.
std::string DescribeChanges(const unsigned short* before, const unsigned short* after);

}  // namespace kervano

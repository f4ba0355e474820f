#include "params/param_state.h"

#include <algorithm>

#include "params/known_values.h"
#include "params/panel_binding.h"
#include "params/param_info.h"

namespace kervano {

namespace {
unsigned short baseline[kParameterCount] = {};  // what the program last put on the fields
bool panelHoldsDefaults = true;
std::string note;
ParameterStateListener stateListener = nullptr;

std::string Plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string RamLine(const ParameterState& state) {
    if (!MemoryKnown(knownRam)) {
        return panelHoldsDefaults ? "Values not read from the controller (panel defaults)"
                                  : "Controller RAM not known - Get reads it";
    }
    if (state.unsentCount > 0) return Plural(state.unsentCount, "change", "changes") + " not sent";
    return "Panel = controller RAM";
}

std::string EepromLine() {
    if (!MemoryKnown(knownRam)) return "";
    if (!MemoryKnown(knownEeprom)) return "EEPROM not read";
    const int differences = CountDifferences(knownRam, knownEeprom);
    if (differences == 0) return "RAM = EEPROM - stored for power-off";
    return "RAM differs from EEPROM in " + Plural(differences, "parameter", "parameters") +
           " - not stored for power-off";
}
}  // namespace

ParameterState CurrentParameterState() {
    ParameterState state;
    unsigned short panel[kParameterCount];
    ReadPanelFields(panel);
    for (int p = 0; p < kParameterCount; ++p) {
        FieldState& field = state.fields[p];
        field.panel = panel[p];
        field.ramKnown = KnownParameter(knownRam, p, &field.ram);
        field.unsent = field.ramKnown ? field.panel != field.ram : field.panel != baseline[p];
        field.outsideRange = OutsideUsualRange(p, field.panel);
        if (field.unsent) ++state.unsentCount;
    }
    for (const std::string& part : {note, RamLine(state), EepromLine()}) {
        if (part.empty()) continue;
        if (!state.line.empty()) state.line += '\n';
        state.line += part;
    }
    return state;
}

std::string FieldTooltip(int index, const FieldState& field) {
    const std::string panel = std::to_string(field.panel);
    std::string text =
        field.ramKnown
            ? "Controller RAM: " + std::to_string(field.ram) + " - panel: " + panel +
                  (field.unsent ? " (not sent)" : "")
            : "Controller RAM: not known - panel: " + panel + (field.unsent ? " (changed)" : "");
    if (field.outsideRange) text += "\nAbove the usual 0..1000 - check it before sending";
    return text + "\n\n" + ParameterDescription(index);
}

int UnsentChangeCount() {
    return CurrentParameterState().unsentCount;
}

std::string UnsentChangeList() {
    const ParameterState state = CurrentParameterState();
    std::string list;
    for (int p = 0; p < kParameterCount; ++p) {
        const FieldState& field = state.fields[p];
        if (!field.unsent) continue;
        const unsigned short was = field.ramKnown ? field.ram : baseline[p];
        list += std::string(kParameterTable[p].name) + " " + std::to_string(was) + " -> " +
                std::to_string(field.panel) + "\n";
    }
    return list;
}

void NotePanelSetByProgram(bool defaults) {
    unsigned short panel[kParameterCount];
    ReadPanelFields(panel);
    if (!defaults && !std::equal(panel, panel + kParameterCount, baseline)) {
        panelHoldsDefaults = false;
    }
    if (defaults) panelHoldsDefaults = true;
    std::copy(panel, panel + kParameterCount, baseline);
    ParameterStateChanged();
}

void SetParameterNote(const std::string& text) {
    note = text;
    ParameterStateChanged();
}

void ParameterStateChanged() {
    if (stateListener != nullptr) stateListener(CurrentParameterState());
}

void SetParameterStateListener(ParameterStateListener newListener) {
    stateListener = newListener;
}

std::string DescribeChanges(const unsigned short* before, const unsigned short* after) {
    std::string text;
    for (int p = 0; p < kParameterCount; ++p) {
        if (before[p] == after[p]) continue;
        if (!text.empty()) text += ", ";
        text += std::string(kParameterTable[p].name) + " " + std::to_string(before[p]) + " -> " +
                std::to_string(after[p]);
    }
    return text;
}

}  // namespace kervano

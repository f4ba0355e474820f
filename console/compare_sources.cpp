#include "console/compare_sources.h"

#include "link/frame.h"
#include "link/transactions.h"
#include "params/panel_binding.h"
#include "params/param_file.h"
#include "params/param_info.h"
#include "params/param_set.h"
#include "resources/status_line.h"

namespace kervano {

namespace {

// The parameter variables, kParameterTable order.
void SaveVariables(unsigned short* values) {
    for (int p = 0; p < kParameterCount; ++p) values[p] = *kParameterTable[p].variable;
}
void RestoreVariables(const unsigned short* values) {
    for (int p = 0; p < kParameterCount; ++p) *kParameterTable[p].variable = values[p];
}

// One memory's two packets; each read that came fills its packet's parameters from the
// variables it was unpacked into.
bool ReadMemory(int memory, CompareColumn& column) {
    column = CompareColumn{};
    column.shown = true;
    bool allRead = true;
    for (int flag : {0, 1}) {
        if (PushGET(memory, flag) != 1) {
            allRead = false;
            continue;
        }
        for (int p = 0; p < kParameterCount; ++p) {
            if (kParameterTable[p].flag != flag) continue;
            column.known[p] = true;
            column.values[p] = *kParameterTable[p].variable;
        }
    }
    return allRead;
}

}  // namespace

CompareColumn PanelColumn() {
    unsigned short values[kParameterCount];
    ReadPanelFields(values);
    return KnownColumn(values);
}

CompareColumn DefaultColumn() {
    unsigned short values[kParameterCount];
    DefaultParameterValues(values);
    return KnownColumn(values);
}

CompareColumn FileColumn(const std::string& path, std::string& refusal) {
    unsigned short record[PNUM];
    refusal = ReadParameterFile(path, record);
    CompareColumn column;
    if (!refusal.empty()) return column;
    column.shown = true;
    for (int p = 0; p < kParameterCount; ++p) {
        if (kParameterTable[p].flag != 0) continue;
        column.known[p] = true;
        column.values[p] = record[kParameterTable[p].word];
    }
    return column;
}

bool ReadControllerColumns(CompareColumn& ram, CompareColumn& eeprom) {
    unsigned short saved[kParameterCount];
    SaveVariables(saved);
    const bool ramRead = ReadMemory(RAM, ram);
    const bool eepromRead = ReadMemory(EEPROM, eeprom);
    RestoreVariables(saved);
    // A later success must not hide an earlier time-out, as after Get.
    if (!ramRead || !eepromRead) ShowStatus(kParametersNotReadText);
    return ramRead && eepromRead;
}

void TakeIntoPanel(const CompareColumn& column) {
    unsigned short values[kParameterCount];
    ReadPanelFields(values);
    for (int p = 0; p < kParameterCount; ++p) {
        if (column.shown && column.known[p]) values[p] = column.values[p];
    }
    WritePanelFields(values);
}

}  // namespace kervano

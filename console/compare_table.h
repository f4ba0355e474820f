// The table Compare shows: each parameter's value in the panel's fields, in RAM, in EEPROM,
// as its default and in a parameter file, side by side, and where they disagree. The same
// table is drawn in the Compare window and printed by --compare.
#pragma once

#include <string>
#include <vector>

#include "params/param_table.h"

namespace kervano {

enum CompareSource {
    COMPARE_PANEL,
    COMPARE_RAM,
    COMPARE_EEPROM,
    COMPARE_DEFAULT,
    COMPARE_FILE,
};
constexpr int kCompareSources = 5;

// One source's eighteen values in kParameterTable order. A value is unknown when its packet
// was not read, and for the short packet's three in a file, which holds the full one only.
struct CompareColumn {
    bool shown = false;  // no panel without a window, no file until one is chosen
    bool known[kParameterCount] = {};
    unsigned short values[kParameterCount] = {};
};

struct CompareTable {
    CompareColumn columns[kCompareSources];
};

constexpr const char* kNotReadText = "not read";

// "panel", "RAM", "EEPROM", "default", "file".
const char* CompareSourceName(int source);
// A column that shows values, all eighteen known.
CompareColumn KnownColumn(const unsigned short* values);
bool ColumnComplete(const CompareColumn& column);
// Whether a column was read in part only or not at all: RAM and EEPROM only, since a file's
// short-packet gap is no failure.
bool ColumnNotRead(const CompareTable& table, int source);

// The default is shown for reference and never counts as a difference. The others' values in
// a row are measured against one of them: RAM, the memory the controller works with, else
// EEPROM, the panel, the file, whichever is the first known.
int RowReference(const CompareTable& table, int parameter);
// A known value of a compared source that differs from its row's reference.
bool CellDiffers(const CompareTable& table, int source, int parameter);
bool RowDiffers(const CompareTable& table, int parameter);
int DifferingRows(const CompareTable& table);

// What a cell shows: the value, "not read", or "" where the source holds none.
std::string CellText(const CompareTable& table, int source, int parameter);
// "EEPROM differs from RAM", "panel and file differ from RAM", or "" for a row that agrees.
std::string RowNote(const CompareTable& table, int parameter);
// The header line and one line per parameter: "*" before a row that differs, the shown
// columns right-aligned, the row's note.
std::vector<std::string> CompareTableLines(const CompareTable& table);
// "RAM and EEPROM agree in all 18 parameters", "2 of 18 parameters differ between RAM and
// EEPROM", "EEPROM not read; ..." for a column that was not read.
std::string CompareSummary(const CompareTable& table);

}  // namespace kervano

#include "console/compare_table.h"

#include <algorithm>
#include <cstdio>

namespace kervano {

namespace {

constexpr int kNameWidth = 10;
constexpr int kValueWidth = 9;  // "not read" and a space
// Reference order: what the controller works with comes first.
constexpr int kReferenceOrder[] = {COMPARE_RAM, COMPARE_EEPROM, COMPARE_PANEL, COMPARE_FILE};

bool Compared(int source) {
    return source != COMPARE_DEFAULT;
}

bool Known(const CompareTable& table, int source, int parameter) {
    const CompareColumn& column = table.columns[source];
    return column.shown && column.known[parameter];
}

// "RAM", "RAM and EEPROM", "RAM, EEPROM and file".
std::string Listing(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

std::string Padded(const std::string& text, int width, bool right) {
    const std::string fill(static_cast<size_t>(std::max(0, width - static_cast<int>(text.size()))),
                           ' ');
    return right ? fill + text : text + fill;
}

}  // namespace

const char* CompareSourceName(int source) {
    static const char* const kNames[kCompareSources] = {"panel", "RAM", "EEPROM", "default",
                                                        "file"};
    return source >= 0 && source < kCompareSources ? kNames[source] : "";
}

CompareColumn KnownColumn(const unsigned short* values) {
    CompareColumn column;
    column.shown = true;
    std::fill(std::begin(column.known), std::end(column.known), true);
    std::copy(values, values + kParameterCount, column.values);
    return column;
}

bool ColumnComplete(const CompareColumn& column) {
    return column.shown && std::all_of(std::begin(column.known), std::end(column.known),
                                       [](bool known) { return known; });
}

bool ColumnNotRead(const CompareTable& table, int source) {
    return (source == COMPARE_RAM || source == COMPARE_EEPROM) && table.columns[source].shown &&
           !ColumnComplete(table.columns[source]);
}

int RowReference(const CompareTable& table, int parameter) {
    for (int source : kReferenceOrder) {
        if (Known(table, source, parameter)) return source;
    }
    return -1;
}

bool CellDiffers(const CompareTable& table, int source, int parameter) {
    const int reference = RowReference(table, parameter);
    if (reference < 0 || !Compared(source) || !Known(table, source, parameter)) return false;
    return table.columns[source].values[parameter] != table.columns[reference].values[parameter];
}

bool RowDiffers(const CompareTable& table, int parameter) {
    for (int source = 0; source < kCompareSources; ++source) {
        if (CellDiffers(table, source, parameter)) return true;
    }
    return false;
}

int DifferingRows(const CompareTable& table) {
    int rows = 0;
    for (int p = 0; p < kParameterCount; ++p) rows += RowDiffers(table, p) ? 1 : 0;
    return rows;
}

std::string CellText(const CompareTable& table, int source, int parameter) {
    const CompareColumn& column = table.columns[source];
    if (!column.shown) return "";
    if (column.known[parameter]) return std::to_string(column.values[parameter]);
    return source == COMPARE_FILE ? "" : kNotReadText;
}

std::string RowNote(const CompareTable& table, int parameter) {
    std::vector<std::string> differing;
    for (int source = 0; source < kCompareSources; ++source) {
        if (CellDiffers(table, source, parameter)) differing.push_back(CompareSourceName(source));
    }
    if (differing.empty()) return "";
    return Listing(differing) + (differing.size() == 1 ? " differs from " : " differ from ") +
           CompareSourceName(RowReference(table, parameter));
}

std::vector<std::string> CompareTableLines(const CompareTable& table) {
    std::string header = "  " + Padded("parameter", kNameWidth, false);
    for (int source = 0; source < kCompareSources; ++source) {
        if (table.columns[source].shown)
            header += Padded(CompareSourceName(source), kValueWidth, true);
    }
    std::vector<std::string> lines = {header + "  note"};
    for (int p = 0; p < kParameterCount; ++p) {
        std::string line = std::string(RowDiffers(table, p) ? "* " : "  ") +
                           Padded(kParameterTable[p].name, kNameWidth, false);
        for (int source = 0; source < kCompareSources; ++source) {
            if (table.columns[source].shown)
                line += Padded(CellText(table, source, p), kValueWidth, true);
        }
        const std::string note = RowNote(table, p);
        if (!note.empty()) line += "  " + note;
        // A row without a note ends where its last value does.
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(line);
    }
    return lines;
}

std::string CompareSummary(const CompareTable& table) {
    std::vector<std::string> compared, notRead;
    for (int source = 0; source < kCompareSources; ++source) {
        if (!table.columns[source].shown || !Compared(source)) continue;
        compared.push_back(CompareSourceName(source));
        if (ColumnNotRead(table, source)) notRead.push_back(CompareSourceName(source));
    }
    const int rows = DifferingRows(table);
    const std::string count = std::to_string(rows) + " of " + std::to_string(kParameterCount) +
                              (rows == 1 ? " parameter differs" : " parameters differ");
    if (!notRead.empty()) {
        return Listing(notRead) + " not read; " +
               (rows == 0 ? std::string("the values read agree") : count + " where read");
    }
    if (rows == 0) return Listing(compared) + " agree in every parameter";
    return count + " between " + Listing(compared);
}

}  // namespace kervano

// Reads a capture CSV back for tests: its '#' lines, its header and its rows of cells
// (an empty cell stays an empty string).
#pragma once

#include <sstream>
#include <string>
#include <vector>

struct CsvText {
    std::vector<std::string> comments;  // without the leading "# "
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

inline std::vector<std::string> SplitCells(const std::string& line) {
    std::vector<std::string> cells(1);
    for (char c : line) {
        if (c == ',')
            cells.emplace_back();
        else
            cells.back() += c;
    }
    return cells;
}

inline CsvText ReadCsv(const std::string& text) {
    CsvText csv;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("# ", 0) == 0) {
            csv.comments.push_back(line.substr(2));
        } else if (csv.header.empty()) {
            csv.header = SplitCells(line);
        } else {
            csv.rows.push_back(SplitCells(line));
        }
    }
    return csv;
}

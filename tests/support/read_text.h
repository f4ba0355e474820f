// A whole file as bytes, for tests that check what the tool wrote ("" when it cannot be read).
#pragma once

#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

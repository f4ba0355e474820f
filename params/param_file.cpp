#include "params/param_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "link/frame.h"
#include "link/packet.h"
#include "link/port_setup.h"
#include "params/panel_binding.h"
#include "platform/ui/userint.h"

namespace kervano {

char file_name[kPathBytes] = "";
char proj_dir[kPathBytes] = "";

namespace {
constexpr int kRecordWords = PNUM;
constexpr int kFieldWidth = 4;
// A parameter file is a few dozen bytes; anything far larger is not one.
constexpr std::streamsize kMaxFileBytes = 64 * 1024;

int AskForFile(int buttonLabel) {
    return FileSelectPopup(proj_dir, kParamFileDefaultName, kParamFileFilter, kParamFileTitle,
                           buttonLabel, 0, 1, 1, 1, file_name);
}

// Writes text to a temporary file beside path and renames it over path, so a failure
// never leaves a half-written or emptied parameter file behind.
bool ReplaceFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << text;
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    if (error) {
        std::filesystem::remove(temp, error);
        return false;
    }
    return true;
}

bool ReadWholeFile(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    char chunk[4096];
    std::streamsize total = 0;
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        total += in.gcount();
        if (total > kMaxFileBytes) return false;
        content.write(chunk, in.gcount());
    }
    text = content.str();
    return true;
}
}  // namespace

std::string FormatParameterRecord(const unsigned short* words) {
    std::string text;
    char field[16];
    for (int i = 0; i < kRecordWords; ++i) {
        std::snprintf(field, sizeof field, "%*u\n", kFieldWidth, static_cast<unsigned>(words[i]));
        text += field;
    }
    return text;
}

bool ParseParameterRecord(const std::string& text, unsigned short* words) {
    unsigned short parsed[kRecordWords] = {};
    int count = 0;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        unsigned int low16 = 0;
        for (char c : token) {
            if (c < '0' || c > '9') return false;
            // Only the low 16 bits are kept, so reduce as we go: no overflow, any length.
            low16 = (low16 * 10 + static_cast<unsigned>(c - '0')) & 0xFFFF;
        }
        if (count < kRecordWords) parsed[count] = static_cast<unsigned short>(low16);
        ++count;
    }
    if (count < kRecordWords) return false;
    for (int i = 0; i < kRecordWords; ++i) words[i] = parsed[i];
    return true;
}

int SendParaToFile() {
    GetPanelValues();
    CopyVarsToPP(0);
    return ReplaceFile(file_name, FormatParameterRecord(pp)) ? 1 : 0;
}

void ReadParaFromFile() {
    if (AskForFile(VAL_LOAD_BUTTON) <= 0) return;
    std::string text;
    if (!ReadWholeFile(file_name, text)) {
        ShowStatus("Cannot read parameter file!");
        return;
    }
    unsigned short record[kRecordWords];
    if (!ParseParameterRecord(text, record)) {
        ShowStatus("Not a parameter file (16 numbers expected) - nothing loaded!");
        return;
    }
    for (int i = 0; i < kRecordWords; ++i) pp[i] = record[i];
    CopyPPtoVars(0);
}

// The saving dialog belongs to the Send command; it is here beside its file routine.
int AskForSaveFile() {
    return AskForFile(VAL_OK_BUTTON);
}

}  // namespace kervano

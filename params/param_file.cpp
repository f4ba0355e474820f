#include "params/param_file.h"

#include <cstdio>
#include <sstream>
#include <string_view>

#include "console/settings.h"
#include "link/frame.h"
#include "link/packet.h"
#include "link/port_setup.h"
#include "params/panel_binding.h"
#include "platform/files/file_service.h"
#include "platform/ui/userint.h"

namespace kervano {

char file_name[kPathBytes] = "";
char proj_dir[kPathBytes] = "";

namespace {
constexpr int kRecordWords = PNUM;
constexpr int kFieldWidth = 4;

// The dialog opens where the last parameter file was; the folder of a chosen file is
// remembered for the next dialog and the next run.
int AskForFile(int buttonLabel) {
    const std::string folder = ParamFileFolder();
    const int chosen = FileSelectPopup(folder.c_str(), kParamFileDefaultName, kParamFileFilter,
                                       kParamFileTitle, buttonLabel, 0, 1, 1, 1, file_name);
    if (chosen > 0) RememberParamFile(file_name);
    return chosen;
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
    // Windows editors may put a UTF-8 byte-order mark before the first number.
    const std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::istringstream in(text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size())
                                                           : text);
    std::string token;
    while (in >> token) {
        unsigned int low16 = 0;
        for (char c : token) {
            if (c < '0' || c > '9') return false;
            // Only the low 16 bits are kept, so reduce as we go: no overflow, any length.
            low16 = (low16 * 10 + static_cast<unsigned>(c - '0')) & 0xFFFF;
        }
        // The file is one record: a seventeenth number means a file of something else
        // (a second record, a data table), whose first sixteen are no parameter set.
        if (count == kRecordWords) return false;
        parsed[count++] = static_cast<unsigned short>(low16);
    }
    if (count < kRecordWords) return false;
    for (int i = 0; i < kRecordWords; ++i) words[i] = parsed[i];
    return true;
}

int SendParaToFile() {
    GetPanelValues();
    CopyVarsToPP(0);
    // Written whole or not at all: a failure never leaves a half-written or emptied file.
    return WriteFileWhole(file_name, FormatParameterRecord(pp)) ? 1 : 0;
}

int ReadParaFromFile() {
    const int chosen = AskForFile(VAL_LOAD_BUTTON);
    if (chosen < 0) ShowStatus("File selection error - nothing loaded!");
    if (chosen <= 0) return 0;
    return LoadParaFile();
}

int LoadParaFile() {
    std::string text;
    // Only a regular file of reasonable size is read; a pipe or device would block.
    if (!ReadFileWhole(file_name, kMaxParamFileBytes, text)) {
        ShowStatus("Cannot read parameter file!");
        return 0;
    }
    unsigned short record[kRecordWords];
    if (!ParseParameterRecord(text, record)) {
        ShowStatus("Not a parameter file (16 numbers expected) - nothing loaded!");
        return 0;
    }
    for (int i = 0; i < kRecordWords; ++i) pp[i] = record[i];
    CopyPPtoVars(0);
    return 1;
}

// The saving dialog belongs to the Send command; it is here beside its file routine.
int AskForSaveFile() {
    return AskForFile(VAL_OK_BUTTON);
}

}  // namespace kervano

#include "params/param_file.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "link/frame.h"
#include "link/packet.h"
#include "params/panel_binding.h"
#include "platform/files/file_service.h"
#include "platform/files/settings_store.h"
#include "platform/ui/ui_service.h"
#include "resources/status_line.h"

namespace kervano {

char file_name[kPathBytes] = "";
char proj_dir[kPathBytes] = "";

namespace {
constexpr const char* kParamFolderKey = "files/parameterFolder";
}  // namespace

std::string ParamFileFolder() {
    const std::string remembered = RememberedFolder(kParamFolderKey);
    if (!remembered.empty()) return remembered;
    if (IsUsableFolder(proj_dir)) return proj_dir;
    return DocumentsFolder();
}

void RememberParamFile(const char* path) {
    RememberFolderOf(kParamFolderKey, path);
}

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

constexpr const char* kCannotReadParamFileText = "Cannot read parameter file!";
constexpr const char* kNotAParamFileText =
    "Not a parameter file (16 numbers expected) - nothing loaded!";

// White space as the C locale knows it.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool AllDigits(std::string_view token) {
    return !token.empty() &&
           std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits of any length, leading zeros included, that stand for more than 65535.
bool Above16Bits(std::string_view digits) {
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos) return false;
    digits.remove_prefix(first);
    return digits.size() > 5 || std::stoul(std::string(digits)) > 0xFFFF;
}

// The value of digits known to lie within 0..65535.
unsigned short WordOf(std::string_view digits) {
    unsigned value = 0;
    for (char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
    return static_cast<unsigned short>(value);
}

// The status line holds kStatusBytes - 1 bytes: a number too long for it is not repeated.
std::string OutsideRangeText(int line, std::string_view number) {
    const std::string where =
        std::string(kCannotReadParamFileText) + " - line " + std::to_string(line) + ": ";
    const std::string text = where + std::string(number) + " is outside 0..65535";
    if (text.size() < static_cast<size_t>(kStatusBytes)) return text;
    return where + "number outside 0..65535";
}

bool Refuse(const std::string& why, std::string* refusal) {
    if (refusal != nullptr) *refusal = why;
    return false;
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

bool ParseParameterRecord(const std::string& text, unsigned short* words, std::string* refusal) {
    unsigned short parsed[kRecordWords] = {};
    int count = 0;
    // The first number outside 0..65535; reported only once the text is sixteen numbers,
    // since a file of something else is no parameter file whatever its numbers.
    int outsideLine = 0;
    std::string_view outsideNumber;
    // Windows editors may put a UTF-8 byte-order mark before the first number.
    const std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::string_view rest(text);
    if (rest.starts_with(kByteOrderMark)) rest.remove_prefix(kByteOrderMark.size());
    int line = 1;
    while (!rest.empty()) {
        if (IsSpace(rest.front())) {
            if (rest.front() == '\n') ++line;
            rest.remove_prefix(1);
            continue;
        }
        size_t length = 0;
        while (length < rest.size() && !IsSpace(rest[length])) ++length;
        const std::string_view token = rest.substr(0, length);
        rest.remove_prefix(length);
        const bool negative = token.front() == '-' && AllDigits(token.substr(1)) &&
                              token.find_first_not_of("-0") != std::string_view::npos;
        if (!negative && !AllDigits(token)) return Refuse(kNotAParamFileText, refusal);
        // The file is one record: a seventeenth number means a file of something else
        // (a second record, a data table), whose first sixteen are no parameter set.
        if (count == kRecordWords) return Refuse(kNotAParamFileText, refusal);
        const bool outside = negative || Above16Bits(token);
        if (outside && outsideLine == 0) {
            outsideLine = line;
            outsideNumber = token;
        }
        parsed[count++] = outside ? 0 : WordOf(token);
    }
    if (count < kRecordWords) return Refuse(kNotAParamFileText, refusal);
    if (outsideLine != 0) return Refuse(OutsideRangeText(outsideLine, outsideNumber), refusal);
    for (int i = 0; i < kRecordWords; ++i) words[i] = parsed[i];
    return true;
}

std::string ReadParameterFile(const std::string& path, unsigned short* words) {
    std::string text;
    // Only a regular file of reasonable size is read; a pipe or device would block.
    if (!ReadFileWhole(path, kMaxParamFileBytes, text)) return kCannotReadParamFileText;
    std::string refusal;
    if (!ParseParameterRecord(text, words, &refusal)) return refusal;
    return "";
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
    unsigned short record[kRecordWords];
    const std::string refusal = ReadParameterFile(file_name, record);
    if (!refusal.empty()) {
        ShowStatus(refusal.c_str());
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

// Parameter files: the full packet as sixteen unsigned decimal numbers.
#pragma once

#include <string>

namespace kervano {

constexpr int kPathBytes = 260;
extern char file_name[kPathBytes];  // last chosen parameter file
extern char proj_dir[kPathBytes];   // the program's directory (see ParamFileFolder)

constexpr const char* kParamFileTitle = "KERVANO Parameter File";
constexpr const char* kParamFileDefaultName = "CONpara.dat";
constexpr const char* kParamFileFilter = "*.dat";
// A parameter file is a few hundred bytes at most; a larger file is refused unread.
constexpr long long kMaxParamFileBytes = 64 * 1024;

// The folder the parameter-file dialog opens in: the folder of the last parameter file; else
// the program's directory (proj_dir) when it is writable and no system folder; else the
// user's documents folder. An installed program never offers its own folder for saving.
std::string ParamFileFolder();
// Remembers the folder of a parameter file the operator has just chosen.
void RememberParamFile(const char* path);

// The saving dialog; its result as FileSelectPopup's (> 0: file_name holds the choice).
int AskForSaveFile();
// Saves the panel's set to file_name. Returns 1 when the file was written, 0 otherwise
// (an existing file is then left as it was).
int SendParaToFile();
// Asks for a file and loads it into the set. Returns 1 when the set was loaded, 0 when
// nothing changed (cancelled, or the file could not be used; the status line says why).
int ReadParaFromFile();
// Loads the file at file_name into the set, as ReadParaFromFile does once a file is chosen.
// Returns 1 when the set was loaded, 0 when nothing changed (the status line says why).
int LoadParaFile();

// The file's text for a record of sixteen words, and the parse of such a text.
std::string FormatParameterRecord(const unsigned short* words);
// Reads exactly sixteen unsigned decimal numbers from 0 to 65535 separated by any white
// space, after an optional UTF-8 byte-order mark; false (record untouched) when the text
// holds fewer, more or anything else. A number above 65535 or below 0 is refused, never cut
// to 16 bits: refusal (if given) then gets "Cannot read parameter file! - line 4: 70000 is
// outside 0..65535", otherwise the text of a file that is no parameter file.
bool ParseParameterRecord(const std::string& text, unsigned short* words,
                          std::string* refusal = nullptr);
// Reads the parameter file at path into words (the sixteen of its record), leaving the
// parameter set alone. Returns "" when it was read, else the status text that says why not.
std::string ReadParameterFile(const std::string& path, unsigned short* words);

}  // namespace kervano

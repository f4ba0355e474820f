// What the tool remembers between runs is kept in Qt's settings store under organisation
// "kervano", application "kervano-scope"; the environment variable KERVANO_SCOPE_SETTINGS
// names a file to keep it in instead (tests, a portable set-up). Also the folders the file
// dialogs open in.
#pragma once

#include <memory>
#include <string>

class QSettings;

constexpr const char* kSettingsFileVariable = "KERVANO_SCOPE_SETTINGS";

// The settings store (the file KERVANO_SCOPE_SETTINGS names, else Qt's store of the tool).
std::unique_ptr<QSettings> OpenSettings();

// The folder remembered under key while it exists, else "".
std::string RememberedFolder(const char* key);
// Remembers the folder of the file at path (local encoding) under key; nothing for "".
void RememberFolderOf(const char* key, const char* path);
// True for an existing folder the user can write to that is no system folder: a program
// installed under /usr or "Program Files" never offers its own folder for saving.
bool IsUsableFolder(const std::string& folder);
// The user's documents folder, else the home folder.
std::string DocumentsFolder();

// Whole-file reads and writes for the program's own files (parameter files, exports), in
// plain types so the program logic stays free of the toolkit.
#pragma once

#include <string>

// Replaces (or creates) the file at path with bytes, all or nothing: on any failure the old
// file stays as it was and no partial file is left behind. A symbolic link is written
// through to its target, and a file that exists keeps its permissions. Anything but a
// regular file in its place (a folder, a named pipe, a device) is refused untouched. error (if
// given) gets the system's reason on failure.
bool WriteFileWhole(const std::string& path, const std::string& bytes,
                    std::string* error = nullptr);

// Reads a regular file of at most maxBytes bytes whole. Anything else is refused at once,
// without blocking: a missing file, a directory, a named pipe or device, a larger file.
bool ReadFileWhole(const std::string& path, long long maxBytes, std::string& bytes,
                   std::string* error = nullptr);

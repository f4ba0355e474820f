// The journal's files: one JSON line per write to a controller, appended to journal.jsonl in
// the user's data folder (QStandardPaths' AppDataLocation). Each line is on the disk
// (fsync) before the append returns, so a crash or power loss keeps every line written.
// Past 4 MiB the file becomes journal.1.jsonl (replacing an older one) and the next line
// starts a new file. Plain types, so the program logic stays free of the toolkit.
#pragma once

#include <string>
#include <vector>

constexpr long long kJournalRotateBytes = 4LL * 1024 * 1024;

// ".../kervano-scope/journal.jsonl" and the rotated ".../journal.1.jsonl".
std::string JournalFilePath();
std::string OlderJournalFilePath();

// Appends line (no newline in it) as a line of its own: a last line cut short by a crash
// stays a line apart. Several programs may append at once (the file is locked meanwhile).
// false with the system's reason ("Is a directory", "No space left on device"); the file
// then ends as it did before.
bool AppendJournalLine(const std::string& line, std::string& reason);

// The non-empty lines of the file at path (its last 8 MiB at most), oldest first; a missing
// file has none. lastCut says that the last line has no newline (cut short). false when
// something other than a readable regular file stands there.
bool ReadJournalLines(const std::string& path, std::vector<std::string>& lines, bool& lastCut);

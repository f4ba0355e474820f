// A file that grows by whole lines, for a recording. Only a regular file is taken: a
// folder, a named pipe or a device is refused at once, without being opened (a pipe would
// hold the program until something reads it). A write that fails part-way (a full disk, a
// file size limit) is cut back to the last whole line that went in, so the file never ends
// in part of a line.
#pragma once

#include <cstdio>
#include <string>

class AppendFile {
  public:
    AppendFile() = default;
    ~AppendFile() { close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens path for appending, creating it when missing; false with the reason in error.
    bool open(const std::string& path, std::string& error);
    bool isOpen() const { return file_ != nullptr; }
    // True when the file held nothing at open.
    bool wasEmpty() const { return wasEmpty_; }
    // True when the file's last byte at open was not a newline: its last line is cut short.
    bool endedMidLine() const { return endedMidLine_; }
    // Appends lines, each ending in '\n'; false with the reason in error, the file then
    // ending on the last whole line that reached it.
    bool append(const std::string& lines, std::string& error);
    // false with the reason in error when the file did not close cleanly.
    bool close(std::string& error);
    void close();

  private:
    long long size() const;  // -1 when unknown
    void cutTo(long long size);

    std::FILE* file_ = nullptr;
    std::string path_;
    bool wasEmpty_ = true;
    bool endedMidLine_ = false;
};

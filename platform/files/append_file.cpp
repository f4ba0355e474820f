#include "platform/files/append_file.h"

#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
constexpr const char* kNotRegular = "not a regular file";

// Something that exists and is no regular file; a link counts as what it leads to.
bool OtherThanAFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

#ifdef Q_OS_UNIX
// Opened without blocking and checked on the open descriptor: a pipe put in the file's
// place since the check above still never holds the program.
std::FILE* OpenRegular(const std::string& path, std::string& error) {
    const int fd =
        ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = kNotRegular;
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, O_APPEND);
    std::FILE* file = ::fdopen(fd, "a+");
    if (file == nullptr) {
        error = std::strerror(errno);
        ::close(fd);
    }
    return file;
}
#else
std::FILE* OpenRegular(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "a+b");
    if (file == nullptr) error = std::strerror(errno);
    return file;
}
#endif
}  // namespace

bool AppendFile::open(const std::string& path, std::string& error) {
    close();
    if (OtherThanAFile(path)) {
        error = kNotRegular;
        return false;
    }
    file_ = OpenRegular(path, error);
    if (file_ == nullptr) return false;
    path_ = path;
    // Written straight through: a row is in the kernel once append returns.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    wasEmpty_ = size() <= 0;
    endedMidLine_ = false;
    if (!wasEmpty_ && std::fseek(file_, -1, SEEK_END) == 0)
        endedMidLine_ = std::fgetc(file_) != '\n';
    std::fseek(file_, 0, SEEK_END);  // a read and the next write need a seek between them
    return true;
}

bool AppendFile::append(const std::string& lines, std::string& error) {
    if (file_ == nullptr) {
        error = std::strerror(EBADF);
        return false;
    }
    const long long before = size();
    errno = 0;
    if (std::fwrite(lines.data(), 1, lines.size(), file_) == lines.size()) return true;
    const int err = errno != 0 ? errno : EIO;
    const long long after = size();
    if (before >= 0 && after > before) {
        const size_t in = std::min(static_cast<size_t>(after - before), lines.size());
        const size_t lastNewline = lines.rfind('\n', in - 1);
        cutTo(before + (lastNewline == std::string::npos ? 0 : lastNewline + 1));
    }
    error = std::strerror(err);
    return false;
}

bool AppendFile::close(std::string& error) {
    if (file_ == nullptr) return true;
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) == 0) return true;
    error = std::strerror(errno);
    return false;
}

void AppendFile::close() {
    std::string ignored;
    close(ignored);
}

#ifdef Q_OS_UNIX
long long AppendFile::size() const {
    struct stat info {};
    return ::fstat(fileno(file_), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

void AppendFile::cutTo(long long size) {
    // Best effort: where even this fails, the next open starts a new line.
    (void)!::ftruncate(fileno(file_), static_cast<off_t>(size));
}
#else
long long AppendFile::size() const {
    std::fflush(file_);
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(path_, ec);
    return ec ? -1 : static_cast<long long>(bytes);
}

void AppendFile::cutTo(long long size) {
    std::error_code ec;
    std::filesystem::resize_file(path_, static_cast<std::uintmax_t>(size), ec);
}
#endif

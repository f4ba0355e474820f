#include "platform/files/journal_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
constexpr qint64 kReadBytes = 8LL * 1024 * 1024;

std::string DataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
}

#ifdef Q_OS_UNIX
// A new name in the folder survives a power loss only once the folder is on the disk too.
void SyncFolder() {
    const int dir = ::open(DataFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    (void)::fsync(dir);
    ::close(dir);
}

// The journal opened for appending and locked against other programs appending; -1 with
// the reason. A journal another program rotated while this one waited for the lock is
// opened afresh.
int OpenLocked(const std::string& path, std::string& reason) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Without blocking (a pipe in the file's place never holds the program); readable for
        // the look at the last byte.
        const int fd = ::open(
            path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0) {
            reason = std::strerror(errno);
            return -1;
        }
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            reason = "not a regular file";
            ::close(fd);
            return -1;
        }
        ::fcntl(fd, F_SETFL, O_APPEND);
        (void)::flock(fd, LOCK_EX);
        struct stat named {};
        if (::stat(path.c_str(), &named) == 0 && named.st_ino == opened.st_ino &&
            named.st_dev == opened.st_dev)
            return fd;
        ::close(fd);
    }
    reason = "journal file keeps being replaced";
    return -1;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}
#endif
}  // namespace

std::string JournalFilePath() {
    return DataFolder() + "/journal.jsonl";
}

std::string OlderJournalFilePath() {
    return DataFolder() + "/journal.1.jsonl";
}

bool AppendJournalLine(const std::string& line, std::string& reason) {
    if (DataFolder().empty() || !QDir().mkpath(QString::fromStdString(DataFolder()))) {
        reason = "cannot create the folder " + DataFolder();
        return false;
    }
    const std::string path = JournalFilePath();
#ifdef Q_OS_UNIX
    const int fd = OpenLocked(path, reason);
    if (fd < 0) return false;
    struct stat info {};
    const off_t size = ::fstat(fd, &info) == 0 ? info.st_size : 0;
    char last = '\n';
    std::string bytes =
        size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n' ? "\n" : "";
    bytes += line + "\n";
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        reason = std::strerror(errno);
        (void)!::ftruncate(fd, size);  // never a line in part
        ::close(fd);
        return false;
    }
    if (size == 0) SyncFolder();
    if (size + static_cast<off_t>(bytes.size()) > kJournalRotateBytes &&
        std::rename(path.c_str(), OlderJournalFilePath().c_str()) == 0)
        SyncFolder();
    ::close(fd);
    return true;
#else
    QFile file(QString::fromStdString(path));
    if (QFileInfo(file).exists() && !QFileInfo(file).isFile()) {
        reason = "not a regular file";
        return false;
    }
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        reason = file.errorString().toStdString();
        return false;
    }
    const qint64 size = file.size();
    std::string bytes = size > 0 && file.seek(size - 1) && file.read(1) != "\n" ? "\n" : "";
    bytes += line + "\n";
    file.seek(size);
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.flush()) {
        reason = file.errorString().toStdString();
        file.resize(size);
        return false;
    }
    file.close();
    if (size + static_cast<qint64>(bytes.size()) > kJournalRotateBytes) {
        QFile::remove(QString::fromStdString(OlderJournalFilePath()));
        QFile::rename(QString::fromStdString(path), QString::fromStdString(OlderJournalFilePath()));
    }
    return true;
#endif
}

bool ReadJournalLines(const std::string& path, std::vector<std::string>& lines, bool& lastCut) {
    lines.clear();
    lastCut = false;
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists()) return true;
    if (!info.isFile()) return false;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 skip = file.size() - kReadBytes;
    if (skip > 0 && !file.seek(skip)) return false;
    QByteArray bytes = file.readAll();
    // Begun inside a line: that line is not the journal's to judge.
    if (skip > 0) bytes.remove(0, bytes.indexOf('\n') + 1);
    lastCut = !bytes.isEmpty() && !bytes.endsWith('\n');
    for (const QByteArray& piece : bytes.split('\n'))
        if (!piece.trimmed().isEmpty()) lines.push_back(piece.toStdString());
    return true;
}

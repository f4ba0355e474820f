#include "platform/files/file_service.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

void Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
}

}  // namespace

bool WriteFileWhole(const std::string& path, const std::string& bytes, std::string* error) {
    if (path.empty()) {
        Fail(error, "no file name");
        return false;
    }
    // A pipe or device in the file's place would be replaced by a regular file (QSaveFile
    // renames over it); a folder is refused as well.
    const QFileInfo existing(QString::fromLocal8Bit(path.c_str()));
    if (existing.exists() && !existing.isFile()) {
        Fail(error, "not a regular file");
        return false;
    }
    // QSaveFile writes a temporary file beside the target and renames it over the target
    // on commit; it resolves symbolic links and carries the old file's permissions over.
    QSaveFile file(QString::fromLocal8Bit(path.c_str()));
    if (!file.open(QIODevice::WriteOnly)) {
        Fail(error, file.errorString().toStdString());
        return false;
    }
    errno = 0;
    const qint64 written = file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    // The bytes may sit in a buffer until now; commit would not notice that they never
    // reached the disk (a full disk, a file size limit), so flush and check first.
    if (written != static_cast<qint64>(bytes.size()) || !file.flush()) {
        // A write that went in part-way leaves Qt without a reason ("Unknown error"); the
        // system's is the one that failed it ("File too large").
        const int err = errno;
        Fail(error, err != 0 ? std::strerror(err) : file.errorString().toStdString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        Fail(error, file.errorString().toStdString());
        return false;
    }
    return true;
}

#ifdef Q_OS_UNIX
bool ReadFileWhole(const std::string& path, long long maxBytes, std::string& bytes,
                   std::string* error) {
    // Opened without blocking and checked on the open descriptor: a named pipe would
    // otherwise hold the program until something writes to it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Fail(error, std::strerror(errno));
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        Fail(error, std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        Fail(error, "not a regular file");
        ok = false;
    } else if (info.st_size > maxBytes) {
        Fail(error, "file too large");
        ok = false;
    }
    // Read straight into a buffer of the file's size: a big file (a long recording) is held
    // once, not copied through a growing string. A file that grows meanwhile reads on.
    std::string content;
    size_t used = 0;
    if (ok) content.resize(static_cast<size_t>(info.st_size) + 1);
    while (ok) {
        if (used == content.size()) content.resize(content.size() + 65536);
        const ssize_t n = ::read(fd, content.data() + used, content.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            Fail(error, std::strerror(errno));
            ok = false;
        } else if (n == 0) {
            break;
        } else if (static_cast<long long>(used) + n > maxBytes) {
            Fail(error, "file too large");  // it grew while being read
            ok = false;
        } else {
            used += static_cast<size_t>(n);
        }
    }
    content.resize(used);
    ::close(fd);
    if (ok) bytes = std::move(content);
    return ok;
}
#else
bool ReadFileWhole(const std::string& path, long long maxBytes, std::string& bytes,
                   std::string* error) {
    const QString name = QString::fromLocal8Bit(path.c_str());
    const QFileInfo info(name);
    if (!info.exists()) {
        Fail(error, "no such file");
        return false;
    }
    if (!info.isFile()) {
        Fail(error, "not a regular file");
        return false;
    }
    if (info.size() > maxBytes) {
        Fail(error, "file too large");
        return false;
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(error, file.errorString().toStdString());
        return false;
    }
    const QByteArray content = file.read(maxBytes + 1);
    if (content.size() > maxBytes) {
        Fail(error, "file too large");
        return false;
    }
    bytes.assign(content.constData(), static_cast<size_t>(content.size()));
    return true;
}
#endif

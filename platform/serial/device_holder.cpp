#include "platform/serial/device_holder.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#endif

#ifdef Q_OS_LINUX
namespace {

bool IsNumber(const char* text) {
    if (*text == '\0') return false;
    for (; *text != '\0'; ++text)
        if (std::isdigit(static_cast<unsigned char>(*text)) == 0) return false;
    return true;
}

// The kernel's list of file locks: "1: FLOCK  ADVISORY  WRITE 4242 00:19:5 0 EOF", the
// file as major:minor (hex) of its file system and its inode number.
long LockHolder(const struct stat& node) {
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream words(line);
        std::string id, kind, mode, access, file;
        long pid = 0;
        if (!(words >> id >> kind) || kind == "->") continue;  // "->": waiting, not holding
        if (!(words >> mode >> access >> pid >> file) || pid <= 0) continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(file.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) continue;
        if (major == major(node.st_dev) && minor == minor(node.st_dev) && inode == node.st_ino)
            return pid;
    }
    return 0;
}

// A process with the device open, for a holder that took no lock (a terminal program that
// only made the line exclusive). Only the processes this one may look into are seen.
long OpenedBy(const std::string& device) {
    DIR* processes = opendir("/proc");
    if (processes == nullptr) return 0;
    long found = 0;
    while (const dirent* process = readdir(processes)) {
        if (!IsNumber(process->d_name)) continue;
        const std::string fds = std::string("/proc/") + process->d_name + "/fd";
        DIR* dir = opendir(fds.c_str());
        if (dir == nullptr) continue;
        while (const dirent* fd = readdir(dir)) {
            char target[4096];
            const std::string link = fds + '/' + fd->d_name;
            const ssize_t n = readlink(link.c_str(), target, sizeof target);
            if (n > 0 &&
                device.compare(0, std::string::npos, target, static_cast<size_t>(n)) == 0) {
                found = std::atol(process->d_name);
                break;
            }
        }
        closedir(dir);
        if (found != 0) break;
    }
    closedir(processes);
    return found;
}

std::string ProcessName(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

}  // namespace
#endif

std::string DeviceHolder(const std::string& device) {
#ifdef Q_OS_LINUX
    struct stat node {};
    if (::stat(device.c_str(), &node) != 0) return {};
    long pid = LockHolder(node);
    if (pid == 0) pid = OpenedBy(device);
    if (pid == 0) return {};
    const std::string name = ProcessName(pid);
    return "process " + std::to_string(pid) + (name.empty() ? "" : " (" + name + ")");
#else
    (void)device;
    return {};
#endif
}

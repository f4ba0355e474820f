#include "platform/files/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {

// Where programs are installed: never a place to offer for saving, even to a user (root)
// who could write there.
bool IsSystemFolder(const QString& folder) {
    QStringList roots;
#ifdef Q_OS_WIN
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot"})
        if (const QString root = qEnvironmentVariable(variable); !root.isEmpty()) roots << root;
#else
    roots << QStringLiteral("/usr") << QStringLiteral("/bin") << QStringLiteral("/sbin")
          << QStringLiteral("/lib") << QStringLiteral("/lib32") << QStringLiteral("/lib64")
          << QStringLiteral("/libx32") << QStringLiteral("/opt") << QStringLiteral("/etc")
          << QStringLiteral("/snap") << QStringLiteral("/var/lib") << QStringLiteral("/nix")
          << QStringLiteral("/Applications") << QStringLiteral("/System")
          << QStringLiteral("/Library");
#endif
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    for (const QString& root : roots) {
        const QString clean = QDir::cleanPath(root);
        if (path.compare(clean, Qt::CaseInsensitive) == 0 ||
            path.startsWith(clean + QLatin1Char('/'), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<QSettings> OpenSettings() {
    const QString file = qEnvironmentVariable(kSettingsFileVariable);
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QStringLiteral("kervano"), QStringLiteral("kervano-scope"));
}

std::string RememberedFolder(const char* key) {
    const QString remembered = OpenSettings()->value(QLatin1String(key)).toString();
    return !remembered.isEmpty() && QFileInfo(remembered).isDir() ? remembered.toStdString()
                                                                  : std::string();
}

void RememberFolderOf(const char* key, const char* path) {
    if (path == nullptr || *path == '\0') return;
    OpenSettings()->setValue(QLatin1String(key),
                             QFileInfo(QString::fromLocal8Bit(path)).absolutePath());
}

bool IsUsableFolder(const std::string& folder) {
    const QString path = QString::fromStdString(folder);
    const QFileInfo info(path);
    return !path.isEmpty() && info.isDir() && info.isWritable() && !IsSystemFolder(path);
}

std::string DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return (!documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath())
        .toStdString();
}

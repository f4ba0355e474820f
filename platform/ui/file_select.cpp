// The file dialog (a Qt dialog, never the platform's, so tests can drive it) and the
// program's directory.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <cstring>

#include "platform/ui/ui_service.h"

namespace {

constexpr int kMaxPathLength = 259;  // characters, not counting the terminator

FileSelectHook& Hook() {
    static FileSelectHook hook;
    return hook;
}

QString FromC(const char* text) {
    return text ? QString::fromLocal8Bit(text) : QString();
}

// "*.dat" (or "*.dat;*.txt") -> "dat", "txt": the extensions a restricted name may carry,
// the first of them added when it carries none.
QStringList Extensions(const QString& fileTypeList) {
    QStringList extensions;
    for (const QString& type : fileTypeList.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int dot = type.lastIndexOf(QLatin1Char('.'));
        if (dot < 0) continue;
        const QString ext = type.mid(dot + 1).trimmed();
        if (!ext.isEmpty() && !ext.contains(QLatin1Char('*')) && !ext.contains(QLatin1Char('?')))
            extensions << ext;
    }
    return extensions;
}

QString WithExtension(const QString& path, const QStringList& extensions) {
    if (extensions.isEmpty()) return path;
    for (const QString& ext : extensions) {
        if (path.endsWith(QLatin1Char('.') + ext, Qt::CaseInsensitive)) return path;
    }
    return path + QLatin1Char('.') + extensions.first();
}

// The caller's buffer changes only when the whole path fits: a refused or cancelled choice
// leaves the last chosen path in place.
int CopyPath(const QString& chosen, char* path) {
    const QByteArray bytes = QDir::toNativeSeparators(chosen).toLocal8Bit();
    if (bytes.isEmpty() || bytes.size() > kMaxPathLength) return kUiError;
    std::memcpy(path, bytes.constData(), static_cast<size_t>(bytes.size()));
    path[bytes.size()] = '\0';
    return 0;
}

QString AcceptLabel(int buttonLabel) {
    switch (buttonLabel) {
        case VAL_LOAD_BUTTON:
            return QStringLiteral("Load");
        case VAL_SAVE_BUTTON:
            return QStringLiteral("Save");
        default:
            return QStringLiteral("OK");
    }
}

}  // namespace

void SetFileSelectHook(FileSelectHook hook) {
    Hook() = std::move(hook);
}

int FileSelectPopup(const char* defaultDirectory, const char* defaultFileName,
                    const char* fileTypeList, const char* title, int buttonLabel,
                    int restrictDirectory, int restrictExtension, int allowCancel,
                    int allowMakeDirectory, char* path) {
    if (!path) return kUiError;
    const QString directory =
        FromC(defaultDirectory).isEmpty() ? QDir::currentPath() : FromC(defaultDirectory);
    const QString fileName = FromC(defaultFileName);
    const QString types = FromC(fileTypeList);
    const QStringList extensions = restrictExtension ? Extensions(types) : QStringList();
    const bool load = buttonLabel == VAL_LOAD_BUTTON;

    if (Hook()) {
        std::string chosen;
        const QString proposed = QDir(directory).filePath(fileName);
        const int result = Hook()(FromC(title).toStdString(), proposed.toStdString(), chosen);
        if (result <= 0) return result;
        if (CopyPath(WithExtension(QString::fromStdString(chosen), extensions), path) != 0)
            return kUiError;
        return result;
    }

    QFileDialog dialog(QApplication::activeWindow(), FromC(title), directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!types.isEmpty()) {
        QString patterns = types;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        dialog.setNameFilter(QStringLiteral("%1 (%2)").arg(types, patterns));
    }
    dialog.setAcceptMode(load ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(load ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // Saving over a file is the usual case here; the program asks when it matters.
    if (!load) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!allowMakeDirectory) dialog.setOption(QFileDialog::ReadOnly);
    if (!extensions.isEmpty()) dialog.setDefaultSuffix(extensions.first());
    dialog.setLabelText(QFileDialog::Accept, AcceptLabel(buttonLabel));
    if (!fileName.isEmpty()) dialog.selectFile(fileName);
    if (!allowCancel) {
        if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
            if (QPushButton* cancel = box->button(QDialogButtonBox::Cancel)) cancel->hide();
        }
    }
    if (restrictDirectory) {
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                         [&dialog, directory](const QString& entered) {
                             if (QDir(entered) != QDir(directory)) dialog.setDirectory(directory);
                         });
    }

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return VAL_NO_FILE_SELECTED;
    const QString chosen = WithExtension(dialog.selectedFiles().first(), extensions);
    const bool exists = QFileInfo::exists(chosen);
    if (CopyPath(chosen, path) != 0) return kUiError;
    return exists ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
}

int GetProjectDir(char* directory) {
    if (!directory) return kUiError;
    return CopyPath(QCoreApplication::applicationDirPath(), directory);
}

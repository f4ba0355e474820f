#include "console/export_dialog.h"

#include <QDateTime>

#include "console/settings.h"
#include "params/param_file.h"
#include "platform/ui/ui_service.h"
#include "resources/status_line.h"

namespace kervano {

std::string DefaultName(const char* kind, std::time_t time, const char* extension) {
    const QString stamp =
        QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return std::string(kind) + '-' + stamp.toStdString() + extension;
}

std::string AskExportFile(const char* title, const std::string& name, const char* filter) {
    const std::string folder = ExportFolder();
    char path[kPathBytes] = "";
    const int chosen = FileSelectPopup(folder.c_str(), name.c_str(), filter, title, VAL_SAVE_BUTTON,
                                       0, 1, 1, 1, path);
    if (chosen < 0) ShowStatus("File selection error - nothing saved!");
    if (chosen <= 0) return {};
    RememberExportFile(path);
    return path;
}

}  // namespace kervano

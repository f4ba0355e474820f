#include "console/display_check.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kervano {

namespace {

// The platform the application object will use: -platform NAME, else QT_QPA_PLATFORM.
std::string ChosenPlatform(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return argv[i + 1];
    }
    const char* env = std::getenv("QT_QPA_PLATFORM");
    return env != nullptr ? env : "";
}

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

std::string& FirstComplaint() {
    static std::string first;
    return first;
}

// While the application object is made, the platform plugin's complaints are held back;
// if it gives up, one line says why (its first complaint names the cause, e.g. "could not
// connect to display :1") and the process ends as a failed start-up.
void QuietUntilStarted(QtMsgType type, const QMessageLogContext&, const QString& message) {
    const std::string line = message.section(QLatin1Char('\n'), 0, 0).trimmed().toStdString();
    if (type != QtFatalMsg) {
        if (FirstComplaint().empty()) FirstComplaint() = line;
        return;
    }
    const std::string& why = FirstComplaint().empty() ? line : FirstComplaint();
    std::fprintf(stderr, "kervano-scope: cannot start the user interface: %s\n", why.c_str());
    std::fflush(stderr);
    std::_Exit(255);
}

}  // namespace

bool UserInterfaceCanStart(int argc, char** argv) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const std::string platform = ChosenPlatform(argc, argv);
    const bool x11 = platform.empty() ? !Set("WAYLAND_DISPLAY") : platform.rfind("xcb", 0) == 0;
    const bool wayland = platform.rfind("wayland", 0) == 0;
    if ((x11 && !Set("DISPLAY")) || (wayland && !Set("WAYLAND_DISPLAY"))) {
        std::fprintf(stderr,
                     "kervano-scope: no display (%s is not set); start it on a desktop, under "
                     "xvfb-run, or with -platform offscreen\n",
                     wayland ? "WAYLAND_DISPLAY" : "DISPLAY");
        return false;
    }
#else
    (void)argc;
    (void)argv;
#endif
    qInstallMessageHandler(QuietUntilStarted);
    return true;
}

void UserInterfaceStarted() {
    qInstallMessageHandler(nullptr);
}

}  // namespace kervano

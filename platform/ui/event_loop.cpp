#include "platform/ui/event_loop.h"

#include <QEventLoop>
#include <QPointer>

#include "platform/ui/ui_service.h"

namespace kvui {
namespace {

QPointer<QEventLoop> g_loop;
bool g_quitRequested = false;
bool g_quitPending = false;  // asked for while no loop ran
int g_returnCode = 0;

}  // namespace

bool QuitRequested() {
    return g_quitRequested;
}

}  // namespace kvui

int RunUserInterface() {
    using namespace kvui;
    if (g_loop) return kUiError;  // one loop at a time
    if (g_quitPending) {
        g_quitPending = false;
        return g_returnCode;
    }
    g_quitRequested = false;
    QEventLoop loop;
    g_loop = &loop;
    loop.exec();
    g_loop = nullptr;
    return g_returnCode;
}

int QuitUserInterface(int returnCode) {
    using namespace kvui;
    g_returnCode = returnCode;
    g_quitRequested = true;
    // Inside a nested ProcessSystemEvents the loop ends once control returns to it.
    if (g_loop) {
        g_loop->exit(returnCode);
    } else {
        g_quitPending = true;
    }
    return 0;
}

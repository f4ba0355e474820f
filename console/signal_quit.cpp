#include "console/signal_quit.h"

#include <QApplication>
#include <QDialog>

#include "console/startup.h"
#include "platform/ui/ui_service.h"

namespace kervano {

void QuitOnSignal(int /*signal*/) {
    // Cancelled as Escape would: the command that asked goes no further.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog != nullptr && dialog->isVisible() && dialog->isModal()) dialog->reject();
    }
    stop_flag = 1;
    // Within a command's wait, the loop ends once the command returns to it.
    QuitUserInterface(0);
}

}  // namespace kervano

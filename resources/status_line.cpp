#include "resources/status_line.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/ui/ui_service.h"
#include "resources/panel_handle.h"
#include "resources/panel_ids.h"
#include "resources/status_listeners.h"

namespace kervano {

char szStatus[kStatusBytes] = "";

namespace {
std::string shownStatus;
}

void SetStatusText(const char* text) {
    std::size_t n = std::min(std::strlen(text), static_cast<std::size_t>(kStatusBytes - 1));
    // Texts are UTF-8: a cut never leaves half a character behind.
    if (text[n] != '\0') {
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(szStatus, text, n);
    szStatus[n] = '\0';
}

bool StatusLineShows(const char* text) {
    return shownStatus == text;
}

void ShowStatus(const char* text) {
    shownStatus = text;
    SetCtrlVal(panelHandle, PANEL_STATUS, text);
    NotifyStatusListeners(text);
}

void ShowStatus() {
    ShowStatus(szStatus);
}

}  // namespace kervano

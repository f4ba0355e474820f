// Constants of the panel resource: the two panels and every control the program
// addresses or carries a callback for. The widgets of the resource file carry these
// names as their object names.
#pragma once

#include "platform/ui/ui_service.h"

enum PanelResource {
    PANEL = 1,
    POPUP = 2,
};

enum PanelControl {
    PANEL_DROPDCOM = 10,
    PANEL_STRIPTOP,
    PANEL_STRIPBOT,
    PANEL_VIEWMODE,
    PANEL_POWERTOP,
    PANEL_POWERBOT,
    PANEL_POWERDIG,
    PANEL_REFTOP,
    PANEL_REFBOT,
    PANEL_TOLTOP,
    PANEL_TOLBOT,
    PANEL_TRIGTOP,
    PANEL_TRIGBOT,
    PANEL_HWMODE,
    PANEL_MAXMODE,
    PANEL_HYSTTOP,
    PANEL_HYSTBOT,
    PANEL_EVALMODE,
    PANEL_POLARITY,
    PANEL_HOLD,
    PANEL_DIGCNT,
    PANEL_DIGMODE,
    PANEL_RBTRAM,
    PANEL_RBTEEPROM,
    PANEL_RBTFILE,
    PANEL_TOP1,
    PANEL_TOP2,
    PANEL_BOT1,
    PANEL_BOT2,
    PANEL_MAXTOP1,
    PANEL_MAXTOP2,
    PANEL_MAXBOT1,
    PANEL_MAXBOT2,
    PANEL_COUNT,
    PANEL_INDEXA,
    PANEL_LED1,
    PANEL_LED2,
    PANEL_STATUS,
    PANEL_GRAPHTOP,
    PANEL_GRAPHBOT,
    PANEL_RUNLOCK,   // frame around Run, Data and the COM selector
    PANEL_DATALOCK,  // frame around the parameter commands (targets, Send, Get, Teach, Reset)
    PANEL_STOPOFF,   // frame around the Stop button; Stop clears its dimmed attribute
    PANEL_BTNRUN,
    PANEL_BTNSTOP,
    PANEL_BTNDATA,
    PANEL_BTNSEND,
    PANEL_BTNGET,
    PANEL_BUTTONTEACH,
    PANEL_BUTTONRESET,
    PANEL_PARAMSTATE,  // the Parameters frame's line: the panel against the controller
};

// Object names of the panels and controls, for SetResourceNames.
extern const UiResourceName kPanelResourceNames[];
extern const int kPanelResourceNameCount;

// The panel resource file, found beside the program.
constexpr const char* kPanelResourceFile = "KERVANO1trgV13.ui";

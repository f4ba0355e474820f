// Command callbacks of the main panel: live monitor, data capture, teach and reset, and
// the COM port selector.
#pragma once

namespace kervano {

// Follows "Timeout RS232-Line!" after a run's line time-out: the parameter frame stays dimmed
// until Stop, and the operator is to know it.
constexpr const char* kStopHintText = "Timeout RS232-Line! - press Stop to unlock the parameters";

// Start-up: no monitor request of an earlier run is awaited.
void ForgetMonitorRequest();

int CC_BTNRun(int panel, int control, int event, void* callbackData, int eventData1,
              int eventData2);
int CC_BTNStop(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int CC_BTNData(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int CC_ButtonTeach(int panel, int control, int event, void* callbackData, int eventData1,
                   int eventData2);
int CC_ButtonReset(int panel, int control, int event, void* callbackData, int eventData1,
                   int eventData2);
int CC_DropDCom(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);

}  // namespace kervano

// The program's monitor recording: while it is on, every monitor reply drawn becomes a row
// of its CSV file. Starting, stopping and a write error are reported in the status line.
#pragma once

#include "scope/monitor_recorder.h"

namespace kervano {

// True while a recording is on; the redraw tests it and costs nothing more otherwise.
extern bool monitorRecording;

// Starts recording to path (appending to a file that exists). Returns 1, or 0 with the
// reason in the status line.
int StartMonitorRecording(const char* path);
// Ends the recording and reports how many rows went where.
void StopMonitorRecording();
// Ends the recording without a word (at shutdown, once the panel is gone).
void CloseMonitorRecording();
// Appends the sixteen monitor variables as a row; the redraw calls it after each reply.
void RecordMonitorReply();
// Writes waiting rows out when due; a timer calls it every kRecorderTickMs while recording.
void FlushMonitorRecording();

// The clock of the rows' times (tests pass a virtual one; null restores the system's).
void SetMonitorRecordingClock(RecorderClock clock);
// Told whenever the recording starts or stops (a write error stops it too).
using RecordingListener = void (*)(bool recording);
void SetMonitorRecordingListener(RecordingListener listener);

}  // namespace kervano

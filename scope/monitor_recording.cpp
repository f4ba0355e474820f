#include "scope/monitor_recording.h"

#include <string>

#include "resources/status_line.h"
#include "scope/monitor.h"

namespace kervano {

bool monitorRecording = false;

namespace {
MonitorRecorder& Recorder() {
    static MonitorRecorder recorder;
    return recorder;
}
RecordingListener recordingListener = nullptr;

void SetRecording(bool on) {
    monitorRecording = on;
    if (recordingListener != nullptr) recordingListener(on);
}

// A failed write has closed the file: the recording ends here, and says why.
void ReportWriteError() {
    SetRecording(false);
    const MonitorRecorder& r = Recorder();
    ShowStatus(("Recording stopped: cannot write " + r.path() + " - " + r.error() + "!").c_str());
}
}  // namespace

int StartMonitorRecording(const char* path) {
    if (monitorRecording) StopMonitorRecording();
    if (!Recorder().open(path)) {
        ShowStatus(
            ("Cannot record monitor to " + std::string(path) + " - " + Recorder().error() + "!")
                .c_str());
        return 0;
    }
    SetRecording(true);
    ShowStatus(("Recording monitor to " + Recorder().path()).c_str());
    return 1;
}

void StopMonitorRecording() {
    if (!monitorRecording) return;
    if (!Recorder().close()) return ReportWriteError();
    SetRecording(false);
    const long long rows = Recorder().rows();
    ShowStatus(("Recording stopped: " + std::to_string(rows) +
                (rows == 1 ? " row in " : " rows in ") + Recorder().path())
                   .c_str());
}

void CloseMonitorRecording() {
    Recorder().close();
    monitorRecording = false;
}

void RecordMonitorReply() {
    const unsigned short words[kMonitorWords] = {
        rawTop1, rawTop2, rawBot1, rawBot2, normTop1, normTop2, normBot1, normBot2,
        maxTop1, maxTop2, maxBot1, maxBot2, cntTRUV,  in2cnt,   inputs,   indexA,
    };
    if (!Recorder().append(words)) ReportWriteError();
}

void FlushMonitorRecording() {
    if (monitorRecording && !Recorder().flushIfDue()) ReportWriteError();
}

void SetMonitorRecordingClock(RecorderClock clock) {
    Recorder().setClock(clock ? std::move(clock) : RecorderClock(SystemClockMs));
}

void SetMonitorRecordingListener(RecordingListener newListener) {
    recordingListener = newListener;
}

}  // namespace kervano

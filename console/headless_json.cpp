#include "console/headless_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

#include "console/qt_text.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/param_table.h"
#include "platform/serial/port_table.h"
#include "scope/monitor_recorder.h"

namespace kervano {

namespace {

constexpr const char* kMismatchPrefix = "Mismatch: ";

struct JsonRun {
    bool on = false;
    std::vector<std::string> mismatches;
    std::string failure;
};

JsonRun& Run() {
    static JsonRun run;
    return run;
}

std::string Line(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

const char* CommandName(RunMode mode) {
    switch (mode) {
        case RunMode::ReadParams: return "read-params";
        case RunMode::WriteParams: return "write-params";
        case RunMode::Capture: return "capture";
        case RunMode::Compare: return "compare";
        case RunMode::Report: return "report";
        default: return "";
    }
}

// Whether the variables hold a set the controller sent or was sent: the run went through,
// or its write did and only the verify found differences.
bool ParametersKnown(int code) {
    return code == 0 || !Run().mismatches.empty();
}

}  // namespace

void SetJsonOutput(bool on) {
    Run() = JsonRun{};
    Run().on = on;
}

bool JsonOutput() {
    return Run().on;
}

std::string JsonStepLine(const std::string& text) {
    if (text.rfind(kMismatchPrefix, 0) == 0) {
        Run().mismatches.push_back(text.substr(std::string(kMismatchPrefix).size()));
    }
    return Line({{"step", Utf8Text(text)}, {"time", Utf8Text(Iso8601LocalTimeMs(SystemClockMs()))}});
}

void NoteJsonFailure(const std::string& why) {
    if (Run().failure.empty()) Run().failure = why;
}

std::string JsonResultLine(const CommandLine& commandLine, int code) {
    QJsonObject result{{"command", CommandName(commandLine.mode)},
                       {"port", Utf8Text("COM" + std::to_string(com))},
                       {"file", Utf8Text(commandLine.file)}};
    for (const PortEntry& entry : PortTableList()) {
        if (entry.number != com) continue;
        result.insert("device", Utf8Text(entry.device));
        result.insert("adapterSerial", Utf8Text(entry.serialNumber));
    }
    const std::string firmware = FirmwareTextUtf8();
    result.insert("firmware", firmware.empty() ? QJsonValue() : QJsonValue(Utf8Text(firmware)));
    if (ParametersKnown(code)) {
        QJsonObject parameters;
        for (const ParameterEntry& entry : kParameterTable) {
            parameters.insert(QString::fromLatin1(entry.name), *entry.variable);
        }
        result.insert("parameters", parameters);
    } else {
        result.insert("parameters", QJsonValue());
    }
    QJsonArray mismatches;
    for (const std::string& mismatch : Run().mismatches) mismatches.append(Utf8Text(mismatch));
    result.insert("mismatches", mismatches);
    result.insert("error", Run().failure.empty() ? QJsonValue() : QJsonValue(Utf8Text(Run().failure)));
    result.insert("exitStatus", code);
    return Line({{"result", result}});
}

}  // namespace kervano

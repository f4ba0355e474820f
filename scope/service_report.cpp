#include "scope/service_report.h"

#include <cstdio>

#include "params/param_info.h"

namespace kervano {

namespace {

std::string Cell(const std::string& text, const char* tag = "td") {
    return std::string("<") + tag + ">" + HtmlEscaped(text) + "</" + tag + ">";
}

std::string Row(const std::vector<std::string>& cells, const char* attributes = "") {
    std::string row = std::string("<tr") + attributes + ">";
    for (const std::string& cell : cells) row += Cell(cell);
    return row + "</tr>\n";
}

std::string KnownText(const KnownMemory& memory, int index, unsigned short* value) {
    return KnownParameter(memory, index, value) ? std::to_string(*value) : "not read";
}

void AppendAbout(std::string& page, const ServiceReportInput& in) {
    page += "<table class=\"about\">\n";
    const std::pair<const char*, std::string> rows[] = {
        {"Date", in.date},
        {"Tool", in.version},
        {"Port", in.port + (in.device.empty() ? "" : "  " + in.device)},
        {"Adapter", in.adapter.empty() ? "-" : in.adapter},
        {"Firmware", in.firmware.empty() ? "not read" : in.firmware},
    };
    for (const auto& [name, value] : rows) {
        page += "<tr>" + Cell(name, "th") + Cell(value) + "</tr>\n";
    }
    page += "</table>\n";
}

// A row is marked where the panel differs from RAM or RAM from EEPROM: in bold with a
// marker, so that it shows in print and without colour too.
void AppendParameters(std::string& page, const ServiceReportInput& in) {
    unsigned short defaults[kParameterCount];
    DefaultParameterValues(defaults);
    page += "<h2>Parameters</h2>\n<table class=\"parameters\">\n<tr>";
    for (const char* head : {"Parameter", "Panel", "Controller RAM", "Controller EEPROM",
                             "Default", "Differences"}) {
        page += Cell(head, "th");
    }
    page += "</tr>\n";
    int marked = 0;
    for (int p = 0; p < kParameterCount; ++p) {
        unsigned short ram = 0;
        unsigned short eeprom = 0;
        const std::string ramText = KnownText(in.ram, p, &ram);
        const std::string eepromText = KnownText(in.eeprom, p, &eeprom);
        const bool ramKnown = ramText != "not read";
        const bool eepromKnown = eepromText != "not read";
        std::string differences;
        if (ramKnown && in.panel[p] != ram) differences = "panel not sent";
        if (ramKnown && eepromKnown && ram != eeprom) {
            differences += (differences.empty() ? "" : ", ") + std::string("RAM not stored");
        }
        if (!differences.empty()) ++marked;
        page += Row({kParameterTable[p].name, std::to_string(in.panel[p]), ramText, eepromText,
                     std::to_string(defaults[p]), differences.empty() ? "" : "* " + differences},
                    differences.empty() ? "" : " class=\"differs\"");
    }
    page += "</table>\n<p>" +
            HtmlEscaped(marked == 0 ? std::string("No differences among the values read.")
                                    : std::to_string(marked) + " parameters marked *.") +
            "</p>\n";
}

void AppendChannel(std::string& page, const CaptureRecord& capture, bool top,
                   const std::string& image) {
    const char* name = top ? "TOP" : "BOT";
    page += std::string("<h3>") + name + "</h3>\n<p><img src=\"" + HtmlEscaped(image) +
            "\" alt=\"" + name + " data curve with its reference and limit lines\"/></p>\n";
    int received = 0;
    const int outside = PointsOutsideLimits(capture, top, &received);
    page += "<p>" +
            HtmlEscaped(std::string(name) + ": " + std::to_string(outside) + " of " +
                        std::to_string(received) + " received points outside its limit lines" +
                        (received < kCurvePoints ? " (" + std::to_string(kCurvePoints - received) +
                                                       " not received)"
                                                 : "")) +
            "</p>\n";
}

void AppendCapture(std::string& page, const ServiceReportInput& in) {
    page += "<h2>Last capture</h2>\n";
    if (in.capture == nullptr) {
        page += "<p>No capture in this run.</p>\n";
        return;
    }
    page += "<p>" + HtmlEscaped("Captured " + Iso8601LocalTime(in.capture->time)) + "</p>\n";
    AppendChannel(page, *in.capture, true, in.topImage);
    AppendChannel(page, *in.capture, false, in.botImage);
}

void AppendJournal(std::string& page, const ServiceReportInput& in) {
    page += "<h2>Writes in this run</h2>\n";
    if (in.journal.empty()) {
        page += "<p>Nothing was written to the controller.</p>\n";
        return;
    }
    for (const JournalRecord& record : in.journal) {
        page += "<pre>" + HtmlEscaped(JournalRecordText(record)) + "</pre>\n";
    }
}

void AppendLine(std::string& page, const ServiceReportInput& in) {
    char median[32] = "-";
    if (in.medianReplySeconds >= 0.0) {
        std::snprintf(median, sizeof median, "%.1f ms", in.medianReplySeconds * 1000.0);
    }
    page += "<h2>Line</h2>\n<table class=\"line\">\n";
    const std::pair<const char*, std::string> rows[] = {
        {"Frames sent", std::to_string(in.line.framesSent)},
        {"Replies", std::to_string(in.line.replies)},
        {"Replies missing (time-outs)", std::to_string(in.line.repliesMissing)},
        {"Reads set aside", std::to_string(in.line.framesSetAside) + " (" +
                                std::to_string(in.line.bytesSetAside) + " bytes)"},
        {"Median reply time", median},
    };
    for (const auto& [name, value] : rows) {
        page += "<tr>" + Cell(name, "th") + Cell(value) + "</tr>\n";
    }
    page += "</table>\n";
}

constexpr const char* kStyle =
    "body{font-family:sans-serif;margin:2em;color:#222}"
    "table{border-collapse:collapse;margin:0.5em 0}"
    "th,td{border:1px solid #999;padding:2px 8px;text-align:left}"
    "table.parameters td{text-align:right}table.parameters td:first-child{text-align:left}"
    "tr.differs td{font-weight:bold;background:#fff3c4}"
    "pre{background:#f4f4f4;padding:6px}";

}  // namespace

std::string HtmlEscaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

int PointsOutsideLimits(const CaptureRecord& capture, bool top, int* received) {
    const unsigned short* values = top ? capture.top : capture.bot;
    const bool* arrived = top ? capture.topReceived : capture.botReceived;
    const int* upper = top ? capture.topUpper : capture.botUpper;
    const int* lower = top ? capture.topLower : capture.botLower;
    int outside = 0;
    int count = 0;
    for (int i = 0; i < kCurvePoints; ++i) {
        if (!arrived[i]) continue;
        ++count;
        if (values[i] > upper[i] || values[i] < lower[i]) ++outside;
    }
    if (received != nullptr) *received = count;
    return outside;
}

std::string ServiceReportHtml(const ServiceReportInput& in) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
        "<title>Service report</title>\n<style>";
    page += kStyle;
    page += "</style>\n</head>\n<body>\n<h1>Service report</h1>\n";
    AppendAbout(page, in);
    AppendParameters(page, in);
    AppendCapture(page, in);
    AppendJournal(page, in);
    AppendLine(page, in);
    page += "</body>\n</html>\n";
    return page;
}

}  // namespace kervano

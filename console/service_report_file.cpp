#include "console/service_report_file.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>
#include <ctime>
#include <vector>

#include "console/command_line.h"
#include "link/line_figures.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/journal.h"
#include "params/panel_binding.h"
#include "params/param_set.h"
#include "platform/files/file_service.h"
#include "platform/serial/port_table.h"
#include "platform/ui/curve_picture.h"
#include "scope/last_capture.h"
#include "scope/service_report.h"

namespace kervano {

namespace {

constexpr int kDataRgb = 0xFF0000;
constexpr int kLineRgb = 0x000000;
constexpr int kLowerRgb = 0x606060;

std::vector<double> Values(const int* line) {
    return std::vector<double>(line, line + kCurvePoints);
}

// A channel's graph as the panel draws it: the data over its reference and limit lines.
std::string ChannelPng(const CaptureRecord& capture, bool top) {
    const unsigned short* data = top ? capture.top : capture.bot;
    const bool* received = top ? capture.topReceived : capture.botReceived;
    PictureCurve curve{top ? "TOP data" : "BOT data", kDataRgb, false,
                       std::vector<double>(data, data + kCurvePoints),
                       std::vector<bool>(received, received + kCurvePoints)};
    const std::vector<PictureCurve> curves = {
        {"upper limit", kLineRgb, false, Values(top ? capture.topUpper : capture.botUpper), {}},
        {"lower limit", kLowerRgb, false, Values(top ? capture.topLower : capture.botLower), {}},
        {"reference", kLineRgb, true, Values(top ? capture.topRef : capture.botRef), {}},
        curve,
    };
    CurvePicture picture;
    picture.title = top ? "TOP" : "BOT";
    return CurvePicturePng(picture, curves);
}

std::string Base64(const std::string& bytes) {
    return QByteArray::fromStdString(bytes).toBase64().toStdString();
}

ServiceReportInput Gather() {
    ServiceReportInput in;
    in.date = Iso8601LocalTime(std::time(nullptr));
    in.version = VersionText();
    in.port = "COM" + std::to_string(com);
    for (const PortEntry& entry : PortTableList()) {
        if (entry.number != com) continue;
        in.device = entry.device;
        in.adapter = entry.description;
        if (!entry.serialNumber.empty()) {
            in.adapter += (in.adapter.empty() ? "" : ", ") + std::string("serial ") +
                          entry.serialNumber;
        }
    }
    in.firmware = FirmwareTextUtf8();
    ReadPanelFields(in.panel);
    in.ram = knownRam;
    in.eeprom = knownEeprom;
    in.capture = LastCapture();
    in.journal = JournalOfThisRun();
    in.line = lineFigures;
    in.medianReplySeconds = MedianReplySeconds();
    return in;
}

bool PdfBytes(ServiceReportInput& in, const std::string& topPng, const std::string& botPng,
              std::string& pdf) {
    QTextDocument document;
    if (in.capture != nullptr) {
        in.topImage = "top.png";
        in.botImage = "bot.png";
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("top.png")),
                             QImage::fromData(QByteArray::fromStdString(topPng)));
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("bot.png")),
                             QImage::fromData(QByteArray::fromStdString(botPng)));
    }
    document.setHtml(QString::fromStdString(ServiceReportHtml(in)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return false;
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(QStringLiteral("Service report"));
        writer.setCreator(QString::fromStdString(in.version));
        document.print(&writer);
    }
    pdf = bytes.toStdString();
    return !pdf.empty();
}

}  // namespace

bool IsPdfReportPath(const std::string& path) {
    return QString::fromStdString(path).endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}

bool WriteServiceReport(const std::string& path, std::string* error) {
    ServiceReportInput in = Gather();
    std::string topPng;
    std::string botPng;
    if (in.capture != nullptr) {
        topPng = ChannelPng(*in.capture, true);
        botPng = ChannelPng(*in.capture, false);
        if (topPng.empty() || botPng.empty()) {
            if (error != nullptr) *error = "the graphs could not be drawn";
            return false;
        }
    }
    std::string bytes;
    if (IsPdfReportPath(path)) {
        if (!PdfBytes(in, topPng, botPng, bytes)) {
            if (error != nullptr) *error = "the PDF could not be made";
            return false;
        }
    } else {
        in.topImage = "data:image/png;base64," + Base64(topPng);
        in.botImage = "data:image/png;base64," + Base64(botPng);
        bytes = ServiceReportHtml(in);
    }
    return WriteFileWhole(path, bytes, error);
}

}  // namespace kervano

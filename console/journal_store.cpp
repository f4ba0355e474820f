#include "console/journal_store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPortInfo>
#include <set>

#include "console/qt_text.h"
#include "platform/files/journal_file.h"
#include "resources/status_line.h"

namespace kervano {

namespace {
const char* const kPacketKeys[2] = {"full", "short"};

struct Store {
    bool noticed = false;  // "Journal not written" was said in this run
    bool earlierRead = false;
    std::vector<JournalRecord> earlier;
    std::set<std::string> written;  // the lines this program wrote, not "earlier" ones
    JournalListener listener = nullptr;
};

Store& JournalState() {
    static Store store;
    return store;
}

QJsonArray Words(const unsigned short* words, int count) {
    QJsonArray array;
    for (int i = 0; i < count; ++i) array.append(words[i]);
    return array;
}

QJsonObject MemoryJson(const KnownMemory& memory) {
    QJsonObject object;
    for (int k = 0; k < 2; ++k)
        object[kPacketKeys[k]] = memory.known[k]
                                     ? QJsonValue(Words(memory.words[k], kKnownPacketWords))
                                     : QJsonValue(QJsonValue::Null);
    return object;
}

bool WordsFrom(const QJsonValue& value, std::vector<unsigned short>& words) {
    if (!value.isArray()) return false;
    for (const QJsonValue& word : value.toArray()) {
        const int n = word.toInt(-1);
        if (!word.isDouble() || n < 0 || n > 0xFFFF) return false;
        words.push_back(static_cast<unsigned short>(n));
    }
    return true;
}

bool MemoryFrom(const QJsonValue& value, KnownMemory& memory) {
    if (!value.isObject()) return false;
    for (int k = 0; k < 2; ++k) {
        const QJsonValue packet = value.toObject().value(kPacketKeys[k]);
        if (packet.isNull() || packet.isUndefined()) continue;
        std::vector<unsigned short> words;
        if (!WordsFrom(packet, words) || words.size() != kKnownPacketWords) return false;
        std::copy(words.begin(), words.end(), memory.words[k]);
        memory.known[k] = true;
    }
    return true;
}

// A device on the command line (--port 1=/dev/ttyUSB0) is pinned by its path only; the
// adapter behind it may still have a serial number ("vid:pid:serial", as the port table).
std::string AdapterSerialNumber(const std::string& device) {
    if (device.rfind("/dev/tty", 0) != 0 && device.rfind("COM", 0) != 0) return {};
    const QSerialPortInfo info(Utf8Text(device));
    if (info.serialNumber().isEmpty() || !info.hasVendorIdentifier() ||
        !info.hasProductIdentifier())
        return {};
    return QStringLiteral("%1:%2:%3")
        .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
        .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
        .arg(info.serialNumber())
        .toStdString();
}

void WriteRecord(JournalRecord& record) {
    Store& store = JournalState();
    if (record.serialNumber.empty()) record.serialNumber = AdapterSerialNumber(record.device);
    const std::string line = JournalRecordJson(record);
    std::string reason;
    if (AppendJournalLine(line, reason)) {
        store.written.insert(line);
    } else if (!store.noticed) {
        store.noticed = true;
        // The command's own outcome stays the last word.
        const std::string outcome = record.status;
        ShowStatus(("Journal not written: " + reason).c_str());
        ShowStatus(outcome.c_str());
    }
    if (store.listener != nullptr) store.listener();
}

// Reads one file's records into earlier; counts the damaged lines.
void ReadFile(const std::string& path, int& damaged, bool& lastCut) {
    Store& store = JournalState();
    std::vector<std::string> lines;
    bool cut = false;
    if (!ReadJournalLines(path, lines, cut)) return;
    lastCut = lastCut || cut;
    for (const std::string& line : lines) {
        JournalRecord record;
        if (store.written.count(line) != 0) continue;
        if (JournalRecordFromJson(line, record)) {
            store.earlier.push_back(std::move(record));
        } else {
            ++damaged;
        }
    }
}
}  // namespace

void InstallJournalFile() {
    Store& store = JournalState();
    store.noticed = false;
    store.earlierRead = false;
    store.earlier.clear();
    SetJournalWriter(WriteRecord);
}

const std::vector<JournalRecord>& EarlierJournalRecords() {
    Store& store = JournalState();
    if (store.earlierRead) return store.earlier;
    store.earlierRead = true;
    int damaged = 0;
    bool lastCut = false;
    ReadFile(OlderJournalFilePath(), damaged, lastCut);
    ReadFile(JournalFilePath(), damaged, lastCut);
    if (damaged > 0) {
        const std::string text = "Journal: " + std::to_string(damaged) +
                                 (damaged == 1 ? " damaged line" : " damaged lines") + " skipped" +
                                 (lastCut ? " - last record cut short" : "");
        ShowStatus(text.c_str());
    }
    return store.earlier;
}

void SetJournalListener(JournalListener listener) {
    JournalState().listener = listener;
}

std::string JournalRecordJson(const JournalRecord& record) {
    QJsonArray packets;
    for (const std::vector<unsigned short>& packet : record.packets)
        packets.append(Words(packet.data(), static_cast<int>(packet.size())));
    const QJsonObject object{
        {"time", Utf8Text(record.time)},
        {"port", Utf8Text(record.port)},
        {"device", Utf8Text(record.device)},
        {"serialNumber", Utf8Text(record.serialNumber)},
        {"firmware", Utf8Text(record.firmware)},
        {"command", Utf8Text(record.command)},
        {"packets", packets},
        {"ramBefore", MemoryJson(record.ramBefore)},
        {"eepromBefore", MemoryJson(record.eepromBefore)},
        {"status", Utf8Text(record.status)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

bool JournalRecordFromJson(const std::string& line, JournalRecord& record) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return false;
    const QJsonObject object = document.object();
    if (!object.value("time").isString() || !object.value("command").isString()) return false;
    const auto text = [&](const char* key) { return object.value(key).toString().toStdString(); };
    record = JournalRecord{};
    record.time = text("time");
    record.port = text("port");
    record.device = text("device");
    record.serialNumber = text("serialNumber");
    record.firmware = text("firmware");
    record.command = text("command");
    record.status = text("status");
    for (const QJsonValue& packet : object.value("packets").toArray()) {
        std::vector<unsigned short> words;
        if (!WordsFrom(packet, words) || words.empty()) return false;
        record.packets.push_back(std::move(words));
    }
    return MemoryFrom(object.value("ramBefore"), record.ramBefore) &&
           MemoryFrom(object.value("eepromBefore"), record.eepromBefore);
}

}  // namespace kervano

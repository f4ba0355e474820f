#include "platform/ui/traffic_rows.h"

#include <QColor>
#include <cstdio>

namespace kvui {

namespace {

constexpr int COLUMN_COUNT = TrafficModel::COLUMN_COUNT;
const char* const kHeaders[COLUMN_COUNT] = {"Time (ms)", "Dir",         "Order",
                                            "Note",      "Bytes (hex)", "Words"};
// The table shows this many words of a long raw block; the tooltip and the file all.
constexpr int kWordsInCell = 16;

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (uint8_t b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

// The big-endian words from firstWord on, unsigned decimal; at most limit of them, then
// how many there are.
std::string Words(const TrafficRow& row, int limit) {
    if (row.info.firstWord < 0) return {};
    const size_t first = static_cast<size_t>(row.info.firstWord);
    const size_t total = row.bytes.size() > first ? (row.bytes.size() - first) / 2 : 0;
    std::string out;
    for (size_t k = 0; k < total && k < static_cast<size_t>(limit); ++k) {
        if (!out.empty()) out += ' ';
        out += std::to_string(row.bytes[first + 2 * k] * 256 + row.bytes[first + 2 * k + 1]);
    }
    if (total > static_cast<size_t>(limit)) out += " ... (" + std::to_string(total) + " words)";
    return out;
}

const char* Direction(TrafficKind kind) {
    return kind == TrafficKind::Written ? "->" : "<-";
}

std::string Note(const TrafficRow& row) {
    const std::string of = std::to_string(row.result) + " of " + std::to_string(row.requested);
    switch (row.kind) {
        case TrafficKind::Written:
            if (row.result < 0) return "write failed (" + std::to_string(row.result) + ")";
            if (row.result < row.requested) return "short write: " + of + " sent";
            return {};
        case TrafficKind::Read:
            if (row.result < 0) return "read failed (" + std::to_string(row.result) + ")";
            if (row.result == 0 && row.requested > 0) return "nothing read (time-out)";
            if (row.result < row.requested) return "short read: " + of;
            return {};
        case TrafficKind::Flushed:
            return "discarded (flushed unread)";
        case TrafficKind::SetAside:
            if (row.requested == SET_ASIDE_LATE_REPLY) return "late reply - discarded";
            if (row.requested == SET_ASIDE_BAD_SYNC) return "sync word not 0x0055 - refused";
            return "late block - drained";
    }
    return {};
}

std::string Milliseconds(double seconds, double origin) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", (seconds - origin) * 1000.0);
    return text;
}

const QColor kTroubleColour(0xB0, 0x00, 0x00);

}  // namespace

int TrafficModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int TrafficModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : COLUMN_COUNT;
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= COLUMN_COUNT)
        return {};
    return QString::fromLatin1(kHeaders[section]);
}

QVariant TrafficModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TrafficRow& row = at(index.row());
    if (role == Qt::ToolTipRole && index.column() >= COL_BYTES)
        return QString::fromStdString(cell(row, index.column(), INT32_MAX));
    if (role == Qt::ForegroundRole)
        return Note(row).empty() ? QVariant() : QVariant(kTroubleColour);
    if (role != Qt::DisplayRole) return {};
    return QString::fromStdString(cell(row, index.column(), kWordsInCell));
}

std::string TrafficModel::cell(const TrafficRow& row, int column, int wordLimit) const {
    switch (column) {
        case COL_TIME:
            return Milliseconds(row.seconds, origin);
        case COL_DIR:
            return Direction(row.kind);
        case COL_ORDER:
            return row.info.label;
        case COL_BYTES:
            return Hex(row.bytes);
        case COL_WORDS:
            return Words(row, wordLimit);
        case COL_NOTE:
            return Note(row);
    }
    return {};
}

const TrafficRow& TrafficModel::at(int shownRow) const {
    return rows_[static_cast<size_t>(shown_[static_cast<size_t>(shownRow)] - firstSeq_)];
}

void TrafficModel::append(std::vector<TrafficRow>& added) {
    if (added.empty()) return;
    std::vector<uint64_t> passing;
    for (TrafficRow& row : added) {
        const uint64_t seq = firstSeq_ + rows_.size();
        if (passes(row)) passing.push_back(seq);
        rows_.push_back(std::move(row));
    }
    if (!passing.empty()) {
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(passing.size()) - 1);
        shown_.insert(shown_.end(), passing.begin(), passing.end());
        endInsertRows();
    }
    const size_t limit = static_cast<size_t>(capacity_);
    const size_t excess = rows_.size() > limit ? rows_.size() - limit : 0;
    if (excess == 0) return;
    rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(excess));
    firstSeq_ += excess;
    size_t gone = 0;
    while (gone < shown_.size() && shown_[gone] < firstSeq_) ++gone;
    if (gone == 0) return;
    beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
    shown_.erase(shown_.begin(), shown_.begin() + static_cast<std::ptrdiff_t>(gone));
    endRemoveRows();
}

void TrafficModel::clear() {
    beginResetModel();
    firstSeq_ += rows_.size();
    rows_.clear();
    shown_.clear();
    endResetModel();
}

void TrafficModel::setFilter(int order) {
    beginResetModel();
    filter_ = order;
    shown_.clear();
    for (size_t i = 0; i < rows_.size(); ++i)
        if (passes(rows_[i])) shown_.push_back(firstSeq_ + i);
    endResetModel();
}

std::string TrafficModel::text() const {
    std::string out;
    for (int c = 0; c < COLUMN_COUNT; ++c) out += std::string(c ? "\t" : "") + kHeaders[c];
    out += '\n';
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < COLUMN_COUNT; ++c) {
            if (c) out += '\t';
            out += cell(at(r), c, INT32_MAX);
        }
        out += '\n';
    }
    return out;
}

}  // namespace kvui

// The traffic pane's rows: what was heard on the line, kept in a ring of the newest rows,
// shown through an order filter, and written out as text. Cells are formatted only when
// asked for, so only the rows on screen cost anything.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/serial/traffic_tap.h"

namespace kvui {

// What one block of bytes on the line is, told by the device link.
struct TrafficBlockInfo {
    int order = -1;      // the order it belongs to (the filter's key), -1 when none
    std::string label;   // "5 echo", "firmware block", ...
    int firstWord = -1;  // byte offset of its first big-endian word, -1 for no words
};

struct TrafficRow {
    double seconds = 0.0;  // the serial service's clock
    TrafficKind kind = TrafficKind::Written;
    int requested = 0;
    int result = 0;
    std::vector<uint8_t> bytes;
    TrafficBlockInfo info;
};

class TrafficModel : public QAbstractTableModel {
  public:
    // The note sits before the long columns, so what went wrong shows without scrolling.
    enum Column { COL_TIME, COL_DIR, COL_ORDER, COL_NOTE, COL_BYTES, COL_WORDS, COLUMN_COUNT };

    explicit TrafficModel(int capacity) : capacity_(capacity) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Display text (a long raw block's first sixteen words), the whole text as tooltip of
    // the long columns, and a warning colour for rows with a note.
    QVariant data(const QModelIndex& index, int role) const override;

    // Appends rows, then lets the oldest beyond the capacity go.
    void append(std::vector<TrafficRow>& added);
    void clear();
    // Shows only the rows of order (-1: all).
    void setFilter(int order);
    int filter() const { return filter_; }
    // Rows kept, whatever the filter.
    int kept() const { return static_cast<int>(rows_.size()); }
    int capacity() const { return capacity_; }

    // The header and the shown rows, tab-separated, every word written out.
    std::string text() const;

    double origin = 0.0;  // the time that shows as 0 ms

  private:
    const TrafficRow& at(int shownRow) const;
    bool passes(const TrafficRow& row) const { return filter_ < 0 || row.info.order == filter_; }
    std::string cell(const TrafficRow& row, int column, int wordLimit) const;

    int capacity_;
    std::deque<TrafficRow> rows_;
    uint64_t firstSeq_ = 0;  // sequence number of rows_.front()
    std::deque<uint64_t> shown_;
    int filter_ = -1;
};

}  // namespace kvui

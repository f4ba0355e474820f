#include "platform/ui/traffic_view.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "platform/files/file_service.h"
#include "platform/serial/rs232.h"
#include "platform/ui/userint.h"

namespace kvui {

namespace {

// The note sits before the long columns, so what went wrong shows without scrolling.
enum Column { COL_TIME, COL_DIR, COL_ORDER, COL_NOTE, COL_BYTES, COL_WORDS, COLUMN_COUNT };
const char* const kHeaders[COLUMN_COUNT] = {"Time (ms)", "Dir",         "Order",
                                            "Note",      "Bytes (hex)", "Words"};
// Initial column widths in characters (the bytes of a whole frame); the words take the rest.
const int kWidths[COLUMN_COUNT - 1] = {10, 4, 18, 27, 108};
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
    }
    return {};
}

std::string Milliseconds(double seconds, double origin) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", (seconds - origin) * 1000.0);
    return text;
}

// Draws a cell as its text in the table's fixed-pitch font, cut with an ellipsis by counting
// characters: the style's item painting measures every text and costs twice as much, and
// the pane redraws ten times a second while rows arrive.
class PlainCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        if (selected) painter->fillRect(option.rect, option.palette.highlight());
        const QVariant colour = index.data(Qt::ForegroundRole);
        painter->setPen(selected           ? option.palette.highlightedText().color()
                        : colour.isValid() ? colour.value<QColor>()
                                           : option.palette.text().color());
        const QRect area = option.rect.adjusted(3, 0, -3, 0);
        QString text = index.data().toString();
        const int pitch = option.fontMetrics.horizontalAdvance(QLatin1Char('0'));
        const int fits = area.width() / std::max(1, pitch);
        if (text.size() > fits) text = text.left(std::max(0, fits - 1)) + QChar(0x2026);
        painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, text);
    }
};

const QColor kTroubleColour(0xB0, 0x00, 0x00);

}  // namespace

// The rows: a ring of the last kMaxRows, and the sequence numbers of those the filter lets
// through. Cells are formatted when the view asks for them, so only visible rows cost.
class TrafficModel : public QAbstractTableModel {
  public:
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(shown_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : COLUMN_COUNT;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= COLUMN_COUNT)
            return {};
        return QString::fromLatin1(kHeaders[section]);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const TrafficRow& row = at(index.row());
        if (role == Qt::ToolTipRole && index.column() >= COL_BYTES)
            return QString::fromStdString(cell(row, index.column(), INT32_MAX));
        if (role == Qt::ForegroundRole)
            return Note(row).empty() ? QVariant() : QVariant(kTroubleColour);
        if (role != Qt::DisplayRole) return {};
        return QString::fromStdString(cell(row, index.column(), kWordsInCell));
    }

    std::string cell(const TrafficRow& row, int column, int wordLimit) const {
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

    const TrafficRow& at(int shownRow) const {
        return rows_[static_cast<size_t>(shown_[static_cast<size_t>(shownRow)] - firstSeq_)];
    }

    // Appends rows, then lets the oldest go beyond the ring's size.
    void append(std::vector<TrafficRow>& added) {
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
        const size_t excess = rows_.size() > static_cast<size_t>(TrafficView::kMaxRows)
                                  ? rows_.size() - TrafficView::kMaxRows
                                  : 0;
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

    void clear() {
        beginResetModel();
        firstSeq_ += rows_.size();
        rows_.clear();
        shown_.clear();
        endResetModel();
    }

    void setFilter(int order) {
        beginResetModel();
        filter_ = order;
        shown_.clear();
        for (size_t i = 0; i < rows_.size(); ++i)
            if (passes(rows_[i])) shown_.push_back(firstSeq_ + i);
        endResetModel();
    }

    int filter() const { return filter_; }
    int kept() const { return static_cast<int>(rows_.size()); }

    double origin = 0.0;  // the time that shows as 0 ms

  private:
    bool passes(const TrafficRow& row) const { return filter_ < 0 || row.info.order == filter_; }

    std::deque<TrafficRow> rows_;
    uint64_t firstSeq_ = 0;  // sequence number of rows_.front()
    std::deque<uint64_t> shown_;
    int filter_ = -1;
};

namespace {
TrafficView* listening = nullptr;  // the pane the tap reports to
}  // namespace

TrafficView::TrafficView(TrafficProtocol protocol, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      protocol_(std::move(protocol)),
      model_(std::make_unique<TrafficModel>()) {
    setObjectName(QStringLiteral("trafficView"));
    setWindowTitle(QStringLiteral("Traffic"));

    filter_ = new QComboBox(this);
    filter_->setObjectName(QStringLiteral("trafficFilter"));
    filter_->addItem(QStringLiteral("All orders"), -1);
    for (const auto& [code, name] : protocol_.orders)
        filter_->addItem(QStringLiteral("%1 %2").arg(code).arg(QString::fromStdString(name)), code);
    auto* filterLabel = new QLabel(QStringLiteral("&Order:"), this);
    filterLabel->setBuddy(filter_);
    connect(filter_, &QComboBox::currentIndexChanged, this,
            [this](int index) { setOrderFilter(filter_->itemData(index).toInt()); });

    auto* clearButton = new QPushButton(QStringLiteral("C&lear"), this);
    clearButton->setObjectName(QStringLiteral("trafficClear"));
    connect(clearButton, &QPushButton::clicked, this, [this] { clear(); });
    auto* saveButton = new QPushButton(QStringLiteral("&Save as text..."), this);
    saveButton->setObjectName(QStringLiteral("trafficSave"));
    connect(saveButton, &QPushButton::clicked, this, [this] { saveAsText(); });

    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("trafficCounts"));
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("trafficMessage"));
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("trafficTable"));
    table_->setModel(model_.get());
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->setItemDelegate(new PlainCellDelegate(table_));
    // Fixed row heights and column widths: a new batch never measures its rows.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(true);
    QFont mono = table_->font();
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFamily(QStringLiteral("monospace"));
    table_->setFont(mono);
    table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(mono).height() + 4);
    const int pitch = QFontMetrics(mono).horizontalAdvance(QLatin1Char('0'));
    int width = 0;
    for (int c = 0; c < COLUMN_COUNT - 1; ++c) {
        table_->setColumnWidth(c, kWidths[c] * pitch + 8);
        width += table_->columnWidth(c);
    }

    auto* bar = new QHBoxLayout;
    bar->addWidget(filterLabel);
    bar->addWidget(filter_);
    bar->addWidget(clearButton);
    bar->addWidget(saveButton);
    bar->addStretch(1);
    bar->addWidget(counts_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(table_, 1);
    layout->addWidget(message_);

    updates_ = new QTimer(this);
    updates_->setInterval(kUpdateMs);
    connect(updates_, &QTimer::timeout, this, [this] { takeHeard(); });

    // Room for sixteen words too, as far as the screen allows.
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
    width += 16 * 6 * pitch;
    if (screen.isValid()) width = std::min(width, screen.width() - 40);
    resize(width, 24 * (QFontMetrics(mono).height() + 4));
    showCounts();
}

TrafficView::~TrafficView() {
    listen(false);
}

void TrafficView::Hear(const TrafficEvent& event, void* data) {
    auto* view = static_cast<TrafficView*>(data);
    // Only a copy here: this runs inside the serial call, possibly in a tight loop.
    if (view->heard_.size() >= static_cast<size_t>(kMaxRows)) view->heard_.pop_front();
    TrafficRow& row = view->heard_.emplace_back();
    row.seconds = event.time;
    row.kind = event.kind;
    row.requested = event.requested;
    row.result = event.result;
    row.bytes.assign(event.bytes, event.bytes + event.count);
}

void TrafficView::listen(bool on) {
    if (on) {
        listening = this;
        SetTrafficListener(&TrafficView::Hear, this);
    } else if (listening == this) {
        listening = nullptr;
        SetTrafficListener(nullptr, nullptr);
    }
}

void TrafficView::takeHeard() {
    if (heard_.empty()) return;
    std::vector<TrafficRow> rows(std::make_move_iterator(heard_.begin()),
                                 std::make_move_iterator(heard_.end()));
    heard_.clear();
    for (TrafficRow& row : rows) {
        const bool out = row.kind == TrafficKind::Written;
        if (protocol_.describe) {
            row.info = protocol_.describe(out, row.bytes.data(), static_cast<int>(row.bytes.size()),
                                          orderSent_);
        }
        if (out && row.info.order >= 0) orderSent_ = row.info.order;
    }
    QScrollBar* scroll = table_->verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    model_->append(rows);
    if (following) table_->scrollToBottom();
    showCounts();
}

void TrafficView::clear() {
    heard_.clear();
    model_->clear();
    model_->origin = Timer();
    cleared_ = true;
    message_->clear();
    showCounts();
}

void TrafficView::setOrderFilter(int order) {
    if (order == model_->filter()) return;
    takeHeard();
    model_->setFilter(order);
    const int index = filter_->findData(order);
    if (index >= 0 && index != filter_->currentIndex()) filter_->setCurrentIndex(index);
    table_->scrollToBottom();
    showCounts();
}

std::string TrafficView::text() {
    takeHeard();
    const int count = model_->rowCount();
    std::string out = "# kervano-scope line traffic: " + std::to_string(count) + " rows";
    out += model_->filter() < 0 ? ", all orders" : ", order " + std::to_string(model_->filter());
    out += cleared_ ? "; time in ms since the pane was cleared\n"
                    : "; time in ms since the tool started\n";
    for (int c = 0; c < COLUMN_COUNT; ++c) out += std::string(c ? "\t" : "") + kHeaders[c];
    out += '\n';
    for (int r = 0; r < count; ++r) {
        const TrafficRow& row = model_->at(r);
        for (int c = 0; c < COLUMN_COUNT; ++c) {
            if (c) out += '\t';
            out += model_->cell(row, c, INT32_MAX);
        }
        out += '\n';
    }
    return out;
}

void TrafficView::saveAsText() {
    char path[261] = "";
    const int chosen = FileSelectPopup("", "traffic.txt", "*.txt", "Save traffic as text",
                                       VAL_SAVE_BUTTON, 0, 1, 1, 1, path);
    if (chosen == VAL_NO_FILE_SELECTED) return;
    if (chosen < 0) {
        message_->setText(QStringLiteral("Traffic not saved: the path is too long."));
        return;
    }
    const std::string content = text();
    std::string error;
    const QString where = QString::fromLocal8Bit(path);
    if (WriteFileWhole(path, content, &error)) {
        message_->setText(QStringLiteral("Saved %1 rows to %2").arg(model_->rowCount()).arg(where));
    } else {
        message_->setText(QStringLiteral("Traffic not saved to %1: %2")
                              .arg(where, QString::fromLocal8Bit(error.c_str())));
    }
}

void TrafficView::showCounts() {
    const int shown = model_->rowCount();
    const int kept = model_->kept();
    QString text = shown == kept ? QStringLiteral("%1 rows").arg(kept)
                                 : QStringLiteral("%1 of %2 rows").arg(shown).arg(kept);
    counts_->setText(text + QStringLiteral(" (keeps the last %1)").arg(kMaxRows));
}

void TrafficView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;  // a window coming back from the task bar
    listen(true);
    updates_->start();
    emit shownChanged(true);
}

void TrafficView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) return;  // minimised: still listening
    listen(false);
    updates_->stop();
    takeHeard();
    emit shownChanged(false);
}

}  // namespace kvui

#include "platform/ui/traffic_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/files/file_service.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/traffic_rows.h"
#include "platform/ui/ui_service.h"

namespace kvui {

namespace {

// Initial column widths in characters (the bytes of a whole frame); the words take the rest.
const int kWidths[TrafficModel::COLUMN_COUNT - 1] = {10, 4, 18, 27, 108};

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

TrafficView* listening = nullptr;  // the pane the tap reports to

}  // namespace

TrafficView::TrafficView(TrafficProtocol protocol, QWidget* parent)
    : QWidget(parent),
      protocol_(std::move(protocol)),
      model_(std::make_unique<TrafficModel>(kMaxRows)) {
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
    message_->hide();  // a line of its own only while it says something

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
    for (int c = 0; c < TrafficModel::COLUMN_COUNT - 1; ++c)
        table_->setColumnWidth(c, kWidths[c] * pitch + 8);

    // Docked in the main window, the pane names itself and has a way to close.
    auto* title = new QLabel(QStringLiteral("Traffic"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* hideButton = new QToolButton(this);
    hideButton->setObjectName(QStringLiteral("trafficHide"));
    hideButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    hideButton->setToolTip(QStringLiteral("Hide the traffic pane"));
    hideButton->setAccessibleName(QStringLiteral("Hide traffic"));
    hideButton->setAutoRaise(true);
    connect(hideButton, &QToolButton::clicked, this, &QWidget::hide);

    auto* bar = new QHBoxLayout;
    bar->addWidget(title);
    bar->addSpacing(12);
    bar->addWidget(filterLabel);
    bar->addWidget(filter_);
    bar->addWidget(clearButton);
    bar->addWidget(saveButton);
    bar->addStretch(1);
    bar->addWidget(counts_);
    bar->addWidget(hideButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 0);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(table_, 1);
    layout->addWidget(message_);

    updates_ = new QTimer(this);
    updates_->setInterval(kUpdateMs);
    connect(updates_, &QTimer::timeout, this, [this] { takeHeard(); });

    rowHeight_ = table_->verticalHeader()->defaultSectionSize();
    showCounts();
}

// Twelve rows when there is room; two at the least, so the pane takes little of a small
// screen from the panel above it.
QSize TrafficView::sizeHint() const {
    return {QWidget::sizeHint().width(), chromeHeight() + 12 * rowHeight_};
}

QSize TrafficView::minimumSizeHint() const {
    return {QWidget::minimumSizeHint().width(), chromeHeight() + 2 * rowHeight_};
}

int TrafficView::chromeHeight() const {
    const QMargins margins = layout()->contentsMargins();
    const int message =
        message_->isHidden() ? 0 : layout()->spacing() + message_->sizeHint().height();
    return margins.top() + margins.bottom() + layout()->spacing() + message +
           layout()->itemAt(0)->sizeHint().height() +
           table_->horizontalHeader()->sizeHint().height() + 2 * table_->frameWidth() +
           table_->horizontalScrollBar()->sizeHint().height();
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
    showMessage(QString());
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
    std::string out =
        "# kervano-scope line traffic: " + std::to_string(model_->rowCount()) + " rows";
    out += model_->filter() < 0 ? ", all orders" : ", order " + std::to_string(model_->filter());
    out += cleared_ ? "; time in ms since the pane was cleared\n"
                    : "; time in ms since the tool started\n";
    return out + model_->text();
}

void TrafficView::saveAsText() {
    char path[261] = "";
    const int chosen = FileSelectPopup("", "traffic.txt", "*.txt", "Save traffic as text",
                                       VAL_SAVE_BUTTON, 0, 1, 1, 1, path);
    if (chosen == VAL_NO_FILE_SELECTED) return;
    if (chosen < 0) {
        showMessage(QStringLiteral("Traffic not saved: the path is too long."));
        return;
    }
    const std::string content = text();
    std::string error;
    const QString where = QString::fromLocal8Bit(path);
    if (WriteFileWhole(path, content, &error)) {
        showMessage(QStringLiteral("Saved %1 rows to %2").arg(model_->rowCount()).arg(where));
    } else {
        showMessage(QStringLiteral("Traffic not saved to %1: %2")
                        .arg(where, QString::fromLocal8Bit(error.c_str())));
    }
}

void TrafficView::showMessage(const QString& text) {
    message_->setText(text);
    message_->setVisible(!text.isEmpty());
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

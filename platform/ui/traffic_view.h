// The traffic pane: every frame and raw block that crosses the serial line, one row each,
// with its time, direction, order, bytes and words, and what the tool threw away (bytes
// flushed unread, short or failed writes and reads). A pane docked in the main window below
// the panel's controls (see panel_dock.h), with a button that hides it. It listens to the serial
// service only while it is shown, takes what it heard into its rows in batches (every 100 ms), and
// keeps the last 5000 rows.
#pragma once

#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial/traffic_tap.h"
#include "platform/ui/traffic_rows.h"

class QComboBox;
class QLabel;
class QTableView;
class QTimer;

namespace kvui {

// The line's protocol as far as the pane needs it; the console passes the link's.
struct TrafficProtocol {
    std::vector<std::pair<int, std::string>> orders;  // the filter's choices: code, name
    // orderSent is the order of the last block written to the controller.
    std::function<TrafficBlockInfo(bool toController, const uint8_t* bytes, int count,
                                   int orderSent)>
        describe;
};

class TrafficView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kMaxRows = 5000;
    static constexpr int kUpdateMs = 100;

    explicit TrafficView(TrafficProtocol protocol, QWidget* parent = nullptr);
    ~TrafficView() override;

    // Takes what was heard since the last update into the rows (the update timer does
    // this while the pane is shown).
    void takeHeard();
    // Forgets every row; times count from now on.
    void clear();
    // Shows only the rows of order (-1: all).
    void setOrderFilter(int order);
    // The rows shown, as Save as text writes them.
    std::string text();
    // Asks for a file and writes text() to it whole; the pane says how it went.
    void saveAsText();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // The pane was shown, or hidden (closed by the operator included).
    void shownChanged(bool shown);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    static void Hear(const TrafficEvent& event, void* data);
    void listen(bool on);
    void showCounts();
    void showMessage(const QString& text);
    int chromeHeight() const;  // all but the table's rows

    TrafficProtocol protocol_;
    std::deque<TrafficRow> heard_;  // not yet in the rows
    int orderSent_ = -1;
    bool cleared_ = false;
    std::unique_ptr<TrafficModel> model_;
    QTableView* table_ = nullptr;
    QComboBox* filter_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* message_ = nullptr;
    QTimer* updates_ = nullptr;
    int rowHeight_ = 0;
};

}  // namespace kvui

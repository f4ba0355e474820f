// Control attributes (visibility, dimming, colours, fonts, captions, chart settings) and
// controls created at run time.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>

#include "platform/ui/control_events.h"
#include "platform/ui/ctrl_properties.h"
#include "platform/ui/data_graph.h"
#include "platform/ui/panel_ui_loader.h"
#include "platform/ui/strip_chart.h"
#include "platform/ui/ui_registry.h"
#include "platform/ui/ui_service.h"

namespace {

using kvui::kBgColorProperty;
using kvui::kTextColorProperty;

const char* const kBaseSheetProperty = "kvuiBaseStyleSheet";

QString CssColor(int rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF)).name(QColor::HexRgb);
}

// Colours go through the style sheet, since a style sheet in the resource (the read-outs
// have one) would override palette colours. The resource's own sheet is kept and the
// colours are appended as a later rule for the same widget.
void ApplyColors(QWidget* w) {
    if (!w->property(kBaseSheetProperty).isValid())
        w->setProperty(kBaseSheetProperty, w->styleSheet());
    const QString base = w->property(kBaseSheetProperty).toString();
    const QString selector = QLatin1Char('#') + w->objectName();

    QString sheet;
    if (!base.trimmed().isEmpty())
        sheet = base.contains(QLatin1Char('{')) ? base : selector + " { " + base + " }\n";
    QString colors;
    if (w->property(kTextColorProperty).isValid())
        colors += "color: " + CssColor(w->property(kTextColorProperty).toInt()) + "; ";
    if (w->property(kBgColorProperty).isValid())
        colors += "background-color: " + CssColor(w->property(kBgColorProperty).toInt()) + "; ";
    if (!colors.isEmpty()) sheet += selector + " { " + colors + "}";
    w->setStyleSheet(sheet);
}

// The read-outs are coloured on every monitor redraw; a new style sheet re-polishes the
// widget, so only a change of colour sets one.
void SetColorProperty(QWidget* w, const char* property, int value) {
    const QVariant old = w->property(property);
    if (old.isValid() && old.toInt() == (value & 0xFFFFFF)) return;
    w->setProperty(property, value & 0xFFFFFF);
    ApplyColors(w);
}

// Text messages made at run time are outside the layout and follow their text's size.
void FitIfFloating(QWidget* w) {
    auto* label = qobject_cast<QLabel*>(w);
    QWidget* parent = w->parentWidget();
    if (label && (!parent || !parent->layout() || parent->layout()->indexOf(w) < 0))
        label->adjustSize();
}

// The label beside a control (a read-out's "TOP1"): the one that names it as its buddy.
QLabel* BuddyLabel(const QWidget* w) {
    for (QLabel* label : w->window()->findChildren<QLabel*>()) {
        if (label->buddy() == w) return label;
    }
    return nullptr;
}

int SetTextAttribute(QWidget* w, int attribute, const QString& value) {
    switch (attribute) {
        case ATTR_TEXT_FONT: {
            QFont font = w->font();
            // Fonts named after the original toolkit's application font mean ours.
            const bool appFont = value.startsWith(QLatin1String("NI"));
            font.setFamily(appFont ? QApplication::font().family() : value);
            w->setFont(font);
            FitIfFloating(w);
            return 0;
        }
        case ATTR_LABEL_TEXT:
            if (auto* chart = qobject_cast<StripChart*>(w))
                chart->setCaption(value);
            else if (auto* graph = qobject_cast<DataGraph*>(w))
                graph->setCaption(value);
            else if (auto* button = qobject_cast<QAbstractButton*>(w))
                button->setText(value);
            else if (auto* group = qobject_cast<QGroupBox*>(w))
                group->setTitle(value);
            else if (QLabel* label = BuddyLabel(w))
                label->setText(value);
            else
                w->setAccessibleName(value);
            return 0;
        case ATTR_TOOLTIP_TEXT:
            w->setToolTip(value);
            return 0;
        case ATTR_XNAME:
        case ATTR_YNAME: {
            auto* chart = qobject_cast<CompactChart*>(w);
            if (!chart) return kUiError;
            chart->setAxisTitle(attribute == ATTR_XNAME ? VAL_XAXIS : VAL_LEFT_YAXIS, value);
            return 0;
        }
        default:
            return kUiError;
    }
}

int SetIntAttribute(QWidget* w, int attribute, int value) {
    auto* chart = qobject_cast<CompactChart*>(w);
    auto* strip = qobject_cast<StripChart*>(w);
    auto* graph = qobject_cast<DataGraph*>(w);
    switch (attribute) {
        case ATTR_VISIBLE:
            w->setVisible(value != 0);
            return 0;
        case ATTR_DIMMED:
            // Children of a dimmed frame are dimmed with it.
            w->setEnabled(value == 0);
            return 0;
        case ATTR_TEXT_COLOR:
            SetColorProperty(w, kTextColorProperty, value);
            return 0;
        case ATTR_TEXT_BGCOLOR:
            SetColorProperty(w, kBgColorProperty, value);
            return 0;
        case ATTR_TEXT_POINT_SIZE: {
            if (value <= 0) return kUiError;
            QFont font = w->font();
            font.setPointSize(value);
            w->setFont(font);
            FitIfFloating(w);
            return 0;
        }
        case ATTR_POINTS_PER_SCREEN:
            if (!strip || value < 2) return kUiError;
            strip->setPointsPerScreen(value);
            return 0;
        case ATTR_SCROLL_MODE:
            if (!strip) return kUiError;
            strip->setScrollMode(value);
            return 0;
        case ATTR_NUM_TRACES:
            if (!strip || value < 1) return kUiError;
            strip->setTraceCount(value);
            return 0;
        case ATTR_NUM_CURSORS:
            if (!graph || value < 0 || value > 1) return kUiError;
            graph->setCursorCount(value);
            return 0;
        case ATTR_LEGEND_VISIBLE:
            if (!chart) return kUiError;
            chart->setLegendVisible(value != 0);
            return 0;
        default:
            return kUiError;
    }
}

}  // namespace

int SetCtrlAttribute(int panel, int control, int attribute, int value) {
    QWidget* w = kvui::FindControl(panel, control);
    if (!w) return kUiError;
    kvui::ProgramChange quiet;
    return SetIntAttribute(w, attribute, value);
}

int SetCtrlAttribute(int panel, int control, int attribute, const char* value) {
    QWidget* w = kvui::FindControl(panel, control);
    if (!w || !value) return kUiError;
    kvui::ProgramChange quiet;
    return SetTextAttribute(w, attribute, QString::fromUtf8(value));
}

int NewCtrl(int panel, int style, const char* label, int top, int left) {
    kvui::PanelRecord* record = kvui::FindPanel(panel);
    if (!record || style != CTRL_TEXT_MSG) return kUiError;
    const int id = kvui::NewControlId();
    auto* message = new QLabel(kvui::ClientArea(record->widget));
    message->setObjectName(QStringLiteral("kvui_text_msg_%1").arg(id));
    message->setText(label ? QString::fromUtf8(label) : QString());
    message->setFont(QApplication::font());
    message->move(left, top);
    message->adjustSize();
    // Placed over the layout, not in it.
    message->raise();
    message->show();
    record->controls[id] = message;
    kvui::WireControl(panel, id, message);
    return id;
}

// Reading and writing control values, and the items of list controls.
#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "platform/ui/led.h"
#include "platform/ui/readout.h"
#include "platform/ui/ui_registry.h"
#include "platform/ui/ui_service.h"

namespace {

// A list item's value is its item data; items defined in the resource without data count
// by position.
int ItemValue(const QComboBox* combo, int index) {
    const QVariant data = combo->itemData(index);
    return data.isValid() ? data.toInt() : index;
}

// Item labels made at run time can be longer than the closed selector, which keeps the
// width the layout gave it: the open list grows to the longest label instead, and each item
// shows its whole label as its tooltip too. The view's own size hint counts only the rows it
// shows, so every item is measured here.
void FitListToItems(QComboBox* combo) {
    QAbstractItemView* list = combo->view();
    QStyleOptionViewItem option;
    option.initFrom(list);
    int longest = 0;
    for (int row = 0; row < combo->count(); ++row) {
        const QModelIndex index =
            combo->model()->index(row, combo->modelColumn(), combo->rootModelIndex());
        longest =
            std::max(longest, list->itemDelegateForIndex(index)->sizeHint(option, index).width());
    }
    const int scrollBar =
        combo->count() > combo->maxVisibleItems()
            ? list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list)
            : 0;
    list->setMinimumWidth(longest > 0 ? longest + 2 * list->frameWidth() + scrollBar : 0);
}

// Numeric read-outs show their number as text; the panel's label is the read-out.
void SetLabelText(QLabel* label, const QString& text) {
    label->setText(text);
    if (auto* readout = qobject_cast<Readout*>(label)) readout->textSet();
    // Controls made at run time sit outside any layout and size themselves; a layout,
    // however deeply nested, sizes the others.
    if (!label->testAttribute(Qt::WA_LaidOut)) label->adjustSize();
}

std::optional<long long> NumericValue(QWidget* w) {
    if (auto* spin = qobject_cast<QSpinBox*>(w)) return spin->value();
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable())
        return button->isChecked() ? 1 : 0;
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->currentIndex() < 0) return std::nullopt;
        return ItemValue(combo, combo->currentIndex());
    }
    if (auto* led = qobject_cast<Led*>(w)) return led->isOn() ? 1 : 0;
    QString text;
    if (auto* label = qobject_cast<QLabel*>(w))
        text = label->text();
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        text = edit->text();
    else
        return std::nullopt;
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return v;
}

int SetNumericValue(int panel, int control, long long value) {
    QWidget* w = kvui::FindControl(panel, control);
    if (!w) return kUiError;
    kvui::ProgramChange quiet;
    if (auto* spin = qobject_cast<QSpinBox*>(w)) {
        spin->setValue(
            static_cast<int>(std::clamp<long long>(value, spin->minimum(), spin->maximum())));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable()) {
        button->setChecked(value != 0);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < combo->count(); ++i) {
            if (ItemValue(combo, i) == value) {
                combo->setCurrentIndex(i);
                return 0;
            }
        }
        return kUiError;  // no item has that value
    } else if (auto* led = qobject_cast<Led*>(w)) {
        led->setOn(value != 0);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        SetLabelText(label, QString::number(value));
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(QString::number(value));
    } else {
        return kUiError;
    }
    return 0;
}

}  // namespace

int GetCtrlVal(int panel, int control, unsigned short* value) {
    QWidget* w = kvui::FindControl(panel, control);
    if (!w || !value) return kUiError;
    const std::optional<long long> v = NumericValue(w);
    if (!v) return kUiError;
    *value = static_cast<unsigned short>(std::clamp<long long>(*v, 0, USHRT_MAX));
    return 0;
}

int GetCtrlVal(int panel, int control, int* value) {
    QWidget* w = kvui::FindControl(panel, control);
    if (!w || !value) return kUiError;
    const std::optional<long long> v = NumericValue(w);
    if (!v) return kUiError;
    *value = static_cast<int>(std::clamp<long long>(*v, INT_MIN, INT_MAX));
    return 0;
}

int GetCtrlVal(int panel, int control, char* text, int size) {
    QWidget* w = kvui::FindControl(panel, control);
    if (!w || !text || size <= 0) return kUiError;
    QString s;
    if (auto* label = qobject_cast<QLabel*>(w))
        s = label->text();
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        s = edit->text();
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        s = combo->currentText();
    else if (auto* spin = qobject_cast<QSpinBox*>(w))
        s = QString::number(spin->value());
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        s = button->text();
    else
        return kUiError;
    // Text crosses this seam as UTF-8, the program's own texts and paths alike; the
    // controller's firmware bytes are turned into UTF-8 where they are read.
    const QByteArray bytes = s.toUtf8();
    int n = std::min(static_cast<int>(bytes.size()), size - 1);
    // Back to the start of a character when the buffer ends inside one.
    if (n < bytes.size()) {
        while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(text, bytes.constData(), static_cast<size_t>(n));
    text[n] = '\0';
    return 0;
}

int SetCtrlVal(int panel, int control, unsigned int value) {
    return SetNumericValue(panel, control, static_cast<long long>(value));
}

int SetCtrlVal(int panel, int control, int value) {
    return SetNumericValue(panel, control, static_cast<long long>(value));
}

int SetCtrlVal(int panel, int control, const char* text) {
    QWidget* w = kvui::FindControl(panel, control);
    if (!w || !text) return kUiError;
    const QString s = QString::fromUtf8(text);
    kvui::ProgramChange quiet;
    if (auto* label = qobject_cast<QLabel*>(w)) {
        SetLabelText(label, s);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(s);
        edit->setCursorPosition(0);  // long messages show their beginning
        // A status text often announces a wait that processes no events ("Waiting for
        // Data[64] ...", the echo check): draw it now, or the operator never sees it.
        if (edit->isVisible()) edit->repaint();
    } else {
        bool ok = false;
        const long long v = s.trimmed().toLongLong(&ok);
        return ok ? SetNumericValue(panel, control, v) : kUiError;
    }
    return 0;
}

int InsertListItem(int panel, int control, int index, const char* label, int value) {
    auto* combo = qobject_cast<QComboBox*>(kvui::FindControl(panel, control));
    if (!combo || !label) return kUiError;
    if (index < -1 || index > combo->count()) return kUiError;
    kvui::ProgramChange quiet;
    const int at = index < 0 ? combo->count() : index;
    const QString text = QString::fromUtf8(label);
    combo->insertItem(at, text, value);
    combo->setItemData(at, text, Qt::ToolTipRole);
    FitListToItems(combo);
    return 0;
}

int ClearListCtrl(int panel, int control) {
    auto* combo = qobject_cast<QComboBox*>(kvui::FindControl(panel, control));
    if (!combo) return kUiError;
    kvui::ProgramChange quiet;
    combo->clear();
    FitListToItems(combo);
    return 0;
}

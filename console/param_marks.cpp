#include "console/param_marks.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QSpinBox>
#include <QStyle>
#include <QString>

#include "console/startup.h"
#include "params/known_values.h"
#include "params/panel_binding.h"
#include "params/param_state.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {
// Light tints, so black text keeps well above 4.5:1 on them.
const QColor kUnsentTint(0xFF, 0xF0, 0xB3);
const QColor kWarningTint(0xFF, 0xD0, 0xC0);

QSpinBox* Field(int index) {
    return qobject_cast<QSpinBox*>(CtrlWidget(panelHandle, ParameterControl(index)));
}

void PaintField(QSpinBox* spin, int index, const FieldState& field) {
    const QString marker = QString::fromLatin1(field.outsideRange ? kOutsideRangeMarker
                                               : field.unsent     ? kUnsentMarker
                                                                  : "");
    if (spin->suffix() != marker) spin->setSuffix(marker);
    QFont font = spin->font();
    if (font.bold() != field.unsent) {
        font.setBold(field.unsent);
        spin->setFont(font);
    }
    QPalette palette = spin->palette();
    const QColor base = field.outsideRange ? kWarningTint
                        : field.unsent     ? kUnsentTint
                                           : spin->style()->standardPalette().color(QPalette::Base);
    if (palette.color(QPalette::Base) != base) {
        palette.setColor(QPalette::Base, base);
        spin->setPalette(palette);
    }
    const QString tip = QString::fromUtf8(FieldTooltip(index, field).c_str());
    if (spin->toolTip() != tip) spin->setToolTip(tip);
    const QString description = field.unsent ? QStringLiteral("not sent") : QString();
    if (spin->accessibleDescription() != description) spin->setAccessibleDescription(description);
}

void Paint(const ParameterState& state) {
    if (panelHandle < 0) return;
    for (int p = 0; p < kParameterCount; ++p) {
        if (QSpinBox* spin = Field(p)) PaintField(spin, p, state.fields[p]);
    }
    SetCtrlVal(panelHandle, PANEL_PARAMSTATE, state.line.c_str());
}
}  // namespace

void InstallParameterMarks() {
    SetParameterStateListener(Paint);
    SetKnownValuesListener(ParameterStateChanged);
    for (int p = 0; p < kParameterCount; ++p) {
        QSpinBox* spin = Field(p);
        if (spin == nullptr) continue;
        QObject::connect(spin, &QSpinBox::valueChanged, spin, [] { ParameterStateChanged(); });
    }
    ParameterStateChanged();
}

}  // namespace kervano

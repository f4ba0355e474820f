#include "platform/ui/chart_view_control.h"

#include <QAction>

#include "platform/ui/strip_chart.h"
#include "platform/ui/strip_chart_group.h"
#include "platform/ui/ui_registry.h"
#include "platform/ui/ui_service.h"

namespace {

StripChartGroup* FindGroup(int panel) {
    kvui::PanelRecord* record = kvui::FindPanel(panel);
    if (!record) return nullptr;
    auto* chart = record->widget->findChild<StripChart*>();
    return chart ? chart->group() : nullptr;
}

}  // namespace

bool StripChartsPaused(int panel) {
    StripChartGroup* group = FindGroup(panel);
    return group && group->paused();
}

int SetStripChartScaleLocked(int panel, int control, int locked) {
    StripChart* chart = kvui::FindControlAs<StripChart>(panel, control);
    if (!chart) return kUiError;
    chart->setScaleLocked(locked != 0);
    return 0;
}

bool StripChartScaleLocked(int panel, int control) {
    StripChart* chart = kvui::FindControlAs<StripChart>(panel, control);
    return chart && chart->scaleLocked();
}

int SetStripChartsShareScale(int panel, int shared) {
    StripChartGroup* group = FindGroup(panel);
    if (!group) return kUiError;
    group->shareScaleAction()->setChecked(shared != 0);
    return 0;
}

bool StripChartsShareScale(int panel) {
    StripChartGroup* group = FindGroup(panel);
    return group && group->sharesScale();
}

QAction* StripChartsPauseAction(int panel) {
    StripChartGroup* group = FindGroup(panel);
    return group ? group->pauseAction() : nullptr;
}

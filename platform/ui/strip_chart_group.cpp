#include "platform/ui/strip_chart_group.h"

#include <QAction>
#include <QWidget>
#include <algorithm>

#include "platform/ui/strip_chart.h"

StripChartGroup* StripChartGroup::of(QWidget* widget) {
    StripChartGroup* group = nullptr;
    for (QWidget* w = widget; w && !group; w = w->parentWidget())
        group = w->findChild<StripChartGroup*>(QString(), Qt::FindDirectChildrenOnly);
    if (!group) group = new StripChartGroup(widget->window());
    if (auto* chart = qobject_cast<StripChart*>(widget)) group->adopt(chart);
    return group;
}

StripChartGroup::StripChartGroup(QWidget* panel) : QObject(panel) {
    pause_ = new QAction(tr("Pause"), this);
    pause_->setCheckable(true);
    pause_->setToolTip(tr("Freeze the strip charts; the monitor goes on in the background"));
    shareScale_ = new QAction(tr("Same scale for both charts"), this);
    shareScale_->setCheckable(true);
    for (StripChart* chart : panel->findChildren<StripChart*>()) adopt(chart);
    connect(pause_, &QAction::toggled, this, &StripChartGroup::pauseChanged);
    connect(shareScale_, &QAction::toggled, this, &StripChartGroup::shareChanged);
}

void StripChartGroup::adopt(StripChart* chart) {
    if (!charts_.contains(chart)) charts_.append(chart);
    chart->group_ = this;
}

bool StripChartGroup::paused() const {
    return pause_->isChecked();
}

bool StripChartGroup::sharesScale() const {
    return shareScale_->isChecked();
}

QList<StripChart*> StripChartGroup::charts() const {
    QList<StripChart*> live;
    for (const QPointer<StripChart>& chart : charts_) {
        if (chart) live.append(chart.data());
    }
    return live;
}

void StripChartGroup::pauseChanged(bool paused) {
    for (StripChart* chart : charts()) chart->showPaused(paused);
}

void StripChartGroup::shareChanged(bool shared) {
    const QList<StripChart*> all = charts();
    if (shared) {
        // A scale the operator locked is kept, now for all of them.
        auto locked =
            std::find_if(all.begin(), all.end(), [](StripChart* c) { return c->scaleLocked(); });
        if (locked != all.end()) {
            setLocked(*locked, true);
            return;
        }
    }
    for (StripChart* chart : all) rescale(chart);
}

void StripChartGroup::rescale(StripChart* chart) {
    if (chart->scaleLocked()) return;
    double lo = 0.0, hi = 0.0;
    bool any = chart->drawnRange(&lo, &hi);
    if (!sharesScale()) {
        chart->fitScale(any, lo, hi);
        return;
    }
    const QList<StripChart*> all = charts();
    for (StripChart* other : all) {
        double otherLo = 0.0, otherHi = 0.0;
        if (other == chart || !other->drawnRange(&otherLo, &otherHi)) continue;
        lo = any ? std::min(lo, otherLo) : otherLo;
        hi = any ? std::max(hi, otherHi) : otherHi;
        any = true;
    }
    for (StripChart* each : all) {
        if (!each->scaleLocked()) each->fitScale(any, lo, hi);
    }
}

void StripChartGroup::setLocked(StripChart* chart, bool locked) {
    const auto [lo, hi] = chart->yRange();
    const QList<StripChart*> targets = sharesScale() ? charts() : QList<StripChart*>{chart};
    for (StripChart* each : targets) each->showLocked(locked, lo, hi);
    if (!locked) {
        for (StripChart* each : targets) rescale(each);
    }
}

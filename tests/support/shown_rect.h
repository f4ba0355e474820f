// Where a widget can be seen in its window: its rectangle clipped by every ancestor (a
// scrolled area hides what lies outside its viewport) and by the window itself.
#pragma once

#include <QRect>
#include <QWidget>

inline QRect ShownRect(const QWidget* w, const QWidget* window) {
    QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        r &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
    return r & window->rect();
}

// The whole widget can be seen.
inline bool WhollyShown(const QWidget* w, const QWidget* window) {
    return w->isVisible() &&
           ShownRect(w, window) == QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

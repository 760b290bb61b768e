#pragma once
#include <QString>

namespace kvel {

// A control named as the program and its tests find it, with its tool tip if it has one.
template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}
template <class W>
W* named(W* widget, const char* name, const QString& toolTip) {
    widget->setToolTip(toolTip);
    return named(widget, name);
}

}  // namespace kvel

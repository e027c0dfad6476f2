#pragma once
// Controls are found by their object names, as the windows name them.

#include <QWidget>
#include <QtGlobal>

namespace kv::testing {

// The named control of type T; a missing one ends the test run at once.
template <typename T>
T* child(QWidget& window, const char* name) {
    T* c = window.findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s in %s", name, qPrintable(window.objectName()));
    return c;
}

}  // namespace kv::testing

#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace tarvo {

// Keeps the wait cursor up while a list loads or a file is read or written.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace tarvo

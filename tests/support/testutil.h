#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QThread>
#include <functional>

// CR LF, as the editor writes line breaks.
inline const QString kCrLf = QStringLiteral("\r\n");

// Processes events until `done` holds or `ms` milliseconds have passed; returns done().
inline bool waitUntil(const std::function<bool()>& done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    return true;
}

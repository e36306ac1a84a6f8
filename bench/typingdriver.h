// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Types into an editor widget the way a user does: for every character a key press and a
// key release sent to the widget, then the pending events processed and the viewport
// repainted, which is what the user waits for before the next key.

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QString>
#include <algorithm>
#include <ctime>
#include <utility>
#include <vector>

namespace bench {

// Ordinary markup typed by hand: letters, spaces, tag brackets, quotes and a line break.
inline QString typedMarkup(int keys) {
    const QString sample = QStringLiteral("<p class=\"note\">Hello <b>world</b> of tags</p>\n");
    QString s;
    while (s.size() < keys)
        s += sample;
    return s.left(keys);
}

// The key event of one typed character on a US layout.
inline void keyOf(QChar c, int* key, Qt::KeyboardModifiers* mods, QString* text) {
    *mods = Qt::NoModifier;
    *text = QString(c);
    if (c == QLatin1Char('\n')) {
        *key = Qt::Key_Return;
        *text = QStringLiteral("\r");
    } else if (c.isLetter()) {
        *key = c.toUpper().unicode();
        if (c.isUpper())
            *mods = Qt::ShiftModifier;
    } else {
        *key = c.unicode(); // the Qt key codes of ASCII symbols are their code points
        if (QStringLiteral("<>\"").contains(c))
            *mods = Qt::ShiftModifier;
    }
}

// Median, 95th percentile and slowest of the per-key times, in milliseconds: a stall of one
// key in a hundred shows in none of the first two.
// Beside them, the processor time the window's thread spent on the key that used the most:
// a slowest key far above it waited (for the display server, or for a processor on a busy
// machine) rather than worked.
// Its median is less moved by the other programs of a busy machine than the wall-clock one.
// And the median time to the end of the window's own repaint, the area the editor itself
// marked as changed, before the benchmark repaints the whole view: on a view full of dense
// text (a wrapped minified line) the full repaint costs more than the key did.
struct KeyTimes {
    double median = 0;
    double p95 = 0;
    double max = 0;
    double medianCpu = 0;
    double maxCpu = 0;
    double medianOwn = 0;
};

inline double medianOf(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    return t.empty() ? 0 : t[t.size() / 2];
}

inline KeyTimes summarize(std::vector<double> t, std::vector<double> cpu = {},
                          std::vector<double> own = {}) {
    std::sort(t.begin(), t.end());
    KeyTimes r;
    r.median = t[t.size() / 2];
    r.p95 = t[std::min(t.size() - 1, size_t(t.size() * 95 / 100))];
    r.max = t.back();
    if (!cpu.empty()) {
        std::sort(cpu.begin(), cpu.end());
        r.medianCpu = cpu[cpu.size() / 2];
        r.maxCpu = cpu.back();
    }
    r.medianOwn = medianOf(std::move(own));
    return r;
}

// The processor time of the calling thread, in milliseconds.
inline double threadCpuMs() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Types `text` into `editor` (which has the focus), timing each key from its press event to
// the end of the repaint.
inline KeyTimes typeInto(QAbstractScrollArea* editor, const QString& text) {
    std::vector<double> times;
    std::vector<double> cpu;
    std::vector<double> own;
    times.reserve(text.size());
    cpu.reserve(text.size());
    own.reserve(text.size());
    QCoreApplication::processEvents();
    editor->viewport()->repaint();
    for (QChar c : text) {
        int key;
        Qt::KeyboardModifiers mods;
        QString t;
        keyOf(c, &key, &mods, &t);
        QElapsedTimer timer;
        timer.start();
        const double cpu0 = threadCpuMs();
        QKeyEvent press(QEvent::KeyPress, key, mods, t);
        QCoreApplication::sendEvent(editor, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, t);
        QCoreApplication::sendEvent(editor, &release);
        QCoreApplication::processEvents();
        own.push_back(timer.nsecsElapsed() / 1e6);
        editor->viewport()->repaint();
        times.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMs() - cpu0);
    }
    return summarize(times, std::move(cpu), std::move(own));
}

} // namespace bench

// SPDX-License-Identifier: GPL-3.0-or-later
// What keeping a 100 MB document for recovery costs the window's thread: the longest
// time the event loop is held between two turns while the text is copied (goal: one
// 16 ms frame), with typing going on; and what the check for outside changes costs.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <Qsci/qsciscintilla.h>
#include <time.h>

#include "app/frmmain.h"
#include "app/recovery.h"
#include "benchutil.h"
#include "editor/txtcode.h"
#include "text/textfile.h"

namespace {

// CPU time of this thread, in nanoseconds: unlike the wall clock it does not count the
// time other programs of a busy machine take the processor away.
qint64 threadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// Runs the event loop until `done`, and returns the longest single turn of it, in CPU
// time of the window's thread. `tick` (the simulated typing) runs between turns and is
// not counted.
double longestStallMs(const std::function<bool()>& done, const std::function<void()>& tick) {
    qint64 worst = 0;
    while (!done()) {
        const qint64 start = threadCpuNs();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        worst = qMax(worst, threadCpuNs() - start);
        tick();
    }
    return worst / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    frmMain w;
    TxtCode* ed = w.txtCode();
    ed->SetText(bench::generatedPage(100 * 1024 * 1024));
    const qint64 bytes = ed->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    std::printf("document: %.1f MB\n", bytes / 1048576.0);
    const qint64 middle = bytes / 2;
    auto key = [&] {
        ed->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, (unsigned long)middle, "x");
    };
    // The anchor: the same typing for as long, without recovery.
    QElapsedTimer anchorClock, anchorTyping;
    anchorClock.start();
    anchorTyping.start();
    const double anchor = longestStallMs([&] { return anchorClock.elapsed() > 3000; },
                                         [&] {
                                             if (anchorTyping.elapsed() >= 30) {
                                                 key();
                                                 anchorTyping.restart();
                                             }
                                         });

    auto* recovery = new Recovery(&w, dir.filePath(QStringLiteral("recovery")));
    const QString kept = recovery->filePath();

    // Keeps while typing goes on in the middle of the text, one key every 30 ms (inserted
    // straight into the editor, without the work the window does on each key).
    std::vector<double> stalls, totals;
    for (int run = 0; run < 3; ++run) {
        QFile::remove(kept);
        QElapsedTimer total, typing;
        total.start();
        typing.start();
        key();
        stalls.push_back(longestStallMs([&] { return QFile::exists(kept); },
                                        [&] {
                                            if (typing.elapsed() >= 30 && total.elapsed() < 2000) {
                                                key();
                                                typing.restart();
                                            }
                                        }));
        recovery->waitForWrites();
        totals.push_back(total.nsecsElapsed() / 1e6);
    }
    std::sort(stalls.begin(), stalls.end());
    std::sort(totals.begin(), totals.end());

    // Save's question needs a stamp; a save just made is re-read and hashed (the racy case).
    const QString page = dir.filePath(QStringLiteral("page.html"));
    FileState state;
    QString error;
    ed->SaveFile(page, &error, &state);
    const double check = bench::medianMs(5, [&] { fileChangeSince(page, state.stamp); });
    const QByteArray copy = ed->Text().toUtf8();
    const double hash = bench::medianMs(5, [&] { hashBytes(copy.constData(), copy.size()); });

    bench::report("longest event-loop turn (CPU) keeping 100 MB", stalls[1], "ms", 16);
    std::printf("%-48s %10.2f ms  (anchor: the same typing without recovery)\n",
                "  the same without recovery", anchor);
    std::printf("%-48s %10.2f ms  (idle delay %d ms included)\n",
                "  from the edit to the recovery file written", totals[1], Recovery::kIdleDelayMs);
    bench::report("hash of 100 MB", hash, "ms", 100);
    bench::report("outside-change check right after a save, 100 MB", check, "ms", 250);
    bench::metric("recovery_stall_100mb_ms", stalls[1]);
    bench::metric("typing_stall_100mb_ms", anchor);
    bench::metric("recovery_total_100mb_ms", totals[1]);
    bench::metric("hash_100mb_ms", hash);
    bench::metric("change_check_100mb_ms", check);
    return 0;
}

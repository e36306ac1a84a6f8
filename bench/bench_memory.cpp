// SPDX-License-Identifier: GPL-3.0-or-later
// Peak memory of the whole process (VmHWM) with a 100 MB page: the real window is shown
// empty, the page (lines ending LF, as most files of this system have them) is opened
// through File > Open's path, 50 keys are typed into it, and the recovery file is written.
// The anchor is the same process's VmHWM with the empty window; the goal is at most three
// times the file's size above it. VmHWM is printed after each stage, so that a regression
// shows where it comes from.
//   bench_memory [megabytes]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>
#include <cstdlib>

#include "app/document.h"
#include "app/frmmain.h"
#include "app/recovery.h"
#include "benchutil.h"
#include "editor/txtcode.h"
#include "typingdriver.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
    QTemporaryDir dir;
    frmMain w;
    auto* recovery = new Recovery(&w, dir.filePath(QStringLiteral("recovery")));
    w.show();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    const double empty = bench::vmHwmMiB();

    const QString path = dir.filePath(QStringLiteral("page.html"));
    const qint64 size = bench::writeGeneratedPage(path, megabytes * 1024 * 1024, "\n");
    if (size < 0) {
        std::printf("cannot write %s\n", qPrintable(path));
        return 1;
    }
    const double fileMiB = size / 1048576.0;
    std::printf("document: %.1f MiB, lines ending LF\n", fileMiB);
    const double written = bench::vmHwmMiB();

    QElapsedTimer clock;
    clock.start();
    if (!w.document()->OpenPath(path)) {
        std::printf("cannot open %s\n", qPrintable(path));
        return 1;
    }
    const double openMs = clock.nsecsElapsed() / 1e6;
    TxtCode* ed = w.txtCode();
    ed->setFocus();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    const double opened = bench::vmHwmMiB();
    // What stays of the open once it is done (the file's bytes are gone by then).
    const double openedNow = bench::vmRssMiB();

    // In the middle of the page, as a user who scrolled there.
    ed->SetSelStart(ed->TextLength() / 2);
    const bench::KeyTimes keys = bench::typeInto(ed, bench::typedMarkup(50));
    const double typed = bench::vmHwmMiB();

    // The recovery file follows the typing pause.
    clock.restart();
    while (!QFile::exists(recovery->filePath()) && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    recovery->waitForWrites();
    const bool kept = QFile::exists(recovery->filePath());
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    const double final = bench::vmHwmMiB();

    // Not part of the goal: File > Save of the same text afterwards, in the file's form.
    FileState state = w.document()->fileState();
    QString error;
    clock.restart();
    const bool saved = ed->SaveFile(dir.filePath(QStringLiteral("saved.html")), &error, &state);
    const double saveMs = clock.nsecsElapsed() / 1e6;
    const double afterSave = bench::vmHwmMiB();

    const double ratio = (final - empty) / fileMiB;
    std::printf("%-48s %10.1f MiB\n", "VmHWM, empty window (anchor)", empty);
    std::printf("%-48s %10.1f MiB\n", "VmHWM, page written to disk", written);
    std::printf("%-48s %10.1f MiB  (open took %.0f ms)\n", "VmHWM, page opened", opened, openMs);
    std::printf("%-48s %10.1f MiB\n", "  VmRSS once opened", openedNow);
    std::printf("%-48s %10.1f MiB  (keys: median %.1f ms, p95 %.1f ms, max %.1f ms)\n",
                "VmHWM, 50 keys typed", typed, keys.median, keys.p95, keys.max);
    std::printf("%-48s %10.1f MiB  (%s)\n", "VmHWM, recovery file written", final,
                kept ? "written" : "NOT WRITTEN");
    std::printf("%-48s %10.1f MiB  (%s in %.0f ms; not in the goal)\n", "VmHWM, then saved",
                afterSave, saved ? "saved" : "NOT SAVED", saveMs);
    bench::report("VmHWM over the empty window, times the file", ratio, "x", 3);
    bench::metric("memory_empty_mib", empty);
    bench::metric("memory_100mb_mib", final);
    bench::metric("memory_100mb_file_mib", fileMiB);
    bench::metric("memory_100mb_ratio", ratio);
    return kept ? 0 : 1;
}

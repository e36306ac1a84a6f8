// SPDX-License-Identifier: GPL-3.0-or-later
// Find Next across 10 MB with each option, go to a line of a one-million-line document,
// and entering full screen with 10 MB. Inputs are generated here; medians are printed.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTest>
#include <cstdio>

#include "app/frmscreen.h"
#include "benchutil.h"
#include "editor/txtcode.h"
#include "search/finder.h"
#include "search/gotoline.h"

namespace {

void benchFindNext(TxtCode& editor) {
    // The only occurrence is at the very end: every search reads the whole document.
    const QString needle = QStringLiteral("Needle_word");
    const QString text = bench::generatedPage(10 * 1024 * 1024) + needle + QStringLiteral("\r\n");
    editor.SetText(text);
    EditorSearchTarget target(&editor);
    const struct {
        int options;
        const char* name;
        const char* key;
    } cases[] = {{0, "Find Next, 10 MB, no options", "find_next_10mb_plain_ms"},
                 {2, "Find Next, 10 MB, whole word", "find_next_10mb_word_ms"},
                 {4, "Find Next, 10 MB, match case", "find_next_10mb_case_ms"},
                 {6, "Find Next, 10 MB, whole word + match case", "find_next_10mb_word_case_ms"}};
    for (const auto& c : cases) {
        int found = -1;
        const double ms = bench::medianMs(7, [&] {
            Finder finder;
            finder.findNext(target, needle, c.options);
            found = editor.SelStart();
        });
        if (found != text.size() - needle.size() - 2)
            std::printf("  (wrong match at %d)\n", found);
        bench::report(c.name, ms, "ms", 20);
        bench::metric(c.key, ms);
    }
}

void benchGoto(TxtCode& editor) {
    QString text;
    const int lines = 1'000'000;
    text.reserve(lines * 16);
    for (int i = 1; i <= lines; ++i)
        text += QStringLiteral("line %1\r\n").arg(i);
    editor.SetText(text);
    auto* rng = QRandomGenerator::global();
    const double ms = bench::medianMs(201, [&] {
        const int n = 1 + int(rng->bounded(lines));
        goToLine(&editor, n);
    });
    bench::report("Go to line, 1,000,000 lines", ms, "ms", 1);
    bench::metric("goto_line_1m_lines_ms", ms);
}

void benchFullScreen(TxtCode& editor, QWidget& mainWindow) {
    editor.SetText(bench::generatedPage(10 * 1024 * 1024));
    editor.SetModified(false);
    const double ms = bench::medianMs(5, [&] {
        frmScreen screen(&mainWindow, &editor);
        screen.takeDocument();
        screen.show();
        (void)QTest::qWaitForWindowExposed(&screen);
        QCoreApplication::processEvents();
        screen.close();
    });
    bench::report("Entering full screen, 10 MB", ms, "ms", 1000);
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        frmScreen screen(&mainWindow, &editor);
        screen.takeDocument();
        screen.show();
        (void)QTest::qWaitForWindowExposed(&screen);
        screen.txtScreen->appendPlainText(QStringLiteral("x"));
        QElapsedTimer t;
        t.start();
        screen.close();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    const double back = times[1];
    std::printf("%-48s %10.2f ms (taking the text back after a change, for information)\n",
                "Leaving full screen changed, 10 MB", back);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Untitled"));
    TxtCode editor;
    benchFindNext(editor);
    benchGoto(editor);
    benchFullScreen(editor, mainWindow);
    std::printf("peak memory %.0f MiB\n", bench::peakMiB());
    return 0;
}

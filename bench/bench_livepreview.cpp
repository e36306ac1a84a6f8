// SPDX-License-Identifier: GPL-3.0-or-later
// Typing into a 10 MB page with the live preview window closed and open: the cost of one
// key press as the user makes it (the key event through the editor and its helpers, then
// whatever the event loop has to do before the next key), and how long the window takes
// to show the page after a pause.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <cstdio>

#include "app/frmlivepreview.h"
#include "app/frmmain.h"
#include "app/livepreview.h"
#include "app/previewbrowser.h"
#include "app/previewschemeregistration.h"
#include "benchutil.h"
#include "editor/txtcode.h"

namespace {

constexpr int kRuns = 5;
constexpr int kKeys = 50;

// Median cost of one typed character at the document's end, in milliseconds. The keys
// come faster than the live window's pause, as in steady typing.
double keyMs(TxtCode* editor) {
    return bench::medianMs(kRuns,
                           [&] {
                               for (int i = 0; i < kKeys; ++i) {
                                   QTest::keyClick(editor, Qt::Key_A);
                                   QCoreApplication::processEvents();
                               }
                           }) /
           kKeys;
}

// Runs the event loop until `done` holds or `ms` pass; false on the timeout.
bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerPreviewScheme();
    QApplication app(argc, argv);
    // The live window's remembered place goes to a folder of the run's own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

    frmMain window;
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    TxtCode* editor = window.txtCode();
    editor->SetText(bench::generatedPage(10 * 1024 * 1024));
    editor->SetSelStart(editor->TextLength());
    editor->setFocus();
    std::printf("document: %.1f MB\n", editor->Text().toUtf8().size() / 1048576.0);

    const double closed = keyMs(editor);

    // The window open, shown the page after the pause that followed the last key.
    QAction* command = window.menuActions().mnuLivePreview;
    command->trigger();
    frmLivePreview* live = window.livePreview()->window();
    bool loaded = false;
    QObject::connect(live->wbLivePreview, &QWebEngineView::loadFinished,
                     [&](bool ok) { loaded = loaded || ok; });
    QElapsedTimer shown;
    shown.start();
    // The generated page names 28,000 pictures that do not exist; the engine takes minutes
    // over them. A minute is enough: typing is measured with the window open either way.
    const bool done = waitFor([&] { return loaded; }, 60000);
    const double firstPage = shown.nsecsElapsed() / 1e6;
    const double open = keyMs(editor);
    command->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    std::printf("%-48s %10.2f ms (the anchor)\n", "key press, 10 MB, live preview closed", closed);
    bench::report("key press, 10 MB, live preview open", open, "ms", 1.3 * closed);
    bench::report("key press, live preview open / closed", open / closed, "x", 1.3);
    std::printf("%-48s %10.2f ms (%s; for information)\n", "live preview showing the 10 MB page",
                firstPage, done ? "loaded" : "still loading after a minute");
    bench::metric("live_key_closed_10mb_ms", closed);
    bench::metric("live_key_open_10mb_ms", open);
    bench::metric("live_page_10mb_ms", firstPage);
    std::printf("peak memory %.0f MiB\n", bench::peakMiB());
    window.hide();
    return 0;
}

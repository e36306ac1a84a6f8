// SPDX-License-Identifier: GPL-3.0-or-later
// Showing a big page: from the user's click on the Preview tab (or the live window's
// opening) to the page's load event, for a generated page of 10 MB saved in a folder of
// its own. The anchor, in the same run: a bare QWebEngineView of the same size loading the
// same file from file://. The three are taken in turns, so that the machine's load falls
// on each alike; median, 95th percentile and slowest of the runs are printed.
//   bench_preview [MB] [RUNS]
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/document.h"
#include "app/frmlivepreview.h"
#include "app/frmmain.h"
#include "app/livepreview.h"
#include "app/preview.h"
#include "app/previewbrowser.h"
#include "app/previewschemeregistration.h"
#include "benchutil.h"
#include "editor/txtcode.h"

namespace {

constexpr int kTimeoutMs = 600000;

// Runs the event loop until `view` has loaded a page (true) or the time is up (false). The
// loop sleeps while it waits: a loop that spins would take a core from the engine.
bool waitForLoad(QWebEngineView* view) {
    bool loaded = false, ended = false;
    QEventLoop loop;
    const QMetaObject::Connection c =
        QObject::connect(view, &QWebEngineView::loadFinished, &loop, [&](bool ok) {
            loaded = loaded || ok;
            if (loaded)
                loop.quit();
        });
    const QMetaObject::Connection d =
        QObject::connect(view, &QWebEngineView::renderProcessTerminated, &loop, [&] {
            ended = true;
            loop.quit();
        });
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(c);
    QObject::disconnect(d);
    if (ended)
        std::printf("the renderer ended before the load event\n");
    return loaded;
}

double cpuMs(qint64 pid);

// One load: the time from `start` to the load event of the view that `view` names, the
// CPU time its renderer used, and the CPU time of this process meanwhile.
struct Sample {
    double wallMs = 0, rendererMs = 0, editorMs = 0;
};

Sample measure(const std::function<void()>& start, const std::function<QWebEngineView*()>& view) {
    Sample s;
    const double own = cpuMs(QCoreApplication::applicationPid());
    QElapsedTimer t;
    t.start();
    start();
    QWebEngineView* v = view();
    if (!waitForLoad(v))
        std::printf("no load event in time\n");
    s.wallMs = t.nsecsElapsed() / 1e6;
    s.rendererMs = cpuMs(v->page()->renderProcessPid());
    s.editorMs = cpuMs(QCoreApplication::applicationPid()) - own;
    return s;
}

struct Figures {
    double median = 0, p95 = 0, max = 0;
};

Figures figuresOf(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    Figures f;
    f.median = ms[ms.size() / 2];
    f.p95 = ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.95))];
    f.max = ms.back();
    return f;
}

void print(const char* what, const char* key, const Figures& f, const Figures& anchor) {
    std::printf("%-44s median %9.0f ms  p95 %9.0f ms  max %9.0f ms  %.2fx the anchor\n", what,
                f.median, f.p95, f.max, f.median / anchor.median);
    const QByteArray k(key);
    bench::metric((k + "_median_ms").constData(), f.median);
    bench::metric((k + "_p95_ms").constData(), f.p95);
    bench::metric((k + "_max_ms").constData(), f.max);
}

// CPU time (user + system) that process `pid` has used so far, in milliseconds.
double cpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (f.size() < 13)
        return 0;
    return (f[11].toDouble() + f[12].toDouble()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double loadAverage() {
    double load = -1;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = -1;
        std::fclose(f);
    }
    return load;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerPreviewScheme();
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const double mb = argc > 1 ? std::atof(argv[1]) : 10;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    // The page, saved: its pictures (which do not exist) are looked for in its folder.
    QTemporaryDir site;
    const QString file = site.filePath(QStringLiteral("page.html"));
    const QString page = bench::generatedPage(qsizetype(mb * 1024 * 1024));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(page.toUtf8()) < 0)
            return 1;
    }
    std::printf("page: %.1f MB, %d runs, load average %.2f\n", page.toUtf8().size() / 1048576.0,
                runs, loadAverage());

    frmMain window;
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.document()->OpenPath(file);

    // Every page is shown at the size of the Preview tab's (the code pane's, inside the
    // frame's margins), the live window's too.
    const QSize pageSize = window.fraCode()->contentsRect().size() - QSize(16, 16);
    std::printf("page area: %dx%d\n", pageSize.width(), pageSize.height());

    std::vector<double> bare, tab, live;
    for (int run = 0; run < runs; ++run) {
        // The anchor: the bare engine, a profile of its own, the same size as the tab's page.
        Sample b;
        {
            QWebEngineProfile profile;
            QWebEnginePage bp(&profile);
            QWebEngineView view;
            view.setPage(&bp);
            view.resize(pageSize);
            view.show();
            b = measure([&] { view.load(QUrl::fromLocalFile(file)); }, [&] { return &view; });
            view.setPage(nullptr);
        }
        // The Preview tab, from the click (the load event comes after it has returned).
        const Sample p = measure([&] { window.tsMain()->setCurrentIndex(1); },
                                 [&] { return window.preview()->browser(); });
        if (window.preview()->browser()->size() != pageSize)
            std::printf("the Preview tab's page is %dx%d\n", window.preview()->browser()->width(),
                        window.preview()->browser()->height());
        window.tsMain()->setCurrentIndex(0);
        // The live window, from its opening.
        QAction* command = window.menuActions().mnuLivePreview;
        const Sample l = measure(
            [&] {
                command->trigger();
                window.livePreview()->window()->resize(pageSize);
            },
            [&] { return window.livePreview()->window()->wbLivePreview; });
        command->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        bare.push_back(b.wallMs);
        tab.push_back(p.wallMs);
        live.push_back(l.wallMs);
        std::printf("run %d (load %.2f): wall / renderer CPU / editor CPU in ms: bare %.0f / %.0f "
                    "/ %.0f, tab %.0f / %.0f / %.0f, live %.0f / %.0f / %.0f\n",
                    run + 1, loadAverage(), b.wallMs, b.rendererMs, b.editorMs, p.wallMs,
                    p.rendererMs, p.editorMs, l.wallMs, l.rendererMs, l.editorMs);
        std::fflush(stdout);
    }
    const Figures anchor = figuresOf(bare);
    print("bare QWebEngineView, file:// (the anchor)", "preview_bare_10mb", anchor, anchor);
    print("Preview tab, click to load event", "preview_tab_10mb", figuresOf(tab), anchor);
    print("live window, opening to load event", "preview_live_10mb", figuresOf(live), anchor);
    bench::metric("preview_tab_ratio", figuresOf(tab).median / anchor.median);
    bench::metric("preview_live_ratio", figuresOf(live).median / anchor.median);
    std::printf("peak memory %.0f MiB, load average %.2f\n", bench::peakMiB(), loadAverage());
    window.hide();
    return 0;
}

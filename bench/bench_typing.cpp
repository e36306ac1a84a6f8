// SPDX-License-Identifier: GPL-3.0-or-later
// Typing through the real window: frmMain holding a generated page of 10 KB, 10 MB and
// 100 MB, the caret at the start, at 30 % and at the end, 100 keys of ordinary markup, each
// timed from its key press to the end of the repaint. Beside it, in the same run, a bare
// QsciScintilla holding the same page; bench_typing_stock (the same program built against
// the system's unpatched QScintilla) gives the stock editor's figures. At 10 MB also File >
// Validate through the window.
// With the Problems pane open (View > Problems), the same keys again once the page's
// findings are shown: from the pane's opening to its findings, the memory the check takes
// over the window, then each key timed as above (rows "problems").
// The rows "all" type the same keys with every aid on (the
// View menu's line numbers and word wrap, and the tag aids), once the lines out of view
// are wrapped, and time switching the View aids on; the "window" rows have them off. The
// rows "aids" type them with every aid but word wrap: line numbers and the tag aids.
// Asked for by name, stray10mb and stray100mb do the same on a mostly-UTF-8 page (a stray
// byte in every fourth block), then time Delete and Backspace over stray bytes, a
// stand-in typed through an input method, Save and reading Text.
// Asked for by name, tall10kb, tall10mb and tall100mb time the key that first makes a line
// wrap into two display lines (every aid on), beside the keys typed before it.
//   bench_typing [10kb|10mb|100mb|stray10mb|stray100mb|tall10kb|tall10mb|tall100mb ...]

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>
#include <cstdio>
#include <functional>

#include "benchutil.h"
#include "typingdriver.h"

#ifndef VR_TYPING_STOCK
#include <QInputMethodEvent>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "app/frmmain.h"
#include "app/problems.h"
#include "app/problemsmodel.h"
#include "app/startup.h"
#include "editor/txtcode.h"
#include "shell/modaldialogs.h"
#include "tagaidsbench.h"
#include "validator/frmvalidator.h"
#include "viewaidsbench.h"
#endif

namespace {

struct Size {
    const char* name;
    qsizetype bytes;
};
const Size kSizes[] = {
    {"10kb", 10 * 1024}, {"10mb", 10 * 1024 * 1024}, {"100mb", 100 * 1024 * 1024}};
struct Where {
    const char* name;
    double fraction;
};
const Where kWhere[] = {{"start", 0.0}, {"30pct", 0.3}, {"end", 1.0}};
constexpr int kKeys = 100;

void print(const char* who, const Size& size, const Where& where, const bench::KeyTimes& t) {
    std::printf("%-6s %-6s %-6s per key: median %8.3f ms  p95 %8.3f ms  max %8.3f ms  "
                "(processor time: median %6.3f ms, most %8.3f ms; to the window's own repaint: "
                "median %8.3f ms)\n",
                who, size.name, where.name, t.median, t.p95, t.max, t.medianCpu, t.maxCpu,
                t.medianOwn);
    const QByteArray key = QByteArray("key_") + who + "_" + size.name + "_" + where.name;
    bench::metric((key + "_median").constData(), t.median);
    bench::metric((key + "_p95").constData(), t.p95);
    bench::metric((key + "_max").constData(), t.max);
    bench::metric((key + "_mediancpu").constData(), t.medianCpu);
    bench::metric((key + "_maxcpu").constData(), t.maxCpu);
    bench::metric((key + "_ownmedian").constData(), t.medianOwn);
}

// The bare editor: a QsciScintilla in UTF-8 holding the page, caret placed by byte.
void bareEditor(const Size& size, const QString& page, const char* who, int keys = kKeys) {
    QsciScintilla editor;
    editor.setUtf8(true);
    editor.resize(1000, 700);
    editor.setText(page);
    editor.show();
    editor.setFocus();
    const QByteArray utf8 = page.toUtf8();
    for (const Where& where : kWhere) {
        const long pos = long(utf8.size() * where.fraction);
        editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, (unsigned long)pos);
        print(who, size, where, bench::typeInto(&editor, bench::typedMarkup(keys)));
    }
}

#ifndef VR_TYPING_STOCK
// One editing command repeated: its median and 95th percentile per run, from the key
// press to the end of the repaint.
bench::KeyTimes timeKeys(TxtCode* ed, int runs, const std::function<void()>& action) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        action();
        QCoreApplication::processEvents();
        ed->viewport()->repaint();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    return bench::summarize(times);
}

void sendKey(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &release);
}

// The other keys of the editing path, at the end of the document.
void otherKeys(TxtCode* ed, const Size& size) {
    const int end = ed->TextLength();
    ed->SetSelStart(end);
    struct Op {
        const char* name;
        std::function<void()> run;
    };
    const QString kilobyte = bench::typedMarkup(1024);
    const Op ops[] = {
        {"backspace", [&] { sendKey(ed, Qt::Key_Backspace, Qt::NoModifier); }},
        {"enter", [&] { sendKey(ed, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); }},
        {"delete",
         [&] {
             ed->SetSelStart(ed->TextLength() - 2);
             sendKey(ed, Qt::Key_Delete, Qt::NoModifier);
         }},
        {"tab", [&] { sendKey(ed, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")); }},
        {"paste1kb",
         [&] {
             QGuiApplication::clipboard()->setText(kilobyte);
             sendKey(ed, Qt::Key_V, Qt::ControlModifier);
         }},
        {"undo",
         [&] {
             sendKey(ed, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
             sendKey(ed, Qt::Key_Z, Qt::ControlModifier);
         }},
        {"redo", [&] { sendKey(ed, Qt::Key_Y, Qt::ControlModifier); }},
    };
    for (const Op& op : ops) {
        const bench::KeyTimes t = timeKeys(ed, 21, op.run);
        std::printf("window %-6s end    %-9s: median %8.3f ms  p95 %8.3f ms  max %8.3f ms\n",
                    size.name, op.name, t.median, t.p95, t.max);
        const QByteArray key = QByteArray("keyop_").append(op.name).append('_').append(size.name);
        bench::metric(key + "_median", t.median);
        bench::metric(key + "_p95", t.p95);
        bench::metric(key + "_max", t.max);
    }
}

// Answers every message box with OK at once and notes when the last one was asked.
class AnsweringDialogs : public Dialogs {
public:
    Answer message(QWidget*, const QString&, const QString&, Buttons, Icon) override {
        asked.start();
        return Answer::Ok;
    }
    std::optional<QString> openFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
    std::optional<int> chooseColor(QWidget*, const QString&, int) override { return std::nullopt; }
    bool setUpPrinter(QWidget*, QPrinter*) override { return false; }
    QElapsedTimer asked;
};

// File > Validate on the page: from the click on cmdValidate to the summary message.
void validateThroughWindow(frmMain& window, const Size& size) {
    AnsweringDialogs answers;
    setDialogs(&answers);
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        window.menuActions().mnuValidate->trigger();
        QCoreApplication::processEvents();
        frmValidator* v = frmValidator::instance();
        if (!v)
            break;
        answers.asked.invalidate();
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(v->cmdValidate, Qt::LeftButton);
        if (answers.asked.isValid())
            times.push_back((t.nsecsElapsed() - answers.asked.nsecsElapsed()) / 1e6);
        v->close();
        QCoreApplication::processEvents();
    }
    setDialogs(nullptr);
    if (times.empty())
        return;
    const bench::KeyTimes t = bench::summarize(times);
    std::printf("window %-6s Validate, click to summary: median %8.1f ms\n", size.name, t.median);
    bench::metric(QByteArray("validate_window_").append(size.name).append("_ms"), t.median);
}

void throughWindow(const Size& size, const QString& page, bool aids = false) {
    bench::OpenedPage opened("page.html", page.toUtf8());
    if (!opened.ed)
        return;
    frmMain& window = opened.window;
    TxtCode* ed = opened.ed;
    const int length = ed->TextLength();
    if (aids) {
        // From the View menu's click to the end of the repaint, then the background wrap.
        QElapsedTimer t;
        t.start();
        bench::setViewAids(window, true);
        QCoreApplication::processEvents();
        ed->viewport()->repaint();
        const double on = t.nsecsElapsed() / 1e6;
        const double rest = bench::waitUntilIdle(600000);
        std::printf("all    %-6s line numbers and wrap on: %8.1f ms, then wrapping out of view "
                    "%8.1f ms\n",
                    size.name, on, rest);
        bench::metric(QByteArray("all_switch_").append(size.name).append("_ms"), on);
        bench::metric(QByteArray("all_background_").append(size.name).append("_ms"), rest);
        // Every aid: the tag aids too.
        bench::setTagAids(window.menuActions(), true);
    }
    for (const Where& where : kWhere) {
        ed->SetSelStart(int(length * where.fraction));
        print(aids ? "all" : "window", size, where, bench::typeInto(ed, bench::typedMarkup(kKeys)));
    }
    if (aids) {
        // Off again: the settings they wrote would switch them on in the next window.
        bench::setTagAids(window.menuActions(), false);
        bench::setViewAids(window, false);
        ed->SetModified(false);
        return;
    }
    // The same keys with every aid on but word wrap: line numbers and the tag aids (the
    // matched pair, always on, closing and renaming tags).
    bench::setLineNumbers(window, true);
    bench::setTagAids(window.menuActions(), true);
    for (const Where& where : kWhere) {
        ed->SetSelStart(int(ed->TextLength() * where.fraction));
        print("aids", size, where, bench::typeInto(ed, bench::typedMarkup(kKeys)));
    }
    bench::setTagAids(window.menuActions(), false);
    bench::setLineNumbers(window, false);
    otherKeys(ed, size);
    if (size.bytes == 10 * 1024 * 1024)
        validateThroughWindow(window, size);
    // Leave without the close question.
    ed->SetModified(false);
}

// Typing with View > Problems open: the page opened, the pane opened and its findings
// waited for (the time and the memory over the window while it is checked), then the keys.
void problemsThroughWindow(const Size& size, const QString& page) {
    // As the rows it is compared with: the View menu's aids and the tag aids off.
    bench::OpenedPage opened("page.html", page.toUtf8());
    if (!opened.ed)
        return;
    frmMain& window = opened.window;
    TxtCode* ed = opened.ed;
    bench::setTagAids(window.menuActions(), false);
    Problems* problems = window.problems();
    QCoreApplication::processEvents();
    const double before = bench::currentMiB();
    double highest = before;
    QElapsedTimer t;
    t.start();
    window.menuActions().mnuProblems->trigger();
    while ((problems->checksShown() == 0 || problems->busy()) && t.elapsed() < 600000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        highest = qMax(highest, bench::currentMiB());
    }
    const double ms = t.nsecsElapsed() / 1e6;
    std::printf("problems %-6s pane opened to %d findings shown: %8.1f ms; memory over the "
                "window while checking: %.0f MiB\n",
                size.name, problems->model()->size(), ms, highest - before);
    bench::metric(QByteArray("problems_check_").append(size.name).append("_ms"), ms);
    bench::metric(QByteArray("problems_memory_").append(size.name).append("_mib"),
                  highest - before);
    // What it cost the window's thread: the copy in steps, and showing the findings.
    const Problems::WindowTime& w = problems->windowTime();
    std::printf("problems %-6s window's thread: copy %.1f ms in all, longest step %.1f ms; "
                "showing the findings %.1f ms\n",
                size.name, w.copy, w.longestStep, w.show);
    bench::metric(QByteArray("problems_copy_").append(size.name).append("_ms"), w.copy);
    bench::metric(QByteArray("problems_step_").append(size.name).append("_ms"), w.longestStep);
    bench::metric(QByteArray("problems_show_").append(size.name).append("_ms"), w.show);
    const int length = ed->TextLength();
    for (const Where& where : kWhere) {
        ed->SetSelStart(int(length * where.fraction));
        print("problems", size, where, bench::typeInto(ed, bench::typedMarkup(kKeys)));
    }
    // Closed, so that the next window does not open it again.
    window.menuActions().mnuProblems->trigger();
    ed->SetModified(false);
}

// The page with a valid "\u00e1" in every block and a stray byte E9 (in place of an "o" of
// "bold") in every fourth: a file read as UTF-8 with its stray bytes kept.
QByteArray strayPage(const QString& page) {
    QByteArray bytes =
        QString(page).replace(QLatin1String("italic"), QStringLiteral("it\u00e1lic")).toUtf8();
    int block = 0;
    for (qsizetype i = bytes.indexOf("bold"); i >= 0; i = bytes.indexOf("bold", i + 4))
        if (block++ % 4 == 0)
            bytes[i + 1] = char(0xE9);
    return bytes;
}

void strayThroughWindow(const Size& size, const QString& page) {
    QTemporaryDir dir;
    const QString path = bench::writeFileIn(dir, "stray.html", strayPage(page));
    if (path.isEmpty())
        return;
    AnsweringDialogs answers; // the message about the stray bytes
    setDialogs(&answers);
    frmMain window;
    window.resize(1000, 700);
    window.show();
    openStartupFile(window, {QStringLiteral("verrindel"), path});
    TxtCode* ed = window.txtCode();
    ed->SetFocus();
    const int length = ed->TextLength();
    for (const Where& where : kWhere) {
        ed->SetSelStart(int(length * where.fraction));
        print("stray", size, where, bench::typeInto(ed, bench::typedMarkup(kKeys)));
    }
    // At a stray byte near the middle: Delete it, then type it back as a stand-in, and
    // Backspace over a stray byte.
    const int at = int(ed->Text().indexOf(QChar(0xEFE9), length / 2));
    struct StrayOp {
        const char* name;
        std::function<void()> run;
    };
    const StrayOp ops[] = {
        {"delete",
         [&] {
             ed->SetSelStart(at);
             sendKey(ed, Qt::Key_Delete, Qt::NoModifier);
             ed->undo();
         }},
        {"backspace",
         [&] {
             ed->SetSelStart(at + 1);
             sendKey(ed, Qt::Key_Backspace, Qt::NoModifier);
             ed->undo();
         }},
        {"standin",
         [&] {
             ed->SetSelStart(at);
             QInputMethodEvent commit;
             commit.setCommitString(QString(QChar(0xEFE9)));
             QCoreApplication::sendEvent(ed, &commit);
         }},
    };
    for (const StrayOp& op : ops) {
        const bench::KeyTimes t = timeKeys(ed, 21, op.run);
        std::printf("stray  %-6s middle %-9s: median %8.3f ms  p95 %8.3f ms\n", size.name, op.name,
                    t.median, t.p95);
        bench::metric(
            QByteArray("strayop_").append(op.name).append('_').append(size.name).append("_median"),
            t.median);
    }
    QElapsedTimer t;
    t.start();
    window.menuActions().mnuSave->trigger();
    std::printf("stray  %-6s Save: %8.1f ms\n", size.name, t.nsecsElapsed() / 1e6);
    t.start();
    const qsizetype n = ed->Text().size();
    std::printf("stray  %-6s Text (%lld units): %8.1f ms\n", size.name, (long long)n,
                t.nsecsElapsed() / 1e6);
    setDialogs(nullptr);
}
#endif

} // namespace

#ifndef VR_TYPING_STOCK
// With every aid on (word wrap too), once the lines out of view are wrapped: words typed on
// the page's last line until that line wraps into two display lines. Timed as typeInto
// times a key; the key that made the line taller beside the keys typed before it in the
// same window (the anchor).
void firstTallLine(const Size& size, const QString& page) {
    bench::OpenedPage opened("page.html", page.toUtf8());
    if (!opened.ed)
        return;
    frmMain& window = opened.window;
    TxtCode* ed = opened.ed;
    bench::setViewAids(window, true);
    bench::setTagAids(window.menuActions(), true);
    QCoreApplication::processEvents();
    bench::waitUntilIdle(600000);
    ed->SetSelStart(ed->TextLength());
    const auto caretLine = [ed] {
        return ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                 ed->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    };
    const long line = caretLine();
    const QString words = QStringLiteral("some words typed on one line ");
    std::vector<double> times;
    std::vector<double> cpu;
    QCoreApplication::processEvents();
    ed->viewport()->repaint();
    double tallMs = -1;
    double tallCpu = -1;
    for (int i = 0; i < 1000 && tallMs < 0; ++i) {
        int key;
        Qt::KeyboardModifiers mods;
        QString t;
        bench::keyOf(words[i % words.size()], &key, &mods, &t);
        QElapsedTimer timer;
        timer.start();
        const double cpu0 = bench::threadCpuMs();
        QKeyEvent press(QEvent::KeyPress, key, mods, t);
        QCoreApplication::sendEvent(ed, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, t);
        QCoreApplication::sendEvent(ed, &release);
        QCoreApplication::processEvents();
        ed->viewport()->repaint();
        const double ms = timer.nsecsElapsed() / 1e6;
        const double cpuMs = bench::threadCpuMs() - cpu0;
        if (caretLine() == line && ed->SendScintilla(QsciScintillaBase::SCI_WRAPCOUNT, line) > 1) {
            tallMs = ms;
            tallCpu = cpuMs;
        } else {
            times.push_back(ms);
            cpu.push_back(cpuMs);
        }
    }
    bench::setTagAids(window.menuActions(), false);
    bench::setViewAids(window, false);
    ed->SetModified(false);
    if (tallMs < 0 || times.empty()) {
        std::printf("tall   %-6s the line never wrapped\n", size.name);
        return;
    }
    const bench::KeyTimes before = bench::summarize(times, cpu);
    std::printf("tall   %-6s key that wraps the last line: %8.3f ms (processor time %8.3f ms); "
                "the %zu keys before it: median %8.3f ms  p95 %8.3f ms  max %8.3f ms "
                "(processor time: median %6.3f ms, most %8.3f ms); ratio to the median %.1f; "
                "VmHWM %.0f MiB\n",
                size.name, tallMs, tallCpu, times.size(), before.median, before.p95, before.max,
                before.medianCpu, before.maxCpu, tallMs / before.median, bench::vmHwmMiB());
    const QByteArray key = QByteArray("tall_") + size.name;
    bench::metric((key + "_key").constData(), tallMs);
    bench::metric((key + "_keycpu").constData(), tallCpu);
    bench::metric((key + "_before_median").constData(), before.median);
    bench::metric((key + "_before_mediancpu").constData(), before.medianCpu);
}
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifndef VR_TYPING_STOCK
    const bench::OwnSettings settings;
#endif
    std::printf("load average before: %s\n", qPrintable(QString::fromLatin1([] {
                    QFile l(QStringLiteral("/proc/loadavg"));
                    l.open(QIODevice::ReadOnly);
                    return l.readAll().trimmed();
                }())));
    const QStringList wanted = app.arguments().mid(1);
    for (const Size& size : kSizes) {
        if (!wanted.isEmpty() && !wanted.contains(QString::fromLatin1(size.name)))
            continue;
        const QString page = bench::generatedPage(size.bytes);
#ifdef VR_TYPING_STOCK
        // The stock editor takes seconds a key at the end of 100 MB: fewer keys there.
        bareEditor(size, page, "stock", size.bytes > 50 * 1024 * 1024 ? 20 : kKeys);
#else
        throughWindow(size, page);
        throughWindow(size, page, true);
        bareEditor(size, page, "bare");
        problemsThroughWindow(size, page);
#endif
    }
#ifndef VR_TYPING_STOCK
    for (const Size& size : kSizes) {
        if (wanted.contains(QStringLiteral("stray") + QString::fromLatin1(size.name)))
            strayThroughWindow(size, bench::generatedPage(size.bytes));
        if (wanted.contains(QStringLiteral("tall") + QString::fromLatin1(size.name)))
            firstTallLine(size, bench::generatedPage(size.bytes));
    }
#endif
    return 0;
}

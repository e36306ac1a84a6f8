// SPDX-License-Identifier: GPL-3.0-or-later
// Long lines through the real window: one line of realistic markup (a minified page) of
// 200 KB, 2 MB and 20 MB, and lines of the same sizes in mixed scripts (accented Latin,
// Greek, CJK, symbols and emoji). Opening it, typing at its start, middle and end (each key
// from its press to the end of the repaint), scrolling to its end, Highlight and UnHighlight
// Syntax, and the peak memory; beside it, in the same run, a bare QsciScintilla holding
// the same line (bench_longlines_stock: the system's unpatched QScintilla). The rows "all"
// switch the View menu's line numbers and word wrap on over the line and type with every
// aid on (those and the tag aids; the "window" rows have them off); the "aids" rows type
// with line numbers and the tag aids on, word wrap off. The 10 KB lines are the anchors of
// the longer ones: the same dense view of wrapped text, with little of it out of view.
//   bench_longlines [10kb|200kb|2mb|20mb|10kb-mixed|200kb-mixed|2mb-mixed|20mb-mixed ...]

#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>
#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "benchutil.h"
#include "typingdriver.h"

#ifndef VR_TYPING_STOCK
#include <QPlainTextEdit>

#include "app/frmmain.h"
#include "app/frmscreen.h"
#include "app/startup.h"
#include "editor/txtcode.h"
#include "tagaidsbench.h"
#include "viewaidsbench.h"
#endif

namespace {

struct Size {
    const char* name;
    qsizetype bytes; // of UTF-8
    int keys;        // keys typed at each place: fewer on the longest line, whose anchor is slow
    bool mixed;      // mixed scripts, else a minified page of ASCII markup
};
const Size kSizes[] = {
    {"10kb", 10 * 1024, 60, false},           {"200kb", 200 * 1024, 60, false},
    {"2mb", 2 * 1024 * 1024, 30, false},      {"20mb", 20 * 1024 * 1024, 10, false},
    {"10kb-mixed", 10 * 1024, 60, true},      {"200kb-mixed", 200 * 1024, 60, true},
    {"2mb-mixed", 2 * 1024 * 1024, 30, true}, {"20mb-mixed", 20 * 1024 * 1024, 10, true}};
struct Where {
    const char* name;
    double fraction;
};
const Where kWhere[] = {{"start", 0.0}, {"middle", 0.5}, {"end", 1.0}};

// A minified page: the generated markup with its line breaks taken out.
QString minified(qsizetype bytes) {
    QString page = bench::generatedPage(bytes);
    page.remove(QLatin1Char('\r'));
    page.remove(QLatin1Char('\n'));
    return page;
}

// A line of mixed scripts, `bytes` of UTF-8 at most: accented Latin, an emoji (two UTF-16
// units), Greek, a currency sign and CJK, in markup.
QString mixedLine(qsizetype bytes) {
    const QString piece =
        QString::fromUtf8("<span>h\xc3\xa9llo w\xc3\xb6rld \xf0\x9f\x98\x80 \xcf\x89 \xe2\x82\xac "
                          "\xe4\xb8\xad\xe6\x96\x87 </span>");
    const qsizetype pieceBytes = piece.toUtf8().size();
    QString line;
    line.reserve(bytes / pieceBytes * piece.size() + piece.size());
    for (qsizetype n = 0; n + pieceBytes <= bytes; n += pieceBytes)
        line += piece;
    return line;
}

// What is typed on a line: markup, and on a line of mixed scripts accented letters, Greek
// and CJK among it too.
QString typedOn(const Size& size) {
    if (!size.mixed) {
        QString keys = bench::typedMarkup(size.keys);
        keys.remove(QLatin1Char('\n'));
        return keys;
    }
    const QString sample = QString::fromUtf8(
        "<b>h\xc3\xa9llo</b> w\xc3\xb6rld \xcf\x89 \xe2\x82\xac \xe4\xb8\xad\xe6\x96\x87 ");
    QString keys;
    while (keys.size() < size.keys)
        keys += sample;
    return keys.left(size.keys);
}

void metricOf(const char* who, const char* what, const Size& size, double value) {
    const QByteArray key = QByteArray("long_") + who + "_" + what + "_" + size.name;
    bench::metric(key.constData(), value);
}

void typeAt(QAbstractScrollArea* editor, const char* who, const Size& size,
            const std::function<void(double)>& placeCaret) {
    for (const Where& where : kWhere) {
        placeCaret(where.fraction);
        const bench::KeyTimes t = bench::typeInto(editor, typedOn(size));
        std::printf("%-6s %-6s %-7s per key: median %9.3f ms  p95 %9.3f ms  max %9.3f ms  "
                    "(processor time: median %6.3f ms, most %8.3f ms; to the window's own "
                    "repaint: median %8.3f ms)\n",
                    who, size.name, where.name, t.median, t.p95, t.max, t.medianCpu, t.maxCpu,
                    t.medianOwn);
        metricOf(who, (QByteArray("key_") + where.name + "_median").constData(), size, t.median);
        metricOf(who, (QByteArray("key_") + where.name + "_ownmedian").constData(), size,
                 t.medianOwn);
        metricOf(who, (QByteArray("key_") + where.name + "_p95").constData(), size, t.p95);
        metricOf(who, (QByteArray("key_") + where.name + "_max").constData(), size, t.max);
        metricOf(who, (QByteArray("key_") + where.name + "_mediancpu").constData(), size,
                 t.medianCpu);
    }
}

double scrollToEnd(QAbstractScrollArea* editor) {
    QElapsedTimer t;
    t.start();
    editor->horizontalScrollBar()->setValue(editor->horizontalScrollBar()->maximum());
    QCoreApplication::processEvents();
    editor->viewport()->repaint();
    return t.nsecsElapsed() / 1e6;
}

void bareEditor(const Size& size, const QString& line, const char* who) {
    const double before = bench::currentMiB();
    QElapsedTimer t;
    t.start();
    QsciScintilla editor;
    editor.setUtf8(true);
    editor.resize(1000, 700);
    editor.setText(line);
    editor.show();
    QCoreApplication::processEvents();
    editor.viewport()->repaint();
    const double open = t.nsecsElapsed() / 1e6;
    std::printf("%-6s %-6s open and first paint: %9.1f ms\n", who, size.name, open);
    metricOf(who, "open_ms", size, open);
    editor.setFocus();
    const QByteArray utf8 = line.toUtf8();
    typeAt(&editor, who, size, [&](double f) {
        editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, (unsigned long)(utf8.size() * f));
    });
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
    const double scroll = scrollToEnd(&editor);
    std::printf("%-6s %-6s scroll to the end: %9.1f ms\n", who, size.name, scroll);
    metricOf(who, "scroll_ms", size, scroll);
    std::printf("%-6s %-6s memory over the start: %9.1f MiB\n", who, size.name,
                bench::currentMiB() - before);
}

#ifndef VR_TYPING_STOCK
// File > Syntax > Highlight Syntax, then UnHighlight Syntax, each to the end of its repaint;
// the median of three rounds. The first round of a process pays for fresh memory from the
// system (page faults over the copies of the text) that later rounds and a running editor
// do not, so a single round compares the two cases by the order they ran in.
void highlightAndUnhighlight(frmMain& window, const char* who, const Size& size) {
    std::vector<double> times[2];
    QAction* const cmds[2] = {window.menuActions().mnuHighlight,
                              window.menuActions().mnuUnHighlight};
    for (int round = 0; round < 3; ++round) {
        for (int c = 0; c < 2; ++c) {
            QElapsedTimer h;
            h.start();
            cmds[c]->trigger();
            QCoreApplication::processEvents();
            window.txtCode()->viewport()->repaint();
            times[c].push_back(h.nsecsElapsed() / 1e6);
        }
    }
    for (int c = 0; c < 2; ++c) {
        std::sort(times[c].begin(), times[c].end());
        const double ms = times[c][times[c].size() / 2];
        const QByteArray name = cmds[c]->objectName().toLatin1();
        std::printf("%-6s %-6s %s (median of 3): %9.1f ms\n", who, size.name, name.constData(), ms);
        metricOf(who, name.constData(), size, ms);
    }
}

// The tool window the last command showed: a visible top-level window other than the
// main window.
QWidget* shownToolWindow(const QWidget* mainWindow) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != mainWindow && w->isVisible() && !qobject_cast<QMenu*>(w))
            return w;
    return nullptr;
}

void throughWindow(const Size& size, const QString& line) {
    QTemporaryDir dir;
    const QString path = bench::writeFileIn(dir, "min.html", line.toUtf8());
    if (path.isEmpty())
        return;
    frmMain window;
    bench::showWindow(window);
    QCoreApplication::processEvents();
    const double before = bench::currentMiB();
    QElapsedTimer t;
    t.start();
    openStartupFile(window, {QStringLiteral("verrindel"), path});
    QCoreApplication::processEvents();
    TxtCode* ed = window.txtCode();
    ed->viewport()->repaint();
    const double open = t.nsecsElapsed() / 1e6;
    std::printf("window %-6s open and first paint: %9.1f ms\n", size.name, open);
    metricOf("window", "open_ms", size, open);
    ed->SetFocus();
    typeAt(ed, "window", size, [&](double f) { ed->SetSelStart(int(ed->TextLength() * f)); });
    // The same keys with every aid on but word wrap: line numbers and the tag aids (the
    // matched pair, closing and renaming tags).
    bench::setLineNumbers(window, true);
    bench::setTagAids(window.menuActions(), true);
    typeAt(ed, "aids", size, [&](double f) { ed->SetSelStart(int(ed->TextLength() * f)); });
    bench::setTagAids(window.menuActions(), false);
    bench::setLineNumbers(window, false);
    ed->SetSelStart(0);
    const double scroll = scrollToEnd(ed);
    std::printf("window %-6s scroll to the end: %9.1f ms\n", size.name, scroll);
    metricOf("window", "scroll_ms", size, scroll);
    highlightAndUnhighlight(window, "window", size);
    const double mem = bench::currentMiB() - before;
    std::printf("window %-6s memory over the empty window: %9.1f MiB\n", size.name, mem);
    metricOf("window", "memory_mib", size, mem);

    // The tool windows over the long line: each opened from its menu item, moved, and
    // closed again, the main window repainted behind it after every step.
    const MenuActions& menus = window.menuActions();
    const std::pair<QAction*, const char*> toolCommands[] = {{menus.mnuFind, "find"},
                                                             {menus.mnuGoto, "goto"},
                                                             {menus.mnuValidate, "validator"},
                                                             {menus.mnuTable, "snippet"}};
    for (const auto& tool : toolCommands) {
        QElapsedTimer w;
        w.start();
        tool.first->trigger();
        QCoreApplication::processEvents();
        ed->viewport()->repaint();
        if (QWidget* shown = shownToolWindow(&window)) {
            shown->move(shown->pos() + QPoint(40, 30));
            QCoreApplication::processEvents();
            ed->viewport()->repaint();
            shown->close();
        }
        QCoreApplication::processEvents();
        ed->viewport()->repaint();
        const double ms = w.nsecsElapsed() / 1e6;
        std::printf("window %-6s %s window opened, moved and closed: %9.1f ms\n", size.name,
                    tool.second, ms);
        metricOf("window", (QByteArray(tool.second) + "_window_ms").constData(), size, ms);
    }
    // Full screen: the text copied into the full-screen box and shown there.
    {
        const double start = bench::currentMiB();
        frmScreen screen(&window, ed);
        screen.takeDocument();
        screen.show();
        QCoreApplication::processEvents();
        screen.txtScreen->viewport()->repaint();
        const double grown = bench::currentMiB() - start;
        std::printf("window %-6s full screen: memory over the window %9.1f MiB\n", size.name,
                    grown);
        metricOf("window", "fullscreen_mib", size, grown);
        screen.txtScreen->clear();
        screen.hide();
    }
    ed->SetModified(false);
}

// Line numbers and word wrap switched on over the long line (from the click to the end of
// the repaint, then the rest of the wrapping), and typing with every aid on.
void withViewAids(const Size& size, const QString& line) {
    bench::OpenedPage opened("min.html", line.toUtf8());
    if (!opened.ed)
        return;
    frmMain& window = opened.window;
    TxtCode* ed = opened.ed;
    QCoreApplication::processEvents();
    ed->viewport()->repaint();
    const double before = bench::currentMiB();
    QElapsedTimer t;
    t.start();
    bench::setViewAids(window, true);
    QCoreApplication::processEvents();
    ed->viewport()->repaint();
    const double on = t.nsecsElapsed() / 1e6;
    const double rest = bench::waitUntilIdle(600000);
    std::printf("all    %-6s line numbers and wrap on: %9.1f ms, then wrapping out of view %9.1f "
                "ms, memory %6.1f MiB\n",
                size.name, on, rest, bench::currentMiB() - before);
    metricOf("all", "switch_ms", size, on);
    metricOf("all", "background_ms", size, rest);
    // Every aid: the tag aids too.
    bench::setTagAids(window.menuActions(), true);
    typeAt(ed, "all", size, [&](double f) { ed->SetSelStart(int(ed->TextLength() * f)); });
    // Off again: the settings they wrote would switch them on in the next window.
    bench::setTagAids(window.menuActions(), false);
    bench::setViewAids(window, false);
    ed->SetModified(false);
}

// Highlight and UnHighlight Syntax of the same markup as ordinary lines, for comparison.
void ordinaryLines(const Size& size, const QString& line) {
    frmMain window;
    window.resize(1000, 700);
    window.show();
    TxtCode* ed = window.txtCode();
    if (size.mixed)
        ed->SetText(QString(line).replace(QStringLiteral("</span><span>"),
                                          QStringLiteral("</span>\r\n<span>")));
    else
        ed->SetText(bench::generatedPage(size.bytes));
    QCoreApplication::processEvents();
    highlightAndUnhighlight(window, "lines", size);
    ed->SetModified(false);
}
#endif

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifndef VR_TYPING_STOCK
    const bench::OwnSettings settings;
#endif
    QStringList wanted = app.arguments().mid(1);
    for (const Size& size : kSizes) {
        if (!wanted.isEmpty() && !wanted.contains(QString::fromLatin1(size.name)))
            continue;
        const QString line = size.mixed ? mixedLine(size.bytes) : minified(size.bytes);
#ifdef VR_TYPING_STOCK
        // The stock editor takes seconds a key on the longest lines, and tens of seconds on
        // the longest line of mixed scripts.
        Size few = size;
        few.keys = qMin(size.keys, size.bytes > 10 * 1024 * 1024 ? (size.mixed ? 1 : 2) : 10);
        bareEditor(few, line, "stock");
#else
        throughWindow(size, line);
        withViewAids(size, line);
        ordinaryLines(size, line);
        bareEditor(size, line, "bare");
#endif
    }
    std::printf("peak memory of the whole process: %.1f MiB\n", bench::peakMiB());
    return 0;
}

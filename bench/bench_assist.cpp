// SPDX-License-Identifier: GPL-3.0-or-later
// Markup assistance at 10 MB: Highlight Syntax against QScintilla's own HTML lexer
// styling the same text, the typing-colour check per key press at 10 KB and 10 MB, the tag
// aids' scanning for a key at the end of 10 KB and 100 MB, and the line and word counts.
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <cstring>

#include "assist/counts.h"
#include "assist/editorinput.h"
#include "assist/highlighter.h"
#include "assist/syntaxranges.h"
#include "assist/tagscan.h"
#include "benchutil.h"
#include "editor/txtcode.h"
#include "shell/appcontext.h"

namespace {

constexpr int kRuns = 5;

// The tag aids' scanning for one key at the end of a page, in milliseconds per key (the
// median of runs of 200 keys): the tag at the caret with the first step of its partner
// search, the end tag a ">" or "</" would write, the name being edited and the completion
// context, as the aids do them for a key typed in an unfinished tag.
double tagScanMs(const QByteArray& bytes) {
    const tagscan::TextView text = tagscan::TextView::of(bytes);
    const qint64 caret = bytes.size();
    qint64 sink = 0;
    const double ms = bench::medianMs(kRuns, [&] {
        for (int i = 0; i < 200; ++i) {
            const tagscan::Token tag = tagscan::tagAtCaret(text, caret - 7, tagscan::kTagReach);
            tagscan::PairSearch search(tag);
            search.step(text, 16 * 1024);
            sink += search.result().kind;
            sink += tagscan::elementClosedByGreaterThan(text, caret).size();
            sink += tagscan::endTagCompletedBySlash(text, caret).size();
            sink += tagscan::nameAtCaret(text, caret).kind;
            sink += tagscan::completionContext(text, caret).kind;
        }
    });
    if (sink < 0)
        std::printf("%lld\n", (long long)sink);
    return ms / 200;
}

// Median cost of one typed character's colour check, in milliseconds, at the document's
// end (where typing usually happens).
double keyPressMs(assist::EditorInput& input, TxtCode& ed, QChar typed, int presses = 200) {
    ed.SetSelStart(ed.TextLength());
    return bench::medianMs(kRuns,
                           [&] {
                               for (int i = 0; i < presses; ++i)
                                   input.txtCode_KeyPress(typed);
                           }) /
           presses;
}

// Median time of `f` alone, each run after `prepare`.
double medianAfter(const std::function<void()>& prepare, const std::function<void()>& f) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        times.push_back(bench::medianMs(1, f));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool wanted(int argc, char** argv, const char* section) {
    if (argc < 2)
        return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], section) == 0)
            return true;
    return false;
}

} // namespace

// Sections to run may be named on the command line: highlight, keys, counts.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString page = bench::generatedPage(10 * 1024 * 1024);
    std::printf("document: %.1f MB, %lld characters\n", page.toUtf8().size() / 1048576.0,
                (long long)page.size());

    QMainWindow window;
    auto* ed = new TxtCode(&window);
    window.setCentralWidget(ed);
    const SyntaxColourTable colours = {16711680, 255, 16711808, 32768};
    AppContext ctx;
    ctx.frmMain = &window;
    ctx.txtCode = ed;
    ctx.syntaxColours = &colours;

    // ---- Highlight Syntax --------------------------------------------------------------
    if (wanted(argc, argv, "highlight")) {
        const double highlight =
            medianAfter([&] { ed->SetText(page); }, [&] { assist::mnuHighlight_Click(ctx); });
        const double steps = bench::medianMs(kRuns, [&] { assist::colorhtmlSteps(page); });
        const QVector<assist::ColourStep> allSteps = assist::colorhtmlSteps(page);
        QVector<ColorSpan> spans;
        const double flatten = bench::medianMs(
            kRuns, [&] { spans = assist::flattenSteps(allSteps, int(page.size()), colours, 0); });
        const double apply = bench::medianMs(kRuns, [&] { ed->applyColors(spans); });
        std::printf("  %lld steps, %lld spans; ranges %.1f ms, flatten %.1f ms, apply %.1f ms\n",
                    (long long)allSteps.size(), (long long)spans.size(), steps, flatten, apply);

        // The anchor: QScintilla's HTML lexer styling the same text.
        QsciScintilla lexed;
        lexed.setUtf8(true);
        lexed.setLexer(new QsciLexerHTML(&lexed));
        lexed.setText(page);
        const double lexer = bench::medianMs(kRuns, [&] {
            lexed.SendScintilla(QsciScintillaBase::SCI_CLEARDOCUMENTSTYLE);
            lexed.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        });
        bench::report("Highlight Syntax, 10 MB", highlight, "ms", 1000.0);
        std::printf("%-48s %10.2f ms\n", "QsciLexerHTML styling, 10 MB", lexer);
        bench::report("Highlight Syntax / QsciLexerHTML", highlight / lexer, "x", 1.0);
        bench::metric("highlight_10mb_ms", highlight);
        bench::metric("lexer_10mb_ms", lexer);
    }

    // ---- typing colours ------------------------------------------------------------------
    if (wanted(argc, argv, "keys")) {
        assist::EditorInput input(ed, &colours, new QMenu(&window), new QAction(&window),
                                  new QAction(&window));
        const QString small = bench::generatedPage(10 * 1024);
        ed->SetText(small + QStringLiteral("<a"));
        const double small10k = keyPressMs(input, *ed, u' ');
        bench::report("key press inside a tag, 10 KB", small10k, "ms", 0.1);
        bench::metric("key_10kb_ms", small10k);
        ed->SetText(page + QStringLiteral("<a"));
        const double large10m = keyPressMs(input, *ed, u' ');
        bench::report("key press inside a tag, 10 MB", large10m, "ms", 0.1);
        bench::metric("key_10mb_ms", large10m);
        ed->SetText(page);
        bench::report("key press after a closed tag, 10 MB", keyPressMs(input, *ed, u'"'), "ms",
                      0.1);
        // No ">" anywhere: the search for it runs through the whole buffer.
        QString noClose = page;
        noClose.replace(QLatin1Char('>'), QLatin1Char(')'));
        ed->SetText(noClose);
        std::printf("%-48s %10.2f ms (no \">\" in the text: whole-buffer search)\n",
                    "key press, 10 MB without any \">\"", keyPressMs(input, *ed, u' ', 5));
    }

    // ---- tag aids --------------------------------------------------------------------------
    if (wanted(argc, argv, "tags")) {
        // The caret at the end, in a start tag being typed after a closed element: "<" opens
        // the innermost element's end tag, and the tag before it has its partner near.
        const QByteArray tail = "<p class=\"note\">Hello <b>world</b> of <i>tags</i><";
        const double small = tagScanMs(bench::generatedPage(10 * 1024).toUtf8() + tail);
        const double large = tagScanMs(bench::generatedPage(100 * 1024 * 1024).toUtf8() + tail);
        std::printf("%-48s %10.1f us\n", "tag aids' scanning per key, end of 10 KB", small * 1e3);
        std::printf("%-48s %10.1f us  (%.2fx the 10 KB figure: the reaches are bounded)\n",
                    "tag aids' scanning per key, end of 100 MB", large * 1e3,
                    small > 0 ? large / small : 0.0);
        bench::metric("tagscan_key_10kb_ms", small);
        bench::metric("tagscan_key_100mb_ms", large);
    }

    // ---- counts ----------------------------------------------------------------------------
    if (wanted(argc, argv, "counts")) {
        ed->SetText(page);
        qint64 lines = 0, words = 0;
        const double lineMs =
            bench::medianMs(kRuns, [&] { lines = assist::countLines(ed->Text()); });
        const double wordMs =
            bench::medianMs(kRuns, [&] { words = assist::countWords(ed->Text()); });
        bench::report("Line Count, 10 MB", lineMs, "ms", 50.0);
        bench::report("Word Count, 10 MB", wordMs, "ms", 50.0);
        std::printf("  %lld lines, %lld words\n", (long long)lines, (long long)words);
    }
    std::printf("peak memory: %.0f MiB\n", bench::peakMiB());
    return 0;
}

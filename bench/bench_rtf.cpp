// SPDX-License-Identifier: GPL-3.0-or-later
// Rich text at size: highlighting a selection in a 1 MB page coloured like Highlight
// Syntax leaves it, and TextRTF read and write of a coloured 10 MB page.
#include <QApplication>
#include <QVector>
#include <ctime>

#include "assist/selectionhighlight.h"
#include "benchutil.h"
#include "editor/txtcode.h"
#include "text/rtf.h"

namespace {

// CPU time of this process in milliseconds: on a shared machine it shows the work
// done, where wall time also counts the waits for a core.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The median wall time of `runs` runs, and the median CPU time in *cpu.
double timed(int runs, const std::function<void()>& f, double* cpu) {
    std::vector<double> cpus;
    const double wall = bench::medianMs(runs, [&] {
        const double c0 = cpuMs();
        f();
        cpus.push_back(cpuMs() - c0);
    });
    std::sort(cpus.begin(), cpus.end());
    *cpu = cpus[cpus.size() / 2];
    return wall;
}

void reportWithCpu(const char* what, double wall, double cpu, double goal) {
    bench::report(what, wall, "ms", goal);
    std::printf("%-48s %10.2f ms  (CPU time)\n", "", cpu);
}

// Spans like the syntax highlighter's: every tag blue (comments green), attribute
// values violet with their names red.
QVector<ColorSpan> syntaxSpans(const QString& page) {
    QVector<ColorSpan> spans;
    qsizetype i = 0;
    while ((i = page.indexOf(QLatin1Char('<'), i)) >= 0) {
        const qsizetype end = page.indexOf(QLatin1Char('>'), i);
        if (end < 0)
            break;
        const bool comment = i + 1 < page.size() && page[i + 1] == QLatin1Char('!');
        spans.append({int(i), int(end - i + 1), comment ? 32768 : 16711680});
        if (!comment) {
            qsizetype eq = i;
            while ((eq = page.indexOf(QLatin1Char('='), eq + 1)) >= 0 && eq < end) {
                qsizetype nameStart = eq;
                while (nameStart > i && page[nameStart - 1].isLetterOrNumber())
                    --nameStart;
                qsizetype valueEnd = eq + 1;
                if (valueEnd < end && page[valueEnd] == QLatin1Char('"'))
                    valueEnd = page.indexOf(QLatin1Char('"'), valueEnd + 1) + 1;
                if (valueEnd <= eq || valueEnd > end)
                    continue;
                spans.append({int(nameStart), int(valueEnd - nameStart), 16711808});
                spans.append({int(nameStart), int(eq - nameStart + 1), 255});
            }
        }
        i = end + 1;
    }
    return spans;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Highlight Text in a coloured 1 MB page.
    const QString small = bench::generatedPage(1024 * 1024);
    TxtCode ed;
    ed.SetText(small);
    ed.applyColors(syntaxSpans(small));
    int run = 0;
    double highlightCpu = 0, writeCpu = 0, readCpu = 0;
    const double highlight = timed(
        7,
        [&] {
            ed.SetSelStart(int(small.size() / 2) + run * 200);
            ed.SetSelLength(80);
            assist::HighlightSelection(&ed, run % 2 ? 65535 : 255);
            ++run;
        },
        &highlightCpu);

    // TextRTF of a coloured 10 MB page, and loading it back.
    const QString big = bench::generatedPage(10 * 1024 * 1024);
    TxtCode large;
    large.SetText(big);
    large.applyColors(syntaxSpans(big));
    std::printf("document: %.1f MB of text\n", big.size() / 1048576.0);
    QString rtfText;
    const double write = timed(
        5, [&] { rtfText = large.TextRTF(); }, &writeCpu);
    std::printf("RTF: %.1f MB\n", rtfText.size() / 1048576.0);
    const double read = timed(
        5, [&] { large.SetTextRTF(rtfText); }, &readCpu);

    // Anchors: the pure writer and reader without the editor.
    const RichDocument doc = large.richDocument();
    double pureWriteCpu = 0, pureReadCpu = 0;
    const double pureWrite = timed(
        5, [&] { rtfText = rtf::write(doc, QStringLiteral("Cambria"), 9.75); }, &pureWriteCpu);
    const double pureRead = timed(
        5, [&] { (void)rtf::read(rtfText); }, &pureReadCpu);
    std::printf("runs: %lld\n", (long long)doc.runs.size());

    reportWithCpu("Highlight Text in a coloured 1 MB page", highlight, highlightCpu, 300);
    bench::metric("selection_highlight_1mb_ms", highlight);
    bench::metric("selection_highlight_1mb_cpu_ms", highlightCpu);
    bench::metric("rtf_write_10mb_ms", write);
    bench::metric("rtf_read_10mb_ms", read);
    bench::metric("rtf_write_pure_10mb_ms", pureWrite);
    bench::metric("rtf_read_pure_10mb_ms", pureRead);
    reportWithCpu("TextRTF write, coloured 10 MB page", write, writeCpu, 2000);
    reportWithCpu("TextRTF read (SetTextRTF), coloured 10 MB page", read, readCpu, 2000);
    std::printf("%-48s %10.2f ms  (anchor: rtf::write alone; CPU %.2f ms)\n",
                "  writer without the editor", pureWrite, pureWriteCpu);
    std::printf("%-48s %10.2f ms  (anchor: rtf::read alone; CPU %.2f ms)\n",
                "  reader without the editor", pureRead, pureReadCpu);
    std::printf("%-48s %10.1f MiB\n", "peak memory", bench::peakMiB());
    return large.Text() == big ? 0 : 1;
}

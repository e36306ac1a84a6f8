// SPDX-License-Identifier: GPL-3.0-or-later
// Times the fifteen validator checks over generated 1 MB and 10 MB pages and compares the
// 10 MB run with HTML Tidy ("tidy -q -e") on the same file. Prints medians.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "validator/checks.h"

namespace {

// A page of ordinary hand-written markup, `size` characters long, with a few faults.
// (Unclosed inline elements are avoided: Tidy nests them ever deeper and takes minutes.)
QString generatePage(qsizetype size) {
    const QString head = QStringLiteral(
        "<!DOCTYPE html>\r\n<html lang='en'>\r\n<head>\r\n<meta charset='utf-8'>\r\n"
        "<title>Generated page</title>\r\n<style>\r\np { color: #333333; }\r\n</style>\r\n"
        "</head>\r\n<body bgcolor='#FFFFFF'>\r\n");
    const QString tail = QStringLiteral("</body>\r\n</html>\r\n");
    QString page = head;
    page.reserve(size + 1024);
    for (int block = 0; page.size() + tail.size() < size; ++block) {
        page += QStringLiteral(
                    "<div class='row'>\r\n<h2>Section %1</h2>\r\n"
                    "<p>Lorem ipsum <b>dolor</b> sit <a href='page%1.html'>amet</a>, "
                    "<em>consectetur</em> adipiscing elit, sed do <i>eiusmod</i> tempor "
                    "incididunt ut labore et dolore magna aliqua.</p>\r\n"
                    "<table border='1'><tr><td>%1</td><td>two</td></tr>\r\n"
                    "<tr><th>3</th><td><span style='color:red'>four</span></td></tr></table>\r\n"
                    "<!-- block %1 -->\r\n<ul><li>one</li><li>two</li></ul>\r\n"
                    "<blockquote cite='x'>Quote <code>x &lt; y</code></blockquote>\r\n"
                    "<br><img src='picture%1.png' alt='x'>\r\n</div>\r\n")
                    .arg(block);
        if (block % 97 == 0)
            page += QStringLiteral("<p>An unclosed paragraph and a stray</b>\r\n");
    }
    page += tail;
    return page;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Median milliseconds of all fifteen checks over `text`, the way a run calls them.
double timeChecks(const QString& text, int rounds, QString* report) {
    std::vector<double> ms;
    qsizetype lastValue = 0;
    const validator::Progress progress = [&](qsizetype, qsizetype v) { lastValue = v; };
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        QString out;
        for (const validator::CheckStep& step : validator::validationChecks())
            out += step.check(text, progress);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        *report = out;
    }
    if (lastValue != text.size())
        std::fprintf(stderr, "progress did not end at the maximum\n");
    return median(ms);
}

// Median milliseconds of each check over `text`.
void timeEachCheck(const QString& text, int rounds) {
    for (const validator::CheckStep& step : validator::validationChecks()) {
        std::vector<double> ms;
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer t;
            t.start();
            step.check(text, validator::Progress());
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::printf("    %-28s %8.2f ms\n", step.caption, median(ms));
    }
}

// Median milliseconds of "tidy -q -e file", or a negative value when it cannot run.
double timeTidy(const QString& tidy, const QString& file, int rounds) {
    std::vector<double> ms;
    for (int r = 0; r < rounds; ++r) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        p.start(tidy, {QStringLiteral("-q"), QStringLiteral("-e"), file});
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return median(ms);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int rounds = 7;
    double tenMegabytes = 0;
    QString tenMegabytePage;
    for (qsizetype size : {qsizetype(1'000'000), qsizetype(10'000'000)}) {
        const QString page = generatePage(size);
        QString report;
        const double ms = timeChecks(page, rounds, &report);
        std::printf("15 checks over %lld characters: median %.1f ms over %d runs (%lld "
                    "characters of report)\n",
                    static_cast<long long>(page.size()), ms, rounds,
                    static_cast<long long>(report.size()));
        if (size == 10'000'000) {
            std::printf("METRIC checks_10mb_ms %.4f\n", ms);
            timeEachCheck(page, rounds);
            tenMegabytes = ms;
            tenMegabytePage = page;
        }
    }

    const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    if (tidy.isEmpty()) {
        std::printf("tidy not found: comparison skipped (scripts/setup installs it)\n");
        return 0;
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("page.html"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(tenMegabytePage.toUtf8()) < 0) {
        std::printf("could not write %s: comparison skipped\n", qPrintable(file));
        return 0;
    }
    out.close();
    const double tidyMs = timeTidy(tidy, file, 3);
    if (tidyMs < 0) {
        std::printf("tidy did not finish within two minutes: comparison skipped\n");
        return 0;
    }
    std::printf("tidy -q -e on the same 10 MB file: median %.1f ms over 3 runs\n", tidyMs);
    std::printf("ratio tidy / checks: %.1fx\n", tidyMs / tenMegabytes);
    std::printf("METRIC tidy_10mb_ms %.4f\n", tidyMs);
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Times "verrindel --check" on a generated 10 MB page, the whole command as the user waits
// for it (start, read, check, print), against "tidy -q -e" on the same file in the same run,
// with the peak memory (VmHWM) of each process, and the checker alone in this process.
// Prints the median, the 95th percentile and the slowest run.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "benchutil.h"
#include "checker/checker.h"

extern char** environ;

namespace {

// A site's page of ordinary hand-written markup, about `size` characters, with a few
// mistakes every few hundred blocks; its links lead to ten pages and ten pictures.
QString generatePage(qsizetype size) {
    QString page = QStringLiteral(
        "<!DOCTYPE html>\r\n<html lang='en'>\r\n<head>\r\n<meta charset='utf-8'>\r\n"
        "<title>Generated page</title>\r\n<style>\r\np { color: #333333; }\r\n</style>\r\n"
        "</head>\r\n<body>\r\n");
    const QString tail = QStringLiteral("</body>\r\n</html>\r\n");
    page.reserve(size + 1024);
    for (int block = 0; page.size() + tail.size() < size; ++block) {
        page +=
            QStringLiteral(
                "<div class='row' id='b%1'>\r\n<h2>Section %1</h2>\r\n"
                "<p>Lorem ipsum <b>dolor</b> sit <a href='page%2.html#top'>amet</a>, "
                "<em>consectetur</em> adipiscing elit, sed do <i>eiusmod</i> tempor "
                "incididunt ut labore &amp; dolore magna aliqua.</p>\r\n"
                "<table><tr><td>%1</td><td>two</td></tr>\r\n"
                "<tr><th>3</th><td><span style='color:red'>four</span></td></tr></table>\r\n"
                "<!-- block %1 -->\r\n<ul><li>one</li><li>two <a href='#b%1'>here</a></li></ul>\r\n"
                "<blockquote cite='x'>Quote <code>x &lt; y</code></blockquote>\r\n"
                "<br><img src='picture%2.png' alt='x'>\r\n</div>\r\n")
                .arg(block)
                .arg(block % 10);
        if (block % 97 == 0)
            page += QStringLiteral("<p>An unclosed paragraph and a stray</b>\r\n");
        if (block % 331 == 0)
            page += QStringLiteral("<div><span>unclosed span</div>\r\n<img src='gone.png'>\r\n");
    }
    page += tail;
    return page;
}

struct Run {
    double ms = -1;
    double peakMiB = 0;
};

// Runs a program with its output thrown away; its wall time and peak resident memory.
Run runProcess(const QString& program, const QStringList& arguments) {
    std::vector<QByteArray> args{program.toLocal8Bit()};
    for (const QString& a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    Run run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) {
            run.ms = t.nsecsElapsed() / 1e6;
            run.peakMiB = usage.ru_maxrss / 1024.0;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

struct Summary {
    double median = -1, p95 = -1, max = -1, peakMiB = 0;
};

Summary measure(const QString& program, const QStringList& arguments, int runs) {
    std::vector<double> ms;
    Summary s;
    for (int i = 0; i < runs; ++i) {
        const Run r = runProcess(program, arguments);
        if (r.ms < 0)
            return s;
        ms.push_back(r.ms);
        s.peakMiB = std::max(s.peakMiB, r.peakMiB);
    }
    std::sort(ms.begin(), ms.end());
    s.median = ms[ms.size() / 2];
    s.p95 = ms[std::min(ms.size() - 1, size_t(ms.size() * 0.95))];
    s.max = ms.back();
    return s;
}

void print(const char* what, const Summary& s) {
    std::printf("%-44s median %8.1f ms  p95 %8.1f ms  max %8.1f ms  VmHWM %6.1f MiB\n", what,
                s.median, s.p95, s.max, s.peakMiB);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("load average: %s", qPrintable(QString::fromLatin1([] {
                    QFile f(QStringLiteral("/proc/loadavg"));
                    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?\n");
                }())));
    QTemporaryDir dir;
    const QString page = generatePage(10'000'000);
    const QString file = dir.filePath(QStringLiteral("page.html"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(page.toUtf8()) < 0) {
        std::printf("could not write %s\n", qPrintable(file));
        return 1;
    }
    out.close();
    for (int i = 0; i < 10; ++i) {
        QFile(dir.filePath(QStringLiteral("picture%1.png").arg(i))).open(QIODevice::WriteOnly);
        QFile f(dir.filePath(QStringLiteral("page%1.html").arg(i)));
        if (f.open(QIODevice::WriteOnly))
            f.write("<!DOCTYPE html><title>p</title><p id=top>top");
    }

    // The checker alone, in this process, on the text as the command reads it.
    checker::Options options;
    options.pagePath = file;
    size_t findings = 0;
    const double alone =
        bench::medianMs(7, [&] { findings = checker::check(page, options).findings.size(); });
    std::printf("checker::check over %lld characters: median %.1f ms (%zu findings)\n",
                static_cast<long long>(page.size()), alone, findings);
    bench::metric("check_pure_10mb_ms", alone);

    const int runs = 7;
    const Summary check =
        measure(QStringLiteral(VR_EXECUTABLE), {QStringLiteral("--check"), file}, runs);
    print("verrindel --check, 10 MB page", check);
    if (check.median < 0)
        return 1;
    bench::metric("check_10mb_ms", check.median);
    bench::metric("check_10mb_p95_ms", check.p95);
    bench::metric("check_10mb_max_ms", check.max);
    bench::metric("check_10mb_peak_mib", check.peakMiB);

    const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    if (tidy.isEmpty()) {
        std::printf("tidy not found: comparison skipped (scripts/setup installs it)\n");
        return 0;
    }
    const Summary t = measure(tidy, {QStringLiteral("-q"), QStringLiteral("-e"), file}, 3);
    if (t.median < 0) {
        std::printf("tidy did not finish: comparison skipped\n");
        return 0;
    }
    print("tidy -q -e, the same file", t);
    std::printf("ratio --check / tidy: %.2f (goal <= 0.5)\n", check.median / t.median);
    bench::metric("tidy_check_10mb_ms", t.median);
    bench::metric("tidy_check_10mb_peak_mib", t.peakMiB);
    return 0;
}

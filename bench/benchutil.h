// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small helpers shared by the benchmarks: medians of repeated runs, peak memory and a
// generated HTML page of a given size.

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace bench {

// Runs `f` `runs` times and returns the median wall time in milliseconds.
inline double medianMs(int runs, const std::function<void()>& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Peak resident memory of this process so far, in MiB.
inline double peakMiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

// Resident memory of this process now, in MiB (0 where /proc is missing).
inline double currentMiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1048576.0);
}

// A field of /proc/self/status given in kB ("VmHWM", "VmRSS"), in MiB; 0 where /proc is
// missing.
inline double procStatusMiB(const char* field) {
    double kib = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const size_t n = std::strlen(field);
        while (std::fgets(line, sizeof line, f)) {
            if (std::strncmp(line, field, n) == 0 && line[n] == ':' &&
                std::sscanf(line + n + 1, "%lf", &kib) == 1)
                break;
        }
        std::fclose(f);
    }
    return kib / 1024.0;
}

// Peak resident memory of the whole process so far (VmHWM), in MiB.
inline double vmHwmMiB() {
    return procStatusMiB("VmHWM");
}

// Resident memory of the whole process now (VmRSS), in MiB.
inline double vmRssMiB() {
    return procStatusMiB("VmRSS");
}

// One block of the generated page, numbered %1; lines end CR LF.
inline QString pageBlock() {
    return QStringLiteral(
        "<div class=\"item\" id=\"n%1\">\r\n"
        "  <h2>Section %1</h2>\r\n"
        "  <p>Some <b>bold</b> and <i>italic</i> text with a <a href=\"page%1.html\" "
        "target=\"_blank\">link</a>.</p>\r\n"
        "  <!-- note %1 -->\r\n"
        "  <img src=\"pic%1.png\" width=\"640\" height=\"480\" alt='x'>\r\n"
        "  <table border=\"0\"><tr><td>a</td><td>b</td></tr></table>\r\n"
        "</div>\r\n");
}

inline QString pageHead() {
    return QStringLiteral("<!DOCTYPE html>\r\n<html lang='en'>\r\n<head>\r\n<title>Bench"
                          "</title>\r\n</head>\r\n<body>\r\n");
}

inline QString pageFoot() {
    return QStringLiteral("</body>\r\n</html>\r\n");
}

// A page of ordinary hand-written markup, about `bytes` long, lines ending CR LF.
inline QString generatedPage(qsizetype bytes) {
    const QString block = pageBlock();
    QString page = pageHead();
    page.reserve(bytes + block.size() * 2);
    for (int i = 0; page.size() < bytes - 20; ++i)
        page += block.arg(i);
    page += pageFoot();
    return page;
}

// The page generatedPage() makes, written to the file at `path` block by block (so that
// the process never holds it whole), its lines ending in `lineBreak`. Returns its size in
// bytes, or -1 when the file cannot be written.
inline qint64 writeGeneratedPage(const QString& path, qint64 bytes, const char* lineBreak) {
    std::FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f)
        return -1;
    const QByteArray brk(lineBreak);
    auto lines = [&](const QString& text) {
        QByteArray b = text.toUtf8();
        b.replace("\r\n", brk);
        return b;
    };
    const QString block = pageBlock();
    const QByteArray head = lines(pageHead());
    const QByteArray foot = lines(pageFoot());
    qint64 written = qint64(std::fwrite(head.constData(), 1, size_t(head.size()), f));
    QByteArray chunk;
    for (int i = 0; written < bytes - 20; ++i) {
        chunk += lines(block.arg(i));
        if (chunk.size() >= (1 << 20) || written + chunk.size() >= bytes - 20) {
            written += qint64(std::fwrite(chunk.constData(), 1, size_t(chunk.size()), f));
            chunk.clear();
        }
    }
    written += qint64(std::fwrite(foot.constData(), 1, size_t(foot.size()), f));
    return std::fclose(f) == 0 ? written : -1;
}

// One line of the result table: name, measured value, goal, met.
inline void report(const char* what, double value, const char* unit, double goal) {
    std::printf("%-48s %10.2f %-3s goal <= %8.2f %s  %s\n", what, value, unit, goal, unit,
                value <= goal ? "met" : "NOT MET");
}

// A machine-readable line for scripts/performance: "METRIC <key> <value>".
inline void metric(const char* key, double value) {
    std::printf("METRIC %s %.4f\n", key, value);
    std::fflush(stdout);
}

} // namespace bench

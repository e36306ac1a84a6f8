// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and saving a 10 MB page in the editor, and converting positions at 10 MB.
#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>

#include "benchutil.h"
#include "editor/txtcode.h"
#include "text/textfile.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.html"));
    {
        // The page lives only until it is on disk: the peak below is the editor's.
        const QByteArray page = bench::generatedPage(10 * 1024 * 1024).toUtf8();
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(page);
        std::printf("document: %.1f MB\n", page.size() / 1048576.0);
    }

    TxtCode ed;
    // The program with an empty editor (the page is freed): the document's share of the
    // peak is measured from here.
    const double startPeak = bench::currentMiB();
    QString error;
    const double open = bench::medianMs(5, [&] { ed.LoadFile(path, &error); });
    const double save = bench::medianMs(5, [&] { ed.SaveFile(path, &error); });
    // Peak of the editor alone, before the anchor's own copy of the document exists.
    const double editorPeak = bench::peakMiB();

    // The anchor: QScintilla taking the same bytes raw.
    QsciScintilla raw;
    raw.setUtf8(true);
    const double rawOpen = bench::medianMs(5, [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        raw.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        raw.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, (uintptr_t)bytes.size(),
                          bytes.constData());
    });

    const int length = ed.TextLength();
    std::vector<int> positions(1000);
    for (int& p : positions)
        p = QRandomGenerator::global()->bounded(length + 1);
    long long sink = 0;
    const double convert = bench::medianMs(9, [&] {
        for (int p : positions)
            sink += ed.toCharPos(ed.toBytePos(p));
    });

    bench::report("open 10 MB (LoadFile)", open, "ms", 500);
    std::printf("%-48s %10.2f ms  (anchor for open)\n", "  QScintilla raw load of the same bytes",
                rawOpen);
    bench::report("save 10 MB (SaveFile)", save, "ms", 200);
    bench::report("1000 position round trips at 10 MB", convert, "ms", 10);
    std::printf("%-48s %10.1f MiB\n", "peak memory after open and save", editorPeak);
    std::printf("%-48s %10.1f MiB\n", "peak memory", bench::peakMiB());
    bench::metric("open_10mb_ms", open);
    bench::metric("raw_open_10mb_ms", rawOpen);
    bench::metric("save_10mb_ms", save);
    bench::metric("positions_10mb_ms", convert);
    bench::metric("peak_10mb_mib", editorPeak);
    bench::metric("peak_start_mib", startPeak);
    return sink == -1;
}

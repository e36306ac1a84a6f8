// SPDX-License-Identifier: GPL-3.0-or-later
// The located checker on arbitrary text. Besides crashes, undefined behaviour and hangs it
// checks what a finding promises: it lies inside the text, the findings are sorted by
// place, and each line and column agrees with a plain count of the lines before it.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "checker/checker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const checker::Result r = checker::check(text);
    if (r.cancelled)
        std::abort();
    qsizetype last = 0, line = 1, lineStart = 0, scanned = 0;
    for (const checker::Finding& f : r.findings) {
        if (f.offset < last || f.offset < 0 || f.length < 0 || f.offset + f.length > text.size())
            std::abort();
        if (!f.rule || !*f.rule || f.message.isEmpty())
            std::abort();
        for (; scanned < f.offset; ++scanned) {
            const QChar c = text[scanned];
            if (c == u'\n' ||
                (c == u'\r' && !(scanned + 1 < text.size() && text[scanned + 1] == u'\n'))) {
                ++line;
                lineStart = scanned + 1;
            }
        }
        if (f.line != line || f.column != f.offset - lineStart + 1)
            std::abort();
        last = f.offset;
    }
    return 0;
}

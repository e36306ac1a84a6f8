// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the RTF reader. Besides crashes, leaks and undefined
// behaviour it checks what the reader promises: runs in order inside the text, text
// no longer than the input, and that writing what was read and reading it again gives
// back the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "text/rtf.h"

namespace {
void check(bool ok) {
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString source =
        QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const RichDocument doc = rtf::read(source);
    check(doc.text.size() <= source.size());
    qsizetype end = 0;
    for (const FormatRun& run : doc.runs) {
        check(run.start >= end && run.length > 0);
        end = qsizetype(run.start) + run.length;
    }
    check(end <= doc.text.size());

    const QString again = rtf::write(doc, QStringLiteral("Cambria"), 9.75);
    check(rtf::read(again).text == doc.text);
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The highlighter's colour steps on arbitrary text: every step lies inside the text and
// inside the tag it belongs to, and the flattened spans cover only the text.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "assist/syntaxranges.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto steps = assist::colorhtmlSteps(text);
    for (const auto& s : steps) {
        if (s.start < 0 || s.length <= 0 || s.start + s.length > text.size() || s.colour < 0 ||
            s.colour > 3)
            std::abort();
    }
    const SyntaxColourTable colours{16711680, 255, 16711808, 32768};
    const auto spans = assist::flattenSteps(steps, int(text.size()), colours, 7);
    for (const auto& span : spans) {
        if (span.start < 7 || span.length < 0 || span.start + span.length > 7 + text.size())
            std::abort();
    }
    return 0;
}

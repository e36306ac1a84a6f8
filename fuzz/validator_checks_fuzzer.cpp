// SPDX-License-Identifier: GPL-3.0-or-later
// The fifteen checks on arbitrary text. Besides crashes and undefined behaviour it checks
// what the report promises: every finding ends with an empty line, and the bracket check
// agrees with a plain count of the two signs.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "validator/checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    qsizetype lastValue = -1, maximum = -1;
    const QString report = validator::cTag(text, [&](qsizetype max, qsizetype value) {
        maximum = max;
        if (value < lastValue && value != 0)
            std::abort();
        lastValue = value;
    });
    if (maximum != text.size() || (maximum > 0 && lastValue != maximum))
        std::abort(); // progress ends each check at its maximum
    const qsizetype lt = text.count(QLatin1Char('<')), gt = text.count(QLatin1Char('>'));
    if ((lt == gt) != report.isEmpty())
        std::abort();
    const QString all = validator::runAllChecks(text);
    if (!all.isEmpty() && !all.endsWith(QLatin1String("\r\n\r\n")))
        std::abort();
    return 0;
}

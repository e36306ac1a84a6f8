// SPDX-License-Identifier: GPL-3.0-or-later
// The readings of typed numbers: the dialogs' whole numbers and the go-to dialog's numeric
// prefix. Whatever is typed, they answer without failing, and a whole number that reads
// as fine lies in the 32-bit range.
#include <QLocale>
#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dialogs/numberinput.h"
#include "search/gotoline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const WholeNumber n = readWholeNumber(text, QLocale(QLocale::English));
    const WholeNumber g = readWholeNumber(text, QLocale(QLocale::German));
    if (n.ok() && !wholeNumberProblem(QStringLiteral("Rows"), text, n).isEmpty())
        std::abort();
    if (!g.ok() && wholeNumberProblem(QStringLiteral("Rows"), text, g).isEmpty())
        std::abort();
    const double prefix = numericPrefix(text);
    if (std::isnan(prefix))
        std::abort();
    return 0;
}

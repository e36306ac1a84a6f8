// SPDX-License-Identifier: GPL-3.0-or-later
// The date formatter on arbitrary patterns, moments and locales: it never fails and
// writes the pattern's plain characters through.
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dialogs/dateformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9)
        return 0;
    qint64 seconds;
    std::memcpy(&seconds, data, sizeof seconds);
    static const QLocale locales[] = {QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::Arabic, QLocale::Egypt),
                                      QLocale(QLocale::Japanese, QLocale::Japan), QLocale::c()};
    const QLocale& locale = locales[data[8] % (sizeof locales / sizeof locales[0])];
    // Moments from year -9999 to 9999.
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(seconds % (315537897600LL), Qt::UTC);
    const QString pattern =
        QString::fromUtf8(reinterpret_cast<const char*>(data) + 9, qsizetype(size - 9));
    const QString out = formatDateTime(moment, pattern, locale);
    (void)out;
    for (const QString& p : timeDateFormats())
        (void)formatDateTime(moment, p, locale);
    return 0;
}

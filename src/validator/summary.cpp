// SPDX-License-Identifier: GPL-3.0-or-later
#include "validator/summary.h"

#include <cmath>

namespace validator {

QString formatMinutes(double minutes, const QLocale& locale) {
    // Two decimals, halves rounded away from zero; then the value as a single-precision
    // number in its shortest general form.
    double hundredths = std::round(minutes * 100.0);
    if (hundredths == 0.0)
        hundredths = 0.0; // never "-0"
    const float value = float(hundredths / 100.0);
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(double(value), 'g', 7);
}

QString summaryText(const QString& minutesText, qint64 characters) {
    return QStringLiteral("Done..in ") + minutesText + QStringLiteral(" minutes") +
           QStringLiteral("\r\n") + QStringLiteral("I've checked ") + QString::number(characters) +
           QStringLiteral("(Char) X 15(sections) = ") + QString::number(characters * 15) +
           QStringLiteral(" Characters..");
}

} // namespace validator

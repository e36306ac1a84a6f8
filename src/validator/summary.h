// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

namespace validator {

// The duration of a run as the summary writes it: rounded to hundredths of a minute,
// then in its shortest general form ("0.05", "1.5", "0", "12.25"), with the decimal
// separator of `locale` and no group separators.
QString formatMinutes(double minutes, const QLocale& locale = QLocale());

// The text of the summary box for a run of `minutesText` minutes over `characters`
// characters checked by the fifteen checks.
QString summaryText(const QString& minutesText, qint64 characters);

} // namespace validator

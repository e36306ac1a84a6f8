// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

// Writes `moment` with a date/time pattern of these tokens:
//   d, dd        day of month without / with a leading zero
//   dddd         full weekday name
//   m, mm        month number without / with a leading zero
//   mmm, mmmm    abbreviated / full month name
//   m, mm        directly after an hour token and a colon: minutes
//   yy, yyyy     two-digit / four-digit year
//   h, hh        hour without / with a leading zero
//   ss           seconds with a leading zero
//   AM/PM, a/p   12-hour clock, writing "AM"/"PM" or "a"/"p" (in the letter case of the
//                token); without either, hours run from 0 to 23
//   /            the locale's date separator
//   :            the locale's time separator
// Names of days and months are those of `locale`. Anything else is written as it is.
QString formatDateTime(const QDateTime& moment, const QString& pattern, const QLocale& locale);

// The separators of a locale's short date and time formats ("/" and ":" in English
// (United States), "." and ":" in German).
QString dateSeparator(const QLocale& locale);
QString timeSeparator(const QLocale& locale);

// The nine patterns the time/date dialog offers, in the order of its list.
QStringList timeDateFormats();

// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dateformat.h"

namespace {

// The first separator of a Qt date or time format: the first stretch of non-letters
// between two fields that holds more than blanks, quoted text skipped.
QString firstSeparator(const QString& format, const QString& fallback) {
    QString run;
    bool seenField = false;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c.isLetter()) {
            const QString trimmed = run.trimmed();
            if (seenField && !trimmed.isEmpty())
                return trimmed;
            seenField = true;
            run.clear();
        } else {
            run += c;
        }
    }
    return fallback;
}

int runLength(const QString& s, int i, QChar c) {
    int n = 0;
    while (i + n < s.size() && s.at(i + n).toLower() == c)
        ++n;
    return n;
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

QString dateSeparator(const QLocale& locale) {
    return firstSeparator(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
}

QString timeSeparator(const QLocale& locale) {
    return firstSeparator(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
}

QString formatDateTime(const QDateTime& moment, const QString& pattern, const QLocale& locale) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    const QString ampm = QStringLiteral("am/pm");
    const QString ap = QStringLiteral("a/p");
    const bool twelveHour =
        pattern.contains(ampm, Qt::CaseInsensitive) || pattern.contains(ap, Qt::CaseInsensitive);
    const QString dateSep = dateSeparator(locale);
    const QString timeSep = timeSeparator(locale);

    QString out;
    // An "m" run means minutes when it follows an hour token and a colon directly.
    bool afterHour = false;
    bool afterHourColon = false;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        const QChar lower = c.toLower();
        const bool minutesHere = afterHourColon;
        afterHourColon = false;
        const bool hourBefore = afterHour;
        afterHour = false;

        if (pattern.mid(i, ampm.size()).compare(ampm, Qt::CaseInsensitive) == 0) {
            const bool pm = time.hour() >= 12;
            QString text = pm ? QStringLiteral("PM") : QStringLiteral("AM");
            out += c.isUpper() ? text : text.toLower();
            i += ampm.size();
            continue;
        }
        if (pattern.mid(i, ap.size()).compare(ap, Qt::CaseInsensitive) == 0) {
            const bool pm = time.hour() >= 12;
            QString text = pm ? QStringLiteral("P") : QStringLiteral("A");
            out += c.isUpper() ? text : text.toLower();
            i += ap.size();
            continue;
        }
        if (lower == QLatin1Char('d')) {
            const int n = runLength(pattern, i, lower);
            if (n >= 4) {
                out += locale.standaloneDayName(date.dayOfWeek(), QLocale::LongFormat);
                i += 4;
            } else if (n >= 2) {
                out += twoDigits(date.day());
                i += 2;
            } else {
                out += QString::number(date.day());
                i += 1;
            }
            continue;
        }
        if (lower == QLatin1Char('m')) {
            const int n = runLength(pattern, i, lower);
            if (minutesHere && n <= 2) {
                out += n == 2 ? twoDigits(time.minute()) : QString::number(time.minute());
                i += n;
            } else if (n >= 4) {
                out += locale.standaloneMonthName(date.month(), QLocale::LongFormat);
                i += 4;
            } else if (n == 3) {
                out += locale.standaloneMonthName(date.month(), QLocale::ShortFormat);
                i += 3;
            } else {
                out += n == 2 ? twoDigits(date.month()) : QString::number(date.month());
                i += n;
            }
            continue;
        }
        if (lower == QLatin1Char('y')) {
            const int n = runLength(pattern, i, lower);
            if (n >= 4) {
                out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
                i += 4;
                continue;
            }
            if (n >= 2) {
                out += twoDigits(date.year() % 100);
                i += 2;
                continue;
            }
        }
        if (lower == QLatin1Char('h')) {
            const int n = runLength(pattern, i, lower);
            int hour = time.hour();
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            const int used = n >= 2 ? 2 : 1;
            out += used == 2 ? twoDigits(hour) : QString::number(hour);
            i += used;
            afterHour = true;
            continue;
        }
        if (lower == QLatin1Char('s') && runLength(pattern, i, lower) >= 2) {
            out += twoDigits(time.second());
            i += 2;
            continue;
        }
        if (c == QLatin1Char('/')) {
            out += dateSep;
        } else if (c == QLatin1Char(':')) {
            out += timeSep;
            afterHourColon = hourBefore;
        } else {
            out += c;
        }
        ++i;
    }
    return out;
}

QStringList timeDateFormats() {
    return {
        QStringLiteral("m/d/yy"),
        QStringLiteral("d/m/yy"),
        QStringLiteral("dddd, mmmm dd, yyyy"),
        QStringLiteral("d-mmm"),
        QStringLiteral("mmmm-yy"),
        QStringLiteral("hh:mm AM/PM"),
        QStringLiteral("h:mm:ss a/p"),
        QStringLiteral("d-mmmm h:mm"),
        QStringLiteral("d-mmmm-yyyy hh:mm AM/PM"),
    };
}

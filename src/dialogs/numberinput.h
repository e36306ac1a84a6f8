// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

// Reading a count typed into a text box as a 32-bit signed whole number.
struct WholeNumber {
    enum class Status { Ok, NotANumber, OutOfRange };
    Status status = Status::NotANumber;
    qint32 value = 0;

    bool ok() const { return status == Status::Ok; }
};

// Reads `text` as a number: blanks around it are ignored; the number is written in the
// notation of `locale` (its decimal point and digit grouping) or in the plain C notation
// ("12", "-3", "2.5", "1e3"). A fraction is rounded to the nearest whole number, halves to
// the even neighbour (2.5 gives 2, 3.5 gives 4). The result must lie in the 32-bit range.
WholeNumber readWholeNumber(const QString& text, const QLocale& locale = QLocale());

// The message for a count that could not be read: it names the field (`fieldName`, e.g.
// "Rows") and says what is wrong with `text`. Empty when `number` is fine.
QString wholeNumberProblem(const QString& fieldName, const QString& text,
                           const WholeNumber& number);

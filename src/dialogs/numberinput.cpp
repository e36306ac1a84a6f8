// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/numberinput.h"

#include <cmath>
#include <limits>

namespace {

bool parseNumber(const QString& text, const QLocale& locale, double& out) {
    bool ok = false;
    double value = locale.toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

// Rounds to the nearest whole number; a value exactly halfway goes to the even one.
double roundHalfToEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

} // namespace

WholeNumber readWholeNumber(const QString& text, const QLocale& locale) {
    WholeNumber result;
    const QString trimmed = text.trimmed();
    double value = 0.0;
    if (trimmed.isEmpty() || !parseNumber(trimmed, locale, value))
        return result;
    const double rounded = roundHalfToEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<qint32>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<qint32>::max())) {
        result.status = WholeNumber::Status::OutOfRange;
        return result;
    }
    result.status = WholeNumber::Status::Ok;
    result.value = static_cast<qint32>(rounded);
    return result;
}

QString wholeNumberProblem(const QString& fieldName, const QString& typed,
                           const WholeNumber& number) {
    // A message box is read, not scrolled: a long entry is quoted by its beginning.
    constexpr int kQuoted = 40;
    const QString text =
        typed.size() > kQuoted
            ? typed.left(typed.at(kQuoted - 1).isHighSurrogate() ? kQuoted - 1 : kQuoted) +
                  QChar(0x2026)
            : typed;
    switch (number.status) {
    case WholeNumber::Status::Ok:
        return QString();
    case WholeNumber::Status::NotANumber:
        if (text.trimmed().isEmpty())
            return QStringLiteral("%1: please enter a number.").arg(fieldName);
        return QStringLiteral("%1: \"%2\" is not a number.").arg(fieldName, text);
    case WholeNumber::Status::OutOfRange:
        break;
    }
    return QStringLiteral("%1: %2 is out of range; the number must lie between -2147483648 and "
                          "2147483647.")
        .arg(fieldName, text.trimmed());
}

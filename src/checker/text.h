// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Character classes of the HTML tokenizer and small string helpers of the checker.
#include <QString>
#include <string>

namespace checker {

inline bool isSpace(char16_t c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f';
}
inline bool isAlpha(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool isDigit(char16_t c) {
    return c >= '0' && c <= '9';
}
inline bool isAlnum(char16_t c) {
    return isAlpha(c) || isDigit(c);
}
inline char16_t toLower(char16_t c) {
    return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
}

inline QString toQString(const std::u16string& s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}
// "<name>" and "</name>" for messages.
inline QString startTag(const QString& name) {
    return QLatin1Char('<') + name + QLatin1Char('>');
}
inline QString endTag(const QString& name) {
    return QStringLiteral("</") + name + QLatin1Char('>');
}

} // namespace checker

// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/hexcolor.h"

QString HexColor(const int& color) {
    // The digits of the value as stored (a negative value shows its 32-bit pattern),
    // zero-filled to six: they read BBGGRR. A longer digit string has no zeros added and
    // is sliced the same way; resolved swatch colours never produce one.
    QString digits = QString::number(static_cast<quint32>(color), 16).toUpper();
    if (digits.size() < 6)
        digits = digits.rightJustified(6, QLatin1Char('0'));
    return QLatin1Char('#') + digits.right(2) + digits.mid(2, 2) + digits.left(2);
}

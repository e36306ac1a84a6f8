// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The colour of a value in blue-green-red order (red in the low byte), written as HTML
// wants it: "#" and six upper-case hexadecimal digits in red-green-blue order.
// 255 gives "#FF0000", 16711680 gives "#0000FF". The value is left unchanged.
QString HexColor(const int& color);

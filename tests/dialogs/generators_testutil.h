// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <initializer_list>

#include "testutil.h"

// Lines of a generated fragment, each ended by CR LF.
inline QString crlfLines(std::initializer_list<const char*> parts) {
    QString s;
    for (const char* p : parts)
        s += QString::fromUtf8(p) + QStringLiteral("\r\n");
    return s;
}

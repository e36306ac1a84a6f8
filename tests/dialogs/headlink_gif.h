// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include "testutil.h"

// Writes a GIF picture of the given size (Qt reads GIF but cannot write it). The pixels are
// stored as plain 8-bit LZW codes, a clear code before the table grows past 9 bits.
inline bool writeTestGif(const QString& path, int width, int height) {
    QByteArray out("GIF89a");
    auto put16 = [&out](int v) {
        out.append(char(v & 0xff));
        out.append(char((v >> 8) & 0xff));
    };
    put16(width);
    put16(height);
    out.append(char(0xf7)); // global colour table of 256 entries, 8-bit colour resolution
    out.append(char(0));    // background colour
    out.append(char(0));    // aspect ratio
    for (int i = 0; i < 256; ++i)
        out.append(QByteArray(3, char(i)));
    out.append(char(0x2c)); // image descriptor
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    out.append(char(0));
    out.append(char(8)); // minimum code size

    QByteArray codes;
    quint32 bits = 0;
    int count = 0;
    auto putCode = [&](int code) {
        bits |= quint32(code) << count;
        count += 9;
        while (count >= 8) {
            codes.append(char(bits & 0xff));
            bits >>= 8;
            count -= 8;
        }
    };
    const int clear = 256, end = 257;
    int sinceClear = 0;
    putCode(clear);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (sinceClear == 250) {
                putCode(clear);
                sinceClear = 0;
            }
            putCode((x + y) & 0xff);
            ++sinceClear;
        }
    putCode(end);
    if (count > 0)
        codes.append(char(bits & 0xff));
    for (int i = 0; i < codes.size(); i += 255) {
        const QByteArray block = codes.mid(i, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));    // end of the image data
    out.append(char(0x3b)); // trailer

    return writeBytes(path, out);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>
#include <optional>

// The description of a bitmap, laid out as the platform's 24-byte BITMAP record.
struct BitmapDescription {
    qint32 bmType = 0;
    qint32 bmWidth = 0;      // pixels
    qint32 bmHeight = 0;     // pixels
    qint32 bmWidthBytes = 0; // bytes per scan line, rounded up to whole 16-bit words
    quint16 bmPlanes = 0;
    quint16 bmBitsPixel = 0;
    quint32 bmBits = 0; // the bits are never handed out
};
static_assert(sizeof(BitmapDescription) == 24, "BITMAP record layout");

// A picture file read into memory, with the description of its bitmap.
struct LoadedPicture {
    QImage image;
    BitmapDescription bitmap;
};

// Reads a picture file (BMP, GIF, JPEG, PNG and the other formats Qt's image readers
// know). The description holds the pixel size stored in the file, without any scaling
// or rotation. On failure returns nothing and, when `error` is given, sets the reason.
std::optional<LoadedPicture> loadPicture(const QString& path, QString* error = nullptr);

// Converts a length in pixels into hundredths of a millimetre at `dotsPerInch`.
int pixelsToHiMetric(int pixels, double dotsPerInch);

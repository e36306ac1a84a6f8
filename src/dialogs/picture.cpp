// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/picture.h"

#include <QImageReader>
#include <cmath>

std::optional<LoadedPicture> loadPicture(const QString& path, QString* error) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize stored = reader.size();
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        if (error)
            *error = reader.errorString();
        return std::nullopt;
    }
    const QSize size = stored.isValid() ? stored : image.size();
    LoadedPicture picture;
    picture.image = image;
    BitmapDescription& bm = picture.bitmap;
    bm.bmWidth = size.width();
    bm.bmHeight = size.height();
    bm.bmBitsPixel = static_cast<quint16>(image.depth());
    bm.bmWidthBytes =
        static_cast<qint32>((static_cast<qint64>(size.width()) * image.depth() + 15) / 16 * 2);
    bm.bmPlanes = 1;
    return picture;
}

int pixelsToHiMetric(int pixels, double dotsPerInch) {
    if (dotsPerInch <= 0)
        return 0;
    return static_cast<int>(std::lround(pixels * 2540.0 / dotsPerInch));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/linkfragments.h"

namespace fragments {

QString link(const LinkFields& link, const QString& inner) {
    return QStringLiteral("<a href='") + link.type + link.url + QStringLiteral("' target='") +
           link.target + QStringLiteral("'>") + inner + QStringLiteral("</a>");
}

QString image(const ImageFields& image) {
    const QString element = QStringLiteral("<img src='") + image.source +
                            QStringLiteral("' border='") + image.border +
                            QStringLiteral("' width='") + image.width +
                            QStringLiteral("' height='") + image.height + QStringLiteral("'>");
    return image.makeLink ? link(image.link, element) : element;
}

} // namespace fragments

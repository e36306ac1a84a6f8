// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The fragments of the link and image dialogs, built from their field values (taken
// verbatim; attribute values in single quotes).
namespace fragments {

// What the link part of a dialog holds: the link type, which prefixes the address with
// nothing between them ("http://" + "example.com"), the address and the target.
struct LinkFields {
    QString type;
    QString url;
    QString target;
};

// "<a href='" type url "' target='" target "'>" inner "</a>".
QString link(const LinkFields& link, const QString& inner);

// What the image dialog holds. Empty fields give empty attribute values.
struct ImageFields {
    QString source;
    QString border;
    QString width;
    QString height;
    bool makeLink = false; // wrap the image in a link
    LinkFields link;
};

// The image element, wrapped in a link when makeLink is set.
QString image(const ImageFields& image);

} // namespace fragments

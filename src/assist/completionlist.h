// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include "assist/tagscan.h"

namespace assist {

// What completion offers in a context, starting with `typed` (the part of the word already
// typed; case is ignored except for character references), sorted as the list shows them:
// element names after "<"; in a start tag the element's own attributes and the global
// ones; in an attribute value the values of an enumerated attribute; after "&" the named
// character references, each with its ";".
QStringList completionItems(const tagscan::CompletionContext& context, const QString& typed);

} // namespace assist

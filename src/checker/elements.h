// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tree builder and the content checks need to know of each HTML element.
#include <cstdint>

#include "htmldata/generated.h"

namespace checker {

using htmldata::Tag;

enum ElementFlag : std::uint32_t {
    kSpecial = 1u << 0,      // the parser's "special" category
    kFormatting = 1u << 1,   // kept in the list of active formatting elements
    kOptionalEnd = 1u << 2,  // its end tag may be left out (p, li, td, tbody...)
    kPhrasing = 1u << 3,     // may stand where only phrasing content may
    kBlock = 1u << 4,        // flow content that is not phrasing (div, p, ul, table...)
    kPhrasingOnly = 1u << 5, // holds phrasing content only (span, b, h1, label...)
    kTransparent = 1u << 6,  // takes the content model of its parent (a, ins, del...)
    kHeading = 1u << 7,      // h1 to h6
    kMetadataOnly = 1u << 8, // belongs in head (title)
};

// The flags of an HTML element by its Tag value.
std::uint32_t elementFlags(int tag);

inline bool hasFlag(int tag, ElementFlag flag) {
    return tag >= 0 && tag < htmldata::kTagCount && (elementFlags(tag) & flag);
}

constexpr int id(Tag tag) {
    return int(tag);
}

} // namespace checker

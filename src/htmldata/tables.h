// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The raw tables of generated.cpp; htmldata.h is the interface the rest of the program uses.
#include <cstdint>

#include "htmldata/generated.h"

namespace htmldata::tables {

enum TagFlag : std::uint8_t { kVoid = 1, kObsolete = 2, kNotStandard = 4 };

struct Range {
    std::uint16_t first;
    std::uint16_t count;
};

struct EnumeratedAttribute {
    const char* attribute;
    const char* elements; // names separated by spaces; empty: every element
    const char* values;   // separated by '|'; a value may be empty
    bool caseSensitive;
    bool allowUnknown;
};

struct CharacterReference {
    const char* name; // without '&' and ';'
    const char16_t* characters;
    bool legacy; // also recognised without the semicolon
};

extern const char* const kTagNames[kTagCount];
extern const std::uint8_t kTagFlags[kTagCount];
extern const Range kTagAttributes[kTagCount];
extern const char* const kAttributeNames[];
extern const int kAttributeNameCount;
extern const char* const kGlobalAttributes[];
extern const int kGlobalAttributeCount;
extern const char* const kEventHandlerAttributes[];
extern const int kEventHandlerAttributeCount;
extern const char* const kAriaAttributes[];
extern const int kAriaAttributeCount;
extern const EnumeratedAttribute kEnumeratedAttributes[];
extern const int kEnumeratedAttributeCount;
extern const char* const kSvgTagNames[];
extern const int kSvgTagNameCount;
extern const char* const kMathMlTagNames[];
extern const int kMathMlTagNameCount;
extern const CharacterReference kCharacterReferences[];
extern const int kCharacterReferenceCount;

} // namespace htmldata::tables

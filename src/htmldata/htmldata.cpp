// SPDX-License-Identifier: GPL-3.0-or-later
#include "htmldata/htmldata.h"

#include <algorithm>
#include <cstring>

#include "htmldata/tables.h"

namespace htmldata {
namespace {

using tables::EnumeratedAttribute;
using tables::kAriaAttributeCount;
using tables::kAriaAttributes;
using tables::kAttributeNames;
using tables::kCharacterReferenceCount;
using tables::kCharacterReferences;
using tables::kEnumeratedAttributeCount;
using tables::kEnumeratedAttributes;
using tables::kEventHandlerAttributeCount;
using tables::kEventHandlerAttributes;
using tables::kGlobalAttributeCount;
using tables::kGlobalAttributes;
using tables::kMathMlTagNameCount;
using tables::kMathMlTagNames;
using tables::kNotStandard;
using tables::kObsolete;
using tables::kSvgTagNameCount;
using tables::kSvgTagNames;
using tables::kTagAttributes;
using tables::kTagFlags;
using tables::kTagNames;
using tables::kVoid;
using tables::Range;

// Compares a UTF-16 name with an ASCII table entry; `fold` lowers the entry's letters.
int compare(QStringView name, const char* entry, bool fold = false) {
    const qsizetype n = name.size();
    qsizetype i = 0;
    for (; i < n && entry[i]; ++i) {
        const char16_t a = name[i].unicode();
        char16_t b = static_cast<unsigned char>(entry[i]);
        if (fold && b >= 'A' && b <= 'Z')
            b += 32;
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (i < n)
        return 1;
    return entry[i] ? -1 : 0;
}

QStringView lowered(QStringView name, QString& buffer) {
    for (QChar c : name)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z') {
            buffer = name.toString().toLower();
            return buffer;
        }
    return name;
}

// Binary search in a table of names sorted as `compare` orders them.
int find(const char* const* names, int count, QStringView name, bool fold = false) {
    int lo = 0, hi = count;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int c = compare(name, names[mid], fold);
        if (c == 0)
            return mid;
        if (c < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return -1;
}

QStringList toList(const char* const* names, int count) {
    QStringList list;
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list << QLatin1String(names[i]);
    return list;
}

int findReference(QStringView name) {
    int lo = 0, hi = kCharacterReferenceCount;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int c = compare(name, kCharacterReferences[mid].name);
        if (c == 0)
            return mid;
        if (c < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return -1;
}

bool listed(const char* list, QStringView name, char separator) {
    const char* p = list;
    while (true) {
        const char* end = std::strchr(p, separator);
        const size_t length = end ? size_t(end - p) : std::strlen(p);
        if (length == size_t(name.size()) && compare(name, std::string(p, length).c_str()) == 0)
            return true;
        if (!end)
            return false;
        p = end + 1;
    }
}

} // namespace

std::optional<Tag> tagFromName(QStringView lowerName) {
    const int i = find(kTagNames, kTagCount, lowerName);
    if (i < 0)
        return std::nullopt;
    return Tag(i);
}

QLatin1StringView tagName(Tag tag) {
    return QLatin1StringView(kTagNames[int(tag)]);
}

bool isVoid(Tag tag) {
    return kTagFlags[int(tag)] & kVoid;
}

bool isObsolete(Tag tag) {
    return kTagFlags[int(tag)] & kObsolete;
}

bool isNonStandard(Tag tag) {
    return kTagFlags[int(tag)] & kNotStandard;
}

QStringList elementNames() {
    return toList(kTagNames, kTagCount);
}

QStringList attributesOf(Tag tag) {
    const Range r = kTagAttributes[int(tag)];
    return toList(kAttributeNames + r.first, r.count);
}

QStringList globalAttributes() {
    return toList(kGlobalAttributes, kGlobalAttributeCount);
}

QStringList eventHandlerAttributes() {
    return toList(kEventHandlerAttributes, kEventHandlerAttributeCount);
}

bool isGlobalAttribute(QStringView lowerName) {
    return find(kGlobalAttributes, kGlobalAttributeCount, lowerName) >= 0;
}

bool isOwnAttribute(Tag tag, QStringView lowerName) {
    const Range r = kTagAttributes[int(tag)];
    return find(kAttributeNames + r.first, r.count, lowerName) >= 0;
}

bool isEventHandlerAttribute(QStringView lowerName) {
    return find(kEventHandlerAttributes, kEventHandlerAttributeCount, lowerName) >= 0;
}

bool isAriaAttribute(QStringView lowerName) {
    return find(kAriaAttributes, kAriaAttributeCount, lowerName) >= 0;
}

QStringList enumeratedValues(QStringView element, QStringView attribute, bool* caseSensitive) {
    QString b1, b2;
    element = lowered(element, b1);
    attribute = lowered(attribute, b2);
    for (int i = 0; i < kEnumeratedAttributeCount; ++i) {
        const EnumeratedAttribute& e = kEnumeratedAttributes[i];
        if (compare(attribute, e.attribute) != 0)
            continue;
        if (*e.elements && !listed(e.elements, element, ' '))
            continue;
        if (caseSensitive)
            *caseSensitive = e.caseSensitive;
        return QString::fromLatin1(e.values).split(QLatin1Char('|'));
    }
    return {};
}

bool isSvgElement(QStringView name) {
    QString b;
    return find(kSvgTagNames, kSvgTagNameCount, lowered(name, b), true) >= 0;
}

bool isMathMlElement(QStringView name) {
    QString b;
    return find(kMathMlTagNames, kMathMlTagNameCount, lowered(name, b), true) >= 0;
}

std::optional<CharacterReference> characterReference(QStringView name) {
    const int i = findReference(name);
    if (i < 0)
        return std::nullopt;
    return characterReferenceAt(i);
}

qsizetype longestLegacyReference(QStringView run) {
    // Legacy names are at most 6 characters long ("middot", "curren", "brvbar").
    for (qsizetype n = std::min<qsizetype>(run.size(), 8); n > 0; --n) {
        const int i = findReference(run.left(n));
        if (i >= 0 && kCharacterReferences[i].legacy)
            return n;
    }
    return 0;
}

int characterReferenceCount() {
    return kCharacterReferenceCount;
}

CharacterReference characterReferenceAt(int index) {
    const tables::CharacterReference& r = kCharacterReferences[index];
    return {QLatin1StringView(r.name), QStringView(r.characters), r.legacy};
}

} // namespace htmldata

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/txtcodestyles.h"

#include <cstring>

namespace {

constexpr int kStyleCount = 256;
bool usableStyle(int s) {
    return s < 32 || s > 39;
}

// The table key of a format: the fixed-size fields as raw code units, then the font name.
// Every field has a fixed width, so two formats share a key only when they are equal;
// building it costs one small allocation, where formatted numbers cost several.
QString formatKey(const CharFormat& f) {
    quint64 sizeBits = 0;
    static_assert(sizeof(sizeBits) == sizeof(f.size), "a double is 64 bits");
    std::memcpy(&sizeBits, &f.size, sizeof sizeBits);
    const char16_t fixed[] = {
        char16_t(quint32(f.color)),
        char16_t(quint32(f.color) >> 16),
        char16_t(quint32(f.highlight)),
        char16_t(quint32(f.highlight) >> 16),
        char16_t(int(f.bold) | int(f.italic) << 1 | int(f.underline) << 2),
        char16_t(sizeBits),
        char16_t(sizeBits >> 16),
        char16_t(sizeBits >> 32),
        char16_t(sizeBits >> 48),
        char16_t(quint32(f.up)),
        char16_t(quint32(f.up) >> 16),
    };
    constexpr qsizetype n = sizeof fixed / sizeof fixed[0];
    QString key;
    key.reserve(n + f.font.size());
    key.append(reinterpret_cast<const QChar*>(fixed), n);
    key.append(f.font);
    return key;
}

// UTF-16 units of the UTF-8 sequence that starts with this byte (0 for a trailing byte).
inline int utf16UnitsOfLead(unsigned char b) {
    if (b < 0x80)
        return 1;
    if (b < 0xC0)
        return 0;
    if (b < 0xF0)
        return 1;
    return 2;
}

} // namespace

StyleTable::StyleTable() : styles_(kStyleCount) {
    index_.insert(formatKey(CharFormat()), 0);
}

int StyleTable::styleFor(const CharFormat& format, bool* added) {
    *added = false;
    const QString key = formatKey(format);
    auto it = index_.constFind(key);
    if (it != index_.constEnd())
        return it.value();
    const int used = index_.size();
    const int next = used < 32 ? used : used + 8;
    if (next >= kStyleCount) {
        for (int s = 0; s < kStyleCount; ++s)
            if (usableStyle(s) && styles_[s].color == format.color &&
                styles_[s].highlight == format.highlight)
                return s;
        return 0;
    }
    Q_ASSERT(usableStyle(next));
    styles_[next] = format;
    index_.insert(key, next);
    *added = true;
    return next;
}

int Utf16Walker::step() {
    if (byte_ >= length_)
        return 0;
    const int units = utf16UnitsOfLead(static_cast<unsigned char>(text_[byte_]));
    ++byte_;
    while (byte_ < length_ && (static_cast<unsigned char>(text_[byte_]) & 0xC0) == 0x80)
        ++byte_;
    unit_ += units;
    return units;
}

bool Utf16Walker::advanceTo(int unit) {
    while (unit_ < unit && byte_ < length_) {
        const int units = utf16UnitsOfLead(static_cast<unsigned char>(text_[byte_]));
        if (units == 0 || unit_ + units > unit)
            break;
        step();
    }
    return unit_ == unit;
}

void Utf16Walker::advancePast(int unit) {
    while (unit_ < unit && byte_ < length_)
        step();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/txtcodestyles.h"

#include "text/fileform.h"

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

// The bytes and UTF-16 units of the character at p, as the editor counts them: a valid
// UTF-8 sequence is one character, any other byte (a stray byte) one character of its own.
inline int charBytes(const char* p, qint64 left, int* units) {
    const auto b = static_cast<unsigned char>(*p);
    if (b < 0x80) {
        *units = 1;
        return 1;
    }
    const int n = utf8SequenceLength(reinterpret_cast<const uchar*>(p), left);
    *units = n == 4 ? 2 : 1;
    return n > 0 ? n : 1;
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
    int units = 0;
    byte_ += charBytes(text_ + byte_, length_ - byte_, &units);
    unit_ += units;
    return units;
}

bool Utf16Walker::advanceTo(int unit) {
    while (unit_ < unit && byte_ < length_) {
        int units = 0;
        const int bytes = charBytes(text_ + byte_, length_ - byte_, &units);
        if (unit_ + units > unit)
            break;
        byte_ += bytes;
        unit_ += units;
    }
    return unit_ == unit;
}

void Utf16Walker::advancePast(int unit) {
    while (unit_ < unit && byte_ < length_)
        step();
}

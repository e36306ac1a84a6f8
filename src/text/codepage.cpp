// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/codepage.h"

#include <QStringDecoder>

namespace codepage {

// Code page 1252, bytes 0x80..0x9F. The five bytes the code page leaves undefined stand
// for the control characters of the same value, so that every byte means something.
const char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The code-page 1252 byte (0x80..0xFF) of a character, or 0 when it has none there.
int cp1252Byte(char16_t c) {
    if (c >= 0xA0 && c <= 0xFF)
        return c;
    if (c < 0x80)
        return 0;
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c)
            return 0x80 + i;
    return 0;
}

namespace {

QByteArray codePageName(int cp) {
    switch (cp) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 852:
        return "IBM852";
    case 866:
        return "IBM866";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 10000:
        return "macintosh";
    case 65001:
        return "UTF-8";
    default:
        break;
    }
    if (cp == 874 || (cp >= 1250 && cp <= 1258))
        return "windows-" + QByteArray::number(cp);
    return QByteArray();
}

} // namespace

ByteDecoder::ByteDecoder(int codePage) {
    for (int b = 0; b < 128; ++b)
        high_[b] = char16_t(0x80 + b); // Latin-1 when nothing better is known
    if (codePage == 1252) {
        for (int b = 0; b < 32; ++b)
            high_[b] = kCp1252High[b];
        return;
    }
    name_ = codePageName(codePage);
    if (name_.isEmpty())
        return;
    QStringDecoder probe(name_.constData(), QStringConverter::Flag::Stateless);
    if (!probe.isValid()) {
        name_.clear();
        return;
    }
    multi_ = codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
             codePage == 65001;
    if (multi_)
        return;
    // A single-byte page gives one character per byte: decode all high bytes at once.
    char bytes[128];
    for (int b = 0; b < 128; ++b)
        bytes[b] = char(0x80 + b);
    const QString s = probe.decode(QByteArrayView(bytes, 128));
    if (s.size() != 128)
        return;
    for (int b = 0; b < 128; ++b)
        if (s[b] != QChar::ReplacementCharacter && s[b].unicode() >= 0x20)
            high_[b] = s[b].unicode();
}

QString ByteDecoder::decode(const QByteArray& bytes) const {
    if (!multi_) {
        QString s(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            s[i] = QChar(single(static_cast<unsigned char>(bytes[i])));
        return s;
    }
    QStringDecoder d(name_.constData(), QStringConverter::Flag::Stateless);
    return d.decode(bytes);
}

int charsetCodePage(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    default:
        return 0;
    }
}

} // namespace codepage

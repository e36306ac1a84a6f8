// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Code pages: the Windows-1252 table the file reader and the rich-text codec share, and
// the decoding of bytes in the code page a rich-text document or font declares.
namespace codepage {

// Code page 1252, bytes 0x80..0x9F. The five bytes the code page leaves undefined stand
// for the control characters of the same value, so that every byte means something.
extern const char16_t kCp1252High[32];

// The code-page 1252 byte (0x80..0xFF) of a character, or 0 when it has none there.
int cp1252Byte(char16_t c);

// Turns bytes of a code page into characters. Single-byte pages use a table; the
// multi-byte ones (East Asian, UTF-8) decode the bytes gathered since the last flush.
class ByteDecoder {
public:
    explicit ByteDecoder(int codePage);
    bool multiByte() const { return multi_; }
    char16_t single(unsigned char b) const { return b < 0x80 ? b : high_[b - 0x80]; }
    QString decode(const QByteArray& bytes) const;

private:
    bool multi_ = false;
    QByteArray name_;
    char16_t high_[128];
};

// The code page a font's character set stands for (0: the document's own).
int charsetCodePage(int charset);

} // namespace codepage

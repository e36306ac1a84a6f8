// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/fileform.h"

#include "text/codepage.h"

#include <QStringDecoder>
#include <QtEndian>
#include <cstring>

namespace {

using Encoding = FileForm::Encoding;

using codepage::kCp1252High;

struct NamedEncoding {
    Encoding encoding;
    const char* name;
};
const NamedEncoding kEncodingNames[] = {
    {Encoding::Utf8, "UTF-8"},        {Encoding::Utf16LE, "UTF-16 LE"},
    {Encoding::Utf16BE, "UTF-16 BE"}, {Encoding::Utf32LE, "UTF-32 LE"},
    {Encoding::Utf32BE, "UTF-32 BE"}, {Encoding::Windows1252, "Windows-1252"}};

} // namespace

int utf8SequenceLength(const uchar* p, qsizetype left) {
    const uchar b = p[0];
    if (b < 0x80)
        return 1;
    auto cont = [&](qsizetype i, uchar lo = 0x80, uchar hi = 0xBF) {
        return i < left && p[i] >= lo && p[i] <= hi;
    };
    if (b >= 0xC2 && b <= 0xDF)
        return cont(1) ? 2 : 0;
    if (b == 0xE0)
        return cont(1, 0xA0) && cont(2) ? 3 : 0;
    if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF)
        return cont(1) && cont(2) ? 3 : 0;
    if (b == 0xED)
        return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    if (b == 0xF0)
        return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    if (b >= 0xF1 && b <= 0xF3)
        return cont(1) && cont(2) && cont(3) ? 4 : 0;
    if (b == 0xF4)
        return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    return 0;
}

namespace {

char32_t utf8Value(const uchar* p, int length) {
    switch (length) {
    case 1:
        return p[0];
    case 2:
        return char32_t(p[0] & 0x1F) << 6 | (p[1] & 0x3F);
    case 3:
        return char32_t(p[0] & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
    default:
        return char32_t(p[0] & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 |
               char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
    }
}

struct Utf8Census {
    qsizetype invalid = 0;
    qsizetype multiByte = 0;
    bool standInsPresent = false; // valid characters from the stand-in range
};

Utf8Census takeCensus(const uchar* p, qsizetype n) {
    Utf8Census c;
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int len = utf8SequenceLength(p + i, n - i);
        if (len == 0) {
            ++c.invalid;
            ++i;
            continue;
        }
        ++c.multiByte;
        if (len == 3 && isStrayByteStandIn(char16_t(utf8Value(p + i, 3))))
            c.standInsPresent = true;
        i += len;
    }
    return c;
}

} // namespace

QString decodeWithStandIns(const uchar* p, qsizetype n) {
    QString text(n, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype o = 0;
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            out[o++] = p[i++];
            continue;
        }
        const int len = utf8SequenceLength(p + i, n - i);
        if (len == 0) {
            out[o++] = char16_t(kStrayByteBase + p[i++]);
            continue;
        }
        const char32_t v = utf8Value(p + i, len);
        if (v >= 0x10000) {
            out[o++] = QChar::highSurrogate(v);
            out[o++] = QChar::lowSurrogate(v);
        } else {
            out[o++] = char16_t(v);
        }
        i += len;
    }
    text.truncate(o);
    return text;
}

namespace {

bool decodeUtf16(const QByteArray& bytes, bool bigEndian, QString* text) {
    const qsizetype n = (bytes.size() - 2) / 2;
    if ((bytes.size() - 2) % 2 != 0)
        return false;
    QString out(n, Qt::Uninitialized);
    if (bigEndian)
        qFromBigEndian<quint16>(bytes.constData() + 2, n, out.data());
    else
        qFromLittleEndian<quint16>(bytes.constData() + 2, n, out.data());
    // Unpaired surrogates cannot be shown or kept: such a file is not taken as UTF-16.
    const QChar* s = out.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i].isHighSurrogate()) {
            if (i + 1 >= n || !s[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (s[i].isLowSurrogate()) {
            return false;
        }
    }
    *text = std::move(out);
    return true;
}

bool decodeUtf32(const QByteArray& bytes, bool bigEndian, QString* text) {
    if ((bytes.size() - 4) % 4 != 0)
        return false;
    const qsizetype n = (bytes.size() - 4) / 4;
    QString out(n * 2, Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    qsizetype k = 0;
    const char* p = bytes.constData() + 4;
    for (qsizetype i = 0; i < n; ++i, p += 4) {
        const quint32 v = bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
        if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
            return false;
        if (v >= 0x10000) {
            o[k++] = QChar::highSurrogate(v);
            o[k++] = QChar::lowSurrogate(v);
        } else {
            o[k++] = char16_t(v);
        }
    }
    out.truncate(k);
    *text = std::move(out);
    return true;
}

// How the line breaks of a file are written: CR LF pairs of the text become the file's
// break; lone CRs and LFs of the text are written as they are.
enum class Breaks { CrLf, Lf, Cr };

Breaks breaksOf(const FileForm& form) {
    return form.lfLineBreaks ? Breaks::Lf : form.crLineBreaks ? Breaks::Cr : Breaks::CrLf;
}

// Gives the form the line break that most lines use (CR LF on a tie or when there is none,
// then LF), from the counts of CRs, LFs and CR LF pairs; returns how many breaks are of
// another kind.
qsizetype chooseLineBreaks(qsizetype cr, qsizetype lf, qsizetype pairs, FileForm* form) {
    const qsizetype loneCr = cr - pairs, loneLf = lf - pairs;
    form->lfLineBreaks = loneLf > pairs && loneLf >= loneCr;
    form->crLineBreaks = loneCr > pairs && loneCr > loneLf;
    const qsizetype kept = form->lfLineBreaks ? loneLf : form->crLineBreaks ? loneCr : pairs;
    return cr + lf - pairs - kept;
}

// Counts the line breaks of each kind and gives the form the one that most lines use;
// returns how many breaks are of another kind.
qsizetype takeLineBreaks(const QString& text, FileForm* form) {
    // One pass without branches, which the compiler turns into vector code.
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype n = text.size();
    qsizetype cr = n > 0 && p[0] == u'\r', lf = n > 0 && p[0] == u'\n', pairs = 0;
    for (qsizetype i = 1; i < n; ++i) {
        const char16_t c = p[i];
        cr += c == u'\r';
        lf += c == u'\n';
        pairs += (c == u'\n') & (p[i - 1] == u'\r');
    }
    return chooseLineBreaks(cr, lf, pairs, form);
}

// Calls sink(c) for every UTF-16 unit of the text that goes to the file: a CR LF pair is
// one LF or one CR when those are the file's line breaks.
template <class Sink> void forEachUnit(const QString& text, Breaks breaks, Sink sink) {
    const qsizetype n = text.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < n; ++i) {
        if (breaks != Breaks::CrLf && s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n') {
            sink(breaks == Breaks::Lf ? u'\n' : u'\r');
            ++i;
            continue;
        }
        sink(s[i]);
    }
}

// Calls sink(codePoint) for each character; an unpaired surrogate becomes U+FFFD.
template <class Sink> void forEachCodePoint(const QString& text, Breaks breaks, Sink sink) {
    char16_t high = 0;
    forEachUnit(text, breaks, [&](char16_t c) {
        if (high) {
            const char16_t h = high;
            high = 0;
            if (QChar::isLowSurrogate(c)) {
                sink(QChar::surrogateToUcs4(h, c));
                return;
            }
            sink(char32_t(0xFFFD));
        }
        if (QChar::isHighSurrogate(c))
            high = c;
        else if (QChar::isLowSurrogate(c))
            sink(char32_t(0xFFFD));
        else
            sink(char32_t(c));
    });
    if (high)
        sink(char32_t(0xFFFD));
}

void appendUtf8(QByteArray& out, char32_t v) {
    if (v < 0x80) {
        out.append(char(v));
    } else if (v < 0x800) {
        out.append(char(0xC0 | (v >> 6)));
        out.append(char(0x80 | (v & 0x3F)));
    } else if (v < 0x10000) {
        out.append(char(0xE0 | (v >> 12)));
        out.append(char(0x80 | ((v >> 6) & 0x3F)));
        out.append(char(0x80 | (v & 0x3F)));
    } else {
        out.append(char(0xF0 | (v >> 18)));
        out.append(char(0x80 | ((v >> 12) & 0x3F)));
        out.append(char(0x80 | ((v >> 6) & 0x3F)));
        out.append(char(0x80 | (v & 0x3F)));
    }
}

// Makes every CR LF pair the one byte `to` (LF or CR), in place.
void collapseCrLf(QByteArray& bytes, char to) {
    char* s = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype o = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n') {
            s[o++] = to;
            ++i;
            continue;
        }
        s[o++] = s[i];
    }
    bytes.truncate(o);
}

QByteArray encodeUtf8(const QString& text, const FileForm& form) {
    QByteArray out;
    if (form.byteOrderMark)
        out = QByteArray("\xEF\xBB\xBF");
    if (!form.strayBytes) {
        QByteArray body = text.toUtf8();
        if (breaksOf(form) != Breaks::CrLf)
            collapseCrLf(body, form.lfLineBreaks ? '\n' : '\r');
        if (out.isEmpty())
            return body;
        out += body;
        return out;
    }
    out.reserve(out.size() + text.size() + text.size() / 8);
    forEachCodePoint(text, breaksOf(form), [&](char32_t v) {
        if (v <= 0xFFFF && isStrayByteStandIn(char16_t(v)))
            out.append(char(v - kStrayByteBase));
        else
            appendUtf8(out, v);
    });
    return out;
}

// A byte-order mark, then each unit (UTF-16) or code point (UTF-32) of the text as a
// Unit-sized number in the chosen byte order.
template <typename Unit, typename ForEach>
QByteArray encodeWide(const QString& text, Breaks breaks, bool bigEndian, ForEach forEach) {
    QByteArray out;
    out.reserve(qsizetype(sizeof(Unit)) * (1 + text.size()));
    auto put = [&](Unit v) {
        char bytes[sizeof(Unit)];
        if (bigEndian)
            qToBigEndian<Unit>(v, bytes);
        else
            qToLittleEndian<Unit>(v, bytes);
        out.append(bytes, sizeof(Unit));
    };
    put(0xFEFF);
    forEach(text, breaks, put);
    return out;
}

QByteArray encodeUtf16(const QString& text, Breaks breaks, bool bigEndian) {
    // Written unit by unit: a lone surrogate cannot come from a file we read, and the
    // editor never makes one.
    return encodeWide<quint16>(text, breaks, bigEndian, [](const QString& t, Breaks b, auto put) {
        forEachUnit(t, b, [&](char16_t c) { put(quint16(c)); });
    });
}

QByteArray encodeUtf32(const QString& text, Breaks breaks, bool bigEndian) {
    return encodeWide<quint32>(text, breaks, bigEndian, [](const QString& t, Breaks b, auto put) {
        forEachCodePoint(t, b, [&](char32_t v) { put(quint32(v)); });
    });
}

int windows1252Byte(char16_t c) {
    if (c < 0x80)
        return c;
    const int b = codepage::cp1252Byte(c);
    return b ? b : -1;
}

bool encodeWindows1252(const QString& text, Breaks breaks, QByteArray* out) {
    out->resize(text.size());
    char* o = out->data();
    qsizetype k = 0;
    bool ok = true;
    forEachUnit(text, breaks, [&](char16_t c) {
        const int b = c < 0x80 ? c : windows1252Byte(c);
        if (b < 0)
            ok = false;
        o[k++] = char(b);
    });
    out->truncate(k);
    return ok;
}

} // namespace

QString encodingName(FileForm::Encoding encoding) {
    for (const auto& e : kEncodingNames) {
        if (e.encoding == encoding)
            return QString::fromLatin1(e.name);
    }
    return QString();
}

bool encodingFromName(const QString& name, FileForm::Encoding* encoding) {
    for (const auto& e : kEncodingNames) {
        if (name == QLatin1String(e.name)) {
            *encoding = e.encoding;
            return true;
        }
    }
    return false;
}

DecodedText decodeFileBytes(const QByteArray& bytes) {
    DecodedText d;
    auto finish = [&](QString text) {
        d.otherLineBreaks = takeLineBreaks(text, &d.form);
        d.text = std::move(text);
        return d;
    };
    QString wide;
    if (bytes.startsWith(QByteArray("\xFF\xFE\0\0", 4)) && decodeUtf32(bytes, false, &wide)) {
        d.form.encoding = Encoding::Utf32LE;
        return finish(std::move(wide));
    }
    if (bytes.startsWith(QByteArray("\0\0\xFE\xFF", 4)) && decodeUtf32(bytes, true, &wide)) {
        d.form.encoding = Encoding::Utf32BE;
        return finish(std::move(wide));
    }
    if (bytes.startsWith("\xFF\xFE") && decodeUtf16(bytes, false, &wide)) {
        d.form.encoding = Encoding::Utf16LE;
        return finish(std::move(wide));
    }
    if (bytes.startsWith("\xFE\xFF") && decodeUtf16(bytes, true, &wide)) {
        d.form.encoding = Encoding::Utf16BE;
        return finish(std::move(wide));
    }

    const bool mark = bytes.startsWith("\xEF\xBB\xBF");
    const qsizetype skip = mark ? 3 : 0;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + skip;
    const qsizetype n = bytes.size() - skip;
    // Stateless: an incomplete sequence at the end is an error, not pending input. A
    // second mark right after the first is text (U+FEFF), kept like any character.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(QByteArrayView(p, n));
    if (!utf8.hasError()) {
        d.form.byteOrderMark = mark;
        return finish(std::move(text));
    }
    text = QString();
    const Utf8Census census = takeCensus(p, n);
    // Characters of the stand-in range already in the file would be written back as
    // single bytes: such a file is kept byte for byte as Windows-1252 instead.
    const bool mostlyUtf8 = census.multiByte > 0 && !census.standInsPresent &&
                            (census.multiByte > census.invalid || census.invalid * 1000 <= n);
    if (mostlyUtf8) {
        d.form.byteOrderMark = mark;
        d.form.strayBytes = true;
        d.strayBytes = census.invalid;
        return finish(decodeWithStandIns(p, n));
    }
    d.form.encoding = Encoding::Windows1252;
    return finish(decodeWindows1252(bytes));
}

QString decodeWindows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QString toCrLf(const QString& text) {
    // Fast path: already CR LF everywhere (the common case for files we wrote).
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    bool clean = true;
    for (qsizetype i = 0; i < n && clean; ++i) {
        if (s[i] == u'\r')
            clean = i + 1 < n && s[i + 1] == u'\n' ? (++i, true) : false;
        else if (s[i] == u'\n')
            clean = false;
    }
    if (clean)
        return text;
    QString out;
    out.reserve(n + n / 16 + 2);
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u'\r') {
            out += QLatin1String("\r\n");
            if (i + 1 < n && s[i + 1] == u'\n')
                ++i;
        } else if (s[i] == u'\n') {
            out += QLatin1String("\r\n");
        } else {
            out += s[i];
        }
    }
    return out;
}

bool encodeFileBytes(const QString& text, const FileForm& form, QByteArray* bytes) {
    const Breaks breaks = breaksOf(form);
    switch (form.encoding) {
    case Encoding::Utf8:
        *bytes = encodeUtf8(text, form);
        return true;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        *bytes = encodeUtf16(text, breaks, form.encoding == Encoding::Utf16BE);
        return true;
    case Encoding::Utf32LE:
    case Encoding::Utf32BE:
        *bytes = encodeUtf32(text, breaks, form.encoding == Encoding::Utf32BE);
        return true;
    case Encoding::Windows1252:
        return encodeWindows1252(text, breaks, bytes);
    }
    return false;
}

QByteArray utf8FileBytes(QByteArray utf8, const FileForm& form) {
    if (breaksOf(form) != Breaks::CrLf)
        collapseCrLf(utf8, form.lfLineBreaks ? '\n' : '\r');
    if (form.byteOrderMark)
        utf8.prepend("\xEF\xBB\xBF");
    return utf8;
}

// ---- decoding in pieces --------------------------------------------------------------------

namespace {

// The line breaks of a text, counted character by character.
struct BreakCount {
    qsizetype cr = 0, lf = 0, pairs = 0;
    bool afterCr = false;
    void add(char32_t c) {
        pairs += (c == U'\n') & afterCr;
        cr += c == U'\r';
        lf += c == U'\n';
        afterCr = c == U'\r';
    }
    // Bytes the breaks take in the editor: two for each (a CR LF pair is one break).
    qint64 editorBytes() const { return 2 * qint64(cr + lf - pairs); }
};

int utf8Length(char32_t v) {
    return v < 0x80 ? 1 : v < 0x800 ? 2 : v < 0x10000 ? 3 : 4;
}

// Collects the editor's bytes and hands them on in pieces that end where a character
// ends; every line break goes in as CR LF.
class PieceWriter {
public:
    PieceWriter(const EditorBytesSink& sink, qsizetype pieceSize)
        : sink_(sink), size_(qMax<qsizetype>(pieceSize, 1)),
          // A character (at most four bytes, or a break's two) may pass the size.
          buffer_(size_ + 4, Qt::Uninitialized) {}

    // One byte of ASCII (a CR or LF is a line break).
    void ascii(uchar b) {
        if (b == '\r' || (b == '\n' && !afterCr_)) {
            out()[used_++] = '\r';
            out()[used_++] = '\n';
        } else if (b != '\n') {
            out()[used_++] = char(b);
        }
        afterCr_ = b == '\r';
        done();
    }
    // A character that goes in as these bytes (a stray byte is one).
    void bytes(const uchar* p, int n) {
        std::memcpy(out() + used_, p, size_t(n));
        used_ += n;
        afterCr_ = false;
        done();
    }
    // A character given by its code point, which goes in as its UTF-8.
    void codePoint(char32_t v) {
        if (v < 0x80) {
            ascii(uchar(v));
            return;
        }
        char* o = out() + used_;
        if (v < 0x800) {
            o[0] = char(0xC0 | (v >> 6));
            o[1] = char(0x80 | (v & 0x3F));
        } else if (v < 0x10000) {
            o[0] = char(0xE0 | (v >> 12));
            o[1] = char(0x80 | ((v >> 6) & 0x3F));
            o[2] = char(0x80 | (v & 0x3F));
        } else {
            o[0] = char(0xF0 | (v >> 18));
            o[1] = char(0x80 | ((v >> 12) & 0x3F));
            o[2] = char(0x80 | ((v >> 6) & 0x3F));
            o[3] = char(0x80 | (v & 0x3F));
        }
        used_ += utf8Length(v);
        afterCr_ = false;
        done();
    }
    // Hands on what is left.
    void finish() {
        if (used_ > 0)
            sink_.piece(QByteArrayView(buffer_.constData(), used_));
        used_ = 0;
    }

private:
    char* out() { return buffer_.data(); }
    void done() {
        if (used_ >= size_)
            finish();
    }

    const EditorBytesSink& sink_;
    qsizetype size_;
    QByteArray buffer_;
    qsizetype used_ = 0;
    bool afterCr_ = false;
};

// Calls f(code point) for each UTF-16 unit pair or unit of bytes (the mark left out);
// false when the size is odd or a surrogate is unpaired, the text of no UTF-16 file.
template <class F> bool eachUtf16(QByteArrayView bytes, bool bigEndian, F f) {
    if ((bytes.size() - 2) % 2 != 0)
        return false;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data()) + 2;
    const qsizetype n = (bytes.size() - 2) / 2;
    auto unit = [&](qsizetype i) {
        const uchar* u = p + 2 * i;
        return char16_t(bigEndian ? (u[0] << 8 | u[1]) : (u[1] << 8 | u[0]));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = unit(i);
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= n || !QChar::isLowSurrogate(unit(i + 1)))
                return false;
            f(QChar::surrogateToUcs4(c, unit(i + 1)));
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        } else {
            f(char32_t(c));
        }
    }
    return true;
}

// The same for UTF-32: false when the size is not a multiple of four or a value is no
// character (a surrogate, or past U+10FFFF).
template <class F> bool eachUtf32(QByteArrayView bytes, bool bigEndian, F f) {
    if ((bytes.size() - 4) % 4 != 0)
        return false;
    const char* p = bytes.data() + 4;
    const qsizetype n = (bytes.size() - 4) / 4;
    for (qsizetype i = 0; i < n; ++i, p += 4) {
        const quint32 v = bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
        if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
            return false;
        f(char32_t(v));
    }
    return true;
}

// A wide (UTF-16 or UTF-32) file: checked and measured in a first pass, written in a
// second. False when the bytes are not valid for it.
template <class Each>
bool decodeWideInPieces(Each each, const EditorBytesSink& sink, PieceWriter& writer,
                        DecodedText* d) {
    BreakCount breaks;
    qint64 total = 0;
    const bool valid = each([&](char32_t v) {
        breaks.add(v);
        total += v == U'\r' || v == U'\n' ? 0 : utf8Length(v);
    });
    if (!valid)
        return false;
    d->otherLineBreaks = chooseLineBreaks(breaks.cr, breaks.lf, breaks.pairs, &d->form);
    sink.begin(total + breaks.editorBytes());
    each([&](char32_t v) { writer.codePoint(v); });
    writer.finish();
    return true;
}

} // namespace

DecodedText decodeFileBytesInPieces(QByteArrayView bytes, const EditorBytesSink& sink,
                                    qsizetype pieceSize) {
    DecodedText d;
    PieceWriter writer(sink, pieceSize);
    auto wide = [&](Encoding encoding, bool utf32, bool bigEndian) {
        d.form.encoding = encoding;
        auto each = [&](auto f) {
            return utf32 ? eachUtf32(bytes, bigEndian, f) : eachUtf16(bytes, bigEndian, f);
        };
        if (decodeWideInPieces(each, sink, writer, &d))
            return true;
        d = DecodedText();
        return false;
    };
    if (bytes.startsWith(QByteArrayView("\xFF\xFE\0\0", 4)) && wide(Encoding::Utf32LE, true, false))
        return d;
    if (bytes.startsWith(QByteArrayView("\0\0\xFE\xFF", 4)) && wide(Encoding::Utf32BE, true, true))
        return d;
    if (bytes.startsWith("\xFF\xFE") && wide(Encoding::Utf16LE, false, false))
        return d;
    if (bytes.startsWith("\xFE\xFF") && wide(Encoding::Utf16BE, false, true))
        return d;

    const bool mark = bytes.startsWith("\xEF\xBB\xBF");
    const qsizetype skip = mark ? 3 : 0;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data()) + skip;
    const qsizetype n = bytes.size() - skip;
    const Utf8Census census = takeCensus(p, n);
    // Characters of the stand-in range already in the file would be written back as
    // single bytes: such a file is kept byte for byte as Windows-1252 instead.
    const bool mostlyUtf8 = census.multiByte > 0 && !census.standInsPresent &&
                            (census.multiByte > census.invalid || census.invalid * 1000 <= n);
    if (census.invalid == 0 || mostlyUtf8) {
        // The editor holds the file's bytes as they are (a stray byte too); only the line
        // breaks change, and no CR or LF byte is part of a longer sequence.
        d.form.byteOrderMark = mark;
        d.form.strayBytes = census.invalid > 0;
        d.strayBytes = census.invalid;
        BreakCount breaks;
        qsizetype cr = 0, lf = 0, pairs = 0;
        for (qsizetype i = 0; i < n; ++i) {
            cr += p[i] == '\r';
            lf += p[i] == '\n';
            pairs += (p[i] == '\n') & (i > 0 && p[i - 1] == '\r');
        }
        breaks.cr = cr;
        breaks.lf = lf;
        breaks.pairs = pairs;
        d.otherLineBreaks = chooseLineBreaks(cr, lf, pairs, &d.form);
        sink.begin(n - cr - lf + breaks.editorBytes());
        for (qsizetype i = 0; i < n;) {
            if (p[i] < 0x80) {
                writer.ascii(p[i++]);
                continue;
            }
            const int len = qMax(1, utf8SequenceLength(p + i, n - i));
            writer.bytes(p + i, len);
            i += len;
        }
        writer.finish();
        return d;
    }

    d.form.encoding = Encoding::Windows1252;
    const auto* all = reinterpret_cast<const uchar*>(bytes.data());
    auto character = [](uchar b) {
        return (b >= 0x80 && b < 0xA0) ? char32_t(kCp1252High[b - 0x80]) : char32_t(b);
    };
    BreakCount breaks;
    qint64 total = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char32_t v = character(all[i]);
        breaks.add(v);
        total += v == U'\r' || v == U'\n' ? 0 : utf8Length(v);
    }
    d.otherLineBreaks = chooseLineBreaks(breaks.cr, breaks.lf, breaks.pairs, &d.form);
    sink.begin(total + breaks.editorBytes());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        writer.codePoint(character(all[i]));
    writer.finish();
    return d;
}

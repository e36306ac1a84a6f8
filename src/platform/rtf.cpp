// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf.h"

#include <QHash>
#include <QStringDecoder>
#include <QVector>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace {

// Code page 1252, bytes 0x80..0x9F. The five bytes the code page leaves undefined stand
// for the control characters of the same value, so that every byte means something.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

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

// ---- writer ------------------------------------------------------------------------------

// Font names go into the table without the characters that end or open RTF syntax.
QString cleanFontName(const QString& name) {
    QString out;
    for (QChar c : name)
        if (c != u';' && c != u'{' && c != u'}' && c != u'\\' && c.unicode() >= 0x20)
            out += c;
    return out.trimmed().isEmpty() ? QStringLiteral("Arial") : out.trimmed();
}

class Writer {
public:
    Writer(const RichDocument& doc, const rtf::WriteOptions& options)
        : doc_(doc), text_(doc.text), options_(options) {}

    QString run(const QString& defaultFont, double defaultSize);

private:
    struct Segment {
        int start;
        int end;
        const CharFormat* format;
    };

    void collectSegments();
    void collectTables();
    void switchTo(const CharFormat& f);
    void writeText(int from, int to);
    void writeChar(int i, char16_t c);
    void hex(int byte);
    void fontName(const QString& name);
    void word(const char* w) { out_ += QLatin1String(w); }
    void word(const char* w, long long n) {
        out_ += QLatin1String(w);
        out_ += QString::number(n);
    }
    int fontNumber(const QString& font) const { return font.isEmpty() ? 0 : fonts_.value(font); }
    int colourNumber(BgrColor c) const { return colours_.value(c & 0xFFFFFF); }

    const RichDocument& doc_;
    const QString& text_;
    rtf::WriteOptions options_;
    QVector<Segment> segments_;
    QStringList fontList_;
    QHash<QString, int> fonts_;
    QVector<BgrColor> colourList_;
    QHash<BgrColor, int> colours_;
    CharFormat cur_;
    QString out_;
};

void Writer::collectSegments() {
    static const CharFormat plain;
    const int n = int(text_.size());
    int pos = 0;
    auto add = [this](int a, int b, const CharFormat* f) {
        if (b <= a)
            return;
        if (!segments_.isEmpty() && segments_.last().end == a && *segments_.last().format == *f)
            segments_.last().end = b;
        else
            segments_.append({a, b, f});
    };
    for (const FormatRun& r : doc_.runs) {
        if (r.length <= 0 || r.start < pos || r.start >= n)
            continue;
        add(pos, r.start, &plain);
        const int end = int(std::min<qint64>(qint64(r.start) + r.length, n));
        add(r.start, end, &r.format);
        pos = end;
    }
    add(pos, n, &plain);
}

void Writer::collectTables() {
    for (const Segment& s : segments_) {
        const CharFormat& f = *s.format;
        if (!f.font.isEmpty() && !fonts_.contains(f.font)) {
            fonts_.insert(f.font, int(fontList_.size()) + 1);
            fontList_.append(f.font);
        }
        auto addColour = [this](BgrColor c) {
            c &= 0xFFFFFF;
            if (!colours_.contains(c)) {
                colourList_.append(c);
                colours_.insert(c, int(colourList_.size()));
            }
        };
        if (f.color != 0)
            addColour(f.color);
        if (f.highlight >= 0)
            addColour(f.highlight);
    }
}

void Writer::switchTo(const CharFormat& f) {
    const int before = int(out_.size());
    if (cur_.size > 0 && f.size <= 0) {
        // Only \plain returns to the default size; it resets everything else too.
        word("\\plain");
        cur_ = CharFormat();
    }
    if (f.font != cur_.font)
        word("\\f", fontNumber(f.font));
    if (f.size != cur_.size)
        word("\\fs", std::max(1LL, qRound64(f.size * 2)));
    if (f.bold != cur_.bold)
        word(f.bold ? "\\b" : "\\b0");
    if (f.italic != cur_.italic)
        word(f.italic ? "\\i" : "\\i0");
    if (f.underline != cur_.underline)
        word(f.underline ? "\\ul" : "\\ulnone");
    if ((f.color & 0xFFFFFF) != (cur_.color & 0xFFFFFF))
        word("\\cf", (f.color & 0xFFFFFF) ? colourNumber(f.color) : 0);
    if ((f.highlight < 0) != (cur_.highlight < 0) ||
        (f.highlight >= 0 && (f.highlight & 0xFFFFFF) != (cur_.highlight & 0xFFFFFF)))
        word("\\highlight", f.highlight >= 0 ? colourNumber(f.highlight) : 0);
    if (f.up != cur_.up) {
        if (f.up >= 0)
            word("\\up", f.up);
        else
            word("\\dn", -qint64(f.up));
    }
    if (out_.size() > before)
        out_ += QLatin1Char(' ');
    cur_ = f;
}

void Writer::hex(int byte) {
    static const char digits[] = "0123456789abcdef";
    out_ += QLatin1String("\\'");
    out_ += QLatin1Char(digits[(byte >> 4) & 0xF]);
    out_ += QLatin1Char(digits[byte & 0xF]);
}

void Writer::fontName(const QString& name) {
    for (QChar c : cleanFontName(name)) {
        if (c.unicode() < 0x7F) {
            out_ += c;
        } else {
            word("\\u", qint16(c.unicode()));
            out_ += QLatin1Char('?');
        }
    }
}

void Writer::writeChar(int i, char16_t c) {
    switch (c) {
    case u'\\':
        if (options_.markerStart >= 0 && i + 1 < text_.size() && text_[i + 1] == u'\'')
            hex(0x5C); // keeps "\'9d" and "\'81" from appearing after an escaped backslash
        else
            out_ += QLatin1String("\\\\");
        return;
    case u'{':
        out_ += QLatin1String("\\{");
        return;
    case u'}':
        out_ += QLatin1String("\\}");
        return;
    case u'\t':
        out_ += QLatin1String("\\tab ");
        return;
    default:
        break;
    }
    if (c >= 0x20 && c < 0x7F) {
        out_ += QChar(c);
        return;
    }
    if (c < 0x80) {
        hex(c); // control characters, a lone CR or LF among them
        return;
    }
    int byte = cp1252Byte(c);
    if (byte == 0x9D || byte == 0x81) {
        if (options_.markerStart >= 0 && i != options_.markerStart && i != options_.markerEnd)
            byte = 0;
    }
    if (byte) {
        hex(byte);
        return;
    }
    word("\\u", qint16(c));
    out_ += QLatin1Char('?');
}

void Writer::writeText(int from, int to) {
    const QChar* t = text_.constData();
    for (int i = from; i < to; ++i) {
        const char16_t c = t[i].unicode();
        if (c == u'\r' && i + 1 < to && t[i + 1] == u'\n') {
            out_ += QLatin1String("\\par\r\n");
            ++i;
            continue;
        }
        // Plain printable stretches are copied in one piece.
        if (c >= 0x20 && c < 0x7F && c != u'\\' && c != u'{' && c != u'}') {
            int j = i + 1;
            while (j < to) {
                const char16_t d = t[j].unicode();
                if (d < 0x20 || d >= 0x7F || d == u'\\' || d == u'{' || d == u'}')
                    break;
                ++j;
            }
            out_.append(t + i, j - i);
            i = j - 1;
            continue;
        }
        writeChar(i, c);
    }
}

QString Writer::run(const QString& defaultFont, double defaultSize) {
    collectSegments();
    collectTables();
    out_.reserve(text_.size() + text_.size() / 8 + segments_.size() * 16 + 256);

    word("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil ");
    fontName(defaultFont);
    word(";}");
    for (int k = 0; k < fontList_.size(); ++k) {
        word("{\\f", k + 1);
        word("\\fnil ");
        fontName(fontList_[k]);
        word(";}");
    }
    word("}\r\n");
    if (!colourList_.isEmpty()) {
        word("{\\colortbl ;");
        for (BgrColor c : colourList_) {
            word("\\red", bgrRed(c));
            word("\\green", bgrGreen(c));
            word("\\blue", bgrBlue(c));
            out_ += QLatin1Char(';');
        }
        word("}\r\n");
    }
    if (defaultSize > 0)
        word("{\\*\\defchp \\fs", std::max(1LL, qRound64(defaultSize * 2)));
    if (defaultSize > 0)
        word("}\r\n");
    word("\\viewkind4\\uc1\\pard ");

    for (const Segment& s : segments_) {
        switchTo(*s.format);
        writeText(s.start, s.end);
    }
    word("}\r\n");
    return out_;
}

// ---- reader ------------------------------------------------------------------------------

enum class Dest { Text, FontTable, ColorTable, Skip };

enum class Kw {
    Unknown,
    Par,
    Tab,
    Cell,
    Row,
    Emdash,
    Endash,
    Bullet,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
    Emspace,
    Enspace,
    Qmspace,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Cf,
    Highlight,
    Font,
    FontSize,
    Up,
    Dn,
    U,
    Uc,
    Bin,
    Ansi,
    Mac,
    Pc,
    Pca,
    Ansicpg,
    Deff,
    Fcharset,
    Red,
    Green,
    Blue,
    FontTable,
    ColorTable,
    SkipDest,
};

const std::unordered_map<std::string_view, Kw>& keywords() {
    static const std::unordered_map<std::string_view, Kw> map = {
        {"par", Kw::Par},
        {"line", Kw::Par},
        {"sect", Kw::Par},
        {"page", Kw::Par},
        {"row", Kw::Par},
        {"nestrow", Kw::Par},
        {"tab", Kw::Tab},
        {"cell", Kw::Cell},
        {"nestcell", Kw::Cell},
        {"emdash", Kw::Emdash},
        {"endash", Kw::Endash},
        {"bullet", Kw::Bullet},
        {"lquote", Kw::Lquote},
        {"rquote", Kw::Rquote},
        {"ldblquote", Kw::Ldblquote},
        {"rdblquote", Kw::Rdblquote},
        {"emspace", Kw::Emspace},
        {"enspace", Kw::Enspace},
        {"qmspace", Kw::Qmspace},
        {"plain", Kw::Plain},
        {"b", Kw::Bold},
        {"i", Kw::Italic},
        {"ul", Kw::Underline},
        {"uld", Kw::Underline},
        {"uldash", Kw::Underline},
        {"uldashd", Kw::Underline},
        {"uldashdd", Kw::Underline},
        {"uldb", Kw::Underline},
        {"ulth", Kw::Underline},
        {"ulw", Kw::Underline},
        {"ulwave", Kw::Underline},
        {"ulhwave", Kw::Underline},
        {"ululdbwave", Kw::Underline},
        {"ulldash", Kw::Underline},
        {"ulnone", Kw::UnderlineNone},
        {"cf", Kw::Cf},
        {"highlight", Kw::Highlight},
        {"cb", Kw::Highlight},
        {"chcbpat", Kw::Highlight},
        {"f", Kw::Font},
        {"fs", Kw::FontSize},
        {"up", Kw::Up},
        {"dn", Kw::Dn},
        {"u", Kw::U},
        {"uc", Kw::Uc},
        {"bin", Kw::Bin},
        {"ansi", Kw::Ansi},
        {"mac", Kw::Mac},
        {"pc", Kw::Pc},
        {"pca", Kw::Pca},
        {"ansicpg", Kw::Ansicpg},
        {"deff", Kw::Deff},
        {"fcharset", Kw::Fcharset},
        {"red", Kw::Red},
        {"green", Kw::Green},
        {"blue", Kw::Blue},
        {"fonttbl", Kw::FontTable},
        {"colortbl", Kw::ColorTable},
        // Destinations that hold no text of the document.
        {"pict", Kw::SkipDest},
        {"stylesheet", Kw::SkipDest},
        {"info", Kw::SkipDest},
        {"header", Kw::SkipDest},
        {"headerl", Kw::SkipDest},
        {"headerr", Kw::SkipDest},
        {"headerf", Kw::SkipDest},
        {"footer", Kw::SkipDest},
        {"footerl", Kw::SkipDest},
        {"footerr", Kw::SkipDest},
        {"footerf", Kw::SkipDest},
        {"footnote", Kw::SkipDest},
        {"annotation", Kw::SkipDest},
        {"atnid", Kw::SkipDest},
        {"atnauthor", Kw::SkipDest},
        {"fldinst", Kw::SkipDest},
        {"xe", Kw::SkipDest},
        {"tc", Kw::SkipDest},
        {"txe", Kw::SkipDest},
        {"rxe", Kw::SkipDest},
        {"bkmkstart", Kw::SkipDest},
        {"bkmkend", Kw::SkipDest},
        {"pn", Kw::SkipDest},
        {"pntxta", Kw::SkipDest},
        {"pntxtb", Kw::SkipDest},
        {"listtable", Kw::SkipDest},
        {"listoverridetable", Kw::SkipDest},
        {"revtbl", Kw::SkipDest},
        {"rsidtbl", Kw::SkipDest},
        {"filetbl", Kw::SkipDest},
        {"private", Kw::SkipDest},
        {"template", Kw::SkipDest},
        {"objdata", Kw::SkipDest},
        {"objclass", Kw::SkipDest},
        {"objname", Kw::SkipDest},
        {"nonshppict", Kw::SkipDest},
        {"shpinst", Kw::SkipDest},
        {"sp", Kw::SkipDest},
        {"sn", Kw::SkipDest},
        {"sv", Kw::SkipDest},
        {"themedata", Kw::SkipDest},
        {"colorschememapping", Kw::SkipDest},
        {"latentstyles", Kw::SkipDest},
        {"datastore", Kw::SkipDest},
        {"xmlnstbl", Kw::SkipDest},
        {"generator", Kw::SkipDest},
        {"userprops", Kw::SkipDest},
        {"docvar", Kw::SkipDest},
        {"mmathPr", Kw::SkipDest},
        {"defchp", Kw::SkipDest},
        {"defpap", Kw::SkipDest},
        {"pgdsctbl", Kw::SkipDest},
    };
    return map;
}

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

// The code page a font's character set stands for (0: the document's own).
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

class Reader {
public:
    explicit Reader(const QString& src) : src_(src.constData()), n_(src.size()) {}
    RichDocument run();

private:
    struct State {
        CharFormat format;
        Dest dest = Dest::Text;
        int uc = 1;
        int codePage = 0; // 0: the document's code page
    };

    void pushGroup();
    void popGroup();
    void controlWord(std::string_view name, bool hasParam, int param);
    void controlSymbol(QChar c);
    void emitChars(const QChar* s, qsizetype len);
    void emitChar(char16_t c) {
        const QChar q(c);
        emitChars(&q, 1);
    }
    void emitLineBreak() {
        static const QChar crlf[2] = {QChar(u'\r'), QChar(u'\n')};
        emitChars(crlf, 2);
    }
    void emitByte(unsigned char b);
    void flushBytes();
    const ByteDecoder& decoder(int codePage);
    void formatChanged() { formatDirty_ = true; }
    void commitFont();
    void commitColour();
    QString fontName(int number) const;
    BgrColor colourAt(int index, BgrColor none) const;
    bool skipFallback();

    const QChar* src_;
    qsizetype n_;
    qsizetype i_ = 0;

    QVector<State> stack_;
    int overflow_ = 0; // groups opened beyond kMaxDepth, skipped whole
    int fallback_ = 0; // characters still to skip after \uN
    bool ignorable_ = false;

    int docCodePage_ = 1252;
    int defaultFont_ = 0;
    QHash<int, QString> fonts_;
    QHash<int, int> fontCodePages_;
    int tableFont_ = 0;
    QString tableFontName_;
    int tableCharset_ = -1;     // none given
    QVector<BgrColor> colours_; // -1 for the automatic colour
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourSet_ = false;

    std::unordered_map<int, std::unique_ptr<ByteDecoder>> decoders_;
    QByteArray pendingBytes_;
    int pendingCodePage_ = 0;

    RichDocument doc_;
    bool formatDirty_ = true;
};

const ByteDecoder& Reader::decoder(int codePage) {
    auto it = decoders_.find(codePage);
    if (it != decoders_.end())
        return *it->second;
    // A hostile document may name any number of code pages: keep a handful.
    if (decoders_.size() >= 16)
        codePage = 28591; // Latin-1 (no name known for it: the table stays Latin-1)
    auto& slot = decoders_[codePage];
    if (!slot)
        slot = std::make_unique<ByteDecoder>(codePage);
    return *slot;
}

QString Reader::fontName(int number) const {
    if (number == defaultFont_)
        return QString();
    return fonts_.value(number);
}

BgrColor Reader::colourAt(int index, BgrColor none) const {
    if (index < 0 || index >= colours_.size() || colours_[index] < 0)
        return none;
    return colours_[index];
}

void Reader::pushGroup() {
    flushBytes();
    if (overflow_ > 0 || stack_.size() >= rtf::kMaxDepth) {
        ++overflow_;
        return;
    }
    if (stack_.isEmpty())
        stack_.append(State());
    else
        stack_.append(State(stack_.last()));
    formatChanged();
}

void Reader::popGroup() {
    flushBytes();
    fallback_ = 0;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (stack_.isEmpty())
        return;
    const Dest closed = stack_.last().dest;
    stack_.removeLast();
    if (closed == Dest::FontTable)
        commitFont(); // the end of a "{\fN name;}" entry or of the table
    else if (closed == Dest::ColorTable && colourSet_)
        commitColour();
    formatChanged();
}

void Reader::commitFont() {
    const QString name = tableFontName_.trimmed();
    if (!name.isEmpty() && !fonts_.contains(tableFont_)) {
        fonts_.insert(tableFont_, name);
        if (const int cp = charsetCodePage(tableCharset_))
            fontCodePages_.insert(tableFont_, cp);
    }
    tableFontName_.clear();
    tableCharset_ = -1;
}

void Reader::commitColour() {
    colours_.append(colourSet_ ? bgr(red_, green_, blue_) : -1);
    red_ = green_ = blue_ = 0;
    colourSet_ = false;
}

void Reader::flushBytes() {
    if (pendingBytes_.isEmpty())
        return;
    const QString s = decoder(pendingCodePage_).decode(pendingBytes_);
    pendingBytes_.clear();
    emitChars(s.constData(), s.size());
}

void Reader::emitByte(unsigned char b) {
    if (stack_.isEmpty() || overflow_ > 0)
        return;
    const State& st = stack_.last();
    if (st.dest == Dest::Skip)
        return;
    const int cp = st.codePage ? st.codePage : docCodePage_;
    const ByteDecoder& d = decoder(cp);
    if (!d.multiByte()) {
        flushBytes();
        emitChar(d.single(b));
        return;
    }
    if (!pendingBytes_.isEmpty() && pendingCodePage_ != cp)
        flushBytes();
    pendingCodePage_ = cp;
    pendingBytes_.append(char(b));
}

void Reader::emitChars(const QChar* s, qsizetype len) {
    if (stack_.isEmpty() || overflow_ > 0 || len <= 0)
        return;
    State& st = stack_.last();
    switch (st.dest) {
    case Dest::Skip:
        return;
    case Dest::FontTable:
        for (qsizetype k = 0; k < len; ++k) {
            if (s[k] == u';')
                commitFont();
            else if (tableFontName_.size() < 256)
                tableFontName_ += s[k];
        }
        return;
    case Dest::ColorTable:
        for (qsizetype k = 0; k < len; ++k)
            if (s[k] == u';')
                commitColour();
        return;
    case Dest::Text:
        break;
    }
    const int at = int(doc_.text.size());
    if (qsizetype(at) + len > std::numeric_limits<int>::max() / 2)
        return;
    doc_.text.append(s, len);
    if (formatDirty_) {
        formatDirty_ = false;
        if (doc_.runs.isEmpty() || doc_.runs.last().format != st.format) {
            doc_.runs.append(FormatRun{at, 0, st.format});
        }
    }
    doc_.runs.last().length += int(len);
}

// Consumes one character of the fallback text after \uN; true when it did.
bool Reader::skipFallback() {
    if (fallback_ <= 0)
        return false;
    --fallback_;
    return true;
}

void Reader::controlSymbol(QChar c) {
    switch (c.unicode()) {
    case u'\\':
    case u'{':
    case u'}':
        flushBytes();
        emitChar(c.unicode());
        break;
    case u'~':
        flushBytes();
        emitChar(0x00A0);
        break;
    case u'_':
        flushBytes();
        emitChar(0x2011);
        break;
    case u'\r':
    case u'\n':
        flushBytes();
        emitLineBreak();
        break;
    case u'*':
        ignorable_ = true;
        return;
    default:
        break; // \- \: \| and the unknown ones
    }
    ignorable_ = false;
}

void Reader::controlWord(std::string_view name, bool hasParam, int param) {
    const auto& map = keywords();
    const auto it = map.find(name);
    const Kw kw = it == map.end() ? Kw::Unknown : it->second;
    const bool ignorable = ignorable_;
    ignorable_ = false;
    if (kw == Kw::Bin) {
        // Binary data follows the word's delimiter, wherever it stands; it is never text.
        const qint64 len = hasParam ? std::max(0, param) : 0;
        i_ = qsizetype(std::min<qint64>(n_, qint64(i_) + len));
        return;
    }
    if (stack_.isEmpty() || overflow_ > 0)
        return;
    State& st = stack_.last();
    flushBytes();
    if (ignorable && kw != Kw::FontTable && kw != Kw::ColorTable) {
        st.dest = Dest::Skip; // an ignorable destination we do not know
        return;
    }
    const auto on = [&] { return !hasParam || param != 0; };
    switch (kw) {
    case Kw::Unknown:
        return;
    case Kw::FontTable:
        if (st.dest != Dest::Skip)
            st.dest = Dest::FontTable;
        return;
    case Kw::ColorTable:
        if (st.dest != Dest::Skip) {
            st.dest = Dest::ColorTable;
            colours_.clear();
            colourSet_ = false;
            red_ = green_ = blue_ = 0;
        }
        return;
    case Kw::SkipDest:
        st.dest = Dest::Skip;
        return;
    case Kw::Ansi:
        docCodePage_ = 1252;
        return;
    case Kw::Mac:
        docCodePage_ = 10000;
        return;
    case Kw::Pc:
        docCodePage_ = 437;
        return;
    case Kw::Pca:
        docCodePage_ = 850;
        return;
    case Kw::Ansicpg:
        if (hasParam && param > 0)
            docCodePage_ = param;
        return;
    case Kw::Deff:
        if (hasParam)
            defaultFont_ = param;
        return;
    case Kw::Uc:
        st.uc = hasParam ? std::clamp(param, 0, 64) : 1;
        return;
    case Kw::Red:
    case Kw::Green:
    case Kw::Blue:
        if (st.dest == Dest::ColorTable) {
            const int v = hasParam ? std::clamp(param, 0, 255) : 0;
            (kw == Kw::Red ? red_ : kw == Kw::Green ? green_ : blue_) = v;
            colourSet_ = true;
        }
        return;
    case Kw::Fcharset:
        if (st.dest == Dest::FontTable && hasParam)
            tableCharset_ = param;
        return;
    default:
        break;
    }

    if (st.dest == Dest::FontTable) {
        if (kw == Kw::Font && hasParam) {
            if (!tableFontName_.trimmed().isEmpty())
                commitFont();
            tableFont_ = param;
            tableFontName_.clear();
            tableCharset_ = -1;
        }
        return;
    }
    if (st.dest != Dest::Text)
        return;

    CharFormat& f = st.format;
    switch (kw) {
    case Kw::Par:
        emitLineBreak();
        return;
    case Kw::Tab:
    case Kw::Cell:
        emitChar(u'\t');
        return;
    case Kw::Emdash:
        emitChar(0x2014);
        return;
    case Kw::Endash:
        emitChar(0x2013);
        return;
    case Kw::Bullet:
        emitChar(0x2022);
        return;
    case Kw::Lquote:
        emitChar(0x2018);
        return;
    case Kw::Rquote:
        emitChar(0x2019);
        return;
    case Kw::Ldblquote:
        emitChar(0x201C);
        return;
    case Kw::Rdblquote:
        emitChar(0x201D);
        return;
    case Kw::Emspace:
        emitChar(0x2003);
        return;
    case Kw::Enspace:
        emitChar(0x2002);
        return;
    case Kw::Qmspace:
        emitChar(0x2005);
        return;
    case Kw::U: {
        if (!hasParam)
            return;
        emitChar(char16_t(param < 0 ? param + 65536 : param));
        fallback_ = st.uc;
        return;
    }
    case Kw::Plain:
        f = CharFormat();
        st.codePage = 0;
        break;
    case Kw::Bold:
        f.bold = on();
        break;
    case Kw::Italic:
        f.italic = on();
        break;
    case Kw::Underline:
        f.underline = on();
        break;
    case Kw::UnderlineNone:
        f.underline = false;
        break;
    case Kw::Cf:
        f.color = colourAt(hasParam ? param : 0, 0);
        break;
    case Kw::Highlight:
        f.highlight = colourAt(hasParam ? param : 0, -1);
        break;
    case Kw::Font:
        if (hasParam) {
            f.font = fontName(param);
            st.codePage = fontCodePages_.value(param, 0);
        }
        break;
    case Kw::FontSize: {
        const int half = hasParam ? std::clamp(param, 0, 3276) : 24;
        f.size = half / 2.0;
        break;
    }
    case Kw::Up:
        f.up = hasParam ? std::clamp(param, -1000, 1000) : 6;
        break;
    case Kw::Dn:
        f.up = -(hasParam ? std::clamp(param, -1000, 1000) : 6);
        break;
    default:
        return;
    }
    formatChanged();
}

RichDocument Reader::run() {
    doc_.text.reserve(std::min<qsizetype>(n_, 1 << 26));
    while (i_ < n_) {
        const char16_t c = src_[i_].unicode();
        if (c == u'{' || c == u'}') {
            ++i_;
            fallback_ = 0;
            ignorable_ = false;
            if (c == u'{')
                pushGroup();
            else
                popGroup();
            continue;
        }
        if (c == u'\\') {
            ++i_;
            if (i_ >= n_)
                break;
            const char16_t d = src_[i_].unicode();
            if ((d >= u'a' && d <= u'z') || (d >= u'A' && d <= u'Z')) {
                char name[33];
                int len = 0;
                while (i_ < n_) {
                    const char16_t e = src_[i_].unicode();
                    if (!((e >= u'a' && e <= u'z') || (e >= u'A' && e <= u'Z')))
                        break;
                    if (len < 32)
                        name[len] = char(e);
                    ++len;
                    ++i_;
                }
                bool hasParam = false;
                bool negative = false;
                qint64 value = 0;
                if (i_ + 1 < n_ && src_[i_] == u'-' && src_[i_ + 1].unicode() >= u'0' &&
                    src_[i_ + 1].unicode() <= u'9') {
                    negative = true;
                    ++i_;
                }
                while (i_ < n_ && src_[i_].unicode() >= u'0' && src_[i_].unicode() <= u'9') {
                    hasParam = true;
                    if (value < 100000000000LL)
                        value = value * 10 + (src_[i_].unicode() - u'0');
                    ++i_;
                }
                if (i_ < n_ && src_[i_] == u' ')
                    ++i_;
                const int param =
                    int(std::clamp<qint64>(negative ? -value : value, -2147483647LL, 2147483647LL));
                const std::string_view word =
                    len <= 32 ? std::string_view(name, size_t(len)) : std::string_view();
                const bool isBin = word == "bin";
                if (!isBin && skipFallback())
                    continue; // a control word counts as one character of the fallback
                controlWord(word, hasParam, param);
                continue;
            }
            if (d == u'\'') {
                ++i_;
                int byte = 0;
                int digits = 0;
                while (digits < 2 && i_ < n_) {
                    const char16_t h = src_[i_].unicode();
                    int v;
                    if (h >= u'0' && h <= u'9')
                        v = h - u'0';
                    else if (h >= u'a' && h <= u'f')
                        v = h - u'a' + 10;
                    else if (h >= u'A' && h <= u'F')
                        v = h - u'A' + 10;
                    else
                        break;
                    byte = byte * 16 + v;
                    ++digits;
                    ++i_;
                }
                ignorable_ = false;
                if (digits == 0 || skipFallback())
                    continue;
                emitByte(static_cast<unsigned char>(byte));
                continue;
            }
            ++i_;
            if (d != u'*' && skipFallback())
                continue;
            controlSymbol(QChar(d));
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            ++i_;
            continue;
        }
        ignorable_ = false;
        if (skipFallback()) {
            ++i_;
            continue;
        }
        if (c >= 0x80 && c <= 0xFF) {
            emitByte(static_cast<unsigned char>(c));
            ++i_;
            continue;
        }
        if (c < 0x20 && c != u'\t') {
            ++i_;
            continue;
        }
        // A stretch of plain characters goes in one piece.
        qsizetype j = i_ + 1;
        while (j < n_) {
            const char16_t e = src_[j].unicode();
            if (e == u'{' || e == u'}' || e == u'\\' || e < 0x20 || (e >= 0x80 && e <= 0xFF))
                break;
            ++j;
        }
        flushBytes();
        emitChars(src_ + i_, j - i_);
        i_ = j;
    }
    flushBytes();
    return std::move(doc_);
}

} // namespace

namespace rtf {

QString write(const RichDocument& doc, const QString& defaultFont, double defaultSize) {
    return write(doc, defaultFont, defaultSize, WriteOptions());
}

QString write(const RichDocument& doc, const QString& defaultFont, double defaultSize,
              const WriteOptions& options) {
    return Writer(doc, options).run(defaultFont, defaultSize);
}

RichDocument read(const QString& rtfText) {
    return Reader(rtfText).run();
}

} // namespace rtf

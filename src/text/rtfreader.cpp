// SPDX-License-Identifier: GPL-3.0-or-later
// The rich-text reader: RTF into a document and its formats, linear in the input and safe
// with malformed input.
#include "text/rtf.h"

#include <QHash>
#include <QStringDecoder>
#include <QVector>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>

#include "text/codepage.h"
#include "text/rtfkeywords.h"

namespace {

using codepage::ByteDecoder;
using codepage::charsetCodePage;
using rtf::Kw;

enum class Dest { Text, FontTable, ColorTable, Skip };

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
    const Kw kw = rtf::keyword(name);
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

RichDocument read(const QString& rtfText) {
    return Reader(rtfText).run();
}

} // namespace rtf

// SPDX-License-Identifier: GPL-3.0-or-later
#include "checker/tokenizer.h"

#include "checker/text.h"
#include "htmldata/htmldata.h"

namespace checker {
namespace {

bool isHexDigit(char16_t c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char16_t c) {
    if (isDigit(c))
        return c - '0';
    return (c | 32) - 'a' + 10;
}

// Whether `s` at `pos` starts with the ASCII `word`, ignoring the case of letters.
bool startsWithFolded(const char16_t* s, qsizetype n, qsizetype pos, const char* word) {
    for (qsizetype k = 0; word[k]; ++k)
        if (pos + k >= n || toLower(s[pos + k]) != char16_t(word[k]))
            return false;
    return true;
}

bool startsWith(const char16_t* s, qsizetype n, qsizetype pos, const char* word) {
    for (qsizetype k = 0; word[k]; ++k)
        if (pos + k >= n || s[pos + k] != char16_t(word[k]))
            return false;
    return true;
}

QString numericProblem(char32_t value) {
    if (value == 0)
        return QStringLiteral("stands for the null character");
    if (value > 0x10FFFF)
        return QStringLiteral("is beyond the last Unicode code point (10FFFF)");
    if (value >= 0xD800 && value <= 0xDFFF)
        return QStringLiteral("stands for a lone surrogate");
    if ((value >= 0xFDD0 && value <= 0xFDEF) || (value & 0xFFFE) == 0xFFFE)
        return QStringLiteral("stands for a noncharacter");
    if (value == 0x0D || (value < 0x20 && value != 0x09 && value != 0x0A && value != 0x0C) ||
        (value >= 0x7F && value <= 0x9F))
        return QStringLiteral("stands for a control character");
    return {};
}

} // namespace

const Attribute* Token::attribute(const char16_t* lowerName) const {
    for (int i = 0; i < attributeCount; ++i)
        if (attributes[size_t(i)].name == lowerName)
            return &attributes[size_t(i)];
    return nullptr;
}

Tokenizer::Tokenizer(QStringView text, Report& report)
    : m_text(text), m_s(reinterpret_cast<const char16_t*>(text.utf16())), m_n(text.size()),
      m_report(report) {
    // A byte-order mark is not part of the page.
    if (m_n > 0 && m_s[0] == 0xFEFF)
        m_pos = 1;
}

void Tokenizer::setContent(Content content, const std::u16string& endTagName) {
    m_content = content;
    m_endTagName = endTagName;
}

void Tokenizer::next(Token& token) {
    if (m_content != Content::Data) {
        readRawText(token);
        return;
    }
    const char16_t* s = m_s;
    const qsizetype n = m_n;
    const qsizetype start = m_pos;
    qsizetype i = start;
    while (i < n) {
        const char16_t c = s[i];
        if (c == '<') {
            if (markupStartsAt(i))
                break;
            m_report.add(RuleId::UnescapedLessThan, i, 1,
                         QStringLiteral("\"<\" does not start a tag here; write &lt;"));
            ++i;
        } else if (c == '&') {
            i = characterReference(i, n, false);
        } else {
            ++i;
        }
    }
    if (i > start) {
        m_pos = i;
        characters(token, start, i);
        return;
    }
    if (i >= n) {
        token.type = Token::EndOfFile;
        token.offset = token.end = n;
        return;
    }
    readMarkup(token);
}

bool Tokenizer::markupStartsAt(qsizetype pos) const {
    if (pos + 1 >= m_n)
        return false;
    const char16_t c = m_s[pos + 1];
    if (isAlpha(c) || c == '!' || c == '?')
        return true;
    return c == '/' && pos + 2 < m_n;
}

void Tokenizer::readMarkup(Token& token) {
    const qsizetype start = m_pos;
    const char16_t c = m_s[start + 1];
    if (c == '!') {
        if (startsWith(m_s, m_n, start + 2, "--"))
            return readComment(token, start);
        if (startsWithFolded(m_s, m_n, start + 2, "doctype"))
            return readDoctype(token, start);
        if (m_cdataAllowed && startsWith(m_s, m_n, start + 2, "[CDATA["))
            return readCdata(token, start);
        m_report.add(RuleId::BogusComment, start, 2,
                     QStringLiteral("\"<!\" must start a comment (<!--) or the doctype"));
        return readBogusComment(token, start, start + 2);
    }
    if (c == '?') {
        m_report.add(RuleId::BogusComment, start, 2,
                     QStringLiteral("\"<?\" starts a processing instruction, which HTML does not "
                                    "have; it is read as a comment"));
        return readBogusComment(token, start, start + 2);
    }
    if (c == '/') {
        const char16_t d = m_s[start + 2];
        if (isAlpha(d))
            return readTag(token, true);
        if (d == '>') {
            m_report.add(RuleId::BadTag, start, 3,
                         QStringLiteral("\"</>\" has no element name and is ignored"));
            m_pos = start + 3;
            return next(token);
        }
        m_report.add(RuleId::BogusComment, start, 2,
                     QStringLiteral("\"</\" must be followed by an element name; it is read as a "
                                    "comment"));
        return readBogusComment(token, start, start + 2);
    }
    readTag(token, false);
}

void Tokenizer::readTag(Token& token, bool endTag) {
    const char16_t* s = m_s;
    const qsizetype n = m_n;
    const qsizetype start = m_pos;
    qsizetype i = start + (endTag ? 2 : 1);
    token.type = endTag ? Token::EndTag : Token::StartTag;
    token.offset = start;
    token.name.clear();
    token.attributeCount = 0;
    token.selfClosing = false;
    while (i < n && !isSpace(s[i]) && s[i] != '/' && s[i] != '>') {
        token.name += s[i] ? toLower(s[i]) : char16_t(0xFFFD);
        ++i;
    }
    bool reportedSyntax = false;
    const auto syntax = [&](qsizetype at, qsizetype length, const QString& message) {
        if (!reportedSyntax)
            m_report.add(RuleId::BadTag, at, length, message);
        reportedSyntax = true;
    };
    for (;;) {
        while (i < n && isSpace(s[i]))
            ++i;
        if (i >= n)
            break;
        char16_t c = s[i];
        if (c == '>') {
            ++i;
            token.end = i;
            m_pos = i;
            if (endTag && (token.attributeCount > 0 || token.selfClosing))
                m_report.add(RuleId::BadTag, start, i - start,
                             QStringLiteral("An end tag has no attributes and no \"/\" before "
                                            "\">\""));
            return;
        }
        if (c == '/') {
            ++i;
            if (i >= n)
                break;
            if (s[i] == '>') {
                token.selfClosing = true;
                continue;
            }
            syntax(i - 1, 1, QStringLiteral("Stray \"/\" inside a tag"));
            continue;
        }
        if (size_t(token.attributeCount) == token.attributes.size())
            token.attributes.emplace_back();
        Attribute& a = token.attributes[size_t(token.attributeCount)];
        a.name.clear();
        a.nameOffset = i;
        a.valueOffset = a.valueEnd = -1;
        if (c == '=') {
            syntax(i, 1, QStringLiteral("\"=\" without an attribute name before it"));
            a.name += c;
            ++i;
        }
        bool oddName = false;
        while (i < n) {
            c = s[i];
            if (isSpace(c) || c == '/' || c == '>' || c == '=')
                break;
            if (c == '"' || c == '\'' || c == '<')
                oddName = true;
            a.name += c ? toLower(c) : char16_t(0xFFFD);
            ++i;
        }
        if (oddName)
            syntax(a.nameOffset, i - a.nameOffset,
                   QStringLiteral("Attribute name \"%1\" holds a quote or \"<\": a quote or a "
                                  "space is missing")
                       .arg(toQString(a.name)));
        a.end = i;
        qsizetype j = i;
        while (j < n && isSpace(s[j]))
            ++j;
        if (j < n && s[j] == '=') {
            i = j + 1;
            while (i < n && isSpace(s[i]))
                ++i;
            if (i >= n)
                break;
            c = s[i];
            if (c == '"' || c == '\'') {
                qsizetype q = i + 1;
                while (q < n && s[q] != c)
                    ++q;
                if (q >= n) {
                    i = n;
                    break;
                }
                a.valueOffset = i + 1;
                a.valueEnd = q;
                for (qsizetype k = i + 1; k < q;) {
                    if (s[k] == '&')
                        k = characterReference(k, q, true);
                    else
                        ++k;
                }
                i = q + 1;
                a.end = i;
                if (i < n && !isSpace(s[i]) && s[i] != '/' && s[i] != '>')
                    syntax(i, 1, QStringLiteral("No space between two attributes"));
            } else if (c == '>') {
                syntax(a.nameOffset, i - a.nameOffset,
                       QStringLiteral("Attribute \"%1\" has \"=\" but no value")
                           .arg(toQString(a.name)));
                a.valueOffset = a.valueEnd = i;
                a.end = i;
            } else {
                qsizetype v = i;
                while (v < n && !isSpace(s[v]) && s[v] != '>')
                    ++v;
                for (qsizetype k = i; k < v;) {
                    const char16_t d = s[k];
                    if (d == '&') {
                        k = characterReference(k, v, true);
                        continue;
                    }
                    if (d == '"' || d == '\'' || d == '<' || d == '=' || d == '`')
                        syntax(k, 1,
                               QStringLiteral("Unquoted attribute value holds \"%1\"; put the "
                                              "value in quotes")
                                   .arg(QChar(d)));
                    ++k;
                }
                a.valueOffset = i;
                a.valueEnd = v;
                i = v;
                a.end = i;
            }
        } else {
            i = j;
        }
        bool duplicate = false;
        for (int k = 0; k < token.attributeCount && !duplicate; ++k)
            duplicate = token.attributes[size_t(k)].name == a.name;
        if (duplicate)
            m_report.add(RuleId::DuplicateAttribute, a.nameOffset, a.end - a.nameOffset,
                         QStringLiteral("Duplicate attribute \"%1\"; browsers ignore this one")
                             .arg(toQString(a.name)));
        else
            ++token.attributeCount;
    }
    // The end of the page inside the tag: browsers drop the tag and what follows it.
    const QString shown =
        (endTag ? QStringLiteral("</") : QStringLiteral("<")) + toQString(token.name);
    m_report.add(RuleId::EofInTag, start, qMin<qsizetype>(shown.size(), n - start),
                 QStringLiteral("The page ends inside the tag %1 (a \">\" or a closing quote is "
                                "missing)")
                     .arg(shown));
    m_pos = n;
    token.type = Token::EndOfFile;
    token.offset = token.end = n;
}

void Tokenizer::readComment(Token& token, qsizetype start) {
    enum State {
        Start,
        StartDash,
        Body,
        LessThan,
        Bang,
        BangDash,
        BangDashDash,
        EndDash,
        End,
        EndBang
    };
    const char16_t* s = m_s;
    const qsizetype n = m_n;
    State state = Start;
    bool nested = false;
    const auto finish = [&](qsizetype end) {
        token.type = Token::Comment;
        token.offset = start;
        token.end = end;
        m_pos = end;
    };
    for (qsizetype i = start + 4; i < n; ++i) {
        const char16_t c = s[i];
        switch (state) {
        case Start:
        case StartDash:
            if (c == '-' && state == Start) {
                state = StartDash;
            } else if (c == '-') {
                state = End;
            } else if (c == '>') {
                m_report.add(RuleId::BadComment, start, i + 1 - start,
                             QStringLiteral("\"%1\" closes the comment at once; an empty comment "
                                            "is <!---->")
                                 .arg(m_text.mid(start, i + 1 - start).toString()));
                return finish(i + 1);
            } else {
                state = Body;
                --i;
            }
            break;
        case Body:
            while (i < n && s[i] != '<' && s[i] != '-')
                ++i;
            if (i < n)
                state = s[i] == '<' ? LessThan : EndDash;
            break;
        case LessThan:
            if (c == '!')
                state = Bang;
            else if (c != '<') {
                state = Body;
                --i;
            }
            break;
        case Bang:
            state = c == '-' ? BangDash : Body;
            if (c != '-')
                --i;
            break;
        case BangDash:
            state = c == '-' ? BangDashDash : EndDash;
            if (c != '-')
                --i;
            break;
        case BangDashDash:
            if (c != '>' && !nested) {
                nested = true;
                m_report.add(RuleId::BadComment, i - 4, 4,
                             QStringLiteral("\"<!--\" inside a comment: comments do not nest"));
            }
            state = End;
            --i;
            break;
        case EndDash:
            state = c == '-' ? End : Body;
            if (c != '-')
                --i;
            break;
        case End:
            if (c == '>')
                return finish(i + 1);
            if (c == '!')
                state = EndBang;
            else if (c != '-') {
                state = Body;
                --i;
            }
            break;
        case EndBang:
            if (c == '-') {
                state = EndDash;
            } else if (c == '>') {
                m_report.add(RuleId::BadComment, i - 3, 4,
                             QStringLiteral("A comment ends with \"-->\", not \"--!>\""));
                return finish(i + 1);
            } else {
                state = Body;
                --i;
            }
            break;
        }
    }
    m_report.add(RuleId::EofInComment, start, 4,
                 QStringLiteral("The page ends inside a comment: \"-->\" is missing"));
    finish(n);
}

void Tokenizer::readBogusComment(Token& token, qsizetype start, qsizetype from) {
    qsizetype i = from;
    while (i < m_n && m_s[i] != '>')
        ++i;
    token.type = Token::Comment;
    token.offset = start;
    token.end = i < m_n ? i + 1 : m_n;
    m_pos = token.end;
}

void Tokenizer::readDoctype(Token& token, qsizetype start) {
    const char16_t* s = m_s;
    const qsizetype n = m_n;
    qsizetype i = start + 9;
    while (i < n && isSpace(s[i]))
        ++i;
    token.name.clear();
    while (i < n && !isSpace(s[i]) && s[i] != '>')
        token.name += toLower(s[i++]);
    const qsizetype restStart = i;
    while (i < n && s[i] != '>')
        ++i;
    token.type = Token::Doctype;
    token.offset = start;
    if (i >= n) {
        m_report.add(RuleId::EofInTag, start, 9,
                     QStringLiteral("The page ends inside the doctype: \">\" is missing"));
        token.type = Token::EndOfFile;
        token.offset = token.end = n;
        m_pos = n;
        return;
    }
    token.end = i + 1;
    m_pos = i + 1;
    const QString rest = m_text.mid(restStart, i - restStart).trimmed().toString().toLower();
    token.doctypeIds = !rest.isEmpty() && rest != QLatin1String("system \"about:legacy-compat\"") &&
                       rest != QLatin1String("system 'about:legacy-compat'");
}

void Tokenizer::readCdata(Token& token, qsizetype start) {
    qsizetype i = start + 9;
    while (i < m_n && !startsWith(m_s, m_n, i, "]]>"))
        ++i;
    if (i >= m_n) {
        m_report.add(RuleId::EofInComment, start, 9,
                     QStringLiteral("The page ends inside a CDATA section: \"]]>\" is missing"));
        characters(token, start, m_n);
        m_pos = m_n;
        return;
    }
    characters(token, start, i + 3);
    token.firstNonSpace = start;
    m_pos = i + 3;
}

bool Tokenizer::endTagAt(qsizetype pos, const std::u16string& name) const {
    if (pos + 2 + qsizetype(name.size()) >= m_n || m_s[pos] != '<' || m_s[pos + 1] != '/')
        return false;
    for (size_t k = 0; k < name.size(); ++k)
        if (toLower(m_s[pos + 2 + qsizetype(k)]) != name[k])
            return false;
    const char16_t c = m_s[pos + 2 + qsizetype(name.size())];
    return isSpace(c) || c == '/' || c == '>';
}

qsizetype Tokenizer::findEndTag(qsizetype from) const {
    for (qsizetype i = from; i + 1 < m_n; ++i)
        if (m_s[i] == '<' && m_s[i + 1] == '/' && endTagAt(i, m_endTagName))
            return i;
    return m_n;
}

qsizetype Tokenizer::findScriptEnd(qsizetype from, bool* inEscape) const {
    // Script data, its escaped state ("<!--" ... "-->") and the double escaped state (a
    // "<script>" inside that), in which "</script>" does not end the script.
    static const std::u16string script = u"script";
    enum { Normal, Escaped, DoubleEscaped } state = Normal;
    const char16_t* s = m_s;
    for (qsizetype i = from; i < m_n; ++i) {
        const char16_t c = s[i];
        if (c == '-' && state != Normal && startsWith(s, m_n, i, "-->")) {
            state = Normal;
            i += 2;
            continue;
        }
        if (c != '<')
            continue;
        if (state != DoubleEscaped && endTagAt(i, script))
            return i;
        if (state == Normal && startsWith(s, m_n, i, "<!--")) {
            state = Escaped;
            qsizetype k = i + 4;
            while (k < m_n && s[k] == '-')
                ++k;
            if (k < m_n && s[k] == '>')
                state = Normal;
            i = k - 1;
        } else if (state == Escaped && startsWithFolded(s, m_n, i + 1, "script") && i + 7 < m_n &&
                   (isSpace(s[i + 7]) || s[i + 7] == '/' || s[i + 7] == '>')) {
            state = DoubleEscaped;
        } else if (state == DoubleEscaped && endTagAt(i, script)) {
            state = Escaped;
        }
    }
    *inEscape = state != Normal;
    return m_n;
}

void Tokenizer::readRawText(Token& token) {
    const qsizetype start = m_pos;
    qsizetype end = m_n;
    bool inEscape = false;
    switch (m_content) {
    case Content::RcData:
    case Content::RawText:
        end = findEndTag(start);
        break;
    case Content::ScriptData:
        end = findScriptEnd(start, &inEscape);
        break;
    default:
        break;
    }
    if (m_content == Content::RcData)
        for (qsizetype k = start; k < end;)
            k = m_s[k] == '&' ? characterReference(k, end, false) : k + 1;
    m_content = Content::Data;
    if (end > start) {
        m_pos = end;
        characters(token, start, end);
        return;
    }
    next(token);
}

qsizetype Tokenizer::characterReference(qsizetype amp, qsizetype limit, bool inAttribute) {
    const char16_t* s = m_s;
    qsizetype i = amp + 1;
    if (i >= limit)
        return i;
    if (s[i] == '#') {
        qsizetype j = i + 1;
        const bool hex = j < limit && (s[j] == 'x' || s[j] == 'X');
        if (hex)
            ++j;
        const qsizetype digits = j;
        char32_t value = 0;
        while (j < limit && (hex ? isHexDigit(s[j]) : isDigit(s[j]))) {
            value = value * (hex ? 16 : 10) + char32_t(hex ? hexValue(s[j]) : s[j] - '0');
            if (value > 0x10FFFF)
                value = 0x110000;
            ++j;
        }
        if (j == digits) {
            m_report.add(RuleId::BadCharacterReference, amp, j - amp,
                         QStringLiteral("\"%1\" has no digits; write &amp; for a lone \"&\"")
                             .arg(QStringView(s + amp, j - amp).toString()));
            return j;
        }
        const bool semicolon = j < limit && s[j] == ';';
        if (semicolon)
            ++j;
        const QString written = QStringView(s + amp, j - amp).toString();
        const QString problem = numericProblem(value);
        if (!problem.isEmpty())
            m_report.add(RuleId::BadCharacterReference, amp, j - amp,
                         QStringLiteral("Character reference %1 %2").arg(written, problem));
        else if (!semicolon)
            m_report.add(
                RuleId::MissingSemicolon, amp, j - amp,
                QStringLiteral("Character reference %1 does not end with \";\"").arg(written));
        return j;
    }
    if (!isAlnum(s[i]))
        return i;
    qsizetype j = i;
    while (j < limit && isAlnum(s[j]) && j - i < 48)
        ++j;
    const QStringView run(s + i, j - i);
    const bool semicolon = j < limit && s[j] == ';';
    if (semicolon && htmldata::characterReference(run))
        return j + 1;
    if (const qsizetype m = htmldata::longestLegacyReference(run)) {
        const qsizetype end = i + m;
        // In an attribute value "&copy=" or "&copyx" is text, as in a link's query string.
        if (inAttribute && end < limit && (s[end] == '=' || isAlnum(s[end])))
            return end;
        m_report.add(RuleId::MissingSemicolon, amp, end - amp,
                     QStringLiteral("Character reference &%1 does not end with \";\"")
                         .arg(run.left(m).toString()));
        return end;
    }
    if (semicolon)
        m_report.add(RuleId::BadCharacterReference, amp, j + 1 - amp,
                     QStringLiteral("Unknown character reference &%1; (write &amp; for a "
                                    "lone \"&\")")
                         .arg(run.toString()));
    return j;
}

void Tokenizer::characters(Token& token, qsizetype start, qsizetype end) {
    token.type = Token::Characters;
    token.offset = start;
    token.end = end;
    token.firstNonSpace = -1;
    for (qsizetype i = start; i < end; ++i)
        if (!isSpace(m_s[i])) {
            token.firstNonSpace = i;
            break;
        }
}

} // namespace checker

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>
#include <string>
#include <vector>

#include "checker/report.h"

namespace checker {

struct Attribute {
    std::u16string name; // lower case
    qsizetype nameOffset = 0;
    qsizetype end = 0;          // end of the attribute (after its value)
    qsizetype valueOffset = -1; // -1: no value
    qsizetype valueEnd = -1;
};

struct Token {
    enum Type { StartTag, EndTag, Characters, Comment, Doctype, EndOfFile };
    Type type = EndOfFile;
    qsizetype offset = 0; // the '<' of markup, the first character of text
    qsizetype end = 0;
    std::u16string name; // tag name, or the doctype's name, lower case
    // Attributes of a tag: the first attributeCount entries (the vector keeps its strings
    // between tokens, so that reading a page allocates only for its longest tag).
    std::vector<Attribute> attributes;
    int attributeCount = 0;
    bool selfClosing = false;
    // Characters: the first character that is not white space, or -1.
    qsizetype firstNonSpace = -1;
    // Doctype: whether it has a public or system identifier other than the legacy one.
    bool doctypeIds = false;

    const Attribute* attribute(const char16_t* lowerName) const;
};

// Splits a page into tokens as the HTML tokenizer does, reporting its syntax errors
// (duplicate attributes, end of file in a tag or comment, bad character references...).
class Tokenizer {
public:
    Tokenizer(QStringView text, Report& report);

    // The content after a start tag, which the tree builder chooses.
    enum class Content { Data, RcData, RawText, ScriptData, PlainText };
    void setContent(Content content, const std::u16string& endTagName);
    // Whether <![CDATA[ opens a CDATA section (inside SVG or MathML).
    void setCdataAllowed(bool allowed) { m_cdataAllowed = allowed; }

    // The next token; EndOfFile at the end, and again after it.
    void next(Token& token);

private:
    bool markupStartsAt(qsizetype pos) const;
    void readMarkup(Token& token);
    void readTag(Token& token, bool endTag);
    void readComment(Token& token, qsizetype start);
    void readBogusComment(Token& token, qsizetype start, qsizetype from);
    void readDoctype(Token& token, qsizetype start);
    void readCdata(Token& token, qsizetype start);
    void readRawText(Token& token);
    qsizetype findEndTag(qsizetype from) const;
    qsizetype findScriptEnd(qsizetype from, bool* inEscape) const;
    bool endTagAt(qsizetype pos, const std::u16string& name) const;
    qsizetype characterReference(qsizetype amp, qsizetype limit, bool inAttribute);
    void characters(Token& token, qsizetype start, qsizetype end);

    QStringView m_text;
    const char16_t* m_s;
    qsizetype m_n;
    qsizetype m_pos = 0;
    Report& m_report;
    Content m_content = Content::Data;
    std::u16string m_endTagName;
    bool m_cdataAllowed = false;
};

} // namespace checker

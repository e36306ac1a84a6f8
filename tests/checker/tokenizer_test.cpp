// SPDX-License-Identifier: GPL-3.0-or-later
// The tokenizer alone: the tokens it gives for tricky markup (the places of attributes and
// values that findings and the editor's marks rely on), and the extent of the construct
// each kind of finding covers.
#include <gtest/gtest.h>

#include "checker/checker.h"
#include "checker/report.h"
#include "checker/tokenizer.h"
#include "testutil.h"

using namespace checker;

namespace {

// The tokens of a text in a short form: S:name[attr=value,...]/ for a start tag (the
// slash when self-closing), E:name for an end tag, T:text, C (comment), D:name (doctype).
QString tokens(const QString& text, Tokenizer::Content first = Tokenizer::Content::Data) {
    Report report;
    Tokenizer tokenizer(text, report);
    if (first != Tokenizer::Content::Data)
        tokenizer.setContent(first, u"script");
    QStringList out;
    Token t;
    for (tokenizer.next(t); t.type != Token::EndOfFile; tokenizer.next(t)) {
        const QString name = QString::fromStdU16String(t.name);
        switch (t.type) {
        case Token::StartTag: {
            QStringList attributes;
            for (int i = 0; i < t.attributeCount; ++i) {
                const Attribute& a = t.attributes[size_t(i)];
                QString s = QString::fromStdU16String(a.name);
                if (a.valueOffset >= 0)
                    s += QLatin1Char('=') + text.mid(a.valueOffset, a.valueEnd - a.valueOffset);
                attributes << s;
            }
            out << QStringLiteral("S:") + name +
                       (attributes.isEmpty()
                            ? QString()
                            : QLatin1Char('[') + attributes.join(u',') + QLatin1Char(']')) +
                       (t.selfClosing ? QStringLiteral("/") : QString());
            break;
        }
        case Token::EndTag:
            out << QStringLiteral("E:") + name;
            break;
        case Token::Characters:
            out << QStringLiteral("T:") + text.mid(t.offset, t.end - t.offset);
            break;
        case Token::Comment:
            out << QStringLiteral("C");
            break;
        case Token::Doctype:
            out << QStringLiteral("D:") + name;
            break;
        case Token::EndOfFile:
            break;
        }
    }
    return out.join(u' ');
}

struct TokenCase {
    const char* name;
    const char16_t* text;
    const char16_t* tokens;
};

void PrintTo(const TokenCase& c, std::ostream* os) {
    *os << c.name;
}

class Tokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(Tokens, AreAsTheHtmlTokenizerGivesThem) {
    EXPECT_EQ(tokens(QString::fromUtf16(GetParam().text)), QString::fromUtf16(GetParam().tokens));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Markup, Tokens, ::testing::Values(
    TokenCase{"Attributes", u"<a HREF=\"x y\" b='c' d=e f>", u"S:a[href=x y,b=c,d=e,f]"},
    TokenCase{"SpacesAroundEquals", u"<p a = \"1\"\tb\n=\n2>", u"S:p[a=1,b=2]"},
    TokenCase{"DuplicateIsDropped", u"<p a=1 A=2>", u"S:p[a=1]"},
    TokenCase{"SelfClosing", u"<br/><img src=a />", u"S:br/ S:img[src=a]/"},
    TokenCase{"SlashInUnquotedValue", u"<a href=x/>", u"S:a[href=x/]"},
    TokenCase{"EmptyValue", u"<p a=\"\" b=''>", u"S:p[a=,b=]"},
    TokenCase{"TextAndEndTags", u"a<b>c</B >d", u"T:a S:b T:c E:b T:d"},
    TokenCase{"LessThanAsText", u"a < b <3", u"T:a < b <3"},
    TokenCase{"Comments", u"<!--x--><!----><!-- a -- b -->", u"C C C"},
    TokenCase{"BogusComments", u"<?xml?><!x></3>", u"C C C"},
    TokenCase{"Doctype", u"<!doctype HTML>x", u"D:html T:x"},
    TokenCase{"EmptyEndTagIsDropped", u"a</>b", u"T:a T:b"},
    TokenCase{"EndOfFileInTagDropsIt", u"a<p class=\"x", u"T:a"},
    TokenCase{"GreaterThanInQuotedValue", u"<p title=\"a>b\">c", u"S:p[title=a>b] T:c"},
    TokenCase{"ReferencesStayInText", u"&amp;&#60;&lt", u"T:&amp;&#60;&lt"}),
    NameFrom<&TokenCase::name>());
// clang-format on

TEST(Tokenizer, ScriptDataEndsAtItsEndTagOnly) {
    EXPECT_EQ(tokens(QStringLiteral("a</scripty></script >b"), Tokenizer::Content::ScriptData),
              QStringLiteral("T:a</scripty> E:script T:b"));
    EXPECT_EQ(
        tokens(QStringLiteral("<!--<script></script>--></script>"), Tokenizer::Content::ScriptData),
        QStringLiteral("T:<!--<script></script>--> E:script"));
    EXPECT_EQ(tokens(QStringLiteral("<!-- x </script>y"), Tokenizer::Content::ScriptData),
              QStringLiteral("T:<!-- x  E:script T:y"));
    EXPECT_EQ(tokens(QStringLiteral("no end"), Tokenizer::Content::ScriptData),
              QStringLiteral("T:no end"));
}

// ------------------------------------------------------------------------------------
// The extent of a finding: from the first to the second mark.

constexpr char16_t kFrom = u'\u2038';
constexpr char16_t kTo = u'\u2041';

struct ExtentCase {
    const char* name;
    const char16_t* body;
    const char* rule;
};

void PrintTo(const ExtentCase& c, std::ostream* os) {
    *os << c.name;
}

class Extents : public ::testing::TestWithParam<ExtentCase> {};

TEST_P(Extents, CoverTheConstructAtFault) {
    QString text = QStringLiteral("<!DOCTYPE html><html lang=en><title>t</title>\n") +
                   QString::fromUtf16(GetParam().body);
    const qsizetype from = text.indexOf(QChar(kFrom));
    text.remove(from, 1);
    const qsizetype to = text.indexOf(QChar(kTo));
    text.remove(to, 1);
    ASSERT_GE(from, 0);
    ASSERT_GE(to, from);
    Options options;
    options.pagePath = QStringLiteral("/nonexistent-folder/page.html");
    const Result r = check(text, options);
    std::vector<Finding> found;
    for (const Finding& f : r.findings)
        if (std::string(f.rule) == GetParam().rule)
            found.push_back(f);
    ASSERT_EQ(found.size(), 1u) << r.findings.size() << " findings";
    EXPECT_EQ(found[0].offset, from);
    EXPECT_EQ(found[0].length, to - from) << found[0].message.toStdString();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Findings, Extents, ::testing::Values(
    ExtentCase{"DuplicateAttributeWithItsValue", u"<p a=1 \u2038a=\"2\"\u2041>", "duplicate-attribute"},
    ExtentCase{"DuplicateAttributeWithoutValue", u"<p hidden \u2038hidden\u2041>", "duplicate-attribute"},
    ExtentCase{"UnknownAttribute", u"<p \u2038foo='bar'\u2041 class=x>", "unknown-attribute"},
    ExtentCase{"UnclosedElementsStartTag", u"<div>\u2038<span class=\"x\">\u2041a</div>", "unclosed-element"},
    ExtentCase{"StrayEndTag", u"\u2038</span >\u2041", "stray-end-tag"},
    ExtentCase{"NumericReference", u"<p>\u2038&#x0;\u2041", "bad-character-reference"},
    ExtentCase{"ReferenceWithoutSemicolon", u"<p>\u2038&copy\u2041right", "missing-semicolon"},
    ExtentCase{"UnknownNamedReference", u"<p>\u2038&bogus;\u2041", "bad-character-reference"},
    ExtentCase{"ImageWithoutAlt", u"\u2038<img src=\"data:,\">\u2041", "missing-alt"},
    ExtentCase{"DuplicateId", u"<p id=a><p \u2038id=\"a\"\u2041>", "duplicate-id"},
    ExtentCase{"MissingFile", u"<script \u2038src=\"lib.js\"\u2041></script>", "missing-file"},
    ExtentCase{"EndOfPageInComment", u"\u2038<!--\u2041 open", "eof-in-comment"},
    ExtentCase{"EndOfPageInTag", u"\u2038<span\u2041 title=\"x", "eof-in-tag"},
    ExtentCase{"TextInList", u"<ul>  \u2038words\u2041 more<li>x</ul>", "not-allowed-here"},
    ExtentCase{"UnescapedLessThan", u"<p>1 \u2038<\u2041 2", "unescaped-less-than"}),
    NameFrom<&ExtentCase::name>());
// clang-format on

} // namespace

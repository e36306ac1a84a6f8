// SPDX-License-Identifier: GPL-3.0-or-later
// The located checker: each seeded mistake found at its place (at the start, in the middle
// and at the end of a page, after tabs and characters outside the BMP, with LF, CR LF and
// lone CR line breaks), clean HTML5 pages giving no error or warning, one finding per
// cause, links of a saved page, and cancellation.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <atomic>
#include <cstring>
#include <set>
#include <thread>

#include "checker/checker.h"
#include "testutil.h"

using namespace checker;

namespace {

// Marks the expected place of a finding in a snippet; removed before the check.
constexpr char16_t kMark = u'\u2038';

std::vector<Finding> faults(const Result& r) {
    std::vector<Finding> out;
    for (const Finding& f : r.findings)
        if (f.severity != Severity::Info)
            out.push_back(f);
    return out;
}

std::string describe(const std::vector<Finding>& findings) {
    std::string s;
    for (const Finding& f : findings)
        s += std::to_string(f.line) + ":" + std::to_string(f.column) + " [" + f.rule + "] " +
             f.message.toStdString() + "\n";
    return s.empty() ? "(no findings)\n" : s;
}

// Line and column of an offset, counted the plain way: split into lines first.
std::pair<qsizetype, qsizetype> lineAndColumn(const QString& text, qsizetype offset) {
    qsizetype line = 1, start = 0;
    for (qsizetype i = 0; i < offset; ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        if (text[i] == u'\r' || text[i] == u'\n') {
            ++line;
            start = i + 1;
        }
    }
    return {line, offset - start + 1};
}

// ------------------------------------------------------------------------------------
// Seeded mistakes

struct Mistake {
    const char* name;
    const char16_t* snippet; // body content with kMark where the finding must be
    const char* rule;
};

// clang-format off
const Mistake kMistakes[] = {
    {"DuplicateAttribute", u"<p class=a \u2038class=b>x</p>", "duplicate-attribute"},
    {"EndOfPageInTag", u"\u2038<p class=\"x", "eof-in-tag"},
    {"EndOfPageInComment", u"\u2038<!-- never closed", "eof-in-comment"},
    {"NullReference", u"<p>\u2038&#0;</p>", "bad-character-reference"},
    {"SurrogateReference", u"<p>\u2038&#xD800;</p>", "bad-character-reference"},
    {"ReferenceOutOfRange", u"<p>\u2038&#x110000;</p>", "bad-character-reference"},
    {"ControlCharacterReference", u"<p>\u2038&#128;</p>", "bad-character-reference"},
    {"UnknownNamedReference", u"<p>\u2038&nosuchname;</p>", "bad-character-reference"},
    {"ReferenceWithoutDigits", u"<p>\u2038&#;</p>", "bad-character-reference"},
    {"ReferenceWithoutSemicolon", u"<p>\u2038&copy 2020</p>", "missing-semicolon"},
    {"ReferenceInAttributeWithoutSemicolon", u"<p title=\"\u2038&amp\">x</p>", "missing-semicolon"},
    {"UnclosedSpan", u"<div>\u2038<span>x</div>", "unclosed-element"},
    {"UnclosedDiv", u"\u2038<div><p>x</p>", "unclosed-element"},
    {"UnclosedScript", u"\u2038<script>if (a) {", "unclosed-element"},
    {"StrayEndP", u"<div>x</div>\u2038</p>", "stray-end-tag"},
    {"StrayEndSpan", u"<p>x\u2038</span></p>", "stray-end-tag"},
    {"EndTagOfVoidElement", u"<p><br>\u2038</br></p>", "stray-end-tag"},
    {"MisnestedFormatting", u"<p><b><i>x\u2038</b></i></p>", "misnested-end-tag"},
    {"EndTagAcrossBlock", u"<div><section>x\u2038</div></section>", "misnested-end-tag"},
    {"LinkAroundParagraphEnd", u"<a title=t><p>x\u2038</a>y</p>", "misnested-end-tag"},
    {"LinkInLink", u"\u2038<a href=#>one <a href=#>two</a>", "unclosed-element"},
    {"NestedLinkClosedLater", u"<a href=#>one \u2038<a href=#>two</a></a>", "misnested-end-tag"},
    {"DivInList", u"<ul>\u2038<div>x</div></ul>", "not-allowed-here"},
    {"TextInList", u"<ul>\u2038words<li>x</ul>", "not-allowed-here"},
    {"ListItemOutsideList", u"<div>\u2038<li>x</li></div>", "not-allowed-here"},
    {"BlockInSpan", u"<span>\u2038<div>x</div></span>", "not-allowed-here"},
    {"BlockInHeading", u"<h1>\u2038<p>x</p></h1>", "not-allowed-here"},
    {"ParagraphInSummary", u"<details><summary>s\u2038<p>x</p></summary></details>", "not-allowed-here"},
    {"DivInTable", u"<table>\u2038<div>x</div><tr><td>1</td></tr></table>", "not-allowed-here"},
    {"TextInTableRow", u"<table><tr>\u2038stray<td>1</td></tr></table>", "not-allowed-here"},
    {"CellWithoutRow", u"<table>\u2038<td>1</td></table>", "not-allowed-here"},
    {"DivInSelect", u"<select><option>a</option>\u2038<div>b</div></select>", "not-allowed-here"},
    {"CellOutsideTable", u"<p>x</p>\u2038<td>y</td>", "stray-start-tag"},
    {"FormInForm", u"<form>\u2038<form>x</form></form>", "stray-start-tag"},
    {"UnknownElement", u"\u2038<blah>x</blah>", "unknown-element"},
    {"CustomElementWithoutHyphen", u"\u2038<mywidget>x</mywidget>", "unknown-element"},
    {"UnknownAttribute", u"<p \u2038colour=red>x</p>", "unknown-attribute"},
    {"AttributeOfAnotherElement", u"<div \u2038href=x>x</div>", "unknown-attribute"},
    {"ImageWithoutAlt", u"\u2038<img src=a.png>", "missing-alt"},
    {"DuplicateId", u"<p id=a>x</p><p \u2038id=a>y</p>", "duplicate-id"},
    {"FragmentWithoutId", u"<a \u2038href=\"#nowhere\">x</a>", "missing-fragment"},
    {"LessThanInText", u"<p>a \u2038< b</p>", "unescaped-less-than"},
    {"EmptyCommentClosedAtOnce", u"\u2038<!-->", "bad-comment"},
    {"NestedComment", u"<!-- a \u2038<!-- b -->", "bad-comment"},
    {"ProcessingInstruction", u"\u2038<?php echo 1 ?>", "bogus-comment"},
    {"NoSpaceBetweenAttributes", u"<p class=\"a\"\u2038id=\"b\">x</p>", "bad-tag"},
    {"QuoteInAttributeName", u"<p \u2038cla\"ss=a>x</p>", "bad-tag"},
    {"SelfClosingDiv", u"\u2038<div/>x</div>", "self-closing-non-void"},
    {"ObsoleteElement", u"\u2038<center>x</center>", "obsolete-element"},
    {"SecondDoctype", u"\u2038<!DOCTYPE html>", "bad-doctype"},
    {"TextInIframe", u"<iframe src=f.html>\u2038fallback</iframe>", "not-allowed-here"},
    {"HeadingInHeading", u"<h1>a\u2038<h2>b</h2></h1>", "not-allowed-here"},
};
// clang-format on

enum class Where { Start, Middle, End };
enum class Breaks { Lf, CrLf, Cr };

struct Seeded {
    Mistake mistake;
    Where where;
    Breaks breaks;
};

void PrintTo(const Seeded& s, std::ostream* os) {
    *os << s.mistake.name << "_"
        << (s.where == Where::Start    ? "Start"
            : s.where == Where::Middle ? "Middle"
                                       : "End")
        << (s.breaks == Breaks::Lf     ? "Lf"
            : s.breaks == Breaks::CrLf ? "CrLf"
                                       : "Cr");
}

// A whole page around the snippet: the head, then lines with tabs, accented letters and
// characters outside the BMP before it (in the middle), and the end of the page after it
// (unless it comes last, with no line break after it).
QString page(const Seeded& s) {
    const QString nl = s.breaks == Breaks::Lf     ? QStringLiteral("\n")
                       : s.breaks == Breaks::CrLf ? QStringLiteral("\r\n")
                                                  : QStringLiteral("\r");
    QString text = QStringLiteral("<!DOCTYPE html>") + nl +
                   QStringLiteral("<html lang=\"en\"><head><title>Seeded</title></head><body>");
    const QString filler = nl + QStringLiteral("<p>\tCaf\u00e9 \U0001F600 \U0001D504 one</p>") +
                           nl + QStringLiteral("\t\t<div>\U0001F600\t<b>two</b></div>") + nl +
                           QStringLiteral("\U0001F600\t");
    if (s.where != Where::Start)
        text += filler;
    text += QString::fromUtf16(s.mistake.snippet);
    if (s.where == Where::End)
        return text;
    if (s.where == Where::Middle)
        text += filler;
    return text + nl + QStringLiteral("</body></html>") + nl;
}

class SeededMistake : public ::testing::TestWithParam<Seeded> {};

TEST_P(SeededMistake, IsFoundAtItsPlaceAndAlone) {
    QString text = page(GetParam());
    const qsizetype at = text.indexOf(QChar(kMark));
    ASSERT_GE(at, 0);
    text.remove(at, 1);
    const std::vector<Finding> found = faults(check(text));
    ASSERT_EQ(found.size(), 1u) << describe(found);
    const Finding& f = found[0];
    EXPECT_STREQ(f.rule, GetParam().mistake.rule) << describe(found);
    EXPECT_EQ(f.offset, at) << describe(found);
    EXPECT_GE(f.length, 1);
    EXPECT_LE(f.offset + f.length, text.size());
    const auto [line, column] = lineAndColumn(text, at);
    EXPECT_EQ(f.line, line);
    EXPECT_EQ(f.column, column);
    EXPECT_FALSE(f.message.isEmpty());
}

std::vector<Seeded> allSeeded() {
    std::vector<Seeded> all;
    for (const Mistake& m : kMistakes)
        for (Where w : {Where::Start, Where::Middle, Where::End})
            for (Breaks b : {Breaks::Lf, Breaks::CrLf, Breaks::Cr})
                all.push_back({m, w, b});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Pages, SeededMistake, ::testing::ValuesIn(allSeeded()), PrintedName());

// Places counted by hand: columns are UTF-16 code units, every kind of line break ends a
// line.
struct PlaceCase {
    const char* name;
    const char16_t* text;
    qsizetype line;
    qsizetype column;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.name;
}

class Places : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(Places, CountLinesAndUtf16Columns) {
    const QString text = QString::fromUtf16(GetParam().text);
    const std::vector<Finding> found = faults(check(text));
    ASSERT_EQ(found.size(), 1u) << describe(found);
    EXPECT_STREQ(found[0].rule, "unknown-element");
    EXPECT_EQ(found[0].line, GetParam().line);
    EXPECT_EQ(found[0].column, GetParam().column);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Places,
    ::testing::Values(
        PlaceCase{"FirstColumn", u"<!DOCTYPE html><title>t</title>\n<foo></foo>", 2, 1},
        PlaceCase{"AfterTab", u"<!DOCTYPE html><title>t</title>\n\t<foo></foo>", 2, 2},
        PlaceCase{"AfterAccent", u"<!DOCTYPE html><title>t</title>\n\u00e9<foo></foo>", 2, 2},
        PlaceCase{"AfterEmoji", u"<!DOCTYPE html><title>t</title>\n\U0001F600<foo></foo>", 2, 3},
        PlaceCase{"AfterAll", u"<!DOCTYPE html><title>t</title>\n\t\U0001F600\u00e9<foo></foo>", 2,
                  5},
        PlaceCase{"CrLfIsOneBreak", u"<!DOCTYPE html>\r\n<title>t</title>\r\n\r\n<foo></foo>", 4,
                  1},
        PlaceCase{"LoneCrIsABreak", u"<!DOCTYPE html>\r<title>t</title>\r\r<foo></foo>", 4, 1},
        PlaceCase{"LfCrIsTwoBreaks", u"<!DOCTYPE html><title>t</title>\n\r<foo></foo>", 3, 1},
        PlaceCase{"MixedBreaks", u"<!DOCTYPE html>\r\n<title>t</title>\r\n\n\r x<foo></foo>", 5,
                  3}),
    NameFrom<&PlaceCase::name>());

TEST(Checker, MissingDoctypeIsAtTheFirstCharacter) {
    for (const char16_t* text : {u"<p>x", u"\n\n<html><body>x", u"\r\n<title>t</title>", u"x"}) {
        const std::vector<Finding> found = faults(check(QString::fromUtf16(text)));
        ASSERT_EQ(found.size(), 1u) << describe(found);
        EXPECT_STREQ(found[0].rule, "missing-doctype");
        EXPECT_EQ(found[0].offset, 0);
        EXPECT_EQ(found[0].line, 1);
        EXPECT_EQ(found[0].column, 1);
    }
    // A byte-order mark before the doctype is not content.
    EXPECT_TRUE(check(u"\uFEFF<!DOCTYPE html><html lang=en><title>t</title>").findings.empty());
    const Result empty = check(u"");
    ASSERT_EQ(empty.findings.size(), 1u);
    EXPECT_STREQ(empty.findings[0].rule, "missing-doctype");
    EXPECT_EQ(empty.findings[0].length, 0);
}

TEST(Checker, ContentAfterTheEndOfTheBody) {
    const QString text = QStringLiteral("<!DOCTYPE html><title>t</title><body><p>x</p></body>\n"
                                        "</html>\nmore <b>words</b> <i>and</i>");
    const std::vector<Finding> found = faults(check(text));
    ASSERT_EQ(found.size(), 1u) << describe(found);
    EXPECT_STREQ(found[0].rule, "content-after-end");
    EXPECT_EQ(found[0].offset, text.indexOf(QStringLiteral("more")));
}

TEST(Checker, ObsoleteDoctypeIsAWarning) {
    const Result r = check(u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
                           u"\"http://www.w3.org/TR/html4/strict.dtd\"><title>t</title>");
    ASSERT_EQ(r.findings.size(), 1u) << describe(r.findings);
    EXPECT_STREQ(r.findings[0].rule, "obsolete-doctype");
    EXPECT_EQ(r.findings[0].severity, Severity::Warning);
    EXPECT_TRUE(
        faults(check(u"<!DOCTYPE html SYSTEM \"about:legacy-compat\"><title>t</title>")).empty());
}

TEST(Checker, HtmlWithoutLangIsInformation) {
    const Result r = check(u"<!DOCTYPE html><html><title>t</title></html>");
    ASSERT_EQ(r.findings.size(), 1u) << describe(r.findings);
    EXPECT_STREQ(r.findings[0].rule, "missing-lang");
    EXPECT_EQ(r.findings[0].severity, Severity::Info);
    EXPECT_EQ(r.findings[0].offset, 15);
}

TEST(Checker, DuplicateIdPointsAtTheFirst) {
    const QString text = QStringLiteral("<!DOCTYPE html><title>t</title>\n<p id=x>a\n<p id=x>b");
    const std::vector<Finding> found = faults(check(text));
    ASSERT_EQ(found.size(), 1u) << describe(found);
    EXPECT_EQ(found[0].relatedOffset, text.indexOf(QStringLiteral("id=x")));
    EXPECT_EQ(found[0].relatedLine, 2);
    EXPECT_EQ(found[0].relatedColumn, 4);
    EXPECT_EQ(found[0].line, 3);
}

TEST(Checker, MisnestingNamesTheEndTagAndPointsAtTheElement) {
    const QString text = QStringLiteral("<!DOCTYPE html><title>t</title><p><b><i>x</b></i>");
    const std::vector<Finding> found = faults(check(text));
    ASSERT_EQ(found.size(), 1u) << describe(found);
    EXPECT_STREQ(found[0].rule, "misnested-end-tag");
    EXPECT_EQ(found[0].offset, text.indexOf(QStringLiteral("</b>")));
    EXPECT_EQ(found[0].length, 4);
    EXPECT_EQ(found[0].relatedOffset, text.indexOf(QStringLiteral("<i>")));
    EXPECT_TRUE(found[0].message.contains(QStringLiteral("<i>"))) << found[0].message.toStdString();
}

TEST(Checker, TemplateLeftOpenAroundATableEndsTheCheck) {
    // The template is open but out of table scope at the end of the page.
    const QString text =
        QStringLiteral("<!DOCTYPE html><title>t</title><template><table><tr><td>x");
    const std::vector<Finding> found = faults(check(text));
    ASSERT_EQ(found.size(), 2u) << describe(found);
    EXPECT_EQ(found[0].offset, text.indexOf(QStringLiteral("<template>")));
    EXPECT_EQ(found[1].offset, text.indexOf(QStringLiteral("<table>")));
    EXPECT_STREQ(found[0].rule, "unclosed-element");
    EXPECT_STREQ(found[1].rule, "unclosed-element");
}

TEST(Checker, MisnestingByAStartTagNamesItAlone) {
    const QString text = QStringLiteral(
        "<!DOCTYPE html><title>t</title><a href=#>one <a href=\"#\" class=\"x y\">two</a></a>");
    const std::vector<Finding> found = faults(check(text));
    ASSERT_EQ(found.size(), 1u) << describe(found);
    EXPECT_EQ(found[0].message,
              QStringLiteral("<a> comes while <a> is still open; its </a> comes later"));
}

TEST(Checker, FindingsAreSortedByPlace) {
    const QString text = QStringLiteral("<p>&#0;<foo><img src=a><p id=a><p id=a>");
    const Result r = check(text);
    ASSERT_GE(r.findings.size(), 5u) << describe(r.findings);
    for (size_t i = 1; i < r.findings.size(); ++i)
        EXPECT_LE(r.findings[i - 1].offset, r.findings[i].offset);
}

// ------------------------------------------------------------------------------------
// How the parser reads: whole pages with every expected finding marked, in order

struct ParserCase {
    const char* name;
    const char16_t* page; // each kMark is followed by the construct of one finding
    std::vector<const char*> rules;
};

void PrintTo(const ParserCase& c, std::ostream* os) {
    *os << c.name;
}

class Parsing : public ::testing::TestWithParam<ParserCase> {};

TEST_P(Parsing, FindsExactlyTheMarkedMistakes) {
    QString text = QStringLiteral("<!DOCTYPE html><html lang=en><title>t</title>") +
                   QString::fromUtf16(GetParam().page);
    std::vector<qsizetype> marks;
    for (qsizetype at; (at = text.indexOf(QChar(kMark))) >= 0;) {
        marks.push_back(at);
        text.remove(at, 1);
    }
    ASSERT_EQ(marks.size(), GetParam().rules.size()) << "a mark for each rule";
    const std::vector<Finding> found = faults(check(text));
    ASSERT_EQ(found.size(), marks.size()) << describe(found);
    for (size_t i = 0; i < marks.size(); ++i) {
        EXPECT_STREQ(found[i].rule, GetParam().rules[i]) << describe(found);
        EXPECT_EQ(found[i].offset, marks[i]) << describe(found);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pages, Parsing, ::testing::Values(
    // Raw text and the tokenizer's states
    ParserCase{"ScriptDataEscapes", u"<script><!--<script>x</script>y--></script><p>z", {}},
    ParserCase{"RawTextEndTagsInAnyCase", u"<SCRIPT>a</SCRIPT ><STYLE>b</style\t>", {}},
    ParserCase{"RawTextEndTagNeedsItsWholeName", u"<textarea></textareax</textarea>", {}},
    ParserCase{"NoReferencesInRawText", u"<style>&#0;</style><script>a &nosuch; b</script>", {}},
    ParserCase{"ReferencesInRcData", u"<textarea>\u2038&#0;</textarea>", {"bad-character-reference"}},
    ParserCase{"AmbiguousAmpersandOnlyWithSemicolon",
               u"<p>a &foo b \u2038&amp c \u2038&#x41 d &nosuch e", {"missing-semicolon", "missing-semicolon"}},
    ParserCase{"CdataOutsideForeignContent", u"\u2038<![CDATA[x]]>", {"bogus-comment"}},
    ParserCase{"CommentForms", u"<!----><!-- a - b --><!-- -- --><!-- x -->", {}},
    ParserCase{"CommentClosedBadly", u"\u2038<!---><!-- x \u2038--!>", {"bad-comment", "bad-comment"}},
    ParserCase{"DuplicateAttributeInAnyCase", u"<p class=a \u2038CLASS=b>x", {"duplicate-attribute"}},
    ParserCase{"EndTagWithAttributes", u"<p>x\u2038</p class=a>", {"bad-tag"}},
    ParserCase{"EmptyEndTag", u"<p>x\u2038</>y", {"bad-tag"}},
    ParserCase{"UnquotedValueWithQuote", u"<p title=a\u2038\"b>x", {"bad-tag"}},
    // Elements the parser implies or reconstructs
    ParserCase{"ImpliedParagraphOnly", u"\u2038</p>", {"stray-end-tag"}},
    ParserCase{"FormattingAcrossParagraphs", u"<p>\u2038<b>x<p>y</b>", {"unclosed-element"}},
    ParserCase{"ImpliedEndTagsOfLists",
               u"<ul><li>a<li>b</ul><ol><li>c<li>d</ol><dl><dt>e<dd>f</dl>", {}},
    ParserCase{"ImpliedTableParts", u"<table><col><tr><td>a<td>b<tr><th>c</table>", {}},
    ParserCase{"ReconstructionStopsAtCells",
               u"<table><tr><td>\u2038<b>x</td><td>y</td></tr></table><p>z", {"unclosed-element"}},
    // End tags
    ParserCase{"HeadingClosedByAnother", u"<h1>x\u2038</h2>", {"misnested-end-tag"}},
    ParserCase{"FormClosedAroundADiv", u"<form><div>x\u2038</form></div>", {"misnested-end-tag"}},
    ParserCase{"SelectClosedByTheCell",
               u"<table><tr><td><select><option>a\u2038</td></tr></table></select>",
               {"misnested-end-tag"}},
    ParserCase{"TableEndInsideSelect",
               u"<table><tr><td><select><option>a\u2038<td>b</select></table>",
               {"not-allowed-here"}},
    ParserCase{"SelectInSelect", u"<select><option>a\u2038<select>b</select>", {"not-allowed-here"}},
    ParserCase{"BodyEndWithAnOpenDiv", u"\u2038<div>x</body></html>", {"unclosed-element"}},
    // Where elements may stand
    ParserCase{"ButtonInButton", u"<button>a\u2038<button>b</button>", {"not-allowed-here"}},
    ParserCase{"DescriptionOutsideList", u"\u2038<dd>x</dd>", {"not-allowed-here"}},
    ParserCase{"TextDirectlyInSelectIsLeftAlone", u"<select>text<option>a</select>", {}},
    ParserCase{"OnlyTheFirstChildOfAParentIsReported",
               u"<ul>\u2038<div>a</div><p>b<p>c<span>d</span></ul>", {"not-allowed-here"}},
    ParserCase{"TransparentLinkPassesItsParentsModel",
               u"<span><a href=x.html>\u2038<div>x</div></a></span>", {"not-allowed-here"}},
    ParserCase{"BlockBreaksOutOfMath",
               u"<math><mi>x</mi>\u2038<div>y</div></math>", {"not-allowed-here"}},
    ParserCase{"UnclosedSvgChild", u"<svg><circle>\u2038</svg>", {"misnested-end-tag"}},
    ParserCase{"UnknownSvgElement", u"<svg>\u2038<blob/></svg>", {"unknown-element"}},
    ParserCase{"NoscriptInHeadHoldsMetadataOnly",
               u"<noscript><link rel=stylesheet href=a.css>\u2038<p>x</p></noscript>",
               {"not-allowed-here"}},
    ParserCase{"TitleInBody", u"<body>\u2038<title>late</title>", {"not-allowed-here"}},
    // Interactive elements do not nest
    ParserCase{"ButtonInLink", u"<a href=x.html>\u2038<button>go</button></a>", {"not-allowed-here"}},
    ParserCase{"LinkInButton", u"<button>\u2038<a href=x.html>go</a></button>", {"not-allowed-here"}},
    ParserCase{"InputsInALabelInALink",
               u"<p><a href=x.html>\u2038<label>l <input></label><select></select></a>",
               {"not-allowed-here"}},
    ParserCase{"QuietElementsInLinks",
               u"<a href=x.html><img src=a.png alt=a><input type=hidden name=h>"
               u"<video src=v.mp4></video><span>s</span></a><button><img src=b.png alt=b></button>",
               {}}),
    NameFrom<&ParserCase::name>());
// clang-format on

// ------------------------------------------------------------------------------------
// Clean pages

struct CleanPage {
    const char* name;
    const char16_t* body; // after "<!DOCTYPE html><html lang=en><title>t</title>"
};

void PrintTo(const CleanPage& c, std::ostream* os) {
    *os << c.name;
}

class Clean : public ::testing::TestWithParam<CleanPage> {};

TEST_P(Clean, GivesNoErrorOrWarning) {
    const QString text = QStringLiteral("<!DOCTYPE html>\n<html lang=en>\n<meta charset=utf-8>\n"
                                        "<title>Clean</title>\n") +
                         QString::fromUtf16(GetParam().body);
    const std::vector<Finding> found = faults(check(text));
    EXPECT_TRUE(found.empty()) << describe(found);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pages, Clean, ::testing::Values(
    CleanPage{"OptionalEndTagsLeftOut",
        u"<body><p>One<p>Two<ul><li>a<li>b</ul><dl><dt>t<dd>d<dt>u<dd>e</dl>"
        u"<select><option>a<option>b<optgroup label=g><option>c</select>"},
    CleanPage{"NothingButTheTitle", u""},
    CleanPage{"TablesWithoutTbody",
        u"<table><tr><td>1<td>2<tr><td>3<td>4</table>"
        u"<table><caption>c<colgroup><col><col><thead><tr><th>a<th>b<tbody><tr><td>1<td>2"
        u"<tfoot><tr><td>f<td>g</table>"
        u"<table><tr><td><table><tr><td>nested</table></table>"},
    CleanPage{"RawText",
        u"<style>p > a { content: \"</p>\" } /* <div> */</style>"
        u"<script>if (a < b && c > d) document.write(\"<div>\");</script>"
        u"<script><!-- <script>x</script> --></script>"
        u"<p>after</p>"},
    CleanPage{"TextareaWithMarkup",
        u"<textarea><p>Not <b>markup</b></p> &lt; a < b <title>x</title></textarea>"},
    CleanPage{"CustomElements",
        u"<my-card data-id=3 some-prop=x><span slot=title>t</span></my-card>"
        u"<x-a><div>block inside</div></x-a>"},
    CleanPage{"Svg",
        u"<svg width=10 height=10 viewBox=\"0 0 10 10\" xmlns=\"http://www.w3.org/2000/svg\">"
        u"<defs><linearGradient id=g><stop offset=0 /></linearGradient></defs>"
        u"<circle cx=5 cy=5 r=4 fill=\"url(#g)\"/><path d=\"M0 0L10 10\"/>"
        u"<foreignObject width=10 height=10><p>html in svg</p></foreignObject>"
        u"<title>svg title</title><text x=1 y=1>T<tspan>s</tspan></text>"
        u"<![CDATA[ raw < text ]]></svg>"},
    CleanPage{"MathMl", u"<p><math><mi>x</mi><mo>=</mo><mfrac><mn>1</mn><mn>2</mn></mfrac></math>"},
    CleanPage{"Template",
        u"<template id=row><tr><td>cell</td></tr></template>"
        u"<template><li>item</template><template><td>c</template>"},
    CleanPage{"LinksAndFragments",
        u"<nav><a href=\"#top\">top</a> <a href=\"#s2\">two</a> <a href=#>none</a>"
        u" <a href=\"#old\">old</a></nav><section id=s2><h2>Two</h2><a name=old>old</a>"
        u"</section><a href=\"other.html#x\">not saved</a>"
        u"<a href=\"https://example.com/#frag\">abs</a>"},
    CleanPage{"BlocksInLinks",
        u"<div><a href=x.html><div>card</div><p>text</p></a></div>"},
    CleanPage{"CharacterReferences",
        u"<p>&amp; &lt; &copy; &#169; &#xA9; &notin; &NotEqualTilde; &nbsp; a & b &#x1F600;"
        u"<a href=\"?a=1&b=2&copy=3\">query</a>"},
    CleanPage{"AttributesOfAllKinds",
        u"<p data-x=1 aria-label=l onclick=\"f()\" role=note hidden contenteditable>x"
        u"<img src=a.png alt=\"\" loading=lazy srcset=\"a.png 1x\" width=1 height=1>"
        u"<input type=checkbox checked disabled><button type=button popovertarget=p>b</button>"
        u"<div id=p popover>pop</div><video controls><source src=v.mp4 type=video/mp4>"
        u"<track kind=captions src=c.vtt></video><iframe src=f.html title=f></iframe>"
        u"<embed src=a.swf type=application/x-shockwave-flash flashvars=\"a=1\" quality=high>"},
    CleanPage{"FormsAndPhrasing",
        u"<form action=/go method=post><fieldset><legend>L</legend><label>N "
        u"<input name=n required></label></fieldset><button>go</button></form>"
        u"<p><q>q</q> <cite>c</cite> <code>&lt;p&gt;</code> <kbd>k</kbd> <time "
        u"datetime=2020-01-01>t</time> <ruby>\u6F22<rp>(</rp><rt>kan</rt><rp>)</rp></ruby>"},
    CleanPage{"Sectioning",
        u"<body><header><h1>T</h1></header><main><article><h2>A</h2><p>x<footer>f</footer>"
        u"</article><aside>side</aside></main><details><summary>More</summary><p>m</details>"
        u"<details><summary><h3>Heading summary</h3></summary>d</details>"
        u"<fieldset><legend><h2>Legend heading</h2></legend></fieldset>"
        u"<figure><img src=a.png alt=a><figcaption>cap</figcaption></figure>"
        u"<search><form><input type=search name=q></form></search>"
        u"<hgroup><h1>a</h1><p>b</p></hgroup><dialog open><p>d</dialog>"},
    CleanPage{"VoidElementsWithSlashes", u"<p>a<br/>b<br>c<hr/><img src=a.png alt=x />"},
    CleanPage{"CommentsAndWhitespace",
        u"<!-- a -- b --><!----><!-- <p> -->\n\n  <body>\n<!-- end -->\n</body>\n</html>\n"
        u"<!-- after the end -->\n"},
    CleanPage{"ExplicitStructure",
        u"</head><body class=main><div><p>x</p></div></body></html>"}),
    NameFrom<&CleanPage::name>());
// clang-format on

// ------------------------------------------------------------------------------------
// One finding per cause

struct CauseCase {
    const char* name;
    const char16_t* before;   // the mistake
    const char16_t* repeated; // then 3,000 times
    size_t most;
};

void PrintTo(const CauseCase& c, std::ostream* os) {
    *os << c.name;
}

class OneCause : public ::testing::TestWithParam<CauseCase> {};

TEST_P(OneCause, GivesAtMostTwoFindings) {
    QString text = QStringLiteral("<!DOCTYPE html><html lang=en><title>t</title><body>\n") +
                   QString::fromUtf16(GetParam().before) + QLatin1Char('\n');
    const QString repeated = QString::fromUtf16(GetParam().repeated);
    for (int i = 0; i < 3000; ++i)
        text += repeated;
    text += QStringLiteral("</body></html>\n");
    const std::vector<Finding> found = faults(check(text));
    EXPECT_GE(found.size(), 1u);
    EXPECT_LE(found.size(), GetParam().most) << describe(found);
    const qsizetype mistakeEnd = text.indexOf(QLatin1Char('\n'), 60);
    EXPECT_LT(found.empty() ? -1 : found[0].offset, mistakeEnd) << describe(found);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pages, OneCause, ::testing::Values(
    CauseCase{"UnclosedItalicInParagraph", u"<p>Intro <i>unclosed</p>",
              u"<section><h2>S</h2><p>Text <b>b</b> more</p><ul><li>a<li>b</ul></section>\n", 2},
    CauseCase{"UnclosedItalicInBody", u"<i>unclosed",
              u"<section><h2>S</h2><p>Text</p><table><tr><td>1</table></section>\n", 2},
    CauseCase{"UnclosedBoldBeforeParagraphs", u"<b>bold",
              u"<p>Para <a href=page.html>link</a></p>\n", 2},
    CauseCase{"UnclosedDiv", u"<div class=wrapper>",
              u"<div><p>x</p></div>\n", 1},
    CauseCase{"UnclosedSpanAroundBlocks", u"<span>",
              u"<div><p>x</p></div>\n", 2},
    CauseCase{"UnclosedLinkBeforeLinks", u"<a href=a.html>first",
              u"<p><a href=b.html>more</a></p>\n", 2},
    CauseCase{"UnclosedTable", u"<table><tr><td>x",
              u"<p>para</p>\n", 2},
    CauseCase{"UnclosedList", u"<ul><li>x",
              u"<p>para</p>\n", 1},
    CauseCase{"UnclosedComment", u"<!-- open",
              u"<p>x</p>\n", 1}),
    NameFrom<&CauseCase::name>());
// clang-format on

// ------------------------------------------------------------------------------------
// Links of a saved page

TEST(Checker, LocalLinksOfASavedPage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("img")));
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("img/a b.png")), "png"));
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("other.html")),
                           "<!DOCTYPE html><p id=there>x</p><a name=named>y</a>"));
    const QString text =
        QStringLiteral("<!DOCTYPE html><title>t</title>\n"
                       "<img src=\"img/a%20b.png\" alt=a><img src='img/a b.png?v=2' alt=b>"
                       "<img src='img\\a b.png' alt=d>\n"
                       "<img src=\"img/missing.png\" alt=c>\n"
                       "<a href=\"other.html#there\">1</a><a href=\"other.html#named\">2</a>\n"
                       "<a href=\"other.html#gone\">3</a><a href=\"nothere.html\">4</a>\n"
                       "<a href=\"img/\">folder</a><a href=\"http://example.com/x.html\">web</a>\n"
                       "<a href=\"/abs/root.html\">root</a><a href=\"mailto:a@b\">mail</a>\n"
                       "<link rel=stylesheet href=\"style.css\">");
    Options options;
    options.pagePath = dir.filePath(QStringLiteral("page.html"));
    const std::vector<Finding> found = faults(check(text, options));
    ASSERT_EQ(found.size(), 4u) << describe(found);
    EXPECT_STREQ(found[0].rule, "missing-file");
    EXPECT_EQ(found[0].line, 3);
    EXPECT_EQ(found[0].column, 6);
    EXPECT_STREQ(found[1].rule, "missing-fragment");
    EXPECT_EQ(found[1].line, 5);
    EXPECT_TRUE(found[1].message.contains(QStringLiteral("gone")));
    EXPECT_STREQ(found[2].rule, "missing-file");
    EXPECT_EQ(found[2].line, 5);
    EXPECT_STREQ(found[3].rule, "missing-file");
    EXPECT_EQ(found[3].line, 8);
    EXPECT_EQ(found[3].severity, Severity::Warning);

    // Not saved: only the fragments of the page itself are checked.
    EXPECT_TRUE(faults(check(text)).empty()) << describe(faults(check(text)));
    // A <base href> changes what relative links mean: they are left alone.
    QString based = text;
    based.insert(based.indexOf(QStringLiteral("</title>")) + 8,
                 QStringLiteral("<base href=\"https://example.com/\">"));
    EXPECT_TRUE(faults(check(based, options)).empty());
}

TEST(Checker, LinkedPagesAreReadThroughTheGivenReader) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("b.html")), "on disk: no ids"));
    Options options;
    options.pagePath = dir.filePath(QStringLiteral("a.html"));
    int reads = 0;
    options.readPage = [&](const QString& path, QString* text) {
        ++reads;
        EXPECT_TRUE(path.endsWith(QStringLiteral("b.html")));
        *text = QStringLiteral("<p id=x>");
        return true;
    };
    const Result r = check(u"<!DOCTYPE html><title>t</title><a href=b.html#x>1</a>"
                           u"<a href=b.html#x>2</a><a href=b.html#y>3</a>",
                           options);
    EXPECT_EQ(reads, 1); // each linked page is read once
    ASSERT_EQ(faults(r).size(), 1u) << describe(r.findings);
    EXPECT_TRUE(faults(r)[0].message.contains(QStringLiteral("\"y\"")));
}

// ------------------------------------------------------------------------------------
// Cancellation

TEST(Checker, CancelledBeforeItStarts) {
    std::atomic_bool cancel{true};
    Options options;
    options.cancel = &cancel;
    const Result r = check(u"<p><foo>", options);
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.findings.empty());
}

TEST(Checker, CancelledFromAnotherThread) {
    QString text = QStringLiteral("<!DOCTYPE html><title>t</title>");
    for (int i = 0; i < 200000; ++i)
        text += QStringLiteral("<p><span>x</span><foo></foo>");
    std::atomic_bool cancel{false};
    std::atomic_bool started{false};
    Options options;
    options.cancel = &cancel;
    options.maxFindings = 1000000;
    Result r;
    std::thread worker([&] {
        started = true;
        r = check(text, options);
    });
    while (!started)
        std::this_thread::yield();
    cancel = true;
    worker.join();
    // Either it saw the flag, or it had finished all the page first.
    if (!r.cancelled) {
        EXPECT_EQ(r.findings.size(), 200000u);
    }
    options.cancel = nullptr;
    const Result whole = check(text, options);
    EXPECT_FALSE(whole.cancelled);
    EXPECT_EQ(whole.findings.size(), 200000u);
}

TEST(Checker, KeepsAtMostTheGivenNumberOfFindings) {
    QString text = QStringLiteral("<!DOCTYPE html><html lang=en><title>t</title><p>");
    for (int i = 0; i < 250; ++i)
        text += QStringLiteral("a < b ");
    Options options;
    options.maxFindings = 100;
    const Result r = check(text, options);
    ASSERT_EQ(r.findings.size(), 101u);
    EXPECT_STREQ(r.findings[99].rule, "unescaped-less-than");
    EXPECT_STREQ(r.findings[100].rule, "too-many-findings");
    EXPECT_EQ(r.findings[100].offset, text.indexOf(u'<', r.findings[99].offset + 1));
    EXPECT_EQ(r.findings[100].severity, Severity::Warning);
    options.maxFindings = 1000;
    EXPECT_EQ(check(text, options).findings.size(), 250u);
}

TEST(Checker, RuleIdsAreUniqueAndDocumented) {
    const QString doc = QString::fromUtf8(readBytes(QStringLiteral(VR_CHECKER_DOC)));
    std::set<std::string> ids;
    for (const Rule& rule : rules()) {
        EXPECT_TRUE(ids.insert(rule.id).second) << rule.id;
        EXPECT_GT(std::strlen(rule.summary), 10u) << rule.id;
        const QString row =
            QStringLiteral("| `%1` | %2 |")
                .arg(QLatin1String(rule.id), QLatin1String(severityName(rule.severity)));
        EXPECT_TRUE(doc.contains(row)) << "docs/checker.md lacks the row of " << rule.id;
    }
    EXPECT_STREQ(severityName(Severity::Error), "error");
    EXPECT_STREQ(severityName(Severity::Warning), "warning");
    EXPECT_STREQ(severityName(Severity::Info), "info");
}

} // namespace

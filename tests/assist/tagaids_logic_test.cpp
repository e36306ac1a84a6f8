// SPDX-License-Identifier: GPL-3.0-or-later
// The scanning behind the tag aids, without a window: the partner of a tag, the end tag a
// ">" or "</" writes, and what completion offers where.
#include <gtest/gtest.h>

#include "assist/completionlist.h"
#include "assist/tagscan.h"
#include "testutil.h"

using namespace tagscan;

namespace {

// A text written with markers: "|" the caret, "^" where the partner starts.
struct Marked {
    QByteArray text;
    qint64 caret = -1;
    qint64 partner = -1;
};

Marked parse(const char* marked) {
    Marked m;
    for (const char* p = marked; *p; ++p) {
        if (*p == '|')
            m.caret = m.text.size();
        else if (*p == '^')
            m.partner = m.text.size();
        else
            m.text += *p;
    }
    return m;
}

// The same bytes as the editor holds them: two stretches split at `gap`.
TextView split(const QByteArray& bytes, qint64 gap) {
    TextView v;
    v.head = bytes.constData();
    v.headLength = gap;
    v.tail = bytes.constData() + gap;
    v.tailLength = bytes.size() - gap;
    return v;
}

// ---- the partner ---------------------------------------------------------------------------

struct PairCase {
    const char* name;
    const char* text;
    Pair::Kind kind;
};
void PrintTo(const PairCase& c, std::ostream* os) {
    *os << c.text;
}

class Partner : public ::testing::TestWithParam<PairCase> {};

TEST_P(Partner, IsFoundWhereverTheBufferIsSplitAndInSmallSteps) {
    const Marked m = parse(GetParam().text);
    for (qint64 gap : {qint64(0), m.caret, m.text.size() / 2, m.text.size()}) {
        SCOPED_TRACE(gap);
        const TextView text = split(m.text, gap);
        const Token tag = tagAtCaret(text, m.caret, kTagReach);
        ASSERT_TRUE(tag.isTag());
        const Pair pair = PairSearch::find(text, tag);
        EXPECT_EQ(pair.kind, GetParam().kind);
        if (pair.kind == Pair::Partner) {
            EXPECT_EQ(pair.partner.start, m.partner);
        }
        // Walked a few bytes at a time, the search ends the same way.
        PairSearch steps(tag);
        int calls = 0;
        while (!steps.step(text, 3))
            ASSERT_LT(++calls, 10000);
        EXPECT_EQ(steps.result().kind, pair.kind);
        EXPECT_EQ(steps.result().partner.start, pair.partner.start);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tags, Partner,
    ::testing::Values(
        PairCase{"StartTag", "<di|v>text^</div>", Pair::Partner},
        PairCase{"CaretBeforeLessThan", "|<div>text^</div>", Pair::Partner},
        PairCase{"CaretAfterGreaterThan", "x ^<div>text</div>| y", Pair::Partner},
        PairCase{"EndTag", "^<div>text</d|iv>", Pair::Partner},
        PairCase{"InnerOfNestedSameName", "<div>a<di|v>b^</div></div>", Pair::Partner},
        PairCase{"OuterOfNestedSameName", "<d|iv><div>b</div>^</div>", Pair::Partner},
        PairCase{"EndOfOuterBackwards", "^<div><div></div></di|v>", Pair::Partner},
        PairCase{"CaseDiffers", "<DI|V>x^</div>", Pair::Partner},
        PairCase{"GreaterThanInQuotedValue", "<di|v title=\"a>b\">x^</div>", Pair::Partner},
        PairCase{"LessThanInQuotedValue", "<div title=\"a<b\" cl|ass=x>y^</div>", Pair::Partner},
        PairCase{"CommentSkipped", "<di|v><!-- </div> -->^</div>", Pair::Partner},
        PairCase{"CommentSkippedBackwards", "^<div><!-- <div> --></di|v>", Pair::Partner},
        PairCase{"ScriptTextSkipped", "<di|v><script>s='</div>'</script>^</div>", Pair::Partner},
        PairCase{"ScriptItself", "<scr|ipt>if (a<b) {}^</script>", Pair::Partner},
        PairCase{"ScriptBackwards", "^<script>if (a<b) x='<p>'</scri|pt>", Pair::Partner},
        PairCase{"MisnestedInner", "<di|v><span>^</div>", Pair::Partner},
        PairCase{"VoidElement", "<b|r>text", Pair::Alone},
        PairCase{"VoidWithAttributes", "<img src=\"a.png\"| alt=x>", Pair::Alone},
        PairCase{"SelfClosing", "<circ|le r=\"1\"/>", Pair::Alone},
        PairCase{"EndTagOfVoid", "text</b|r>", Pair::NoPartner},
        PairCase{"UnclosedStart", "<di|v><span></span>", Pair::NoPartner},
        PairCase{"StrayEnd", "text</di|v>", Pair::NoPartner},
        PairCase{"ListItemLeftOpen", "<ul><l|i>a<li>b</ul>", Pair::Alone},
        PairCase{"LastListItemLeftOpen", "<ul><li>a<l|i>b</ul>", Pair::Alone},
        PairCase{"ListItemClosed", "<ul><li>a</li><l|i>b^</li></ul>", Pair::Partner},
        PairCase{"NestedListItem", "^<li>x<ul><li>a<li>b</ul></l|i>", Pair::Partner},
        PairCase{"ParagraphEndedByBlock", "<p|>a<div>b</div>", Pair::Alone},
        PairCase{"ParagraphEndBackwards", "<p>a^<p>b</p|>", Pair::Partner},
        PairCase{"CellEndedByRow", "<tr><t|d>a<td>b</tr>", Pair::Alone},
        PairCase{"ListAroundOpenItems", "<u|l><li>a<li>b^</ul>", Pair::Partner}),
    NameFrom<&PairCase::name>());

// ---- closing tags --------------------------------------------------------------------------

struct CloseCase {
    const char* name;
    const char* text; // "|" where the ">" or "/" is typed
    const char* written;
};
void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.text;
}

class GreaterThanCloses : public ::testing::TestWithParam<CloseCase> {};

TEST_P(GreaterThanCloses, TheElementItEnds) {
    const Marked m = parse(GetParam().text);
    EXPECT_EQ(elementClosedByGreaterThan(TextView::of(m.text), m.caret),
              QByteArray(GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GreaterThanCloses,
    ::testing::Values(
        CloseCase{"Element", "<div|", "div"}, CloseCase{"CaseKept", "<DIV|", "DIV"},
        CloseCase{"WithAttributes", "<a href=\"x\" class=y|", "a"},
        CloseCase{"QuotedGreaterThanBefore", "<a title=\"x>y\"|", "a"},
        CloseCase{"LessThanInValue", "<a title=\"x<y\"|", "a"},
        CloseCase{"CustomElement", "<my-element|", "my-element"},
        CloseCase{"AfterScriptEnded", "<script>a<b</script><p|", "p"},
        CloseCase{"AfterComment", "<!-- x --><p|", "p"}, CloseCase{"VoidElement", "<br|", ""},
        CloseCase{"VoidWithAttributes", "<img src=\"a\"|", ""},
        CloseCase{"SlashGreaterThan", "<div/|", ""},
        CloseCase{"SlashAfterAttribute", "<div class=\"a\" /|", ""},
        CloseCase{"EndTag", "<div></div|", ""}, CloseCase{"Comment", "<!-- <div|", ""},
        CloseCase{"CommentOpener", "<!--|", ""}, CloseCase{"Doctype", "<!DOCTYPE html|", ""},
        CloseCase{"InsideDoubleQuotes", "<a title=\"x|", ""},
        CloseCase{"InsideSingleQuotes", "<a title='x|", ""},
        CloseCase{"TextAfterTag", "<p>a |", ""},
        CloseCase{"InScript", "<script>if (a) s = \"<b|", ""},
        CloseCase{"InStyle", "<style><p|", ""}, CloseCase{"InTextarea", "<textarea><p|", ""},
        CloseCase{"InTitle", "<TITLE>a <b|", ""}, CloseCase{"ScriptItself", "<script|", "script"}),
    NameFrom<&CloseCase::name>());

class SlashCompletes : public ::testing::TestWithParam<CloseCase> {};

TEST_P(SlashCompletes, TheInnermostOpenElement) {
    const Marked m = parse(GetParam().text);
    for (qint64 gap : {qint64(0), m.text.size() / 2, m.text.size()})
        EXPECT_EQ(endTagCompletedBySlash(split(m.text, gap), m.caret),
                  QByteArray(GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SlashCompletes,
    ::testing::Values(
        CloseCase{"Open", "<div>text<|", "div"}, CloseCase{"CaseOfStartTag", "<DIV>text<|", "DIV"},
        CloseCase{"ClosedChildSkipped", "<div><p>a</p><|", "div"},
        CloseCase{"VoidSkipped", "<div><br><img src=x><|", "div"},
        CloseCase{"OpenListItem", "<ul><li>a<|", "li"},
        CloseCase{"NestedSameName", "<div><div></div><|", "div"},
        CloseCase{"CommentSkipped", "<div><!-- <p> --><|", "div"},
        CloseCase{"NothingOpen", "text <|", ""}, CloseCase{"AllClosed", "<p>a</p><|", ""},
        CloseCase{"NameFollows", "<div><|p", ""}, CloseCase{"NotAfterLessThan", "<div>a|", ""},
        CloseCase{"InScript", "<script>if (a <|", ""}, CloseCase{"InComment", "<div><!-- <|", ""}),
    NameFrom<&CloseCase::name>());

// ---- renaming: the name at the caret -------------------------------------------------------

TEST(NameAtCaret, FindsTheNameOfStartAndEndTagsOnly) {
    struct Case {
        const char* text;
        Token::Kind kind;
        const char* name;
    };
    const Case cases[] = {
        {"<di|v>", Token::StartTag, "div"}, {"<|div>", Token::StartTag, "div"},
        {"<div|>", Token::StartTag, "div"}, {"</DI|V>", Token::EndTag, "div"},
        {"<|", Token::StartTag, ""},        {"</|>", Token::EndTag, ""},
        {"<div cl|ass>", Token::None, ""},  {"a|b", Token::None, ""},
        {"<!-|-", Token::None, ""},         {"<1|2>", Token::None, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Marked m = parse(c.text);
        const Token t = nameAtCaret(TextView::of(m.text), m.caret);
        EXPECT_EQ(t.kind, c.kind);
        if (t.kind != Token::None) {
            EXPECT_EQ(t.name, QByteArray(c.name));
        }
    }
}

TEST(TagAtCaret, IsNoneInTextAndInATagStillBeingTyped) {
    // A start tag typed before other markup would read on to that markup's ">"; it is no tag
    // until its own ">" is there (so no partner is looked for far away while it is typed).
    for (const char* text :
         {"<p>te|xt</p>", "<b|x </p>", "<div cl|ass=\"a\"<span>", "<d|iv", "a <| b"}) {
        SCOPED_TRACE(text);
        const Marked m = parse(text);
        EXPECT_EQ(tagAtCaret(TextView::of(m.text), m.caret, kTagReach).kind, Token::None);
    }
}

// ---- completion ----------------------------------------------------------------------------

struct CompletionCase {
    const char* name;
    const char* text;
    CompletionContext::Kind kind;
    QStringList offered;    // among the items
    QStringList notOffered; // not among them
};
void PrintTo(const CompletionCase& c, std::ostream* os) {
    *os << c.text;
}

class Completion : public ::testing::TestWithParam<CompletionCase> {};

TEST_P(Completion, OffersWhatFitsThePlace) {
    const CompletionCase& c = GetParam();
    const Marked m = parse(c.text);
    const TextView text = TextView::of(m.text);
    const CompletionContext context = completionContext(text, m.caret);
    ASSERT_EQ(context.kind, c.kind);
    if (c.kind == CompletionContext::None)
        return;
    const QString typed = QString::fromUtf8(text.bytes(context.wordStart, m.caret));
    const QStringList items = assist::completionItems(context, typed);
    for (const QString& item : c.offered)
        EXPECT_TRUE(items.contains(item)) << item.toStdString();
    for (const QString& item : c.notOffered)
        EXPECT_FALSE(items.contains(item)) << item.toStdString();
    for (const QString& item : items)
        EXPECT_TRUE(item.startsWith(typed, Qt::CaseInsensitive)) << item.toStdString();
    EXPECT_TRUE(std::is_sorted(items.begin(), items.end()));
}

using K = CompletionContext::Kind;
INSTANTIATE_TEST_SUITE_P(
    Places, Completion,
    ::testing::Values(
        CompletionCase{"AfterLessThan",
                       "text <|",
                       K::ElementName,
                       {"div", "span", "section", "template"},
                       {"center", "blink", "amp;"}},
        CompletionCase{"ElementNameTyped", "<di|", K::ElementName, {"div", "dialog"}, {"span"}},
        CompletionCase{"UpperCaseTyped", "<DI|", K::ElementName, {"div"}, {"span"}},
        CompletionCase{"EndTagName", "<p>x</|", K::ElementName, {"p", "div"}, {}},
        CompletionCase{"AttributeOfAnchor",
                       "<a |",
                       K::AttributeName,
                       {"href", "class", "id", "target", "download"},
                       {"src", "a"}},
        CompletionCase{"AttributeTyped",
                       "<img s|",
                       K::AttributeName,
                       {"src", "srcset", "sizes", "style"},
                       {"href", "alt"}},
        CompletionCase{"NewerAttribute", "<input minl|", K::AttributeName, {"minlength"}, {}},
        CompletionCase{"AfterAValue", "<a href=\"x\" |", K::AttributeName, {"rel"}, {}},
        CompletionCase{
            "UnknownElementGlobals", "<my-el |", K::AttributeName, {"class", "hidden"}, {"href"}},
        CompletionCase{"InputType",
                       "<input type=\"|",
                       K::AttributeValue,
                       {"checkbox", "text", "email"},
                       {"submit2"}},
        CompletionCase{
            "InputTypeTyped", "<input type=\"ch|", K::AttributeValue, {"checkbox"}, {"text"}},
        CompletionCase{"ButtonType",
                       "<button type='|",
                       K::AttributeValue,
                       {"button", "reset", "submit"},
                       {"checkbox"}},
        CompletionCase{"FormMethod", "<form method=|", K::AttributeValue, {"get", "post"}, {}},
        CompletionCase{"Target", "<a target=\"_|", K::AttributeValue, {"_blank", "_self"}, {}},
        CompletionCase{
            "RelList", "<a rel=\"noopener nor|", K::AttributeValue, {"noreferrer"}, {"noopener"}},
        CompletionCase{"Reference", "a &am|", K::CharacterReference, {"amp;"}, {"lt;"}},
        CompletionCase{
            "ReferenceCaseMatters", "&Aa|", K::CharacterReference, {"Aacute;"}, {"aacute;"}},
        CompletionCase{"ReferenceInValue", "<a title=\"&nb|", K::CharacterReference, {"nbsp;"}, {}},
        CompletionCase{"TextAfterTag", "<p>some text|", K::None, {}, {}},
        CompletionCase{"AfterEndTag", "</p> |", K::None, {}, {}},
        CompletionCase{"Comment", "<!-- |", K::None, {}, {}}),
    NameFrom<&CompletionCase::name>());

TEST(Completion, EveryReferenceEndsWithItsSemicolon) {
    CompletionContext c;
    c.kind = CompletionContext::CharacterReference;
    const QStringList all = assist::completionItems(c, QString());
    EXPECT_GT(all.size(), 2000);
    for (const QString& item : all)
        ASSERT_TRUE(item.endsWith(QLatin1Char(';'))) << item.toStdString();
}

} // namespace

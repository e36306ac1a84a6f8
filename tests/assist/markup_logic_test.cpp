// SPDX-License-Identifier: GPL-3.0-or-later
// The logic behind the markup commands, without a window: the fixed fragments, the
// highlighter's colour ranges, the typing-colour rules and the counts.
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <iterator>

#include "assist/counts.h"
#include "assist/editorinput.h"
#include "assist/syntaxranges.h"
#include "assist/tagfragments.h"
#include "testutil.h"

using namespace assist;

namespace {

// ---- fixed fragments -------------------------------------------------------------------

struct FragmentCase {
    const char* item;
    QString fragment;
};

void PrintTo(const FragmentCase& c, std::ostream* os) {
    *os << c.item;
}

QString pairOf(const char* tag) {
    return QStringLiteral("<%1>\r\n\r\n</%1>").arg(QLatin1String(tag));
}

const std::vector<FragmentCase>& expectedFragments() {
    static const std::vector<FragmentCase> cases = {
        {"mnuDoctype", "<!DOCTYPE html>"},
        {"mnuHtml", "<html lang='en'>"},
        {"mnuHead", "<head>\r\r\n</head>"},
        {"mnuCharset", "<meta charset='utf-8'>"},
        {"mnuViewport", "<meta name='viewport' content='width=device-width, initial-scale=1.0'>"},
        {"mnuInternal", "<style>\r\n\r\n</style>"},
        {"mnuJavaScript", "<script language=\"javascript\">\r\n<!--\r\n\r\n-->\r\n</script>"},
        {"mnuBody", "<body>\r\n\r\n</body>"},
        {"mnuArticle", pairOf("article")},
        {"mnuAside", pairOf("aside")},
        {"mnuDetails", pairOf("details")},
        {"mnuFigcaption", pairOf("figcaption")},
        {"mnuFigure", pairOf("figure")},
        {"mnuFooter", pairOf("footer")},
        {"mnuHeader", pairOf("header")},
        {"mnuMain", pairOf("main")},
        {"mnuMark", pairOf("mark")},
        {"mnuNav", pairOf("nav")},
        {"mnuSection", pairOf("section")},
        {"mnuSummary", pairOf("summary")},
        {"mnuTime", pairOf("time")},
        {"mnuH1", pairOf("h1")},
        {"mnuH2", pairOf("h2")},
        {"mnuH3", pairOf("h3")},
        {"mnuH4", pairOf("h4")},
        {"mnuH5", pairOf("h5")},
        {"mnuH6", pairOf("h6")},
        {"mnuParagraph", pairOf("p")},
        {"mnuHorizontalRule", "<hr>"},
        {"mnuLineBreak", "<br>"},
        {"mnuPreformattedText", pairOf("pre")},
        {"mnuBold", "<b>\r\n\r\n</b>"},
        {"mnuImportant", pairOf("strong")},
        {"mnuItalic", pairOf("i")},
        {"mnuEmphasized", pairOf("em")},
        {"mnuMarked", pairOf("mark")},
        {"mnuSmaller", pairOf("small")},
        {"mnuDeleted", pairOf("del")},
        {"mnuInserted", pairOf("ins")},
        {"mnuSubscript", pairOf("sub")},
        {"mnuSuperscript", pairOf("sup")},
        {"mnuAbbr", pairOf("abbr")},
        {"mnuAddress", pairOf("address")},
        {"mnuBdo", pairOf("bdo")},
        {"mnuBlockquote", pairOf("blockquote")},
        {"mnuCite", pairOf("cite")},
        {"mnuQ", pairOf("q")},
    };
    return cases;
}

class FixedFragment : public ::testing::TestWithParam<FragmentCase> {};

TEST_P(FixedFragment, IsExactlyTheMarkupOfItsItem) {
    EXPECT_EQ(tagFragment(GetParam().item), GetParam().fragment);
}

INSTANTIATE_TEST_SUITE_P(AllItems, FixedFragment, ::testing::ValuesIn(expectedFragments()),
                         NameFrom<&FragmentCase::item>());

TEST(FixedFragments, CoverTheFortySevenItemsOnceEach) {
    QSet<QString> names;
    for (const TagCommand& c : fixedTagCommands())
        names.insert(QString::fromLatin1(c.name));
    EXPECT_EQ(fixedTagCommands().size(), 47u);
    EXPECT_EQ(names.size(), 47);
    for (const FragmentCase& c : expectedFragments())
        EXPECT_TRUE(names.contains(QString::fromLatin1(c.item))) << c.item;
    // Items that open a dialog write nothing of their own.
    EXPECT_TRUE(tagFragment("mnuTable").isNull());
    EXPECT_TRUE(tagFragment("mnuComment").isNull());
}

TEST(FixedFragments, SpecialFragmentsHaveTheirExactLengths) {
    EXPECT_EQ(tagFragment("mnuHead").size(), 16);
    EXPECT_EQ(tagFragment("mnuJavaScript").size(), 54);
    // The only lone CR of all fragments is the first break of <head>.
    EXPECT_EQ(tagFragment("mnuHead").indexOf(QLatin1Char('\r')), 6);
    EXPECT_EQ(tagFragment("mnuHead")[7], QLatin1Char('\r'));
}

// ---- the highlighter's colours ---------------------------------------------------------

const SyntaxColourTable kTable = {16711680, 255, 16711808, 32768};

// The colours a text ends with, one letter a character: B tag, R attribute name,
// V attribute value, G comment, "." untouched.
QString colourLetters(const QString& text, const SyntaxColourTable& table = kTable) {
    QString letters(text.size(), QLatin1Char('.'));
    for (const ColorSpan& s : flattenSteps(colorhtmlSteps(text), int(text.size()), table, 0)) {
        const char letter = s.color == table[0]   ? 'B'
                            : s.color == table[1] ? 'R'
                            : s.color == table[2] ? 'V'
                            : s.color == table[3] ? 'G'
                                                  : '?';
        for (int i = s.start; i < s.start + s.length; ++i)
            letters[i] = QLatin1Char(letter);
    }
    return letters;
}

struct HighlightCase {
    const char* name;
    QString text;
    QString colours;
};

void PrintTo(const HighlightCase& c, std::ostream* os) {
    *os << c.name;
}

class HighlightColours : public ::testing::TestWithParam<HighlightCase> {};

TEST_P(HighlightColours, ColourEachCharacterAsTheStepsLeaveIt) {
    ASSERT_EQ(GetParam().text.size(), GetParam().colours.size()) << "bad test row";
    EXPECT_EQ(colourLetters(GetParam().text), GetParam().colours);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, HighlightColours,
    ::testing::Values(
        HighlightCase{"Paragraph", "<p>hello</p>", "BBB.....BBBB"},
        HighlightCase{"QuotedAttribute", "<a href=\"x\">", "BBBRRRRRVVVB"},
        HighlightCase{"BlanksAroundEquals", "<td width = 10>", "BBBBRRRRRRRVVVB"},
        HighlightCase{"SingleQuotedValue", "<meta charset='utf-8'>", "BBBBBBBBBBBBBBBBBBBBBB"},
        HighlightCase{"NoBlankAfterName", "<br>", "BBBB"},
        HighlightCase{"Comment", "<!-- note -->", "GGGGGGGGGGGGG"},
        HighlightCase{"Doctype", "<!DOCTYPE html>", "GGGGGGGGGGGGGGG"},
        HighlightCase{"CommentWithGreaterThan", "<!-- a > b -->", "GGGGGGGG......"},
        HighlightCase{"PlainTextComparison", "a < b and c > d", "..BBBBBBBBBBB.."},
        HighlightCase{"EmptyQuotedValue", "<p class=\"\">", "BBBBBBBBBBBB"},
        HighlightCase{"UnquotedWord", "<input value=abc>", "BBBBBBBBBBBBBBBBB"},
        HighlightCase{"DigitsBeforeUnit", "<x w=12px>", "BBBRRVVBBB"},
        HighlightCase{"SeveralAttributes", "<img src=\"a.png\" alt='x' width=20>",
                      "BBBBBRRRRVVVVVVVBBBBBBBBBRRRRRRVVB"},
        HighlightCase{"TagRightAfterTag", "<b><i>x</i></b>", "BBBBBB.BBBBBBBB"},
        HighlightCase{"LessThanBeforeLineBreak", "<\r\np>", "....."},
        HighlightCase{"TagOverLines", "<a\r\nhref=\"x\">", "BBBBBBBBBBBBB"},
        HighlightCase{"BlankBeforeLineBreakedAttribute", "<a \r\nhref=\"x\">", "BBBBBRRRRRVVVB"},
        HighlightCase{"NonAsciiWordCharacter", QStringLiteral("<p a\u00e9=\"x\">"), "BBBBBBBBBB"},
        HighlightCase{"NonAsciiDigit", QStringLiteral("<p w=\u0663>"), "BBBBBBB"},
        HighlightCase{"NonAsciiValue", QStringLiteral("<p t=\"\u00e9\">"), "BBBRRVVVB"},
        HighlightCase{"UnclosedTag", "text <p class=\"a\"", "................."},
        HighlightCase{"NoMarkup", "just words", ".........."}),
    NameFrom<&HighlightCase::name>());

TEST(HighlightSteps, FollowTheAlgorithmsOrder) {
    // Tag first, then per attribute the whole attribute and then its name part.
    const QVector<ColourStep> steps = colorhtmlSteps(u"x<a id=1 n=\"v\">");
    const QVector<ColourStep> expected = {{1, 14, 0}, {4, 4, 2}, {4, 3, 1}, {9, 5, 2}, {9, 2, 1}};
    EXPECT_EQ(steps, expected);
    // A comment is painted in the tag colour, then over it in the comment colour.
    const QVector<ColourStep> comment = colorhtmlSteps(u"<!x a=1>");
    const QVector<ColourStep> expectedComment = {{0, 8, 0}, {0, 8, 3}};
    EXPECT_EQ(comment, expectedComment);
}

TEST(HighlightSteps, PatternsReadTheScriptingDialect) {
    EXPECT_EQ(ecmaPatternForPcre(kTagPattern),
              QStringLiteral("<([^\\n\\r\\x{2028}\\x{2029}])[^> ]*( ){0,1}[^>]*>"));
    EXPECT_EQ(ecmaPatternForPcre(kAttributePattern),
              QStringLiteral("([A-Za-z0-9_]+ *=) *([0-9]+|\"[^\"]+\")"));
    // Inside a class a dot is literal and \w, \d join the class; escapes stay as written.
    EXPECT_EQ(ecmaPatternForPcre(QStringLiteral("[.\\w\\d]\\.\\W\\D\\s")),
              QStringLiteral("[.A-Za-z0-9_0-9]\\.[^A-Za-z0-9_][^0-9]\\s"));
    EXPECT_TRUE(QRegularExpression(ecmaPatternForPcre(kTagPattern)).isValid());
    EXPECT_TRUE(QRegularExpression(ecmaPatternForPcre(kAttributePattern)).isValid());
}

// The scanner against the two patterns run through the regular-expression engine, over
// random text built from the characters the patterns look at.
TEST(HighlightSteps, ScannerFindsExactlyThePatternMatches) {
    const char16_t alphabet[] = {u'<',  u'<',  u'>',   u'>',   u' ', u' ',  u'!',   u'=',
                                 u'=',  u'"',  u'"',   u'a',   u'b', u'1',  u'9',   u'_',
                                 u'\n', u'\r', 0x2028, 0x2029, u'-', u'\'', 0xD83D, u'\t'};
    QRandomGenerator rng(20261208);
    for (int round = 0; round < 4000; ++round) {
        const int length = int(rng.bounded(60));
        QString text;
        for (int k = 0; k < length; ++k) {
            const char16_t c = alphabet[rng.bounded(int(std::size(alphabet)))];
            text += QChar(c);
            // Mostly whole surrogate pairs; every tenth round keeps the high half alone.
            if (c == 0xD83D && round % 10 != 0)
                text += QChar(char16_t(0xDE00));
        }
        ASSERT_EQ(colorhtmlSteps(text), colorhtmlStepsByPattern(text)) << qPrintable(text);
    }
    const QString page = QStringLiteral(
        "<p class=\"x\" id=12 a = \"\" b=\"y\"><!-- c > d --><a href='q' n=1>x</a>< b=2>"
        "<\nx=1><\u2028y=\"2\"><img  src =  \"p.png\"/>");
    EXPECT_EQ(colorhtmlSteps(page), colorhtmlStepsByPattern(page));
}

// Painting the steps one after the other, character by character.
QVector<int> paintStepByStep(const QVector<ColourStep>& steps, int length,
                             const SyntaxColourTable& table) {
    QVector<int> colours(length, -1);
    for (const ColourStep& s : steps)
        for (int i = s.start; i < s.start + s.length; ++i)
            colours[i] = table[size_t(s.colour)];
    return colours;
}

TEST(FlattenSteps, LeavesTheColoursOfStepByStepPaintingInDisjointMergedSpans) {
    QRandomGenerator rng(20240611);
    const SyntaxColourTable tables[] = {kTable, {1, 1, 2, 2}, {5, 5, 5, 5}};
    for (int round = 0; round < 300; ++round) {
        const SyntaxColourTable& table = tables[round % 3];
        const int length = 1 + int(rng.bounded(80));
        QVector<ColourStep> steps;
        const int count = int(rng.bounded(12));
        for (int k = 0; k < count; ++k) {
            const int start = int(rng.bounded(length));
            steps.append({start, int(rng.bounded(length - start + 1)), int(rng.bounded(4))});
        }
        const int base = int(rng.bounded(1000));
        const QVector<ColorSpan> spans = flattenSteps(steps, length, table, base);
        QVector<int> painted(length, -1);
        int previousEnd = -1;
        int previousColour = 0;
        for (const ColorSpan& s : spans) {
            ASSERT_GT(s.length, 0);
            ASSERT_GE(s.start - base, previousEnd < 0 ? 0 : previousEnd) << "overlap or disorder";
            ASSERT_FALSE(s.start - base == previousEnd && s.color == previousColour)
                << "neighbours of one colour were not merged";
            for (int i = s.start - base; i < s.start - base + s.length; ++i)
                painted[i] = s.color;
            previousEnd = s.start - base + s.length;
            previousColour = s.color;
        }
        ASSERT_EQ(painted, paintStepByStep(steps, length, table)) << "round " << round;
    }
}

TEST(FlattenSteps, IgnoresStepsOutsideTheText) {
    EXPECT_TRUE(flattenSteps({}, 10, kTable, 0).isEmpty());
    EXPECT_TRUE(flattenSteps({{0, 0, 1}}, 10, kTable, 0).isEmpty());
    const QVector<ColorSpan> spans = flattenSteps({{8, 10, 1}}, 10, kTable, 3);
    ASSERT_EQ(spans.size(), 1);
    EXPECT_EQ(spans[0].start, 11);
    EXPECT_EQ(spans[0].length, 2);
    EXPECT_EQ(spans[0].color, kTable[1]);
}

// ---- typing colours ------------------------------------------------------------------

TEST(InsideTag, IsTheLastLessThanAfterTheLastGreaterThan) {
    EXPECT_FALSE(insideTag(-1, -1)); // no markup at all
    EXPECT_TRUE(insideTag(4, -1));   // "<" without any ">"
    EXPECT_FALSE(insideTag(-1, 7));  // ">" alone
    EXPECT_TRUE(insideTag(9, 3));    // unfinished tag at the end
    EXPECT_FALSE(insideTag(3, 9));   // last tag closed
}

struct TypingCase {
    char16_t typed;
    bool inside;
    int colour;
};

TEST(TypingColour, FollowsTheCharacterAndInsideTag) {
    const TypingCase cases[] = {
        {u'<', false, 0},  {u'<', true, 0},   {u' ', true, 1},  {u' ', false, -1},
        {u'"', true, 2},   {u'"', false, -1}, {u'>', true, 0},  {u'>', false, -1},
        {u'!', true, 3},   {u'!', false, -1}, {u'a', true, -1}, {u'=', true, -1},
        {u'\'', true, -1}, {u'-', true, -1},
    };
    for (const TypingCase& c : cases) {
        int asked = 0;
        const int colour = typingColour(QChar(c.typed), [&] {
            ++asked;
            return c.inside;
        });
        EXPECT_EQ(colour, c.colour) << char(c.typed) << " inside=" << c.inside;
        EXPECT_LE(asked, 1);
    }
    // Characters no rule looks at do not search the text.
    int asked = 0;
    typingColour(QChar(u'x'), [&] { return ++asked > 0; });
    EXPECT_EQ(asked, 0);
}

TEST(TypingColour, ReturnsToBlackOnlyOnShiftAloneReleasingGreaterThan) {
    EXPECT_TRUE(isGreaterThanRelease(Qt::Key_Greater, 1));
    EXPECT_TRUE(isGreaterThanRelease(Qt::Key_Period, 1));
    EXPECT_FALSE(isGreaterThanRelease(Qt::Key_Greater, 0));
    EXPECT_FALSE(isGreaterThanRelease(Qt::Key_Period, 0));
    EXPECT_FALSE(isGreaterThanRelease(Qt::Key_Greater, 3));
    EXPECT_FALSE(isGreaterThanRelease(Qt::Key_Greater, 5));
    EXPECT_FALSE(isGreaterThanRelease(Qt::Key_Less, 1));
    EXPECT_FALSE(isGreaterThanRelease(Qt::Key_Shift, 1));
}

// ---- counts ----------------------------------------------------------------------------

struct CountCase {
    const char* name;
    QString text;
    qint64 lines;
    qint64 words;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << c.name;
}

class Counts : public ::testing::TestWithParam<CountCase> {};

TEST_P(Counts, LinesAndWords) {
    EXPECT_EQ(countLines(GetParam().text), GetParam().lines);
    EXPECT_EQ(countWords(GetParam().text), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, Counts,
    ::testing::Values(
        CountCase{"Empty", "", 1, 0}, CountCase{"OneLine", "abc def", 1, 2},
        CountCase{"EndsWithBreak", "abc\r\n", 2, 1}, CountCase{"StartsWithBreak", "\r\nabc", 2, 0},
        CountCase{"HelloWorld", "Hello world", 1, 2},
        CountCase{"TagsGlued", "<p>Hello world</p>", 1, 1},
        CountCase{"BreakWithoutBlank", "one\r\ntwo", 2, 1},
        CountCase{"DigitFirst", "2 apples", 1, 1}, CountCase{"SeveralBlanks", "a    b  ", 1, 2},
        CountCase{"OnlyBlanks", "   ", 1, 0}, CountCase{"TabsDoNotSplit", "a\tb c", 1, 2},
        CountCase{"AccentedFirst", QStringLiteral("\u00e9t\u00e9 Zoo"), 1, 1},
        CountCase{"LoneCarriageReturn", "<head>\r\r\n</head>", 3, 0},
        CountCase{"LineFeedsAlone", "a\nb\nc", 1, 1}),
    NameFrom<&CountCase::name>());

TEST(Counts, AreWiderThanSixteenBits) {
    const QString lines = QStringLiteral("x\r\n").repeated(40000);
    EXPECT_EQ(countLines(lines), 40001);
    const QString words = QStringLiteral("w ").repeated(70000);
    EXPECT_EQ(countWords(words), 70000);
}

TEST(Counts, IsWordLooksAtTheFirstCharacterOnly) {
    EXPECT_FALSE(isWord(u""));
    EXPECT_TRUE(isWord(u"a<>"));
    EXPECT_TRUE(isWord(u"Z9"));
    EXPECT_FALSE(isWord(u"9Z"));
    EXPECT_FALSE(isWord(u"[a")); // "[" lies between "Z" and "a"
    EXPECT_FALSE(isWord(u"`a"));
    EXPECT_FALSE(isWord(u"@a"));
    EXPECT_FALSE(isWord(u"{a"));
}

TEST(Counts, MessagesNameTheCountInPlainDecimal) {
    EXPECT_EQ(lineCountMessage(1), QStringLiteral("Total number of line(s) in Code: 1"));
    EXPECT_EQ(wordCountMessage(123456), QStringLiteral("Total number of word(s) in Code: 123456"));
}

} // namespace

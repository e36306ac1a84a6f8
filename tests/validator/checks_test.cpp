// SPDX-License-Identifier: GPL-3.0-or-later
#include <QRandomGenerator>
#include <QString>
#include <QVector>
#include <gtest/gtest.h>
#include <utility>

#include "testutil.h"
#include "validator/checks.h"

using namespace validator;

namespace {

const QString E = QStringLiteral("\r\n\r\n");

QString openMsg(const QString& name, int n) {
    return QStringLiteral("I found %1 <%2> open tag(s) without a close tag </%2>")
               .arg(n)
               .arg(name) +
           E;
}
QString closeMsg(const QString& name, int n) {
    return QStringLiteral("I found %1 </%2> close tag(s) without an open tag <%2>")
               .arg(n)
               .arg(name) +
           E;
}

struct Case {
    const char* label;
    CheckFn check;
    QString text;
    QString expected;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.label;
}

class CheckCase : public ::testing::TestWithParam<Case> {};

TEST_P(CheckCase, ReportsExactly) {
    const Case& c = GetParam();
    EXPECT_EQ(c.check(c.text, Progress()).toStdString(), c.expected.toStdString());
}

const QString kDifference1_0 =
    QStringLiteral("Difference: You have 1 < sign(s) and 0 > sign(s)...you either forgot to "
                   "enclose your tags between <...> or you're trying to enter a text with the < or "
                   "> signs instead of the special characters &lt;(less then) and &gt;(greater "
                   "then)...") +
    E;

// clang-format off
const Case kBrackets[] = {
    {"lone less-than", cTag, "a < b", kDifference1_0},
    {"entities not counted", cTag, "a &lt; b &gt; c", ""},
    {"reversed pair balanced", cTag, "><", ""},
    {"empty text", cTag, "", ""},
    {"two against one",  cTag, "<<>", QString(kDifference1_0).replace("1 <", "2 <").replace("0 >", "1 >")},
};

const Case kStructure[] = {
    {"capitals with attribute", cHTML, "<HTML lang='en'>\r\n</HTML>", ""},
    {"line break after name", cHTML, "<html\r\nlang='en'>\r\n</html>", "<html> open tag is missing...." + E},
    {"tab after name", cHTML, "<html\t></html>", "<html> open tag is missing...." + E},
    {"closing tag at the very end", cHTML, "<html>\r\n</html>", ""},
    {"closing tag missing", cHTML, "<html><body>", "</html> close tag is missing...." + E},
    {"opening cut off by the end", cHTML, "</html><html", "<html> open tag is missing...." + E},
    {"html both missing", cHTML, "", "<html></html> open and close tags are missing..." + E},
    {"two openings, no closing", cHTML, "<html><html>",
     "?\?<html></html> You have 2 open tag(s) and 0 close tag(s).Please insert a single <html></html> nest..." + E},
    {"two closings, no opening", cHTML, "</html></HTML>",
     "?\?<html></html> You have 0 open tag(s) and 2 close tag(s).Please insert a single <html></html> nest..." + E},
    {"header is not head", cHEAD, "<head><header></header></head>", ""},
    {"only header", cHEAD, "<header></head>", "<head> open tag is missing...." + E},
    {"head both missing", cHEAD, "", "<head></head> open and close tags are missing..." + E},
    {"head counted", cHEAD, "<head><head ></head>",
     "?\?<head></head> You have 2 open tag(s) and 1 close tag(s).Please insert a single <head></head> nest..." + E},
    {"titles is not title", cTITLE, "<title>x</title><titles>", ""},
    {"two titles one close", cTITLE, "<title>a<title>b</title>",
     "?\?<title></title> You have 2 open tag(s) and 1 close tag(s).Please insert a single <title></title> nest..." + E},
    {"title close missing", cTITLE, "<Title>", "</title> close tag is missing...." + E},
    {"body mixed case", cBODY, "<BODY bgcolor='red'></Body>", ""},
    {"body both missing", cBODY, "<bodyx></bodyx>", "<body></body> open and close tags are missing..." + E},
    {"body open missing", cBODY, "</body>", "<body> open tag is missing...." + E},
};

const Case kPairs[] = {
    {"two p open one close", cOne, "<p>a<p>b</p>", openMsg("p", 1)},
    {"one p open three close", cOne, "<p></p></p></p>", closeMsg("p", 2)},
    {"capital p with attribute", cOne, "<P class='x'>text</P>", ""},
    {"b look-alikes not counted", cOne, "<b><br><body><big><bdo></bdo></big></body></b>", ""},
    {"pre is not p", cOne, "<pre>x</pre><pre>", ""},
    {"strong is not s", cOne, "<strong></strong><strong>", ""},
    {"u and ul differ", cOne, "<u><ul></ul>", openMsg("u", 1)},
    {"wrong order still balanced", cOne, "</p><p>", ""},
    {"p followed by line break", cOne, "<p\r\n>x</p>", closeMsg("p", 1)},
    {"p followed by tab", cOne, "<p\t>x</p>", closeMsg("p", 1)},
    {"report order not text order", cOne, "</s><p><a></a>", openMsg("p", 1) + closeMsg("s", 1)},
    {"all six in order", cOne, "<u><s><i><b><a><p>",
     openMsg("p", 1) + openMsg("a", 1) + openMsg("b", 1) + openMsg("i", 1) + openMsg("s", 1) + openMsg("u", 1)},
    {"dotted capital I is not i", cOne, QString::fromUtf8("<\u0130></i>"), closeMsg("i", 1)},
    {"Kelvin sign lowers to k", cTen, QString::fromUtf8("<BLOC\u212AQUOTE>x</blockquote>"), ""},
    {"th counts, thead does not", cTwo, "<thead><th></th></thead><thead>", ""},
    {"lone th", cTwo, "<th><thead>", openMsg("th", 1)},
    {"dd comes last", cTwo, "<dd><tt><dl></h3>", openMsg("dl", 1) + closeMsg("h3", 1) + openMsg("tt", 1) + openMsg("dd", 1)},
    {"heading case", cTwo, "<H1 id=a>x</h1>", ""},
    {"frame and iframe ignored", cFive, "<frame><iframe src=x></iframe><frameset>", ""},
    {"table ends the text", cFive, "<table>\r\n</table>", ""},
    {"closing table at the end", cFive, "x</table>", closeMsg("table", 1)},
    {"table cut off", cFive, "</table><table", closeMsg("table", 1)},
    {"center by its tags", cSix, "<center >c</center>center", ""},
    {"six letters ordered", cSix, "<strike></strike><strong></object>", closeMsg("object", 1) + openMsg("strong", 1)},
    {"div several", cThree, "<div><div><div></div>", openMsg("div", 2)},
    {"span and form", cFour, "<form><span></span></form></code>", closeMsg("code", 1)},
    {"caption", cSeven, "<caption><CAPTION>", openMsg("caption", 2)},
    {"textarea", cEight, "</textarea><noscript></noscript>", closeMsg("textarea", 1)},
    {"blockquote", cTen, "<BLOCKQUOTE cite='x'>q", openMsg("blockquote", 1)},
    {"comment with double hyphen", cCom, "<!-- a -- b -->", ""},
    {"two comment openers", cCom, "<!-- <!-- -->",
     "I found 1 <!-- (comment)open tag(s) without a close tag -->" + E},
    {"lone comment closer", cCom, "x -->",
     "I found 1 --> (comment)close tag(s) without an open tag <!--" + E},
    {"overlapping opener and closer", cCom, "<!-->", ""},
    {"opener cut off", cCom, "--><!-",
     "I found 1 --> (comment)close tag(s) without an open tag <!--" + E},
    {"long hyphen run", cCom, "<!------>", ""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Brackets, CheckCase, ::testing::ValuesIn(kBrackets),
                         NameFrom<&Case::label>());
INSTANTIATE_TEST_SUITE_P(Structure, CheckCase, ::testing::ValuesIn(kStructure),
                         NameFrom<&Case::label>());
INSTANTIATE_TEST_SUITE_P(Pairs, CheckCase, ::testing::ValuesIn(kPairs), NameFrom<&Case::label>());

// The elements of each pair check in report order.
const std::pair<CheckFn, QStringList> kElements[] = {
    {cOne, {"p", "a", "b", "i", "s", "u"}},
    {cTwo,
     {"dl", "em", "h1", "h2", "h3", "h4", "h5", "h6", "ol", "td", "th", "tr", "ul", "tt", "dd"}},
    {cThree, {"dfn", "dir", "div", "map", "pre", "var", "sub", "sup", "xmp"}},
    {cFour, {"cite", "code", "font", "form", "samp", "span"}},
    {cFive, {"embed", "small", "style", "table"}},
    {cSix, {"object", "applet", "center", "script", "strong", "strike"}},
    {cSeven, {"address", "noembed", "caption"}},
    {cEight, {"noframes", "noscript", "textarea", "frameset"}},
    {cTen, {"blockquote"}},
};

TEST(PairChecks, EveryElementIsCountedByItsOwnCheckOnly) {
    int elements = 0;
    for (const auto& [check, names] : kElements) {
        for (const QString& name : names) {
            ++elements;
            const QString upper = name.toUpper();
            EXPECT_EQ(check("<" + upper + " x=1>", Progress()), openMsg(name, 1))
                << qPrintable(name);
            EXPECT_EQ(check("</" + name + ">", Progress()), closeMsg(name, 1)) << qPrintable(name);
            for (const auto& [other, otherNames] : kElements) {
                if (other != check) {
                    EXPECT_EQ(other("<" + name + "></" + name + "><" + name + ">", Progress()), "")
                        << qPrintable(name);
                }
            }
        }
    }
    EXPECT_EQ(elements, 54);
}

TEST(PairChecks, AllElementsUnbalancedReportInTableOrder) {
    for (const auto& [check, names] : kElements) {
        QString text;
        QString expected;
        // Written in reverse order; reported in table order.
        for (int k = names.size() - 1; k >= 0; --k)
            text += "<" + names[k] + ">";
        for (const QString& name : names)
            expected += openMsg(name, 1);
        EXPECT_EQ(check(text, Progress()), expected);
    }
}

// The position scan written out literally: at every position, each pattern compared with
// the lower-cased characters there; patterns running past the end never match.
int literalCount(const QString& text, const QString& pattern) {
    int count = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text.mid(i, pattern.size()).toLower() == pattern)
            ++count;
    }
    return count;
}

TEST(PairChecks, AgreeWithTheLiteralScanOnRandomText) {
    // Pieces that form, break and overlap tags, and run into the end of the text.
    const QStringList pieces = {"<",  ">",  "/",  " ",  "\r\n", "\t", "p", "P",  "h",  "1",
                                "t",  "d",  "D",  "a",  "b",    "l",  "e", "r",  "<p", "</",
                                "dd", "th", "<!", "--", "-",    "s",  "u", "ul", "tr", "x"};
    QRandomGenerator rng(20240607);
    for (int round = 0; round < 400; ++round) {
        QString text;
        const int length = int(rng.bounded(40));
        for (int k = 0; k < length; ++k)
            text += pieces[int(rng.bounded(pieces.size()))];
        for (const auto& [check, names] : kElements) {
            QString expected;
            for (const QString& name : names) {
                const int open =
                    literalCount(text, "<" + name + " ") + literalCount(text, "<" + name + ">");
                const int close = literalCount(text, "</" + name + ">");
                if (open < close)
                    expected += closeMsg(name, close - open);
                else if (open > close)
                    expected += openMsg(name, open - close);
            }
            ASSERT_EQ(check(text, Progress()).toStdString(), expected.toStdString())
                << text.toStdString();
        }
        const int open = literalCount(text, "<!--");
        const int close = literalCount(text, "-->");
        const QString com = cCom(text, Progress());
        if (open == close) {
            ASSERT_EQ(com, "") << text.toStdString();
        } else {
            ASSERT_TRUE(com.startsWith("I found " + QString::number(qAbs(open - close)) + " "))
                << text.toStdString();
        }
    }
}

TEST(Checks, RunOrder) {
    // The captions are checked through the window; here, that each names its own check.
    const CheckFn fns[] = {cTag,  cHTML, cHEAD, cTITLE, cBODY,  cOne, cTwo, cThree,
                           cFour, cFive, cSix,  cSeven, cEight, cTen, cCom};
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(validationChecks()[k].check, fns[k]) << validationChecks()[k].caption;
}

TEST(Checks, EmptyTextFindsOnlyTheMissingStructure) {
    EXPECT_EQ(runAllChecks(QString()), "<html></html> open and close tags are missing..." + E +
                                           "<head></head> open and close tags are missing..." + E +
                                           "<title></title> open and close tags are missing..." +
                                           E + "<body></body> open and close tags are missing..." +
                                           E);
}

TEST(Checks, CleanPageFindsNothing) {
    const QString page = "<!DOCTYPE html>\r\n<html lang='en'>\r\n<head>\r\n<title>T</title>\r\n"
                         "<style>p { color: red }</style>\r\n</head>\r\n<body>\r\n<!-- note -->\r\n"
                         "<h1>Head</h1><p class='a'>x <b>y</b> <br> <img src='a.png'></p>\r\n"
                         "<table><tr><td>1</td></tr></table>\r\n</body>\r\n</html>";
    EXPECT_EQ(runAllChecks(page), "");
}

// Progress: first 0, last the maximum, values increasing, a bounded number of calls.
class ProgressOfCheck : public ::testing::TestWithParam<int> {};

TEST_P(ProgressOfCheck, StartsAtZeroEndsAtMaximumAndStaysBounded) {
    const CheckStep& step = validationChecks()[GetParam()];
    for (qsizetype size :
         {qsizetype(0), qsizetype(1), qsizetype(7), qsizetype(1000), qsizetype(1'000'003)}) {
        const QString text = QString(size, QLatin1Char('<'));
        QVector<std::pair<qsizetype, qsizetype>> calls;
        step.check(text, [&](qsizetype m, qsizetype v) { calls.append({m, v}); });
        ASSERT_FALSE(calls.isEmpty());
        EXPECT_EQ(calls.first(), std::make_pair(size, qsizetype(0)));
        EXPECT_EQ(calls.last(), std::make_pair(size, size));
        EXPECT_LE(calls.size(), 300);
        for (int k = 1; k < calls.size(); ++k) {
            EXPECT_EQ(calls[k].first, size);
            EXPECT_GT(calls[k].second, calls[k - 1].second);
        }
        if (size > 0 && size < 300) {
            EXPECT_EQ(calls.size(), size + 1); // small texts: every position
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllFifteen, ProgressOfCheck, ::testing::Range(0, 15),
                         [](const auto& info) {
                             return testName(validationChecks()[info.param].caption);
                         });

} // namespace

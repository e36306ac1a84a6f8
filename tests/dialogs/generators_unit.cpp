// SPDX-License-Identifier: GPL-3.0-or-later
#include "generators_testutil.h"
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include "dialogs/dateformat.h"
#include "dialogs/generatorfragments.h"
#include "dialogs/hexcolor.h"
#include "dialogs/numberinput.h"

namespace {

using fragments::BodyColors;
using fragments::IframeFields;
using fragments::MarqueeFields;
using fragments::TableLayout;

QString lines(std::initializer_list<const char*> parts) {
    return crlfLines(parts);
}

// ---- HexColor ---------------------------------------------------------------------------

struct HexCase {
    int value;
    const char* expected;
};
void PrintTo(const HexCase& c, std::ostream* os) {
    *os << c.value << " is " << c.expected;
}
class HexColorTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexColorTest, WritesRedGreenBlue) {
    const int value = GetParam().value;
    const int before = value;
    EXPECT_EQ(HexColor(value), QString::fromLatin1(GetParam().expected));
    EXPECT_EQ(value, before);
}

INSTANTIATE_TEST_SUITE_P(Values, HexColorTest,
                         ::testing::Values(HexCase{255, "#FF0000"}, HexCase{16711680, "#0000FF"},
                                           HexCase{0, "#000000"}, HexCase{1193046, "#563412"},
                                           HexCase{65280, "#00FF00"}, HexCase{16777215, "#FFFFFF"},
                                           HexCase{15, "#0F0000"}, HexCase{0x0A0B0C, "#0C0B0A"}),
                         PrintedName());

TEST(HexColor, LongerDigitStringIsSlicedWithoutFilling) {
    // Seven digits 1ABCDEF: last two, third and fourth, first two.
    EXPECT_EQ(HexColor(0x1ABCDEF), QStringLiteral("#EFBC1A"));
    // A system-colour reference (top bit set) still gives a "#" and six digits.
    EXPECT_EQ(HexColor(static_cast<int>(0x80000005u)), QStringLiteral("#050080"));
}

// ---- Reading counts ---------------------------------------------------------------------

struct NumberCase {
    const char* text;
    WholeNumber::Status status;
    qint32 value;
};
void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}
class ReadWholeNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadWholeNumberTest, ReadsAsTheUserWroteIt) {
    const NumberCase& c = GetParam();
    const WholeNumber n = readWholeNumber(QString::fromUtf8(c.text),
                                          QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(n.status, c.status) << c.text;
    if (c.status == WholeNumber::Status::Ok) {
        EXPECT_EQ(n.value, c.value) << c.text;
    }
}

using S = WholeNumber::Status;
INSTANTIATE_TEST_SUITE_P(
    Texts, ReadWholeNumberTest,
    ::testing::Values(
        NumberCase{"3", S::Ok, 3}, NumberCase{"  12 ", S::Ok, 12}, NumberCase{"-4", S::Ok, -4},
        NumberCase{"0", S::Ok, 0},
        // Halves go to the even neighbour, other fractions to the nearest.
        NumberCase{"2.5", S::Ok, 2}, NumberCase{"3.5", S::Ok, 4}, NumberCase{"0.5", S::Ok, 0},
        NumberCase{"-2.5", S::Ok, -2}, NumberCase{"-3.5", S::Ok, -4}, NumberCase{"2.4", S::Ok, 2},
        NumberCase{"2.6", S::Ok, 3}, NumberCase{"1e3", S::Ok, 1000},
        NumberCase{"1,000", S::Ok, 1000}, NumberCase{"2147483647", S::Ok, 2147483647},
        NumberCase{"-2147483648", S::Ok, -2147483647 - 1},
        NumberCase{"2147483647.4", S::Ok, 2147483647}, NumberCase{"2147483647.5", S::OutOfRange, 0},
        NumberCase{"2147483648", S::OutOfRange, 0}, NumberCase{"-2147483649", S::OutOfRange, 0},
        NumberCase{"1e300", S::OutOfRange, 0}, NumberCase{"", S::NotANumber, 0},
        NumberCase{"   ", S::NotANumber, 0}, NumberCase{"abc", S::NotANumber, 0},
        NumberCase{"3x", S::NotANumber, 0}, NumberCase{"inf", S::NotANumber, 0},
        NumberCase{"nan", S::NotANumber, 0}, NumberCase{"1 2", S::NotANumber, 0}),
    NameFrom<&NumberCase::text>());

TEST(ReadWholeNumber, LocaleDecimalCommaAndPlainNotationBothWork) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(readWholeNumber(QStringLiteral("2,5"), german).value, 2);
    EXPECT_EQ(readWholeNumber(QStringLiteral("3,5"), german).value, 4);
    EXPECT_EQ(readWholeNumber(QStringLiteral("7"), german).value, 7);
    EXPECT_TRUE(readWholeNumber(QStringLiteral("3.5"), german).ok());
}

TEST(ReadWholeNumber, ProblemNamesTheField) {
    const QString bad = QStringLiteral("abc");
    const QString notNumber = wholeNumberProblem(QStringLiteral("Rows"), bad, readWholeNumber(bad));
    EXPECT_TRUE(notNumber.startsWith(QStringLiteral("Rows")));
    EXPECT_TRUE(notNumber.contains(bad));
    const QString huge = QStringLiteral("99999999999");
    const QString range =
        wholeNumberProblem(QStringLiteral("Columns"), huge, readWholeNumber(huge));
    EXPECT_TRUE(range.startsWith(QStringLiteral("Columns")));
    EXPECT_TRUE(range.contains(huge));
    EXPECT_NE(range, wholeNumberProblem(QStringLiteral("Columns"), bad, readWholeNumber(bad)));
    EXPECT_TRUE(wholeNumberProblem(QStringLiteral("Rows"), QStringLiteral("4"),
                                   readWholeNumber(QStringLiteral("4")))
                    .isEmpty());
}

// ---- Table and list ---------------------------------------------------------------------

TEST(TableFragment, DefaultsGiveOneCell) {
    EXPECT_EQ(fragments::table(TableLayout{}, 1, 1, QString()),
              lines({"<table Align='center' Border='0' cellpadding='1' cellspacing='1'>", "<tr>",
                     "<td>&nbsp;</td>", "</tr>", "</table>"}));
}

TEST(TableFragment, TwoRowsOfThreeCells) {
    EXPECT_EQ(
        fragments::table(TableLayout{}, 2, 3, QString()),
        lines({"<table Align='center' Border='0' cellpadding='1' cellspacing='1'>", "<tr>",
               "<td>&nbsp;</td>", "<td>&nbsp;</td>", "<td>&nbsp;</td>", "</tr>", "<tr>",
               "<td>&nbsp;</td>", "<td>&nbsp;</td>", "<td>&nbsp;</td>", "</tr>", "</table>"}));
}

struct SizeCase {
    qint32 rows;
    qint32 columns;
    int cellsPerRow;
    int rowCount;
};
void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.rows << "x" << c.columns;
}
class TableSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(TableSizeTest, RowsBelowOneGiveNoneAndEveryRowHasACell) {
    const SizeCase& c = GetParam();
    const QString text = fragments::table(TableLayout{}, c.rows, c.columns, QString());
    EXPECT_EQ(text.count(QStringLiteral("<tr>")), c.rowCount);
    EXPECT_EQ(text.count(QStringLiteral("<td>&nbsp;</td>")), c.rowCount * c.cellsPerRow);
    EXPECT_TRUE(text.startsWith(QStringLiteral("<table ")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("</table>") + kCrLf));
    EXPECT_EQ(fragments::tableCellCount(c.rows, c.columns), qint64(c.rowCount) * c.cellsPerRow);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TableSizeTest,
                         ::testing::Values(SizeCase{0, 5, 5, 0}, SizeCase{-3, 2, 2, 0},
                                           SizeCase{3, 0, 1, 3}, SizeCase{3, 1, 1, 3},
                                           SizeCase{2, -7, 1, 2}, SizeCase{4, 2, 2, 4}),
                         PrintedName());

TEST(TableFragment, RowsZeroGivesOnlyTheTableLines) {
    EXPECT_EQ(
        fragments::table(TableLayout{}, 0, 3, QString()),
        lines({"<table Align='center' Border='0' cellpadding='1' cellspacing='1'>", "</table>"}));
}

TEST(TableFragment, WidthStandsBetweenAlignmentAndBorder) {
    EXPECT_EQ(
        fragments::table(TableLayout{}, 1, 1, fragments::tableWidthAttribute(true, "80", true))
            .section(kCrLf, 0, 0),
        QStringLiteral(
            "<table Align='center' width='80%' Border='0' cellpadding='1' cellspacing='1'>"));
    EXPECT_EQ(
        fragments::table(TableLayout{}, 1, 1, fragments::tableWidthAttribute(true, "100", false))
            .section(kCrLf, 0, 0),
        QStringLiteral(
            "<table Align='center' width='100' Border='0' cellpadding='1' cellspacing='1'>"));
    EXPECT_EQ(fragments::tableWidthAttribute(false, "100", true), QString());
}

TEST(TableFragment, FieldTextsAreWrittenVerbatim) {
    TableLayout layout;
    layout.alignment = QStringLiteral("Left");
    layout.border = QStringLiteral(" 2");
    layout.padding = QStringLiteral("a'b");
    layout.spacing = QString();
    EXPECT_EQ(fragments::table(layout, 0, 0, QString()).section(kCrLf, 0, 0),
              QStringLiteral("<table Align='Left' Border=' 2' cellpadding='a'b' cellspacing=''>"));
}

struct ListCase {
    bool ordered;
    qint32 items;
    int expectedItems;
};
void PrintTo(const ListCase& c, std::ostream* os) {
    *os << (c.ordered ? "ordered " : "unordered ") << c.items;
}
class ListFragmentTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListFragmentTest, OuterTagsAroundEmptyItems) {
    const ListCase& c = GetParam();
    const QString tag = c.ordered ? QStringLiteral("ol") : QStringLiteral("ul");
    QString expected = QStringLiteral("<%1>").arg(tag) + kCrLf;
    for (int i = 0; i < c.expectedItems; ++i)
        expected += QStringLiteral("<li>&nbsp;</li>") + kCrLf;
    expected += QStringLiteral("</%1>").arg(tag) + kCrLf;
    EXPECT_EQ(fragments::list(c.ordered, c.items), expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, ListFragmentTest,
                         ::testing::Values(ListCase{false, 3, 3}, ListCase{true, 3, 3},
                                           ListCase{false, 1, 1}, ListCase{true, 1, 1},
                                           ListCase{false, 0, 0}, ListCase{true, 0, 0},
                                           ListCase{false, -2, 0}),
                         PrintedName());

// ---- Colours, marquee, iframe -----------------------------------------------------------

BodyColors exampleColors() {
    BodyColors c;
    c.background = 255;
    c.text = 0;
    c.link = 16711680;
    c.activeLink = 65280;
    c.visitedLink = 16777215;
    return c;
}

TEST(ColorsFragment, BackgroundColour) {
    EXPECT_EQ(fragments::colors(exampleColors()),
              QStringLiteral("<body bgcolor='#FF0000' text='#000000' link='#0000FF' "
                             "alink='#00FF00' vlink='#FFFFFF'>"));
}

TEST(ColorsFragment, ImageInsteadOfColour) {
    BodyColors c = exampleColors();
    c.useImage = true;
    EXPECT_EQ(fragments::colors(c),
              QStringLiteral("<body background='' text='#000000' "
                             "link='#0000FF' alink='#00FF00' vlink='#FFFFFF'>"));
    c.imagePath = QStringLiteral("/home/u/pics/sky.jpg");
    EXPECT_EQ(fragments::colors(c),
              QStringLiteral("<body background='/home/u/pics/sky.jpg' text='#000000' "
                             "link='#0000FF' alink='#00FF00' vlink='#FFFFFF'>"));
}

TEST(MarqueeFragment, DefaultsWithRedBackground) {
    MarqueeFields f;
    f.text = QStringLiteral("Hi");
    f.background = 255;
    EXPECT_EQ(fragments::marquee(f),
              QStringLiteral("<marquee align='Left' behavior='Scoll' bgcolor='#FF0000' "
                             "direction='Left' scrollamount='10' scrolldelay='90'>Hi</marquee>"));
}

TEST(MarqueeFragment, OptionsAndSpeedsInTheirPlaces) {
    MarqueeFields f;
    f.text = QStringLiteral("<b>news</b>");
    f.align = QStringLiteral("Center");
    f.behavior = QStringLiteral("Alternate");
    f.direction = QStringLiteral("Right");
    f.amount = QStringLiteral("3");
    f.delay = QStringLiteral("200");
    f.background = 0x123456;
    EXPECT_EQ(fragments::marquee(f),
              QStringLiteral("<marquee align='Center' behavior='Alternate' bgcolor='#563412' "
                             "direction='Right' scrollamount='3' scrolldelay='200'><b>news</b>"
                             "</marquee>"));
}

TEST(IframeFragment, Defaults) {
    EXPECT_EQ(fragments::iframe(IframeFields{}),
              QStringLiteral("<iframe src='http://' height='' width='' title=''>"));
}

TEST(IframeFragment, BorderRemovedHeightBeforeWidth) {
    IframeFields f;
    f.url = QStringLiteral("page.html");
    f.width = QStringLiteral("300");
    f.height = QStringLiteral("200");
    f.title = QStringLiteral("Map");
    f.removeBorder = true;
    EXPECT_EQ(fragments::iframe(f),
              QStringLiteral("<iframe src='page.html' height='200' "
                             "width='300' title='Map' style='border:none;' >"));
}

// ---- Date formats -----------------------------------------------------------------------

const QDateTime kMoment(QDate(2025, 3, 5), QTime(14, 7, 9));

QStringList formatAll(const QDateTime& moment, const QLocale& locale) {
    QStringList out;
    for (const QString& f : timeDateFormats())
        out << formatDateTime(moment, f, locale);
    return out;
}

TEST(DateFormat, NineFormatsInEnglishUnitedStates) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(formatAll(kMoment, us),
              (QStringList{"3/5/25", "5/3/25", "Wednesday, March 05, 2025", "5-Mar", "March-25",
                           "02:07 PM", "2:07:09 p", "5-March 14:07", "5-March-2025 02:07 PM"}));
}

TEST(DateFormat, NineFormatsInGerman) {
    // German writes dates with "." and keeps ":" between hours and minutes; its
    // abbreviated March is "Mär".
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(formatAll(kMoment, de),
              (QStringList{QStringLiteral("3.5.25"), QStringLiteral("5.3.25"),
                           QStringLiteral("Mittwoch, März 05, 2025"), QStringLiteral("5-Mär"),
                           QStringLiteral("März-25"), QStringLiteral("02:07 PM"),
                           QStringLiteral("2:07:09 p"), QStringLiteral("5-März 14:07"),
                           QStringLiteral("5-März-2025 02:07 PM")}));
}

TEST(DateFormat, FinnishTimeSeparatorAndStandaloneNames) {
    const QLocale fi(QLocale::Finnish, QLocale::Finland);
    EXPECT_EQ(dateSeparator(fi), QStringLiteral("."));
    EXPECT_EQ(timeSeparator(fi), QStringLiteral("."));
    EXPECT_EQ(formatDateTime(kMoment, QStringLiteral("d-mmmm h:mm"), fi),
              QStringLiteral("5-maaliskuu 14.07"));
    EXPECT_EQ(formatDateTime(kMoment, QStringLiteral("dddd"), fi), QStringLiteral("keskiviikko"));
}

struct TokenCase {
    int hour;
    int minute;
    const char* pattern;
    const char* expected;
};
void PrintTo(const TokenCase& c, std::ostream* os) {
    *os << c.pattern;
}
class DateTokenTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(DateTokenTest, Writes) {
    const TokenCase& c = GetParam();
    const QDateTime moment(QDate(2009, 1, 2), QTime(c.hour, c.minute, 4));
    EXPECT_EQ(formatDateTime(moment, QString::fromLatin1(c.pattern),
                             QLocale(QLocale::English, QLocale::UnitedStates)),
              QString::fromLatin1(c.expected))
        << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, DateTokenTest,
    ::testing::Values(
        // Midnight and noon on the 12-hour clock; 0-23 without AM/PM.
        TokenCase{0, 5, "hh:mm AM/PM", "12:05 AM"}, TokenCase{12, 5, "h:mm a/p", "12:05 p"},
        TokenCase{11, 59, "h:mm:ss a/p", "11:59:04 a"}, TokenCase{0, 5, "h:mm", "0:05"},
        TokenCase{9, 5, "hh:mm", "09:05"}, TokenCase{23, 5, "hh:m", "23:5"},
        // "m" is a month unless it follows an hour and a colon; "yy" keeps its zero.
        TokenCase{9, 5, "m/d/yy", "1/2/09"}, TokenCase{9, 5, "mm/dd/yyyy", "01/02/2009"},
        TokenCase{9, 5, "h m", "9 1"}, TokenCase{9, 5, "ss:mm", "04:01"},
        TokenCase{9, 5, "mmm mmmm", "Jan January"}, TokenCase{9, 5, "dddd", "Friday"},
        // Letter case of the AM/PM tokens, and other characters passing through.
        TokenCase{15, 0, "h am/pm", "3 pm"}, TokenCase{15, 0, "h A/P", "3 P"},
        TokenCase{15, 0, "d, (x)", "2, (x)"}),
    NameFrom<&TokenCase::pattern>());

} // namespace

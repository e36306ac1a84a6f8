// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's bytes and their text: stand-in characters written back over the stray bytes
// of a file.
#include <gtest/gtest.h>

#include <QString>

#include "editor/editorbytes.h"
#include "testutil.h"

namespace {

// The editor's bytes for a text written over other bytes: a stand-in goes back as the
// stray byte it stands for only where that byte was; any other is the character itself.
struct OverCase {
    const char* name;
    QByteArray old; // the editor's bytes written over
    const char16_t* text;
    QByteArray bytes; // what the editor then holds
};

void PrintTo(const OverCase& c, std::ostream* os) {
    *os << c.name;
}

class StandInsWrittenOver : public ::testing::TestWithParam<OverCase> {};

TEST_P(StandInsWrittenOver, OnlyTheFilesStrayBytesStayBytes) {
    const OverCase& c = GetParam();
    const QString text = QStringView(c.text).toString(); // fromUtf16 would drop a U+FEFF
    const QByteArray bytes = editorbytes::encodeOver(text, c.old);
    EXPECT_EQ(bytes, c.bytes);
    // Whatever became of them, the bytes read back as the text.
    EXPECT_EQ(editorbytes::decode(bytes), text);
}

INSTANTIATE_TEST_SUITE_P(
    Editor, StandInsWrittenOver,
    ::testing::Values(
        OverCase{"TheSameTextKeepsItsStrayBytes", "a\x80\xff b", u"a\uEF80\uEFFF b", "a\x80\xff b"},
        OverCase{"AStandInEnteredIsTheCharacter", "ab", u"a\uEF80b",
                 "a\xee\xbe\x80"
                 "b"},
        OverCase{"EnteredAfterAStrayByteOfTheSameValue", "a\x80", u"a\uEF80\uEF80",
                 "a\x80\xee\xbe\x80"},
        OverCase{"EnteredBeforeAStrayByteOfTheSameValue", "a\x80", u"\uEF80a\uEF80",
                 "\xee\xbe\x80"
                 "a\x80"},
        OverCase{"EnteredOverTheStrayByteItStandsFor", "<\x80>", u"<\uEF80\uEF80\uEF80>",
                 "<\x80\xee\xbe\x80\xee\xbe\x80>"},
        OverCase{"MarkersPutAroundASelection", "\x80x\x81", u"\u009D\uEF80x\uEF81\u0081",
                 "\xc2\x9d\x80x\x81\xc2\x81"},
        OverCase{"LinesMovedPastEachOther", "1\x80\r\n2\x81\r\n3\x80\r\n",
                 u"2\uEF81\r\n3\uEF80\r\n1\uEF80\r\n", "2\x81\r\n3\x80\r\n1\x80\r\n"},
        OverCase{"EditsAtBothEnds",
                 "a\x80"
                 "b\x81"
                 "c",
                 u"\uEF80a\uEF80b\uEF81\uEF81cz",
                 "\xee\xbe\x80"
                 "a\x80"
                 "b\x81\xee\xbe\x81"
                 "cz"},
        OverCase{"ALineMovedAndAStandInTypedElsewhere", "1\x80\r\n2\r\n3\r\n",
                 u"2\r\n3\uEF81\r\n1\uEF80\r\n", "2\r\n3\xee\xbe\x81\r\n1\x80\r\n"},
        OverCase{"EnteredOnesKeepTheirPlaceAmongStrayOnes", "\xee\xbe\x80-\x80", u"x\uEF80-\uEF80",
                 "x\xee\xbe\x80-\x80"},
        OverCase{"StrayBytesRemovedAreGone",
                 "a\x80"
                 "b\x81",
                 u"ab\uEF81", "ab\x81"},
        OverCase{"NoStrayBytesToKeep", "\xc3\xa9", u"\u00e9\uEF80", "\xc3\xa9\xee\xbe\x80"},
        OverCase{"ByteOrderMarkAndNoncharactersAsThemselves", "\x80", u"\uFEFF\uEF80\uFFFE\uFDD0",
                 "\xef\xbb\xbf\x80\xef\xbf\xbe\xef\xb7\x90"},
        OverCase{"OverlongAndTruncatedFormsAreStrayBytes", "\xc0\x80 \xe2\x82",
                 u"\uEFC0\uEF80 \uEFE2\uEF82", "\xc0\x80 \xe2\x82"},
        OverCase{"PairsBesideStrayBytes", "\xf0\x9f\x98\x80\x80", u"\U0001F600\uEF80!",
                 "\xf0\x9f\x98\x80\x80!"}),
    NameFrom<&OverCase::name>());

TEST(EditorBytes, ATextChangedThroughoutKeepsItsStrayBytesInOrder) {
    // Too many changes to line the texts up: the stand-ins of each value are paired in
    // order, and those beyond the old ones are characters.
    QByteArray old;
    QString text;
    QByteArray expected;
    for (int i = 0; i < 3000; ++i) {
        old += "x\x80"
               "x\x81";
        text += QStringLiteral("yy") + QChar(0xEF80) + QChar(0xEF81) + QChar(0xEF81);
        expected += "yy\x80" + QByteArray(i < 1500 ? "\x81\x81" : "\xee\xbe\x81\xee\xbe\x81");
    }
    text += QStringLiteral("z");
    expected += "z";
    EXPECT_EQ(editorbytes::encodeOver(text, old), expected);
}

TEST(EditorBytes, UnpairedSurrogatesAreWrittenAsReplacementCharacters) {
    // UTF-8 cannot hold them; each stays one character, so positions after it still agree.
    const QString text = QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b") + QChar(0xDE00) +
                         QChar(0xDE00) + QChar(0xD83D);
    EXPECT_EQ(editorbytes::encode(text), QByteArray("a\xef\xbf\xbd"
                                                    "b\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"));
    EXPECT_EQ(editorbytes::decode(editorbytes::encode(text)).size(), text.size());
    EXPECT_EQ(editorbytes::encodeOver(text + QChar(0xEF80), "\x80"),
              editorbytes::encode(text) + "\x80");
}

// The editor's bytes read as text, whole and cut in two at every byte (the two sides of the
// buffer's gap): the same characters either way, a character cut by the join included.
struct DecodeCase {
    const char* name;
    QByteArray bytes;
    const char16_t* text;
    bool stray;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class EditorText : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(EditorText, IsTheSameWhereverTheBytesAreCut) {
    const DecodeCase& c = GetParam();
    const QString text = QStringView(c.text).toString();
    bool stray = !c.stray;
    EXPECT_EQ(editorbytes::decode(c.bytes, &stray), text);
    EXPECT_EQ(stray, c.stray);
    for (qsizetype cut = 0; cut <= c.bytes.size(); ++cut) {
        const QByteArrayView bytes(c.bytes);
        stray = !c.stray;
        EXPECT_EQ(editorbytes::decode(bytes.first(cut), bytes.sliced(cut), &stray), text)
            << "cut at " << cut;
        EXPECT_EQ(stray, c.stray) << "cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Editor, EditorText,
    ::testing::Values(
        DecodeCase{"Ascii", "<p>a</p>\r\n", u"<p>a</p>\r\n", false},
        DecodeCase{"TwoThreeAndFourBytes", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80!",
                   u"\u00e9\u20ac\U0001F600!", false},
        DecodeCase{"ByteOrderMarkAtTheStart", "\xef\xbb\xbf<p>", u"\uFEFF<p>", false},
        DecodeCase{"ByteOrderMarksInside", "a\xef\xbb\xbf\r\n\xef\xbb\xbf", u"a\uFEFF\r\n\uFEFF",
                   false},
        DecodeCase{"StrayBytes", "caf\xe9 \xc3\xa9\x80", u"caf\uEFE9 \u00e9\uEF80", true},
        DecodeCase{"ByteOrderMarkBeforeAStrayByte", "\xef\xbb\xbf\xff", u"\uFEFF\uEFFF", true},
        DecodeCase{"TruncatedAtTheEnd", "a\xe2\x82", u"a\uEFE2\uEF82", true},
        DecodeCase{"TruncatedBeforeAscii", "\xf0\x9f\x98z", u"\uEFF0\uEF9F\uEF98z", true},
        DecodeCase{"Overlong", "\xc0\x80", u"\uEFC0\uEF80", true},
        DecodeCase{"Nothing", "", u"", false}),
    NameFrom<&DecodeCase::name>());

} // namespace

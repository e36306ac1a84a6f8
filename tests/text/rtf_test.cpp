// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF reader and writer without a display: the shapes the selection highlighter
// relies on, round trips of generated documents, word-processor constructs, hostile
// input, and the string rewriting of selection highlighting.
#include <gtest/gtest.h>

#include "assist/selectionhighlight.h"
#include "rtf_testdocs.h"
#include "text/rtf.h"

namespace {

using rtftest::firstFormatDifference;
using rtftest::formatsOf;

RichDocument docOf(const QString& text, const QVector<FormatRun>& runs = {}) {
    return RichDocument{text, runs};
}

CharFormat coloured(int color, int highlight = -1) {
    CharFormat f;
    f.color = color;
    f.highlight = highlight;
    return f;
}

QString writeDoc(const RichDocument& d) {
    return rtf::write(d, QStringLiteral("Cambria"), 9.75);
}

// ---- the writer's shapes ------------------------------------------------------------------

struct ShapeCase {
    const char* name;
    RichDocument doc;
    QStringList contains;
    QStringList lacks;
};
void PrintTo(const ShapeCase& c, std::ostream* os) {
    *os << c.name;
}

class WriterShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(WriterShape, HoldsTheExpectedPieces) {
    const QString out = writeDoc(GetParam().doc);
    ASSERT_TRUE(out.startsWith(QLatin1String("{\\rtf1")));
    for (const QString& want : GetParam().contains)
        EXPECT_TRUE(out.contains(want)) << "missing " << want.toStdString() << " in\n"
                                        << out.toStdString();
    for (const QString& not_ : GetParam().lacks)
        EXPECT_FALSE(out.contains(not_)) << "unexpected " << not_.toStdString() << " in\n"
                                         << out.toStdString();
    for (QChar c : out)
        ASSERT_LT(c.unicode(), 0x80) << "the output is plain ASCII";
}

CharFormat boldItalic() {
    CharFormat f;
    f.bold = f.italic = f.underline = true;
    f.size = 14;
    return f;
}
CharFormat raised() {
    CharFormat f;
    f.up = 1;
    f.highlight = 255;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, WriterShape,
    ::testing::Values(
        ShapeCase{"plain_text_has_font_table_and_no_colour_table",
                  docOf("hello"),
                  {"{\\fonttbl{\\f0\\fnil Cambria;}}", "hello"},
                  {"{\\colortbl", "\\cf", "\\highlight", "\\b", "\\pard\\fs"}},
        ShapeCase{"red_text",
                  docOf("ab", {{0, 1, coloured(0)}, {1, 1, coloured(255)}}),
                  {";}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}", "a\\cf1 b"},
                  {}},
        ShapeCase{"highlight_uses_the_colour_table",
                  docOf("xy", {{1, 1, coloured(0, 16711680)}}),
                  {"{\\colortbl ;\\red0\\green0\\blue255;}", "x\\highlight1 y"},
                  {}},
        ShapeCase{"text_colour_and_highlight_share_entries",
                  docOf("xyz", {{0, 1, coloured(255)}, {1, 1, coloured(32768, 255)}}),
                  {"{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}",
                   "\\cf2\\highlight1 y"},
                  {}},
        ShapeCase{"raised_highlight", docOf("q", {{0, 1, raised()}}), {"\\highlight1\\up1 q"}, {}},
        ShapeCase{
            "character_formats", docOf("w", {{0, 1, boldItalic()}}), {"\\fs28\\b\\i\\ul w"}, {}},
        ShapeCase{"code_page_1252_as_lowercase_hex",
                  docOf(QStringLiteral("caf\u00e9 \u20ac \u00ff ") + QChar(157) + QChar(129)),
                  {"caf\\'e9 \\'80 \\'ff \\'9d\\'81"},
                  {"\\'E9"}},
        ShapeCase{"beyond_the_code_page_as_signed_unicode",
                  docOf(QStringLiteral("\u4e2d\uffff\U0001F600") + QChar(0x80)),
                  {"\\u20013?\\u-1?\\u-10179?\\u-8704?\\u128?"},
                  {}},
        ShapeCase{"line_breaks", docOf("a\r\nb\rc\nd"), {"a\\par\r\nb\\'0dc\\'0ad"}, {}},
        ShapeCase{"syntax_characters", docOf("{\\}\t"), {"\\{\\\\\\}\\tab "}, {}}),
    NameFrom<&ShapeCase::name>());

// ---- round trips --------------------------------------------------------------------------

class RoundTrip : public ::testing::TestWithParam<quint32> {};

TEST_P(RoundTrip, GeneratedDocumentKeepsTextAndFormats) {
    const RichDocument doc = rtftest::randomDocument(GetParam(), 80);
    const QString out = writeDoc(doc);
    const RichDocument back = rtf::read(out);
    ASSERT_EQ(back.text, doc.text) << out.toStdString();
    const int diff = firstFormatDifference(doc, back);
    ASSERT_EQ(diff, -1) << "at " << diff << ": wrote "
                        << rtftest::describe(formatsOf(doc).value(diff)) << " read "
                        << rtftest::describe(formatsOf(back).value(diff)) << "\n"
                        << out.toStdString();
}

TEST_P(RoundTrip, MarkedWritingKeepsTextAndFormatsToo) {
    RichDocument doc = rtftest::randomDocument(GetParam() + 1000, 60);
    const int a = int(doc.text.size()) / 3, b = 2 * int(doc.text.size()) / 3;
    doc.text[a] = QChar(assist::kHighlightStart);
    doc.text[b] = QChar(assist::kHighlightEnd);
    rtf::WriteOptions marked;
    marked.markerStart = a;
    marked.markerEnd = b;
    const QString out = rtf::write(doc, QStringLiteral("Cambria"), 9.75, marked);
    EXPECT_EQ(out.count(QLatin1String("\\'9d")), 1) << out.toStdString();
    EXPECT_EQ(out.count(QLatin1String("\\'81")), 1) << out.toStdString();
    const RichDocument back = rtf::read(out);
    ASSERT_EQ(back.text, doc.text);
    EXPECT_EQ(firstFormatDifference(doc, back), -1);
}

INSTANTIATE_TEST_SUITE_P(Rtf, RoundTrip, ::testing::Range(1u, 41u), rtftest::seedName);

TEST(RtfRoundTrip, EveryCharacterBelow0x300SurvivesAlone) {
    for (int c = 0; c < 0x300; ++c) {
        const RichDocument doc = docOf(QString(QChar(c)), {{0, 1, coloured(255)}});
        const RichDocument back = rtf::read(writeDoc(doc));
        ASSERT_EQ(back.text, doc.text) << "character " << c;
        ASSERT_EQ(firstFormatDifference(doc, back), -1) << "character " << c;
    }
}

TEST(RtfRoundTrip, EmptyDocument) {
    const RichDocument back = rtf::read(writeDoc(RichDocument()));
    EXPECT_TRUE(back.text.isEmpty());
}

// ---- what word processors write -----------------------------------------------------------

struct ReadCase {
    const char* name;
    QString rtf;
    QString text;
};
void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ReaderText : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReaderText, ReadsTheText) {
    EXPECT_EQ(rtf::read(GetParam().rtf).text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, ReaderText,
    ::testing::Values(
        ReadCase{"code_page_1252", "{\\rtf1\\ansi\\ansicpg1252 \\'80\\'e9\\'9d}",
                 QStringLiteral("\u20ac\u00e9") + QChar(0x9d)},
        ReadCase{"code_page_1251", "{\\rtf1\\ansi\\ansicpg1251 \\'e0\\'c1}",
                 QStringLiteral("\u0430\u0411")},
        ReadCase{"unknown_code_page_falls_back_to_latin1", "{\\rtf1\\ansicpg77777 \\'e9\\'80}",
                 QStringLiteral("\u00e9") + QChar(0x80)},
        ReadCase{"font_charset_decides_the_code_page",
                 "{\\rtf1\\ansi{\\fonttbl{\\f0 A;}{\\f1\\fcharset204 B;}}\\'e0\\f1\\'e0\\f0\\'e0}",
                 QStringLiteral("\u00e0\u0430\u00e0")},
        ReadCase{"double_byte_code_page", "{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0x}",
                 QStringLiteral("\u4e2dx")},
        ReadCase{"raw_high_bytes", QStringLiteral("{\\rtf1\\ansi caf\u00e9}"),
                 QStringLiteral("caf\u00e9")},
        ReadCase{"unicode_with_fallback", "{\\rtf1 a\\u8364?b\\u-10179?\\u-8704?c}",
                 QStringLiteral("a\u20acb\U0001F600c")},
        ReadCase{"uc2_skips_two", "{\\rtf1\\uc2 \\u8364\\'80\\'80x}", QStringLiteral("\u20acx")},
        ReadCase{"uc0_skips_nothing", "{\\rtf1\\uc0 \\u8364 x}", QStringLiteral("\u20acx")},
        ReadCase{"fallback_ends_at_a_brace", "{\\rtf1\\uc3 {\\u8364}x}", QStringLiteral("\u20acx")},
        ReadCase{"uc_is_scoped_to_its_group", "{\\rtf1{\\uc0 \\u65 }\\u66?}", "AB"},
        ReadCase{"breaks_and_tabs", "{\\rtf1 a\\par b\\line c\\tab d\\\r\ne\\cell f\\row}",
                 "a\r\nb\r\nc\td\r\ne\tf\r\n"},
        ReadCase{"source_line_ends_are_not_text", "{\\rtf1 a\r\nb\nc\rd}", "abcd"},
        ReadCase{"symbols", "{\\rtf1 \\{\\}\\\\\\~\\emdash\\endash\\lquote\\rdblquote\\bullet}",
                 QStringLiteral("{}\\\u00a0\u2014\u2013\u2018\u201d\u2022")},
        ReadCase{"ignorable_destinations",
                 "{\\rtf1{\\*\\generator Riched20;}{\\*\\unknownthing {x}y}a{\\*\\bkmkstart b}c}",
                 "ac"},
        ReadCase{"picture_and_info_skipped",
                 "{\\rtf1{\\info{\\title T}}a{\\pict\\pngblip\\picw1 89504e47}b{\\stylesheet{\\s0 "
                 "Normal;}}c}",
                 "abc"},
        ReadCase{"binary_data_may_hold_braces", "{\\rtf1 a{\\pict\\bin4 }}{{b}c}", "ac"},
        ReadCase{"field_result_kept_instruction_dropped",
                 "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}", "link"},
        ReadCase{"control_word_ends_at_one_space", "{\\rtf1\\b  x\\b0\\i1y}", " xy"},
        ReadCase{"text_outside_the_document_ignored", "x{\\rtf1 a}b}}c", "a"},
        ReadCase{"font_table_text_is_not_document_text",
                 "{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1 Times;}{\\colortbl;\\red1;}t}", "t"}),
    NameFrom<&ReadCase::name>());

TEST(RtfReader, FormatsFromWordProcessorRtf) {
    const QString src = QStringLiteral(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss{\\*\\panose "
        "020b}Arial;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
        "\\red255\\green255"
        "\\blue0;}\\pard\\plain\\fs24 n{\\b b}{\\i i}{\\ul u\\ulnone v}{\\cf1 r}{\\highlight3 h}"
        "{\\cb2 k}{\\f1 a}{\\fs40 s}{\\up4 p}{\\dn2 d}{\\b\\cf2 x\\plain y}z}");
    const RichDocument doc = rtf::read(src);
    ASSERT_EQ(doc.text, QStringLiteral("nbiuvrhkaspdxyz"));
    const QVector<CharFormat> f = formatsOf(doc);
    auto at = [&](QChar c) { return f[doc.text.indexOf(c)]; };
    EXPECT_EQ(at('n').size, 12.0);
    EXPECT_EQ(at('n').font, QString()) << "the default font is the editor's";
    EXPECT_TRUE(at('b').bold);
    EXPECT_FALSE(at('i').bold);
    EXPECT_TRUE(at('i').italic);
    EXPECT_TRUE(at('u').underline);
    EXPECT_FALSE(at('v').underline);
    EXPECT_EQ(at('r').color, 255);
    EXPECT_EQ(at('h').highlight, bgr(255, 255, 0));
    EXPECT_EQ(at('k').highlight, 16711680) << "\\cb gives a background too";
    EXPECT_EQ(at('a').font, QStringLiteral("Arial"));
    EXPECT_EQ(at('s').size, 20.0);
    EXPECT_EQ(at('p').up, 4);
    EXPECT_EQ(at('d').up, -2);
    EXPECT_TRUE(at('x').bold);
    EXPECT_EQ(at('x').color, 16711680);
    EXPECT_EQ(at('y'), CharFormat()) << "\\plain resets every character format";
    EXPECT_EQ(at('z').size, 12.0) << "the group's end restores the outer format";
    EXPECT_EQ(at('z').color, 0);
}

// ---- hostile input ------------------------------------------------------------------------

struct HostileCase {
    const char* name;
    QString rtf;
};
void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

class HostileInput : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, LoadsWhatItCanWithinBounds) {
    const QString& src = GetParam().rtf;
    const RichDocument doc = rtf::read(src);
    EXPECT_LE(doc.text.size(), src.size());
    EXPECT_LE(doc.runs.size(), doc.text.size());
    int pos = 0;
    for (const FormatRun& r : doc.runs) {
        ASSERT_EQ(r.start, pos);
        ASSERT_GT(r.length, 0);
        pos += r.length;
        EXPECT_LE(r.format.size, 1638.0);
        EXPECT_LE(qAbs(r.format.up), 1000);
    }
    EXPECT_EQ(pos, doc.text.size());
}

QString repeated(const char* s, int n) {
    return QString::fromLatin1(s).repeated(n);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, HostileInput,
    ::testing::Values(
        HostileCase{"deep_nesting", "{\\rtf1 " + repeated("{a", 200000) + repeated("}", 200000)},
        HostileCase{"unbalanced_closing", "{\\rtf1 a" + repeated("}", 10000) + "b"},
        HostileCase{"never_closed", "{\\rtf1 " + repeated("{\\b x", 5000)},
        HostileCase{"huge_numbers", "{\\rtf1\\fs99999999999999999999 a\\up-999999999999 b"
                                    "\\cf2147483647 c\\highlight-2147483648 d\\u99999999999 e"
                                    "\\f-5 g\\uc2147483647 \\u65 xyz}"},
        HostileCase{"huge_binary_length", "{\\rtf1 a\\bin2147483647 xyz}"},
        HostileCase{"negative_binary_length", "{\\rtf1 a\\bin-5 xyz}"},
        HostileCase{"long_control_word", "{\\rtf1\\" + repeated("a", 100000) + "5 x}"},
        HostileCase{"long_number", "{\\rtf1\\b" + repeated("9", 100000) + " x}"},
        HostileCase{"truncated_escapes", "{\\rtf1 a\\'"},
        HostileCase{"truncated_hex", "{\\rtf1 a\\'4"},
        HostileCase{"truncated_word", "{\\rtf1 a\\u"}, HostileCase{"lone_backslash", "{\\rtf1 a\\"},
        HostileCase{"bad_hex", "{\\rtf1 \\'zz\\'g1}"},
        HostileCase{"many_fonts_and_colours",
                    "{\\rtf1{\\fonttbl" + repeated("{\\f7 x;}", 20000) + "}{\\colortbl" +
                        repeated("\\red999\\green-4;", 20000) + "}\\f7\\cf19999 t}"},
        HostileCase{"many_code_pages",
                    [] {
                        QString s = "{\\rtf1 ";
                        for (int cp = 1250; cp < 1300; ++cp)
                            s += QStringLiteral("\\ansicpg%1 \\'e0").arg(cp);
                        return s + "}";
                    }()},
        HostileCase{"format_change_every_character", "{\\rtf1 " + repeated("\\b a\\b0 b", 50000)},
        HostileCase{"multibyte_truncated", "{\\rtf1\\ansicpg932 \\'82}"},
        HostileCase{"not_rtf_at_all", QStringLiteral("\u4e2d\u0000\\\\{{}}\\'ff")},
        HostileCase{"ignorable_star_alone", "{\\rtf1 \\* a {\\*} b}"}),
    NameFrom<&HostileCase::name>());

// ---- selection highlighting on the RTF string ---------------------------------------------

const QString kHeader = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil "
                                       "Cambria;}}\r\n");

struct TableCase {
    const char* name;
    QString rtf;
    int color;
    int index;
    QString after;
};
void PrintTo(const TableCase& c, std::ostream* os) {
    *os << c.name;
}

class ColorTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(ColorTable, FindsOrAddsTheEntry) {
    QString rtf = GetParam().rtf;
    EXPECT_EQ(assist::ColorTableIndex(rtf, GetParam().color), GetParam().index);
    EXPECT_EQ(rtf, GetParam().after);
}

const QString kBody = QStringLiteral("\\viewkind4\\uc1\\pard x}");
const QString kSyntax =
    QStringLiteral("{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green0\\blue0;\\red128\\green0"
                   "\\blue255;\\red0\\green128\\blue0;}\r\n");

INSTANTIATE_TEST_SUITE_P(
    Rtf, ColorTable,
    ::testing::Values(
        TableCase{"first_colour_gets_a_table_after_the_font_table", kHeader + kBody, 255, 1,
                  QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil "
                                 "Cambria;}}{\\colortbl ;\\red255\\green0\\blue0;}\r\n") +
                      kBody},
        TableCase{"same_colour_reuses_its_entry",
                  kHeader + "{\\colortbl ;\\red255\\green0\\blue0;}\r\n" + kBody, 255, 1,
                  kHeader + "{\\colortbl ;\\red255\\green0\\blue0;}\r\n" + kBody},
        TableCase{"syntax_colour_reused", kHeader + kSyntax + kBody, 16711808, 3,
                  kHeader + kSyntax + kBody},
        TableCase{"new_colour_appended_after_syntax_colours", kHeader + kSyntax + kBody, 65535, 5,
                  kHeader +
                      "{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green0\\blue0;\\red128"
                      "\\green0\\blue255;\\red0\\green128\\blue0;\\red255\\green255\\blue0;}\r\n" +
                      kBody},
        TableCase{"first_equal_entry_wins",
                  kHeader +
                      "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255"
                      "\\green255\\blue255;}" +
                      kBody,
                  16777215, 2,
                  kHeader +
                      "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255"
                      "\\green255\\blue255;}" +
                      kBody},
        TableCase{"table_without_entries", kHeader + "{\\colortbl ;}" + kBody, 0, 1,
                  kHeader + "{\\colortbl ;\\red0\\green0\\blue0;}" + kBody},
        TableCase{"no_font_table", "{\\rtf1 x}", 255, 1,
                  "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;} x}"}),
    NameFrom<&TableCase::name>());

TEST(ColorTableEntry, ComponentsInDecimal) {
    EXPECT_EQ(assist::colorTableEntry(16711680), QStringLiteral("\\red0\\green0\\blue255"));
    EXPECT_EQ(assist::colorTableEntry(16777215), QStringLiteral("\\red255\\green255\\blue255"));
    EXPECT_EQ(assist::colorTableEntry(0x010203), QStringLiteral("\\red3\\green2\\blue1"));
    EXPECT_EQ(assist::colorTableEntry(0), QStringLiteral("\\red0\\green0\\blue0"));
}

struct MarkedCase {
    const char* name;
    QString text; // with the two markers
    int color;
    QString expectRtfPiece;
};
void PrintTo(const MarkedCase& c, std::ostream* os) {
    *os << c.name;
}

class MarkedRewrite : public ::testing::TestWithParam<MarkedCase> {};

// The rewritten RTF reads back as the text without its markers, with the marked stretch
// highlighted and raised and nothing else touched.
TEST_P(MarkedRewrite, HighlightsExactlyTheMarkedStretch) {
    const QString text = GetParam().text;
    const int a = int(text.indexOf(QChar(assist::kHighlightStart)));
    const int b = int(text.lastIndexOf(QChar(assist::kHighlightEnd)));
    ASSERT_TRUE(a >= 0 && b > a);
    rtf::WriteOptions marked;
    marked.markerStart = a;
    marked.markerEnd = b;
    const QString out = assist::highlightMarkedRtf(
        rtf::write(docOf(text), QStringLiteral("Cambria"), 9.75, marked), GetParam().color);
    EXPECT_TRUE(out.contains(GetParam().expectRtfPiece)) << out.toStdString();
    const RichDocument back = rtf::read(out);
    QString expected = text;
    expected.remove(b, 1);
    expected.remove(a, 1);
    ASSERT_EQ(back.text, expected);
    const QVector<CharFormat> f = formatsOf(back);
    for (int i = 0; i < f.size(); ++i) {
        const bool inside = i >= a && i < b - 1;
        EXPECT_EQ(f[i].highlight, inside ? GetParam().color : -1) << "at " << i;
        EXPECT_EQ(f[i].up, inside ? 1 : 0) << "at " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, MarkedRewrite,
    ::testing::Values(MarkedCase{"plain", QStringLiteral("ab\u009dcd\u0081ef"), 255,
                                 "ab\\up1\\highlight1 cd\\highlight0\\up0 ef"},
                      MarkedCase{"selection_starting_with_digits",
                                 QStringLiteral("x\u009d42y\u0081z"), 255,
                                 "x\\up1\\highlight1 42y\\highlight0\\up0 z"},
                      MarkedCase{"selection_starting_with_a_blank",
                                 QStringLiteral("x\u009d y\u0081 z"), 255,
                                 "x\\up1\\highlight1  y\\highlight0\\up0  z"},
                      MarkedCase{"white", QStringLiteral("\u009dall\u0081"), 16777215,
                                 "{\\colortbl ;\\red255\\green255\\blue255;}"},
                      MarkedCase{"document_holding_the_marker_characters",
                                 QStringLiteral("\u0081a\u009d\u009db\u0081\u009dc\u0081d\u009d"),
                                 255, "\\up1\\highlight1 "},
                      MarkedCase{"document_holding_the_marker_escapes",
                                 QStringLiteral("\\'9d \\'81\u009d\\'9d\\'81\u0081\\'81"), 255,
                                 "\\up1\\highlight1 "}),
    NameFrom<&MarkedCase::name>());

} // namespace

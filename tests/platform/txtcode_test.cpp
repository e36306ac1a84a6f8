// SPDX-License-Identifier: GPL-3.0-or-later
// The editor control as every other part of the editor uses it: positions in UTF-16
// units of Text with CR LF counting two, the insertion contract of SelText, find, line
// queries, formats and the modified flag.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>

#include "platform/txtcode.h"
#include "testutil.h"

namespace {

struct MappingCase {
    const char* name;
    QString text;
};

// Each character boundary of the text, as UTF-16 offsets, where a caret may stand:
// not inside a surrogate pair.
QVector<int> boundaries(const QString& t) {
    QVector<int> b;
    for (int i = 0; i <= t.size(); ++i)
        if (i == 0 || i == t.size() || !t[i].isLowSurrogate())
            b << i;
    return b;
}

void PrintTo(const MappingCase& c, std::ostream* os) {
    *os << c.name;
}

class PositionMapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(PositionMapping, SelectingAnyRangeGivesThatSliceOfText) {
    TxtCode ed;
    const QString t = GetParam().text;
    ed.SetText(t);
    ASSERT_EQ(ed.Text(), t);
    ASSERT_EQ(ed.TextLength(), t.size());
    const QVector<int> b = boundaries(t);
    for (int i = 0; i < b.size(); ++i) {
        const int start = b[i];
        ASSERT_EQ(ed.toCharPos(ed.toBytePos(start)), start) << "position " << start;
        for (int j = i; j < b.size(); ++j) {
            const int end = b[j];
            // A caret cannot stand between CR and LF; skip such ends.
            if ((start > 0 && t[start - 1] == u'\r' && start < t.size() && t[start] == u'\n') ||
                (end > 0 && t[end - 1] == u'\r' && end < t.size() && t[end] == u'\n'))
                continue;
            ed.SetSelStart(start);
            ed.SetSelLength(end - start);
            ASSERT_EQ(ed.SelStart(), start);
            ASSERT_EQ(ed.SelLength(), end - start) << start << ".." << end;
            ASSERT_EQ(ed.SelText(), t.mid(start, end - start)) << start << ".." << end;
        }
    }
}

TEST_P(PositionMapping, InsertingAtEveryPositionKeepsTheRest) {
    const QString t = GetParam().text;
    for (int p : boundaries(t)) {
        if (p > 0 && p < t.size() && t[p - 1] == u'\r' && t[p] == u'\n')
            continue;
        TxtCode ed;
        ed.SetText(t);
        ed.SetSelStart(p);
        ed.SetSelText(QStringLiteral("<b>"));
        EXPECT_EQ(ed.Text(), t.left(p) + QStringLiteral("<b>") + t.mid(p)) << "at " << p;
        EXPECT_EQ(ed.SelStart(), p + 3);
        EXPECT_EQ(ed.SelLength(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PositionMapping,
    ::testing::Values(
        MappingCase{"Ascii", QStringLiteral("<p>hello</p>")},
        MappingCase{"CrLf", QStringLiteral("ab\r\ncd\r\n\r\nef\r\n")},
        MappingCase{"LoneCr", QStringLiteral("<head>\r\r\n</head>")},
        MappingCase{"MultiByte", QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac 5\r\n\xc3\xbc")},
        MappingCase{"OutsideBmp", QString::fromUtf8("a\xf0\x9f\x98\x80z\r\n\xf0\x9f\x8e\x89!")},
        MappingCase{"Empty", QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InsertionContract, WritingSelTextReplacesTheSelectionAndLeavesTheCaretAfterIt) {
    TxtCode ed;
    ed.SetText(QStringLiteral("say Hello there"));
    ed.SetSelStart(4);
    ed.SetSelLength(5);
    ASSERT_EQ(ed.SelText(), QStringLiteral("Hello"));
    // Insertion after the selection: the selected text stays, the fragment follows it.
    ed.SetSelText(ed.SelText() + QStringLiteral("<h1>\r\n\r\n</h1>"));
    EXPECT_EQ(ed.Text(), QStringLiteral("say Hello<h1>\r\n\r\n</h1> there"));
    EXPECT_EQ(ed.SelStart(), 4 + 5 + 13);
    EXPECT_EQ(ed.SelLength(), 0);
    // Insertion over the selection.
    ed.SetSelStart(0);
    ed.SetSelLength(3);
    ed.SetSelText(QStringLiteral("SAY"));
    EXPECT_TRUE(ed.Text().startsWith(QStringLiteral("SAY Hello")));
    EXPECT_EQ(ed.SelStart(), 3);
}

TEST(InsertionContract, TextIsKeptCharacterForCharacterIncludingLoneCrAndNul) {
    TxtCode ed;
    const QString fragment = QStringLiteral("<head>\r\r\n</head>");
    ed.SetSelText(fragment);
    EXPECT_EQ(ed.Text().size(), 16);
    EXPECT_EQ(ed.Text(), fragment);
    EXPECT_EQ(ed.SelStart(), 16);
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    ed.SetText(withNul);
    EXPECT_EQ(ed.Text(), withNul);
    EXPECT_EQ(ed.TextLength(), 3);
}

TEST(InsertionContract, SelStartIsClampedAndWritingItSelectsNothing) {
    TxtCode ed;
    ed.SetText(QStringLiteral("abc"));
    ed.SetSelStart(1);
    ed.SetSelLength(2);
    ed.SetSelStart(99);
    EXPECT_EQ(ed.SelStart(), 3);
    EXPECT_EQ(ed.SelLength(), 0);
    ed.SetSelStart(0);
    ed.SetSelLength(99);
    EXPECT_EQ(ed.SelLength(), 3);
}

struct FindCase {
    const char* name;
    QString text;
    QString what;
    int start;
    int options;
    int expected;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.name;
}

class Find : public ::testing::TestWithParam<FindCase> {};

TEST_P(Find, ReturnsTheFirstMatchAndSelectsIt) {
    const FindCase& c = GetParam();
    TxtCode ed;
    ed.SetText(c.text);
    ed.SetSelStart(1);
    const int found = ed.Find(c.what, c.start, ed.TextLength(), c.options);
    EXPECT_EQ(found, c.expected);
    if (found >= 0) {
        EXPECT_EQ(ed.SelStart(), found);
        EXPECT_EQ(ed.SelText().compare(c.what, Qt::CaseInsensitive), 0);
    } else {
        EXPECT_EQ(ed.SelStart(), 1) << "a failed search leaves the selection";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, Find,
    ::testing::Values(
        FindCase{"Plain", "a b a", "a", 0, 0, 0}, FindCase{"FromStart", "a b a", "a", 1, 0, 4},
        FindCase{"PastTheLast", "a b a", "a", 5, 0, -1},
        FindCase{"IgnoresCase", "xx A", "a", 0, 0, 3}, FindCase{"MatchCase", "xx A", "a", 0, 4, -1},
        FindCase{"WholeWordSkipsInsideWords", "cat a", "a", 0, 2, 4},
        FindCase{"WholeWordAndCase", "A cat a", "a", 0, 6, 6},
        FindCase{"AfterCrLfAndAccents",
                 QString::fromUtf8("\xc3\xa9t\xc3\xa9\r\nx\xf0\x9f\x98\x80y"), "y", 0, 0, 8},
        FindCase{"Absent", "hello", "z", 0, 0, -1}, FindCase{"EmptyNeedle", "hello", "", 0, 0, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Lines, LineFromPositionAndLineStartAgree) {
    TxtCode ed;
    ed.SetText(QStringLiteral("one\r\ntwo\r\n\r\nlast"));
    // "one" CR LF: positions 0..4 are line 0; the LF is still line 0.
    EXPECT_EQ(ed.GetLineFromChar(0), 0);
    EXPECT_EQ(ed.GetLineFromChar(3), 0);
    EXPECT_EQ(ed.GetLineFromChar(4), 0);
    EXPECT_EQ(ed.GetLineFromChar(5), 1);
    EXPECT_EQ(ed.GetLineFromChar(10), 2);
    EXPECT_EQ(ed.GetLineFromChar(ed.TextLength()), 3);
    EXPECT_EQ(ed.LineCount(), 4);
    EXPECT_EQ(ed.LineStart(0), 0);
    EXPECT_EQ(ed.LineStart(1), 5);
    EXPECT_EQ(ed.LineStart(2), 10);
    EXPECT_EQ(ed.LineStart(3), 12);
    EXPECT_EQ(ed.LineStart(4), -1);
    EXPECT_EQ(ed.LineStart(-1), -1);
    ed.SetText(QStringLiteral("end\r\n"));
    EXPECT_EQ(ed.LineStart(1), 5) << "the empty last line starts at the very end";
}

TEST(Lines, LoneCrEndsALine) {
    TxtCode ed;
    ed.SetText(QStringLiteral("<head>\r\r\n</head>"));
    EXPECT_EQ(ed.LineCount(), 3);
    EXPECT_EQ(ed.LineStart(2), 9);
}

TEST(Formats, SelColorAtTheCaretColoursWhatIsInsertedNext) {
    TxtCode ed;
    ed.SetText(QStringLiteral("ab"));
    ed.SetSelStart(2);
    ed.SetSelColor(16711680);
    ed.SetSelText(QStringLiteral("<p"));
    EXPECT_EQ(ed.formatAt(2).color, 16711680);
    EXPECT_EQ(ed.formatAt(3).color, 16711680);
    EXPECT_EQ(ed.formatAt(0).color, 0);
    // Text inserted later after the coloured text takes the colour of the character before.
    ed.SetSelText(QStringLiteral(">"));
    EXPECT_EQ(ed.formatAt(4).color, 16711680);
    ed.SetSelColor(0);
    ed.SetSelText(QStringLiteral("x"));
    EXPECT_EQ(ed.formatAt(5).color, 0);
}

TEST(Formats, TypedTextTakesThePendingColour) {
    TxtCode ed;
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    ed.setFocus();
    ed.SetSelColor(255);
    QTest::keyClicks(&ed, QStringLiteral("ab"));
    EXPECT_EQ(ed.Text(), QStringLiteral("ab"));
    EXPECT_EQ(ed.formatAt(0).color, 255);
    EXPECT_EQ(ed.formatAt(1).color, 255);
    QTest::keyClick(&ed, Qt::Key_Return);
    EXPECT_EQ(ed.Text(), QStringLiteral("ab\r\n")) << "Enter inserts CR LF";
}

TEST(Formats, SelColorRecoloursASelectionAndSetTextDropsFormats) {
    TxtCode ed;
    ed.SetText(QString::fromUtf8("x\xc3\xa9y\xf0\x9f\x98\x80z"));
    ed.SetSelStart(1);
    ed.SetSelLength(4);
    ed.SetSelColor(32768);
    EXPECT_EQ(ed.formatAt(0).color, 0);
    EXPECT_EQ(ed.formatAt(1).color, 32768);
    EXPECT_EQ(ed.formatAt(3).color, 32768);
    EXPECT_EQ(ed.formatAt(5).color, 0);
    const RichDocument doc = ed.richDocument();
    ASSERT_EQ(doc.runs.size(), 3);
    EXPECT_EQ(doc.runs[1].start, 1);
    EXPECT_EQ(doc.runs[1].length, 4);
    ed.SetText(ed.Text());
    EXPECT_EQ(ed.formatAt(1).color, 0);
}

TEST(Formats, RichDocumentRoundTripKeepsEveryRun) {
    RichDocument doc;
    doc.text = QString::fromUtf8("<a href=\"x\">\xe2\x82\xac</a>\r\n\xf0\x9f\x98\x80 end");
    CharFormat tag;
    tag.color = 16711680;
    CharFormat mark;
    mark.highlight = 65535;
    mark.bold = true;
    doc.runs = {{0, 3, tag}, {3, 5, mark}, {8, 4, tag}};
    TxtCode ed;
    ed.setRichDocument(doc);
    const RichDocument back = ed.richDocument();
    EXPECT_EQ(back.text, doc.text);
    EXPECT_EQ(back.runs[0].length, 3);
    EXPECT_EQ(back.runs[0].format, tag);
    EXPECT_EQ(back.runs[1].format, mark);
    EXPECT_EQ(back.runs[1].start, 3);
    EXPECT_EQ(back.runs[2].format, tag);
    EXPECT_EQ(back.runs[2].length, 4);
    EXPECT_EQ(back.runs[3].format, CharFormat());
}

TEST(Formats, ApplyColorsRecoloursSpansInOrderWithoutMovingTheSelection) {
    TxtCode ed;
    ed.SetText(QStringLiteral("<a b=\"1\">t</a>"));
    ed.SetSelStart(11);
    ed.applyColors({{0, 9, 16711680}, {3, 4, 16711808}, {3, 2, 255}});
    EXPECT_EQ(ed.formatAt(0).color, 16711680);
    EXPECT_EQ(ed.formatAt(3).color, 255);
    EXPECT_EQ(ed.formatAt(4).color, 255);
    EXPECT_EQ(ed.formatAt(5).color, 16711808);
    EXPECT_EQ(ed.formatAt(8).color, 16711680);
    EXPECT_EQ(ed.formatAt(9).color, 0);
    EXPECT_EQ(ed.SelStart(), 11);
}

TEST(ModifiedFlag, FollowsEveryChangeAndIsClearedByTheProgram) {
    TxtCode ed;
    EXPECT_FALSE(ed.Modified());
    ed.SetSelText(QStringLiteral("x"));
    EXPECT_TRUE(ed.Modified());
    ed.SetModified(false);
    EXPECT_FALSE(ed.Modified());
    ed.SetSelStart(0);
    ed.SetSelLength(1);
    ed.SetSelColor(255);
    EXPECT_FALSE(ed.Modified()) << "colouring is not an edit";
    ed.SetText(QStringLiteral("y"));
    EXPECT_TRUE(ed.Modified());
    ed.SetModified(false);
    ed.SetSelStart(0);
    ed.SetSelLength(1);
    ed.SetSelText(QString());
    EXPECT_TRUE(ed.Modified());
}

TEST(Files, LoadConvertsLineEndsAndSaveWritesUtf8) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.html"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("a\nb\rc\r\nd\xe9");
    }
    TxtCode ed;
    QString error;
    ASSERT_TRUE(ed.LoadFile(path, &error)) << error.toStdString();
    EXPECT_EQ(ed.Text(), QString::fromUtf8("a\r\nb\r\nc\r\nd\xc3\xa9"));
    ASSERT_TRUE(ed.SaveFile(path, &error));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("a\r\nb\r\nc\r\nd\xc3\xa9"));
}

// A load starts a fresh undo history, and edits after it are undoable again.
TEST(Files, LoadLeavesNothingToUndoAndLaterEditsUndoable) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.html"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<p>loaded</p>");
    }
    TxtCode ed;
    ed.SetText(QStringLiteral("before"));
    QString error;
    ASSERT_TRUE(ed.LoadFile(path, &error)) << error.toStdString();
    EXPECT_FALSE(ed.isUndoAvailable());
    ed.undo();
    EXPECT_EQ(ed.Text(), QStringLiteral("<p>loaded</p>"));
    ed.SetSelStart(0);
    ed.SetSelText(QStringLiteral("x"));
    ASSERT_TRUE(ed.isUndoAvailable());
    ed.undo();
    EXPECT_EQ(ed.Text(), QStringLiteral("<p>loaded</p>"));
}

TEST(Files, AFailedLoadKeepsTheDocument) {
    TxtCode ed;
    ed.SetText(QStringLiteral("keep me"));
    QString error;
    EXPECT_FALSE(ed.LoadFile(QStringLiteral("/nonexistent/dir/file.html"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ed.Text(), QStringLiteral("keep me"));
}

TEST(TextRtf, WritingPlainTextReloadsItWithDefaultFormats) {
    TxtCode ed;
    ed.SetText(QStringLiteral("<p>x</p>"));
    ed.SetSelStart(0);
    ed.SetSelLength(3);
    ed.SetSelColor(16711680);
    ed.SetTextRTF(ed.Text());
    EXPECT_EQ(ed.Text(), QStringLiteral("<p>x</p>"));
    EXPECT_EQ(ed.formatAt(0).color, 0);
    EXPECT_TRUE(ed.TextRTF().startsWith(QStringLiteral("{\\rtf")));
}

TEST(Properties, AreReachableByTheirNames) {
    TxtCode ed;
    ed.setProperty("Text", QStringLiteral("abc"));
    ed.setProperty("SelStart", 1);
    ed.setProperty("SelLength", 1);
    EXPECT_EQ(ed.property("SelText").toString(), QStringLiteral("b"));
    ed.setProperty("SelText", QStringLiteral("XY"));
    EXPECT_EQ(ed.property("Text").toString(), QStringLiteral("aXYc"));
    EXPECT_TRUE(ed.property("TextRTF").toString().startsWith(QStringLiteral("{\\rtf")));
}

TEST(Keys, AltBackspaceIsLeftToTheMenus) {
    TxtCode ed;
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    ed.setFocus();
    QTest::keyClicks(&ed, QStringLiteral("abc"));
    QTest::keyClick(&ed, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(ed.Text(), QStringLiteral("abc")) << "Alt+Backspace must not undo in the editor";
}

} // namespace

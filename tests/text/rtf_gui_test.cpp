// SPDX-License-Identifier: GPL-3.0-or-later
// Rich text in the real editor and window: TextRTF round trips, selection highlighting
// with its colour table, the popup's two commands, and word-processor files opened
// through File > Open and saved back as plain text.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "app/frmmain.h"
#include "assist/selectionhighlight.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "rtf_testdocs.h"
#include "scripteddialogs.h"
#include "shell/cmdg.h"
#include "testutil.h"
#include "text/rtf.h"

namespace {

using rtftest::firstFormatDifference;

void select(TxtCode& ed, int start, int length) {
    ed.SetSelStart(start);
    ed.SetSelLength(length);
}

// Highlight colour of each character, -1 where there is none.
QVector<int> highlights(const TxtCode& ed) {
    QVector<int> h;
    for (const CharFormat& f : rtftest::formatsOf(ed.richDocument()))
        h << f.highlight;
    return h;
}

QVector<int> expectHighlights(int size, std::initializer_list<std::array<int, 3>> ranges) {
    QVector<int> h(size, -1);
    for (const auto& r : ranges)
        for (int i = r[0]; i < r[0] + r[1]; ++i)
            h[i] = r[2];
    return h;
}

// The background Scintilla paints under a character.
int paintedBackground(TxtCode& ed, int pos) {
    const long style =
        ed.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, (unsigned long)ed.toBytePos(pos));
    return int(ed.SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, (unsigned long)style));
}

// ---- TextRTF of the editor ----------------------------------------------------------------

class EditorRoundTrip : public ::testing::TestWithParam<quint32> {};

TEST_P(EditorRoundTrip, TextRtfReloadsTheSameTextAndFormats) {
    TxtCode ed;
    ed.setRichDocument(rtftest::randomDocument(GetParam(), 60));
    const RichDocument before = ed.richDocument();
    ed.SetTextRTF(ed.TextRTF());
    const RichDocument after = ed.richDocument();
    ASSERT_EQ(after.text, before.text);
    EXPECT_EQ(firstFormatDifference(before, after), -1);
}

INSTANTIATE_TEST_SUITE_P(Rtf, EditorRoundTrip, ::testing::Range(100u, 110u), rtftest::seedName);

TEST(EditorTextRtf, PlainTextGetsTheDefaultFormat) {
    TxtCode ed;
    ed.SetText(QStringLiteral("abc"));
    select(ed, 0, 3);
    ed.SetSelColor(255);
    ed.SetTextRTF(QStringLiteral("just text"));
    EXPECT_EQ(ed.Text(), QStringLiteral("just text"));
    EXPECT_EQ(ed.formatAt(0), CharFormat());
}

// ---- selection highlighting in the editor -------------------------------------------------

class Highlighting : public ::testing::Test {
protected:
    void SetUp() override { ed.SetText(QStringLiteral("hello wide world")); }
    void highlight(int start, int length, int colour) {
        select(ed, start, length);
        const QString text = ed.Text();
        assist::HighlightSelection(&ed, colour);
        ASSERT_EQ(ed.Text(), text) << "the text never changes";
        EXPECT_EQ(ed.SelStart(), start) << "the caret returns to the former start";
        EXPECT_EQ(ed.SelLength(), 0);
    }
    TxtCode ed;
};

TEST_F(Highlighting, FirstColourGetsATableRightAfterTheFontTable) {
    QString rtf = ed.TextRTF();
    ASSERT_FALSE(rtf.contains(QLatin1String("{\\colortbl")));
    EXPECT_EQ(assist::ColorTableIndex(rtf, 255), 1);
    EXPECT_EQ(rtf.indexOf(QLatin1String("{\\colortbl ;\\red255\\green0\\blue0;}")),
              rtf.indexOf(QLatin1String(";}}")) + 3);

    highlight(6, 4, 255);
    EXPECT_EQ(highlights(ed), expectHighlights(16, {{6, 4, 255}}));
    EXPECT_EQ(ed.formatAt(6).up, 1) << "raised by a half-point";
    EXPECT_EQ(ed.formatAt(10).up, 0);
    EXPECT_EQ(paintedBackground(ed, 7), 255) << "the highlight is the text's background";
    EXPECT_TRUE(ed.TextRTF().contains(QLatin1String("{\\colortbl ;\\red255\\green0\\blue0;}")));
}

TEST_F(Highlighting, OneUndoRestoresTheTextWithoutMarkers) {
    highlight(6, 4, 255);
    ed.undo();
    EXPECT_EQ(ed.Text(), QStringLiteral("hello wide world"));
}

TEST_F(Highlighting, SameColourTwiceUsesOneEntry) {
    highlight(0, 5, 255);
    QString rtf = ed.TextRTF();
    const QString copy = rtf;
    EXPECT_EQ(assist::ColorTableIndex(rtf, 255), 1);
    EXPECT_EQ(rtf, copy) << "no second entry";
    highlight(11, 5, 255);
    EXPECT_EQ(highlights(ed), expectHighlights(16, {{0, 5, 255}, {11, 5, 255}}));
    EXPECT_EQ(ed.TextRTF().count(QLatin1String("\\red255\\green0\\blue0;")), 1);
}

TEST_F(Highlighting, AfterSyntaxColoursOneIsReusedAndANewOneAppended) {
    ed.SetText(QStringLiteral("<p class=\"x\">hi</p>"));
    // What Highlight Syntax leaves: tags blue, attribute name red, value violet.
    ed.applyColors({{0, 13, 16711680}, {3, 12, 16711808}, {3, 6, 255}, {15, 4, 16711680}});
    QString rtf = ed.TextRTF();
    // Entries in the order the colours first appear: blue, red, violet.
    ASSERT_TRUE(rtf.contains(QLatin1String("{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green0"
                                           "\\blue0;\\red128\\green0\\blue255;}")));
    QString reuse = rtf;
    EXPECT_EQ(assist::ColorTableIndex(reuse, 255), 2);
    EXPECT_EQ(reuse, rtf);
    QString append = rtf;
    EXPECT_EQ(assist::ColorTableIndex(append, 65535), 4);
    EXPECT_TRUE(
        append.contains(QLatin1String("\\red128\\green0\\blue255;\\red255\\green255\\blue0;}")));

    select(ed, 13, 2);
    assist::HighlightSelection(&ed, 65535);
    EXPECT_EQ(highlights(ed), expectHighlights(19, {{13, 2, 65535}}));
    EXPECT_EQ(ed.formatAt(0).color, 16711680) << "colours outside the selection stay";
    EXPECT_EQ(ed.formatAt(4).color, 255);
    EXPECT_EQ(ed.formatAt(10).color, 16711808);
    EXPECT_EQ(ed.formatAt(16).color, 16711680);
}

TEST_F(Highlighting, WhiteInsideAHighlightedStretch) {
    highlight(0, 10, 255);
    highlight(3, 2, 16777215);
    // Before the selection the old colour stays; after it, up to the end of the old
    // stretch, the end code has switched the highlight off.
    EXPECT_EQ(highlights(ed), expectHighlights(16, {{0, 3, 255}, {3, 2, 16777215}}));
}

TEST_F(Highlighting, WhiteOverTheWholeHighlightedRange) {
    highlight(6, 4, 255);
    highlight(6, 4, 16777215);
    EXPECT_EQ(highlights(ed), expectHighlights(16, {{6, 4, 16777215}}));
}

TEST_F(Highlighting, SelectionStartingWithDigitsOrABlankKeepsItsCharacters) {
    ed.SetText(QStringLiteral("ab 12 cd 3x"));
    highlight(2, 3, 255);   // " 12"
    highlight(9, 2, 32768); // "3x"
    EXPECT_EQ(highlights(ed), expectHighlights(11, {{2, 3, 255}, {9, 2, 32768}}));
}

TEST_F(Highlighting, NothingSelectedChangesNothing) {
    highlight(0, 10, 255);
    const RichDocument before = ed.richDocument();
    ed.SetSelStart(4); // inside the highlighted stretch
    assist::HighlightSelection(&ed, 65535);
    EXPECT_EQ(ed.SelStart(), 4);
    EXPECT_EQ(ed.SelLength(), 0);
    EXPECT_EQ(ed.Text(), before.text);
    EXPECT_EQ(firstFormatDifference(before, ed.richDocument()), -1);
}

TEST_F(Highlighting, CharactersThatLookLikeMarkersStayCharacters) {
    const QString text = QStringLiteral("a\u009db\u0081 \\'9d\\'81 c\u009d\u0081d");
    ed.SetText(text);
    highlight(1, 3, 255);
    highlight(5, 8, 32768);
    EXPECT_EQ(highlights(ed), expectHighlights(int(text.size()), {{1, 3, 255}, {5, 8, 32768}}));
}

TEST_F(Highlighting, TextColoursInsideTheSelectionFollowTheInsertedMarkers) {
    // The selection is rewritten as inserted text, so it takes one format: the text
    // colour at its start. The text itself and everything outside stay as they were.
    ed.SetText(QStringLiteral("abcdef"));
    ed.applyColors({{0, 1, 255}, {2, 2, 16711680}});
    highlight(1, 3, 65535);
    EXPECT_EQ(ed.formatAt(0).color, 255);
    EXPECT_EQ(ed.formatAt(4).color, 0);
    EXPECT_EQ(highlights(ed), expectHighlights(6, {{1, 3, 65535}}));
}

// ---- the popup commands in the real window ------------------------------------------------

class PopupCommands : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ed = w->txtCode();
        ed->SetText(QStringLiteral("one two three"));
        select(*ed, 4, 3);
    }
    QAction* action(const char* name) { return w->findChild<QAction*>(QLatin1String(name)); }
    // A right click in the editor opens the popup; a click on the item runs it.
    void choose(const char* name) {
        QTest::mouseClick(ed->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QMenu* pop = w->PopMenu();
        ASSERT_TRUE(waitUntil([&] { return pop->isVisible(); }));
        QAction* item = action(name);
        ASSERT_TRUE(item->isEnabled());
        QTest::mouseClick(pop, Qt::LeftButton, {}, pop->actionGeometry(item).center());
        ASSERT_TRUE(waitUntil([&] { return !pop->isVisible(); }));
    }

    TxtCode* ed = nullptr;
};

TEST_F(PopupCommands, HighlightTextAsksForAColourAndUsesIt) {
    d.chooseColorValue(65280);
    choose("PopHighLight");
    ASSERT_EQ(d.calls.size(), 1);
    EXPECT_EQ(d.calls[0].kind, ScriptedDialogs::Kind::Color);
    EXPECT_EQ(d.calls[0].title, QStringLiteral("Choose Color..."));
    EXPECT_EQ(highlights(*ed), expectHighlights(13, {{4, 3, 65280}}));
    EXPECT_EQ(ed->SelStart(), 4);
    EXPECT_EQ(ed->Text(), QStringLiteral("one two three"));
    EXPECT_EQ(d.unscripted, 0);
}

TEST_F(PopupCommands, CancelledChooserChangesNothing) {
    d.cancelColor();
    choose("PopHighLight");
    EXPECT_EQ(highlights(*ed), QVector<int>(13, -1)) << "not even black the first time";
    EXPECT_EQ(ed->SelStart(), 4);
    EXPECT_EQ(ed->SelLength(), 3);

    d.chooseColorValue(255);
    choose("PopHighLight");
    select(*ed, 8, 5);
    d.cancelColor();
    choose("PopHighLight");
    EXPECT_EQ(highlights(*ed), expectHighlights(13, {{4, 3, 255}}))
        << "a cancel does not reuse the previous colour";
    EXPECT_EQ(w->cmdg()->Color, 255);
}

TEST_F(PopupCommands, NoHighlightingGivesAWhiteBackground) {
    d.chooseColorValue(255);
    choose("PopHighLight");
    select(*ed, 4, 3);
    choose("PopNoHighLight");
    EXPECT_EQ(highlights(*ed), expectHighlights(13, {{4, 3, 16777215}}));
    EXPECT_EQ(d.calls.size(), 1) << "No Highlighting asks nothing";
}

// ---- rich-text files through File > Open and File > Save ----------------------------------

struct FixtureCase {
    const char* file;
    QString text;
    // Checks on the format of the first character of a piece of the text.
    QVector<std::pair<QString, std::function<bool(const CharFormat&)>>> formats;
};
void PrintTo(const FixtureCase& c, std::ostream* os) {
    *os << c.file;
}

class RichFiles : public MainWindowTest, public ::testing::WithParamInterface<FixtureCase> {};

TEST_P(RichFiles, OpenShowsThemFormattedAndSaveWritesPlainText) {
    const QString path = dir.filePath(QLatin1String(GetParam().file));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VR_RTF_FIXTURES "/") + GetParam().file, path));

    d.chooseFile(path);
    w->findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
    TxtCode* ed = w->txtCode();
    ASSERT_EQ(w->windowTitle(), QDir::toNativeSeparators(path));
    ASSERT_EQ(ed->Text(), GetParam().text);
    for (const auto& [piece, check] : GetParam().formats) {
        const int at = int(ed->Text().indexOf(piece));
        ASSERT_GE(at, 0) << piece.toStdString();
        EXPECT_TRUE(check(ed->formatAt(at)))
            << piece.toStdString() << ": " << rtftest::describe(ed->formatAt(at));
    }

    ed->SetSelStart(ed->TextLength());
    ed->SetSelText(QStringLiteral("!"));
    w->findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), (GetParam().text + QLatin1Char('!')).toUtf8());
    EXPECT_EQ(d.unscripted, 0);
}

bool plainBody(const CharFormat& f) {
    return f.color == 0 && f.highlight == -1 && !f.bold && !f.italic && f.font.isEmpty();
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, RichFiles,
    ::testing::Values(
        FixtureCase{"wordpad.rtf",
                    QStringLiteral("Caf\u00e9 menu: red bold and italic for 5 \u20ac.\r\nGreen "
                                   "Arial\r\nUnderlined, tab\tend\r\n"),
                    {{"Caf", [](const CharFormat& f) { return plainBody(f) && f.size == 11; }},
                     {"red bold", [](const CharFormat& f) { return f.color == 255 && f.bold; }},
                     {" and", [](const CharFormat& f) { return plainBody(f); }},
                     {"italic", [](const CharFormat& f) { return f.italic && !f.bold; }},
                     {"Green",
                      [](const CharFormat& f) {
                          return f.color == bgr(0, 176, 80) && f.font == "Arial" && f.size == 14;
                      }},
                     {"Underlined", [](const CharFormat& f) { return f.underline; }},
                     {", tab", [](const CharFormat& f) { return !f.underline; }}}},
        FixtureCase{
            "word.rtf",
            QStringLiteral("The quick brown fox \u201cjumps\u201d\u2014 na\u00efve.\r\nlink "
                           "and a picture:\r\nA1\tB1\t\r\n"),
            {{"The", [](const CharFormat& f) { return plainBody(f) && f.size == 12; }},
             {"quick", [](const CharFormat& f) { return f.bold && f.color == 255; }},
             {"fox", [](const CharFormat& f) { return f.highlight == 65535 && !f.bold; }},
             {"ve.",
              [](const CharFormat& f) { return f.italic && f.font == "Arial" && f.size == 10; }},
             {"link", [](const CharFormat& f) { return f.underline && f.color == 16711680; }},
             {"A1", [](const CharFormat& f) { return plainBody(f); }}}},
        FixtureCase{"libreoffice.rtf",
                    QStringLiteral("Cr\u00e8me br\u00fbl\u00e9e, green and shaded text, price 3 "
                                   "\u20ac sup\r\nBold Arial line two.\r\n"),
                    {{"Cr", [](const CharFormat& f) { return plainBody(f) && f.size == 12; }},
                     {"green", [](const CharFormat& f) { return f.color == 32768; }},
                     {"shaded", [](const CharFormat& f) { return f.highlight == 65535; }},
                     {"sup", [](const CharFormat& f) { return f.up == 6; }},
                     {"Bold", [](const CharFormat& f) { return f.bold && f.font == "Arial"; }},
                     {" line", [](const CharFormat& f) { return plainBody(f); }}}},
        FixtureCase{"cyrillic.rtf",
                    QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440!"
                                   "\r\nASCII \u00e9 \u0439\r\n"),
                    {{QStringLiteral("\u043c\u0438\u0440"),
                      [](const CharFormat& f) { return f.color == 192; }},
                     {"ASCII", [](const CharFormat& f) { return f.font == "Courier New"; }}}}),
    NameFrom<&FixtureCase::file>());

TEST(RichFilesOwn, TextRtfSavedToAFileOpensFormatted) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("own.rtf"));
    TxtCode source;
    source.setRichDocument(rtftest::randomDocument(7, 50));
    ASSERT_TRUE(writeBytes(path, source.TextRTF().toLatin1()));

    TxtCode ed;
    QString error;
    ASSERT_TRUE(ed.LoadFile(path, &error)) << error.toStdString();
    EXPECT_EQ(ed.Text(), source.Text());
    EXPECT_EQ(firstFormatDifference(source.richDocument(), ed.richDocument()), -1);
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// File > FullScreen: the modal plain-text window and what comes back from it.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <functional>
#include <iterator>
#include <new>

#include "app/frmmain.h"
#include "app/frmscreen.h"
#include "app/screenbox.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

constexpr BgrColor kBlue = 16711680;

class FullScreenTest : public MainWindowTest {
protected:
    // Enters full screen and, once the window shows, runs `act` inside its modal loop.
    // `act` is expected to close the window; a window left open is closed after it.
    void whileFullScreen(const std::function<void(frmScreen*)>& act) {
        bool ran = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* s = w->findChild<frmScreen*>();
            if (ran || !s || !s->isVisible())
                return;
            ran = true;
            poll.stop();
            act(s);
            if (s->isVisible())
                s->close();
        });
        poll.start();
        menuItem(*w, "mnuFullScreen")->trigger();
        EXPECT_TRUE(ran) << "the full-screen window never showed";
        EXPECT_EQ(w->findChild<frmScreen*>(), nullptr) << "the window is discarded when closed";
    }

    // A coloured document with a clean modified flag.
    void colouredDocument(const QString& text) {
        editor()->SetText(text);
        editor()->SetSelStart(0);
        editor()->SetSelLength(3);
        editor()->SetSelColor(kBlue);
        editor()->SetSelStart(0);
        editor()->SetModified(false);
    }
};

TEST_F(FullScreenTest, EscAtOnceLeavesTheDocumentItsColoursAndItsFlag) {
    // Lone LF and CR line breaks too: an untouched text must come back unchanged.
    const QString text = QStringLiteral("<p>a</p>\r\nb\nc\rd\u00a0\u2028z");
    colouredDocument(text);
    whileFullScreen([&](frmScreen* s) {
        EXPECT_EQ(s->windowTitle(), QStringLiteral("Untitled"));
        EXPECT_TRUE(s->isModal());
        EXPECT_TRUE(s->windowFlags().testFlag(Qt::FramelessWindowHint));
        // Covering the screen of the main window, just beyond its top and left edges.
        const QRect screen = w->screen()->geometry();
        EXPECT_EQ(s->geometry(),
                  QRect(screen.x() - 2, screen.y() - 2, screen.width() + 2, screen.height() + 2));
        EXPECT_EQ(s->txtScreen->geometry(), QRect(0, 0, s->width() - 2, s->height() - 2));
        EXPECT_EQ(s->txtScreen->objectName(), QStringLiteral("txtScreen"));
        EXPECT_EQ(s->txtScreen->font().family(), QStringLiteral("Verdana"));
        EXPECT_DOUBLE_EQ(s->txtScreen->font().pointSizeF(), 9.75);
        EXPECT_EQ(s->txtScreen->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(s->txtScreen->document()->blockCount(), 4) << "each line break starts a line";
        EXPECT_FALSE(w->isActiveWindow() && QApplication::activeModalWidget() != s);
        QTest::keyClick(s->txtScreen, Qt::Key_Escape);
        EXPECT_FALSE(s->isVisible()) << "Esc closes the window";
    });
    EXPECT_EQ(editor()->Text(), text);
    EXPECT_EQ(editor()->formatAt(1).color, kBlue);
    EXPECT_FALSE(editor()->Modified());
    EXPECT_TRUE(d.messages().isEmpty());
}

TEST_F(FullScreenTest, OneChangedCharacterComesBackWithColoursDroppedAndTheFlagSet) {
    colouredDocument(QStringLiteral("<p>a</p>\r\n<p>b</p>"));
    whileFullScreen([&](frmScreen* s) {
        s->txtScreen->moveCursor(QTextCursor::End);
        QTest::keyClick(s->txtScreen, Qt::Key_X);
        QTest::keyClick(s->txtScreen, Qt::Key_Escape);
    });
    EXPECT_EQ(editor()->Text(), QStringLiteral("<p>a</p>\r\n<p>b</p>x"));
    for (int p = 0; p < editor()->TextLength(); ++p)
        ASSERT_EQ(editor()->formatAt(p).color, 0) << "position " << p;
    EXPECT_TRUE(editor()->Modified());
}

TEST_F(FullScreenTest, EnterInFullScreenBecomesCrLf) {
    editor()->SetText(QStringLiteral("ab"));
    whileFullScreen([&](frmScreen* s) {
        s->txtScreen->moveCursor(QTextCursor::Start);
        s->txtScreen->moveCursor(QTextCursor::NextCharacter);
        QTest::keyClick(s->txtScreen, Qt::Key_Return);
        QTest::keyClick(s->txtScreen, Qt::Key_Escape);
    });
    EXPECT_EQ(editor()->Text(), QStringLiteral("a\r\nb"));
}

TEST_F(FullScreenTest, ThePlatformsCloseCopiesBackAsEscDoes) {
    editor()->SetText(QStringLiteral("old"));
    editor()->SetModified(false);
    whileFullScreen([&](frmScreen* s) {
        s->txtScreen->setPlainText(QStringLiteral("new\nlines"));
        s->close();
    });
    EXPECT_EQ(editor()->Text(), QStringLiteral("new\r\nlines"));
    EXPECT_TRUE(editor()->Modified());
}

TEST_F(FullScreenTest, TheCaptionIsTheMainWindowsCaption) {
    w->setWindowTitle(QStringLiteral("/home/user/page.html"));
    whileFullScreen(
        [&](frmScreen* s) { EXPECT_EQ(s->windowTitle(), QStringLiteral("/home/user/page.html")); });
}

TEST_F(FullScreenTest, ALargeDocumentIsTakenWhole) {
    QString text;
    const QString line = QStringLiteral("<td>%1</td> some filler text to make a long line\r\n");
    for (int i = 0; text.size() < 3'000'000; ++i)
        text += line.arg(i);
    editor()->SetText(text);
    editor()->SetModified(false);
    whileFullScreen([&](frmScreen* s) {
        bool grouped = false;
        frmScreen::toScreenText(text, &grouped);
        EXPECT_TRUE(grouped);
        EXPECT_EQ(frmScreen::fromScreenText(s->txtScreen->document()->toRawText(), grouped), text);
        EXPECT_EQ(s->txtScreen->toPlainText().count(QLatin1Char('\n')), text.count(kCrLf));
        QTest::keyClick(s->txtScreen, Qt::Key_Escape);
    });
    EXPECT_EQ(editor()->TextLength(), text.size());
    EXPECT_FALSE(editor()->Modified());
}

TEST_F(FullScreenTest, ALongLineIsCutIntoBlocksThatComeBackAsOneLine) {
    // A minified page of 200,000 characters on one line between two short lines: the box
    // holds it in several blocks (one block is laid out whole), and whatever is typed
    // comes back into one line; Enter typed inside a continued block is a real line break.
    QString longLine;
    for (int i = 0; longLine.size() < 200'000; ++i)
        longLine += QStringLiteral("<td class=\"c%1\">cell %1</td>").arg(i);
    const QString text = QStringLiteral("<table>\r\n") + longLine + QStringLiteral("\r\n</table>");
    editor()->SetText(text);
    editor()->SetModified(false);
    whileFullScreen([&](frmScreen* s) {
        EXPECT_GT(s->txtScreen->document()->blockCount(), 4);
        EXPECT_EQ(s->screenDocumentText(), text);
        QTest::keyClick(s->txtScreen, Qt::Key_Escape);
    });
    EXPECT_EQ(editor()->Text(), text);
    EXPECT_FALSE(editor()->Modified());

    whileFullScreen([&](frmScreen* s) {
        QPlainTextEdit* box = s->txtScreen;
        // Into the third block (a continuation of the long line): a character, then Enter.
        QTextCursor c(box->document()->findBlockByNumber(2));
        c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 5);
        box->setTextCursor(c);
        QTest::keyClick(box, Qt::Key_X);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    const int at = editor()->Text().indexOf(QStringLiteral("x\r\n"));
    ASSERT_GT(at, 0);
    QString expected = text;
    expected.insert(at, QStringLiteral("x\r\n"));
    EXPECT_EQ(editor()->Text(), expected);
    EXPECT_EQ(editor()->LineCount(), 4);
}

TEST_F(FullScreenTest, AFailedCopyBackSaysTheFileIsTooLargeAndKeepsTheDocument) {
    const QString text = QStringLiteral("<b>coloured</b>\r\nsecond line");
    colouredDocument(text);
    // An edit that leaves the text as it was but the document modified.
    editor()->SetSelStart(text.size() - 1);
    editor()->SetSelLength(1);
    editor()->SetSelText(QStringLiteral("e"));
    ASSERT_TRUE(editor()->Modified());
    whileFullScreen([&](frmScreen* s) {
        // The editor runs out of memory half-way through taking the text.
        s->replaceText = [](TxtCode* e, const QString&) {
            e->SetText(QStringLiteral("half"));
            throw std::bad_alloc();
        };
        s->txtScreen->setPlainText(QStringLiteral("changed"));
        QTest::keyClick(s->txtScreen, Qt::Key_Escape);
    });
    ASSERT_EQ(d.messages(), QStringList{QStringLiteral("File is too large!!")});
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::Warning);
    EXPECT_EQ(d.lastMessage()->title, QStringLiteral("VERRiNDEL"));
    EXPECT_EQ(editor()->Text(), text);
    EXPECT_EQ(editor()->formatAt(0).color, kBlue);
    EXPECT_EQ(editor()->formatAt(5).color, 0);
    EXPECT_TRUE(editor()->Modified());
}

// Characters that the text box treats specially (paragraph and frame marks, separators,
// objects, controls) or that other layers do (stand-ins, noncharacters, marks): each must
// come back as itself once anything was typed in full screen.
struct OddCase {
    const char* name;
    QString characters;
};

// Characters written as a UTF-16 literal (QString::fromUtf16 would take a U+FEFF at the
// start for a byte-order mark).
QString chars(const char16_t* s) {
    return QStringView(s).toString();
}

void PrintTo(const OddCase& c, std::ostream* os) {
    *os << c.name;
}

class FullScreenRoundTrip : public FullScreenTest, public ::testing::WithParamInterface<OddCase> {
protected:
    QString odd() const { return GetParam().characters; }
};

TEST_P(FullScreenRoundTrip, OneKeyBringsBackEveryCharacterAsItself) {
    // Inside a line, at a line's start and end, and next to a line break.
    const QString c = odd();
    const QString text = QStringLiteral("<p>") + c + QStringLiteral("</p>\r\n") + c +
                         QStringLiteral("x\r\ny") + c + QStringLiteral("\r\n") + c;
    editor()->SetText(text);
    editor()->SetModified(false);
    whileFullScreen([&](frmScreen* s) {
        s->txtScreen->moveCursor(QTextCursor::End);
        QTest::keyClick(s->txtScreen, Qt::Key_Z);
        QTest::keyClick(s->txtScreen, Qt::Key_Escape);
    });
    EXPECT_EQ(editor()->Text(), text + QStringLiteral("z"));
    EXPECT_TRUE(editor()->Modified());
}

TEST_P(FullScreenRoundTrip, CopiedAndPastedInsideTheBoxTheyStayThemselves) {
    // The first line is cut and pasted after the last one, then copied and pasted again.
    const QString c = odd();
    const QString first = QStringLiteral("a") + c + QStringLiteral("b");
    editor()->SetText(first + QStringLiteral("\r\nend"));
    whileFullScreen([&](frmScreen* s) {
        QPlainTextEdit* box = s->txtScreen;
        QTextCursor line(box->document());
        line.setPosition(int(first.size()) + 1, QTextCursor::KeepAnchor); // with its break
        box->setTextCursor(line);
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        box->moveCursor(QTextCursor::End);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(editor()->Text(),
              QStringLiteral("end\r\n") + first + kCrLf + first + QStringLiteral("\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Characters, FullScreenRoundTrip,
    ::testing::Values(OddCase{"ParagraphSeparator", chars(u"\u2029")},
                      OddCase{"FrameMarkers", chars(u"\uFDD0\uFDD1")},
                      OddCase{"MarksSideBySide", chars(u"\u2029\u2029\uFDD1\uFDD0\u2029")},
                      OddCase{"LineSeparator", chars(u"\u2028")},
                      OddCase{"BothSeparators", chars(u"\u2028\u2029")},
                      OddCase{"ObjectReplacement", chars(u"\uFFFC")},
                      OddCase{"ObjectReplacementAndParagraph", chars(u"\uFFFC\u2029\uFFFC")},
                      OddCase{"Nul", QChar(0) + QStringLiteral("a") + QChar(0)},
                      OddCase{"ByteOrderMark", chars(u"\uFEFF")},
                      OddCase{"Noncharacters", chars(u"\uFFFE\uFFFF\uFDEF")},
                      OddCase{"OutsideTheBasicPlane", chars(u"\U0001F600\U0010FFFF")},
                      OddCase{"StrayByteStandIns", chars(u"\uEF80\uEFFF")},
                      OddCase{"ControlsAndNextLine", chars(u"\u000B\u000C\u0085\u001F")},
                      OddCase{"NoBreakAndSoftHyphen", chars(u"\u00A0\u00AD")}),
    NameFrom<&OddCase::name>());

TEST_F(FullScreenTest, ParagraphSeparatorsInALongCutLineComeBack) {
    // A line of 200,000 characters cut into blocks, with paragraph separators at and
    // around the places where it is cut.
    QString line;
    while (line.size() < 200'000)
        line += QStringLiteral("<td>cell</td>\u2029 ");
    const QString text = QStringLiteral("<table>\r\n") + line + QStringLiteral("\r\n</table>");
    editor()->SetText(text);
    whileFullScreen([&](frmScreen* s) {
        EXPECT_GT(s->txtScreen->document()->blockCount(), 4);
        EXPECT_EQ(s->screenDocumentText(), text);
        s->txtScreen->moveCursor(QTextCursor::End);
        QTest::keyClick(s->txtScreen, Qt::Key_Z);
        QTest::keyClick(s->txtScreen, Qt::Key_Escape);
    });
    EXPECT_EQ(editor()->Text(), text + QStringLiteral("z"));
}

TEST_F(FullScreenTest, AFilesStrayBytesComeBackAndAStandInTypedThereIsACharacter) {
    // Mostly UTF-8 with the stray bytes E9 and 80.
    const QByteArray page = "<p>caf\xe9 \xc3\xa9t\xc3\xa9 \xe2\x82\xac \x80</p>\n";
    ASSERT_TRUE(writeBytes(path("stray.html"), page));
    d.chooseFile(path("stray.html"));
    trigger("mnuOpen");
    whileFullScreen([&](frmScreen* s) {
        // An input method types the character at the start, a key adds one at the end.
        s->txtScreen->moveCursor(QTextCursor::Start);
        QInputMethodEvent commit;
        commit.setCommitString(QString(QChar(0xEF80)));
        QCoreApplication::sendEvent(s->txtScreen, &commit);
        s->txtScreen->moveCursor(QTextCursor::End);
        QTest::keyClick(s->txtScreen, Qt::Key_Z);
        QTest::keyClick(s->txtScreen, Qt::Key_Escape);
    });
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("stray.html")), "\xee\xbe\x80" + page + "z");
}

TEST(ScreenBoxTest, PastedMarksFromOutsideAreKeptAndUndoTakesThemAway) {
    ScreenBox box;
    box.setKeptText(QStringLiteral("ab"), {});
    QTextCursor c = box.textCursor();
    c.setPosition(1);
    box.setTextCursor(c);
    // An empty clipboard (its owner quit) pastes nothing.
    QGuiApplication::clipboard()->clear();
    box.paste();
    EXPECT_EQ(box.keptText(), QStringLiteral("ab"));
    QGuiApplication::clipboard()->setText(QString::fromUtf16(u"\u2029x\r\ny\uFDD0"));
    box.paste();
    EXPECT_EQ(box.keptText(), QString::fromUtf16(u"a\u2029x\ny\uFDD0b"));
    EXPECT_EQ(box.document()->blockCount(), 2) << "the CR LF pasted is a line break";
    box.undo();
    EXPECT_EQ(box.keptText(), QStringLiteral("ab"));
    // Text typed after a mark is text, not another mark.
    c.setPosition(1);
    ScreenBox::insertKeeping(c, QString::fromUtf16(u"\uFDD1"));
    box.setTextCursor(c);
    QTest::keyClicks(&box, QStringLiteral("q"));
    EXPECT_EQ(box.keptText(), QString::fromUtf16(u"a\uFDD1qb"));
}

TEST(ScreenBoxTest, AnyTextComesBackFromTheBoxAsItWent) {
    // Texts drawn (from a fixed seed) from the characters the box, the document or the
    // line breaks treat specially; each comes back with only its line breaks made CR LF.
    const char16_t alphabet[] = {u'a',   u'<',   u'\t',  u'\r',  u'\n',  0,      0xFEFF,
                                 0xFFFE, 0xFFFF, 0xFDD0, 0xFDD1, 0x2028, 0x2029, 0xFFFC,
                                 0x00A0, 0x0085, 0xEF80, 0xD83D, 0xDE00, 0x000B, 0x0300};
    QRandomGenerator random(26);
    for (int round = 0; round < 400; ++round) {
        QString doc;
        const int length = int(random.bounded(40));
        for (int i = 0; i < length; ++i)
            doc += QChar(alphabet[random.bounded(int(std::size(alphabet)))]);
        bool grouped = false;
        QVector<int> continued;
        QVector<KeptChar> kept;
        const QString raw = frmScreen::toScreenText(doc, &grouped, &continued, &kept);
        ScreenBox box;
        box.setSeparatorsJoinLines(grouped);
        box.setKeptText(raw, kept);
        QString expected = doc;
        expected.replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'))
            .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        ASSERT_EQ(box.keptText().replace(QLatin1Char('\n'), QLatin1String("\r\n")), expected)
            << "from " << ::testing::PrintToString(doc);
    }
}

struct ConversionCase {
    const char* name;
    const char* document;
    const char* lines; // the lines of the box, as the box gives its plain text
    bool grouped;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << (c.grouped ? "grouped: " : "one block a line: ") << ::testing::PrintToString(c.document);
}

class ScreenTextTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ScreenTextTest, LineBreaksBecomeLinesOfTheBoxAndCrLfComesBack) {
    const QString doc = QString::fromUtf8(GetParam().document);
    const QString lines = QString::fromUtf8(GetParam().lines);
    bool grouped = !GetParam().grouped;
    const QString raw = frmScreen::toScreenText(doc, &grouped);
    EXPECT_EQ(grouped, GetParam().grouped);
    QPlainTextEdit box;
    box.setPlainText(raw);
    EXPECT_EQ(box.toPlainText(), lines);
    // What the box holds comes back with every line break as CR LF.
    QString crlf = lines;
    crlf.replace(QLatin1String("\n"), kCrLf);
    if (!grouped)
        crlf.replace(QChar(0x2028), kCrLf); // the box reports separators as line breaks
    EXPECT_EQ(frmScreen::fromScreenText(box.document()->toRawText(), grouped),
              grouped ? crlf
                      : QString(doc)
                            .replace(QLatin1String("\r\n"), kCrLf)
                            .replace(QLatin1Char('\n'), QLatin1Char('\r')));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ScreenTextTest,
    ::testing::Values(ConversionCase{"Empty", "", "", true},
                      ConversionCase{"OneLine", "a", "a", true},
                      ConversionCase{"CrLf", "a\r\nb", "a\nb", true},
                      ConversionCase{"CrLfAtTheEnd", "a\r\n", "a\n", true},
                      ConversionCase{"LoneCrAndLoneLf", "a\rb\nc", "a\nb\nc", true},
                      ConversionCase{"CrThenCrLfThenLf", "\r\r\n\n", "\n\n\n", true},
                      ConversionCase{"TabAndMarkup", "\t<", "\t<", true}),
    NameFrom<&ConversionCase::name>());

TEST(ScreenTextTest, ManyLinesGoIntoFewerBlocksAndComeBackExactly) {
    QString doc;
    for (int i = 0; i < 1000; ++i)
        doc += QStringLiteral("line\u00a0%1\r\n").arg(i); // no-break spaces stay
    bool grouped = false;
    QPlainTextEdit box;
    box.setPlainText(frmScreen::toScreenText(doc, &grouped));
    EXPECT_TRUE(grouped);
    EXPECT_LT(box.document()->blockCount(), 100);
    EXPECT_EQ(box.toPlainText().count(QLatin1Char('\n')), 1000);
    EXPECT_EQ(frmScreen::fromScreenText(box.document()->toRawText(), grouped), doc);
}

TEST(ScreenTextTest, SeparatorCharactersOfTheDocumentSurviveTheTrip) {
    const QString doc = QStringLiteral("a\u2028b\r\nc");
    bool grouped = true;
    QPlainTextEdit box;
    box.setPlainText(frmScreen::toScreenText(doc, &grouped));
    EXPECT_FALSE(grouped);
    EXPECT_EQ(frmScreen::fromScreenText(box.document()->toRawText(), grouped), doc);
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// The View menu's line numbers, word wrap and zoom, the full-screen window's numbers and
// File > Recent Files, driven in the real window with settings in a folder of the test's
// own, so that a restart reads what the run before it wrote.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QWheelEvent>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

#include "app/document.h"
#include "app/frmmain.h"
#include "app/frmscreen.h"
#include "app/recentfiles.h"
#include "app/screenbox.h"
#include "app/screennumbers.h"
#include "app/viewaids.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "text/filenames.h"

namespace {

using Sci = QsciScintillaBase;

// Lines "line 1" to "line n" with CR LF between them.
QString numberedLines(int n, int width = 0) {
    QStringList lines;
    for (int i = 1; i <= n; ++i) {
        QString line = QStringLiteral("line %1").arg(i);
        while (line.size() < width)
            line += QStringLiteral(" word");
        lines << line;
    }
    return lines.join(kCrLf);
}

class ViewAidsTest : public MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings().clear();
        start();
    }
    void TearDown() override {
        if (w)
            w->txtCode()->SetModified(false);
        w.reset();
    }
    // A main window shown and active, its editor focused.
    void start() {
        MainWindowTest::SetUp();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        editor()->SetFocus();
        ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == editor(); }));
    }
    // The program ends and starts again, as a user restarts it.
    void restart() {
        editor()->SetModified(false);
        w.reset();
        start();
    }
    long sci(unsigned int message, unsigned long wParam = 0, long lParam = 0) const {
        return editor()->SendScintilla(message, wParam, lParam);
    }
    int marginWidth() const { return editor()->marginWidth(0); }
    int zoom() const { return int(sci(Sci::SCI_GETZOOM)); }
    bool caretLineInView() const {
        const long caretLine = sci(Sci::SCI_LINEFROMPOSITION, sci(Sci::SCI_GETCURRENTPOS));
        const long display = sci(Sci::SCI_VISIBLEFROMDOCLINE, caretLine);
        const long first = sci(Sci::SCI_GETFIRSTVISIBLELINE);
        return display >= first && display < first + sci(Sci::SCI_LINESONSCREEN);
    }

    QTemporaryDir settingsDir;
};

// ---- the View menu's items ----------------------------------------------------------------

struct ItemCase {
    const char* name;
    const char* caption;
    bool checkable;
    bool checked; // at the first start
    QStringList shortcuts;
};

void PrintTo(const ItemCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewItem : public ViewAidsTest, public ::testing::WithParamInterface<ItemCase> {};

TEST_P(ViewItem, HasItsCaptionShortcutsAndFirstState) {
    const ItemCase& c = GetParam();
    QAction* item = menuItem(*w, c.name);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QString::fromLatin1(c.caption));
    EXPECT_EQ(item->isCheckable(), c.checkable);
    EXPECT_EQ(item->isChecked(), c.checked);
    QStringList shortcuts;
    for (const QKeySequence& k : item->shortcuts())
        shortcuts << k.toString(QKeySequence::PortableText);
    EXPECT_EQ(shortcuts, c.shortcuts);
    EXPECT_TRUE(menuNamed(*w, "mnuView")->actions().contains(item));
}

INSTANTIATE_TEST_SUITE_P(
    View, ViewItem,
    ::testing::Values(ItemCase{"mnuLineNumbers", "Line Numbers", true, true, {}},
                      ItemCase{"mnuWordWrap", "Word Wrap", true, false, {}},
                      ItemCase{"mnuZoomIn", "Zoom In", false, false, {"Ctrl++", "Ctrl+="}},
                      ItemCase{"mnuZoomOut", "Zoom Out", false, false, {"Ctrl+-"}},
                      ItemCase{"mnuZoomReset", "Reset Zoom", false, false, {"Ctrl+0"}}),
    NameFrom<&ItemCase::name>());

TEST_F(ViewAidsTest, TheAidsFollowLivePreviewInTheirOwnBlock) {
    QStringList captions;
    for (QAction* a : menuNamed(*w, "mnuView")->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    const qsizetype at = captions.indexOf(QStringLiteral("Line Numbers"));
    ASSERT_GT(at, 0);
    EXPECT_EQ(captions.mid(at - 1, 7), (QStringList{"-", "Line Numbers", "Word Wrap", "-",
                                                    "Zoom In", "Zoom Out", "Reset Zoom"}));
    EXPECT_LT(captions.indexOf(QStringLiteral("Live Preview")), at);
}

// ---- settings across a restart ------------------------------------------------------------

struct RestartCase {
    const char* name;
    std::function<void(frmMain&)> change;
    std::function<bool(frmMain&)> holds;
};

void PrintTo(const RestartCase& c, std::ostream* os) {
    *os << c.name;
}

class Restart : public ViewAidsTest, public ::testing::WithParamInterface<RestartCase> {};

TEST_P(Restart, TheSettingIsThereAgainAtTheNextStart) {
    const RestartCase& c = GetParam();
    ASSERT_FALSE(c.holds(*w)) << "not the first state already";
    c.change(*w);
    ASSERT_TRUE(c.holds(*w));
    restart();
    EXPECT_TRUE(c.holds(*w));
}

bool checked(frmMain& w, const char* name) {
    return menuItem(w, name)->isChecked();
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Restart,
    ::testing::Values(
        RestartCase{"LineNumbersOff", [](frmMain& w) { menuItem(w, "mnuLineNumbers")->trigger(); },
                    [](frmMain& w) {
                        return !checked(w, "mnuLineNumbers") && w.txtCode()->marginWidth(0) == 0;
                    }},
        RestartCase{"WordWrapOn", [](frmMain& w) { menuItem(w, "mnuWordWrap")->trigger(); },
                    [](frmMain& w) {
                        return checked(w, "mnuWordWrap") &&
                               w.txtCode()->SendScintilla(Sci::SCI_GETWRAPMODE) ==
                                   Sci::SC_WRAP_WORD;
                    }},
        RestartCase{"ZoomedInThree",
                    [](frmMain& w) {
                        for (int i = 0; i < 3; ++i)
                            menuItem(w, "mnuZoomIn")->trigger();
                    },
                    [](frmMain& w) { return w.txtCode()->SendScintilla(Sci::SCI_GETZOOM) == 3; }},
        RestartCase{"ZoomedOutByTheWheel",
                    [](frmMain& w) {
                        QWidget* port = w.txtCode()->viewport();
                        const QPoint at = port->rect().center();
                        QWheelEvent wheel(at, port->mapToGlobal(at), QPoint(), QPoint(0, -120),
                                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                                          false);
                        QApplication::sendEvent(port, &wheel);
                    },
                    [](frmMain& w) { return w.txtCode()->SendScintilla(Sci::SCI_GETZOOM) == -1; }}),
    NameFrom<&RestartCase::name>());

// ---- line numbers -------------------------------------------------------------------------

TEST_F(ViewAidsTest, TheMarginIsAsWideAsTheDigitsOfTheLineCountAndNoWider) {
    // Line counts with the same number of digits give the same width: scrolling or
    // typing within them never moves the text sideways.
    struct Step {
        int lines;
        int digits;
    };
    const Step steps[] = {{1, 1}, {9, 1}, {10, 2}, {99, 2}, {100, 3}, {999, 3}, {1000, 4}};
    QMap<int, int> widthOf; // digits -> width
    for (const Step& s : steps) {
        editor()->SetText(numberedLines(s.lines));
        EXPECT_EQ(sci(Sci::SCI_GETLINECOUNT), s.lines);
        EXPECT_GT(marginWidth(), 0);
        if (widthOf.contains(s.digits)) {
            EXPECT_EQ(marginWidth(), widthOf[s.digits]) << s.lines << " lines";
        }
        widthOf[s.digits] = marginWidth();
        sci(Sci::SCI_GOTOLINE, s.lines - 1);
        QCoreApplication::processEvents();
        EXPECT_EQ(marginWidth(), widthOf[s.digits]) << "scrolled to line " << s.lines;
    }
    EXPECT_LT(widthOf[1], widthOf[2]);
    EXPECT_LT(widthOf[2], widthOf[3]);
    EXPECT_LT(widthOf[3], widthOf[4]);
    // Typed line breaks and their undo move it too.
    editor()->SetText(numberedLines(9));
    editor()->SetSelStart(editor()->TextLength());
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(marginWidth(), widthOf[2]);
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(marginWidth(), widthOf[1]);
}

TEST_F(ViewAidsTest, LineNumbersOffLeavesNoMarginAndOnBringsItBack) {
    editor()->SetText(numberedLines(120));
    const int on = marginWidth();
    EXPECT_TRUE(ViewAids::showsLineNumbers(editor()));
    const int textStart = int(sci(Sci::SCI_POINTXFROMPOSITION, 0, 0));
    menuItem(*w, "mnuLineNumbers")->trigger();
    EXPECT_EQ(marginWidth(), 0);
    EXPECT_FALSE(ViewAids::showsLineNumbers(editor()));
    EXPECT_EQ(int(sci(Sci::SCI_POINTXFROMPOSITION, 0, 0)), textStart - on);
    // Lines added while it is off: it comes back at the width of the count now.
    editor()->SetText(numberedLines(1200));
    menuItem(*w, "mnuLineNumbers")->trigger();
    EXPECT_GT(marginWidth(), on);
}

TEST_F(ViewAidsTest, TheAidsChangeNeitherTheTextNorItsFormats) {
    editor()->SetText(QStringLiteral("<p class=\"a\">one</p>\r\ntwo"));
    editor()->SetSelStart(0);
    editor()->SetSelLength(3);
    editor()->SetSelColor(255);
    editor()->SetSelStart(5);
    editor()->SetModified(false);
    const QString rtf = editor()->TextRTF();
    const QFont font = editor()->Font();
    for (const char* item : {"mnuZoomIn", "mnuZoomIn", "mnuWordWrap", "mnuLineNumbers",
                             "mnuZoomOut", "mnuLineNumbers", "mnuWordWrap", "mnuZoomReset"}) {
        menuItem(*w, item)->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(editor()->TextRTF(), rtf) << item;
        EXPECT_EQ(editor()->Font(), font) << item;
        EXPECT_FALSE(editor()->Modified()) << item;
        EXPECT_EQ(editor()->SelStart(), 5) << item;
    }
}

// ---- zoom ---------------------------------------------------------------------------------

struct ZoomCase {
    const char* name;
    std::function<void(frmMain&)> act;
    int zoom; // after acting from a zoom of 2
};

void PrintTo(const ZoomCase& c, std::ostream* os) {
    *os << c.name;
}

class Zoom : public ViewAidsTest, public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(Zoom, EveryWayOfZoomingReachesTheEditorAndItsMargin) {
    editor()->SetText(numberedLines(50));
    menuItem(*w, "mnuZoomIn")->trigger();
    menuItem(*w, "mnuZoomIn")->trigger();
    ASSERT_EQ(zoom(), 2);
    const int width = marginWidth();
    GetParam().act(*w);
    EXPECT_EQ(zoom(), GetParam().zoom);
    // The numbers are zoomed with the text, and the margin is as wide as they need.
    if (GetParam().zoom > 2) {
        EXPECT_GT(marginWidth(), width);
    } else if (GetParam().zoom < 2) {
        EXPECT_LT(marginWidth(), width);
    }
    EXPECT_EQ(QSettings().value(QString::fromLatin1(ViewAids::kZoomKey)).toInt(), GetParam().zoom);
}

void keyInEditor(frmMain& w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
    QTest::keyClick(w.txtCode(), key, mods);
}

void wheel(frmMain& w, int dy) {
    QWidget* port = w.txtCode()->viewport();
    const QPoint at = port->rect().center();
    QWheelEvent e(at, port->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton,
                  Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(port, &e);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, Zoom,
    ::testing::Values(
        ZoomCase{"MenuZoomIn", [](frmMain& w) { menuItem(w, "mnuZoomIn")->trigger(); }, 3},
        ZoomCase{"MenuZoomOut", [](frmMain& w) { menuItem(w, "mnuZoomOut")->trigger(); }, 1},
        ZoomCase{"MenuResetZoom", [](frmMain& w) { menuItem(w, "mnuZoomReset")->trigger(); }, 0},
        ZoomCase{"CtrlPlus", [](frmMain& w) { keyInEditor(w, Qt::Key_Plus); }, 3},
        ZoomCase{"CtrlEquals", [](frmMain& w) { keyInEditor(w, Qt::Key_Equal); }, 3},
        ZoomCase{"CtrlMinus", [](frmMain& w) { keyInEditor(w, Qt::Key_Minus); }, 1},
        ZoomCase{"Ctrl0", [](frmMain& w) { keyInEditor(w, Qt::Key_0); }, 0},
        ZoomCase{"CtrlWheelUp", [](frmMain& w) { wheel(w, 120); }, 3},
        ZoomCase{"CtrlWheelDown", [](frmMain& w) { wheel(w, -120); }, 1}),
    NameFrom<&ZoomCase::name>());

TEST_F(ViewAidsTest, ZoomStopsAtTheEditorsLimits) {
    for (int i = 0; i < 40; ++i)
        menuItem(*w, "mnuZoomIn")->trigger();
    EXPECT_EQ(zoom(), 20);
    for (int i = 0; i < 40; ++i)
        menuItem(*w, "mnuZoomOut")->trigger();
    EXPECT_EQ(zoom(), -10);
    EXPECT_GT(marginWidth(), 0);
}

// ---- word wrap ----------------------------------------------------------------------------

TEST_F(ViewAidsTest, WordWrapBreaksLongLinesWithoutCachingEveryLayout) {
    editor()->SetText(numberedLines(20, 400));
    EXPECT_EQ(sci(Sci::SCI_WRAPCOUNT, 3), 1);
    const long cache = sci(Sci::SCI_GETLAYOUTCACHE);
    menuItem(*w, "mnuWordWrap")->trigger();
    EXPECT_EQ(sci(Sci::SCI_GETWRAPMODE), Sci::SC_WRAP_WORD);
    EXPECT_TRUE(waitUntil([&] { return sci(Sci::SCI_WRAPCOUNT, 3) > 1; }));
    // The lines out of view are wrapped too, in the background.
    EXPECT_TRUE(waitUntil([&] { return sci(Sci::SCI_WRAPCOUNT, 19) > 1; }));
    // The editor's own layout cache, not one layout a line: 100 MB of lines would need
    // gigabytes.
    EXPECT_EQ(sci(Sci::SCI_GETLAYOUTCACHE), cache);
    EXPECT_NE(sci(Sci::SCI_GETLAYOUTCACHE), Sci::SC_CACHE_DOCUMENT);
    EXPECT_EQ(sci(Sci::SCI_GETXOFFSET), 0);
    menuItem(*w, "mnuWordWrap")->trigger();
    EXPECT_EQ(sci(Sci::SCI_GETWRAPMODE), Sci::SC_WRAP_NONE);
    EXPECT_TRUE(waitUntil([&] { return sci(Sci::SCI_WRAPCOUNT, 3) == 1; }));
}

struct WrapSwitchCase {
    const char* name;
    int caretLine;
    int lineWidth;
};

void PrintTo(const WrapSwitchCase& c, std::ostream* os) {
    *os << c.name;
}

class WrapSwitch : public ViewAidsTest, public ::testing::WithParamInterface<WrapSwitchCase> {};

TEST_P(WrapSwitch, TheCaretsLineStaysInViewBothWays) {
    const WrapSwitchCase& c = GetParam();
    editor()->SetText(numberedLines(400, c.lineWidth));
    // The caret's line low in the view: the lines above it grow when they wrap.
    sci(Sci::SCI_GOTOLINE, c.caretLine);
    sci(Sci::SCI_SETFIRSTVISIBLELINE,
        std::max(0, c.caretLine - int(sci(Sci::SCI_LINESONSCREEN)) + 2));
    QCoreApplication::processEvents();
    ASSERT_TRUE(caretLineInView())
        << sci(Sci::SCI_GETFIRSTVISIBLELINE) << " " << sci(Sci::SCI_LINESONSCREEN) << " "
        << sci(Sci::SCI_LINEFROMPOSITION, sci(Sci::SCI_GETCURRENTPOS));
    for (int round = 0; round < 2; ++round) {
        menuItem(*w, "mnuWordWrap")->trigger();
        editor()->viewport()->repaint();
        // Settled: the background wrapping done, the view where it stays.
        QTest::qWait(300);
        EXPECT_TRUE(caretLineInView()) << (round == 0 ? "wrap on" : "wrap off");
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, WrapSwitch,
                         ::testing::Values(WrapSwitchCase{"ShortLines", 200, 20},
                                           WrapSwitchCase{"LongLines", 200, 600},
                                           WrapSwitchCase{"LongLinesNearTheStart", 6, 900},
                                           WrapSwitchCase{"NearTheLastLine", 395, 600}),
                         NameFrom<&WrapSwitchCase::name>());

// Where the sublines of the editor's first line start, in bytes from its start: the
// positions shown below the one before them.
QVector<long> sublineStarts(const QsciScintilla* ed) {
    const long end = ed->SendScintilla(Sci::SCI_GETLINEENDPOSITION, 0UL);
    QVector<long> starts;
    long yBefore = ed->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, 0L);
    for (long p = 1; p <= end; ++p) {
        const long y = ed->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, p);
        if (y > yBefore)
            starts << p;
        yBefore = y;
    }
    return starts;
}

// Word wrap switched on over one long line of mixed scripts with the caret in its middle:
// the line breaks where a layout made afresh breaks it, the caret's subline is in view, and
// keys typed then go into the text at the caret, the line still wrapped as afresh.
TEST_F(ViewAidsTest, ALongLineOfMixedScriptsWrapsAsAfreshWithTheCaretInView) {
    const QString piece = QString::fromUtf8(
        "<span>h\xc3\xa9llo w\xc3\xb6rld \xf0\x9f\x98\x80 \xcf\x89 \xe2\x82\xac "
        "\xe4\xb8\xad\xe6\x96\x87\xe4\xb8\xad\xe6\x96\x87\xe4\xb8\xad\xe6\x96\x87 </span>");
    const QString line = piece.repeated(1500);
    editor()->SetText(line);
    const int middle = int(line.size() / 2);
    editor()->SetSelStart(middle);
    sci(Sci::SCI_SCROLLCARET);
    QCoreApplication::processEvents();
    editor()->viewport()->repaint();
    const auto caretInView = [&] {
        const long y = sci(Sci::SCI_POINTYFROMPOSITION, 0, sci(Sci::SCI_GETCURRENTPOS));
        return y >= 0 && y + sci(Sci::SCI_TEXTHEIGHT, 0) <= editor()->viewport()->height();
    };
    const auto expectWrappedAsAfresh = [&](const char* when) {
        const QVector<long> kept = sublineStarts(editor());
        const long level = sci(Sci::SCI_GETLAYOUTCACHE);
        sci(Sci::SCI_SETLAYOUTCACHE, Sci::SC_CACHE_NONE);
        sci(Sci::SCI_SETLAYOUTCACHE, level);
        const QVector<long> fresh = sublineStarts(editor());
        EXPECT_GT(fresh.size(), 100) << when;
        EXPECT_EQ(kept, fresh) << when;
        EXPECT_EQ(sci(Sci::SCI_WRAPCOUNT, 0), fresh.size() + 1) << when;
    };
    menuItem(*w, "mnuWordWrap")->trigger();
    editor()->viewport()->repaint();
    QTest::qWait(200);
    EXPECT_TRUE(caretInView()) << "wrap on";
    expectWrappedAsAfresh("wrap on");
    QTest::keyClicks(editor(), QStringLiteral("<b>"));
    QCoreApplication::processEvents();
    editor()->viewport()->repaint();
    EXPECT_TRUE(caretInView()) << "after typing";
    EXPECT_EQ(editor()->Text().mid(middle, 3), QStringLiteral("<b>"));
    EXPECT_EQ(editor()->Text().size(),
              line.size() + 3 + (editor()->Text().contains(QStringLiteral("</b>")) ? 4 : 0));
    expectWrappedAsAfresh("after typing");
}

// The caret is kept in view only until the user scrolls: pages scrolled away from it right
// after the switch stay where the user put them.
TEST_F(ViewAidsTest, ScrollingRightAfterTheWrapSwitchStaysScrolled) {
    const QString line = QStringLiteral("<span>hello world</span> ").repeated(4000);
    editor()->SetText(line);
    editor()->SetSelStart(int(line.size() / 2));
    sci(Sci::SCI_SCROLLCARET);
    QCoreApplication::processEvents();
    editor()->viewport()->repaint();
    menuItem(*w, "mnuWordWrap")->trigger();
    editor()->viewport()->repaint();
    QCoreApplication::processEvents();
    for (int page = 0; page < 5; ++page)
        editor()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const long scrolledTo = sci(Sci::SCI_GETFIRSTVISIBLELINE);
    for (int paint = 0; paint < 5; ++paint) {
        editor()->viewport()->update();
        QTest::qWait(20);
    }
    EXPECT_EQ(sci(Sci::SCI_GETFIRSTVISIBLELINE), scrolledTo);
    const long caretY = sci(Sci::SCI_POINTYFROMPOSITION, 0, sci(Sci::SCI_GETCURRENTPOS));
    EXPECT_LT(caretY, 0) << "the caret is above the pages scrolled to";
}

TEST_F(ViewAidsTest, AnEditorOutOfViewKeepsItsTopLineWhenWrapIsSwitched) {
    editor()->SetText(numberedLines(400, 300));
    sci(Sci::SCI_SETFIRSTVISIBLELINE, 150);
    editor()->SetSelStart(0); // the caret far above the view
    sci(Sci::SCI_SETFIRSTVISIBLELINE, 150);
    QCoreApplication::processEvents();
    menuItem(*w, "mnuWordWrap")->trigger();
    editor()->viewport()->repaint();
    QTest::qWait(200);
    EXPECT_EQ(sci(Sci::SCI_DOCLINEFROMVISIBLE, sci(Sci::SCI_GETFIRSTVISIBLELINE)), 150);
}

// ---- the full-screen window's numbers -----------------------------------------------------

class ScreenNumbersTest : public ViewAidsTest {
protected:
    // The full-screen window over the editor's document, shown.
    std::unique_ptr<frmScreen> enter() {
        auto screen = std::make_unique<frmScreen>(w.get(), editor());
        screen->takeDocument();
        screen->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen.get()));
        return screen;
    }
    static ScreenNumbers* numbersOf(frmScreen& s) {
        return s.txtScreen->findChild<ScreenNumbers*>();
    }
    // The number of lines of the document the box holds.
    static int documentLines(frmScreen& s) { return int(s.screenDocumentText().count(kCrLf)) + 1; }
    void leave(std::unique_ptr<frmScreen>& s) {
        s->txtScreen->clear();
        s->hide();
        s.reset();
    }
};

TEST_F(ScreenNumbersTest, FollowTheMainEditorsSetting) {
    editor()->SetText(numberedLines(5));
    auto screen = enter();
    ScreenNumbers* numbers = numbersOf(*screen);
    ASSERT_NE(numbers, nullptr);
    EXPECT_TRUE(numbers->isVisible());
    EXPECT_GT(numbers->width(), 0);
    // The text starts beside the margin; the box keeps its place in the window.
    EXPECT_GE(screen->txtScreen->viewport()->x(), numbers->width());
    EXPECT_EQ(screen->txtScreen->pos(), QPoint(0, 0));
    leave(screen);

    menuItem(*w, "mnuLineNumbers")->trigger();
    screen = enter();
    EXPECT_EQ(numbersOf(*screen), nullptr);
    EXPECT_EQ(screen->txtScreen->viewport()->x(), screen->txtScreen->frameWidth());
    leave(screen);
}

struct ScreenTextCase {
    const char* name;
    QString text;
    int lines;
};

void PrintTo(const ScreenTextCase& c, std::ostream* os) {
    *os << c.name;
}

class ScreenNumbering : public ScreenNumbersTest,
                        public ::testing::WithParamInterface<ScreenTextCase> {};

// Each line of the document has one number, counted from 1 down the view, however the box
// holds it: grouped into blocks, cut into blocks, or wrapped.
TEST_P(ScreenNumbering, EveryLineOfTheDocumentHasOneNumberInOrder) {
    editor()->SetText(GetParam().text);
    auto screen = enter();
    ScreenNumbers* numbers = numbersOf(*screen);
    ASSERT_NE(numbers, nullptr);
    EXPECT_EQ(numbers->lineCount(), GetParam().lines);
    EXPECT_EQ(documentLines(*screen), GetParam().lines);
    const QVector<ScreenNumbers::Shown> shown = numbers->shownNumbers();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.first().number, 1);
    for (int i = 1; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].number, shown[i - 1].number + 1);
        EXPECT_GT(shown[i].y, shown[i - 1].y);
    }
    // The margin has room for the count's digits.
    EXPECT_GE(numbers->width(),
              numbers->fontMetrics().horizontalAdvance(QString::number(GetParam().lines)));
    // Scrolled to the end, the last number is the line count.
    screen->txtScreen->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    EXPECT_EQ(numbers->shownNumbers().last().number, GetParam().lines);
    leave(screen);
}

QString longLine(int n) {
    QString s;
    for (int i = 0; s.size() < n; ++i)
        s += QStringLiteral("<td class=\"c%1\">cell %1</td>").arg(i);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ScreenNumbering,
    ::testing::Values(
        ScreenTextCase{"Empty", QString(), 1},
        ScreenTextCase{"OneLine", QStringLiteral("<p>one</p>"), 1},
        ScreenTextCase{"EndsWithABreak", QStringLiteral("a\r\nb\r\n"), 3},
        ScreenTextCase{"ManyGroupedLines", numberedLines(500), 500},
        ScreenTextCase{"WrappedLines", numberedLines(40, 900), 40},
        ScreenTextCase{"ALongLineCutIntoBlocks",
                       QStringLiteral("first\r\n") + longLine(100000) + QStringLiteral("\r\nlast"),
                       3},
        ScreenTextCase{"OwnLineSeparators", QStringLiteral("a\u2028b\r\nc\r\nd\u2028e"), 3}),
    NameFrom<&ScreenTextCase::name>());

struct ScreenEditCase {
    const char* name;
    std::function<void(ScreenBox*)> edit;
};

void PrintTo(const ScreenEditCase& c, std::ostream* os) {
    *os << c.name;
}

class ScreenEditing : public ScreenNumbersTest,
                      public ::testing::WithParamInterface<ScreenEditCase> {};

void at(ScreenBox* box, int position) {
    QTextCursor c = box->textCursor();
    c.setPosition(position);
    box->setTextCursor(c);
}

// The count kept block by block after an edit is the count of the text the box now holds.
TEST_P(ScreenEditing, TheCountFollowsTheEdit) {
    editor()->SetText(numberedLines(100) + kCrLf + longLine(70000) + kCrLf + numberedLines(50));
    auto screen = enter();
    ScreenNumbers* numbers = numbersOf(*screen);
    ASSERT_NE(numbers, nullptr);
    ASSERT_EQ(numbers->lineCount(), 151);
    GetParam().edit(screen->txtScreen);
    QCoreApplication::processEvents();
    EXPECT_EQ(numbers->lineCount(), documentLines(*screen));
    // From the top, the numbers count the lines again from 1.
    screen->txtScreen->moveCursor(QTextCursor::Start);
    QCoreApplication::processEvents();
    const QVector<ScreenNumbers::Shown> shown = numbers->shownNumbers();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.first().number, 1);
    for (int i = 1; i < shown.size(); ++i)
        EXPECT_EQ(shown[i].number, shown[i - 1].number + 1);
    leave(screen);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ScreenEditing,
    ::testing::Values(ScreenEditCase{"EnterInAGroupedBlock",
                                     [](ScreenBox* b) {
                                         at(b, 20);
                                         QTest::keyClick(b, Qt::Key_Return);
                                     }},
                      ScreenEditCase{"ShiftEnterInAGroupedBlock",
                                     [](ScreenBox* b) {
                                         at(b, 20);
                                         QTest::keyClick(b, Qt::Key_Return, Qt::ShiftModifier);
                                     }},
                      ScreenEditCase{"BackspaceJoiningBlocks",
                                     [](ScreenBox* b) {
                                         const QTextBlock second =
                                             b->document()->findBlockByNumber(1);
                                         at(b, second.position());
                                         QTest::keyClick(b, Qt::Key_Backspace);
                                     }},
                      ScreenEditCase{"BackspaceIntoACutLine",
                                     [](ScreenBox* b) {
                                         // The block after the first piece of the long line
                                         // continues it.
                                         QTextBlock block = b->document()->begin();
                                         while (block.isValid() &&
                                                block.userState() != ScreenBox::kContinuesLine)
                                             block = block.next();
                                         ASSERT_TRUE(block.isValid());
                                         at(b, block.position());
                                         QTest::keyClick(b, Qt::Key_Backspace);
                                     }},
                      ScreenEditCase{"EnterInACutLine",
                                     [](ScreenBox* b) {
                                         QTextBlock block = b->document()->begin();
                                         while (block.isValid() &&
                                                block.userState() != ScreenBox::kContinuesLine)
                                             block = block.next();
                                         ASSERT_TRUE(block.isValid());
                                         at(b, block.position() + 10);
                                         QTest::keyClick(b, Qt::Key_Return);
                                     }},
                      ScreenEditCase{"PasteOfManyLines",
                                     [](ScreenBox* b) {
                                         at(b, 50);
                                         QTextCursor c = b->textCursor();
                                         ScreenBox::insertKeeping(c, QStringLiteral("x\ny\nz\n"));
                                     }},
                      ScreenEditCase{"SelectionOverBlocksDeleted",
                                     [](ScreenBox* b) {
                                         QTextCursor c = b->textCursor();
                                         c.setPosition(30);
                                         c.setPosition(b->document()->characterCount() - 40,
                                                       QTextCursor::KeepAnchor);
                                         c.removeSelectedText();
                                     }},
                      ScreenEditCase{"EverythingDeleted",
                                     [](ScreenBox* b) {
                                         QTextCursor c = b->textCursor();
                                         c.select(QTextCursor::Document);
                                         c.removeSelectedText();
                                     }},
                      ScreenEditCase{"UndoOfAnEnter",
                                     [](ScreenBox* b) {
                                         at(b, 20);
                                         QTest::keyClick(b, Qt::Key_Return);
                                         QTest::keyClick(b, Qt::Key_Return);
                                         b->undo();
                                     }}),
    NameFrom<&ScreenEditCase::name>());

// ---- File > Recent Files ------------------------------------------------------------------

struct CaptionCase {
    const char* name;
    int index;
    QString path;
    QString caption;
};

void PrintTo(const CaptionCase& c, std::ostream* os) {
    *os << c.name;
}

class RecentCaption : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(RecentCaption, ShowsTheNumberTheNameAndTheFolder) {
    EXPECT_EQ(RecentFiles::caption(GetParam().index, GetParam().path), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, RecentCaption,
    ::testing::Values(
        CaptionCase{"First", 0, QStringLiteral("/home/ann/site/index.html"),
                    QStringLiteral("&1 index.html  (/home/ann/site)")},
        CaptionCase{"Ninth", 8, QStringLiteral("/a/b.css"), QStringLiteral("&9 b.css  (/a)")},
        CaptionCase{"Tenth", 9, QStringLiteral("/a/b.css"), QStringLiteral("1&0 b.css  (/a)")},
        CaptionCase{"AtTheRoot", 0, QStringLiteral("/x.html"), QStringLiteral("&1 x.html  (/)")},
        CaptionCase{"Ampersands", 1, QStringLiteral("/R&D/a&b.html"),
                    QStringLiteral("&2 a&&b.html  (/R&&D)")},
        CaptionCase{"ANewLineInTheName", 0, QStringLiteral("/t/a\nb.html"),
                    QStringLiteral("&1 \"a\\nb.html\"  (/t)")},
        CaptionCase{"AByteThatIsNotUtf8", 0, decodeFileName(QByteArray("/t/caf\xe9.html")),
                    QStringLiteral("&1 \"caf\\351.html\"  (/t)")}),
    NameFrom<&CaptionCase::name>());

TEST(RecentList, NewestFirstOnceEachAndTenAtMost) {
    QStringList list;
    for (int i = 0; i < 12; ++i)
        list = RecentFiles::withFirst(list, QStringLiteral("/f%1").arg(i));
    ASSERT_EQ(list.size(), RecentFiles::kMost);
    EXPECT_EQ(list.first(), QStringLiteral("/f11"));
    EXPECT_EQ(list.last(), QStringLiteral("/f2"));
    list = RecentFiles::withFirst(list, QStringLiteral("/f5"));
    EXPECT_EQ(list.size(), RecentFiles::kMost);
    EXPECT_EQ(list.first(), QStringLiteral("/f5"));
    EXPECT_EQ(list.count(QStringLiteral("/f5")), 1);
    EXPECT_EQ(list[1], QStringLiteral("/f11"));
}

class RecentFilesTest : public ViewAidsTest {
protected:
    // The items of File > Recent Files as the menu shows them when opened.
    QStringList shownItems() {
        QMenu* menu = menuNamed(*w, "mnuRecent");
        menu->popup(w->mapToGlobal(QPoint(20, 20)));
        EXPECT_TRUE(waitUntil([&] { return menu->isVisible(); }));
        QStringList items;
        for (QAction* a : menu->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        menu->hide();
        return items;
    }
    QAction* shownItem(int index) {
        shownItems();
        return menuNamed(*w, "mnuRecent")->actions().value(index);
    }
    // Opens a file through File > Open.
    void open(const QString& file) {
        d.chooseFile(file);
        trigger("mnuOpen");
    }
    QString file(const char* name, const QByteArray& content) {
        const QString p = path(name);
        EXPECT_TRUE(writeBytes(p, content));
        return p;
    }
    QString folder() const { return QDir::toNativeSeparators(dir.path()); }
};

TEST_F(RecentFilesTest, SitsAfterOpenAndStartsWithOnlyClearList) {
    QStringList items;
    for (QAction* a : menuNamed(*w, "mnuFile")->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items.mid(0, 4), (QStringList{"New", "Open...", "Recent Files", "-"}));
    EXPECT_EQ(shownItems(), (QStringList{"-", "Clear List"}));
    EXPECT_FALSE(menuNamed(*w, "mnuRecent")->actions().last()->isEnabled());
}

TEST_F(RecentFilesTest, OpenedAndSavedFilesComeFirstAndSurviveARestart) {
    const QString a = file("a.html", "<p>a</p>");
    const QString b = file("b&c.html", "<p>b</p>");
    open(a);
    open(b);
    editor()->SetText(QStringLiteral("new"));
    d.chooseFile(path("saved.html"));
    trigger("mnuSaveAs");
    open(a);
    const QStringList expected{QStringLiteral("&1 a.html  (%1)").arg(folder()),
                               QStringLiteral("&2 saved.html  (%1)").arg(folder()),
                               QStringLiteral("&3 b&&c.html  (%1)").arg(folder()), "-",
                               "Clear List"};
    EXPECT_EQ(shownItems(), expected);
    restart();
    EXPECT_EQ(shownItems(), expected);
}

TEST_F(RecentFilesTest, ChoosingAnItemOpensItsFile) {
    const QString a = file("a.html", "<p>a</p>");
    const QString b = file("b.html", "<p>b</p>");
    open(a);
    open(b);
    shownItem(1)->trigger();
    EXPECT_EQ(editor()->Text(), QStringLiteral("<p>a</p>"));
    EXPECT_EQ(w->windowTitle(), QDir::toNativeSeparators(a));
    EXPECT_EQ(RecentFiles::files(), (QStringList{a, b}));
    EXPECT_TRUE(d.messages().isEmpty());
}

TEST_F(RecentFilesTest, ChoosingAnItemAsksTheQuestionOfOpenFirst) {
    const QString a = file("a.html", "<p>a</p>");
    open(a);
    editor()->SetText(QStringLiteral("changed"));
    ASSERT_TRUE(editor()->Modified());
    // Yes and a cancelled save: the document stays.
    d.answer(Dialogs::Answer::Yes);
    d.cancelFile();
    shownItem(0)->trigger();
    EXPECT_EQ(d.messages(),
              QStringList{QStringLiteral("Save changes to ") + QDir::toNativeSeparators(a)});
    EXPECT_EQ(editor()->Text(), QStringLiteral("changed"));
    // No: the file is opened again.
    d.clear();
    d.answer(Dialogs::Answer::No);
    shownItem(0)->trigger();
    EXPECT_EQ(d.messages().size(), 1);
    EXPECT_EQ(editor()->Text(), QStringLiteral("<p>a</p>"));
    EXPECT_FALSE(editor()->Modified());
}

TEST_F(RecentFilesTest, AFileThatIsGoneGivesAMessageAndLeavesTheList) {
    const QString a = file("a.html", "<p>a</p>");
    const QString b = file("b.html", "<p>b</p>");
    open(a);
    open(b);
    editor()->SetText(QStringLiteral("kept"));
    editor()->SetModified(false);
    ASSERT_TRUE(QFile::remove(a));
    shownItem(1)->trigger();
    ASSERT_EQ(d.messages().size(), 1) << "no question about changes either";
    EXPECT_TRUE(d.messages().first().contains(QDir::toNativeSeparators(a)));
    EXPECT_TRUE(d.messages().first().contains(QStringLiteral("no longer exists")));
    EXPECT_EQ(editor()->Text(), QStringLiteral("kept"));
    EXPECT_EQ(RecentFiles::files(), QStringList{b});
    EXPECT_EQ(shownItems().size(), 3);
}

TEST_F(RecentFilesTest, ClearListEmptiesItForGood) {
    open(file("a.html", "a"));
    open(file("b.html", "b"));
    ASSERT_EQ(shownItems().size(), 4);
    menuNamed(*w, "mnuRecent")->actions().last()->trigger();
    EXPECT_EQ(shownItems(), (QStringList{"-", "Clear List"}));
    restart();
    EXPECT_TRUE(RecentFiles::files().isEmpty());
}

TEST_F(RecentFilesTest, TheListIsSharedWithACopyRunningBeside) {
    const QString a = file("a.html", "a");
    const QString b = file("b.html", "b");
    open(a);
    // The other copy: a window of its own, on the same settings.
    frmMain other;
    other.show();
    d.chooseFile(b);
    menuItem(other, "mnuOpen")->trigger();
    EXPECT_EQ(shownItems().mid(0, 2),
              (QStringList{QStringLiteral("&1 b.html  (%1)").arg(folder()),
                           QStringLiteral("&2 a.html  (%1)").arg(folder())}));
    // What this window adds the other sees too.
    open(a);
    QMenu* theirs = menuNamed(other, "mnuRecent");
    theirs->popup(QPoint(10, 10));
    ASSERT_TRUE(waitUntil([&] { return theirs->isVisible(); }));
    EXPECT_EQ(theirs->actions().first()->text(), QStringLiteral("&1 a.html  (%1)").arg(folder()));
    theirs->hide();
    other.txtCode()->SetModified(false);
}

TEST_F(RecentFilesTest, ANameThatIsNotUtf8OpensAgainFromTheList) {
    const QByteArray name = encodeFileName(dir.path()) + "/caf\xe9.html";
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "<p>caf</p>", 10), 10);
    ::close(fd);
    ASSERT_TRUE(w->document()->OpenPath(decodeFileName(name)));
    editor()->SetText(QString());
    editor()->SetModified(false);
    restart();
    QAction* item = shownItem(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("&1 \"caf\\351.html\"  (%1)").arg(folder()));
    item->trigger();
    EXPECT_EQ(editor()->Text(), QStringLiteral("<p>caf</p>"));
    EXPECT_EQ(encodeFileName(w->document()->filePath()), name);
    EXPECT_TRUE(d.messages().isEmpty());
}

} // namespace

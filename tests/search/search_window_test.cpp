// SPDX-License-Identifier: GPL-3.0-or-later
// The find and go-to-line dialogs, driven through their controls on the real main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/frmmain.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "search/frmfind.h"
#include "search/frmgoto.h"
#include "testutil.h"

namespace {

class SearchWindowTest : public MainWindowTest {
protected:
    void TearDown() override {
        // The dialogs outlive a test's main window: unload them while it still exists.
        if (frmFind* f = frmFind::instance())
            f->close();
        if (frmGoto* g = frmGoto::instance())
            g->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void setDocument(const QString& text) {
        editor()->SetText(text);
        editor()->SetSelStart(0);
    }
    frmFind* openFind() {
        menuItem(*w, "mnuFind")->trigger();
        return frmFind::instance();
    }
    frmFind* openReplace() {
        menuItem(*w, "mnuReplace")->trigger();
        return frmFind::instance();
    }
    static void type(QLineEdit* box, const QString& text) {
        box->selectAll();
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() >= 32 && c.unicode() < 127;
        if (text.isEmpty())
            QTest::keyClick(box, Qt::Key_Delete);
        else if (ascii)
            QTest::keyClicks(box, text);
        else
            box->insert(text); // what the keyboard cannot type is pasted
    }
    static void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Selection of the editor as (start, length).
    std::pair<int, int> selection() { return {editor()->SelStart(), editor()->SelLength()}; }
    QString notFoundText(const QString& what) {
        return QStringLiteral("Cannot find '%1'").arg(what);
    }
};

// ---- the find dialog ---------------------------------------------------------------------

TEST_F(SearchWindowTest, FindModeShowsTheFindControlsAndDisablesTheMainWindow) {
    frmFind* f = openFind();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->objectName(), QStringLiteral("frmFind"));
    EXPECT_EQ(f->windowTitle(), QStringLiteral("FiND"));
    EXPECT_FALSE(w->isEnabled());
    EXPECT_EQ(f->parentWidget(), nullptr)
        << "a window owned by the main window is disabled with it";
    EXPECT_TRUE(f->windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(f->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(f->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(f->fraFind->title(), QStringLiteral("Find"));
    EXPECT_EQ(f->fraFindoptions->title(), QStringLiteral("Find Options"));
    EXPECT_EQ(f->lblFindwhat->text(), QStringLiteral("Find what:"));
    EXPECT_EQ(f->lblReplace->text(), QStringLiteral("Replace with:"));
    EXPECT_EQ(f->chkboxes(2)->text(), QStringLiteral("Whole word"));
    EXPECT_EQ(f->chkboxes(4)->text(), QStringLiteral("Match Case"));
    EXPECT_EQ(f->findChild<QCheckBox*>(QStringLiteral("chkboxes_2")), f->chkboxes(2));
    EXPECT_EQ(f->findChild<QCheckBox*>(QStringLiteral("chkboxes_4")), f->chkboxes(4));
    EXPECT_EQ(f->cmdFindnext->text(), QStringLiteral("Find Next"));
    EXPECT_EQ(f->cmdFindcancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(f->cmdReplace->text(), QStringLiteral("Replace"));
    EXPECT_FALSE(f->txtReplace->isVisible());
    EXPECT_FALSE(f->lblReplace->isVisible());
    EXPECT_FALSE(f->cmdReplace->isVisible());
    EXPECT_FALSE(f->cmdFindnext->isEnabled()) << "nothing to search for yet";
    EXPECT_TRUE(f->NewSearch());
    // Centred on the screen.
    const QPoint centre = w->screen()->geometry().center();
    EXPECT_LE((f->frameGeometry().center() - centre).manhattanLength(), 40);
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    EXPECT_EQ(QApplication::focusWidget(), f->chkboxes(2)) << "first focus on Whole word";
}

TEST_F(SearchWindowTest, ReplaceModeShowsTheReplaceControlsAndKeepsItsSize) {
    frmFind* f = openFind();
    const QSize findSize = f->size();
    f->cmdFindcancel->click();
    f = openReplace();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("FiND AND REPLACE"));
    EXPECT_TRUE(f->txtReplace->isVisible());
    EXPECT_TRUE(f->lblReplace->isVisible());
    EXPECT_TRUE(f->cmdReplace->isVisible());
    EXPECT_FALSE(f->cmdReplace->isEnabled());
    EXPECT_EQ(f->size(), findSize);
    type(f->txtFind, QStringLiteral("q"));
    EXPECT_TRUE(f->cmdReplace->isEnabled());
    EXPECT_TRUE(f->cmdFindnext->isEnabled());
    type(f->txtFind, QString());
    EXPECT_FALSE(f->cmdReplace->isEnabled());
    EXPECT_FALSE(f->cmdFindnext->isEnabled());
}

TEST_F(SearchWindowTest, TabWalksTheOptionsThenTheButtonsThenTheTextBoxes) {
    frmFind* f = openReplace();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    type(f->txtFind, QStringLiteral("x"));
    f->chkboxes(2)->setFocus();
    QStringList order;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, (QStringList{"chkboxes_4", "cmdReplace", "cmdFindnext", "cmdFindcancel",
                                  "txtFind", "txtReplace", "chkboxes_2"}));
}

TEST_F(SearchWindowTest, OptionValueAddsTheIndexesOfTheTickedBoxes) {
    frmFind* f = openFind();
    const std::pair<bool, bool> ticks[] = {
        {false, false}, {true, false}, {false, true}, {true, true}};
    const int expected[] = {0, 2, 4, 6};
    for (int i = 0; i < 4; ++i) {
        f->chkboxes(2)->setChecked(ticks[i].first);
        f->chkboxes(4)->setChecked(ticks[i].second);
        EXPECT_EQ(f->optionValue(), expected[i]);
    }
}

TEST_F(SearchWindowTest, FindNextWalksABA) {
    setDocument(QStringLiteral("a b a"));
    frmFind* f = openFind();
    type(f->txtFind, QStringLiteral("a"));
    click(f->cmdFindnext);
    EXPECT_EQ(selection(), std::make_pair(0, 1));
    click(f->cmdFindnext);
    EXPECT_EQ(selection(), std::make_pair(4, 1));
    EXPECT_TRUE(d.messages().isEmpty());
    click(f->cmdFindnext);
    ASSERT_EQ(d.messages(), QStringList{notFoundText("a")});
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::Information);
    EXPECT_EQ(d.lastMessage()->title, QStringLiteral("VERRiNDEL"));
    EXPECT_EQ(d.lastMessage()->buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(selection(), std::make_pair(4, 1));
    EXPECT_TRUE(f->isVisible()) << "the dialog stays open";
    click(f->cmdFindnext);
    EXPECT_EQ(selection(), std::make_pair(0, 1));
}

TEST_F(SearchWindowTest, AbsentTextIsReportedOnEveryClick) {
    setDocument(QStringLiteral("some text"));
    frmFind* f = openFind();
    type(f->txtFind, QStringLiteral("zebra"));
    for (int i = 0; i < 3; ++i)
        click(f->cmdFindnext);
    EXPECT_EQ(d.messages(), QStringList(3, notFoundText("zebra")));
    EXPECT_EQ(editor()->Text(), QStringLiteral("some text"));
}

struct OptionCase {
    const char* name;
    const char* text;
    const char* what;
    bool wholeWord;
    bool matchCase;
    int found; // -1: not found
};

void PrintTo(const OptionCase& c, std::ostream* os) {
    *os << c.name;
}

class FindOptionTest : public SearchWindowTest, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(FindOptionTest, TheTickedOptionsDecideWhatMatches) {
    const OptionCase& c = GetParam();
    setDocument(QString::fromUtf8(c.text));
    frmFind* f = openFind();
    type(f->txtFind, QString::fromUtf8(c.what));
    f->chkboxes(2)->setChecked(c.wholeWord);
    f->chkboxes(4)->setChecked(c.matchCase);
    click(f->cmdFindnext);
    if (c.found < 0) {
        EXPECT_EQ(d.messages(), QStringList{notFoundText(QString::fromUtf8(c.what))});
    } else {
        EXPECT_TRUE(d.messages().isEmpty());
        EXPECT_EQ(selection(), std::make_pair(c.found, int(QString::fromUtf8(c.what).size())));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, FindOptionTest,
    ::testing::Values(OptionCase{"caseFolded", "xx A", "a", false, false, 3},
                      OptionCase{"matchCase", "xx A", "a", false, true, -1},
                      OptionCase{"matchCaseFound", "A a", "a", false, true, 2},
                      OptionCase{"wholeWord", "cat a", "a", true, false, 4},
                      OptionCase{"wholeWordAbsent", "cat bat", "at", true, false, -1},
                      OptionCase{"partOfWord", "cat a", "a", false, false, 1},
                      OptionCase{"both", "Ab ab AB", "AB", true, true, 6},
                      OptionCase{"nonAsciiCase", "x\xc3\x89", "\xc3\xa9", false, true, -1},
                      OptionCase{"foldedWord", "say HeLLo", "hello", false, false, 4},
                      OptionCase{"underscoreJoinsWords", "a_b a", "a", true, false, 4},
                      OptionCase{"nonAsciiJoinsWords",
                                 "\xc3\xa9"
                                 "a a",
                                 "a", true, false, 3},
                      OptionCase{"punctuationBounds", "xa (a)", "a", true, false, 4},
                      OptionCase{"afterEmoji", "\xf0\x9f\x98\x80 ab", "ab", false, false, 3}),
    NameFrom<&OptionCase::name>());

TEST_F(SearchWindowTest, ReplaceXXOneOccurrencePerClick) {
    setDocument(QStringLiteral("x x"));
    frmFind* f = openReplace();
    type(f->txtFind, QStringLiteral("x"));
    type(f->txtReplace, QStringLiteral("yy"));
    click(f->cmdReplace);
    EXPECT_EQ(editor()->Text(), QStringLiteral("x x")) << "the first click only finds";
    EXPECT_EQ(selection(), std::make_pair(0, 1));
    click(f->cmdReplace);
    EXPECT_EQ(editor()->Text(), QStringLiteral("yy x"));
    EXPECT_EQ(selection(), std::make_pair(3, 1));
    EXPECT_TRUE(d.messages().isEmpty());
    click(f->cmdReplace);
    EXPECT_EQ(editor()->Text(), QStringLiteral("yy yy"));
    EXPECT_EQ(d.messages(), QStringList{notFoundText("x")});
    EXPECT_TRUE(editor()->Modified());
}

TEST_F(SearchWindowTest, AReplacementHoldingTheSearchTextIsNotSearchedAgain) {
    setDocument(QStringLiteral("a a"));
    frmFind* f = openReplace();
    type(f->txtFind, QStringLiteral("a"));
    type(f->txtReplace, QStringLiteral("aa"));
    for (int i = 0; i < 3; ++i)
        click(f->cmdReplace);
    EXPECT_EQ(editor()->Text(), QStringLiteral("aa aa"));
    EXPECT_EQ(d.messages(), QStringList{notFoundText("a")});
}

TEST_F(SearchWindowTest, AnEmptyReplacementDeletesEachOccurrenceInTurn) {
    setDocument(QStringLiteral("<b>1</b><b>2</b>"));
    frmFind* f = openReplace();
    type(f->txtFind, QStringLiteral("<b>"));
    click(f->cmdReplace);
    click(f->cmdReplace);
    EXPECT_EQ(editor()->Text(), QStringLiteral("1</b><b>2</b>"));
    click(f->cmdReplace);
    EXPECT_EQ(editor()->Text(), QStringLiteral("1</b>2</b>"));
    EXPECT_EQ(d.messages(), QStringList{notFoundText("<b>")});
}

TEST_F(SearchWindowTest, EditingTheSearchTextSearchesOnFromTheSelection) {
    setDocument(QStringLiteral("b a b a"));
    frmFind* f = openFind();
    type(f->txtFind, QStringLiteral("a"));
    click(f->cmdFindnext);
    EXPECT_EQ(selection(), std::make_pair(2, 1));
    type(f->txtFind, QStringLiteral("b"));
    EXPECT_FALSE(f->NewSearch()) << "a change of the text does not restart the search";
    click(f->cmdFindnext);
    EXPECT_EQ(selection(), std::make_pair(4, 1));
}

TEST_F(SearchWindowTest, ReplaceNeverWritesOverASelectionThatIsNotTheSearchedText) {
    setDocument(QStringLiteral("foo bar foo"));
    frmFind* f = openReplace();
    type(f->txtFind, QStringLiteral("foo"));
    type(f->txtReplace, QStringLiteral("X"));
    click(f->cmdReplace); // finds the first foo
    EXPECT_EQ(selection(), std::make_pair(0, 3));
    type(f->txtFind, QStringLiteral("bar"));
    click(f->cmdReplace);
    EXPECT_EQ(editor()->Text(), QStringLiteral("foo bar foo")) << "foo is not what is searched for";
    EXPECT_EQ(selection(), std::make_pair(4, 3));
    click(f->cmdReplace);
    EXPECT_EQ(editor()->Text(), QStringLiteral("foo X foo"));
    // Ticking Match Case turns a case-folded find into a non-occurrence as well.
    setDocument(QStringLiteral("Foo foo"));
    f->cmdFindcancel->click();
    f = openReplace();
    type(f->txtFind, QStringLiteral("foo"));
    click(f->cmdReplace);
    EXPECT_EQ(selection(), std::make_pair(0, 3));
    f->chkboxes(4)->setChecked(true);
    click(f->cmdReplace);
    EXPECT_EQ(editor()->Text(), QStringLiteral("Foo foo"));
    EXPECT_EQ(selection(), std::make_pair(4, 3));
}

TEST_F(SearchWindowTest, CancelHidesKeepsTheFieldsAndStartsTheNextSearchAtTheTop) {
    setDocument(QStringLiteral("a a a"));
    frmFind* f = openReplace();
    type(f->txtFind, QStringLiteral("a"));
    type(f->txtReplace, QStringLiteral("b"));
    f->chkboxes(4)->setChecked(true);
    click(f->cmdFindnext);
    click(f->cmdFindnext);
    EXPECT_EQ(selection(), std::make_pair(2, 1));
    click(f->cmdFindcancel);
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(frmFind::instance(), f) << "Cancel only hides";
    EXPECT_TRUE(w->isEnabled());
    EXPECT_TRUE(f->NewSearch());
    EXPECT_EQ(f->windowTitle(), QStringLiteral("FiND"));
    EXPECT_FALSE(f->txtReplace->isVisibleTo(f));
    EXPECT_FALSE(f->cmdReplace->isVisibleTo(f));
    EXPECT_FALSE(f->lblReplace->isVisibleTo(f));
    EXPECT_TRUE(waitUntil([&] { return QApplication::focusWidget() == editor(); }, 3000));

    EXPECT_EQ(openFind(), f);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("FiND"));
    EXPECT_FALSE(f->txtReplace->isVisible());
    EXPECT_EQ(f->txtFind->text(), QStringLiteral("a"));
    EXPECT_EQ(f->txtReplace->text(), QStringLiteral("b"));
    EXPECT_TRUE(f->chkboxes(4)->isChecked());
    EXPECT_TRUE(f->cmdFindnext->isEnabled());
    click(f->cmdFindnext);
    EXPECT_EQ(selection(), std::make_pair(0, 1)) << "from the top again";
}

TEST_F(SearchWindowTest, TheCloseControlUnloadsTheDialog) {
    setDocument(QStringLiteral("a a"));
    frmFind* f = openReplace();
    type(f->txtFind, QStringLiteral("a"));
    f->chkboxes(2)->setChecked(true);
    click(f->cmdFindnext);
    f->close();
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(frmFind::instance(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f = openFind();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("FiND"));
    EXPECT_TRUE(f->txtFind->text().isEmpty());
    EXPECT_FALSE(f->chkboxes(2)->isChecked());
    EXPECT_TRUE(f->NewSearch());
    EXPECT_FALSE(f->cmdFindnext->isEnabled());
}

// ---- go to line --------------------------------------------------------------------------

class GotoTest : public SearchWindowTest {
protected:
    frmGoto* openGoto() {
        menuItem(*w, "mnuGoto")->trigger();
        return frmGoto::instance();
    }
};

TEST_F(GotoTest, TheDialogHasItsControlsAndFocusOnGoto) {
    frmGoto* g = openGoto();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->objectName(), QStringLiteral("frmGoto"));
    EXPECT_EQ(g->windowTitle(), QStringLiteral("GOTO LiNE"));
    EXPECT_EQ(g->fraLine->title(), QStringLiteral("Line #"));
    EXPECT_EQ(g->cmdGoto->text(), QStringLiteral("Goto"));
    EXPECT_EQ(g->cmdCancel->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(g->txtLine->text().isEmpty());
    EXPECT_FALSE(w->isEnabled());
    EXPECT_EQ(g->parentWidget(), nullptr);
    EXPECT_TRUE(g->windowFlags().testFlag(Qt::Tool));
    ASSERT_TRUE(QTest::qWaitForWindowActive(g));
    EXPECT_EQ(QApplication::focusWidget(), g->cmdGoto);
    QTest::keyClick(g->cmdGoto, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), g->cmdCancel);
    QTest::keyClick(g->cmdCancel, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), g->txtLine);
}

struct GotoCase {
    const char* name;
    const char* document;
    const char* typed;
    int caret;      // where the caret ends (it starts at 2)
    bool message;   // "Invalid line number." shown
    bool stillOpen; // the dialog stays open with its text
};

void PrintTo(const GotoCase& c, std::ostream* os) {
    *os << c.name;
}

class GotoLineTest : public GotoTest, public ::testing::WithParamInterface<GotoCase> {};

TEST_P(GotoLineTest, MovesTheCaretOrSaysTheNumberIsInvalid) {
    const GotoCase& c = GetParam();
    setDocument(QString::fromUtf8(c.document));
    editor()->SetSelStart(2);
    frmGoto* g = openGoto();
    g->txtLine->setText(QString::fromUtf8(c.typed));
    bool hiddenAtMessage = false;
    bool mainEnabledAtMessage = false;
    d.onMessage = [&](const ScriptedDialogs::Call&) {
        hiddenAtMessage = !g->isVisible();
        mainEnabledAtMessage = w->isEnabled();
    };
    click(g->cmdGoto);
    EXPECT_EQ(editor()->SelStart(), c.caret);
    EXPECT_EQ(editor()->SelLength(), 0);
    if (c.message) {
        ASSERT_EQ(d.messages(), QStringList{QStringLiteral("Invalid line number.")});
        EXPECT_EQ(d.lastMessage()->title, QStringLiteral("Goto Line"));
        EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::Warning);
        EXPECT_EQ(hiddenAtMessage, !c.stillOpen);
        EXPECT_EQ(mainEnabledAtMessage, !c.stillOpen);
    } else {
        EXPECT_TRUE(d.messages().isEmpty());
    }
    EXPECT_EQ(g->isVisible(), c.stillOpen);
    EXPECT_EQ(w->isEnabled(), !c.stillOpen);
    EXPECT_EQ(g->txtLine->text(), c.stillOpen ? QString::fromUtf8(c.typed) : QString());
    EXPECT_EQ(frmGoto::instance(), g) << "Goto hides; the dialog stays loaded";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, GotoLineTest,
    ::testing::Values(GotoCase{"second", "one\r\ntwo\r\nthree", "2", 5, false, false},
                      GotoCase{"first", "one\r\ntwo\r\nthree", "1", 0, false, false},
                      GotoCase{"third", "one\r\ntwo\r\nthree", "3", 10, false, false},
                      GotoCase{"zero", "one\r\ntwo\r\nthree", "0", 2, true, true},
                      GotoCase{"empty", "one\r\ntwo\r\nthree", "", 2, true, true},
                      GotoCase{"letters", "one\r\ntwo\r\nthree", "abc", 2, true, true},
                      GotoCase{"beyond", "one\r\ntwo\r\nthree", "4", 2, true, false},
                      GotoCase{"fraction", "one\r\ntwo\r\nthree", "2.5", 2, true, false},
                      GotoCase{"negative", "one\r\ntwo\r\nthree", "-3", 2, true, false},
                      GotoCase{"numberPrefix", "one\r\ntwo\r\nthree", "3x", 10, false, false},
                      GotoCase{"blanksFirst", "one\r\ntwo\r\nthree", "  2", 5, false, false},
                      GotoCase{"emptyLastLine", "ab\r\ncd\r\n", "3", 8, false, false},
                      GotoCase{"emptyLine", "ab\r\n\r\ncd", "2", 4, false, false},
                      GotoCase{"nonAscii", "\xc3\xa9\xf0\x9f\x98\x80\r\nx", "2", 5, false, false}),
    NameFrom<&GotoCase::name>());

TEST_F(GotoTest, ReopeningAfterAFailedGotoShowsAnEmptyBox) {
    setDocument(QStringLiteral("a\r\nb\r\nc"));
    frmGoto* g = openGoto();
    g->txtLine->setText(QStringLiteral("4"));
    click(g->cmdGoto);
    EXPECT_EQ(openGoto(), g);
    EXPECT_TRUE(g->isVisible());
    EXPECT_TRUE(g->txtLine->text().isEmpty());
    EXPECT_FALSE(w->isEnabled());
}

TEST_F(GotoTest, CancelAndTheCloseControlUnloadAndEnableTheMainWindow) {
    frmGoto* g = openGoto();
    g->txtLine->setText(QStringLiteral("7"));
    click(g->cmdCancel);
    EXPECT_EQ(frmGoto::instance(), nullptr);
    EXPECT_TRUE(w->isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g = openGoto();
    EXPECT_TRUE(g->txtLine->text().isEmpty());
    g->close();
    EXPECT_EQ(frmGoto::instance(), nullptr);
    EXPECT_TRUE(w->isEnabled());
}

} // namespace

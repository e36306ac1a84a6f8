// SPDX-License-Identifier: GPL-3.0-or-later
// The Edit menu's own commands and the keys the editor keeps for itself.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

#include "app/frmmain.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

class EditMenuTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        editor()->SetFocus();
        ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == editor(); }));
    }
    void setDocument(const QString& text) {
        editor()->SetText(text);
        editor()->SetModified(false);
    }
    void select(int start, int length) {
        editor()->SetSelStart(start);
        editor()->SetSelLength(length);
    }
    void choose(const char* item) { menuItem(*w, item)->trigger(); }
};

TEST_F(EditMenuTest, SelectAllThenDeleteEmptiesTheEditorAndSetsTheModifiedFlag) {
    setDocument(QStringLiteral("<p>one</p>\r\n<p>tw\xc3\xb6</p>"));
    select(3, 0);
    choose("mnuSelect");
    EXPECT_EQ(editor()->SelStart(), 0);
    EXPECT_EQ(editor()->SelLength(), editor()->TextLength());
    EXPECT_FALSE(editor()->Modified());
    choose("mnuDelete");
    EXPECT_EQ(editor()->Text(), QString());
    EXPECT_TRUE(editor()->Modified());
}

TEST_F(EditMenuTest, DeleteRemovesTheSelectionAndLeavesTheCaretWhereItBegan) {
    setDocument(QStringLiteral("abcdef"));
    select(1, 3);
    choose("mnuDelete");
    EXPECT_EQ(editor()->Text(), QStringLiteral("aef"));
    EXPECT_EQ(editor()->SelStart(), 1);
    EXPECT_EQ(editor()->SelLength(), 0);
}

TEST_F(EditMenuTest, DeleteFromTheMenuWithNothingSelectedDeletesNothing) {
    setDocument(QStringLiteral("abc"));
    select(1, 0);
    choose("mnuDelete");
    EXPECT_EQ(editor()->Text(), QStringLiteral("abc"));
    EXPECT_FALSE(editor()->Modified());
}

TEST_F(EditMenuTest, DelInTheEditorDeletesTheNextCharacter) {
    setDocument(QStringLiteral("abc"));
    select(1, 0);
    QSignalSpy menuDelete(menuItem(*w, "mnuDelete"), &QAction::triggered);
    QTest::keyClick(editor(), Qt::Key_Delete);
    EXPECT_EQ(editor()->Text(), QStringLiteral("ac"));
    EXPECT_EQ(menuDelete.count(), 0);
}

struct KeyCase {
    const char* item;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.item;
}

class EditorKeyTest : public EditMenuTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(EditorKeyTest, TheEditorTakesItsOwnKeysAheadOfTheMenu) {
    setDocument(QStringLiteral("hello world"));
    select(0, 5);
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    QSignalSpy spy(menuItem(*w, GetParam().item), &QAction::triggered);
    QTest::keyClick(editor(), GetParam().key, GetParam().modifiers);
    EXPECT_EQ(spy.count(), 0) << GetParam().item;
}

INSTANTIATE_TEST_SUITE_P(Keys, EditorKeyTest,
                         ::testing::Values(KeyCase{"mnuUndo", Qt::Key_Z, Qt::ControlModifier},
                                           KeyCase{"mnuCut", Qt::Key_X, Qt::ControlModifier},
                                           KeyCase{"mnuCopy", Qt::Key_C, Qt::ControlModifier},
                                           KeyCase{"mnuPaste", Qt::Key_V, Qt::ControlModifier},
                                           KeyCase{"mnuSelect", Qt::Key_A, Qt::ControlModifier},
                                           KeyCase{"mnuDelete", Qt::Key_Delete, Qt::NoModifier}),
                         NameFrom<&KeyCase::item>());

// Every other shortcut of the File and Edit menus reaches its command while the editor
// has the focus. The command's own work is disconnected: only its triggering is counted.
class MenuKeyTest : public EditMenuTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(MenuKeyTest, TheMenuCommandRunsWhileTheEditorHasTheFocus) {
    setDocument(QStringLiteral("hello world"));
    select(3, 0);
    QAction* action = menuItem(*w, GetParam().item);
    QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    int runs = 0;
    QObject::connect(action, &QAction::triggered, [&runs] { ++runs; });
    ASSERT_EQ(QApplication::focusWidget(), editor());
    QTest::keyClick(editor(), GetParam().key, GetParam().modifiers);
    EXPECT_EQ(runs, 1) << GetParam().item;
    EXPECT_EQ(editor()->Text(), QStringLiteral("hello world")) << "the editor kept its hands off";
}

INSTANTIATE_TEST_SUITE_P(Keys, MenuKeyTest,
                         ::testing::Values(KeyCase{"mnuNew", Qt::Key_N, Qt::ControlModifier},
                                           KeyCase{"mnuOpen", Qt::Key_O, Qt::ControlModifier},
                                           KeyCase{"mnuSave", Qt::Key_S, Qt::ControlModifier},
                                           KeyCase{"mnuPrint", Qt::Key_P, Qt::ControlModifier},
                                           KeyCase{"mnuExit", Qt::Key_Backspace, Qt::AltModifier},
                                           KeyCase{"mnuFind", Qt::Key_F, Qt::ControlModifier},
                                           KeyCase{"mnuReplace", Qt::Key_R, Qt::ControlModifier},
                                           KeyCase{"mnuGoto", Qt::Key_G, Qt::ControlModifier},
                                           KeyCase{"mnuDate", Qt::Key_F5, Qt::NoModifier}),
                         NameFrom<&KeyCase::item>());

TEST_F(EditMenuTest, TheEditorsOwnKeysDoTheirWork) {
    setDocument(QStringLiteral("hello world"));
    QTest::keyClick(editor(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor()->SelLength(), 11);
    select(0, 6);
    QTest::keyClick(editor(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(editor()->Text(), QStringLiteral("world"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("hello "));
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor()->Text(), QStringLiteral("hello world"));
}

TEST_F(EditMenuTest, TheShortcutsWorkWhenTheEditorHasNotTheFocus) {
    setDocument(QStringLiteral("hello world"));
    select(2, 0);
    editor()->clearFocus();
    ASSERT_NE(QApplication::focusWidget(), editor());
    QTest::keyClick(w.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor()->SelStart(), 0);
    EXPECT_EQ(editor()->SelLength(), 11);
    QTest::keyClick(w.get(), Qt::Key_Delete);
    EXPECT_EQ(editor()->Text(), QString());
}

TEST_F(EditMenuTest, CutCopyPasteAndUndoFromTheMenu) {
    setDocument(QStringLiteral("one two three"));
    select(4, 4);
    choose("mnuCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("two "));
    EXPECT_EQ(editor()->Text(), QStringLiteral("one two three"));
    choose("mnuCut");
    EXPECT_EQ(editor()->Text(), QStringLiteral("one three"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("two "));
    select(0, 3);
    choose("mnuPaste");
    EXPECT_EQ(editor()->Text(), QStringLiteral("two  three")) << "paste replaces the selection";
    EXPECT_EQ(editor()->SelStart(), 4);
    choose("mnuUndo");
    EXPECT_EQ(editor()->Text(), QStringLiteral("one three"));
    choose("mnuUndo");
    EXPECT_EQ(editor()->Text(), QStringLiteral("one two three"));
}

TEST_F(EditMenuTest, CutWithNothingSelectedLeavesTheClipboardAlone) {
    setDocument(QStringLiteral("abc"));
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    select(1, 0);
    choose("mnuCut");
    choose("mnuCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("abc"));
}

TEST_F(EditMenuTest, UndoWithNothingToUndoChangesNothing) {
    editor()->SetText(QStringLiteral("x"));
    editor()->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    choose("mnuUndo");
    EXPECT_EQ(editor()->Text(), QStringLiteral("x"));
}

} // namespace

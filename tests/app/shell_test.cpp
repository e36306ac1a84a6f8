// The main window as a user drives it: start-up, the menus, New, Open, Save, Save As and
// the close question, with every question answered by the scripted dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/document.h"
#include "app/frmmain.h"
#include "mainwindowtest.h"
#include "platform/cmdg.h"
#include "platform/txtcode.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

const QString kNoText = QStringLiteral("No text to save, try entering some first!");
const QString kCloseQuestion = QStringLiteral("Do you want to save the changes?");

class Shell : public MainWindowTest {
protected:
    void type(const QString& text) {
        editor()->SetSelStart(editor()->TextLength());
        editor()->SetSelText(text);
    }
    QString caption() const { return w->windowTitle(); }
};

TEST_F(Shell, StartsUntitledAndEmptyWithTheCodeTab) {
    EXPECT_EQ(caption(), QStringLiteral("Untitled"));
    EXPECT_EQ(w->objectName(), QStringLiteral("frmMain"));
    EXPECT_TRUE(editor()->Text().isEmpty());
    EXPECT_FALSE(editor()->Modified());
    EXPECT_EQ(w->tsMain()->currentIndex(), 0);
    EXPECT_EQ(w->tsMain()->tabText(0), QStringLiteral("Code"));
    EXPECT_EQ(w->tsMain()->tabText(1), QStringLiteral("Preview"));
    EXPECT_TRUE(editor()->isVisible());
    const SyntaxColourTable expected{16711680, 255, 16711808, 32768};
    EXPECT_EQ(w->SyntaxColours(), expected);
    EXPECT_EQ(editor()->Font().family(), QStringLiteral("Cambria"));
    EXPECT_DOUBLE_EQ(editor()->Font().pointSizeF(), 9.75);
}

TEST_F(Shell, MenuBarHasTheMenusInOrderAndFileAndEditItemsWithShortcuts) {
    QStringList titles;
    for (QAction* a : w->menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"File", "Edit", "Tags", "Semantics", "Headings", "Paragraphs",
                                   "Formatting", "Quotations", "View"}));
    auto items = [&](const char* menu) {
        QStringList out;
        for (QAction* a : w->context().menu(menu)->actions())
            out << (a->isSeparator() ? QStringLiteral("-")
                                     : a->text() + QLatin1Char('|') +
                                           a->shortcut().toString(QKeySequence::PortableText));
        return out;
    };
    EXPECT_EQ(items("mnuFile"),
              (QStringList{"New|Ctrl+N", "Open...|Ctrl+O", "-", "Save...|Ctrl+S", "Save As...|",
                           "-", "Print...|Ctrl+P", "Print Setup...|", "-", "Syntax|", "Count|",
                           "FullScreen|", "Validate|", "-", "Exit|Alt+Backspace"}));
    EXPECT_EQ(items("mnuEdit"),
              (QStringList{"Undo|Ctrl+Z", "-", "Cut|Ctrl+X", "Copy|Ctrl+C", "Paste|Ctrl+V",
                           "Delete|Del", "-", "Find...|Ctrl+F", "Replace...|Ctrl+R",
                           "Goto...|Ctrl+G", "-", "Select All|Ctrl+A", "Time / Date|F5"}));
    EXPECT_EQ(items("mnu"), (QStringList{"Highlight Syntax|", "UnHighlight Syntax|"}));
    EXPECT_EQ(items("mnuCount"), (QStringList{"Line Count|", "Word Count|"}));
    EXPECT_EQ(w->PopMenu()->title(), QStringLiteral("PopUpMenu"));
    EXPECT_FALSE(w->menuBar()->actions().contains(w->PopMenu()->menuAction()));
}

TEST_F(Shell, StatusBarShowsItsSevenPanels) {
    QList<QLabel*> panels;
    for (int i = 1; i <= 7; ++i) {
        auto* label = w->statusBar()->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i));
        ASSERT_NE(label, nullptr) << i;
        panels << label;
    }
    EXPECT_EQ(panels[0]->text(), QStringLiteral("CAPS"));
    EXPECT_EQ(panels[1]->text(), QStringLiteral("NUM"));
    EXPECT_EQ(panels[2]->text(), QStringLiteral("INS"));
    EXPECT_EQ(panels[3]->text(), QStringLiteral("SCRL"));
    EXPECT_FALSE(panels[4]->text().isEmpty());
    EXPECT_FALSE(panels[5]->text().isEmpty());
    EXPECT_EQ(panels[6]->text(), QStringLiteral("VERRiNDEL"));
    // INS follows the editor's insert mode.
    EXPECT_TRUE(panels[2]->isEnabled());
    editor()->setFocus();
    QTest::keyClick(editor(), Qt::Key_Insert);
    EXPECT_TRUE(waitUntil([&] { return !panels[2]->isEnabled(); }));
    QTest::keyClick(editor(), Qt::Key_Insert);
    EXPECT_TRUE(waitUntil([&] { return panels[2]->isEnabled(); }));
}

TEST_F(Shell, SaveOfAnEmptyUntitledDocumentComplainsTwice) {
    trigger("mnuSave");
    EXPECT_EQ(dlg.messages(), (QStringList{kNoText, kNoText}));
    EXPECT_EQ(dlg.lastMessage()->title, QStringLiteral("VERRiNDEL"));
    EXPECT_EQ(dlg.lastMessage()->icon, Dialogs::Icon::None);
    EXPECT_EQ(dlg.calls.size(), 2) << "no file dialog is shown";
}

TEST_F(Shell, SaveOfANewDocumentAsksForANameWritesAndKeepsTheCaptionUntitled) {
    type(QStringLiteral("<p>hi</p>"));
    dlg.chooseFile(path("a.html"));
    trigger("mnuSave");
    ASSERT_EQ(dlg.calls.size(), 1);
    EXPECT_EQ(dlg.calls[0].kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(dlg.calls[0].title, QStringLiteral("Save File"));
    EXPECT_EQ(dlg.calls[0].filter, Document::fileFilter());
    EXPECT_EQ(readBytes(path("a.html")), QByteArray("<p>hi</p>"));
    EXPECT_FALSE(editor()->Modified());
    EXPECT_EQ(caption(), QStringLiteral("Untitled"));
    // The next Save asks again, with the last name filled in.
    dlg.chooseFile(path("a.html"));
    trigger("mnuSave");
    ASSERT_EQ(dlg.calls.size(), 2);
    EXPECT_EQ(dlg.calls[1].initialPath, path("a.html"));
}

TEST_F(Shell, CancelledSaveDialogWritesNothingAndKeepsTheFlag) {
    type(QStringLiteral("text"));
    dlg.chooseFile(path("first.html"));
    trigger("mnuSaveAs");
    type(QStringLiteral(" more"));
    dlg.cancelFile();
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("first.html")), QByteArray("text")) << "no write to the old name";
    EXPECT_TRUE(editor()->Modified());
    EXPECT_TRUE(dlg.messages().isEmpty());
}

TEST_F(Shell, OpenShowsTheFileWithItsPathAsCaptionAndSaveWritesItWithoutADialog) {
    ASSERT_TRUE(writeBytes(path("page.html"), "<html>\n<body>caf\xc3\xa9</body>\n</html>"));
    dlg.chooseFile(path("page.html"));
    trigger("mnuOpen");
    ASSERT_EQ(dlg.calls.size(), 1);
    EXPECT_EQ(dlg.calls[0].title, QStringLiteral("Open File"));
    EXPECT_EQ(dlg.calls[0].filter, Document::fileFilter());
    EXPECT_EQ(caption(), path("page.html"));
    EXPECT_EQ(editor()->Text(), QString::fromUtf8("<html>\r\n<body>caf\xc3\xa9</body>\r\n</html>"));
    EXPECT_FALSE(editor()->Modified());
    type(QStringLiteral("!"));
    EXPECT_TRUE(editor()->Modified());
    trigger("mnuSave");
    EXPECT_EQ(dlg.calls.size(), 1) << "a named document saves without a dialog";
    EXPECT_EQ(readBytes(path("page.html")),
              QByteArray("<html>\r\n<body>caf\xc3\xa9</body>\r\n</html>!"));
    EXPECT_FALSE(editor()->Modified());
}

TEST_F(Shell, AWindows1252FileOpensAndSavesAsUtf8WithoutLoss) {
    ASSERT_TRUE(writeBytes(path("old.html"), "<p>na\xefve \x80 5</p>"));
    dlg.chooseFile(path("old.html"));
    trigger("mnuOpen");
    EXPECT_EQ(editor()->Text(), QString::fromUtf8("<p>na\xc3\xafve \xe2\x82\xac 5</p>"));
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("old.html")), QByteArray("<p>na\xc3\xafve \xe2\x82\xac 5</p>"));
}

TEST_F(Shell, NewAsksOnlyWhenModifiedAndClearsOnNo) {
    trigger("mnuNew");
    EXPECT_TRUE(dlg.calls.isEmpty());
    type(QStringLiteral("abc"));
    dlg.answer(Dialogs::Answer::No);
    trigger("mnuNew");
    ASSERT_EQ(dlg.messages(), QStringList{QStringLiteral("Save changes to Untitled")});
    EXPECT_EQ(dlg.lastMessage()->buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(dlg.lastMessage()->icon, Dialogs::Icon::None);
    EXPECT_TRUE(editor()->Text().isEmpty());
    EXPECT_FALSE(editor()->Modified());
    EXPECT_EQ(caption(), QStringLiteral("Untitled"));
}

TEST_F(Shell, NewWithYesSavesFirstAndStopsWhenTheSaveIsCancelled) {
    type(QStringLiteral("keep me"));
    dlg.answer(Dialogs::Answer::Yes);
    dlg.cancelFile();
    trigger("mnuNew");
    EXPECT_EQ(editor()->Text(), QStringLiteral("keep me")) << "the text the user asked to keep";
    EXPECT_TRUE(editor()->Modified());

    dlg.answer(Dialogs::Answer::Yes);
    dlg.chooseFile(path("kept.html"));
    trigger("mnuNew");
    EXPECT_EQ(readBytes(path("kept.html")), QByteArray("keep me"));
    EXPECT_TRUE(editor()->Text().isEmpty());
}

TEST_F(Shell, NewAfterOpenKeepsTheLastNameForTheNextSave) {
    ASSERT_TRUE(writeBytes(path("p.html"), "x"));
    dlg.chooseFile(path("p.html"));
    trigger("mnuOpen");
    trigger("mnuNew");
    EXPECT_EQ(caption(), QStringLiteral("Untitled"));
    type(QStringLiteral("y"));
    dlg.cancelFile();
    trigger("mnuSave");
    ASSERT_EQ(dlg.calls.last().kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(dlg.calls.last().initialPath, path("p.html"));
    EXPECT_EQ(readBytes(path("p.html")), QByteArray("x"));
}

TEST_F(Shell, OpenOfAModifiedDocumentAsksFirstWithThePathInTheQuestion) {
    ASSERT_TRUE(writeBytes(path("one.html"), "1"));
    ASSERT_TRUE(writeBytes(path("two.html"), "2"));
    dlg.chooseFile(path("one.html"));
    trigger("mnuOpen");
    type(QStringLiteral("+"));
    dlg.answer(Dialogs::Answer::No);
    dlg.chooseFile(path("two.html"));
    trigger("mnuOpen");
    EXPECT_EQ(dlg.messages().last(), QStringLiteral("Save changes to ") + path("one.html"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("2"));
    EXPECT_EQ(caption(), path("two.html"));
}

TEST_F(Shell, CancelledOpenLeavesEverythingUntouched) {
    type(QStringLiteral("mine"));
    dlg.cancelFile();
    trigger("mnuOpen");
    EXPECT_EQ(editor()->Text(), QStringLiteral("mine"));
    EXPECT_EQ(caption(), QStringLiteral("Untitled"));
    EXPECT_TRUE(editor()->Modified());
}

TEST_F(Shell, AFailedOpenNamesTheFileAndKeepsTheDocumentAndItsName) {
    ASSERT_TRUE(writeBytes(path("mine.html"), "m"));
    dlg.chooseFile(path("mine.html"));
    trigger("mnuOpen");
    type(QStringLiteral("!"));
    editor()->SetModified(false);
    dlg.chooseFile(path("missing.html"));
    trigger("mnuOpen");
    ASSERT_EQ(dlg.messages().size(), 1);
    EXPECT_TRUE(dlg.messages()[0].contains(path("missing.html")));
    EXPECT_EQ(dlg.lastMessage()->icon, Dialogs::Icon::Warning);
    EXPECT_EQ(editor()->Text(), QStringLiteral("m!"));
    EXPECT_EQ(caption(), path("mine.html"));
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("mine.html")), QByteArray("m!")) << "Save still goes to the open file";
    EXPECT_FALSE(QFile::exists(path("missing.html")));
}

TEST_F(Shell, AFailedWriteReportsAndKeepsDocumentFlagCaptionAndOldFile) {
    ASSERT_TRUE(writeBytes(path("doc.html"), "old"));
    dlg.chooseFile(path("doc.html"));
    trigger("mnuOpen");
    type(QStringLiteral(" new"));
    // A name under a regular file can never be written, even by root.
    dlg.chooseFile(path("doc.html") + QStringLiteral("/sub.html"));
    trigger("mnuSaveAs");
    ASSERT_EQ(dlg.messages().size(), 1);
    EXPECT_TRUE(dlg.messages()[0].contains(path("doc.html") + QStringLiteral("/sub.html")));
    EXPECT_EQ(editor()->Text(), QStringLiteral("old new"));
    EXPECT_TRUE(editor()->Modified());
    EXPECT_EQ(caption(), path("doc.html"));
    EXPECT_EQ(readBytes(path("doc.html")), QByteArray("old"));
    // The failed name is not kept: Save writes the open file.
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("doc.html")), QByteArray("old new"));
}

TEST_F(Shell, CloseAsksEvenRightAfterASaveAndCancelKeepsTheWindow) {
    type(QStringLiteral("x"));
    dlg.chooseFile(path("x.html"));
    trigger("mnuSaveAs");
    dlg.answer(Dialogs::Answer::Cancel);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    const auto* m = dlg.lastMessage();
    EXPECT_EQ(m->text, kCloseQuestion);
    EXPECT_EQ(m->title, QStringLiteral("VERRiNDEL"));
    EXPECT_EQ(m->buttons, Dialogs::Buttons::YesNoCancel);
    EXPECT_EQ(m->icon, Dialogs::Icon::Warning);
    EXPECT_EQ(editor()->Text(), QStringLiteral("x"));
}

TEST_F(Shell, ExitWithNoEndsTheProgramWithoutWriting) {
    ASSERT_TRUE(writeBytes(path("n.html"), "n"));
    dlg.chooseFile(path("n.html"));
    trigger("mnuOpen");
    type(QStringLiteral("changed"));
    QSignalSpy quit(w.get(), &frmMain::quitRequested);
    dlg.answer(Dialogs::Answer::No);
    trigger("mnuExit");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(readBytes(path("n.html")), QByteArray("n"));
}

TEST_F(Shell, CloseWithYesOnANamedDocumentWritesAndCloses) {
    ASSERT_TRUE(writeBytes(path("y.html"), "y"));
    dlg.chooseFile(path("y.html"));
    trigger("mnuOpen");
    type(QStringLiteral("es"));
    dlg.answer(Dialogs::Answer::Yes);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(readBytes(path("y.html")), QByteArray("yes"));
    EXPECT_EQ(dlg.calls.size(), 2) << "no dialog besides Open and the question";
}

TEST_F(Shell, CloseWithYesStaysOpenWhenTheSaveDoesNotHappen) {
    type(QStringLiteral("unsaved"));
    dlg.answer(Dialogs::Answer::Yes);
    dlg.cancelFile();
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(editor()->Text(), QStringLiteral("unsaved"));
}

TEST_F(Shell, CloseWithYesOnAnEmptyDocumentCloses) {
    dlg.answer(Dialogs::Answer::Yes);
    EXPECT_TRUE(w->close());
}

} // namespace

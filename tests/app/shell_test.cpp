// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user drives it: start-up, the menus, New, Open, Save, Save As and
// the close question, with every question answered by the scripted dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <iterator>
#include <type_traits>
#include <utility>

#include "app/document.h"
#include "app/frmmain.h"
#include "app/statuspanels.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "shell/cmdg.h"
#include "testutil.h"

namespace {

const QString kNoText = QStringLiteral("No text to save, try entering some first!");
const QString kCloseQuestion = QStringLiteral("Do you want to save the changes?");

// Every menu and menu item of the main window, under the name it carries both as its
// member of MenuActions and as its objectName.
#define VR_NAMED(member)                                                                           \
    { &MenuActions::member, #member }
const std::pair<QMenu * MenuActions::*, const char*> kMenus[] = {
    VR_NAMED(mnuFile),       VR_NAMED(mnu),           VR_NAMED(mnuCount),
    VR_NAMED(mnuEdit),       VR_NAMED(mnuTags),       VR_NAMED(mnuHeadMain),
    VR_NAMED(mnuCss),        VR_NAMED(mnuBodyMain),   VR_NAMED(mnuSemantics),
    VR_NAMED(mnuHeadings),   VR_NAMED(mnuParagraphs), VR_NAMED(mnuFormatting),
    VR_NAMED(mnuQuotations), VR_NAMED(mnuView),       VR_NAMED(mnuOptions),
    VR_NAMED(PopMenu),       VR_NAMED(mnuRecent)};
const std::pair<QAction * MenuActions::*, const char*> kMenuItems[] = {
    VR_NAMED(mnuNew),
    VR_NAMED(mnuOpen),
    VR_NAMED(mnuSave),
    VR_NAMED(mnuSaveAs),
    VR_NAMED(mnuPrint),
    VR_NAMED(mnuPrintsetup),
    VR_NAMED(mnuHighlight),
    VR_NAMED(mnuUnHighlight),
    VR_NAMED(mnuLine),
    VR_NAMED(mnuWord),
    VR_NAMED(mnuFullScreen),
    VR_NAMED(mnuValidate),
    VR_NAMED(mnuExit),
    VR_NAMED(mnuUndo),
    VR_NAMED(mnuCut),
    VR_NAMED(mnuCopy),
    VR_NAMED(mnuPaste),
    VR_NAMED(mnuDelete),
    VR_NAMED(mnuFind),
    VR_NAMED(mnuReplace),
    VR_NAMED(mnuGoto),
    VR_NAMED(mnuSelect),
    VR_NAMED(mnuDate),
    VR_NAMED(mnuComment),
    VR_NAMED(mnuDoctype),
    VR_NAMED(mnuHtml),
    VR_NAMED(mnuHead),
    VR_NAMED(mnuTitle),
    VR_NAMED(mnuFavicon),
    VR_NAMED(mnuCharset),
    VR_NAMED(mnuMeta),
    VR_NAMED(mnuViewport),
    VR_NAMED(mnuExternal),
    VR_NAMED(mnuInternal),
    VR_NAMED(mnuJavaScript),
    VR_NAMED(mnuRefresh),
    VR_NAMED(mnuBody),
    VR_NAMED(mnuColors),
    VR_NAMED(mnuLink),
    VR_NAMED(mnuImage),
    VR_NAMED(mnuTable),
    VR_NAMED(mnuIframe),
    VR_NAMED(mnuList),
    VR_NAMED(mnuMarquee),
    VR_NAMED(mnuArticle),
    VR_NAMED(mnuAside),
    VR_NAMED(mnuDetails),
    VR_NAMED(mnuFigcaption),
    VR_NAMED(mnuFigure),
    VR_NAMED(mnuFooter),
    VR_NAMED(mnuHeader),
    VR_NAMED(mnuMain),
    VR_NAMED(mnuMark),
    VR_NAMED(mnuNav),
    VR_NAMED(mnuSection),
    VR_NAMED(mnuSummary),
    VR_NAMED(mnuTime),
    VR_NAMED(mnuH1),
    VR_NAMED(mnuH2),
    VR_NAMED(mnuH3),
    VR_NAMED(mnuH4),
    VR_NAMED(mnuH5),
    VR_NAMED(mnuH6),
    VR_NAMED(mnuParagraph),
    VR_NAMED(mnuHorizontalRule),
    VR_NAMED(mnuLineBreak),
    VR_NAMED(mnuPreformattedText),
    VR_NAMED(mnuBold),
    VR_NAMED(mnuImportant),
    VR_NAMED(mnuItalic),
    VR_NAMED(mnuEmphasized),
    VR_NAMED(mnuMarked),
    VR_NAMED(mnuSmaller),
    VR_NAMED(mnuDeleted),
    VR_NAMED(mnuInserted),
    VR_NAMED(mnuSubscript),
    VR_NAMED(mnuSuperscript),
    VR_NAMED(mnuAbbr),
    VR_NAMED(mnuAddress),
    VR_NAMED(mnuBdo),
    VR_NAMED(mnuBlockquote),
    VR_NAMED(mnuCite),
    VR_NAMED(mnuQ),
    VR_NAMED(mnuLivePreview),
    VR_NAMED(mnuProblems),
    VR_NAMED(mnuLineNumbers),
    VR_NAMED(mnuWordWrap),
    VR_NAMED(mnuZoomIn),
    VR_NAMED(mnuZoomOut),
    VR_NAMED(mnuZoomReset),
    VR_NAMED(mnuAutoClose),
    VR_NAMED(mnuRenamePair),
    VR_NAMED(mnuAutoComplete),
    VR_NAMED(PopHighLight),
    VR_NAMED(PopNoHighLight)};
#undef VR_NAMED

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
                                   "Formatting", "Quotations", "View", "Options"}));
    auto items = [&](const char* menu) {
        QStringList out;
        for (QAction* a : menuNamed(*w, menu)->actions())
            out << (a->isSeparator() ? QStringLiteral("-")
                                     : a->text() + QLatin1Char('|') +
                                           a->shortcut().toString(QKeySequence::PortableText));
        return out;
    };
    EXPECT_EQ(items("mnuFile"),
              (QStringList{"New|Ctrl+N", "Open...|Ctrl+O", "Recent Files|", "-", "Save...|Ctrl+S",
                           "Save As...|", "-", "Print...|Ctrl+P", "Print Setup...|", "-", "Syntax|",
                           "Count|", "FullScreen|", "Validate|", "-", "Exit|Alt+Backspace"}));
    EXPECT_EQ(items("mnuEdit"),
              (QStringList{"Undo|Ctrl+Z", "-", "Cut|Ctrl+X", "Copy|Ctrl+C", "Paste|Ctrl+V",
                           "Delete|Del", "-", "Find...|Ctrl+F", "Replace...|Ctrl+R",
                           "Goto...|Ctrl+G", "-", "Select All|Ctrl+A", "Time / Date|F5"}));
    EXPECT_EQ(items("mnu"), (QStringList{"Highlight Syntax|", "UnHighlight Syntax|"}));
    EXPECT_EQ(items("mnuCount"), (QStringList{"Line Count|", "Word Count|"}));
    EXPECT_EQ(w->PopMenu()->title(), QStringLiteral("PopUpMenu"));
    EXPECT_FALSE(w->menuBar()->actions().contains(w->PopMenu()->menuAction()));
}

TEST_F(Shell, EveryMenuAndItemIsBuiltUnderItsOwnName) {
    // The lists name every member: the structure holds nothing but these pointers.
    static_assert(sizeof(MenuActions) ==
                  (std::size(kMenus) + std::size(kMenuItems)) * sizeof(void*));
    const MenuActions& menus = w->menuActions();
    QSet<const QObject*> built;
    auto check = [&](auto* object, const char* name) {
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->objectName().toStdString(), name);
        // Found by its name, as users and tests find it, it is this very object.
        using Type = std::remove_pointer_t<decltype(object)>;
        EXPECT_EQ(w->findChild<Type*>(QLatin1String(name)), object) << name;
        built.insert(object);
    };
    for (const auto& [member, name] : kMenus)
        check(menus.*member, name);
    for (const auto& [member, name] : kMenuItems)
        check(menus.*member, name);
    EXPECT_EQ(built.size(), qsizetype(std::size(kMenus) + std::size(kMenuItems)));
    EXPECT_EQ(menus.PopMenu, w->PopMenu());
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

// Which key releases make the panels ask the display server for the lock states again.
TEST(StatusPanelsKeys, OnlyLockKeysAskForTheLocks) {
    const struct {
        int key;
        bool lock;
    } cases[] = {
        {Qt::Key_CapsLock, true}, {Qt::Key_NumLock, true}, {Qt::Key_ScrollLock, true},
        {Qt::Key_Insert, false},  {Qt::Key_A, false},      {Qt::Key_Less, false},
        {Qt::Key_Shift, false},   {Qt::Key_Return, false}, {Qt::Key_Backspace, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StatusPanels::isLockKey(c.key), c.lock) << c.key;
}

// Counts the font changes of the four indicator panels: each one asks the window to lay
// itself out again.
class FontChanges : public QObject {
public:
    explicit FontChanges(const QList<QLabel*>& labels) {
        for (QLabel* l : labels)
            l->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::FontChange)
            ++count;
        return false;
    }
};

TEST_F(Shell, StatusPanelsStayAsTheyAreWhileTyping) {
    QList<QLabel*> indicators;
    for (int i = 1; i <= 4; ++i)
        indicators << w->statusBar()->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i));
    ASSERT_FALSE(indicators.contains(nullptr));
    QLabel* ins = indicators[2];
    editor()->setFocus();
    QCoreApplication::processEvents();
    const QList<bool> enabled = {indicators[0]->isEnabled(), indicators[1]->isEnabled(),
                                 indicators[3]->isEnabled()};
    FontChanges changes(indicators);
    StatusPanels* panels = w->statusPanels();
    const int reads = panels->lockReadsForKeys();
    // Ordinary keys and Backspace: the locks are not asked for, nothing is set.
    QTest::keyClicks(editor(), QStringLiteral("<p>typed</p>"));
    QTest::keyClick(editor(), Qt::Key_Backspace);
    ASSERT_EQ(editor()->Text(), QStringLiteral("<p>typed</p"));
    QCoreApplication::processEvents();
    EXPECT_EQ(panels->lockReadsForKeys(), reads);
    // A lock key's release asks for them once, after it is delivered.
    QTest::keyClick(editor(), Qt::Key_CapsLock);
    EXPECT_TRUE(waitUntil([&] { return panels->lockReadsForKeys() == reads + 1; }));
    // The full refresh changes nothing that has not changed.
    panels->refresh();
    QCoreApplication::processEvents();
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ((QList<bool>{indicators[0]->isEnabled(), indicators[1]->isEnabled(),
                           indicators[3]->isEnabled()}),
              enabled);
    // Insert changes INS by the time its key is released, and only INS.
    EXPECT_TRUE(ins->isEnabled());
    QTest::keyClick(editor(), Qt::Key_Insert);
    EXPECT_FALSE(ins->isEnabled());
    EXPECT_EQ(changes.count, 1);
    QTest::keyClick(editor(), Qt::Key_Insert);
    EXPECT_TRUE(ins->isEnabled());
    EXPECT_EQ(changes.count, 2);
    EXPECT_TRUE(ins->font().bold());
}

TEST_F(Shell, SaveOfAnEmptyUntitledDocumentComplainsTwice) {
    trigger("mnuSave");
    EXPECT_EQ(d.messages(), (QStringList{kNoText, kNoText}));
    EXPECT_EQ(d.lastMessage()->title, QStringLiteral("VERRiNDEL"));
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::None);
    EXPECT_EQ(d.calls.size(), 2) << "no file dialog is shown";
}

TEST_F(Shell, SaveOfANewDocumentAsksForANameWritesAndKeepsTheCaptionUntitled) {
    type(QStringLiteral("<p>hi</p>"));
    d.chooseFile(path("a.html"));
    trigger("mnuSave");
    ASSERT_EQ(d.calls.size(), 1);
    EXPECT_EQ(d.calls[0].kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(d.calls[0].title, QStringLiteral("Save File"));
    EXPECT_EQ(d.calls[0].filter, Document::fileFilter());
    EXPECT_EQ(readBytes(path("a.html")), QByteArray("<p>hi</p>"));
    EXPECT_FALSE(editor()->Modified());
    EXPECT_EQ(caption(), QStringLiteral("Untitled"));
    // The next Save asks again, with the last name filled in.
    d.chooseFile(path("a.html"));
    trigger("mnuSave");
    ASSERT_EQ(d.calls.size(), 2);
    EXPECT_EQ(d.calls[1].initialPath, path("a.html"));
}

TEST_F(Shell, CancelledSaveDialogWritesNothingAndKeepsTheFlag) {
    type(QStringLiteral("text"));
    d.chooseFile(path("first.html"));
    trigger("mnuSaveAs");
    type(QStringLiteral(" more"));
    d.cancelFile();
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("first.html")), QByteArray("text")) << "no write to the old name";
    EXPECT_TRUE(editor()->Modified());
    EXPECT_TRUE(d.messages().isEmpty());
}

TEST_F(Shell, OpenShowsTheFileWithItsPathAsCaptionAndSaveWritesItWithoutADialog) {
    ASSERT_TRUE(writeBytes(path("page.html"), "<html>\n<body>caf\xc3\xa9</body>\n</html>"));
    d.chooseFile(path("page.html"));
    trigger("mnuOpen");
    ASSERT_EQ(d.calls.size(), 1);
    EXPECT_EQ(d.calls[0].title, QStringLiteral("Open File"));
    EXPECT_EQ(d.calls[0].filter, Document::fileFilter());
    EXPECT_EQ(caption(), path("page.html"));
    EXPECT_EQ(editor()->Text(), QString::fromUtf8("<html>\r\n<body>caf\xc3\xa9</body>\r\n</html>"));
    EXPECT_FALSE(editor()->Modified());
    type(QStringLiteral("!"));
    EXPECT_TRUE(editor()->Modified());
    trigger("mnuSave");
    EXPECT_EQ(d.calls.size(), 1) << "a named document saves without a dialog";
    // The file's line breaks were LF: so they stay.
    EXPECT_EQ(readBytes(path("page.html")),
              QByteArray("<html>\n<body>caf\xc3\xa9</body>\n</html>!"));
    EXPECT_FALSE(editor()->Modified());
}

// The document owns its path; the caption follows its name, and a caption set by anything
// else names no file.
TEST_F(Shell, TheCaptionFollowsTheDocumentsNameAndNamesNoFileItself) {
    Document* doc = w->document();
    QSignalSpy names(doc, &Document::displayNameChanged);
    ASSERT_TRUE(writeBytes(path("page.html"), "<p>a</p>"));
    const struct {
        std::function<void()> act;
        QString path; // the document's file afterwards
    } steps[] = {
        {[&] { ASSERT_TRUE(doc->OpenPath(path("page.html"))); }, path("page.html")},
        {[&] { w->setWindowTitle(path("other.html")); }, path("page.html")},
        {[&] { trigger("mnuNew"); }, QString()},
        {[&] { doc->restore("<p>b</p>", path("kept.html"), FileState()); }, path("kept.html")},
        {[&] { doc->restore("<p>c</p>", QString(), FileState()); }, QString()},
    };
    int step = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(step++);
        names.clear();
        editor()->SetModified(false);
        s.act();
        EXPECT_EQ(doc->filePath(), s.path);
        EXPECT_EQ(doc->displayName(), s.path.isEmpty() ? Document::untitled() : s.path);
        if (step != 2) {
            ASSERT_EQ(names.size(), 1);
            EXPECT_EQ(names[0][0].toString(), doc->displayName());
            EXPECT_EQ(caption(), doc->displayName());
        } else {
            EXPECT_EQ(names.size(), 0);
        }
    }
}

TEST_F(Shell, AWindows1252FileSavesBackAsWindows1252UntilItHoldsOtherCharacters) {
    ASSERT_TRUE(writeBytes(path("old.html"), "<p>na\xefve \x80 5</p>"));
    d.chooseFile(path("old.html"));
    trigger("mnuOpen");
    EXPECT_EQ(editor()->Text(), QString::fromUtf8("<p>na\xc3\xafve \xe2\x82\xac 5</p>"));
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("old.html")), QByteArray("<p>na\xefve \x80 5</p>"));
    EXPECT_TRUE(d.messages().isEmpty());

    // A character the code page cannot store: written as UTF-8, and the user is told once.
    type(QString::fromUtf16(u" \u4e2d"));
    trigger("mnuSave");
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(path("old.html")));
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral("UTF-8")));
    EXPECT_EQ(d.lastMessage()->buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::Information);
    EXPECT_EQ(readBytes(path("old.html")),
              QByteArray("<p>na\xc3\xafve \xe2\x82\xac 5</p> \xe4\xb8\xad"));
    EXPECT_FALSE(editor()->Modified());
    type(QStringLiteral("!"));
    trigger("mnuSave");
    EXPECT_EQ(d.messages().size(), 1) << "later saves write UTF-8 without a word";
    EXPECT_TRUE(readBytes(path("old.html")).endsWith("\xe4\xb8\xad!"));
}

TEST_F(Shell, EnterInAnLfFileGivesLfOnDiskAndSaveAsKeepsTheStyle) {
    ASSERT_TRUE(writeBytes(path("lf.html"), "<p>one</p>\n"));
    d.chooseFile(path("lf.html"));
    trigger("mnuOpen");
    editor()->SetFocus();
    editor()->SetSelStart(editor()->TextLength());
    QTest::keyClicks(editor(), QStringLiteral("<p>two</p>"));
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(editor()->Text(), QStringLiteral("<p>one</p>\r\n<p>two</p>\r\n"));
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("lf.html")), QByteArray("<p>one</p>\n<p>two</p>\n"));
    d.chooseFile(path("copy.html"));
    trigger("mnuSaveAs");
    EXPECT_EQ(readBytes(path("copy.html")), QByteArray("<p>one</p>\n<p>two</p>\n"));
    // A new document is written with CR LF, as before.
    trigger("mnuNew");
    type(QStringLiteral("a\r\nb"));
    d.chooseFile(path("new.html"));
    trigger("mnuSaveAs");
    EXPECT_EQ(readBytes(path("new.html")), QByteArray("a\r\nb"));
}

TEST_F(Shell, AMostlyUtf8FileIsShownAsUtf8WithOneMessageAndSavedUnchanged) {
    // UTF-8 with one Windows-1252 byte ("caf\xe9"), 210 bytes.
    QByteArray page = "<p>Caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x94 caf\xe9</p>\n";
    while (page.size() < 210)
        page += "<p>\xc2\xab na\xc3\xafve \xc2\xbb</p>\n";
    ASSERT_TRUE(writeBytes(path("menu.html"), page));
    d.chooseFile(path("menu.html"));
    trigger("mnuOpen");
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(path("menu.html")));
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral(" 1 byte")));
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::Information);
    EXPECT_TRUE(
        editor()->Text().startsWith(QString::fromUtf16(u"<p>Caf\u00e9 \u20ac \u2014 caf\uefe9")));
    EXPECT_FALSE(editor()->Modified());
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("menu.html")), page);
    d.chooseFile(path("copy.html"));
    trigger("mnuSaveAs");
    EXPECT_EQ(readBytes(path("copy.html")), page);
    EXPECT_EQ(d.messages().size(), 1) << "told once, when the file was opened";
}

// A mostly-UTF-8 file (stray bytes E9 and 80 among UTF-8) edited and saved: the stray
// bytes of the file go back as they were, wherever the edit moved them, and a stand-in
// character entered (typed, pasted, inserted) is saved as that character.
class StrayBytesEdited;
struct StrayEditCase {
    const char* name;
    std::function<void(StrayBytesEdited&)> edit;
    QByteArray saved;
};

void PrintTo(const StrayEditCase& c, std::ostream* os) {
    *os << c.name;
}

class StrayBytesEdited : public Shell, public ::testing::WithParamInterface<StrayEditCase> {
public: // the cases of the table drive the window
    using MainWindowTest::d;
    using MainWindowTest::editor;
    using MainWindowTest::trigger;
};

// In the editor: "<p>caf" U+EFE9 " été € " U+EF80 "</p>" CR LF; the stand-ins at 6 and 14.
const QByteArray kStrayPage = "<p>caf\xe9 \xc3\xa9t\xc3\xa9 \xe2\x82\xac \x80</p>\n";

void select(StrayBytesEdited& t, int start, int length) {
    t.editor()->SetSelStart(start);
    t.editor()->SetSelLength(length);
}
void key(StrayBytesEdited& t, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(t.editor(), Qt::Key(k), mods);
}

TEST_P(StrayBytesEdited, SavesTheFilesStrayBytesAndTheCharactersEntered) {
    ASSERT_TRUE(writeBytes(path("stray.html"), kStrayPage));
    d.chooseFile(path("stray.html"));
    trigger("mnuOpen");
    ASSERT_EQ(editor()->Text(),
              QStringView(u"<p>caf\uEFE9 \u00e9t\u00e9 \u20ac \uEF80</p>\r\n").toString());
    editor()->setFocus();
    GetParam().edit(*this);
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("stray.html")), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, StrayBytesEdited,
    ::testing::Values(
        StrayEditCase{"Unchanged", [](StrayBytesEdited&) {}, kStrayPage},
        StrayEditCase{"AStandInTyped",
                      [](StrayBytesEdited& t) {
                          // As an input method types it (the editor takes no private-use
                          // character from a key's own text).
                          t.editor()->SetSelStart(14);
                          QInputMethodEvent commit;
                          commit.setCommitString(QString(QChar(0xEF80)));
                          QCoreApplication::sendEvent(t.editor(), &commit);
                      },
                      "<p>caf\xe9 \xc3\xa9t\xc3\xa9 \xe2\x82\xac \xee\xbe\x80\x80</p>\n"},
        StrayEditCase{"AStandInPastedWithCtrlV",
                      [](StrayBytesEdited& t) {
                          QGuiApplication::clipboard()->setText(QString(QChar(0xEF80)));
                          t.editor()->SetSelStart(3);
                          key(t, Qt::Key_V, Qt::ControlModifier);
                      },
                      "<p>\xee\xbe\x80" + kStrayPage.mid(3)},
        StrayEditCase{"AStandInPastedFromTheEditMenu",
                      [](StrayBytesEdited& t) {
                          QGuiApplication::clipboard()->setText(QString(QChar(0xEFE9)));
                          t.editor()->SetSelStart(3);
                          t.trigger("mnuPaste");
                      },
                      "<p>\xee\xbf\xa9" + kStrayPage.mid(3)},
        StrayEditCase{"AStandInPastedOverTheStrayByteItStandsFor",
                      [](StrayBytesEdited& t) {
                          QGuiApplication::clipboard()->setText(QString(QChar(0xEF80)));
                          select(t, 14, 1);
                          key(t, Qt::Key_V, Qt::ControlModifier);
                      },
                      "<p>caf\xe9 \xc3\xa9t\xc3\xa9 \xe2\x82\xac \xee\xbe\x80</p>\n"},
        StrayEditCase{"AStrayByteCopiedAndPasted",
                      [](StrayBytesEdited& t) {
                          select(t, 14, 1);
                          key(t, Qt::Key_C, Qt::ControlModifier);
                          t.editor()->SetSelStart(3);
                          key(t, Qt::Key_V, Qt::ControlModifier);
                          t.editor()->SetSelStart(0);
                          t.trigger("mnuPaste");
                      },
                      "\x80<p>\x80" + kStrayPage.mid(3)},
        StrayEditCase{"StrayBytesCutAndPastedAtTheEnd",
                      [](StrayBytesEdited& t) {
                          select(t, 3, 5);
                          t.trigger("mnuCut");
                          t.editor()->SetSelStart(t.editor()->TextLength());
                          key(t, Qt::Key_V, Qt::ControlModifier);
                      },
                      "<p>\xc3\xa9t\xc3\xa9 \xe2\x82\xac \x80</p>\ncaf\xe9 "},
        StrayEditCase{"AStrayByteDeletedAndTheDeletionUndone",
                      [](StrayBytesEdited& t) {
                          select(t, 6, 1);
                          key(t, Qt::Key_Delete);
                          t.editor()->SetSelStart(14);
                          key(t, Qt::Key_Backspace);
                          t.trigger("mnuUndo");
                          t.trigger("mnuUndo");
                      },
                      kStrayPage},
        StrayEditCase{"DeleteBeforeAStrayByteRemovesOnlyIt",
                      [](StrayBytesEdited& t) {
                          t.editor()->SetSelStart(6);
                          key(t, Qt::Key_Delete);
                      },
                      "<p>caf \xc3\xa9t\xc3\xa9 \xe2\x82\xac \x80</p>\n"},
        StrayEditCase{"ATagPutAfterASelectionOfThem",
                      [](StrayBytesEdited& t) {
                          select(t, 3, 12);
                          t.trigger("mnuBold");
                      },
                      "<p>caf\xe9 \xc3\xa9t\xc3\xa9 \xe2\x82\xac \x80<b>\n\n</b></p>\n"},
        StrayEditCase{"ASelectionOfThemHighlighted",
                      [](StrayBytesEdited& t) {
                          select(t, 3, 12);
                          t.d.chooseColorValue(65535);
                          t.trigger("PopHighLight");
                      },
                      kStrayPage},
        StrayEditCase{"HighlightedAndUnhighlighted",
                      [](StrayBytesEdited& t) {
                          t.trigger("mnuHighlight");
                          t.trigger("mnuUnHighlight");
                      },
                      kStrayPage}),
    NameFrom<&StrayEditCase::name>());

TEST_F(Shell, SaveAsWritesTheSameStrayBytesAndNewKeepsNone) {
    ASSERT_TRUE(writeBytes(path("stray.html"), kStrayPage));
    d.chooseFile(path("stray.html"));
    trigger("mnuOpen");
    editor()->SetSelStart(0);
    editor()->enterText(QString(QChar(0xEFFF)));
    d.chooseFile(path("copy.html"));
    trigger("mnuSaveAs");
    EXPECT_EQ(readBytes(path("copy.html")), "\xee\xbf\xbf" + kStrayPage);
    // A stray byte copied into a new document is the stand-in character there.
    editor()->SetSelStart(7);
    editor()->SetSelLength(1);
    QTest::keyClick(editor(), Qt::Key_C, Qt::ControlModifier);
    d.answer(Dialogs::Answer::No);
    trigger("mnuNew");
    QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
    d.chooseFile(path("new.html"));
    trigger("mnuSaveAs");
    EXPECT_EQ(readBytes(path("new.html")), "\xee\xbf\xa9");
}

TEST_F(Shell, AUtf16FileSavesBackInUtf16WithItsMark) {
    const QByteArray page("\xff\xfe<\0p\0>\0\xe9\0\r\0\n\0", 14);
    ASSERT_TRUE(writeBytes(path("wide.html"), page));
    d.chooseFile(path("wide.html"));
    trigger("mnuOpen");
    EXPECT_EQ(editor()->Text(), QString::fromUtf16(u"<p>\u00e9\r\n"));
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("wide.html")), page);
    type(QStringLiteral("x"));
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("wide.html")), page + QByteArray("x\0", 2));
}

TEST_F(Shell, AZeroWidthNoBreakSpaceAtTheStartIsTextAndSavedBack) {
    // After the mark, U+FEFF is a character of the page (UTF-8 and UTF-16).
    for (const QByteArray& page :
         {QByteArray("\xef\xbb\xbf\xef\xbb\xbf<p>"), QByteArray("\xff\xfe\xff\xfe<\0", 6)}) {
        ASSERT_TRUE(writeBytes(path("zw.html"), page));
        d.chooseFile(path("zw.html"));
        trigger("mnuOpen");
        EXPECT_EQ(editor()->Text().at(0), QChar(0xFEFF));
        type(QStringLiteral("!"));
        editor()->SetSelStart(editor()->TextLength() - 1);
        editor()->SetSelLength(1);
        editor()->SetSelText(QString());
        trigger("mnuSave");
        EXPECT_EQ(readBytes(path("zw.html")), page);
    }
}

// Another program changes the open file; Save asks before writing over it.
TEST_F(Shell, SaveAsksBeforeOverwritingAFileChangedByAnotherProgram) {
    struct Case {
        const char* what;
        bool deleteIt;
        Dialogs::Answer answer;
        bool written;
    } cases[] = {{"Yes overwrites", false, Dialogs::Answer::Yes, true},
                 {"No keeps the other program's text", false, Dialogs::Answer::No, false},
                 {"a deleted file is written again", true, Dialogs::Answer::Cancel, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        d.clear();
        ASSERT_TRUE(writeBytes(path("page.html"), "<p>mine</p>"));
        d.chooseFile(path("page.html"));
        trigger("mnuOpen");
        type(QStringLiteral("!"));
        if (c.deleteIt)
            QFile::remove(path("page.html"));
        else
            ASSERT_TRUE(writeBytes(path("page.html"), "<p>them</p>"));
        if (!c.deleteIt)
            d.answer(c.answer);
        trigger("mnuSave");
        if (c.deleteIt) {
            EXPECT_TRUE(d.messages().isEmpty());
        } else {
            ASSERT_EQ(d.messages().size(), 1);
            const ScriptedDialogs::Call* q = d.lastMessage();
            EXPECT_TRUE(q->text.contains(path("page.html")));
            EXPECT_TRUE(q->text.contains(QStringLiteral("changed by another program")));
            EXPECT_EQ(q->buttons, Dialogs::Buttons::YesNo);
            EXPECT_EQ(q->icon, Dialogs::Icon::Warning);
        }
        EXPECT_EQ(readBytes(path("page.html")),
                  c.written ? QByteArray("<p>mine</p>!") : QByteArray("<p>them</p>"));
        EXPECT_EQ(editor()->Modified(), !c.written);
        EXPECT_EQ(caption(), path("page.html"));
        EXPECT_EQ(editor()->Text(), QStringLiteral("<p>mine</p>!"));
        // Once written, the file is ours again: the next Save asks nothing.
        if (c.written) {
            d.clear();
            type(QStringLiteral("?"));
            trigger("mnuSave");
            EXPECT_TRUE(d.messages().isEmpty());
        }
        editor()->SetModified(false);
    }
}

TEST_F(Shell, NoToTheOverwriteQuestionKeepsTheDocumentAtNewAndAtClose) {
    ASSERT_TRUE(writeBytes(path("page.html"), "<p>mine</p>"));
    d.chooseFile(path("page.html"));
    trigger("mnuOpen");
    type(QStringLiteral("!"));
    ASSERT_TRUE(writeBytes(path("page.html"), "<p>them, longer</p>"));
    // New: Yes to "Save changes", the same file in the Save dialog, No to overwriting.
    d.answer(Dialogs::Answer::Yes);
    d.chooseFile(path("page.html"));
    d.answer(Dialogs::Answer::No);
    trigger("mnuNew");
    EXPECT_EQ(editor()->Text(), QStringLiteral("<p>mine</p>!"));
    EXPECT_EQ(caption(), path("page.html"));
    // The close question: Yes, then No to overwriting: the window stays.
    d.answer(Dialogs::Answer::Yes);
    d.answer(Dialogs::Answer::No);
    EXPECT_FALSE(w->close());
    EXPECT_EQ(readBytes(path("page.html")), QByteArray("<p>them, longer</p>"));
    EXPECT_TRUE(editor()->Modified());
}

TEST_F(Shell, TheSaveDialogOffersTheHomeFolderWhenTheDocumentsFolderIsGone) {
    QDir(dir.path()).mkdir(QStringLiteral("site"));
    const QString page = dir.filePath(QStringLiteral("site/page.html"));
    ASSERT_TRUE(writeBytes(page, "<p>x</p>"));
    d.chooseFile(page);
    trigger("mnuOpen");
    ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("site"))).removeRecursively());
    d.cancelFile();
    trigger("mnuSaveAs");
    ASSERT_EQ(d.calls.last().kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(d.calls.last().initialPath, QDir::home().filePath(QStringLiteral("page.html")));
    EXPECT_EQ(w->cmdg()->FileName, page) << "a cancelled dialog leaves the name as it was";
}

TEST_F(Shell, NewAsksOnlyWhenModifiedAndClearsOnNo) {
    trigger("mnuNew");
    EXPECT_TRUE(d.calls.isEmpty());
    type(QStringLiteral("abc"));
    d.answer(Dialogs::Answer::No);
    trigger("mnuNew");
    ASSERT_EQ(d.messages(), QStringList{QStringLiteral("Save changes to Untitled")});
    EXPECT_EQ(d.lastMessage()->buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::None);
    EXPECT_TRUE(editor()->Text().isEmpty());
    EXPECT_FALSE(editor()->Modified());
    EXPECT_EQ(caption(), QStringLiteral("Untitled"));
}

TEST_F(Shell, NewWithYesSavesFirstAndStopsWhenTheSaveIsCancelled) {
    type(QStringLiteral("keep me"));
    d.answer(Dialogs::Answer::Yes);
    d.cancelFile();
    trigger("mnuNew");
    EXPECT_EQ(editor()->Text(), QStringLiteral("keep me")) << "the text the user asked to keep";
    EXPECT_TRUE(editor()->Modified());

    d.answer(Dialogs::Answer::Yes);
    d.chooseFile(path("kept.html"));
    trigger("mnuNew");
    EXPECT_EQ(readBytes(path("kept.html")), QByteArray("keep me"));
    EXPECT_TRUE(editor()->Text().isEmpty());
}

TEST_F(Shell, NewAfterOpenKeepsTheLastNameForTheNextSave) {
    ASSERT_TRUE(writeBytes(path("p.html"), "x"));
    d.chooseFile(path("p.html"));
    trigger("mnuOpen");
    trigger("mnuNew");
    EXPECT_EQ(caption(), QStringLiteral("Untitled"));
    type(QStringLiteral("y"));
    d.cancelFile();
    trigger("mnuSave");
    ASSERT_EQ(d.calls.last().kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(d.calls.last().initialPath, path("p.html"));
    EXPECT_EQ(readBytes(path("p.html")), QByteArray("x"));
}

TEST_F(Shell, OpenOfAModifiedDocumentAsksFirstWithThePathInTheQuestion) {
    ASSERT_TRUE(writeBytes(path("one.html"), "1"));
    ASSERT_TRUE(writeBytes(path("two.html"), "2"));
    d.chooseFile(path("one.html"));
    trigger("mnuOpen");
    type(QStringLiteral("+"));
    d.answer(Dialogs::Answer::No);
    d.chooseFile(path("two.html"));
    trigger("mnuOpen");
    EXPECT_EQ(d.messages().last(), QStringLiteral("Save changes to ") + path("one.html"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("2"));
    EXPECT_EQ(caption(), path("two.html"));
}

TEST_F(Shell, CancelledOpenLeavesEverythingUntouched) {
    type(QStringLiteral("mine"));
    d.cancelFile();
    trigger("mnuOpen");
    EXPECT_EQ(editor()->Text(), QStringLiteral("mine"));
    EXPECT_EQ(caption(), QStringLiteral("Untitled"));
    EXPECT_TRUE(editor()->Modified());
}

TEST_F(Shell, AFailedOpenNamesTheFileAndKeepsTheDocumentAndItsName) {
    ASSERT_TRUE(writeBytes(path("mine.html"), "m"));
    d.chooseFile(path("mine.html"));
    trigger("mnuOpen");
    type(QStringLiteral("!"));
    editor()->SetModified(false);
    d.chooseFile(path("missing.html"));
    trigger("mnuOpen");
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(path("missing.html")));
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::Warning);
    EXPECT_EQ(editor()->Text(), QStringLiteral("m!"));
    EXPECT_EQ(caption(), path("mine.html"));
    trigger("mnuSave");
    EXPECT_EQ(readBytes(path("mine.html")), QByteArray("m!")) << "Save still goes to the open file";
    EXPECT_FALSE(QFile::exists(path("missing.html")));
}

TEST_F(Shell, AFailedWriteReportsAndKeepsDocumentFlagCaptionAndOldFile) {
    ASSERT_TRUE(writeBytes(path("doc.html"), "old"));
    d.chooseFile(path("doc.html"));
    trigger("mnuOpen");
    type(QStringLiteral(" new"));
    // A name under a regular file can never be written, even by root.
    d.chooseFile(path("doc.html") + QStringLiteral("/sub.html"));
    trigger("mnuSaveAs");
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(path("doc.html") + QStringLiteral("/sub.html")));
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
    d.chooseFile(path("x.html"));
    trigger("mnuSaveAs");
    d.answer(Dialogs::Answer::Cancel);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    const auto* m = d.lastMessage();
    EXPECT_EQ(m->text, kCloseQuestion);
    EXPECT_EQ(m->title, QStringLiteral("VERRiNDEL"));
    EXPECT_EQ(m->buttons, Dialogs::Buttons::YesNoCancel);
    EXPECT_EQ(m->icon, Dialogs::Icon::Warning);
    EXPECT_EQ(editor()->Text(), QStringLiteral("x"));
}

TEST_F(Shell, ExitWithNoEndsTheProgramWithoutWriting) {
    ASSERT_TRUE(writeBytes(path("n.html"), "n"));
    d.chooseFile(path("n.html"));
    trigger("mnuOpen");
    type(QStringLiteral("changed"));
    QSignalSpy quit(w.get(), &frmMain::quitRequested);
    d.answer(Dialogs::Answer::No);
    trigger("mnuExit");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(readBytes(path("n.html")), QByteArray("n"));
}

TEST_F(Shell, CloseWithYesOnANamedDocumentWritesAndCloses) {
    ASSERT_TRUE(writeBytes(path("y.html"), "y"));
    d.chooseFile(path("y.html"));
    trigger("mnuOpen");
    type(QStringLiteral("es"));
    d.answer(Dialogs::Answer::Yes);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(readBytes(path("y.html")), QByteArray("yes"));
    EXPECT_EQ(d.calls.size(), 2) << "no dialog besides Open and the question";
}

TEST_F(Shell, CloseWithYesStaysOpenWhenTheSaveDoesNotHappen) {
    type(QStringLiteral("unsaved"));
    d.answer(Dialogs::Answer::Yes);
    d.cancelFile();
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(editor()->Text(), QStringLiteral("unsaved"));
}

TEST_F(Shell, CloseWithYesOnAnEmptyDocumentCloses) {
    d.answer(Dialogs::Answer::Yes);
    EXPECT_TRUE(w->close());
}

} // namespace

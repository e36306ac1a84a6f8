// SPDX-License-Identifier: GPL-3.0-or-later
// The tag aids as a user drives them in the main window: the Options menu and its settings,
// the keys that close and rename tags, the marks on a matched pair, and completion.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QSettings>
#include <QTest>
#include <Qsci/qsciscintillabase.h>

#include "assist/tagcompletion.h"
#include "assist/tagmatcher.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "testutil.h"

namespace {

using S = QsciScintillaBase;

// Keys of the tables: "\b" Backspace, "\x7f" Delete, "\x1a" Ctrl+Z, "\x1b" Escape, "\t" Tab,
// "\n" Enter, "\x01" Ctrl+Space; any other character is typed as a US keyboard sends it.
void typeKeys(QWidget* target, const QString& keys) {
    static const QString shifted = QStringLiteral("<>\"!_:?{}|~@#$%^&*()+");
    for (QChar c : keys) {
        Qt::Key key;
        Qt::KeyboardModifiers mods = Qt::NoModifier;
        QString text;
        switch (c.unicode()) {
        case '\b':
            key = Qt::Key_Backspace;
            break;
        case 0x7f:
            key = Qt::Key_Delete;
            break;
        case 0x1a:
            key = Qt::Key_Z;
            mods = Qt::ControlModifier;
            break;
        case 0x1b:
            key = Qt::Key_Escape;
            break;
        case '\t':
            key = Qt::Key_Tab;
            text = QStringLiteral("\t");
            break;
        case '\n':
            key = Qt::Key_Return;
            text = QStringLiteral("\r");
            break;
        case 0x01:
            key = Qt::Key_Space;
            mods = Qt::ControlModifier;
            break;
        default:
            key = Qt::Key(c.toUpper().unicode());
            text = QString(c);
            if (c.isUpper() || shifted.contains(c))
                mods = Qt::ShiftModifier;
        }
        QTest::sendKeyEvent(QTest::Press, target, key, text, mods);
        QTest::sendKeyEvent(QTest::Release, target, key, text, mods);
    }
}

class TagAidsWindow : public MainWindowTest {
protected:
    void SetUp() override {
        // Settings of its own: what these tests switch on never reaches another test.
        ASSERT_TRUE(settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        MainWindowTest::SetUp();
        focusEditor();
    }
    void focusEditor() {
        w->activateWindow();
        editor()->setFocus();
        waitUntil([&] { return editor()->hasFocus(); }, 3000);
    }
    // Restarts the window, as the user does by quitting and starting again.
    void restart() {
        editor()->SetModified(false);
        w.reset();
        w = std::make_unique<frmMain>();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        focusEditor();
    }
    // Loads a text written with "|" for the caret.
    void load(const QString& marked) {
        QString text = marked;
        const int caret = int(text.indexOf(QLatin1Char('|')));
        text.remove(QLatin1Char('|'));
        editor()->SetText(text);
        editor()->SetSelStart(caret < 0 ? int(text.size()) : caret);
    }
    // The text with "|" at the caret.
    QString marked() const {
        QString text = editor()->Text();
        return text.insert(editor()->SelStart(), QLatin1Char('|'));
    }
    void setOption(const char* name, bool on) {
        QAction* item = menuItem(*w, name);
        if (item->isChecked() != on)
            item->trigger();
        ASSERT_EQ(item->isChecked(), on);
    }
    int indicatorAt(int indicator, int charPos) const {
        return int(editor()->SendScintilla(S::SCI_INDICATORVALUEAT, indicator,
                                           long(editor()->toBytePos(charPos))));
    }
    assist::TagMatcher* matcher() const { return editor()->findChild<assist::TagMatcher*>(); }
    bool listActive() const { return editor()->SendScintilla(S::SCI_AUTOCACTIVE) != 0; }

    QTemporaryDir settingsDir;
};

// ---- the Options menu ----------------------------------------------------------------------

TEST_F(TagAidsWindow, OptionsFollowsViewAndItsItemsAreOffByDefault) {
    QMenu* options = menuNamed(*w, "mnuOptions");
    QMenu* view = menuNamed(*w, "mnuView");
    ASSERT_TRUE(options && view);
    const QList<QAction*> bar = w->menuBar()->actions();
    EXPECT_EQ(bar.indexOf(options->menuAction()), bar.indexOf(view->menuAction()) + 1);
    EXPECT_EQ(options->title(), QStringLiteral("Options"));
    const std::pair<const char*, const char*> items[] = {
        {"mnuAutoClose", "Close Tags Automatically"},
        {"mnuRenamePair", "Rename Paired Tag"},
        {"mnuAutoComplete", "Complete While Typing"}};
    ASSERT_EQ(options->actions().size(), 3);
    for (int i = 0; i < 3; ++i) {
        QAction* item = options->actions()[i];
        EXPECT_EQ(item->objectName(), QLatin1String(items[i].first));
        EXPECT_EQ(item->text(), QLatin1String(items[i].second));
        EXPECT_TRUE(item->isCheckable());
        EXPECT_FALSE(item->isChecked());
    }
    // Off, the keys type as they always did.
    load(QStringLiteral("<div>x<di|v>"));
    typeKeys(editor(), QStringLiteral(">a</"));
    EXPECT_EQ(marked(), QStringLiteral("<div>x<di>a</|v>"));
    EXPECT_FALSE(listActive());
}

TEST_F(TagAidsWindow, EachOptionIsRememberedAcrossARestart) {
    for (const char* name : {"mnuAutoClose", "mnuRenamePair", "mnuAutoComplete"}) {
        SCOPED_TRACE(name);
        setOption(name, true);
        restart();
        EXPECT_TRUE(menuItem(*w, name)->isChecked());
        setOption(name, false);
        restart();
        EXPECT_FALSE(menuItem(*w, name)->isChecked());
    }
    // What was remembered is in force after the restart, not only shown.
    setOption("mnuAutoClose", true);
    restart();
    load(QStringLiteral("<p"));
    typeKeys(editor(), QStringLiteral(">"));
    EXPECT_EQ(marked(), QStringLiteral("<p>|</p>"));
}

// ---- closing and renaming, key by key ------------------------------------------------------

struct KeyCase {
    const char* name;
    const char* option; // the item switched on
    QString before;     // "|" the caret
    QString keys;
    QString after; // "|" the caret; without it the caret is not compared
};
void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class TagKeys : public TagAidsWindow, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(TagKeys, TypeAsTheTableSays) {
    const KeyCase& c = GetParam();
    setOption(c.option, true);
    load(c.before);
    typeKeys(editor(), c.keys);
    if (c.after.contains(QLatin1Char('|')))
        EXPECT_EQ(marked(), c.after);
    else
        EXPECT_EQ(editor()->Text(), c.after);
}

const char* const kClose = "mnuAutoClose";
const char* const kRename = "mnuRenamePair";

INSTANTIATE_TEST_SUITE_P(
    Closing, TagKeys,
    ::testing::Values(
        KeyCase{"StartTagTyped", kClose, "|", "<div>", "<div>|</div>"},
        KeyCase{"CaseKept", kClose, "|", "<DIV>", "<DIV>|</DIV>"},
        KeyCase{"WithAttributes", kClose, "<a href=\"x\"|", ">", "<a href=\"x\">|</a>"},
        KeyCase{"TypedBetween", kClose, "|", "<p>hi", "<p>hi|</p>"},
        KeyCase{"NestedTyped", kClose, "|", "<ul><li>", "<ul><li>|</li></ul>"},
        KeyCase{"InMiddleOfText", kClose, "a|b", "<b>", "a<b>|</b>b"},
        KeyCase{"VoidElement", kClose, "|", "<br>", "<br>|"},
        KeyCase{"VoidWithAttribute", kClose, "<img src=\"a.png\"|", ">", "<img src=\"a.png\">|"},
        KeyCase{"SlashGreaterThan", kClose, "<div/|", ">", "<div/>|"},
        KeyCase{"EndTag", kClose, "<div>x</div|", ">", "<div>x</div>|"},
        KeyCase{"Comment", kClose, "<!-- <b|", ">", "<!-- <b>|"},
        KeyCase{"CommentEnd", kClose, "<!-- x --|", ">", "<!-- x -->|"},
        KeyCase{"Doctype", kClose, "<!DOCTYPE html|", ">", "<!DOCTYPE html>|"},
        KeyCase{"InDoubleQuotes", kClose, "<a title=\"x|", ">", "<a title=\"x>|"},
        KeyCase{"InSingleQuotes", kClose, "<a title='x|", ">", "<a title='x>|"},
        KeyCase{"AfterQuotedGreaterThan", kClose, "<a title=\"x>y\"|", ">",
                "<a title=\"x>y\">|</a>"},
        KeyCase{"InScript", kClose, "<script>if (a) s = \"<b|", ">", "<script>if (a) s = \"<b>|"},
        KeyCase{"InStyle", kClose, "<style>a<b|", ">", "<style>a<b>|"},
        KeyCase{"InTextarea", kClose, "<textarea><p|", ">", "<textarea><p>|"},
        KeyCase{"InTitle", kClose, "<title>A <i|", ">", "<title>A <i>|"},
        KeyCase{"TextGreaterThan", kClose, "<p>a |", ">", "<p>a >|"},
        KeyCase{"SlashCompletesName", kClose, "<div>text|", "</", "<div>text</div>|"},
        KeyCase{"SlashKeepsCase", kClose, "<DIV>text|", "</", "<DIV>text</DIV>|"},
        KeyCase{"SlashInnermost", kClose, "<ul><li>a|", "</", "<ul><li>a</li>|"},
        KeyCase{"SlashNestedSameName", kClose, "<div><div>a</div>|", "</",
                "<div><div>a</div></div>|"},
        KeyCase{"SlashNothingOpen", kClose, "text|", "</", "text</|"},
        KeyCase{"SlashInScript", kClose, "<script>a|", "</", "<script>a</|"},
        KeyCase{"UndoTakesKeyAndEndTag", kClose, "<div|", ">\x1a", "<div|"},
        KeyCase{"UndoTakesSlashAndName", kClose, "<p>x|", "</\x1a", "<p>x<"}),
    NameFrom<&KeyCase::name>());

INSTANTIATE_TEST_SUITE_P(
    Renaming, TagKeys,
    ::testing::Values(
        KeyCase{"TypeInStartTag", kRename, "<di|v>x</div>", "a", "<dia|v>x</diav>"},
        KeyCase{"TypeInEndTag", kRename, "<div>x</d|iv>", "x", "<dxiv>x</dx|iv>"},
        KeyCase{"BackspaceInStartTag", kRename, "<div|>x</div>", "\b", "<di|>x</di>"},
        KeyCase{"DeleteInEndTag", kRename, "<p>x</|p>", "\x7f", "<>x</|>"},
        KeyCase{"WholeNameReplaced", kRename, "<div|>x</div>", "\b\b\bspan", "<span|>x</span>"},
        KeyCase{"WholeEndNameReplaced", kRename, "<b>x</b|>", "\bi", "<i>x</i|>"},
        KeyCase{"NestedSameNameInner", kRename, "<div><d|iv>a</div></div>", "x",
                "<div><dx|iv>a</dxiv></div>"},
        KeyCase{"NestedSameNameOuter", kRename, "<d|iv><div>a</div></div>", "x",
                "<dx|iv><div>a</div></dxiv>"},
        KeyCase{"CaseOfOtherLettersKept", kRename, "<DI|V>x</div>", "x", "<DIx|V>x</dixv>"},
        KeyCase{"EndNameEditsStartBefore", kRename, "<p class=a>x</p|>", "re",
                "<pre class=a>x</pre|>"},
        KeyCase{"NoPartnerNoChange", kRename, "<di|v>x", "a", "<dia|v>x"},
        KeyCase{"AttributeNameNotATagName", kRename, "<div cl|ass=a>x</div>", "x",
                "<div clx|ass=a>x</div>"},
        KeyCase{"SpaceEndsTheName", kRename, "<div|>x</div>", " ", "<div |>x</div>"},
        KeyCase{"UndoTakesBoth", kRename, "<di|v>x</div>", "a\x1a", "<div>x</div>"},
        KeyCase{"VoidHasNoPartner", kRename, "<b|r>", "x", "<bx|r>"}),
    NameFrom<&KeyCase::name>());

TEST_F(TagAidsWindow, ClosedTagTakesTheTypingColours) {
    setOption(kClose, true);
    load(QString());
    typeKeys(editor(), QStringLiteral("<p>x"));
    ASSERT_EQ(editor()->Text(), QStringLiteral("<p>x</p>"));
    const int tag = w->SyntaxColours()[0];
    for (int i : {0, 1, 2, 4, 5, 6, 7})
        EXPECT_EQ(editor()->formatAt(i).color, tag) << i;
    EXPECT_EQ(editor()->formatAt(3).color, 0); // typed after ">": black
}

TEST_F(TagAidsWindow, RenameOnATwentyMegabyteLine) {
    setOption(kRename, true);
    const QString filler(20 * 1024 * 1024, QLatin1Char('x'));
    editor()->SetText(QStringLiteral("<div>") + filler + QStringLiteral("</div>"));
    editor()->SetSelStart(4);
    // The user looks at the marked pair before typing.
    QCoreApplication::processEvents();
    ASSERT_TRUE(waitUntil([&] { return !matcher()->searching(); }));
    EXPECT_EQ(indicatorAt(assist::TagMatcher::kMatched, 5 + int(filler.size()) + 1), 1);
    typeKeys(editor(), QStringLiteral("\b\b\bspan"));
    const int n = editor()->TextLength();
    EXPECT_EQ(n, 5 + filler.size() + 6 + 2);
    EXPECT_EQ(editor()->textRange(0, 6), QStringLiteral("<span>"));
    EXPECT_EQ(editor()->textRange(n - 7, n), QStringLiteral("</span>"));
    EXPECT_EQ(editor()->SelStart(), 5);
    EXPECT_EQ(editor()->LineCount(), 1);
}

// ---- the matched pair ----------------------------------------------------------------------

struct MatchCase {
    const char* name;
    QString text;  // "|" the caret
    QString marks; // per character: "m" matched, "u" no partner, "." none
};
void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << c.name;
}

class MatchedPair : public TagAidsWindow, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(MatchedPair, IsMarkedAroundTheCaret) {
    // Another tag marked first: its marks go when the caret moves.
    load(QStringLiteral("<s|pan></span>") + GetParam().text);
    ASSERT_TRUE(waitUntil([&] { return indicatorAt(assist::TagMatcher::kMatched, 0) != 0; }));
    load(GetParam().text);
    const auto marks = [&] {
        QString letters;
        for (int i = 0; i < editor()->TextLength(); ++i)
            letters += indicatorAt(assist::TagMatcher::kMatched, i)     ? QLatin1Char('m')
                       : indicatorAt(assist::TagMatcher::kUnmatched, i) ? QLatin1Char('u')
                                                                        : QLatin1Char('.');
        return letters;
    };
    waitUntil([&] { return marks() == GetParam().marks; }, 3000);
    EXPECT_EQ(marks(), GetParam().marks);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, MatchedPair,
    ::testing::Values(MatchCase{"Pair", "<b|>x</b>", "mmm.mmmm"},
                      MatchCase{"FromEndTag", "<b>x</|b>", "mmm.mmmm"},
                      MatchCase{"Nested", "<i><|i>x</i></i>", "...mmm.mmmm...."},
                      MatchCase{"NoPartner", "<di|v>x", "uuuuu."},
                      MatchCase{"StrayEnd", "x</|b>", ".uuuu"},
                      MatchCase{"VoidAlone", "<b|r>x", "mmmm."},
                      MatchCase{"ItemLeftOpen", "<ul><l|i>a<li>b</ul>", "....mmmm..........."},
                      MatchCase{"CaretInText", "<b>x|y</b>", "........."}),
    NameFrom<&MatchCase::name>());

TEST_F(TagAidsWindow, AFarPartnerIsFoundInStepsWithoutHoldingTheKey) {
    QString page = QStringLiteral("<section>");
    const QString row = QStringLiteral("<p class=\"a\">text <b>bold</b></p>\r\n");
    while (page.size() < 8 * 1024 * 1024)
        page += row;
    const int end = int(page.size());
    page += QStringLiteral("</section>");
    editor()->SetText(page);
    editor()->SetSelStart(3);
    // The caret is placed and shown at once; the partner comes in the idle steps after.
    QCoreApplication::processEvents();
    EXPECT_TRUE(matcher()->searching());
    ASSERT_TRUE(waitUntil([&] { return !matcher()->searching(); }, 30000));
    EXPECT_EQ(indicatorAt(assist::TagMatcher::kMatched, 0), 1);
    EXPECT_EQ(indicatorAt(assist::TagMatcher::kMatched, end + 3), 1);
    EXPECT_EQ(indicatorAt(assist::TagMatcher::kMatched, 20), 0);
    // Moving off the tag clears the marks.
    editor()->SetSelStart(12);
    waitUntil([&] { return indicatorAt(assist::TagMatcher::kMatched, 0) == 0; }, 3000);
    EXPECT_EQ(indicatorAt(assist::TagMatcher::kMatched, 0), 0);
    EXPECT_EQ(indicatorAt(assist::TagMatcher::kMatched, end + 3), 0);
}

// ---- completion ----------------------------------------------------------------------------

struct CompleteCase {
    const char* name;
    QString before;
    QString keys;
    QString after;
};
void PrintTo(const CompleteCase& c, std::ostream* os) {
    *os << c.name;
}

class CompletionKeys : public TagAidsWindow, public ::testing::WithParamInterface<CompleteCase> {};

TEST_P(CompletionKeys, OpenNarrowAndTake) {
    load(GetParam().before);
    typeKeys(editor(), GetParam().keys);
    EXPECT_EQ(marked(), GetParam().after);
    EXPECT_FALSE(listActive());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CompletionKeys,
    ::testing::Values(CompleteCase{"ElementEnter", "<|",
                                   "\x01"
                                   "div\n",
                                   "<div|"},
                      CompleteCase{"ElementNarrowedThenTab", "<se|",
                                   "\x01"
                                   "c\t",
                                   "<section|"},
                      CompleteCase{"AttributeTab", "<a hr|", "\x01\t", "<a href|"},
                      CompleteCase{"ValueEnter", "<input type=\"chec|", "\x01\n",
                                   "<input type=\"checkbox|"},
                      CompleteCase{"ReferenceWithSemicolon", "a &am|",
                                   "\x01"
                                   "p\n",
                                   "a &amp;|"},
                      CompleteCase{"EscapeCancels", "<a |", "\x01\x1b", "<a |"},
                      CompleteCase{"NothingFitsInText", "<p>te|", "\x01", "<p>te|"}),
    NameFrom<&CompleteCase::name>());

TEST_F(TagAidsWindow, ListIsNarrowedAsTheUserTypes) {
    auto* completion = editor()->findChild<assist::TagCompletion*>();
    ASSERT_TRUE(completion);
    load(QStringLiteral("<|"));
    typeKeys(editor(), QStringLiteral("\x01"));
    ASSERT_TRUE(listActive());
    EXPECT_TRUE(completion->shown().contains(QStringLiteral("table")));
    typeKeys(editor(), QStringLiteral("ta"));
    ASSERT_TRUE(listActive());
    for (const QString& item : completion->shown())
        EXPECT_TRUE(item.startsWith(QStringLiteral("ta"))) << item.toStdString();
    EXPECT_TRUE(completion->shown().contains(QStringLiteral("table")));
    EXPECT_FALSE(completion->shown().contains(QStringLiteral("div")));
    typeKeys(editor(), QStringLiteral("\b\b"));
    EXPECT_TRUE(completion->shown().contains(QStringLiteral("div")));
    typeKeys(editor(), QStringLiteral("\x1b"));
    EXPECT_FALSE(listActive());
}

TEST_F(TagAidsWindow, CompleteWhileTypingOpensTheListByItself) {
    load(QString());
    typeKeys(editor(), QStringLiteral("<"));
    EXPECT_FALSE(listActive()); // off by default
    typeKeys(editor(), QStringLiteral("\b"));
    setOption("mnuAutoComplete", true);
    focusEditor();
    const std::pair<QString, bool> steps[] = {
        {QStringLiteral("<"), true}, {QStringLiteral("a"), true},
        {QStringLiteral(" "), true}, {QStringLiteral("href=\"x\">"), false},
        {QStringLiteral("&"), true}, {QStringLiteral("\x1b "), false},
    };
    for (const auto& [keys, open] : steps) {
        SCOPED_TRACE(keys.toStdString());
        typeKeys(editor(), keys);
        EXPECT_EQ(listActive(), open);
    }
}

} // namespace

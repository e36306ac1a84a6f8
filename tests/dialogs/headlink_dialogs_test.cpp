// SPDX-License-Identifier: GPL-3.0-or-later
// The title, meta, refresh, comment, stylesheet, favicon, link and image dialogs, driven
// through the main window's menus as a user drives them; and the ways out that every tool
// window shares with them.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "headlink_fixture.h"
#include "search/frmfind.h"
#include "search/frmgoto.h"
#include "validator/frmvalidator.h"

namespace {

// --- what each dialog shows ------------------------------------------------------------

struct Control {
    const char* name;
    const char* text; // caption of a frame, label, check box or button; text of a field
};

struct LookCase {
    const char* item;
    const char* dialog;
    const char* caption;
    bool centred;
    std::vector<Control> controls;
};

void PrintTo(const LookCase& c, std::ostream* os) {
    *os << c.dialog;
}

class DialogLook : public DialogTest, public ::testing::WithParamInterface<LookCase> {};

TEST_P(DialogLook, OpensWithItsDesignValuesAsAFixedToolWindow) {
    const LookCase& c = GetParam();
    QWidget* dlg = open(c.item);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->objectName(), QLatin1String(c.dialog));
    EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8(c.caption));
    EXPECT_FALSE(w->isEnabled());
    EXPECT_EQ(dlg->parentWidget(), nullptr);

    const Qt::WindowFlags flags = dlg->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());

    if (c.centred) {
        const QPoint offset = dlg->geometry().center() - dlg->screen()->geometry().center();
        EXPECT_LE(offset.manhattanLength(), 40) << offset.x() << "," << offset.y();
    }

    std::vector<Control> controls = c.controls;
    controls.push_back({"cmdInsert", "Insert"});
    controls.push_back({"cmdCancel", "Cancel"});
    for (const Control& ctl : controls) {
        QObject* o = dlg->findChild<QObject*>(QString::fromLatin1(ctl.name));
        const QString text = QString::fromUtf8(ctl.text);
        ASSERT_NE(o, nullptr) << ctl.name;
        if (auto* frame = qobject_cast<QGroupBox*>(o)) {
            EXPECT_EQ(frame->title(), text) << ctl.name;
        } else if (auto* label = qobject_cast<QLabel*>(o)) {
            EXPECT_EQ(label->text(), text) << ctl.name;
        } else if (auto* box = qobject_cast<QLineEdit*>(o)) {
            EXPECT_EQ(box->text(), text) << ctl.name;
        } else if (auto* combo = qobject_cast<QComboBox*>(o)) {
            EXPECT_TRUE(combo->isEditable()) << ctl.name;
            EXPECT_EQ(combo->count(), 0) << ctl.name;
            EXPECT_EQ(combo->currentText(), text) << ctl.name;
        } else if (auto* check = qobject_cast<QCheckBox*>(o)) {
            EXPECT_EQ(check->text(), text) << ctl.name;
            EXPECT_FALSE(check->isChecked()) << ctl.name;
        } else if (auto* button = qobject_cast<QPushButton*>(o)) {
            EXPECT_EQ(button->text(), text) << ctl.name;
        } else {
            ADD_FAILURE() << "unexpected kind of control " << ctl.name;
        }
    }
    click(dlg, "cmdCancel");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EightDialogs, DialogLook, ::testing::Values(
    LookCase{"mnuTitle", "frmTitle", "ADD TiTLE", true,
             {{"fraLine", "Page Title"}, {"txtTitle", ""}}},
    LookCase{"mnuMeta", "frmMeta", "ADD META TAGS", true,
             {{"fraAuthor", "Author"}, {"txtAuthor", ""}, {"fraKeywords", "Keywords"},
              {"txtKeywords", ""}, {"fraDescription", "Description"}, {"txtDescription", ""}}},
    LookCase{"mnuRefresh", "frmRefresh", "ADD META REFRESH", true,
             {{"fraDelay", "Delay"}, {"lblDelay", "Delay time in seconds:"}, {"txtDelay", ""},
              {"fraRefresh", "URL"}, {"txtUrl", "http://"}}},
    LookCase{"mnuComment", "frmComment", "ADD COMMENT", true,
             {{"fraComment", "Comment"}, {"txtComment", "Coded with VERRiNDEL!"}}},
    LookCase{"mnuExternal", "frmExternal", "ADD CSS", false,
             {{"fraExternal", "External URL"}, {"txtExternal", "http://"}}},
    LookCase{"mnuFavicon", "frmFavicon", "ADD FAViCON", false,
             {{"fraFavicon", "Favicon URL"}, {"txtFavicon", "http://"}}},
    LookCase{"mnuLink", "frmLink", "ADD LiNK", true,
             {{"fraLink", "Link"}, {"lblType", "Link Type:"}, {"cboType", "http://"},
              {"lblUrl", "Actual link:"}, {"txtUrl", ""}, {"lblTarget", "Target:"},
              {"cboTarget", "_Default"}, {"lblLink", "Description:"}, {"txtLink", ""}}},
    LookCase{"mnuImage", "frmImage", "ADD iMAGE", true,
             {{"fraImage", "Image"}, {"txtImage", ""}, {"cmdFile", "..."}, {"lblWidth", "Width:"},
              {"txtWidth", ""}, {"lblHeight", "Height:"}, {"txtHeight", ""}, {"fraLink", "Link"},
              {"chkLink", "Make into link"}, {"lblType", "Link Type:"}, {"cboType", "http://"},
              {"lblUrl", "Url:"}, {"txtUrl", ""}, {"lblTarget", "Target:"},
              {"cboTarget", "_Default"}, {"Label4", "Border:"}, {"txtBorder", "0"},
              {"fraPreview", "Preview"}}}), NameFrom<&LookCase::dialog>());
// clang-format on

// --- what Insert writes ----------------------------------------------------------------

struct InsertCase {
    const char* name;
    const char* item;
    std::vector<std::pair<const char*, const char*>> typed; // fields typed before Insert
    bool tickLink;                                          // the image's "Make into link"
    const char* document;
    int selStart;
    int selLength;
    const char* expected;
    bool staysLoaded; // hidden after Insert rather than unloaded
};

void PrintTo(const InsertCase& c, std::ostream* os) {
    *os << c.name;
}

class DialogInsert : public DialogTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(DialogInsert, WritesTheFragmentAndLeaves) {
    const InsertCase& c = GetParam();
    const QString expected = QString::fromUtf8(c.expected);
    setDocument(QString::fromUtf8(c.document), c.selStart, c.selLength);
    QWidget* dlg = open(c.item);
    ASSERT_NE(dlg, nullptr);
    for (const auto& [field, text] : c.typed)
        type(dlg, field, QString::fromUtf8(text));
    if (c.tickLink)
        QTest::mouseClick(dlg->findChild<QCheckBox*>(QStringLiteral("chkLink")), Qt::LeftButton, {},
                          QPoint(4, 4));
    const QString name = dlg->objectName();
    click(dlg, "cmdInsert");

    EXPECT_EQ(editor()->Text(), expected);
    EXPECT_EQ(editor()->SelLength(), 0);
    EXPECT_EQ(editor()->SelStart(), expected.size()); // every case writes at the end
    EXPECT_TRUE(d.messages().isEmpty());
    EXPECT_EQ(shownDialog(), nullptr);
    EXPECT_EQ(loadedDialog(name) != nullptr, c.staysLoaded);
    expectBackInEditor();
}

const QString kAbc = QStringLiteral("abc");

// clang-format off
INSTANTIATE_TEST_SUITE_P(Fragments, DialogInsert, ::testing::Values(
    InsertCase{"TitleAfterSelection", "mnuTitle", {{"txtTitle", "Home"}}, false, "abc", 0, 3,
               "abc<title>\r\nHome\r\n</title>", true},
    InsertCase{"MetaReplacesSelection", "mnuMeta", {{"txtAuthor", "Ann"}, {"txtDescription", "D"}},
               false, "abc", 0, 3,
               "<meta name='Author' content='Ann'>\r\n<meta name='Keywords' content=''>\r\n"
               "<meta name='Description' content='D'>\r\n", false},
    InsertCase{"RefreshWithEmptyDelay", "mnuRefresh", {}, false, "x", 1, 0,
               "x<meta http-equiv='refresh' content=''; url='http://'>", false},
    InsertCase{"CommentDefaultPassesCheck", "mnuComment", {}, false, "", 0, 0,
               "<!--Coded with VERRiNDEL!-->", true},
    InsertCase{"StylesheetDefaultPassesCheck", "mnuExternal", {}, false, "abc", 3, 0,
               "abc<link rel='stylesheet' href='http://'>", true},
    InsertCase{"FaviconWithSingleQuoteUnescaped", "mnuFavicon", {{"txtFavicon", "it's.ico"}},
               false, "abc", 1, 2, "abc<link rel='icon' type='image/x-icon' href='it's.ico'>", true},
    InsertCase{"LinkWithEmptiedTypeAfterSelection", "mnuLink",
               {{"cboType", ""}, {"txtUrl", "page.html"}, {"cboTarget", "_top"}, {"txtLink", "Home"}},
               false, "abc", 0, 3, "abc<a href='page.html' target='_top'>Home</a>", false},
    InsertCase{"ImageReplacesSelection", "mnuImage",
               {{"txtImage", "pic.gif"}, {"txtWidth", "10"}, {"txtHeight", "20"}}, false, "abc", 0, 3,
               "<img src='pic.gif' border='0' width='10' height='20'>", false},
    InsertCase{"ImageWrappedInLink", "mnuImage",
               {{"txtImage", "pic.gif"}, {"txtWidth", "10"}, {"txtHeight", "20"}, {"cboType", ""},
                {"txtUrl", "big.html"}}, true, "abc", 0, 3,
               "<a href='big.html' target='_Default'><img src='pic.gif' border='0' width='10' "
               "height='20'></a>", false}), NameFrom<&InsertCase::name>());
// clang-format on

// --- the empty-field check ----------------------------------------------------------------

struct CheckCase {
    const char* item;
    const char* field;
    QString message;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.item;
}

class DialogCheck : public DialogTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(DialogCheck, EmptyFieldIsReportedAndNothingHappens) {
    const CheckCase& c = GetParam();
    setDocument(kAbc, 0, 3);
    QWidget* dlg = open(c.item);
    ASSERT_NE(dlg, nullptr);
    type(dlg, c.field, QString());
    click(dlg, "cmdInsert");

    ASSERT_EQ(d.messages(), QStringList{c.message});
    EXPECT_EQ(d.lastMessage()->title, QStringLiteral("Format"));
    EXPECT_EQ(d.lastMessage()->buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::None);
    EXPECT_EQ(editor()->Text(), kAbc);
    EXPECT_EQ(editor()->SelLength(), 3);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(w->isEnabled());

    // A field of blanks is not empty: it passes the check.
    type(dlg, c.field, QStringLiteral("  "));
    click(dlg, "cmdInsert");
    EXPECT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(editor()->Text().startsWith(kAbc + QLatin1Char('<')));
    EXPECT_TRUE(editor()->Text().contains(QStringLiteral("  ")));
    expectBackInEditor();
}

INSTANTIATE_TEST_SUITE_P(
    FourChecks, DialogCheck,
    ::testing::Values(
        CheckCase{"mnuTitle", "txtTitle", QStringLiteral("No title to insert!")},
        CheckCase{"mnuComment", "txtComment", QStringLiteral("No comment to insert!")},
        CheckCase{"mnuExternal", "txtExternal", QStringLiteral("No css to insert!")},
        CheckCase{"mnuFavicon", "txtFavicon", QStringLiteral("No favicon to insert!")}),
    NameFrom<&CheckCase::item>());

// --- life cycle ----------------------------------------------------------------------------

// Each way of leaving a dialog without inserting: Cancel, the window's close control and
// the Escape key.
enum class WayOut { Cancel, CloseControl, Escape };

const char* nameOf(WayOut way) {
    return way == WayOut::Cancel         ? "Cancel"
           : way == WayOut::CloseControl ? "CloseControl"
                                         : "Escape";
}
void PrintTo(WayOut way, std::ostream* os) {
    *os << nameOf(way);
}

void leave(QWidget* dlg, WayOut way) {
    switch (way) {
    case WayOut::Cancel:
        QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("cmdCancel")),
                          Qt::LeftButton);
        break;
    case WayOut::CloseControl:
        dlg->close(); // what the window manager's close button asks for
        break;
    case WayOut::Escape:
        QTest::keyClick(dlg, Qt::Key_Escape);
        break;
    }
}

class HidingDialog : public DialogTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(HidingDialog, KeepsValuesAfterInsertAndDropsThemOnLeaving) {
    QWidget* dlg = open("mnuTitle");
    ASSERT_NE(dlg, nullptr);
    type(dlg, "txtTitle", QStringLiteral("Home"));
    click(dlg, "cmdInsert");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(SnippetDialog::instance<frmTitle>(), dlg);
    expectBackInEditor();

    // Opened again: the same window with the title typed last.
    QWidget* again = open("mnuTitle");
    ASSERT_EQ(again, dlg);
    EXPECT_EQ(textOf(again, "txtTitle"), QStringLiteral("Home"));
    EXPECT_FALSE(w->isEnabled());

    type(again, "txtTitle", QStringLiteral("Other"));
    leave(again, GetParam());
    EXPECT_EQ(SnippetDialog::instance<frmTitle>(), nullptr);
    EXPECT_EQ(shownDialog(), nullptr);
    expectBackInEditor();
    EXPECT_EQ(editor()->Text(), QStringLiteral("<title>\r\nHome\r\n</title>"));

    QWidget* fresh = open("mnuTitle");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(textOf(fresh, "txtTitle"), QString());
    leave(fresh, WayOut::Cancel);
}

class ClosingDialog : public DialogTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(ClosingDialog, StartsFromDefaultsEveryTime) {
    QWidget* dlg = open("mnuRefresh");
    ASSERT_NE(dlg, nullptr);
    type(dlg, "txtDelay", QStringLiteral("5"));
    type(dlg, "txtUrl", QStringLiteral("http://a/"));
    click(dlg, "cmdInsert");
    EXPECT_EQ(SnippetDialog::instance<frmRefresh>(), nullptr);
    const QString inserted =
        QStringLiteral("<meta http-equiv='refresh' content='5'; url='http://a/'>");
    EXPECT_EQ(editor()->Text(), inserted);
    expectBackInEditor();

    QWidget* again = open("mnuRefresh");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(textOf(again, "txtDelay"), QString());
    EXPECT_EQ(textOf(again, "txtUrl"), QStringLiteral("http://"));
    type(again, "txtDelay", QStringLiteral("9"));
    leave(again, GetParam());
    EXPECT_EQ(SnippetDialog::instance<frmRefresh>(), nullptr);
    expectBackInEditor();
    EXPECT_EQ(editor()->Text(), inserted); // nothing more was inserted

    QWidget* fresh = open("mnuRefresh");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(textOf(fresh, "txtDelay"), QString());
    leave(fresh, WayOut::Cancel);
}

const auto kWaysOut = ::testing::Values(WayOut::Cancel, WayOut::CloseControl, WayOut::Escape);
const auto kWayName = [](const auto& info) { return std::string(nameOf(info.param)); };
INSTANTIATE_TEST_SUITE_P(WaysOut, HidingDialog, kWaysOut, kWayName);
INSTANTIATE_TEST_SUITE_P(WaysOut, ClosingDialog, kWaysOut, kWayName);

TEST_F(DialogTest, HiddenDialogGoesWithItsMainWindow) {
    {
        auto other = std::make_unique<frmMain>();
        other->show();
        menuItem(*other, "mnuComment")->trigger();
        QWidget* dlg = SnippetDialog::instance<frmComment>();
        ASSERT_NE(dlg, nullptr);
        click(dlg, "cmdInsert");
        ASSERT_EQ(SnippetDialog::instance<frmComment>(), dlg); // hidden, still loaded
        other.reset();
        EXPECT_EQ(SnippetDialog::instance<frmComment>(), nullptr);
    }
    // This window's own comment dialog starts from its defaults and writes into it.
    QWidget* dlg = open("mnuComment");
    ASSERT_NE(dlg, nullptr);
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(), QStringLiteral("<!--Coded with VERRiNDEL!-->"));
    EXPECT_TRUE(w->isEnabled());
}

// Every kind of tool window (find, go-to, validator, snippet) gives the main window back by
// every way out that is not one of its buttons: the close control, Escape where the window
// takes it, its own destruction while shown; and it goes with the main window it serves.
struct ToolCase {
    const char* item;
    const char* window;
    ToolWindow* (*loaded)();
    bool escapeUnloads;
};

void PrintTo(const ToolCase& c, std::ostream* os) {
    *os << c.window;
}

class EveryToolWindow : public DialogTest, public ::testing::WithParamInterface<ToolCase> {
protected:
    ToolWindow* openOn(frmMain& main) {
        menuItem(main, GetParam().item)->trigger();
        ToolWindow* t = GetParam().loaded();
        EXPECT_NE(t, nullptr);
        EXPECT_TRUE(t && t->isVisible());
        EXPECT_FALSE(main.isEnabled());
        return t;
    }
    static void discardUnloaded() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_P(EveryToolWindow, GivesTheMainWindowBackByEveryWayOut) {
    const ToolCase& c = GetParam();

    ToolWindow* t = openOn(*w);
    ASSERT_NE(t, nullptr);
    t->close(); // what the window manager's close button asks for
    EXPECT_TRUE(w->isEnabled()) << "close control";
    EXPECT_EQ(c.loaded(), nullptr) << "close control";
    discardUnloaded();

    t = openOn(*w);
    ASSERT_NE(t, nullptr);
    QTest::keyClick(t, Qt::Key_Escape);
    EXPECT_EQ(w->isEnabled(), c.escapeUnloads) << "Escape";
    EXPECT_EQ(c.loaded() == nullptr, c.escapeUnloads) << "Escape";
    if (ToolWindow* still = c.loaded())
        still->unload();
    discardUnloaded();

    t = openOn(*w);
    ASSERT_NE(t, nullptr);
    delete t;
    EXPECT_TRUE(w->isEnabled()) << "destroyed while shown";
    EXPECT_EQ(c.loaded(), nullptr) << "destroyed while shown";

    {
        auto other = std::make_unique<frmMain>();
        other->show();
        QPointer<ToolWindow> served = openOn(*other);
        ASSERT_FALSE(served.isNull());
        other.reset();
        EXPECT_TRUE(served.isNull()) << "gone with its main window";
        EXPECT_EQ(c.loaded(), nullptr);
    }

    // This main window's own window starts afresh and still holds it while shown.
    t = openOn(*w);
    ASSERT_NE(t, nullptr);
    t->unload();
    EXPECT_TRUE(w->isEnabled()) << "unload";
    discardUnloaded();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(FourKinds, EveryToolWindow, ::testing::Values(
    ToolCase{"mnuFind", "frmFind", [] () -> ToolWindow* { return frmFind::instance(); }, false},
    ToolCase{"mnuGoto", "frmGoto", [] () -> ToolWindow* { return frmGoto::instance(); }, false},
    ToolCase{"mnuValidate", "frmValidator",
             [] () -> ToolWindow* { return frmValidator::instance(); }, false},
    ToolCase{"mnuLink", "frmLink",
             [] () -> ToolWindow* { return SnippetDialog::instance<frmLink>(); }, true}),
    NameFrom<&ToolCase::window>());
// clang-format on

TEST_F(DialogTest, FieldsComeBeforeTheButtonsInTabOrder) {
    QWidget* dlg = open("mnuLink");
    ASSERT_NE(dlg, nullptr);
    QStringList order;
    QWidget* start = dlg->findChild<QWidget*>(QStringLiteral("cboType"));
    QWidget* cur = start;
    do {
        if (cur->focusPolicy() & Qt::TabFocus)
            order << cur->objectName();
        cur = cur->nextInFocusChain();
    } while (cur != start && order.size() < 20);
    order.removeAll(QString()); // inner parts of compound controls
    EXPECT_EQ(order,
              (QStringList{"cboType", "txtUrl", "cboTarget", "txtLink", "cmdInsert", "cmdCancel"}));
    leave(dlg, WayOut::Cancel);
}

} // namespace

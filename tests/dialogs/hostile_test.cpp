// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile field values in every dialog that takes text: a megabyte of text, control
// characters, quotes and backslashes, characters outside the basic plane. A field that is
// put into the markup gives exactly what the user pasted; a field read as a number refuses
// the value with the dialog's own message; nothing crashes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <optional>

#include "app/frmmain.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

struct Hostile {
    const char* name;
    QString value;
};

QString megabyte() {
    const QString piece = QStringLiteral("Lorem <b>ipsum</b> & dolor 'sit' \"amet\" ");
    QString s;
    s.reserve(1 << 20);
    while (s.size() < (1 << 20))
        s += piece;
    s.truncate(1 << 20);
    return s;
}

const std::vector<Hostile>& hostileValues() {
    static const std::vector<Hostile> values = {
        {"one megabyte", megabyte()},
        {"control characters", QStringLiteral("a") + QChar(0) + QStringLiteral("b\rc\nd\r\ne\tf") +
                                   QChar(0x1b) + QStringLiteral("[31mg") + QChar(0)},
        {"quotes and backslashes", QStringLiteral("' \" \\ \\' \\\\\" ' OR '1'='1 \\n")},
        {"outside the basic plane",
         QString::fromUtf8("\xF0\x9F\x98\x80 \xF0\x9D\x84\x9E \xF0\xA0\x9C\x8E "
                           "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA \xC3\xA9")},
    };
    return values;
}

// What a dialog should do with value V in its fields.
struct DialogCase {
    const char* name;                 // the dialog's window (objectName)
    const char* menu;                 // the menu item that opens it
    std::vector<const char*> fields;  // fields that receive V
    const char* button = "cmdInsert"; // pressed after filling the fields
    int presses = 1;
    std::function<QString(const QString&)> document; // the editor text before (default empty)
    std::function<void(QWidget*, ScriptedDialogs&, const QString&)> prepare; // more user steps
    // The editor text after the button; absent when the value must be refused.
    std::function<QString(const QString&)> result;
    // For a refusal: the message title and the start of its text.
    QString refusalTitle;
    QString refusalStart;
    bool selectsValue = false; // the value ends up selected (a search)
};

DialogCase make(const char* name, const char* menu, std::vector<const char*> fields,
                const char* button = "cmdInsert", int presses = 1) {
    DialogCase d;
    d.name = name;
    d.menu = menu;
    d.fields = std::move(fields);
    d.button = button;
    d.presses = presses;
    return d;
}

void click(QWidget* dlg, const char* button) {
    auto* b = dlg->findChild<QAbstractButton*>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    const bool indicator = b->inherits("QCheckBox") || b->inherits("QRadioButton");
    const QPoint at =
        indicator ? QPoint(qMin(8, b->width() / 2), b->height() / 2) : b->rect().center();
    QTest::mouseClick(b, Qt::LeftButton, {}, at);
}

// Pastes `value` into a text box (or an editable combo box): select all, then insert.
void paste(QWidget* dlg, const char* field, const QString& value) {
    QWidget* w = dlg->findChild<QWidget*>(QString::fromLatin1(field));
    ASSERT_NE(w, nullptr) << field;
    QLineEdit* edit = qobject_cast<QLineEdit*>(w);
    if (auto* combo = qobject_cast<QComboBox*>(w))
        edit = combo->lineEdit();
    ASSERT_NE(edit, nullptr) << field;
    // The text box's own insertion, the one its paste goes through, without the system
    // clipboard (which tests running side by side on one display would share).
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    edit->insert(value);
    EXPECT_EQ(edit->text(), value) << field << ": the field does not hold what was pasted";
}

QString attrs4(const char* a, const char* b, const char* c, const char* d, const QString& v) {
    return QString::fromLatin1(a) + v + QString::fromLatin1(b) + v + QString::fromLatin1(c) + v +
           QString::fromLatin1(d) + v;
}

const std::vector<DialogCase>& dialogCases() {
    static const std::vector<DialogCase> cases = [] {
        std::vector<DialogCase> c;
        auto add = [&c](DialogCase d) { c.push_back(std::move(d)); };
        DialogCase d;

        d = make("frmTitle", "mnuTitle", {"txtTitle"});
        d.result = [](const QString& v) { return "<title>" + kCrLf + v + kCrLf + "</title>"; };
        add(d);

        d = make("frmMeta", "mnuMeta", {"txtAuthor", "txtKeywords", "txtDescription"});
        d.result = [](const QString& v) {
            return "<meta name='Author' content='" + v + "'>" + kCrLf +
                   "<meta name='Keywords' content='" + v + "'>" + kCrLf +
                   "<meta name='Description' content='" + v + "'>" + kCrLf;
        };
        add(d);

        d = make("frmRefresh", "mnuRefresh", {"txtDelay", "txtUrl"});
        d.result = [](const QString& v) {
            return "<meta http-equiv='refresh' content='" + v + "'; url='" + v + "'>";
        };
        add(d);

        d = make("frmComment", "mnuComment", {"txtComment"});
        d.result = [](const QString& v) { return "<!--" + v + "-->"; };
        add(d);

        d = make("frmExternal", "mnuExternal", {"txtExternal"});
        d.result = [](const QString& v) { return "<link rel='stylesheet' href='" + v + "'>"; };
        add(d);

        d = make("frmFavicon", "mnuFavicon", {"txtFavicon"});
        d.result = [](const QString& v) {
            return "<link rel='icon' type='image/x-icon' href='" + v + "'>";
        };
        add(d);

        d = make("frmLink", "mnuLink", {"cboType", "txtUrl", "cboTarget", "txtLink"});
        d.result = [](const QString& v) {
            return "<a href='" + v + v + "' target='" + v + "'>" + v + "</a>";
        };
        add(d);

        d = make(
            "frmImage", "mnuImage",
            {"txtImage", "txtBorder", "txtWidth", "txtHeight", "cboType", "txtUrl", "cboTarget"});
        d.prepare = [](QWidget* dlg, ScriptedDialogs&, const QString&) { click(dlg, "chkLink"); };
        d.result = [](const QString& v) {
            return "<a href='" + v + v + "' target='" + v + "'>" +
                   attrs4("<img src='", "' border='", "' width='", "' height='", v) + "'></a>";
        };
        add(d);

        d = make("frmTable", "mnuTable", {"cboAlignment", "txtBorder", "txtPadding", "txtSpacing"});
        d.result = [](const QString& v) {
            return attrs4("<table Align='", "' Border='", "' cellpadding='", "' cellspacing='", v) +
                   "'>" + kCrLf + "<tr>" + kCrLf + "<td>&nbsp;</td>" + kCrLf + "</tr>" + kCrLf +
                   "</table>" + kCrLf;
        };
        add(d);

        d = make("frmTable", "mnuTable", {"txtRows"});
        d.refusalTitle = QStringLiteral("Format");
        d.refusalStart = QStringLiteral("Rows: ");
        add(d);

        d = make("frmTable", "mnuTable", {"txtColumns"});
        d.refusalTitle = QStringLiteral("Format");
        d.refusalStart = QStringLiteral("Columns: ");
        add(d);

        d = make("frmList", "mnuList", {"txtItems"});
        d.refusalTitle = QStringLiteral("Format");
        d.refusalStart = QStringLiteral("Number of items: ");
        add(d);

        // The colours dialog has no text box: its one free text is the background image's
        // path, as the open-file dialog returns it.
        d = make("frmColors", "mnuColors", {});
        d.prepare = [](QWidget* dlg, ScriptedDialogs& sd, const QString& v) {
            click(dlg, "chkBackground");
            sd.chooseFile(v);
            click(dlg, "cmdBrowse");
            for (const char* b :
                 {"cmdNormalSelect", "cmdLinkSelect", "cmdActiveSelect", "cmdVisitedSelect"}) {
                sd.chooseColorValue(0xFF0000);
                click(dlg, b);
            }
        };
        d.result = [](const QString& v) {
            return "<body background='" + v +
                   "' text='#0000FF' link='#0000FF' alink='#0000FF' vlink='#0000FF'>";
        };
        add(d);

        d = make("frmMarquee", "mnuMarquee", {"txtText", "txtDelay", "txtAmount"});
        d.prepare = [](QWidget* dlg, ScriptedDialogs& sd, const QString&) {
            sd.chooseColorValue(255);
            click(dlg, "cmdBackgroundColor");
        };
        d.result = [](const QString& v) {
            return "<marquee align='Left' behavior='Scoll' bgcolor='#FF0000' direction='Left' "
                   "scrollamount='" +
                   v + "' scrolldelay='" + v + "'>" + v + "</marquee>";
        };
        add(d);

        d = make("frmIframe", "mnuIframe", {"txtUrl", "txtTitle", "txtWidth", "txtHeight"});
        d.result = [](const QString& v) {
            return attrs4("<iframe src='", "' height='", "' width='", "' title='", v) + "'>";
        };
        add(d);

        // Find Next selects the value where it stands in the document.
        d = make("frmFind", "mnuFind", {"txtFind"}, "cmdFindnext");
        d.document = [](const QString& v) { return "<p>" + v + "</p>" + kCrLf; };
        d.result = d.document;
        d.selectsValue = true;
        add(d);

        // Replace: the first press finds "x", the second puts the value in its place.
        d = make("frmFind", "mnuReplace", {"txtReplace"}, "cmdReplace", 2);
        d.document = [](const QString&) { return QStringLiteral("[x]"); };
        d.prepare = [](QWidget* dlg, ScriptedDialogs&, const QString&) {
            auto* find = dlg->findChild<QLineEdit*>(QStringLiteral("txtFind"));
            find->setFocus();
            QTest::keyClicks(find, QStringLiteral("x"));
        };
        d.result = [](const QString& v) { return "[" + v + "]"; };
        add(d);

        d = make("frmGoto", "mnuGoto", {"txtLine"}, "cmdGoto");
        d.document = [](const QString&) { return QStringLiteral("one") + kCrLf + "two"; };
        d.refusalTitle = QStringLiteral("Goto Line");
        d.refusalStart = QStringLiteral("Invalid line number.");
        add(d);
        return c;
    }();
    return cases;
}

QWidget* shownWindow(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            return w;
    return nullptr;
}

class HostileFields : public MainWindowTest, public ::testing::WithParamInterface<size_t> {
protected:
    void TearDown() override {
        closeDialogs();
        w.reset();
    }
    // Closes every dialog through its window's close control, which unloads it.
    static void closeDialogs() {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName().startsWith(QLatin1String("frm")) &&
                t->objectName() != QLatin1String("frmMain") && t->isVisible())
                t->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_P(HostileFields, AreInsertedVerbatimOrRefused) {
    const DialogCase& c = dialogCases().at(GetParam());
    TxtCode* ed = w->txtCode();
    for (const Hostile& h : hostileValues()) {
        SCOPED_TRACE(h.name);
        const QString& v = h.value;
        const QString before = c.document ? c.document(v) : QString();
        ed->SetText(before);
        ed->SetSelStart(0);
        d.clear();

        menuItem(*w, c.menu)->trigger();
        QWidget* dlg = shownWindow(c.name);
        ASSERT_NE(dlg, nullptr) << c.menu;
        for (const char* f : c.fields)
            paste(dlg, f, v);
        if (c.prepare)
            c.prepare(dlg, d, v);
        for (int i = 0; i < c.presses; ++i)
            click(dlg, c.button);

        if (c.result) {
            EXPECT_EQ(ed->Text(), c.result(v));
            if (c.selectsValue) {
                EXPECT_EQ(ed->SelText(), v);
                EXPECT_EQ(ed->SelStart(), 3);
            }
            // Only the search's own "Cannot find" may be said (the replace that reaches
            // the end of the document).
            for (const QString& m : d.messages())
                EXPECT_TRUE(m.startsWith(QLatin1String("Cannot find '")))
                    << m.left(100).toStdString();
        } else {
            ASSERT_EQ(d.messages().size(), 1);
            const auto* m = d.lastMessage();
            EXPECT_EQ(m->title, c.refusalTitle);
            EXPECT_TRUE(m->text.startsWith(c.refusalStart)) << m->text.left(100).toStdString();
            // A message box is read, not scrolled: the value is not quoted at length.
            EXPECT_LT(m->text.size(), 400);
            EXPECT_EQ(ed->Text(), before);
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_FALSE(w->isEnabled());
        }
        closeDialogs();
        EXPECT_TRUE(w->isEnabled());
        EXPECT_EQ(d.unscripted, 0);
    }
}

std::string caseName(const ::testing::TestParamInfo<size_t>& info) {
    const DialogCase& c = dialogCases().at(info.param);
    std::string s = c.name;
    s += '_';
    s += c.fields.empty() ? "BackgroundPath" : c.fields.front();
    return s;
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, HostileFields,
                         ::testing::Range(size_t(0), dialogCases().size()), caseName);

} // namespace

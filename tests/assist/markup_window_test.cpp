// SPDX-License-Identifier: GPL-3.0-or-later
// The markup commands as a user drives them in the main window: the tag menus, File >
// Syntax, the typing colours typed key by key, Tab, Ctrl+V, the popup menu and the counts.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include "app/frmmain.h"
#include "assist/highlighter.h"
#include "assist/syntaxranges.h"
#include "assist/tagfragments.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

constexpr int kBlue = 16711680, kRed = 255, kViolet = 16711808, kGreen = 32768;

class MarkupWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        w->activateWindow();
        ed = w->txtCode();
        ed->setFocus();
        waitUntil([&] { return ed->hasFocus(); }, 3000);
    }

    QAction* item(const char* name) { return menuItem(*w, name); }

    // The colours of the text, one letter a character: B blue, R red, V violet, G green,
    // "." black, "?" anything else.
    QString colours() const {
        const int n = ed->TextLength();
        QString letters;
        for (int i = 0; i < n; ++i) {
            const int c = ed->formatAt(i).color;
            letters += c == kBlue     ? QLatin1Char('B')
                       : c == kRed    ? QLatin1Char('R')
                       : c == kViolet ? QLatin1Char('V')
                       : c == kGreen  ? QLatin1Char('G')
                       : c == 0       ? QLatin1Char('.')
                                      : QLatin1Char('?');
        }
        return letters;
    }

    // Types text as a US keyboard sends it: the characters that need Shift come with it,
    // so releasing ">" is a release of Shift and ">".
    void type(const QString& text) {
        static const QString shifted = QStringLiteral("<>\"!_:?{}|~@#$%^&*()+");
        for (QChar c : text) {
            const bool shift = c.isUpper() || shifted.contains(c);
            const auto key = Qt::Key(c.toUpper().unicode());
            QTest::sendKeyEvent(QTest::Press, ed, key, QString(c),
                                shift ? Qt::ShiftModifier : Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, ed, key, QString(c),
                                shift ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }

    TxtCode* ed = nullptr;
};

// ---- tag commands --------------------------------------------------------------------

// The table of tag commands gives the menus their items: each under its caption, in its
// menu, in menu order (a caption differs from the markup it writes).
TEST_F(MarkupWindow, FixedItemsStandInTheirMenusUnderTheirCaptions) {
    const struct {
        const char* item;
        const char* menu;
        const char* caption;
        const char* before; // the item above it, or nullptr for the first
    } rows[] = {
        {"mnuDoctype", "mnuTags", "<Doctype>", "mnuComment"},
        {"mnuHtml", "mnuTags", "<Html>", "mnuDoctype"},
        {"mnuHead", "mnuTags", "<Head>", "mnuHtml"},
        {"mnuCharset", "mnuHeadMain", "Charset", "mnuFavicon"},
        {"mnuViewport", "mnuHeadMain", "Viewport", "mnuMeta"},
        {"mnuInternal", "mnuCss", "Internal", "mnuExternal"},
        {"mnuJavaScript", "mnuHeadMain", "JavaScript", "mnuCssAction"},
        {"mnuBody", "mnuTags", "<Body>", "mnuHeadMainAction"},
        {"mnuArticle", "mnuSemantics", "<article>", nullptr},
        {"mnuH6", "mnuHeadings", "<h6>", "mnuH5"},
        {"mnuImportant", "mnuFormatting", "<strong>", "mnuBold"},
        {"mnuMarked", "mnuFormatting", "<mark>", "mnuEmphasized"},
        {"mnuQ", "mnuQuotations", "<q>", "mnuCite"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.item);
        QAction* a = item(row.item);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), QString::fromLatin1(row.caption));
        const auto* menu = w->findChild<QMenu*>(QString::fromLatin1(row.menu));
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> items = menu->actions();
        const qsizetype at = items.indexOf(a);
        ASSERT_GE(at, 0);
        if (row.before)
            EXPECT_EQ(items.value(at - 1) ? items[at - 1]->objectName() : QString(),
                      QString::fromLatin1(row.before));
        else
            EXPECT_EQ(at, 0);
    }
}

TEST_F(MarkupWindow, EveryFixedItemWritesItsFragmentAfterTheSelection) {
    for (const assist::TagCommand& command : assist::fixedTagCommands()) {
        SCOPED_TRACE(command.name);
        const QString fragment = assist::tagFragment(command);
        const int n = int(fragment.size());

        // Empty document, nothing selected: the fragment alone, caret at its end.
        ed->SetText(QString());
        item(command.name)->trigger();
        EXPECT_EQ(ed->Text(), fragment);
        EXPECT_EQ(ed->SelStart(), n);
        EXPECT_EQ(ed->SelLength(), 0);

        // Caret in the middle of a line: inserted there, no break added.
        ed->SetText(QStringLiteral("abcdef"));
        ed->SetSelStart(3);
        item(command.name)->trigger();
        EXPECT_EQ(ed->Text(), QStringLiteral("abc") + fragment + QStringLiteral("def"));
        EXPECT_EQ(ed->SelStart(), 3 + n);
        EXPECT_EQ(ed->SelLength(), 0);

        // A selection stays in place and the fragment follows it; nothing is coloured.
        ed->SetText(QStringLiteral("Hello world"));
        ed->SetSelStart(0);
        ed->SetSelLength(5);
        item(command.name)->trigger();
        EXPECT_EQ(ed->Text(), QStringLiteral("Hello") + fragment + QStringLiteral(" world"));
        EXPECT_EQ(ed->SelStart(), 5 + n);
        EXPECT_EQ(ed->SelLength(), 0);
        EXPECT_EQ(colours(), QString(ed->TextLength(), QLatin1Char('.')));
        EXPECT_TRUE(ed->hasFocus());
    }
    EXPECT_EQ(d.calls.size(), 0);
}

TEST_F(MarkupWindow, HeadKeepsItsLoneCarriageReturn) {
    item("mnuHead")->trigger();
    EXPECT_EQ(ed->Text(), QStringLiteral("<head>\r\r\n</head>"));
    EXPECT_EQ(ed->TextLength(), 16);
    item("mnuJavaScript")->trigger();
    EXPECT_EQ(ed->TextLength(), 16 + 54);
    EXPECT_EQ(ed->SelStart(), 70);
}

// ---- syntax highlighter ----------------------------------------------------------------

struct HighlightRow {
    QString text;
    QString colours;
};

TEST_F(MarkupWindow, HighlightSyntaxColoursTheEdgeCasesCharacterByCharacter) {
    const HighlightRow rows[] = {
        {"<p>hello</p>", "BBB.....BBBB"},
        {"<a href=\"x\">", "BBBRRRRRVVVB"},
        {"<td width = 10>", "BBBBRRRRRRRVVVB"},
        {"<meta charset='utf-8'>", "BBBBBBBBBBBBBBBBBBBBBB"},
        {"<br>", "BBBB"},
        {"<!-- note -->", "GGGGGGGGGGGGG"},
        {"<!DOCTYPE html>", "GGGGGGGGGGGGGGG"},
        {"<!-- a > b -->", "GGGGGGGG......"},
        {"a < b and c > d", "..BBBBBBBBBBB.."},
        {"<p>\r\n<a href=\"x\">\u00e9</a>\r\n", "BBB..BBBRRRRRVVVB.BBBB.."},
    };
    for (const HighlightRow& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        ed->SetText(row.text);
        item("mnuHighlight")->trigger();
        EXPECT_EQ(colours(), row.colours);
        EXPECT_EQ(ed->SelStart(), 1);
        EXPECT_EQ(ed->SelLength(), 0);
        // Running it again changes nothing.
        item("mnuHighlight")->trigger();
        EXPECT_EQ(colours(), row.colours);
        EXPECT_EQ(ed->Text(), row.text);
    }
    EXPECT_EQ(d.calls.size(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MarkupWindow, HighlightKeepsColoursOutsideTagsAndUnHighlightDropsAll) {
    // A green word and a highlighted one, as rich text brings them.
    CharFormat green, lit;
    green.color = kGreen;
    lit.highlight = 0x00FFFF;
    ed->setRichDocument({QStringLiteral("word <b>bold</b> more"), {{0, 4, green}, {17, 4, lit}}});
    item("mnuHighlight")->trigger();
    EXPECT_EQ(colours(), QStringLiteral("GGGG.BBB....BBBB....."));
    EXPECT_EQ(ed->formatAt(18).highlight, 0x00FFFF);

    item("mnuUnHighlight")->trigger();
    EXPECT_EQ(ed->Text(), QStringLiteral("word <b>bold</b> more"));
    EXPECT_EQ(colours(), QString(21, QLatin1Char('.')));
    EXPECT_EQ(ed->formatAt(18).highlight, -1);
    EXPECT_EQ(d.calls.size(), 0);
}

TEST_F(MarkupWindow, UnHighlightKeepsTextThatLooksLikeRichText) {
    const QString text = QStringLiteral("{\\rtf1 not really}\r\n<p>x</p>");
    ed->SetText(text);
    item("mnuHighlight")->trigger();
    item("mnuUnHighlight")->trigger();
    EXPECT_EQ(ed->Text(), text);
    EXPECT_EQ(colours(), QString(text.size(), QLatin1Char('.')));
}

TEST_F(MarkupWindow, HighlightOfAnEmptyDocumentSaysNoTextSelectedUnderTheHourglass) {
    Qt::CursorShape during = Qt::ArrowCursor;
    d.onMessage = [&](const ScriptedDialogs::Call&) {
        if (const QCursor* c = QApplication::overrideCursor())
            during = c->shape();
    };
    item("mnuHighlight")->trigger();
    ASSERT_EQ(d.messages(), QStringList{QStringLiteral("No text selected")});
    EXPECT_EQ(d.lastMessage()->title, QStringLiteral("VERRiNDEL"));
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::None);
    EXPECT_EQ(d.lastMessage()->buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(during, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ed->SelStart(), 0);
}

// The batch result equals selecting and colouring every step in turn, also for a
// selection that does not start at 0 and over text that carries colours already.
TEST_F(MarkupWindow, BatchColoursEqualStepByStepColouring) {
    const QString page =
        QStringLiteral("<!DOCTYPE html>\r\n<html lang='en'>\r\n<body bgcolor=\"#fff\" x = 3>\r\n"
                       "<p class=\"a\" id=\"b\">caf\u00e9 \U0001F600 a < b</p><!-- c > d -->\r\n"
                       "<img src=\"x.png\" width=20 height=30px alt=\"\u00fcber\">\r\n</body>") +
        // Long stretches between tags, with characters of every UTF-8 length.
        QString(5000, QChar(u'\u00e9')) + QStringLiteral("<i a=\"1\">") +
        QStringLiteral("\u20ac\U0001F600").repeated(3000) + QStringLiteral("<b>x</b>");
    const SyntaxColourTable& table = w->SyntaxColours();
    for (const int from : {0, 7, 40}) {
        SCOPED_TRACE(from);
        TxtCode reference;
        reference.SetText(page);
        reference.SetSelStart(2);
        reference.SetSelLength(60);
        reference.SetSelColor(0x123456);
        reference.SetSelStart(from);
        reference.SetSelLength(page.size() - from);
        const QString selected = reference.SelText();
        for (const assist::ColourStep& s : assist::colorhtmlSteps(selected)) {
            reference.SetSelStart(from + s.start);
            reference.SetSelLength(s.length);
            reference.SetSelColor(table[size_t(s.colour)]);
        }

        ed->SetText(page);
        ed->SetSelStart(2);
        ed->SetSelLength(60);
        ed->SetSelColor(0x123456);
        ed->SetSelStart(from);
        ed->SetSelLength(page.size() - from);
        assist::colorhtml(w->context());

        const RichDocument mine = ed->richDocument();
        const RichDocument theirs = reference.richDocument();
        ASSERT_EQ(mine.runs.size(), theirs.runs.size());
        for (int i = 0; i < mine.runs.size(); ++i) {
            EXPECT_EQ(mine.runs[i].start, theirs.runs[i].start) << "run " << i;
            EXPECT_EQ(mine.runs[i].length, theirs.runs[i].length) << "run " << i;
            EXPECT_EQ(mine.runs[i].format.color, theirs.runs[i].format.color) << "run " << i;
        }
        // The last range coloured stays selected.
        EXPECT_EQ(ed->SelStart(), reference.SelStart());
        EXPECT_EQ(ed->SelLength(), reference.SelLength());
    }
}

// ---- typing colours ------------------------------------------------------------------

struct TypingRow {
    const char* name;
    QString before; // the document before typing; the caret is at its end
    QString typed;
    QString colours; // of the whole document afterwards
};

TEST_F(MarkupWindow, TypingColoursMarkupKeyByKey) {
    const TypingRow rows[] = {
        {"paragraph tag then text", "", "<p>hi", "BBB.."},
        {"anchor with an attribute", "", "<a href=\"x\">t", "BBRRRRRRVVVB."},
        {"two attributes", "", "<a b=\"1\" c=\"2\">", "BBRRRVVVRRRVVVB"},
        {"comment opener", "", "<!-- c", "BGGGRR"},
        {"greater-than outside a tag", "x", " >y", "...."},
        {"after a closed tag", "<p>", "a \"b\"", "........"},
    };
    for (const TypingRow& row : rows) {
        SCOPED_TRACE(row.name);
        ed->SetText(row.before);
        ed->SetSelStart(int(row.before.size()));
        type(row.typed);
        EXPECT_EQ(ed->Text(), row.before + row.typed);
        EXPECT_EQ(colours(), row.colours);
    }
}

TEST_F(MarkupWindow, InsideTagLooksAtTheWholeTextNotTheCaret) {
    // The last tag is closed: a space or quote typed in the middle changes no colour.
    ed->SetText(QStringLiteral("<p>ab</p>"));
    ed->SetSelStart(4);
    ed->SetSelLength(1);
    ed->SetSelColor(kViolet);
    ed->SetSelStart(5);
    type(QStringLiteral(" \""));
    EXPECT_EQ(ed->Text(), QStringLiteral("<p>ab \"</p>"));
    EXPECT_EQ(colours().mid(4, 3), QStringLiteral("VVV"));

    // An unfinished tag at the end: a space typed anywhere takes the attribute-name colour.
    ed->SetText(QStringLiteral("<p>ab</p>\r\n<a"));
    ed->SetSelStart(4);
    type(QStringLiteral(" "));
    EXPECT_EQ(ed->Text(), QStringLiteral("<p>a b</p>\r\n<a"));
    EXPECT_EQ(ed->formatAt(4).color, kRed);
}

// InsideTag searches the editor's buffer, which is split where the last edit was: the
// answer must not depend on where that is.
TEST_F(MarkupWindow, LastBracketIsFoundWhereverTheLastEditWas) {
    const QString texts[] = {"<p>caf\u00e9</p> <a", "a > b", "<<<", "no brackets", "x<y>z\u20ac"};
    for (const QString& text : texts) {
        for (int at = 0; at <= text.size(); ++at) {
            SCOPED_TRACE((text + QStringLiteral(" @") + QString::number(at)).toStdString());
            ed->SetText(text);
            ed->SetSelStart(at);
            ed->SetSelText(QStringLiteral("\u00fc"));
            const QByteArray bytes = ed->Text().toUtf8();
            EXPECT_EQ(ed->lastIndexOfAscii('<'), bytes.lastIndexOf('<'));
            EXPECT_EQ(ed->lastIndexOfAscii('>'), bytes.lastIndexOf('>'));
        }
    }
}

// ---- Tab and Ctrl+V ------------------------------------------------------------------

TEST_F(MarkupWindow, TabWithAnyModifiersReplacesTheSelectionWithOneTab) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } keys[] = {
        {Qt::Key_Tab, Qt::NoModifier},
        {Qt::Key_Backtab, Qt::ShiftModifier},
        {Qt::Key_Tab, Qt::ControlModifier},
        {Qt::Key_Backtab, Qt::ShiftModifier | Qt::ControlModifier},
        {Qt::Key_Tab, Qt::AltModifier},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(int(k.mods));
        ed->SetText(QStringLiteral("line one\r\nline two"));
        ed->SetSelStart(2);
        ed->SetSelLength(10);
        QTest::keyClick(ed, k.key, k.mods);
        EXPECT_EQ(ed->Text(), QStringLiteral("li\tne two"));
        EXPECT_EQ(ed->SelStart(), 3);
        EXPECT_EQ(ed->SelLength(), 0);
        EXPECT_TRUE(ed->hasFocus());
    }
}

TEST_F(MarkupWindow, CtrlVPastesTheClipboardsPlainTextOnly) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    ed->SetText(QStringLiteral("abcd"));
    ed->SetSelStart(1);
    ed->SetSelLength(2);
    ed->SetSelColor(kRed);
    ed->SetSelLength(0);
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b style='color:green'>rich</b>"));
    mime->setText(QStringLiteral("plain\r\ntext"));
    clipboard->setMimeData(mime);
    ASSERT_TRUE(waitUntil([&] { return clipboard->text() == QStringLiteral("plain\r\ntext"); }));
    ed->SetSelStart(1);
    ed->SetSelLength(2);
    QTest::keyClick(ed, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ed->Text(), QStringLiteral("aplain\r\ntextd"));
    EXPECT_EQ(ed->SelStart(), 12);
    EXPECT_EQ(ed->SelLength(), 0);
    // No formatting from the clipboard: the pasted text replaced the red selection and so
    // takes the format of its first character, as any text replacing a selection does.
    EXPECT_EQ(colours(), QStringLiteral(".RRRRRRRRRRR."));

    // Only a picture on the clipboard: the selection goes and nothing comes in.
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    clipboard->setImage(picture);
    ASSERT_TRUE(waitUntil([&] { return clipboard->text().isEmpty(); }));
    ed->SetSelStart(1);
    ed->SetSelLength(5);
    QTest::keyClick(ed, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ed->Text(), QStringLiteral("a\r\ntextd"));
    EXPECT_EQ(ed->SelStart(), 1);
}

// ---- popup menu ------------------------------------------------------------------------

TEST_F(MarkupWindow, RightButtonShowsThePopupWithItemsEnabledBySelection) {
    QMenu* pop = w->PopMenu();
    QAction* high = item("PopHighLight");
    QAction* noHigh = item("PopNoHighLight");
    ed->SetText(QStringLiteral("some text here"));
    ed->SetSelStart(3);

    const QPoint at(30, 12);
    QTest::mouseClick(ed->viewport(), Qt::RightButton, Qt::NoModifier, at);
    ASSERT_TRUE(waitUntil([&] { return pop->isVisible(); }));
    EXPECT_FALSE(high->isEnabled());
    EXPECT_FALSE(noHigh->isEnabled());
    EXPECT_EQ(pop->pos(), ed->viewport()->mapToGlobal(at));
    // The editor's own context menu never shows beside it.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu*>(top) && top != pop) {
            EXPECT_FALSE(top->isVisible()) << top->objectName().toStdString();
        }
    }
    pop->hide();
    EXPECT_EQ(ed->SelStart(), 3);

    // Selecting text enables both items; the selection change alone does it.
    ed->SetSelLength(4);
    EXPECT_TRUE(waitUntil([&] { return high->isEnabled() && noHigh->isEnabled(); }));
    QTest::mouseClick(ed->viewport(), Qt::RightButton, Qt::NoModifier, at);
    ASSERT_TRUE(waitUntil([&] { return pop->isVisible(); }));
    EXPECT_TRUE(high->isEnabled());
    EXPECT_EQ(ed->SelLength(), 4);
    pop->hide();

    // Collapsing the selection disables them again.
    ed->SetSelStart(0);
    EXPECT_TRUE(waitUntil([&] { return !high->isEnabled() && !noHigh->isEnabled(); }));
}

// ---- counts ----------------------------------------------------------------------------

struct CountRow {
    QString text;
    QString lines;
    QString words;
};

TEST_F(MarkupWindow, CountsReportTheirNumbersAndLeaveTheDocumentAlone) {
    const CountRow rows[] = {
        {"", "1", "0"},
        {"abc\r\n", "2", "1"},
        {"\r\nabc", "2", "0"},
        {"<p>Hello world</p>", "1", "1"},
        {"2 apples  and\r\npears", "2", "2"},
    };
    for (const CountRow& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        ed->SetText(row.text);
        ed->SetSelStart(int(row.text.size()) / 2);
        const int start = ed->SelStart();
        d.clear();
        item("mnuLine")->trigger();
        item("mnuWord")->trigger();
        ASSERT_EQ(d.calls.size(), 2);
        EXPECT_EQ(d.calls[0].text, QStringLiteral("Total number of line(s) in Code: ") + row.lines);
        EXPECT_EQ(d.calls[0].title, QStringLiteral("Line Count"));
        EXPECT_EQ(d.calls[1].text, QStringLiteral("Total number of word(s) in Code: ") + row.words);
        EXPECT_EQ(d.calls[1].title, QStringLiteral("Word Count"));
        for (const auto& call : d.calls) {
            EXPECT_EQ(call.icon, Dialogs::Icon::Information);
            EXPECT_EQ(call.buttons, Dialogs::Buttons::Ok);
        }
        EXPECT_EQ(ed->Text(), row.text);
        EXPECT_EQ(ed->SelStart(), start);
        EXPECT_EQ(ed->SelLength(), 0);
    }
}

} // namespace

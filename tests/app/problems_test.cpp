// SPDX-License-Identifier: GPL-3.0-or-later
// View > Problems as a user drives it: the pane's rows for a page with seeded mistakes,
// activating a row, the rows following edits, New and Open, the command's state and the
// pane remembered across a restart, the squiggles under each construct and their
// tooltips, and a check of an outdated text that never paints.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeView>
#include <vector>

#include "app/frmmain.h"
#include "app/frmproblems.h"
#include "app/problems.h"
#include "app/problemsmodel.h"
#include "app/squiggles.h"
#include "checker/checker.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "testutil.h"

namespace {

// A page with one mistake of each kind on its own line, after a tab, an accented letter and
// a character outside the BMP, with CR LF, a lone CR and a lone LF ending lines.
const QString kSeeded =
    QStringLiteral("<!DOCTYPE html>\r\n<html><head><title>t</title></head>\r\n<body>\r\n"
                   "\t<p>caf\u00e9 \U0001F600 <img src=\"a.png\"></p>\r"
                   "<spna>x</spna>\n"
                   "<p id=\"a\">1</p><p id=\"a\">2</p>\r\n"
                   "</div>\r\n"
                   "<a href=\"#nowhere\">x</a>\r\n"
                   "</body></html>\r\n");

// The rows for kSeeded, as the checker places them (untitled: no local files checked).
const QStringList kSeededRows = {
    "2:1|info|<html> has no lang attribute naming the page's language",
    "4:13|error|<img> has no alt attribute (use alt=\"\" for a picture that says nothing)",
    "5:1|error|Unknown element <spna> (a custom element's name has a hyphen)",
    "6:19|error|Duplicate id \"a\"",
    "7:1|error|</div> has no open <div>",
    "8:4|warning|No element with id \"nowhere\" in this page",
};

// A double-click as the window system delivers it: a press and a release, then the second
// press arriving as a double-click.
void doubleClick(QWidget* widget, const QPoint& at) {
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

class ProblemsPane : public MainWindowTest {
protected:
    void SetUp() override {
        // Where the pane's state is remembered: a folder of this test's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        startWindow();
    }
    // The main window goes while the settings folder is still there.
    void TearDown() override { w.reset(); }

    void startWindow() {
        MainWindowTest::SetUp();
        w->activateWindow();
        editor()->setFocus();
        ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == editor(); }));
    }
    Problems* problems() const { return w->problems(); }
    QAction* command() const { return menuItem(*w, "mnuProblems"); }
    frmProblems* pane() const { return w->findChild<frmProblems*>(QStringLiteral("frmProblems")); }
    QTreeView* list() const { return w->findChild<QTreeView*>(QStringLiteral("lstProblems")); }

    // Waits until the findings of the text as it is now are shown.
    bool checked(int shownBefore) const {
        return waitUntil(
            [&] { return problems()->checksShown() > shownBefore && !problems()->busy(); }, 60000);
    }
    // Opens the pane on `text` and waits for its findings.
    void openOn(const QString& text) {
        editor()->SetText(text);
        openPane();
    }
    void openPane() {
        const int before = problems()->checksShown();
        if (!command()->isChecked())
            command()->trigger();
        ASSERT_TRUE(checked(before));
    }
    // Replaces the text and waits for the findings.
    void retype(const QString& text) {
        const int before = problems()->checksShown();
        editor()->SetText(text);
        ASSERT_TRUE(checked(before));
    }
    // The rows as "PLACE|SEVERITY|MESSAGE".
    QStringList rows() const {
        QStringList out;
        const QAbstractItemModel* m = list()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << QStringLiteral("%1|%2|%3")
                       .arg(m->index(r, 0).data().toString(), m->index(r, 1).data().toString(),
                            m->index(r, 2).data().toString());
        return out;
    }
    // The checker's own findings of the editor's text, as the rows should read.
    QStringList checkerRows(const QString& pagePath = QString()) const {
        checker::Options options;
        options.pagePath = pagePath;
        QStringList out;
        for (const checker::Finding& f : checker::check(editor()->Text(), options).findings)
            out << QStringLiteral("%1:%2|%3|%4")
                       .arg(f.line)
                       .arg(f.column)
                       .arg(QString::fromLatin1(checker::severityName(f.severity)), f.message);
        return out;
    }
    // The stretches the checker finds in the editor's text for one indicator.
    std::vector<std::pair<int, int>> expectedRanges(int indicator) const {
        std::vector<std::pair<int, int>> out;
        for (const checker::Finding& f : checker::check(editor()->Text()).findings)
            if (Squiggles::indicatorFor(f.severity) == indicator && f.length > 0)
                out.push_back({int(f.offset), int(f.offset + f.length)});
        return out;
    }
    QRect rowRect(int row) const { return list()->visualRect(list()->model()->index(row, 2)); }
    bool editorHasFocus() const {
        return QApplication::focusWidget() == editor() && QApplication::activeWindow() == w.get();
    }

    QTemporaryDir settingsDir;
};

TEST_F(ProblemsPane, CommandOpensThePaneBelowTheEditorWithoutTakingTheFocus) {
    QAction* a = command();
    EXPECT_EQ(a->text(), QStringLiteral("Problems"));
    EXPECT_TRUE(a->isCheckable());
    EXPECT_FALSE(a->isChecked());
    EXPECT_EQ(a->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+M")));
    // In the View menu, right after Live Preview (the view aids follow).
    const QList<QAction*> view = menuNamed(*w, "mnuView")->actions();
    ASSERT_GE(view.size(), 2);
    EXPECT_EQ(view[0]->objectName(), QStringLiteral("mnuLivePreview"));
    EXPECT_EQ(view[1], a);
    EXPECT_EQ(pane(), nullptr) << "nothing exists before the command";
    EXPECT_FALSE(problems()->busy()) << "nothing is checked while the pane is closed";

    editor()->SetText(kSeeded);
    QTest::keyClick(editor(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(pane(), nullptr);
    EXPECT_TRUE(a->isChecked());
    EXPECT_TRUE(pane()->isVisible());
    EXPECT_EQ(pane()->windowTitle(), QStringLiteral("Problems"));
    EXPECT_FALSE(pane()->isWindow()) << "a pane of the main window, no tool window";
    EXPECT_EQ(w->dockWidgetArea(pane()), Qt::BottomDockWidgetArea);
    EXPECT_GE(pane()->geometry().top(), editor()->mapTo(w.get(), QPoint(0, 0)).y());
    EXPECT_TRUE(w->isEnabled());
    ASSERT_NE(list(), nullptr);
    EXPECT_EQ(list()->parentWidget()->objectName(), QStringLiteral("frmProblems"));
    EXPECT_TRUE(list()->isVisible());
    EXPECT_TRUE(editorHasFocus());
    // The typing goes on in the editor while the pane is open.
    editor()->SetSelStart(editor()->TextLength());
    QTest::keyClicks(editor(), QStringLiteral("<b>"));
    EXPECT_TRUE(editor()->Text().endsWith(QStringLiteral("<b>")));
}

TEST_F(ProblemsPane, ListsEachFindingOfASeededPageAtItsPlace) {
    openOn(kSeeded);
    EXPECT_EQ(rows(), kSeededRows);
    // The places are the checker's own, counted in the editor (tabs, an emoji's two units,
    // lone CR and LF line ends).
    EXPECT_EQ(rows(), checkerRows());
    const QAbstractItemModel* m = list()->model();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Place"));
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Severity"));
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Message"));

    // A clean page has no rows.
    retype(QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"en\"><title>t</title><p>fine\r\n"));
    EXPECT_EQ(rows(), QStringList());
}

// Activating a row: by a double-click and by Enter.
struct Activation {
    const char* name;
    bool byKey;
};

void PrintTo(const Activation& a, std::ostream* os) {
    *os << a.name;
}

class ActivatingARow : public ProblemsPane, public ::testing::WithParamInterface<Activation> {};

TEST_P(ActivatingARow, PutsTheCaretAtTheFindingAndTheFocusInTheEditor) {
    openOn(kSeeded);
    ASSERT_EQ(rows().size(), kSeededRows.size());
    const QString text = editor()->Text();
    // Each of the rows in turn; the caret goes to the first character of the construct.
    const QStringList starts = {"<html>",     "<img",   "<spna>",
                                "id=\"a\">2", "</div>", "href=\"#nowhere"};
    for (int row = 0; row < starts.size(); ++row) {
        const int at = text.indexOf(starts[row]);
        ASSERT_GE(at, 0);
        editor()->SetSelStart(0);
        if (GetParam().byKey) {
            list()->setFocus();
            list()->setCurrentIndex(list()->model()->index(row, 0));
            QTest::keyClick(list(), Qt::Key_Return);
        } else {
            doubleClick(list()->viewport(), rowRect(row).center());
        }
        EXPECT_EQ(editor()->SelStart(), at) << starts[row].toStdString();
        EXPECT_EQ(editor()->SelLength(), 0);
        EXPECT_TRUE(waitUntil([&] { return editorHasFocus(); })) << starts[row].toStdString();
    }
    EXPECT_EQ(editor()->Text(), text) << "activation never edits";
}

INSTANTIATE_TEST_SUITE_P(Ways, ActivatingARow,
                         ::testing::Values(Activation{"DoubleClick", false},
                                           Activation{"EnterKey", true}),
                         NameFrom<&Activation::name>());

TEST_F(ProblemsPane, RowsFollowTypingNewAndOpen) {
    openOn(QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"en\"><title>t</title>\r\n<p>one"));
    EXPECT_EQ(rows(), QStringList());

    // A mistake typed shows a moment after the typing pauses, not at once.
    int before = problems()->checksShown();
    editor()->SetSelStart(editor()->TextLength());
    QTest::keyClicks(editor(), QStringLiteral("<img src=x>"));
    EXPECT_EQ(rows(), QStringList());
    EXPECT_TRUE(problems()->busy());
    ASSERT_TRUE(checked(before));
    EXPECT_EQ(rows(), QStringList{QStringLiteral(
                          "3:7|error|<img> has no alt attribute (use alt=\"\" for a picture "
                          "that says nothing)")});

    // Lines typed before it move its place at once (before the next check).
    editor()->SetSelStart(editor()->LineStart(2));
    before = problems()->checksShown();
    QTest::keyClick(editor(), Qt::Key_Return);
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] { return rows().value(0).startsWith(QStringLiteral("5:7|")); }))
        << rows().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(checked(before));
    EXPECT_EQ(rows(), checkerRows());

    // Mended, the row goes.
    const int end = editor()->TextLength();
    editor()->SetSelStart(end - 1);
    before = problems()->checksShown();
    QTest::keyClicks(editor(), QStringLiteral(" alt=\"\""));
    ASSERT_TRUE(checked(before));
    EXPECT_EQ(rows(), QStringList());

    // New: the rows of the empty page.
    editor()->SetModified(false);
    before = problems()->checksShown();
    trigger("mnuNew");
    ASSERT_TRUE(checked(before));
    EXPECT_EQ(rows(), QStringList{QStringLiteral(
                          "1:1|error|The page does not start with <!DOCTYPE html>")});

    // Open: the rows of the file read, its local links checked from its folder.
    const QString page = path("page.html");
    ASSERT_TRUE(writeBytes(page,
                           "<!DOCTYPE html>\n<html lang=\"en\"><title>t</title>\n"
                           "<img src=\"there.png\" alt=\"\"><img src=\"gone.png\" alt=\"\">\n"));
    ASSERT_TRUE(writeBytes(path("there.png"), "png"));
    d.chooseFile(page);
    before = problems()->checksShown();
    trigger("mnuOpen");
    ASSERT_EQ(w->windowTitle(), page);
    ASSERT_TRUE(checked(before));
    EXPECT_EQ(rows(), QStringList{QStringLiteral(
                          "3:34|warning|\"gone.png\" leads to a file that does not exist")});
    EXPECT_EQ(rows(), checkerRows(page));
}

TEST_F(ProblemsPane, ClosingUnchecksAndTheStateAndSizeOutliveARestart) {
    openOn(kSeeded);
    ASSERT_NE(pane(), nullptr);
    // Its close button: the command is unchecked, the rows and the squiggles go.
    ASSERT_TRUE(pane()->close());
    EXPECT_FALSE(command()->isChecked());
    EXPECT_FALSE(pane()->isVisible());
    EXPECT_EQ(list()->model()->rowCount(), 0);
    EXPECT_TRUE(problems()->squiggles()->ranges(Squiggles::kError).empty());
    // The command opens it again with its findings.
    int before = problems()->checksShown();
    command()->trigger();
    EXPECT_TRUE(pane()->isVisible());
    ASSERT_TRUE(checked(before));
    EXPECT_EQ(rows(), kSeededRows);
    // The command closes it too.
    command()->trigger();
    EXPECT_FALSE(pane()->isVisible());
    EXPECT_FALSE(command()->isChecked());

    // Closed at the end of a run: closed at the next start.
    w.reset();
    startWindow();
    EXPECT_FALSE(command()->isChecked());
    EXPECT_EQ(pane(), nullptr);

    // Open, made taller, at the end of a run: open at the next start, as tall, with the
    // findings of the page opened then.
    editor()->SetText(kSeeded);
    command()->trigger();
    ASSERT_NE(pane(), nullptr);
    // (Once it is laid out: the user drags the edge of a pane that is there.)
    ASSERT_TRUE(waitUntil([&] {
        QTest::qWait(20);
        w->resizeDocks({pane()}, {330}, Qt::Vertical);
        return pane()->height() == 330;
    })) << pane()->height();
    editor()->SetModified(false);
    w.reset();
    startWindow();
    EXPECT_TRUE(command()->isChecked());
    ASSERT_NE(pane(), nullptr);
    EXPECT_TRUE(pane()->isVisible());
    EXPECT_EQ(w->dockWidgetArea(pane()), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(waitUntil([&] { return pane()->height() == 330; })) << pane()->height();
    before = problems()->checksShown();
    editor()->SetText(kSeeded);
    ASSERT_TRUE(checked(before));
    EXPECT_EQ(rows(), kSeededRows);
}

TEST_F(ProblemsPane, SquigglesUnderlineEachConstructByItsSeverityAndLeaveTheDocumentAlone) {
    editor()->SetText(kSeeded);
    editor()->SetModified(false);
    const QString rtf = editor()->TextRTF();
    const bool couldUndo = editor()->isUndoAvailable();
    openPane();
    Squiggles* s = problems()->squiggles();
    for (int indicator : {Squiggles::kError, Squiggles::kWarning, Squiggles::kInfo})
        EXPECT_EQ(s->ranges(indicator), expectedRanges(indicator)) << indicator;
    // The <img> start tag, the unknown <spna>, the second id, the stray </div> are errors.
    const QString text = editor()->Text();
    const auto errors = s->ranges(Squiggles::kError);
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(text.mid(errors[0].first, errors[0].second - errors[0].first),
              QStringLiteral("<img src=\"a.png\">"));
    EXPECT_EQ(text.mid(errors[3].first, errors[3].second - errors[3].first),
              QStringLiteral("</div>"));
    EXPECT_FALSE(s->ranges(Squiggles::kWarning).empty());
    EXPECT_FALSE(s->ranges(Squiggles::kInfo).empty());
    // Nothing of the document changed.
    EXPECT_EQ(editor()->Text(), kSeeded);
    EXPECT_EQ(editor()->TextRTF(), rtf);
    EXPECT_FALSE(editor()->Modified());
    EXPECT_EQ(editor()->isUndoAvailable(), couldUndo);

    // Text typed before a squiggle moves it along at once.
    editor()->SetSelStart(0);
    QTest::keyClicks(editor(), QStringLiteral("ab"));
    QCoreApplication::processEvents();
    const auto moved = s->ranges(Squiggles::kError);
    ASSERT_EQ(moved.size(), 4u);
    EXPECT_EQ(moved[0].first, errors[0].first + 2);
    // Undone, the text is the seeded page again and so are the squiggles after the check.
    int before = problems()->checksShown();
    editor()->undo();
    ASSERT_EQ(editor()->Text(), kSeeded);
    ASSERT_TRUE(checked(before));
    EXPECT_EQ(s->ranges(Squiggles::kError), errors);

    // New takes them away with the text.
    editor()->SetModified(false);
    before = problems()->checksShown();
    trigger("mnuNew");
    for (int indicator : {Squiggles::kError, Squiggles::kWarning, Squiggles::kInfo})
        EXPECT_TRUE(s->ranges(indicator).empty()) << indicator;
    ASSERT_TRUE(checked(before));
}

TEST_F(ProblemsPane, SquigglesArePaintedWhereTheViewIsAsItScrolls) {
    // Thousands of findings, one a line: only the lines around the view carry squiggles.
    QString page = QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"en\"><title>t</title>\r\n");
    for (int i = 0; i < 3000; ++i)
        page += QStringLiteral("<p>%1 <spna>x</spna></p>\r\n").arg(i);
    openOn(page);
    ASSERT_EQ(list()->model()->rowCount(), 3000);
    Squiggles* s = problems()->squiggles();
    const auto top = s->ranges(Squiggles::kError);
    ASSERT_FALSE(top.empty());
    EXPECT_LT(top.size(), 1000u) << "not every finding of the page is painted";
    const QString text = editor()->Text();
    EXPECT_EQ(top.front().first, text.indexOf(QStringLiteral("<spna>")));
    // Scrolled to the end: the last lines' squiggles are there at once, under their <spna>.
    editor()->SetSelStart(editor()->TextLength());
    QCoreApplication::processEvents();
    editor()->viewport()->repaint();
    const auto end = s->ranges(Squiggles::kError);
    ASSERT_FALSE(end.empty());
    const int last = int(text.lastIndexOf(QStringLiteral("<spna>")));
    EXPECT_EQ(end.back(), (std::pair<int, int>(last, last + 6)));
    EXPECT_EQ(s->tooltipAt(last + 1),
              QStringLiteral("Unknown element <spna> (a custom element's name has a hyphen)"));
}

TEST_F(ProblemsPane, MouseRestingOnASquiggleShowsItsMessage) {
    openOn(kSeeded);
    const int at = editor()->Text().indexOf(QStringLiteral("<spna>")) + 2;
    EXPECT_EQ(problems()->squiggles()->tooltipAt(at),
              QStringLiteral("Unknown element <spna> (a custom element's name has a hyphen)"));
    EXPECT_EQ(problems()->squiggles()->tooltipAt(editor()->Text().indexOf(QStringLiteral("caf"))),
              QString());
    // The mouse rests over the construct: the tooltip tells its message.
    editor()->SetSelStart(at);
    const long byte = long(editor()->toBytePos(at));
    const QPoint p(
        int(editor()->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, byte)) + 2,
        int(editor()->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, byte)) + 4);
    QTest::mouseMove(editor()->viewport(), p);
    EXPECT_TRUE(waitUntil([] { return QToolTip::isVisible(); }, 5000));
    // Shown as it reads, not taken for markup.
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    EXPECT_EQ(shown.toPlainText(),
              QStringLiteral("Unknown element <spna> (a custom element's name has a hyphen)"));
}

TEST_F(ProblemsPane, ACheckOfAnOutdatedTextPaintsNothing) {
    // A page long enough that its check is still running when the edit comes.
    QString page = kSeeded;
    page.chop(QStringLiteral("</body></html>\r\n").size());
    const QString block = QStringLiteral("<div><p>Some <b>text</b> <spna>x</spna></p></div>\r\n");
    while (page.size() < 3000000)
        page += block;
    openOn(page);
    const int shown = problems()->checksShown();

    // A new check starts; the text changes while it runs.
    editor()->SetSelStart(editor()->TextLength());
    QTest::keyClicks(editor(), QStringLiteral("x"));
    ASSERT_TRUE(waitUntil([&] { return problems()->checking(); }, 30000));
    const int at = editor()->LineStart(3);
    editor()->SetSelStart(at);
    editor()->SetSelText(QStringLiteral("<spna>new</spna>\r\n"));
    // Its findings never come: the next ones are of the text as it is now.
    ASSERT_TRUE(checked(shown));
    EXPECT_EQ(problems()->checksShown(), shown + 1);
    const auto errors = problems()->squiggles()->ranges(Squiggles::kError);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.front(), (std::pair<int, int>(at, at + 6))) << "the <spna> put in";
    EXPECT_EQ(rows().value(1), QStringLiteral("4:1|error|Unknown element <spna> (a custom "
                                              "element's name has a hyphen)"));
    EXPECT_EQ(list()->model()->rowCount(), int(checker::check(editor()->Text()).findings.size()));
}

} // namespace

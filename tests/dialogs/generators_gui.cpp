// SPDX-License-Identifier: GPL-3.0-or-later
#include "generators_testutil.h"
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/frmmain.h"
#include "dialogs/colorswatch.h"
#include "dialogs/frmcolors.h"
#include "dialogs/frmiframe.h"
#include "dialogs/frmlist.h"
#include "dialogs/frmmarquee.h"
#include "dialogs/frmtable.h"
#include "dialogs/frmtime.h"
#include "dialogs/hexcolor.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

QString lines(std::initializer_list<const char*> parts) {
    return crlfLines(parts);
}

// The main window with the scripted dialogs, and the dialogs of this module driven as a
// user drives them: menu items, typing into fields, clicking buttons.
class GeneratorDialogs : public MainWindowTest {
protected:
    void TearDown() override {
        // The dialogs outlive one main window; unload them so that the next test starts
        // from their design values with its own window.
        unloadIfLoaded<frmTable>();
        unloadIfLoaded<frmList>();
        unloadIfLoaded<frmColors>();
        unloadIfLoaded<frmMarquee>();
        unloadIfLoaded<frmIframe>();
        unloadIfLoaded<frmTime>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmTime::setClock({});
    }

    template <class T> static void unloadIfLoaded() {
        if (T* dlg = SnippetDialog::instance<T>())
            dlg->unload();
    }

    template <class T> T* openFromMenu(const char* item) {
        menuItem(*w, item)->trigger();
        T* dlg = SnippetDialog::instance<T>();
        EXPECT_NE(dlg, nullptr) << item;
        if (dlg) {
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_FALSE(w->isEnabled());
        }
        return dlg;
    }

    template <class W> static W* control(QWidget* dlg, const char* name) {
        W* c = dlg->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    static void type(QWidget* dlg, const char* field, const QString& text) {
        auto* edit = control<QLineEdit>(dlg, field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        EXPECT_EQ(edit->text(), text);
    }

    // Clicks a button; option buttons and check boxes on their indicator, as a stretched
    // one only reacts on its indicator and caption.
    static void click(QWidget* dlg, const char* button) {
        auto* b = control<QAbstractButton>(dlg, button);
        const bool indicator = b->inherits("QCheckBox") || b->inherits("QRadioButton");
        const QPoint at =
            indicator ? QPoint(qMin(8, b->width() / 2), b->height() / 2) : b->rect().center();
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }

    // After a closing Insert: the dialog is gone and the main window takes input again.
    template <class T> void expectClosedAfterInsert() {
        EXPECT_EQ(SnippetDialog::instance<T>(), nullptr);
        EXPECT_TRUE(w->isEnabled());
    }

    void selectInEditor(const QString& text, int start, int length) {
        editor()->SetText(text);
        editor()->SetSelStart(start);
        editor()->SetSelLength(length);
    }
};

// ---- Table ------------------------------------------------------------------------------

TEST_F(GeneratorDialogs, TableDefaultsInsertOneCellTable) {
    auto* dlg = openFromMenu<frmTable>("mnuTable");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("ADD TABLE"));
    auto* cbo = control<QComboBox>(dlg, "cboAlignment");
    EXPECT_TRUE(cbo->isEditable());
    EXPECT_EQ(cbo->currentText(), QStringLiteral("center"));
    ASSERT_EQ(cbo->count(), 3);
    EXPECT_EQ(cbo->itemText(0), QStringLiteral("Left"));
    EXPECT_EQ(cbo->itemText(1), QStringLiteral("Center"));
    EXPECT_EQ(cbo->itemText(2), QStringLiteral("Right"));
    EXPECT_TRUE(control<QRadioButton>(dlg, "optWidth_0")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(dlg, "chkWidth")->isChecked());

    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(),
              lines({"<table Align='center' Border='0' cellpadding='1' cellspacing='1'>", "<tr>",
                     "<td>&nbsp;</td>", "</tr>", "</table>"}));
    EXPECT_EQ(editor()->SelStart(), editor()->TextLength());
    expectClosedAfterInsert<frmTable>();
    EXPECT_TRUE(d.messages().isEmpty());
}

TEST_F(GeneratorDialogs, TableTwoByThreeInPercentReplacesTheSelection) {
    selectInEditor(QStringLiteral("abcXYZ"), 0, 3);
    auto* dlg = openFromMenu<frmTable>("mnuTable");
    ASSERT_NE(dlg, nullptr);
    type(dlg, "txtRows", QStringLiteral("2"));
    type(dlg, "txtColumns", QStringLiteral("3"));
    click(dlg, "chkWidth");
    type(dlg, "txtWidth", QStringLiteral("80"));
    click(dlg, "optWidth_1");
    // A typed alignment is used as it stands.
    auto* cbo = control<QComboBox>(dlg, "cboAlignment");
    cbo->setCurrentIndex(2);
    click(dlg, "cmdInsert");

    const QString cells = lines({"<td>&nbsp;</td>", "<td>&nbsp;</td>", "<td>&nbsp;</td>"});
    const QString row = QStringLiteral("<tr>") + kCrLf + cells + QStringLiteral("</tr>") + kCrLf;
    EXPECT_EQ(editor()->Text(), QStringLiteral("<table Align='Right' width='80%' Border='0' "
                                               "cellpadding='1' cellspacing='1'>") +
                                    kCrLf + row + row + QStringLiteral("</table>") + kCrLf +
                                    QStringLiteral("XYZ"));
    expectClosedAfterInsert<frmTable>();
}

struct RefusedCase {
    const char* name;
    const char* rows;
    const char* columns;
    const char* field; // the field the message names
};
void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << "rows '" << c.rows << "' columns '" << c.columns << "'";
}
class TableRefused : public GeneratorDialogs, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(TableRefused, MessageNamesTheFieldAndDialogKeepsItsValues) {
    const RefusedCase& c = GetParam();
    editor()->SetText(QStringLiteral("keep"));
    auto* dlg = openFromMenu<frmTable>("mnuTable");
    ASSERT_NE(dlg, nullptr);
    type(dlg, "txtRows", QString::fromUtf8(c.rows));
    type(dlg, "txtColumns", QString::fromUtf8(c.columns));
    click(dlg, "cmdInsert");

    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_EQ(d.lastMessage()->title, QStringLiteral("Format"));
    EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::None);
    EXPECT_TRUE(d.lastMessage()->text.startsWith(QString::fromLatin1(c.field)))
        << d.lastMessage()->text.toStdString();
    EXPECT_EQ(editor()->Text(), QStringLiteral("keep"));
    EXPECT_EQ(SnippetDialog::instance<frmTable>(), dlg);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(w->isEnabled());
    EXPECT_EQ(control<QLineEdit>(dlg, "txtRows")->text(), QString::fromUtf8(c.rows));
    EXPECT_EQ(control<QLineEdit>(dlg, "txtColumns")->text(), QString::fromUtf8(c.columns));
}

INSTANTIATE_TEST_SUITE_P(
    Counts, TableRefused,
    ::testing::Values(RefusedCase{"RowsInLetters", "abc", "1", "Rows"},
                      RefusedCase{"NoRows", "", "1", "Rows"},
                      RefusedCase{"ColumnsWithALetter", "2", "x2", "Columns"},
                      RefusedCase{"RowsBeyondAWholeNumber", "3000000000", "1", "Rows"},
                      RefusedCase{"ColumnsBelowAWholeNumber", "1", "-2147483649", "Columns"},
                      RefusedCase{"AMillionCells", "1000", "1000", "Rows and Columns"},
                      RefusedCase{"TooManyRows", "100001", "0", "Rows and Columns"}),
    NameFrom<&RefusedCase::name>());

TEST_F(GeneratorDialogs, TableCancelDiscardsValuesAndReloadRefillsTheList) {
    auto* dlg = openFromMenu<frmTable>("mnuTable");
    ASSERT_NE(dlg, nullptr);
    type(dlg, "txtRows", QStringLiteral("7"));
    click(dlg, "cmdCancel");
    EXPECT_EQ(SnippetDialog::instance<frmTable>(), nullptr);
    EXPECT_TRUE(w->isEnabled());
    EXPECT_TRUE(editor()->Text().isEmpty());

    dlg = openFromMenu<frmTable>("mnuTable");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(control<QLineEdit>(dlg, "txtRows")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QComboBox>(dlg, "cboAlignment")->count(), 3);
    // The window's close control unloads it as Cancel does.
    dlg->close();
    EXPECT_EQ(SnippetDialog::instance<frmTable>(), nullptr);
    EXPECT_TRUE(w->isEnabled());
}

// ---- List -------------------------------------------------------------------------------

TEST_F(GeneratorDialogs, ListOrderedAndUnordered) {
    selectInEditor(QStringLiteral("old"), 0, 3);
    auto* dlg = openFromMenu<frmList>("mnuList");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("ADD LiST"));
    EXPECT_FALSE(control<QRadioButton>(dlg, "optType_0")->isChecked());
    EXPECT_FALSE(control<QRadioButton>(dlg, "optType_1")->isChecked());
    EXPECT_TRUE(control<QLineEdit>(dlg, "txtItems")->text().isEmpty());
    type(dlg, "txtItems", QStringLiteral("3"));
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(),
              lines({"<ul>", "<li>&nbsp;</li>", "<li>&nbsp;</li>", "<li>&nbsp;</li>", "</ul>"}));
    expectClosedAfterInsert<frmList>();

    editor()->SetText(QString());
    dlg = openFromMenu<frmList>("mnuList");
    ASSERT_NE(dlg, nullptr);
    click(dlg, "optType_0");
    type(dlg, "txtItems", QStringLiteral("1"));
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(), lines({"<ol>", "<li>&nbsp;</li>", "</ol>"}));
}

TEST_F(GeneratorDialogs, ListEmptyAndHugeCountsAreRefused) {
    auto* dlg = openFromMenu<frmList>("mnuList");
    ASSERT_NE(dlg, nullptr);
    for (const QString& text : {QString(), QStringLiteral("many"), QStringLiteral("100001"),
                                QStringLiteral("2147483647")}) {
        d.clear();
        type(dlg, "txtItems", text);
        click(dlg, "cmdInsert");
        ASSERT_EQ(d.messages().size(), 1) << text.toStdString();
        EXPECT_EQ(d.lastMessage()->title, QStringLiteral("Format"));
        EXPECT_TRUE(d.lastMessage()->text.startsWith(QStringLiteral("Number of items")));
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_FALSE(w->isEnabled());
        EXPECT_EQ(control<QLineEdit>(dlg, "txtItems")->text(), text);
    }
    EXPECT_TRUE(editor()->Text().isEmpty());
    // Zero items is a list all the same.
    type(dlg, "txtItems", QStringLiteral("0"));
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(), lines({"<ul>", "</ul>"}));
}

// ---- Colours ----------------------------------------------------------------------------

TEST_F(GeneratorDialogs, ColorsPickedIntoSwatchesMakeTheBodyTag) {
    auto* dlg = openFromMenu<frmColors>("mnuColors");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("ADD COLOR"));
    EXPECT_EQ(control<QGroupBox>(dlg, "fraPreview")->title(), QStringLiteral(" Preview"));
    EXPECT_FALSE(control<QPushButton>(dlg, "cmdBrowse")->isEnabled());

    d.chooseColorValue(255);      // background
    d.chooseColorValue(0);        // normal text
    d.chooseColorValue(16711680); // link
    d.chooseColorValue(65280);    // active link
    d.chooseColorValue(16777215); // visited link
    for (const char* button : {"cmdBackgroundSelect", "cmdNormalSelect", "cmdLinkSelect",
                               "cmdActiveSelect", "cmdVisitedSelect"})
        click(dlg, button);
    ASSERT_EQ(d.calls.size(), 5);
    for (const auto& call : d.calls) {
        EXPECT_EQ(call.kind, ScriptedDialogs::Kind::Color);
        EXPECT_EQ(call.initialColor, 0); // the chooser starts from black every time
    }
    EXPECT_EQ(control<ColorSwatch>(dlg, "pctLinkSelect")->BackColor(), 16711680);
    EXPECT_EQ(control<ColorSwatch>(dlg, "pctLinkSelect")->palette().color(QPalette::Window),
              QColor(0, 0, 255));

    // A cancelled chooser leaves the swatch and says nothing.
    d.cancelColor();
    click(dlg, "cmdLinkSelect");
    EXPECT_EQ(control<ColorSwatch>(dlg, "pctLinkSelect")->BackColor(), 16711680);
    EXPECT_TRUE(d.messages().isEmpty());

    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(), QStringLiteral("<body bgcolor='#FF0000' text='#000000' "
                                               "link='#0000FF' alink='#00FF00' vlink='#FFFFFF'>"));
    expectClosedAfterInsert<frmColors>();
}

TEST_F(GeneratorDialogs, ColorsUntouchedSwatchesGiveTheWindowBackground) {
    // A known background of text areas, so that the expected colour is not the code's own.
    const QPalette before = QApplication::palette();
    QPalette known = before;
    known.setColor(QPalette::Base, QColor(0x12, 0x34, 0x56));
    QApplication::setPalette(known);
    auto* dlg = openFromMenu<frmColors>("mnuColors");
    ASSERT_NE(dlg, nullptr);
    click(dlg, "cmdInsert");
    QApplication::setPalette(before);
    EXPECT_EQ(editor()->Text(), QStringLiteral("<body bgcolor='#123456' text='#123456' "
                                               "link='#123456' alink='#123456' vlink='#123456'>"));
}

TEST_F(GeneratorDialogs, ColorsUseImageEnablesBrowseAndPreviewsThePicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString picture = dir.filePath(QStringLiteral("sky.bmp"));
    QImage image(400, 100, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(picture));

    auto* dlg = openFromMenu<frmColors>("mnuColors");
    ASSERT_NE(dlg, nullptr);
    auto* browse = control<QPushButton>(dlg, "cmdBrowse");
    click(dlg, "chkBackground");
    EXPECT_TRUE(browse->isEnabled());
    click(dlg, "chkBackground");
    EXPECT_FALSE(browse->isEnabled());
    click(dlg, "chkBackground");

    d.chooseFile(picture);
    click(dlg, "cmdBrowse");
    ASSERT_EQ(d.calls.size(), 1);
    EXPECT_EQ(d.calls[0].kind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(d.calls[0].filter, QStringLiteral("Bitmaps (*.bmp)|*.bmp|GIFs (*.gif)|*.gif|"
                                                "JPEGs (*.jpg, *.jpeg)|*.jpg;*.jpeg"));
    auto* preview = control<QLabel>(dlg, "pctBackgroundImage");
    EXPECT_TRUE(preview->isVisible());
    const QPixmap shown = preview->pixmap();
    ASSERT_FALSE(shown.isNull());
    // A picture larger than the preview is shown scaled down, in proportion.
    EXPECT_LE(shown.width(), preview->width());
    EXPECT_EQ(shown.width(), shown.height() * 4);

    // A colour pick between browsing keeps the file name; a cancelled browse too.
    d.chooseColorValue(255);
    click(dlg, "cmdBackgroundSelect");
    d.cancelFile();
    click(dlg, "cmdBrowse");
    EXPECT_FALSE(preview->pixmap().isNull());
    EXPECT_TRUE(d.messages().isEmpty());

    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(),
              QStringLiteral("<body background='%1' text='%2' link='%2' alink='%2' vlink='%2'>")
                  .arg(picture, HexColor(ColorSwatch::systemWindowBackground())));
}

// ---- Marquee ----------------------------------------------------------------------------

TEST_F(GeneratorDialogs, MarqueeDefaultsWithRedBackground) {
    selectInEditor(QStringLiteral("x"), 0, 1);
    auto* dlg = openFromMenu<frmMarquee>("mnuMarquee");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("ADD MARQUEE"));
    EXPECT_EQ(control<QRadioButton>(dlg, "optBehavior_0")->text(), QStringLiteral("Scoll"));
    EXPECT_EQ(control<QLineEdit>(dlg, "txtDelay")->text(), QStringLiteral("90"));
    EXPECT_EQ(control<QLineEdit>(dlg, "txtAmount")->text(), QStringLiteral("10"));
    EXPECT_FALSE(control<QLineEdit>(dlg, "txtWidth")->isEnabled());
    EXPECT_FALSE(control<QLineEdit>(dlg, "txtHeight")->isEnabled());
    EXPECT_EQ(control<QLineEdit>(dlg, "txtRepeat")->text(), QStringLiteral("0"));

    type(dlg, "txtText", QStringLiteral("Hi"));
    d.chooseColorValue(255);
    click(dlg, "cmdBackgroundColor");
    ASSERT_EQ(d.calls.size(), 1);
    EXPECT_EQ(d.calls[0].initialColor, 0);
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(),
              QStringLiteral("<marquee align='Left' behavior='Scoll' bgcolor='#FF0000' "
                             "direction='Left' scrollamount='10' scrolldelay='90'>Hi</marquee>"));
    expectClosedAfterInsert<frmMarquee>();
}

struct MarqueeCase {
    const char* name;
    const char* direction;
    const char* behavior;
    const char* align;
    const char* expectedStart;
};
void PrintTo(const MarqueeCase& c, std::ostream* os) {
    for (const char* o : {c.direction, c.behavior, c.align})
        *os << (o ? o : "default") << " ";
}
class MarqueeOptions : public GeneratorDialogs,
                       public ::testing::WithParamInterface<MarqueeCase> {};

TEST_P(MarqueeOptions, CaptionsOfTheChosenOptions) {
    const MarqueeCase& c = GetParam();
    auto* dlg = openFromMenu<frmMarquee>("mnuMarquee");
    ASSERT_NE(dlg, nullptr);
    for (const char* option : {c.direction, c.behavior, c.align})
        if (option)
            click(dlg, option);
    d.chooseColorValue(0);
    click(dlg, "cmdBackgroundColor");
    // The size and repeat fields take no part.
    click(dlg, "chkWidth");
    click(dlg, "chkRepeat");
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(),
              QString::fromLatin1(c.expectedStart) +
                  QStringLiteral(" scrollamount='10' scrolldelay='90'></marquee>"));
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, MarqueeOptions,
    ::testing::Values(
        MarqueeCase{"RightwardsOnly", "optDirection_1", nullptr, nullptr,
                    "<marquee align='Left' behavior='Scoll' bgcolor='#000000' direction='Right'"},
        MarqueeCase{"AlternatingCentred", nullptr, "optBehavior_2", "optAlign_1",
                    "<marquee align='Center' behavior='Alternate' bgcolor='#000000' "
                    "direction='Left'"},
        MarqueeCase{"SlidingRightwardsRightAligned", "optDirection_1", "optBehavior_1",
                    "optAlign_2",
                    "<marquee align='Right' behavior='Slide' bgcolor='#000000' "
                    "direction='Right'"}),
    NameFrom<&MarqueeCase::name>());

// ---- Iframe -----------------------------------------------------------------------------

TEST_F(GeneratorDialogs, IframeDefaultsAndBorderRemoved) {
    auto* dlg = openFromMenu<frmIframe>("mnuIframe");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("ADD iFRAME"));
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(),
              QStringLiteral("<iframe src='http://' height='' width='' title=''>"));
    expectClosedAfterInsert<frmIframe>();

    selectInEditor(QStringLiteral("gone"), 0, 4);
    dlg = openFromMenu<frmIframe>("mnuIframe");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(control<QLineEdit>(dlg, "txtUrl")->text(), QStringLiteral("http://"));
    type(dlg, "txtUrl", QStringLiteral("page.html"));
    type(dlg, "txtWidth", QStringLiteral("300"));
    type(dlg, "txtHeight", QStringLiteral("200"));
    type(dlg, "txtTitle", QStringLiteral("Map"));
    click(dlg, "chkBorder");
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(), QStringLiteral("<iframe src='page.html' height='200' width='300' "
                                               "title='Map' style='border:none;' >"));
}

// ---- Time / date ------------------------------------------------------------------------

class TimeDialog : public GeneratorDialogs {
protected:
    void SetUp() override {
        GeneratorDialogs::SetUp();
        saved = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        frmTime::setClock([this] { return moment; });
    }
    void TearDown() override {
        QLocale::setDefault(saved);
        GeneratorDialogs::TearDown();
    }

    QListWidget* openTime() {
        menuItem(*w, "mnuDate")->trigger();
        frmTime* dlg = SnippetDialog::instance<frmTime>();
        EXPECT_NE(dlg, nullptr);
        if (!dlg)
            return nullptr;
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_FALSE(w->isEnabled());
        return control<QListWidget>(dlg, "lstTime");
    }

    static QStringList entries(QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    QDateTime moment{QDate(2025, 3, 5), QTime(14, 7, 9)};
    QLocale saved;
};

const QStringList kNineOnMarch5{"3/5/25",    "5/3/25",        "Wednesday, March 05, 2025",
                                "5-Mar",     "March-25",      "02:07 PM",
                                "2:07:09 p", "5-March 14:07", "5-March-2025 02:07 PM"};

TEST_F(TimeDialog, NineEntriesAndInsertOfTheSelectedOne) {
    EXPECT_EQ(menuItem(*w, "mnuDate")->shortcut(), QKeySequence(Qt::Key_F5));
    QListWidget* list = openTime();
    ASSERT_NE(list, nullptr);
    frmTime* dlg = SnippetDialog::instance<frmTime>();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("ADD TiME/DATE"));
    EXPECT_EQ(control<QGroupBox>(dlg, "FraTime")->title(), QStringLiteral("Time / Date Format"));
    EXPECT_EQ(entries(list), kNineOnMarch5);

    click(dlg, "cmdInsert");
    ASSERT_EQ(d.messages(), QStringList{QStringLiteral("Format not selected yet.")});
    EXPECT_EQ(d.lastMessage()->title, QStringLiteral("Format"));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(w->isEnabled());

    // What is inserted is the moment of filling, not the moment of Insert.
    moment = moment.addSecs(3600 * 30);
    selectInEditor(QStringLiteral("[sel]"), 0, 5);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(3)).center());
    ASSERT_EQ(list->selectedItems().size(), 1);
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(), QStringLiteral("5-Mar"));
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(SnippetDialog::instance<frmTime>(), dlg); // hidden, still loaded
}

TEST_F(TimeDialog, ListGrowsByNineUntilCancelled) {
    QListWidget* list = openTime();
    ASSERT_NE(list, nullptr);
    list->setCurrentRow(0);
    click(SnippetDialog::instance<frmTime>(), "cmdInsert");
    EXPECT_EQ(editor()->Text(), QStringLiteral("3/5/25"));

    moment = QDateTime(QDate(2025, 12, 31), QTime(0, 1, 2));
    list = openTime();
    ASSERT_NE(list, nullptr);
    const QStringList all = entries(list);
    ASSERT_EQ(all.size(), 18);
    EXPECT_EQ(all.mid(0, 9), kNineOnMarch5);
    EXPECT_EQ(all.at(9), QStringLiteral("12/31/25"));
    EXPECT_EQ(all.at(14), QStringLiteral("12:01 AM"));
    EXPECT_EQ(list->currentRow(), 0); // the selection survives the hiding

    click(SnippetDialog::instance<frmTime>(), "cmdCancel");
    EXPECT_EQ(SnippetDialog::instance<frmTime>(), nullptr);
    EXPECT_TRUE(w->isEnabled());
    list = openTime();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 9);
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "app/frmmain.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "validator/frmvalidator.h"

namespace {

const QString E = QStringLiteral("\r\n\r\n");

// Records the validator's captions and the bar's (maximum, value) pairs during a run.
class RunWatcher : public QObject {
public:
    explicit RunWatcher(frmValidator* v) : v_(v) {
        v->installEventFilter(this);
        connect(v->barValidate, &QProgressBar::valueChanged, this, [this](int value) {
            bar.append({v_->barValidate->maximum(), value});
        });
    }
    QStringList captions;
    QVector<std::pair<int, int>> bar;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == v_ && e->type() == QEvent::WindowTitleChange)
            captions << v_->windowTitle();
        return false;
    }

private:
    frmValidator* v_;
};

class ValidatorWindow : public MainWindowTest {
protected:
    void TearDown() override {
        if (frmValidator* v = frmValidator::instance())
            v->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w->txtCode()->SetModified(false);
    }

    frmValidator* openFromMenu() {
        menuItem(*w, "mnuValidate")->trigger();
        frmValidator* v = frmValidator::instance();
        if (v)
            waitUntil([v] { return v->isVisible(); });
        return v;
    }

    // Runs the checks by clicking Validate; returns the summary box's text.
    QString run(frmValidator* v) {
        const int before = d.messages().size();
        QTest::mouseClick(v->cmdValidate, Qt::LeftButton);
        EXPECT_EQ(d.messages().size(), before + 1);
        return d.messages().isEmpty() ? QString() : d.messages().last();
    }

    static QString shown(const QString& report) {
        return QString(report).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
};

TEST_F(ValidatorWindow, OpensFromTheFileMenuInItsDesignState) {
    frmValidator* v = openFromMenu();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->objectName(), "frmValidator");
    EXPECT_EQ(v->windowTitle(), "VALiDATOR");
    EXPECT_TRUE(v->isWindow());
    EXPECT_EQ(v->parentWidget(), nullptr);
    EXPECT_FALSE(v->isModal());
    EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(v->isEnabled());
    EXPECT_EQ(v->fraProgress->title(), "Progress");
    EXPECT_EQ(v->FraResults->title(), "Results");
    EXPECT_EQ(v->lblScanning->text(), "");
    EXPECT_EQ(v->txtValidate->toPlainText(), "");
    EXPECT_EQ(v->cmdCancel->text(), "Cancel");
    EXPECT_EQ(v->cmdValidate->text(), "Validate");
    EXPECT_TRUE(v->cmdCancel->isEnabled());
    EXPECT_TRUE(v->cmdValidate->isEnabled());
    EXPECT_EQ(v->txtValidate->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    // A second opening shows the same window.
    EXPECT_EQ(openFromMenu(), v);
}

TEST_F(ValidatorWindow, RunOnAPageWithFindings) {
    const QString page = "<html>\r\n<head><title>T</title>\r\n<body>\r\n<p>one<p>two</p>\r\n"
                         "<table><tr><td>x</td></table>\r\n<!-- a <!-- b -->\r\n</body>\r\n";
    w->txtCode()->SetText(page);
    frmValidator* v = openFromMenu();
    ASSERT_NE(v, nullptr);
    RunWatcher watch(v);

    // The second "<!--" has no ">" of its own: one more "<" than ">".
    const QString expected = "Difference: You have 16 < sign(s) and 15 > sign(s)...you either "
                             "forgot to enclose your tags between <...> or you're trying to enter "
                             "a text with the < or > signs instead of the special characters "
                             "&lt;(less then) and &gt;(greater then)..." +
                             E + "</html> close tag is missing...." + E +
                             "</head> close tag is missing...." + E +
                             "I found 1 <p> open tag(s) without a close tag </p>" + E +
                             "I found 1 <tr> open tag(s) without a close tag </tr>" + E +
                             "I found 1 <!-- (comment)open tag(s) without a close tag -->" + E;

    bool inspected = false;
    d.onMessage = [&](const ScriptedDialogs::Call& c) {
        inspected = true;
        // The box comes after the report, the beep and the default pointer; the buttons wait.
        EXPECT_EQ(c.title, "VALiDATOR");
        EXPECT_EQ(c.icon, Dialogs::Icon::Information);
        EXPECT_EQ(c.buttons, Dialogs::Buttons::Ok);
        EXPECT_FALSE(v->cmdValidate->isEnabled());
        EXPECT_FALSE(v->cmdCancel->isEnabled());
        EXPECT_EQ(v->lblScanning->text(), "Finished...");
        EXPECT_EQ(v->windowTitle(), "Finished...");
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(v->report().toStdString(), expected.toStdString());
        // Closing is refused while the run is still open.
        v->close();
        EXPECT_EQ(frmValidator::instance(), v);
    };
    const QString summary = run(v);
    ASSERT_TRUE(inspected);

    EXPECT_EQ(v->report().toStdString(), expected.toStdString());
    EXPECT_EQ(v->txtValidate->toPlainText(), shown(expected));

    const qint64 n = page.size();
    const QRegularExpression shape(
        QStringLiteral("^Done\\.\\.in \\d+(\\.\\d+)? minutes\r\nI've checked %1\\(Char\\) X "
                       "15\\(sections\\) = %2 Characters\\.\\.$")
            .arg(n)
            .arg(n * 15));
    EXPECT_TRUE(shape.match(summary).hasMatch()) << summary.toStdString();

    QStringList captions = {"Scanning... <> Tag",        "Scanning... HTML Tags",
                            "Scanning... HEAD Tags",     "Scanning... TITLE Tags",
                            "Scanning... BODY Tags",     "Scanning... 1 Letter Tags",
                            "Scanning... 2 Letter Tags", "Scanning... 3 Letter Tags",
                            "Scanning... 4 Letter Tags", "Scanning... 5 Letter Tags",
                            "Scanning... 6 Letter Tags", "Scanning... 7 Letter Tags",
                            "Scanning... 8 Letter Tags", "Scanning... 10 Letter Tags",
                            "Scanning... Comment Tags",  "Finished..."};
    EXPECT_EQ(watch.captions, captions);

    // Each check moves the bar from 0 to the text's length.
    int completed = 0;
    for (const auto& [maximum, value] : watch.bar) {
        EXPECT_LE(value, maximum);
        if (maximum == n && value == n)
            ++completed;
    }
    EXPECT_EQ(completed, 15);
    EXPECT_EQ(v->barValidate->maximum(), n);
    EXPECT_EQ(v->barValidate->value(), n);

    EXPECT_TRUE(v->cmdValidate->isEnabled());
    EXPECT_TRUE(v->cmdCancel->isEnabled());
    EXPECT_FALSE(v->isRunning());
    EXPECT_FALSE(w->isEnabled());
    EXPECT_EQ(w->txtCode()->Text(), page); // never changes the document
}

TEST_F(ValidatorWindow, CleanPageAndASecondRunDiscardsTheFirstReport) {
    w->txtCode()->SetText("<p>");
    frmValidator* v = openFromMenu();
    ASSERT_NE(v, nullptr);
    run(v);
    EXPECT_TRUE(v->report().contains("<p> open tag(s)"));

    w->txtCode()->SetText("<html><head><title>t</title></head>\r\n<body><p>x</p></body></html>");
    run(v);
    EXPECT_EQ(v->report(), "No Errors Detected!");
    EXPECT_EQ(v->txtValidate->toPlainText(), "No Errors Detected!");
    EXPECT_EQ(v->windowTitle(), "Finished...");
}

TEST_F(ValidatorWindow, EmptyDocumentRunsToTheEnd) {
    w->txtCode()->SetText(QString());
    frmValidator* v = openFromMenu();
    ASSERT_NE(v, nullptr);
    const QString summary = run(v);
    EXPECT_TRUE(summary.endsWith("\r\nI've checked 0(Char) X 15(sections) = 0 Characters.."))
        << summary.toStdString();
    EXPECT_EQ(v->report(), "<html></html> open and close tags are missing..." + E +
                               "<head></head> open and close tags are missing..." + E +
                               "<title></title> open and close tags are missing..." + E +
                               "<body></body> open and close tags are missing..." + E);
    // An empty bar, not the busy animation of an empty range.
    EXPECT_EQ(v->barValidate->value(), v->barValidate->minimum());
    EXPECT_LT(v->barValidate->minimum(), v->barValidate->maximum());
    EXPECT_EQ(v->lblScanning->text(), "Finished...");
}

TEST_F(ValidatorWindow, SummaryCounts1234Characters) {
    w->txtCode()->SetText(QString(1234, QLatin1Char('x')));
    frmValidator* v = openFromMenu();
    ASSERT_NE(v, nullptr);
    const QString summary = run(v);
    EXPECT_TRUE(summary.endsWith("\r\nI've checked 1234(Char) X 15(sections) = 18510 Characters.."))
        << summary.toStdString();
    EXPECT_TRUE(summary.startsWith("Done..in "));
}

TEST_F(ValidatorWindow, LongReportGetsAScrollBar) {
    QString page;
    for (const char* e : {"p", "a", "b", "i", "s", "u", "dl", "em", "h1", "h2", "h3", "div"})
        page += QStringLiteral("<%1>").arg(QLatin1String(e));
    w->txtCode()->SetText(page);
    frmValidator* v = openFromMenu();
    ASSERT_NE(v, nullptr);
    run(v);
    EXPECT_TRUE(v->report().endsWith("<div> open tag(s) without a close tag </div>" + E));
    QScrollBar* bar = v->txtValidate->verticalScrollBar();
    EXPECT_TRUE(waitUntil([bar] { return bar->isVisible() && bar->maximum() > 0; }));
}

struct CloseWay {
    const char* label;
    bool byCancel;
};

void PrintTo(const CloseWay& c, std::ostream* os) {
    *os << c.label;
}

class ValidatorClosing : public ValidatorWindow, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(ValidatorClosing, EnablesTheMainWindowAndUnloads) {
    w->txtCode()->SetText("<p>");
    frmValidator* v = openFromMenu();
    ASSERT_NE(v, nullptr);
    run(v);
    QPointer<frmValidator> old(v);
    if (GetParam().byCancel)
        QTest::mouseClick(v->cmdCancel, Qt::LeftButton);
    else
        v->close(); // the window's close control
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(frmValidator::instance(), nullptr);
    EXPECT_TRUE(waitUntil([&old] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return old.isNull();
    }));

    // The next opening starts from the design state.
    frmValidator* again = openFromMenu();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->windowTitle(), "VALiDATOR");
    EXPECT_EQ(again->lblScanning->text(), "");
    EXPECT_EQ(again->txtValidate->toPlainText(), "");
    EXPECT_EQ(again->report(), "");
    EXPECT_FALSE(w->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Ways, ValidatorClosing,
                         ::testing::Values(CloseWay{"Cancel", true},
                                           CloseWay{"CloseControl", false}),
                         NameFrom<&CloseWay::label>());

} // namespace

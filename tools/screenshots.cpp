// SPDX-License-Identifier: GPL-3.0-or-later
// Takes the screenshots of the user guide from the real editor: it drives the main window
// through its menu commands as a user would, answers the file and colour choosers itself,
// and saves what the screen shows as PNG files. Run it on an X display (scripts/screenshots
// starts one with xvfb-run). A window that this build does not have is skipped with a note.
//
// Usage: verrindel_screenshots [--all] OUTPUT_FOLDER
//   --all  fail (exit status 1) unless every screenshot was taken
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTextStream>
#include <QThread>
#include <QToolTip>
#include <QTreeView>
#include <QWebEngineView>
#include <cstdio>
#include <functional>
#include <optional>

#include "app/frmmain.h"
#include "app/previewschemeregistration.h"
#include "app/problems.h"
#include "editor/txtcode.h"
#include "shell/modaldialogs.h"

namespace {

QTextStream out(stdout);

// Answers the editor's questions and choosers without showing them: OK boxes are
// acknowledged, questions declined, the open-file chooser picks the prepared picture and
// the colour chooser a light yellow.
class ScreenshotDialogs : public Dialogs {
public:
    QString picture;

    Answer message(QWidget*, const QString& text, const QString&, Buttons buttons, Icon) override {
        out << "  message: " << QString(text).replace(QLatin1String("\r\n"), QLatin1String(" "))
            << Qt::endl;
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }
    std::optional<QString> openFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return picture;
    }
    std::optional<QString> saveFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
    std::optional<int> chooseColor(QWidget*, const QString&, int) override {
        if (!colors.isEmpty())
            return colors.takeFirst();
        return bgr(0xFF, 0xFF, 0x80);
    }
    // The colours the chooser picks next, in order.
    QList<int> colors;

    static int bgr(int r, int g, int b) { return r | (g << 8) | (b << 16); }
    bool setUpPrinter(QWidget*, QPrinter*) override { return false; }
};

void settle(int ms = 400) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

// A picture for the image dialog: a small landscape painted here.
QString paintPicture(const QString& folder) {
    QImage image(360, 240, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 240);
    sky.setColorAt(0, QColor(0x6f, 0xa8, 0xdc));
    sky.setColorAt(1, QColor(0xd8, 0xec, 0xf8));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd2, 0x4a));
    p.drawEllipse(QPointF(280, 60), 28, 28);
    QPainterPath far;
    far.moveTo(0, 170);
    far.cubicTo(90, 120, 160, 150, 220, 140);
    far.cubicTo(290, 128, 330, 150, 360, 145);
    far.lineTo(360, 240);
    far.lineTo(0, 240);
    p.setBrush(QColor(0x5d, 0x9b, 0x4f));
    p.drawPath(far);
    QPainterPath near;
    near.moveTo(0, 200);
    near.cubicTo(120, 170, 220, 215, 360, 190);
    near.lineTo(360, 240);
    near.lineTo(0, 240);
    p.setBrush(QColor(0x3e, 0x7a, 0x36));
    p.drawPath(near);
    p.end();
    const QString path = QDir(folder).filePath(QStringLiteral("allotment.jpg"));
    image.save(path, "JPG", 92);
    return path;
}

class Session {
public:
    explicit Session(const QString& folder) : folder_(folder) {}

    frmMain* window = nullptr;
    int saved = 0;
    int skipped = 0;
    int failed = 0;

    // A menu item of the main window.
    QAction* action(QAction* MenuActions::*item) const { return window->menuActions().*item; }

    // Triggers a menu command of the main window and lets it settle.
    void trigger(QAction* MenuActions::*item) {
        action(item)->trigger();
        settle(200);
    }

    // The visible top-level window with this objectName, or nullptr.
    static QWidget* topLevel(const QString& name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible())
                return w;
        return nullptr;
    }

    // Opens a window through a menu command; nullptr (with a note) when it does not appear.
    QWidget* open(QAction* MenuActions::*command, const char* windowName) {
        trigger(command);
        const QString name = QString::fromLatin1(windowName);
        QWidget* w = nullptr;
        waitFor([&] { return (w = topLevel(name)) != nullptr; }, 3000);
        if (!w) {
            out << "  note: " << action(command)->objectName() << " opened no window " << windowName
                << Qt::endl;
            return nullptr;
        }
        // Where a window manager would put it: centred over the main window.
        const QRect main = window->geometry();
        w->move(main.center() - QPoint(w->width() / 2, w->height() / 2));
        settle();
        return w;
    }

    // Closes a secondary window the way the user would: its Cancel button, else its
    // close control.
    static void dismiss(QWidget* w) {
        if (!w)
            return;
        for (const char* name : {"cmdCancel", "cmdFindcancel"}) {
            auto* b = w->findChild<QAbstractButton*>(QString::fromLatin1(name));
            if (b && b->isVisible() && b->isEnabled()) {
                b->click();
                settle(200);
                if (!w->isVisible())
                    return;
            }
        }
        w->close();
        settle(200);
    }

    // Saves the part of the screen covered by the given windows, each drawn with a plain
    // title bar and border (the virtual display has no window manager to draw them).
    void shoot(const QString& file, const QString& what, std::initializer_list<QWidget*> windows) {
        constexpr int kTitle = 28;
        QScreen* screen = QGuiApplication::primaryScreen();
        settle(300);
        const QPixmap desktop = screen->grabWindow(0);
        QRect canvasRect;
        for (QWidget* w : windows)
            if (w)
                canvasRect |= w->frameGeometry().adjusted(-1, -kTitle - 1, 1, 1);
        QPixmap canvas(canvasRect.size());
        canvas.fill(Qt::transparent);
        QPainter p(&canvas);
        p.translate(-canvasRect.topLeft());
        QFont captionFont = QApplication::font();
        captionFont.setBold(true);
        p.setFont(captionFont);
        for (QWidget* w : windows) {
            if (!w)
                continue;
            const QRect r = w->frameGeometry() & screen->geometry();
            const QRect bar(r.x() - 1, r.y() - kTitle - 1, r.width() + 2, kTitle + 1);
            p.fillRect(bar, QColor(0x2b, 0x30, 0x3b));
            p.setPen(QColor(0xee, 0xf0, 0xf4));
            p.drawText(bar.adjusted(12, 0, -70, 0), Qt::AlignVCenter | Qt::AlignLeft,
                       w->windowTitle());
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            const QColor buttons[] = {QColor(0x8a, 0x92, 0xa3), QColor(0x8a, 0x92, 0xa3),
                                      QColor(0xe0, 0x5d, 0x44)};
            for (int i = 0; i < 3; ++i) {
                p.setBrush(buttons[i]);
                p.drawEllipse(QPointF(bar.right() - 16 - (2 - i) * 20, bar.center().y() + 0.5), 6,
                              6);
            }
            p.setRenderHint(QPainter::Antialiasing, false);
            p.drawPixmap(r.topLeft(), desktop, r);
            p.setPen(QColor(0x2b, 0x30, 0x3b));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(-1, -1, 0, 0));
        }
        p.end();
        const QString path = QDir(folder_).filePath(file);
        if (desktop.isNull() || !canvas.save(path)) {
            out << "  FAILED to save " << path << Qt::endl;
            ++failed;
            return;
        }
        ++saved;
        out << "saved " << path << " (" << what << ", " << canvas.width() << "x" << canvas.height()
            << ")" << Qt::endl;
    }

    void skip(const QString& what) {
        ++skipped;
        out << "skipped: " << what << Qt::endl;
    }

    // Sets a line edit of a window as the user types it.
    static bool typeInto(QWidget* w, const char* name, const QString& text) {
        auto* edit = w->findChild<QLineEdit*>(QString::fromLatin1(name));
        if (!edit)
            return false;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        return true;
    }

    static bool click(QWidget* w, const char* name) {
        auto* b = w->findChild<QAbstractButton*>(QString::fromLatin1(name));
        if (!b || !b->isEnabled())
            return false;
        b->click();
        settle(200);
        return true;
    }

    static QString textOf(QWidget* w) {
        if (auto* p = qobject_cast<QPlainTextEdit*>(w))
            return p->toPlainText();
        if (auto* t = qobject_cast<QTextEdit*>(w))
            return t->toPlainText();
        if (auto* l = qobject_cast<QLineEdit*>(w))
            return l->text();
        return QString();
    }

private:
    QString folder_;
};

const char* const kPage[] = {
    "<!DOCTYPE html>",
    "<html>",
    "<head>",
    "<title>Allotment news</title>",
    "<!-- The spring letter to the members -->",
    "<style>",
    "body { font-family: sans-serif; margin: 2em; background: #fffff0; }",
    "td { padding: 4px 12px; }",
    "</style>",
    "</head>",
    "<body>",
    "<h1>Hello from the allotment</h1>",
    "<p>The first <b>broad beans</b> are up, and the <a href='https://example.org/shed' "
    "target='_blank'>new shed</a> has a roof.",
    "<p>This month's jobs, by plot:</p>",
    "",
    "<p><i>See you on Saturday!</i></p>",
    "</body>",
    "</html>",
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerPreviewScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VERRiNDEL"));
    QStringList args = QApplication::arguments().mid(1);
    const bool requireAll = args.removeAll(QStringLiteral("--all")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: %s [--all] OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QDir(args.first()).absolutePath();
    QDir().mkpath(folder);
    QTemporaryDir scratch;
    // Settings of this run's own: every aid as a first start has it.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());

    ScreenshotDialogs answers;
    answers.picture = paintPicture(scratch.path());
    setDialogs(&answers);

    Session s(folder);
    frmMain window;
    s.window = &window;
    window.setGeometry(QRect(QPoint(200, 120), QSize(1000, 700)));
    window.show();
    settle(800);

    // A page typed by the user, with the caret on the empty line for the table.
    QStringList lines;
    for (const char* line : kPage)
        lines << QString::fromUtf8(line);
    TxtCode* editor = window.txtCode();
    editor->SetText(lines.join(QStringLiteral("\r\n")));
    const int tableLine = lines.indexOf(QString());
    editor->SetSelStart(editor->LineStart(tableLine));
    editor->SetSelLength(0);
    settle();

    // The table dialog, filled in, then its Insert.
    if (QWidget* table = s.open(&MenuActions::mnuTable, "frmTable")) {
        Session::typeInto(table, "txtRows", QStringLiteral("3"));
        Session::typeInto(table, "txtColumns", QStringLiteral("2"));
        Session::typeInto(table, "txtBorder", QStringLiteral("1"));
        s.shoot(QStringLiteral("table-dialog.png"), QStringLiteral("the table dialog"),
                {&window, table});
        if (!Session::click(table, "cmdInsert"))
            Session::dismiss(table);
        settle();
        if (table->isVisible())
            Session::dismiss(table);
    } else {
        s.skip(QStringLiteral("the table dialog"));
    }

    // The highlighted page on the Code tab.
    editor->SetSelStart(0);
    editor->SetSelLength(0);
    s.trigger(&MenuActions::mnuHighlight);
    s.shoot(QStringLiteral("code-tab.png"), QStringLiteral("the highlighted page"), {&window});

    // The View menu open beside the line numbers, its Line Numbers checked.
    if (QMenu* view = window.menuActions().mnuView) {
        editor->SetSelStart(editor->LineStart(tableLine));
        const QRect title = window.menuBar()->actionGeometry(view->menuAction());
        view->popup(window.menuBar()->mapToGlobal(title.bottomLeft()));
        waitFor([&] { return view->isVisible(); }, 3000);
        view->setActiveAction(window.menuActions().mnuLineNumbers);
        // The menu lies over the window: the window's part of the screen holds it.
        s.shoot(QStringLiteral("line-numbers.png"),
                QStringLiteral("line numbers and the View menu"), {&window});
        view->hide();
        editor->SetSelStart(0);
        settle();
    }

    // The caret in a start tag: the tag and its end tag marked as a pair.
    const int anchor = editor->Text().indexOf(QStringLiteral("<a href"));
    if (anchor >= 0) {
        editor->SetFocus();
        editor->SetSelStart(anchor + 1);
        editor->SetSelLength(0);
        settle();
        s.shoot(QStringLiteral("matched-pair.png"), QStringLiteral("a matched pair of tags"),
                {&window});
    } else {
        s.skip(QStringLiteral("a matched pair of tags"));
    }

    // A selection highlighted in a colour of the user's choice (the editor's popup menu).
    const int heading = editor->Text().indexOf(QStringLiteral("Hello from the allotment"));
    if (heading >= 0) {
        editor->SetSelStart(heading);
        editor->SetSelLength(int(QStringLiteral("Hello from the allotment").size()));
        settle(); // the popup menu's commands follow the selection
        answers.colors = {ScreenshotDialogs::bgr(0xfc, 0xe9, 0x4f)};
        if (!s.action(&MenuActions::PopHighLight)->isEnabled())
            out << "  note: PopHighLight stays disabled with text selected" << Qt::endl;
        s.trigger(&MenuActions::PopHighLight);
        editor->SetSelStart(0);
        editor->SetSelLength(0);
        s.shoot(QStringLiteral("highlighted-text.png"), QStringLiteral("highlighted text"),
                {&window});
    } else {
        s.skip(QStringLiteral("highlighted text"));
    }

    // The Preview tab, once the page has been rendered.
    window.tsMain()->setCurrentIndex(1);
    auto* view = window.findChild<QWebEngineView*>();
    bool loaded = false;
    if (view) {
        QObject::connect(view, &QWebEngineView::loadFinished, [&loaded](bool) { loaded = true; });
        waitFor([&] { return loaded; }, 15000);
    }
    if (view && loaded) {
        settle(1500);
        s.shoot(QStringLiteral("preview-tab.png"), QStringLiteral("the Preview tab"), {&window});
    } else {
        s.skip(QStringLiteral("the Preview tab (the page did not load)"));
    }
    window.tsMain()->setCurrentIndex(0);
    settle();

    // The live preview window beside the main window, after an edit typed on the Code tab.
    QAction* live = s.action(&MenuActions::mnuLivePreview);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
    live->trigger();
    QWidget* preview = Session::topLevel(QStringLiteral("frmLivePreview"));
    auto* liveView = preview ? preview->findChild<QWebEngineView*>() : nullptr;
    bool liveLoaded = false;
    if (liveView) {
        // Side by side: the main window narrowed to make room on the screen.
        window.setGeometry(QRect(QPoint(20, 120), QSize(760, 700)));
        preview->setGeometry(QRect(QPoint(800, 120), QSize(560, 700)));
        QObject::connect(liveView, &QWebEngineView::loadFinished,
                         [&liveLoaded](bool ok) { liveLoaded = liveLoaded || ok; });
        waitFor([&] { return liveLoaded; }, 15000);
        liveLoaded = false;
        const QString typed = QStringLiteral(" and the orchard");
        const int at = qMax(0, int(editor->Text().indexOf(QStringLiteral("</h1>"))));
        editor->SetSelStart(at);
        editor->SetSelLength(0);
        editor->setFocus();
        QTest::keyClicks(editor, typed);
        waitFor([&] { return liveLoaded; }, 15000);
        settle(1500);
        if (liveLoaded)
            s.shoot(QStringLiteral("live-preview.png"), QStringLiteral("the live preview window"),
                    {&window, preview});
        // The later pictures show the page as it was.
        editor->SetSelStart(at);
        editor->SetSelLength(int(typed.size()));
        editor->SetSelText(QString());
    }
    if (!liveLoaded)
        s.skip(QStringLiteral("the live preview window (the page did not load)"));
    live->trigger();
    window.setGeometry(QRect(QPoint(200, 120), QSize(1000, 700)));
    settle();

    // The Problems pane below the editor, after two mistakes typed into the page, with the
    // mouse resting on the squiggle of one.
    {
        Problems* problems = window.problems();
        const QString typed =
            QStringLiteral("<p>Bring <b>gloves <i>and</b> seeds</i> <img src='beans.jpg'></p>\r\n");
        const int at = qMax(0, int(editor->Text().indexOf(QStringLiteral("<p><i>See you"))));
        editor->SetSelStart(at);
        editor->SetSelText(typed);
        const int shown = problems->checksShown();
        s.action(&MenuActions::mnuProblems)->trigger();
        waitFor([&] { return problems->checksShown() > shown && !problems->busy(); }, 15000);
        const int img = at + int(typed.indexOf(QStringLiteral("<img")));
        // Its last row chosen: the caret goes to the <img> and the view follows.
        if (frmProblems* pane = problems->pane()) {
            QAbstractItemModel* rows = pane->lstProblems->model();
            if (rows->rowCount() > 0) {
                const QModelIndex last = rows->index(rows->rowCount() - 1, 0);
                pane->lstProblems->setCurrentIndex(last);
                problems->lstProblems_Activated(last);
            }
        }
        settle();
        const long byte = long(editor->toBytePos(img + 3));
        const QPoint point(
            int(editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, byte)),
            int(editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, byte)) + 6);
        editor->setFocus();
        QTest::mouseMove(editor->viewport(), point);
        waitFor([] { return QToolTip::isVisible(); }, 3000);
        settle(300);
        if (problems->checksShown() > shown)
            s.shoot(QStringLiteral("problems.png"), QStringLiteral("the Problems pane"), {&window});
        else
            s.skip(QStringLiteral("the Problems pane (no findings came)"));
        QToolTip::hideText();
        QTest::mouseMove(window.tsMain(), QPoint(2, 2));
        s.action(&MenuActions::mnuProblems)->trigger();
        // The later pictures show the page as it was.
        editor->SetSelStart(at);
        editor->SetSelLength(int(typed.size()));
        editor->SetSelText(QString());
        settle();
    }

    // The validator with the report of a run.
    if (QWidget* validator = s.open(&MenuActions::mnuValidate, "frmValidator")) {
        QWidget* report = validator->findChild<QWidget*>(QStringLiteral("txtValidate"));
        if (Session::click(validator, "cmdValidate") && report)
            waitFor([&] { return !Session::textOf(report).isEmpty(); }, 20000);
        settle();
        s.shoot(QStringLiteral("validator.png"), QStringLiteral("the validator"),
                {&window, validator});
        Session::dismiss(validator);
    } else {
        s.skip(QStringLiteral("the validator"));
    }

    // Find and replace, with the first match selected in the editor.
    if (QWidget* find = s.open(&MenuActions::mnuReplace, "frmFind")) {
        Session::typeInto(find, "txtFind", QStringLiteral("allotment"));
        Session::typeInto(find, "txtReplace", QStringLiteral("garden"));
        Session::click(find, "cmdFindnext");
        s.shoot(QStringLiteral("find-replace.png"), QStringLiteral("find and replace"),
                {&window, find});
        Session::dismiss(find);
    } else {
        s.skip(QStringLiteral("find and replace"));
    }

    // The image dialog with a picture chosen and previewed.
    if (QWidget* image = s.open(&MenuActions::mnuImage, "frmImage")) {
        Session::click(image, "cmdFile");
        settle();
        s.shoot(QStringLiteral("image-dialog.png"), QStringLiteral("the image dialog"),
                {&window, image});
        Session::dismiss(image);
    } else {
        s.skip(QStringLiteral("the image dialog"));
    }

    // The colours dialog.
    if (QWidget* colors = s.open(&MenuActions::mnuColors, "frmColors")) {
        answers.colors = {
            ScreenshotDialogs::bgr(0x2e, 0x5e, 0x2e), ScreenshotDialogs::bgr(0x1a, 0x5f, 0xb4),
            ScreenshotDialogs::bgr(0xc0, 0x1c, 0x28), ScreenshotDialogs::bgr(0x81, 0x3d, 0x9c),
            ScreenshotDialogs::bgr(0xff, 0xfb, 0xe6)};
        for (const char* button : {"cmdNormalSelect", "cmdLinkSelect", "cmdActiveSelect",
                                   "cmdVisitedSelect", "cmdBackgroundSelect"})
            Session::click(colors, button);
        s.shoot(QStringLiteral("colors-dialog.png"), QStringLiteral("the colours dialog"),
                {&window, colors});
        Session::dismiss(colors);
    } else {
        s.skip(QStringLiteral("the colours dialog"));
    }

    out << s.saved << " screenshots saved, " << s.skipped << " skipped" << Qt::endl;
    setDialogs(nullptr);
    window.hide();
    if (requireAll)
        return s.skipped == 0 && s.failed == 0 ? 0 : 1;
    return s.saved > 0 ? 0 : 1;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The Preview tab and the live preview window in the real browser engine: the preview
// file is written, rendered and deleted as the tabs are clicked; the page's own pictures
// and styles load from the document's folder and nothing else local can be read; the
// live window follows the typing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QNetworkInterface>
#include <QScreen>
#include <QSettings>
#include <QTabBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <sys/stat.h>

#include "app/document.h"
#include "app/frmlivepreview.h"
#include "app/frmmain.h"
#include "app/livepreview.h"
#include "app/preview.h"
#include "app/previewbrowser.h"
#include "app/previewscheme.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

// The value of a script run in the page, once the engine has answered.
QVariant evalJs(QWebEngineView* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    waitUntil([&] { return done; }, 30000);
    return result;
}

// Waits until the view shows a page titled `title` that has finished loading.
bool waitForPage(QWebEngineView* view, const QString& title) {
    return waitUntil(
        [&] {
            return view->title() == title &&
                   evalJs(view, QStringLiteral("document.readyState")).toString() ==
                       QStringLiteral("complete");
        },
        30000);
}

// A picture of the given size.
bool writePicture(const QString& path, int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::red);
    return img.save(path);
}

// The main window with the program folder (where the preview file goes) in the fixture's
// temporary folder.
class PreviewTab : public MainWindowTest {
protected:
    void SetUp() override {
        // Where the live window remembers its place: a folder of this test's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        MainWindowTest::SetUp();
        w->preview()->setProgramFolder(dir.path());
    }
    // The main window goes while the settings folder is still there.
    void TearDown() override { w.reset(); }
    void clickTab(int index) {
        QTabBar* tabs = w->tsMain();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
    QString previewFile() const { return dir.filePath(QStringLiteral("meh.html")); }
    QWebEngineView* browser() const { return w->preview()->browser(); }

    QTemporaryDir settingsDir;
};

TEST_F(PreviewTab, CodePreviewCodeWritesRendersAndDeletesThePreviewFile) {
    w->txtCode()->SetText(QStringLiteral("<html><head><title>Hello preview</title></head>"
                                         "<body><p>caf\u00e9</p></body></html>"));
    w->txtCode()->SetModified(false);
    w->txtCode()->SetSelStart(0);
    w->txtCode()->SetSelLength(6);
    w->txtCode()->SetSelColor(16711680);

    clickTab(1);
    ASSERT_TRUE(QFile::exists(previewFile()));
    QFile f(previewFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), w->txtCode()->Text()) << "plain text only";
    f.close();
    EXPECT_FALSE(w->txtCode()->isVisible());
    ASSERT_NE(w->preview()->browser(), nullptr);
    EXPECT_EQ(w->preview()->browser()->objectName(), QStringLiteral("wbPreview"));
    EXPECT_TRUE(w->preview()->browser()->isVisible());
    EXPECT_TRUE(waitUntil(
        [&] { return w->preview()->browser()->title() == QStringLiteral("Hello preview"); },
        30000));
    EXPECT_FALSE(w->txtCode()->Modified()) << "the preview never changes the document";
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Untitled"));

    clickTab(0);
    EXPECT_FALSE(QFile::exists(previewFile()));
    EXPECT_TRUE(w->txtCode()->isVisible());
    EXPECT_FALSE(w->preview()->browser()->isVisible());
}

TEST_F(PreviewTab, ClickingPreviewAgainShowsTheTextOfThatMoment) {
    w->txtCode()->SetText(QStringLiteral("<title>one</title>"));
    clickTab(1);
    ASSERT_TRUE(waitUntil([&] { return w->preview()->browser()->title() == QStringLiteral("one"); },
                          30000));
    // A command inserts into the hidden editor; the next click on Preview shows it.
    w->txtCode()->SetText(QStringLiteral("<title>two</title>"));
    clickTab(1);
    EXPECT_TRUE(waitUntil([&] { return w->preview()->browser()->title() == QStringLiteral("two"); },
                          30000));
}

TEST_F(PreviewTab, CodeBeforeAnyPreviewAndAnEmptyDocumentAreFine) {
    clickTab(0);
    EXPECT_TRUE(d.calls.isEmpty());
    clickTab(1);
    QFile f(previewFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), 0);
    EXPECT_TRUE(d.calls.isEmpty());
}

TEST_F(PreviewTab, AnUnwritableProgramFolderStillPreviews) {
    // A "folder" that is a regular file cannot hold the preview, even for root.
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    ASSERT_TRUE(writeBytes(notAFolder, QByteArray()));
    w->preview()->setProgramFolder(notAFolder);
    w->txtCode()->SetText(QStringLiteral("<title>fallback</title>"));
    clickTab(1);
    const QString used = w->preview()->lastFile();
    EXPECT_FALSE(used.startsWith(notAFolder));
    EXPECT_TRUE(QFile::exists(used));
    EXPECT_TRUE(d.calls.isEmpty());
    EXPECT_TRUE(waitUntil(
        [&] { return w->preview()->browser()->title() == QStringLiteral("fallback"); }, 30000));
    clickTab(0);
    EXPECT_FALSE(QFile::exists(used));
}

TEST_F(PreviewTab, AnUntitledPagesRelativePictureIsNotFound) {
    // An untitled document has no folder: a picture beside the preview file (in the
    // program's folder) is not the page's.
    ASSERT_TRUE(writePicture(dir.filePath(QStringLiteral("dot.png")), 4, 4));
    w->txtCode()->SetText(QStringLiteral("<html><body><img id='i' src='dot.png' "
                                         "onload=\"document.title='loaded ' + this.naturalWidth\" "
                                         "onerror=\"document.title='failed'\"></body></html>"));
    clickTab(1);
    EXPECT_TRUE(waitUntil(
        [&] {
            const QString t = browser()->title();
            return t == QStringLiteral("failed") || t.startsWith(QStringLiteral("loaded"));
        },
        30000));
    EXPECT_EQ(browser()->title(), QStringLiteral("failed"));
}

// A saved site: the document in a folder with an awkward name (spaces, "#", "%", an
// accent), its picture in a subfolder, style sheets and a framed page of its own, some in
// Windows-1252 that they declare themselves.
class SavedSite : public PreviewTab {
protected:
    void SetUp() override {
        PreviewTab::SetUp();
        site = QDir(outer.path()).filePath(QStringLiteral("my site #1 %20 caf\u00e9"));
        ASSERT_TRUE(QDir().mkpath(site + QStringLiteral("/pics")));
        ASSERT_TRUE(writePicture(site + QStringLiteral("/pics/a.png"), 5, 3));
        ASSERT_TRUE(writeBytes(site + QStringLiteral("/style.css"), "p { color: rgb(1, 2, 3); }"));
        ASSERT_TRUE(writeBytes(site + QStringLiteral("/latin.css"),
                               "@charset \"windows-1252\";\n#c::after { content: \"\xE9\"; }"));
        ASSERT_TRUE(writeBytes(site + QStringLiteral("/latin.html"),
                               "<html><head><meta charset=\"windows-1252\"></head>"
                               "<body>\xE9</body></html>"));
        ASSERT_TRUE(writeBytes(site + QStringLiteral("/index.html"), "<title>on disk</title>"));
        ASSERT_TRUE(w->document()->OpenPath(site + QStringLiteral("/index.html")));
    }
    // The editor's text, which differs from the file on disk.
    void typePage(const QString& extraHead = QString()) {
        w->txtCode()->SetText(
            QStringLiteral("<html><head><title>site</title>"
                           "<link rel='stylesheet' href='style.css'>"
                           "<link rel='stylesheet' href='latin.css'>%1</head><body>"
                           "<p id='p'>text</p><span id='c'></span><img id='i' src='pics/a.png'>"
                           "<iframe id='f' src='latin.html'></iframe></body></html>")
                .arg(extraHead));
    }
    // What the page shows of its folder: picture size, a style, and the two characters
    // that came in Windows-1252.
    static QString whatLoaded(QWebEngineView* view) {
        return evalJs(view,
                      QStringLiteral(
                          "var i = document.getElementById('i');"
                          "[i.naturalWidth + 'x' + i.naturalHeight,"
                          " getComputedStyle(document.getElementById('p')).color,"
                          " getComputedStyle(document.getElementById('c'), '::after').content,"
                          " document.getElementById('f').contentDocument.body.textContent"
                          "].join('|')"))
            .toString();
    }

    QTemporaryDir outer;
    QString site;
};

TEST_F(SavedSite, PreviewShowsTheEditorsTextWithItsFoldersPicturesAndStyles) {
    typePage();
    clickTab(1);
    ASSERT_TRUE(waitForPage(browser(), QStringLiteral("site"))) << browser()->title().toStdString();
    EXPECT_EQ(whatLoaded(browser()), QStringLiteral("5x3|rgb(1, 2, 3)|\"\u00e9\"|\u00e9"));
    // The page sits at the document's own address; its bytes are still the preview file's.
    EXPECT_EQ(browser()->url().path(QUrl::FullyDecoded),
              QDir::cleanPath(site + QStringLiteral("/index.html")));
    EXPECT_TRUE(QFile::exists(previewFile()));
    EXPECT_EQ(readBytes(previewFile()), w->txtCode()->Text().toUtf8());
    clickTab(0);
    EXPECT_FALSE(QFile::exists(previewFile()));
}

TEST_F(SavedSite, RemoteStyleSheetsLoadAsInABrowser) {
    // A plain-http server on this machine's own network address (a loopback one where
    // there is none) stands in for a style-sheet CDN.
    QHostAddress address(QHostAddress::LocalHost);
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) {
            address = a;
            break;
        }
    QTcpServer server;
    ASSERT_TRUE(server.listen(address));
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* c = server.nextPendingConnection();
        QObject::connect(c, &QTcpSocket::readyRead, c, [c] {
            c->readAll();
            const QByteArray body = "#p { font-size: 31px; }";
            c->write("HTTP/1.1 200 OK\r\nContent-Type: text/css\r\nConnection: close\r\n"
                     "Content-Length: " +
                     QByteArray::number(body.size()) + "\r\n\r\n" + body);
            c->disconnectFromHost();
        });
    });
    typePage(QStringLiteral("<link rel='stylesheet' href='http://%1:%2/cdn.css'>")
                 .arg(address.toString())
                 .arg(server.serverPort()));
    clickTab(1);
    ASSERT_TRUE(waitForPage(browser(), QStringLiteral("site")));
    EXPECT_EQ(
        evalJs(browser(), QStringLiteral("getComputedStyle(document.getElementById('p')).fontSize"))
            .toString(),
        QStringLiteral("31px"));
}

// A hostile page: its script tries to read one address through a request and through a
// frame's document, and shows what it got in the title.
struct ReadAttempt {
    const char* name;
    bool titled;         // the page is a saved document in site/, else untitled
    const char* address; // %SITE% the document's folder, %PROG% the program's folder,
                         // %OUT% the folder around site/
    bool readable;
};

const ReadAttempt kReadAttempts[] = {
    // The one address that may be read: the harness sees a read when there is one.
    {"OwnFolderFile", true, "own.txt", true},
    {"OwnFolderFileByAbsoluteAddress", true, "verrindel-preview:%SITE%/own.txt", true},
    {"ProgramFolderFile", true, "verrindel-preview:%PROG%/secret.txt", false},
    {"ProgramFolderFileFromUntitledPage", false, "verrindel-preview:%PROG%/secret.txt", false},
    {"RelativeFromUntitledPage", false, "secret.txt", false},
    {"ParentThroughDotDot", true, "../secret.txt", false},
    {"ParentThroughEncodedDots", true, "%2e%2e/secret.txt", false},
    {"ParentThroughEncodedSlash", true, "..%2fsecret.txt", false},
    {"ParentThroughDoubleEncoding", true, "%252e%252e/secret.txt", false},
    {"RootRelativeAddress", true, "%OUT%/secret.txt", false},
    {"SymbolicLinkLeadingOut", true, "escape/secret.txt", false},
    {"HiddenFolderInside", true, ".private/secret.txt", false},
    {"FileUrl", true, "file://%OUT%/secret.txt", false},
    {"FileUrlFromUntitledPage", false, "file://%OUT%/secret.txt", false},
};

void PrintTo(const ReadAttempt& a, std::ostream* os) {
    *os << a.address;
}

class HostilePage : public PreviewTab, public ::testing::WithParamInterface<ReadAttempt> {};

TEST_P(HostilePage, ReadsOnlyItsOwnFolder) {
    const ReadAttempt& a = GetParam();
    QTemporaryDir out;
    const QString site = out.filePath(QStringLiteral("site"));
    ASSERT_TRUE(QDir().mkpath(site + QStringLiteral("/.private")));
    for (const QString& secret :
         {dir.filePath(QStringLiteral("secret.txt")), out.filePath(QStringLiteral("secret.txt")),
          site + QStringLiteral("/.private/secret.txt")})
        ASSERT_TRUE(writeBytes(secret, "TOPSECRET"));
    ASSERT_TRUE(writeBytes(site + QStringLiteral("/own.txt"), "OWN"));
    ASSERT_TRUE(QFile::link(out.path(), site + QStringLiteral("/escape")));
    if (a.titled) {
        ASSERT_TRUE(writeBytes(site + QStringLiteral("/index.html"), ""));
        ASSERT_TRUE(w->document()->OpenPath(site + QStringLiteral("/index.html")));
    }
    const QString address = QString::fromLatin1(a.address)
                                .replace(QStringLiteral("%SITE%"), site)
                                .replace(QStringLiteral("%PROG%"), dir.path())
                                .replace(QStringLiteral("%OUT%"), out.path());
    w->txtCode()->SetText(
        QStringLiteral(
            "<html><head><title>start</title></head><body><script>"
            "var settled = 0;"
            "function got(t) { document.title = 'read:' + t; }"
            "function failed() { if (++settled == 2 && document.title == 'start')"
            "  document.title = 'blocked'; }"
            "var x = new XMLHttpRequest();"
            "x.onload = function() { if (x.status == 200 || x.status == 0) "
            "  got(x.responseText); else failed(); };"
            "x.onerror = failed;"
            "try { x.open('GET', '%1'); x.send(); } catch (e) { failed(); }"
            "var f = document.createElement('iframe');"
            "f.onload = function() {"
            "  try { got(f.contentDocument.body.textContent); } catch (e) { failed(); } };"
            "f.src = '%1'; document.body.appendChild(f);"
            "setTimeout(function() { if (document.title == 'start') "
            "  document.title = 'blocked'; }, 5000);"
            "</script></body></html>")
            .arg(address));
    clickTab(1);
    ASSERT_TRUE(waitUntil(
        [&] {
            const QString t = browser()->title();
            return t == QStringLiteral("blocked") || t.startsWith(QStringLiteral("read:"));
        },
        30000))
        << browser()->title().toStdString();
    if (a.readable) {
        EXPECT_EQ(browser()->title(), QStringLiteral("read:OWN")) << address.toStdString();
    } else {
        EXPECT_EQ(browser()->title(), QStringLiteral("blocked")) << address.toStdString();
        EXPECT_FALSE(browser()->title().contains(QStringLiteral("TOPSECRET")));
    }
}

INSTANTIATE_TEST_SUITE_P(Addresses, HostilePage, ::testing::ValuesIn(kReadAttempts),
                         NameFrom<&ReadAttempt::name>());

TEST_F(SavedSite, LiveWindowShowsTheFoldersPicturesAndStylesToo) {
    typePage();
    menuItem(*w, "mnuLivePreview")->trigger();
    frmLivePreview* live = w->livePreview()->window();
    ASSERT_NE(live, nullptr);
    ASSERT_TRUE(waitForPage(live->wbLivePreview, QStringLiteral("site")));
    EXPECT_EQ(whatLoaded(live->wbLivePreview),
              QStringLiteral("5x3|rgb(1, 2, 3)|\"\u00e9\"|\u00e9"));
    EXPECT_FALSE(QFile::exists(previewFile())) << "the live window writes no preview file";
}

// The live preview window as the user drives it: the View menu, typing in the editor,
// scrolling the page, closing either window.
class LiveWindow : public PreviewTab {
protected:
    void SetUp() override {
        PreviewTab::SetUp();
        w->activateWindow();
        editor()->setFocus();
        ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == editor(); }));
    }
    QAction* command() const { return menuItem(*w, "mnuLivePreview"); }
    frmLivePreview* live() const { return w->livePreview()->window(); }
    // The text the live window's page shows.
    QString pageText() const {
        return evalJs(live()->wbLivePreview,
                      QStringLiteral("document.body ? document.body.textContent : ''"))
            .toString();
    }
    bool showsText(const QString& text) const {
        return waitUntil([&] { return pageText().contains(text); }, 30000);
    }
    // The keyboard is still the editor's and the main window the active one.
    bool editorHasFocus() const {
        return QApplication::focusWidget() == editor() && QApplication::activeWindow() == w.get();
    }
    // The live windows that exist, open or not yet deleted.
    static int liveWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int n = 0;
        for (QWidget* t : QApplication::topLevelWidgets())
            n += qobject_cast<frmLivePreview*>(t) != nullptr;
        return n;
    }
    void typeAtEnd(const QString& text) {
        editor()->SetSelStart(editor()->TextLength());
        QTest::keyClicks(editor(), text);
    }
};

TEST_F(LiveWindow, CtrlShiftPOpensItBesideTheEditorWithoutTakingTheFocus) {
    QAction* a = command();
    EXPECT_EQ(a->text(), QStringLiteral("Live Preview"));
    EXPECT_TRUE(a->isCheckable());
    EXPECT_FALSE(a->isChecked());
    EXPECT_EQ(a->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    EXPECT_TRUE(menuNamed(*w, "mnuView")->actions().contains(a));
    EXPECT_EQ(menuNamed(*w, "mnuView")->title(), QStringLiteral("View"));
    EXPECT_EQ(liveWindows(), 0) << "nothing exists before the command";

    editor()->SetText(QStringLiteral("<title>one</title><p>first words</p>"));
    QTest::keyClick(editor(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(live(), nullptr);
    EXPECT_TRUE(a->isChecked());
    EXPECT_EQ(live()->objectName(), QStringLiteral("frmLivePreview"));
    EXPECT_EQ(live()->windowTitle(), QStringLiteral("Live Preview"));
    EXPECT_TRUE(live()->isWindow());
    EXPECT_EQ(live()->parentWidget(), nullptr);
    EXPECT_FALSE(live()->isModal());
    EXPECT_TRUE(live()->isVisible());
    EXPECT_EQ(live()->wbLivePreview->objectName(), QStringLiteral("wbLivePreview"));
    EXPECT_TRUE(w->isEnabled()) << "the main window is never disabled";
    QScreen* screen = QGuiApplication::primaryScreen();
    EXPECT_TRUE(screen->availableGeometry().contains(live()->geometry()));
    EXPECT_TRUE(showsText(QStringLiteral("first words"))) << pageText().toStdString();
    EXPECT_TRUE(editorHasFocus());
    // The typing goes on in the editor.
    typeAtEnd(QStringLiteral("x"));
    EXPECT_TRUE(editor()->Text().endsWith(QLatin1Char('x')));
    EXPECT_EQ(editor()->Text().count(QLatin1Char('x')), 1);
}

TEST_F(LiveWindow, FollowsThreeEditsWhileTheFocusStaysInTheEditor) {
    editor()->SetText(QStringLiteral("<body>start"));
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    ASSERT_TRUE(showsText(QStringLiteral("start")));
    QString shown = QStringLiteral("start");
    for (const QString& word :
         {QStringLiteral(" alpha"), QStringLiteral(" beta"), QStringLiteral(" gamma")}) {
        typeAtEnd(word);
        shown += word;
        EXPECT_TRUE(showsText(shown)) << pageText().toStdString();
        EXPECT_TRUE(editorHasFocus()) << word.toStdString();
    }
    EXPECT_EQ(pageText(), QStringLiteral("start alpha beta gamma"));
    // A command's insertion and a new document are followed too.
    menuItem(*w, "mnuSelect")->trigger();
    editor()->SetSelText(QStringLiteral("<p>replaced</p>"));
    EXPECT_TRUE(showsText(QStringLiteral("replaced")));
    editor()->SetModified(false);
    menuItem(*w, "mnuNew")->trigger();
    EXPECT_TRUE(waitUntil([&] { return pageText().isEmpty(); }, 30000));
}

TEST_F(LiveWindow, KeepsItsScrollPositionAcrossRefreshes) {
    // The second page tells the browser to leave scroll positions to its own scripts.
    for (const QString& script :
         {QString(), QStringLiteral("<script>history.scrollRestoration = 'manual';</script>")}) {
        editor()->SetText(script + QStringLiteral("<body style='height: 6000px'><p>top</p>"));
        command()->trigger();
        ASSERT_NE(live(), nullptr);
        QWebEngineView* view = live()->wbLivePreview;
        ASSERT_TRUE(showsText(QStringLiteral("top")));
        evalJs(view, QStringLiteral("window.scrollTo(0, 1500)"));
        auto scrollY = [&] { return evalJs(view, QStringLiteral("window.scrollY")).toInt(); };
        ASSERT_TRUE(waitUntil([&] {
            return scrollY() == 1500 && qRound(view->page()->scrollPosition().y()) == 1500;
        }));
        // Two refreshes, the second typed while the first may still be loading.
        typeAtEnd(QStringLiteral(" one"));
        ASSERT_TRUE(showsText(QStringLiteral("top one")));
        typeAtEnd(QStringLiteral(" two"));
        ASSERT_TRUE(showsText(QStringLiteral("top one two")));
        EXPECT_TRUE(waitUntil([&] { return scrollY() == 1500; }))
            << scrollY() << " " << script.toStdString();
        command()->trigger();
    }
}

TEST_F(LiveWindow, ClosingItUnchecksTheCommandAndLeavesNothingBehind) {
    editor()->SetText(QStringLiteral("<p>hello</p>"));
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    ASSERT_TRUE(showsText(QStringLiteral("hello")));
    live()->close(); // the window's close control
    EXPECT_FALSE(command()->isChecked());
    EXPECT_EQ(live(), nullptr);
    EXPECT_EQ(liveWindows(), 0) << "the window and its browser are gone";
    typeAtEnd(QStringLiteral("more"));
    QTest::qWait(2 * LivePreview::kPauseMs);
    EXPECT_EQ(liveWindows(), 0) << "typing brings nothing back";

    // Open again, shown the current text; the command unchecked closes it.
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    EXPECT_TRUE(showsText(QStringLiteral("hellomore")));
    command()->trigger();
    EXPECT_FALSE(command()->isChecked());
    EXPECT_EQ(liveWindows(), 0);
}

TEST_F(LiveWindow, RemembersItsSizeAndPosition) {
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    const QRect chosen(120, 140, 520, 410);
    live()->setGeometry(chosen);
    ASSERT_TRUE(waitUntil([&] { return live()->geometry() == chosen; }));
    command()->trigger();
    ASSERT_EQ(live(), nullptr);
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return live()->geometry() == chosen; }))
        << live()->geometry().x() << "," << live()->geometry().y() << " "
        << live()->geometry().width() << "x" << live()->geometry().height();
}

TEST_F(LiveWindow, StaysUsableWhileAToolWindowDisablesTheMainWindow) {
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    trigger("mnuGoto");
    QWidget* gotoWindow = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t->objectName() == QStringLiteral("frmGoto") && t->isVisible())
            gotoWindow = t;
    ASSERT_NE(gotoWindow, nullptr);
    EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(live()->isEnabled());
    EXPECT_TRUE(live()->wbLivePreview->isEnabled());
    gotoWindow->close();
    EXPECT_TRUE(w->isEnabled());
    EXPECT_NE(live(), nullptr);
}

TEST_F(LiveWindow, NoWindowOutlivesTheMainWindow) {
    // One window closed (its deletion still pending) and one open, then the main window
    // goes without the event loop running again, as at the end of the program.
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    live()->close();
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    w.reset();
    int left = 0;
    for (QWidget* t : QApplication::topLevelWidgets())
        left += qobject_cast<frmLivePreview*>(t) != nullptr;
    EXPECT_EQ(left, 0);
}

TEST_F(LiveWindow, ClosesWithTheMainWindowButNotWhenTheCloseIsCancelled) {
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    d.answer(Dialogs::Answer::Cancel);
    EXPECT_FALSE(w->close());
    EXPECT_NE(live(), nullptr);
    EXPECT_TRUE(live()->isVisible());
    d.answer(Dialogs::Answer::No);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(live(), nullptr);
    EXPECT_FALSE(command()->isChecked());
    EXPECT_EQ(liveWindows(), 0);
}

} // namespace

namespace {

// Which request paths the scheme serves from a document's folder tree.
struct ResolveCase {
    const char* name;
    const char* path;   // %SITE% the document's folder, %OUT% the folder around it
    const char* served; // the file served, relative to %SITE%, or nullptr for none
};

const ResolveCase kResolveCases[] = {
    {"FileInFolder", "%SITE%/meh.html", "meh.html"},
    {"FileInSubfolder", "%SITE%/img/a.png", "img/a.png"},
    {"DotSegmentsStayingInside", "%SITE%/img/./../meh.html", "meh.html"},
    {"LinkStayingInside", "%SITE%/inner/a.png", "img/a.png"},
    {"ParentThroughDotDot", "%SITE%/../secret.txt", nullptr},
    {"DeeperDotDot", "%SITE%/img/../../secret.txt", nullptr},
    {"DotDotAfterMissingFolder", "%SITE%/none/../../secret.txt", nullptr},
    {"LinkLeadingOut", "%SITE%/escape/secret.txt", nullptr},
    {"LinkToAFileOutside", "%SITE%/secret-link.txt", nullptr},
    {"SiblingFolderWithTheSamePrefix", "%OUT%/site-old/a.png", nullptr},
    {"FolderItself", "%SITE%", nullptr},
    {"AFolderInside", "%SITE%/img", nullptr},
    {"FileSystemRoot", "/", nullptr},
    {"MissingFile", "%SITE%/none.png", nullptr},
    {"HiddenFolder", "%SITE%/.git/config", nullptr},
    {"HiddenFile", "%SITE%/.env", nullptr},
    {"NamedPipe", "%SITE%/pipe", nullptr},
    {"RelativePath", "meh.html", nullptr},
    {"NulCharacter", "%SITE%/meh.html\\0.png", nullptr},
};

void PrintTo(const ResolveCase& c, std::ostream* os) {
    *os << c.path;
}

class PreviewScheme : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(PreviewScheme, ServesOnlyRegularFilesInsideTheDocumentsFolderTree) {
    QTemporaryDir out;
    const QString site = out.filePath(QStringLiteral("site"));
    for (const char* folder : {"img", ".git"})
        ASSERT_TRUE(QDir(site).mkpath(QString::fromLatin1(folder)));
    ASSERT_TRUE(QDir(out.path()).mkpath(QStringLiteral("site-old")));
    for (const char* name : {"site/meh.html", "site/img/a.png", "site/.git/config", "site/.env",
                             "secret.txt", "site-old/a.png"})
        ASSERT_TRUE(writeBytes(out.filePath(QString::fromLatin1(name)), "x"));
    ASSERT_TRUE(QFile::link(out.path(), site + QStringLiteral("/escape")));
    ASSERT_TRUE(QFile::link(out.filePath(QStringLiteral("secret.txt")),
                            site + QStringLiteral("/secret-link.txt")));
    ASSERT_TRUE(QFile::link(site + QStringLiteral("/img"), site + QStringLiteral("/inner")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(site + QStringLiteral("/pipe")).constData(), 0600), 0);

    const ResolveCase& c = GetParam();
    const QString path = QString::fromLatin1(c.path)
                             .replace(QStringLiteral("%SITE%"), site)
                             .replace(QStringLiteral("%OUT%"), out.path())
                             .replace(QStringLiteral("\\0"), QString(QChar(0)));
    const QString expected =
        c.served
            ? QFileInfo(site + QLatin1Char('/') + QString::fromLatin1(c.served)).canonicalFilePath()
            : QString();
    EXPECT_EQ(PreviewSchemeHandler::resolve(site, path), expected);
    EXPECT_TRUE(PreviewSchemeHandler::resolve(QString(), path).isEmpty())
        << "an untitled document has no folder";
}

INSTANTIATE_TEST_SUITE_P(Paths, PreviewScheme, ::testing::ValuesIn(kResolveCases),
                         NameFrom<&ResolveCase::name>());

TEST(PreviewSchemeUrl, APageSitsAtItsDocumentsOwnPathWhateverTheName) {
    for (const QString& path :
         {QStringLiteral("/home/ann/site/index.html"), QStringLiteral("/tmp/a b/#1 100%.html"),
          QStringLiteral("/tmp/caf\u00e9/\u65e5\u672c.htm"), QStringLiteral("/tmp/q?x=1.html")}) {
        const QUrl url = PreviewSchemeHandler::pageUrl(path);
        EXPECT_EQ(url.scheme(), QStringLiteral("verrindel-preview"));
        EXPECT_EQ(url.path(QUrl::FullyDecoded), path) << url.toString().toStdString();
        EXPECT_TRUE(url.query().isEmpty() && url.fragment().isEmpty()) << path.toStdString();
    }
    EXPECT_EQ(PreviewSchemeHandler::pageUrl(QStringLiteral("/tmp/x/../site/./a.html"))
                  .path(QUrl::FullyDecoded),
              QStringLiteral("/tmp/site/a.html"));
    EXPECT_EQ(PreviewSchemeHandler::pageUrl(QString()).path(), QStringLiteral("/meh.html"));
}

} // namespace

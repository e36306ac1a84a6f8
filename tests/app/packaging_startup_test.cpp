// SPDX-License-Identifier: GPL-3.0-or-later
// `verrindel FILE` as the user sees it: the main window opens FILE as Open does, or stays
// untitled and reports a file it cannot read with the message a failed Open shows.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

#include "app/document.h"
#include "app/frmmain.h"
#include "app/startup.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "shell/cmdg.h"
#include "testutil.h"

namespace {

class StartupFile : public MainWindowTest {
protected:
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }

    // The message that File > Open shows for `path`, taken from a second main window.
    QString messageOfFailedOpen(const QString& path) {
        QString text;
        {
            ScriptedDialogs other;
            frmMain second;
            other.chooseFile(path);
            menuItem(second, "mnuOpen")->trigger();
            EXPECT_EQ(other.messages().size(), 1);
            text = other.messages().value(0);
        }
        setDialogs(&d); // `other` uninstalled itself when it went
        return text;
    }
};

TEST_F(StartupFile, NoArgumentStartsUntitledAndEmpty) {
    EXPECT_FALSE(openStartupFile(*w, {QStringLiteral("verrindel")}));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Untitled"));
    EXPECT_EQ(w->txtCode()->TextLength(), 0);
    EXPECT_FALSE(w->txtCode()->Modified());
    EXPECT_TRUE(d.calls.isEmpty());
}

TEST_F(StartupFile, OpensTheFileWithItsFullPathAsCaption) {
    const QString path = writeFile(QStringLiteral("index.html"), "<html>\n<p>Hi</p>\n</html>\n");
    ASSERT_TRUE(openStartupFile(*w, {QStringLiteral("verrindel"), path}));
    EXPECT_EQ(w->windowTitle(), path);
    EXPECT_EQ(w->txtCode()->Text(),
              QStringLiteral("<html>") + kCrLf + "<p>Hi</p>" + kCrLf + "</html>" + kCrLf);
    EXPECT_FALSE(w->txtCode()->Modified());
    EXPECT_EQ(w->cmdg()->FileName, path);
    EXPECT_TRUE(d.calls.isEmpty());
}

TEST_F(StartupFile, RelativeNameOpensFromTheWorkingFolder) {
    const QString path = writeFile(QStringLiteral("style.css"), "p { color: red }");
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const bool opened = openStartupFile(*w, {QStringLiteral("verrindel"), "style.css"});
    QDir::setCurrent(before);
    ASSERT_TRUE(opened);
    EXPECT_EQ(w->windowTitle(), QDir(dir.path()).canonicalPath() + "/style.css");
}

TEST_F(StartupFile, SaveWritesBackToTheOpenedFileWithoutAsking) {
    const QString path = writeFile(QStringLiteral("page.html"), "<p>old</p>");
    ASSERT_TRUE(openStartupFile(*w, {QStringLiteral("verrindel"), path}));
    w->txtCode()->SetSelStart(w->txtCode()->TextLength());
    w->txtCode()->SetSelText(QStringLiteral("<p>new</p>"));
    EXPECT_TRUE(w->txtCode()->Modified());
    menuItem(*w, "mnuSave")->trigger();
    EXPECT_TRUE(d.calls.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("<p>old</p><p>new</p>"));
    EXPECT_FALSE(w->txtCode()->Modified());
}

// Files that cannot be read: the window stays untitled and empty, and the user is told
// exactly what File > Open would have told.
struct UnreadableCase {
    const char* name;
    QString relativePath; // under the temporary folder
};

void PrintTo(const UnreadableCase& c, std::ostream* os) {
    *os << c.name;
}

class UnreadableStartupFile : public StartupFile,
                              public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableStartupFile, StartsUntitledWithTheMessageOfAFailedOpen) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("a folder")));
    // Reading a pipe would wait for a writer for good: it is refused at once.
    ASSERT_EQ(
        mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.html"))).constData(), 0600), 0);
    const QString path = dir.filePath(GetParam().relativePath);
    const QString expected = messageOfFailedOpen(path);
    ASSERT_FALSE(expected.isEmpty());

    EXPECT_FALSE(openStartupFile(*w, {QStringLiteral("verrindel"), path}));
    EXPECT_EQ(d.messages(), QStringList{expected});
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Untitled"));
    EXPECT_EQ(w->txtCode()->TextLength(), 0);
    EXPECT_FALSE(w->txtCode()->Modified());
    EXPECT_TRUE(w->cmdg()->FileName.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableStartupFile,
    ::testing::Values(UnreadableCase{"Missing", QStringLiteral("missing.html")},
                      UnreadableCase{"InMissingFolder", QStringLiteral("nowhere/page.html")},
                      UnreadableCase{"Folder", QStringLiteral("a folder")},
                      UnreadableCase{"NamedPipe", QStringLiteral("pipe.html")}),
    NameFrom<&UnreadableCase::name>());

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// Files that are not what an HTML editor expects, and file systems that refuse: each has a
// clear outcome, and the user's text is never lost.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

#include "app/frmmain.h"
#include "mainwindowtest.h"
#include "platform/txtcode.h"
#include "scripteddialogs.h"
#include "testutil.h"

namespace {

// A small file system of our own, mounted for one test (root only; skipped elsewhere).
class TinyMount {
public:
    TinyMount(const QString& options) {
        ok_ =
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               options, QStringLiteral("tmpfs"), dir_.path()}) == 0;
    }
    ~TinyMount() {
        if (ok_)
            QProcess::execute(QStringLiteral("umount"), {dir_.path()});
    }
    bool ok() const { return ok_; }
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

private:
    QTemporaryDir dir_;
    bool ok_ = false;
};

class BadInput : public MainWindowTest {
protected:
    void open(const QString& file) {
        d.chooseFile(file);
        trigger("mnuOpen");
    }

    // The document as it stands, to compare after a failure.
    struct State {
        QString text;
        QString caption;
        bool modified;
        bool operator==(const State& o) const {
            return text == o.text && caption == o.caption && modified == o.modified;
        }
    };
    State state() const { return {editor()->Text(), w->windowTitle(), editor()->Modified()}; }
};

TEST_F(BadInput, ABinaryFileOpensWithEveryByteAndSavesBackToTheSameDocument) {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    bytes.append("\xc3\x28\xff\xfe", 4); // invalid UTF-8 sequences
    ASSERT_TRUE(writeBytes(path("blob.bin"), bytes));
    open(path("blob.bin"));
    ASSERT_TRUE(d.messages().isEmpty());
    const QString shown = editor()->Text();
    // Every byte is some character; only line ends are normalised (a lone CR and a lone
    // LF each become CR LF).
    EXPECT_EQ(shown.size(), bytes.size() + 2);
    EXPECT_EQ(shown[0], QChar(0));
    EXPECT_EQ(shown[0x41 + 2], QChar(u'A'));

    trigger("mnuSave");
    ASSERT_TRUE(d.messages().isEmpty());
    EXPECT_FALSE(editor()->Modified());
    // Opening the saved file gives the same document.
    w = std::make_unique<frmMain>();
    open(path("blob.bin"));
    EXPECT_EQ(editor()->Text(), shown);
}

TEST_F(BadInput, AMissingOrUnreadableFileIsReportedAndTheDocumentStays) {
    editor()->SetText(QStringLiteral("my work"));
    editor()->SetModified(false);
    const State before = state();
    for (const QString& bad :
         {path("missing.html"), dir.path(), QStringLiteral("/proc/self/mem")}) {
        d.clear();
        open(bad);
        ASSERT_EQ(d.messages().size(), 1) << bad.toStdString();
        EXPECT_TRUE(d.messages()[0].contains(QDir::toNativeSeparators(bad))) << bad.toStdString();
        EXPECT_EQ(d.lastMessage()->icon, Dialogs::Icon::Warning);
        EXPECT_TRUE(state() == before) << bad.toStdString();
    }
}

TEST_F(BadInput, AReadOnlyFolderRefusesTheSaveAndKeepsEverything) {
    TinyMount ro(QStringLiteral("ro,size=64k"));
    if (!ro.ok())
        GTEST_SKIP() << "cannot mount a read-only file system here";
    editor()->SetText(QStringLiteral("<p>keep</p>"));
    const State before = state();
    d.chooseFile(ro.path("page.html"));
    trigger("mnuSaveAs");
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(ro.path("page.html")));
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral("Read-only file system")))
        << d.messages()[0].toStdString();
    EXPECT_TRUE(state() == before);
    EXPECT_FALSE(QFile::exists(ro.path("page.html")));
}

TEST_F(BadInput, AFullDiskRefusesTheSaveAndLeavesTheOldFileWhole) {
    TinyMount tiny(QStringLiteral("size=32k"));
    if (!tiny.ok())
        GTEST_SKIP() << "cannot mount a small file system here";
    ASSERT_TRUE(writeBytes(tiny.path("page.html"), "old content"));
    open(tiny.path("page.html"));
    // A text larger than the file system can hold.
    editor()->SetText(QString(200 * 1024, QChar(u'x')));
    const State before = state();
    trigger("mnuSave");
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(tiny.path("page.html")));
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral("No space left on device")))
        << d.messages()[0].toStdString();
    EXPECT_TRUE(state() == before);
    EXPECT_EQ(readBytes(tiny.path("page.html")), QByteArray("old content"));
    // Nothing is left behind on the full disk.
    EXPECT_EQ(QDir(QFileInfo(tiny.path("page.html")).absolutePath()).entryList(QDir::Files).size(),
              1);

    // Save As over another existing file names the same reason.
    ASSERT_TRUE(writeBytes(tiny.path("other.html"), "other"));
    d.clear();
    d.chooseFile(tiny.path("other.html"));
    trigger("mnuSaveAs");
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(tiny.path("other.html")));
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral("No space left on device")))
        << d.messages()[0].toStdString();
    EXPECT_EQ(readBytes(tiny.path("other.html")), QByteArray("other"));
}

TEST_F(BadInput, AFullDiskRefusesTheWriteOfAFileWithSeveralNamesAndPutsItBack) {
    TinyMount tiny(QStringLiteral("size=64k"));
    if (!tiny.ok())
        GTEST_SKIP() << "cannot mount a small file system here";
    const QByteArray old(20 * 1024, 'o');
    ASSERT_TRUE(writeBytes(tiny.path("page.html"), old));
    ASSERT_EQ(::link(QFile::encodeName(tiny.path("page.html")).constData(),
                     QFile::encodeName(tiny.path("second.html")).constData()),
              0);
    open(tiny.path("page.html"));
    editor()->SetText(QString(80 * 1024, QChar(u'n')));
    const State before = state();
    trigger("mnuSave");
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral("No space left on device")))
        << d.messages()[0].toStdString();
    EXPECT_TRUE(state() == before);
    EXPECT_EQ(readBytes(tiny.path("page.html")), old);
    EXPECT_EQ(readBytes(tiny.path("second.html")), old);
}

TEST_F(BadInput, ANamedPipeIsRefusedWithoutWaiting) {
    editor()->SetText(QStringLiteral("my work"));
    editor()->SetModified(false);
    const State before = state();
    const QString fifo = path("pipe.html");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    open(fifo);
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(fifo));
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral("named pipe")));
    EXPECT_TRUE(state() == before);
}

TEST_F(BadInput, SaveWritesAFileWithSeveralNamesSoThatEveryNameSeesTheText) {
    ASSERT_TRUE(writeBytes(path("page.html"), "<p>old</p>\n"));
    ASSERT_EQ(::link(QFile::encodeName(path("page.html")).constData(),
                     QFile::encodeName(path("alias.html")).constData()),
              0);
    open(path("page.html"));
    editor()->SetSelStart(editor()->TextLength());
    editor()->SetSelText(QStringLiteral("<p>new</p>\r\n"));
    trigger("mnuSave");
    EXPECT_TRUE(d.messages().isEmpty());
    EXPECT_EQ(readBytes(path("alias.html")), QByteArray("<p>old</p>\n<p>new</p>\n"));
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// Files that are not what an HTML editor expects, and file systems that refuse: each has a
// clear outcome, and the user's text is never lost.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/frmmain.h"
#include "app/recovery.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "otheruser.h"
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
    // Its one CR and one LF are line breaks of two kinds: saving makes them alike, and
    // the user is told so.
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral("line break")))
        << d.messages()[0].toStdString();
    d.clear();
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
    // A file of a terabyte (sparse: it takes no room on the disk) cannot be held in memory.
    QFile huge(path("huge.html"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 40));
    huge.close();
    for (const QString& bad :
         {path("missing.html"), dir.path(), QStringLiteral("/proc/self/mem"), path("huge.html")}) {
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

// ---- other users: what they must not read or take over ---------------------------------

class OtherUsers : public BadInput {
protected:
    void SetUp() override {
        BadInput::SetUp();
        user = otherUser();
        if (!user)
            GTEST_SKIP() << kNoOtherUser;
        // The other user may look into the test's folder, as into any shared one, and new
        // files are readable by all unless made otherwise, as usual.
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        oldMask = ::umask(022);
    }
    void TearDown() override {
        if (user)
            ::umask(oldMask);
    }
    static int mode(const QString& file) {
        struct stat st {};
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }
    static struct stat status(const QString& file) {
        struct stat st {};
        ::stat(QFile::encodeName(file).constData(), &st);
        return st;
    }

    std::optional<OtherUser> user;
    mode_t oldMask = 0;
};

// In a child process as the other user: watches the folder and tries to read every file
// that appears in it, for as long as it is there. Exits 1 when it read a byte of one.
int readEveryNewFile(const ChildAs::Channel& channel, const char* folder) {
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    const int dir = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (watch < 0 || dir < 0 || ::inotify_add_watch(watch, folder, IN_CREATE) < 0)
        return 2;
    channel.ready();
    alignas(inotify_event) char events[4096];
    static char bytes[1 << 16];
    int leaked = 0;
    while (!channel.stopRequested()) {
        pollfd p{watch, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0)
            continue;
        const ssize_t n = ::read(watch, events, sizeof events);
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(events + at);
            at += ssize_t(sizeof(inotify_event) + e->len);
            // Tries again and again while the file is there (its permissions may change).
            for (int tries = 0; e->len > 0 && tries < 100000; ++tries) {
                const int fd = ::openat(dir, e->name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd < 0 && errno == ENOENT)
                    break;
                if (fd >= 0) {
                    if (::read(fd, bytes, sizeof bytes) > 0)
                        leaked = 1;
                    ::close(fd);
                    break;
                }
            }
        }
    }
    return leaked;
}

TEST_F(OtherUsers, NoOneElseReadsAPrivateFileWhileItIsSaved) {
    for (const int links : {1, 2}) {
        SCOPED_TRACE(links == 1 ? "replaced" : "written in place");
        const QString file = path(links == 1 ? "private.html" : "linked.html");
        ASSERT_TRUE(writeBytes(file, "secret\n"));
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0600), 0);
        if (links == 2) {
            ASSERT_EQ(::link(QFile::encodeName(file).constData(),
                             QFile::encodeName(path("other-name.html")).constData()),
                      0);
        }
        open(file);
        // A long text, so that the other user has all the time of its writing.
        editor()->SetText(QString(32 << 20, QChar(u's')));
        const QByteArray folder = QFile::encodeName(dir.path());
        ChildAs reader(*user, [&](const ChildAs::Channel& c) {
            return readEveryNewFile(c, folder.constData());
        });
        ASSERT_TRUE(reader.waitReady());
        trigger("mnuSave");
        EXPECT_TRUE(d.messages().isEmpty()) << d.messages().join('\n').toStdString();
        QTest::qWait(100);
        EXPECT_EQ(reader.finish(), 0) << "another user read the text while it was saved";
        EXPECT_EQ(mode(file), 0600);
        EXPECT_EQ(readBytes(file).size(), 32 << 20);
        if (links == 2)
            QFile::remove(path("other-name.html"));
    }
}

TEST_F(OtherUsers, SavingASharedFileOfAnotherOwnerLeavesItTheirs) {
    // Root's file, writable by all, in a folder where anyone may make files.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const QString file = path("shared.html");
    ASSERT_TRUE(writeBytes(file, "<p>old</p>\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0666), 0);
    const struct stat before = status(file);
    open(file);
    editor()->SetSelStart(editor()->TextLength());
    editor()->SetSelText(QStringLiteral("<p>new</p>\r\n"));
    {
        ActingAs other(*user);
        ASSERT_TRUE(other.ok());
        trigger("mnuSave");
    }
    EXPECT_TRUE(d.messages().isEmpty()) << d.messages().join('\n').toStdString();
    EXPECT_EQ(readBytes(file), QByteArray("<p>old</p>\n<p>new</p>\n"));
    const struct stat after = status(file);
    EXPECT_EQ(after.st_uid, before.st_uid) << "the owner stays";
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(OtherUsers, ARecoveryFolderOfAnotherUserIsNotUsed) {
    const QString folder = path("recovery");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), user->uid, user->gid), 0);
    auto* recovery = new Recovery(w.get(), folder);
    EXPECT_FALSE(recovery->active());
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral("belongs to another user")))
        << d.messages()[0].toStdString();
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(OtherUsers, ARecoveryFileOfAnotherUserIsNotOffered) {
    const QString folder = path("recovery");
    auto* recovery = new Recovery(w.get(), folder);
    ASSERT_TRUE(recovery->active());
    const QString left = folder + QStringLiteral("/1-a.recovery");
    ASSERT_TRUE(writeBytes(left, recoveryFileBytes(path("page.html"), FileState(), "planted")));
    ASSERT_EQ(::chown(QFile::encodeName(left).constData(), user->uid, user->gid), 0);
    d.answer(Dialogs::Answer::Yes);
    EXPECT_FALSE(recovery->offerLeftovers());
    EXPECT_TRUE(d.messages().isEmpty());
    EXPECT_NE(editor()->Text(), QStringLiteral("planted"));
}

} // namespace

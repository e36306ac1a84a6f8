// SPDX-License-Identifier: GPL-3.0-or-later
// Unsaved text survives a killed program: the real editor is started as a child process,
// typed into, killed with SIGKILL, and the next start offers the text back.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <Qsci/qsciscintilla.h>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/document.h"
#include "app/frmmain.h"
#include "app/recovery.h"
#include "app/startup.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "text/filenames.h"

namespace {

// Runs a program and returns what it printed; empty when it failed.
QString run(const QString& program, const QStringList& args, int ms = 20000) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(ms) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The real editor in a child process, with its own home and data folder.
class EditorProcess {
public:
    EditorProcess(const QString& home, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(VR_EDITOR_PATH), args);
        process_.waitForStarted();
    }
    ~EditorProcess() { kill(); }

    // The editor's visible window whose caption is `caption`, found through xdotool.
    QString window(const QString& caption) const {
        QString found;
        waitUntil(
            [&] {
                const QStringList ids =
                    run(QStringLiteral("xdotool"),
                        {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--pid"), QString::number(process_.processId())})
                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                for (const QString& id : ids) {
                    if (run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id}) ==
                        caption) {
                        found = id;
                        return true;
                    }
                }
                return false;
            },
            30000);
        return found;
    }
    // Types into the window as a user at the keyboard would.
    bool type(const QString& window, const QString& text) const {
        run(QStringLiteral("xdotool"),
            {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        return QProcess::execute(QStringLiteral("xdotool"),
                                 {QStringLiteral("type"), QStringLiteral("--delay"),
                                  QStringLiteral("30"), QStringLiteral("--window"), window,
                                  text}) == 0;
    }
    bool key(const QString& window, const QString& keys) const {
        run(QStringLiteral("xdotool"),
            {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}) == 0;
    }
    bool running() const { return process_.state() == QProcess::Running; }
    void kill() {
        if (process_.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(process_.processId()), SIGKILL);
        process_.waitForFinished(10000);
    }

private:
    QProcess process_;
};

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "xdotool is needed to type into the child process";
        ASSERT_TRUE(home.isValid());
        // This process looks for recovery files where the child keeps them.
        oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
        folder = Recovery::defaultFolder();
        ASSERT_TRUE(folder.startsWith(home.path()));
        ASSERT_TRUE(writeBytes(page(), original));
    }
    void TearDown() override {
        if (oldDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldDataHome);
    }

    QString page() const { return home.filePath(QStringLiteral("page.html")); }
    QStringList recoveryFiles() const {
        return QDir(folder).entryList({QStringLiteral("*.recovery")}, QDir::Files);
    }
    // Waits until some recovery file holds `text`.
    bool waitForKept(const QByteArray& text) const {
        return waitUntil(
            [&] {
                for (const QString& f : recoveryFiles()) {
                    RecoveredDocument d;
                    if (parseRecoveryFile(readBytes(folder + QLatin1Char('/') + f), &d) &&
                        d.text == text)
                        return true;
                }
                return false;
            },
            20000);
    }
    // Starts the real editor on page(), types `text` at the start, waits until the
    // recovery file holds it.
    std::unique_ptr<EditorProcess> startAndType(const QString& text) {
        auto child = std::make_unique<EditorProcess>(home.path(), QStringList{page()});
        const QString win = child->window(page());
        EXPECT_FALSE(win.isEmpty()) << "the editor's window did not appear";
        EXPECT_TRUE(child->type(win, text));
        EXPECT_TRUE(waitForKept(text.toUtf8() + "<p>one</p>\r\n"));
        return child;
    }

    QTemporaryDir home;
    QByteArray oldDataHome;
    QString folder;
    const QByteArray original = "<p>one</p>\n";
};

TEST_F(RecoveryTest, AKilledEditorsTypingIsOfferedBackAtTheNextStart) {
    {
        auto child = startAndType(QStringLiteral("abc"));
        child->kill();
    }
    EXPECT_EQ(readBytes(page()), original) << "the file itself is untouched";
    ASSERT_EQ(recoveryFiles().size(), 1);
    const QString left = folder + QLatin1Char('/') + recoveryFiles()[0];
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(left).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The next start, through the start-up of the program, answered Yes.
    {
        ScriptedDialogs dlg;
        frmMain w;
        w.show();
        dlg.answer(Dialogs::Answer::Yes);
        startDocument(w, {QStringLiteral("verrindel")});
        ASSERT_EQ(dlg.messages().size(), 1);
        const ScriptedDialogs::Call* q = dlg.lastMessage();
        EXPECT_TRUE(q->text.contains(page()));
        EXPECT_EQ(q->buttons, Dialogs::Buttons::YesNo);
        EXPECT_EQ(q->icon, Dialogs::Icon::Question);
        EXPECT_EQ(w.txtCode()->Text(), QStringLiteral("abc<p>one</p>\r\n"));
        EXPECT_EQ(w.windowTitle(), page());
        EXPECT_TRUE(w.txtCode()->Modified());
        EXPECT_EQ(readBytes(page()), original);

        // Saving writes the file in its own form (LF) and ends the recovery file.
        menuItem(w, "mnuSave")->trigger();
        EXPECT_EQ(dlg.messages().size(), 1);
        EXPECT_EQ(readBytes(page()), QByteArray("abc<p>one</p>\n"));
        EXPECT_TRUE(waitUntil([&] { return recoveryFiles().isEmpty(); }));
    }
    // A third start asks nothing, and the killed run's lock is cleared away.
    ScriptedDialogs dlg;
    frmMain w;
    startDocument(w, {QStringLiteral("verrindel")});
    EXPECT_TRUE(dlg.calls.isEmpty());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Untitled"));
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.lock")}, QDir::Files).size(), 1)
        << "only this run's own lock";
}

TEST_F(RecoveryTest, TheRealEditorRestoresWithYesAndSavesTheText) {
    startAndType(QStringLiteral("xyz"))->kill();
    // The second run is the real editor too: Return answers its question with Yes.
    EditorProcess second(home.path(), {});
    const QString box = second.window(QStringLiteral("VERRiNDEL"));
    ASSERT_FALSE(box.isEmpty());
    ASSERT_TRUE(second.key(box, QStringLiteral("Return")));
    const QString win = second.window(page());
    ASSERT_FALSE(win.isEmpty()) << "the caption names the restored document";
    EXPECT_EQ(readBytes(page()), original);
    ASSERT_TRUE(second.key(win, QStringLiteral("ctrl+s")));
    EXPECT_TRUE(waitUntil([&] { return readBytes(page()) == "xyz<p>one</p>\n"; }));
}

TEST_F(RecoveryTest, ACopyStillRunningKeepsItsFileAndNoDiscardsALeftOne) {
    auto first = startAndType(QStringLiteral("mine"));
    ASSERT_TRUE(first->running());
    {
        ScriptedDialogs dlg;
        frmMain w;
        startDocument(w, {QStringLiteral("verrindel")});
        EXPECT_TRUE(dlg.calls.isEmpty()) << "the running copy's file is not offered";
        EXPECT_EQ(recoveryFiles().size(), 1);
    }
    first->kill();
    ScriptedDialogs dlg;
    frmMain w;
    dlg.answer(Dialogs::Answer::No);
    startDocument(w, {QStringLiteral("verrindel"), page()});
    ASSERT_EQ(dlg.messages().size(), 1);
    EXPECT_TRUE(recoveryFiles().isEmpty()) << "No deletes the recovery file";
    // The command line's file opens as usual.
    EXPECT_EQ(w.windowTitle(), page());
    EXPECT_FALSE(w.txtCode()->Modified());
}

// ---- in this process: when the file is written and removed ------------------------------

class RecoveryKeeping : public ::testing::Test {
public: // the cases of a table reach the window and the dialogs
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        w.show();
        recovery = new Recovery(&w, dir.filePath(QStringLiteral("recovery")));
        ASSERT_TRUE(recovery->active());
    }
    void type(const QString& text) {
        w.txtCode()->SetSelStart(w.txtCode()->TextLength());
        w.txtCode()->SetSelText(text);
    }
    bool kept() {
        recovery->waitForWrites();
        return QFile::exists(recovery->filePath());
    }
    bool waitKept() {
        return waitUntil([&] { return kept(); }, 4 * Recovery::kMaxDelayMs);
    }
    RecoveredDocument keptDocument() {
        RecoveredDocument d;
        EXPECT_TRUE(parseRecoveryFile(readBytes(recovery->filePath()), &d));
        return d;
    }

    ScriptedDialogs dlg;
    QTemporaryDir dir;
    frmMain w;
    Recovery* recovery = nullptr;
};

TEST_F(RecoveryKeeping, AnUntitledDocumentIsKeptAndRemovedWhenReplacedSavedOrEnded) {
    struct Case {
        const char* what;
        std::function<void(RecoveryKeeping&)> end;
    } cases[] = {
        {"New",
         [](RecoveryKeeping& t) {
             t.dlg.answer(Dialogs::Answer::No);
             menuItem(t.w, "mnuNew")->trigger();
         }},
        {"Save As",
         [](RecoveryKeeping& t) {
             t.dlg.chooseFile(t.dir.filePath(QStringLiteral("saved.html")));
             menuItem(t.w, "mnuSaveAs")->trigger();
         }},
        {"undo to the saved text",
         [](RecoveryKeeping& t) {
             t.w.txtCode()->SetModified(false); // as a save does
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        type(QStringLiteral("unsaved \u00e9\r\n"));
        ASSERT_TRUE(waitKept());
        const RecoveredDocument d = keptDocument();
        EXPECT_TRUE(d.path.isEmpty());
        EXPECT_TRUE(d.text.endsWith("unsaved \xc3\xa9\r\n"));
        c.end(*this);
        EXPECT_TRUE(waitUntil([&] { return !kept(); }));
    }
    // The run ends normally: nothing is left, the lock included.
    type(QStringLiteral("more"));
    ASSERT_TRUE(waitKept());
    delete recovery;
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("recovery"))).entryList(QDir::Files).isEmpty());
}

TEST_F(RecoveryKeeping, TheFileHoldsThePathAndTheFormOfTheDocument) {
    const QString page = dir.filePath(QStringLiteral("page.html"));
    ASSERT_TRUE(writeBytes(page, "\xef\xbb\xbfline\n"));
    dlg.chooseFile(page);
    menuItem(w, "mnuOpen")->trigger();
    type(QStringLiteral("x"));
    ASSERT_TRUE(waitKept());
    const RecoveredDocument d = keptDocument();
    EXPECT_EQ(d.path, page);
    EXPECT_EQ(d.text, QByteArray("line\r\nx"));
    EXPECT_TRUE(d.state.form.byteOrderMark);
    EXPECT_TRUE(d.state.form.lfLineBreaks);
    EXPECT_EQ(d.state.form.encoding, FileForm::Encoding::Utf8);
    EXPECT_TRUE(d.state.stamp.valid);
}

TEST_F(RecoveryKeeping, AFileWithStrayBytesRestoresToTheSameBytes) {
    // Mostly UTF-8 with the stray bytes E9 and 80; a stand-in character and a U+FEFF are
    // typed at the start: the recovery file holds the editor's bytes, and what it restores
    // is saved as the file's stray bytes and the characters typed.
    const QString page = dir.filePath(QStringLiteral("stray.html"));
    const QByteArray bytes = "<p>caf\xe9 \xc3\xa9t\xc3\xa9 \xe2\x82\xac \x80</p>\n";
    ASSERT_TRUE(writeBytes(page, bytes));
    dlg.chooseFile(page);
    menuItem(w, "mnuOpen")->trigger();
    w.txtCode()->SetSelStart(0);
    w.txtCode()->enterText(QString(QChar(0xFEFF)) + QChar(0xEF80));
    ASSERT_TRUE(waitKept());
    const RecoveredDocument d = keptDocument();
    EXPECT_TRUE(d.state.form.strayBytes);
    EXPECT_EQ(d.text,
              "\xef\xbb\xbf\xee\xbe\x80<p>caf\xe9 \xc3\xa9t\xc3\xa9 \xe2\x82\xac \x80</p>\r\n");

    frmMain next;
    next.document()->restore(d.text, d.path, d.state);
    EXPECT_EQ(next.txtCode()->Text(), w.txtCode()->Text());
    menuItem(next, "mnuSave")->trigger();
    EXPECT_EQ(readBytes(page), "\xef\xbb\xbf\xee\xbe\x80" + bytes);
}

TEST_F(RecoveryKeeping, TypingDuringTheCopyOfALargeTextGivesTheTextAsItStands) {
    // Large enough that the copy takes several steps, with keys typed between them at the
    // start, in the middle and at the end of the text.
    const QByteArray line = "<p>a line of the page</p>\r\n";
    QByteArray big;
    while (big.size() < 24 * 1024 * 1024)
        big += line;
    TxtCode* ed = w.txtCode();
    ed->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, (uintptr_t)big.size(), big.constData());
    const qint64 middle = big.size() / 2;
    // Keys go on past the moment the copy must start (kMaxDelayMs after the first one),
    // so that they fall between its steps; once they stop, the copy can finish.
    // One event-loop turn, then one key, as a user typing would interleave them.
    QElapsedTimer since;
    since.start();
    int keys = 0;
    while (!QFile::exists(recovery->filePath()) && since.elapsed() < 60000) {
        QCoreApplication::processEvents();
        if (since.elapsed() < Recovery::kMaxDelayMs + 1500) {
            const qint64 len = ed->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
            // The middle of the page moves on by the keys typed before it.
            const qint64 at[] = {0, (keys + 2) / 3 + middle, len};
            ed->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, (unsigned long)at[keys % 3], "y");
            ++keys;
        }
    }
    ASSERT_TRUE(QFile::exists(recovery->filePath()));
    recovery->waitForWrites();
    const RecoveredDocument d = keptDocument();
    // Whatever moment was kept, it is the text with some keys typed: the keys at the
    // start, then the first half, the keys of the middle, the second half, the keys at
    // the end.
    qsizetype i = 0;
    auto skipKeys = [&] {
        while (i < d.text.size() && d.text[i] == 'y')
            ++i;
    };
    skipKeys();
    ASSERT_TRUE(d.text.mid(i, middle) == big.left(middle)) << "the first half, at " << i;
    i += middle;
    skipKeys();
    ASSERT_TRUE(d.text.mid(i, big.size() - middle) == big.mid(middle))
        << "the second half, at " << i;
    i += big.size() - middle;
    skipKeys();
    EXPECT_EQ(i, d.text.size());
    EXPECT_GT(keys, 0);
}

TEST_F(RecoveryKeeping, TheCopyOfALargeTextFinishesWhileTypingGoesOnInOnePlace) {
    const QByteArray line = "<p>a line of the page</p>\r\n";
    QByteArray big;
    while (big.size() < 24 * 1024 * 1024)
        big += line;
    TxtCode* ed = w.txtCode();
    for (const qint64 at : {qint64(0), qint64(big.size() / 2)}) {
        SCOPED_TRACE(at);
        ed->SetText(QString());
        ed->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, (uintptr_t)big.size(), big.constData());
        QFile::remove(recovery->filePath());
        // A key at the same place after every turn of the event loop, without a pause.
        QElapsedTimer since;
        since.start();
        int keys = 0;
        while (!QFile::exists(recovery->filePath()) && since.elapsed() < 30000) {
            QCoreApplication::processEvents();
            ed->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, (unsigned long)at, "y");
            ++keys;
        }
        ASSERT_TRUE(QFile::exists(recovery->filePath())) << "never kept while typing";
        recovery->waitForWrites();
        const RecoveredDocument d = keptDocument();
        const qsizetype typed = d.text.size() - big.size();
        EXPECT_GT(typed, 0);
        EXPECT_LE(typed, keys);
        EXPECT_TRUE(d.text == big.left(at) + QByteArray(typed, 'y') + big.mid(at));
    }
}

// ---- leftovers: what another run (or someone else) left in the folder --------------------

// A leftover is planted in the folder of a running Recovery, then the start-up offer runs
// and Yes is answered to any question.
struct LeftoverCase {
    const char* name;
    // Plants the leftover in `folder`; `dir` is the test's folder, for files elsewhere.
    std::function<void(const QString& folder, const QString& dir)> plant;
    bool offered;
    QString restored;      // the editor's text after Yes
    QString caption;       // the caption after Yes, relative to dir ("" for Untitled)
    bool crBreaks = false; // the document is written with lone CRs
};

void PrintTo(const LeftoverCase& c, std::ostream* os) {
    *os << c.name;
}

QByteArray leftover(const QString& path, const QByteArray& text, bool crBreaks = false) {
    FileState state;
    state.form.crLineBreaks = crBreaks;
    return recoveryFileBytes(path, state, text);
}

// Another file elsewhere that a planted link leads to: it must stay as it is.
QByteArray elsewhereBytes() {
    return leftover(QString(), "someone else's text");
}

class RecoveryLeftovers : public RecoveryKeeping,
                          public ::testing::WithParamInterface<LeftoverCase> {};

TEST_P(RecoveryLeftovers, OnlyTheUsersOwnFilesAreOfferedAndNothingIsWrittenThroughALink) {
    const LeftoverCase& c = GetParam();
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.recovery"));
    ASSERT_TRUE(writeBytes(elsewhere, elsewhereBytes()));
    c.plant(folder, dir.path());
    dlg.answer(Dialogs::Answer::Yes);
    const bool restored = recovery->offerLeftovers();
    EXPECT_EQ(restored, c.offered);
    EXPECT_EQ(dlg.messages().size(), c.offered ? 1 : 0);
    if (c.offered) {
        EXPECT_EQ(w.txtCode()->Text(), c.restored);
        EXPECT_EQ(w.windowTitle(),
                  c.caption.isEmpty() ? QStringLiteral("Untitled") : dir.filePath(c.caption));
        EXPECT_EQ(w.document()->form().crLineBreaks, c.crBreaks);
        // The text is this run's own now: a private copy, and the left file is gone.
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(recovery->filePath()).constData(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(QDir(folder)
                      .entryList({QStringLiteral("*.recovery")}, QDir::Files | QDir::System)
                      .size(),
                  1);
    }
    // This run keeps its own text: nothing goes through what was planted.
    type(QStringLiteral("typed"));
    EXPECT_TRUE(waitUntil(
        [&] {
            RecoveredDocument d;
            return kept() && parseRecoveryFile(readBytes(recovery->filePath()), &d) &&
                   d.text.endsWith("typed");
        },
        4 * Recovery::kMaxDelayMs));
    EXPECT_EQ(readBytes(elsewhere), elsewhereBytes());
}

INSTANTIATE_TEST_SUITE_P(
    Recovery, RecoveryLeftovers,
    ::testing::Values(
        LeftoverCase{"TextStartingWithAZeroWidthNoBreakSpace",
                     [](const QString& folder, const QString&) {
                         ASSERT_TRUE(writeBytes(folder + "/1-a.recovery",
                                                leftover(QString(), "\xef\xbb\xbf<p>x</p>")));
                     },
                     true, QChar(0xFEFF) + QStringLiteral("<p>x</p>"), QString()},
        LeftoverCase{"ZeroWidthNoBreakSpacesInsideTheText",
                     [](const QString& folder, const QString&) {
                         ASSERT_TRUE(writeBytes(
                             folder + "/1-a.recovery",
                             leftover(QString(), "<p>\xef\xbb\xbfx</p>\r\n\xef\xbb\xbf<p>")));
                     },
                     true, QStringView(u"<p>\uFEFFx</p>\r\n\uFEFF<p>").toString(), QString()},
        LeftoverCase{"APathAndLineBreaksOfOldMac",
                     [](const QString& folder, const QString& dir) {
                         ASSERT_TRUE(writeBytes(folder + "/1-a.recovery",
                                                leftover(dir + "/page.html", "a\r\nb", true)));
                     },
                     true, QStringLiteral("a\r\nb"), QStringLiteral("page.html"), true},
        LeftoverCase{"ALinkToAFileElsewhere",
                     [](const QString& folder, const QString& dir) {
                         ASSERT_TRUE(
                             QFile::link(dir + "/elsewhere.recovery", folder + "/1-a.recovery"));
                     },
                     false, QString(), QString()},
        LeftoverCase{"ANamedPipe",
                     [](const QString& folder, const QString&) {
                         ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/1-a.recovery").constData(),
                                            0600),
                                   0);
                     },
                     false, QString(), QString()},
        LeftoverCase{"AFolder",
                     [](const QString& folder, const QString&) {
                         ASSERT_TRUE(QDir().mkpath(folder + "/1-a.recovery"));
                     },
                     false, QString(), QString()},
        LeftoverCase{"ACutFile",
                     [](const QString& folder, const QString&) {
                         ASSERT_TRUE(
                             writeBytes(folder + "/1-a.recovery",
                                        leftover(QString(), "<p>long text</p>").chopped(3)));
                     },
                     false, QString(), QString()},
        LeftoverCase{"AnAbsurdLength",
                     [](const QString& folder, const QString&) {
                         QByteArray bytes = leftover(QString(), "x");
                         bytes.replace("length=1\n", "length=999999999999999999999\n");
                         ASSERT_TRUE(writeBytes(folder + "/1-a.recovery", bytes));
                     },
                     false, QString(), QString()},
        LeftoverCase{"SomethingElse",
                     [](const QString& folder, const QString&) {
                         ASSERT_TRUE(writeBytes(folder + "/1-a.recovery", "<html>\n"));
                     },
                     false, QString(), QString()}),
    NameFrom<&LeftoverCase::name>());

TEST_F(RecoveryKeeping, APathThatIsNotUtf8IsKeptByteForByte) {
    const QString page = decodeFileName(QFile::encodeName(dir.path()) + "/\xff.html");
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    ASSERT_TRUE(writeBytes(folder + "/1-a.recovery", leftover(page, "<p>odd</p>")));
    dlg.answer(Dialogs::Answer::Yes);
    ASSERT_TRUE(recovery->offerLeftovers());
    EXPECT_EQ(w.windowTitle(), page);
    menuItem(w, "mnuSave")->trigger();
    EXPECT_TRUE(dlg.messages().size() == 1) << dlg.messages().join('\n').toStdString();
    const int fd = ::open((QFile::encodeName(dir.path()) + "/\xff.html").constData(), O_RDONLY);
    EXPECT_GE(fd, 0) << "saved under the very bytes of its name";
    ::close(fd);
}

TEST(RecoveryFailures, AnUnwritableFolderIsReportedOnceAndEditingGoesOn) {
    ScriptedDialogs dlg;
    QTemporaryDir dir;
    // A regular file where the folder should be.
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("recovery")), "x"));
    frmMain w;
    auto* recovery = new Recovery(&w, dir.filePath(QStringLiteral("recovery")));
    EXPECT_FALSE(recovery->active());
    ASSERT_EQ(dlg.messages().size(), 1);
    EXPECT_TRUE(dlg.messages()[0].contains(dir.filePath(QStringLiteral("recovery"))));
    w.txtCode()->SetSelText(QStringLiteral("still typing"));
    QTest::qWait(50);
    EXPECT_EQ(w.txtCode()->Text(), QStringLiteral("still typing"));
    EXPECT_EQ(dlg.messages().size(), 1);
    EXPECT_FALSE(recovery->offerLeftovers());
}

TEST(RecoveryFailures, AFailedWriteIsReportedOnceAndTheDocumentStays) {
    ScriptedDialogs dlg;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    frmMain w;
    auto* recovery = new Recovery(&w, folder);
    ASSERT_TRUE(recovery->active());
    // The folder disappears under the running program (a file takes its place).
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(writeBytes(folder, "x"));
    w.txtCode()->SetSelText(QStringLiteral("one"));
    ASSERT_TRUE(waitUntil([&] { return !dlg.messages().isEmpty(); }, 3 * Recovery::kMaxDelayMs));
    EXPECT_TRUE(dlg.messages()[0].contains(folder));
    // The next failed write says nothing more.
    w.txtCode()->SetSelText(QStringLiteral("two"));
    QTest::qWait(Recovery::kIdleDelayMs + 1000);
    recovery->waitForWrites();
    EXPECT_EQ(dlg.messages().size(), 1);
    EXPECT_EQ(w.txtCode()->Text(), QStringLiteral("onetwo"));
    EXPECT_TRUE(w.txtCode()->Modified());
}

TEST(RecoveryFiles, ReadBackWhatWasWrittenAndRefuseOtherBytes) {
    FileState state;
    state.form.encoding = FileForm::Encoding::Utf16BE;
    state.form.lfLineBreaks = true;
    state.stamp.valid = true;
    state.stamp.size = 12;
    state.stamp.hash = 0xFEDCBA9876543210ull;
    const QString odd = QStringLiteral("/tmp/a%b\nc d.html");
    const QByteArray text("a\r\n\n\nb\0c", 8);
    RecoveredDocument d;
    ASSERT_TRUE(parseRecoveryFile(recoveryFileBytes(odd, state, text), &d));
    EXPECT_EQ(d.path, odd);
    EXPECT_EQ(d.text, text);
    EXPECT_TRUE(d.state.form == state.form);
    EXPECT_EQ(d.state.stamp.hash, state.stamp.hash);
    EXPECT_EQ(d.state.stamp.size, 12);
    QByteArray cut = recoveryFileBytes(odd, state, text);
    cut.chop(1);
    EXPECT_FALSE(parseRecoveryFile(cut, &d)) << "a short file is not taken";
    EXPECT_FALSE(parseRecoveryFile("<html>", &d));
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// The parts of recovery on their own: the file's format, the copy of the editor's bytes
// taken in steps while the text changes, and the thread that writes.
#include <gtest/gtest.h>

#include <QMutex>
#include <QThread>
#include <Qsci/qsciscintillabase.h>
#include <atomic>
#include <vector>

#include "app/recoverycopy.h"
#include "app/recoveryfile.h"
#include "app/recoverywriter.h"
#include "editor/txtcode.h"
#include "testutil.h"

namespace {

// ---- the file's format -------------------------------------------------------------------

struct FileCase {
    const char* name;
    QString path;
    FileState state;
    QByteArray text;
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.name;
}

FileState stateOf(FileForm::Encoding encoding, bool mark, bool stray, bool lf, bool cr,
                  bool stamped) {
    FileState s;
    s.form.encoding = encoding;
    s.form.byteOrderMark = mark;
    s.form.strayBytes = stray;
    s.form.lfLineBreaks = lf;
    s.form.crLineBreaks = cr;
    if (stamped) {
        s.stamp.valid = true;
        s.stamp.size = 123456789012;
        s.stamp.modifiedNs = 1733830000123456789;
        s.stamp.changedNs = 1733830000987654321;
        s.stamp.inode = 18446744073709551615ull;
        s.stamp.device = 2049;
        s.stamp.hash = 0x8000000000000001ull;
        s.stamp.takenAtNs = -5;
    }
    return s;
}

class RecoveryFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(RecoveryFile, ReadsBackWhatWasWritten) {
    const FileCase& c = GetParam();
    const QByteArray bytes = recoveryFileBytes(c.path, c.state, c.text);
    EXPECT_EQ(recoveryFileHeader(c.path, c.state, c.text.size()) + c.text, bytes);
    RecoveredDocument d;
    ASSERT_TRUE(parseRecoveryFile(bytes, &d));
    EXPECT_EQ(d.path, c.path);
    EXPECT_EQ(d.text, c.text);
    const FileForm& f = d.state.form;
    EXPECT_EQ(f.encoding, c.state.form.encoding);
    EXPECT_EQ(f.byteOrderMark, c.state.form.byteOrderMark);
    EXPECT_EQ(f.strayBytes, c.state.form.strayBytes);
    EXPECT_EQ(f.lfLineBreaks, c.state.form.lfLineBreaks);
    EXPECT_EQ(f.crLineBreaks, c.state.form.crLineBreaks);
    const FileStamp& s = d.state.stamp;
    const FileStamp& e = c.state.stamp;
    EXPECT_EQ(s.valid, e.valid);
    EXPECT_EQ(s.size, e.size);
    EXPECT_EQ(s.modifiedNs, e.modifiedNs);
    EXPECT_EQ(s.changedNs, e.changedNs);
    EXPECT_EQ(s.inode, e.inode);
    EXPECT_EQ(s.device, e.device);
    EXPECT_EQ(s.hash, e.hash);
    EXPECT_EQ(s.takenAtNs, e.takenAtNs);
}

using E = FileForm::Encoding;

INSTANTIATE_TEST_SUITE_P(
    Files, RecoveryFile,
    ::testing::Values(FileCase{"Untitled", QString(), FileState(), "<p>a</p>\r\n"},
                      FileCase{"EmptyText", QStringLiteral("/tmp/a.html"), FileState(), ""},
                      FileCase{"PathWithSpacesPercentAndAccents",
                               QString::fromUtf8("/home/u/my 100% caf\xc3\xa9\n=x.html"),
                               FileState(), "x"},
                      FileCase{"Utf16WithStamp", QStringLiteral("/a.htm"),
                               stateOf(E::Utf16LE, true, false, false, false, true), "\xc3\xa9"},
                      FileCase{"StrayBytesAndLf", QStringLiteral("/b"),
                               stateOf(E::Utf8, false, true, true, false, true), "caf\xe9\r\n\x80"},
                      FileCase{"Windows1252AndCr", QStringLiteral("/c"),
                               stateOf(E::Windows1252, false, false, false, true, false), "a\r\nb"},
                      FileCase{"ByteOrderMarksInTheText", QStringLiteral("/d"),
                               stateOf(E::Utf8, true, false, false, false, false),
                               "\xef\xbb\xbf<p>\xef\xbb\xbf</p>"},
                      FileCase{"TextThatLooksLikeAHeader", QString(), FileState(),
                               "\n\nVERRiNDEL recovery 1\npath=x\n\nlength=3\n"}),
    NameFrom<&FileCase::name>());

// Files that are not recovery files, or damaged ones: refused, the document untouched.
struct DamagedCase {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const DamagedCase& c, std::ostream* os) {
    *os << c.name;
}

QByteArray good() {
    return recoveryFileBytes(QStringLiteral("/a.html"), FileState(), "<p>abc</p>");
}

QByteArray replaced(const char* from, const char* to) {
    return good().replace(from, to);
}

class DamagedRecoveryFile : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedRecoveryFile, IsRefused) {
    RecoveredDocument d;
    d.path = QStringLiteral("kept");
    EXPECT_FALSE(parseRecoveryFile(GetParam().bytes, &d));
    EXPECT_EQ(d.path, QStringLiteral("kept"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedRecoveryFile,
    ::testing::Values(DamagedCase{"Nothing", ""}, DamagedCase{"SomeOtherFile", "<p>abc</p>"},
                      DamagedCase{"CutText", good().chopped(1)},
                      DamagedCase{"LongerText", good() + "x"},
                      DamagedCase{"NoEndOfHeader", good().left(good().indexOf("\n\n"))},
                      DamagedCase{"UnknownEncoding", replaced("encoding=UTF-8", "encoding=EBCDIC")},
                      DamagedCase{"StampOfSixNumbers",
                                  replaced("stamp=0 0 0 0 0 0 0", "stamp=0 0 0 0 0 0")},
                      DamagedCase{"StampNotANumber", replaced("stamp=0 0 0", "stamp=0 x 0")},
                      DamagedCase{"LineWithoutAValue", replaced("mark=0\n", "mark\n")},
                      DamagedCase{"AKeyMissing", replaced("stray=0\n", "")}),
    NameFrom<&DamagedCase::name>());

TEST(RecoveryFile, KeysOfALaterVersionArePassedOverAndTheChangeTimeMayBeMissing) {
    QByteArray bytes = good().replace("mark=0\n", "mark=0\nfuture=1\n");
    bytes.replace("changed=0\n", "");
    RecoveredDocument d;
    ASSERT_TRUE(parseRecoveryFile(bytes, &d));
    EXPECT_EQ(d.text, QByteArray("<p>abc</p>"));
    EXPECT_EQ(d.state.stamp.changedNs, 0);
}

// ---- the copy in steps -------------------------------------------------------------------

// An edit made between two steps of the copy: at byte `at`, `take` bytes taken out, then
// `put` put in.
struct Edit {
    qint64 at;
    qint64 take;
    QByteArray put;
};

struct CopyCase {
    const char* name;
    QByteArray text;
    qint64 piece;
    qint64 meet; // where the copy's ends meet first
    std::vector<Edit> edits;
};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.name;
}

class CopyInSteps : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyInSteps, EndsAsTheTextIsWhenItEnds) {
    const CopyCase& c = GetParam();
    TxtCode ed;
    ed.setEditorBytes(c.text, true);
    RecoveryCopy copy(c.piece);
    copy.start(c.meet);
    size_t applied = 0;
    int steps = 0;
    // A budget of nothing: one piece a step.
    while (!copy.step(ed, 0)) {
        ASSERT_LT(++steps, 100000);
        if (applied == c.edits.size())
            continue;
        // An edit as the user makes it, reported as the editor reports it.
        const Edit& e = c.edits[applied++];
        ASSERT_LE(e.at + e.take, ed.editorBytes().size()) << "edit " << applied;
        if (e.take > 0) {
            ed.SendScintilla(QsciScintillaBase::SCI_DELETERANGE, (unsigned long)e.at, long(e.take));
            copy.edited(e.at, false, e.take, ed.editorBytes().size());
        }
        if (!e.put.isEmpty()) {
            ed.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, (unsigned long)e.at,
                             e.put.constData());
            copy.edited(e.at, true, e.put.size(), ed.editorBytes().size());
        }
    }
    EXPECT_EQ(applied, c.edits.size()) << "the copy ended before every edit was made";
    ASSERT_TRUE(copy.running());
    const RecoveryCopy::Copied copied = copy.take();
    EXPECT_FALSE(copy.running());
    EXPECT_EQ(copied.head + copied.tailBytes().toByteArray(), ed.editorBytes());
}

QByteArray numbered(int lines) {
    QByteArray out;
    for (int i = 0; i < lines; ++i)
        out += "<p>line " + QByteArray::number(i) + " caf\xc3\xa9 \xf0\x9f\x98\x80</p>\r\n";
    return out;
}

const QByteArray kText = numbered(100); // about 3,000 bytes

INSTANTIATE_TEST_SUITE_P(
    Texts, CopyInSteps,
    ::testing::Values(
        CopyCase{"NoEdits", kText, 64, 1000, {}}, CopyCase{"EmptyText", "", 64, 0, {}},
        CopyCase{"PiecesCutCharacters", kText, 7, 5, {}},
        CopyCase{"TypingWhereTheEndsMeet",
                 kText,
                 64,
                 1500,
                 {{1500, 0, "a"}, {1501, 0, "b"}, {1502, 0, "\xc3\xa9"}, {1504, 1, ""}}},
        CopyCase{"EditsInTheCopiedHead",
                 kText,
                 64,
                 2000,
                 {{10, 0, "x"}, {0, 0, "<!-- -->"}, {30, 20, ""}, {5, 2, "yz"}}},
        CopyCase{"EditsInTheCopiedTail",
                 kText,
                 64,
                 100,
                 {{kText.size() - 5, 0, "x"},
                  {kText.size() - 40, 30, ""},
                  {kText.size() - 40, 0, "end"}}},
        CopyCase{"ADeletionAcrossBothEnds", kText, 32, 1500, {{0, 0, ""}, {100, 2400, ""}}},
        CopyCase{"TheTextGrowsPastTheRoomTaken",
                 kText,
                 64,
                 1500,
                 {{1500, 0, QByteArray(70000, 'w')}, {40, 0, "a"}}},
        CopyCase{
            "StrayBytes", "<p>\xe9\x80\xff</p>\r\n" + kText, 16, 3, {{2, 0, "\x80"}, {1, 1, ""}}}),
    NameFrom<&CopyCase::name>());

TEST(CopyInSteps, ACancelledCopyGivesNothingAndEditsPassItBy) {
    TxtCode ed;
    ed.setEditorBytes(kText, true);
    RecoveryCopy copy(64);
    EXPECT_FALSE(copy.step(ed, 0)) << "no copy was started";
    copy.start(0);
    EXPECT_FALSE(copy.step(ed, 0));
    copy.cancel();
    EXPECT_FALSE(copy.running());
    copy.edited(0, true, 1, kText.size() + 1);
    EXPECT_FALSE(copy.step(ed, 0));
    // A new copy starts afresh.
    copy.start(kText.size());
    while (!copy.step(ed, 100)) {
    }
    const RecoveryCopy::Copied copied = copy.take();
    EXPECT_EQ(copied.head + copied.tailBytes().toByteArray(), kText);
}

// ---- the writing thread ------------------------------------------------------------------

TEST(RecoveryWriterThread, RunsJobsInOrderOffTheCallersThread) {
    std::vector<int> done;
    QMutex mutex;
    std::atomic<bool> onCaller{false};
    QThread* caller = QThread::currentThread();
    {
        RecoveryWriter writer;
        for (int i = 0; i < 200; ++i)
            writer.post([&, i] {
                if (QThread::currentThread() == caller)
                    onCaller = true;
                QMutexLocker lock(&mutex);
                done.push_back(i);
            });
        writer.waitForWrites();
        EXPECT_EQ(writer.pending(), 0);
        QMutexLocker lock(&mutex);
        ASSERT_EQ(done.size(), 200u);
        for (int i = 0; i < 200; ++i)
            EXPECT_EQ(done[size_t(i)], i);
    }
    EXPECT_FALSE(onCaller);
}

TEST(RecoveryWriterThread, FinishesEveryJobBeforeItGoes) {
    std::atomic<int> done{0};
    {
        RecoveryWriter writer;
        for (int i = 0; i < 5; ++i)
            writer.post([&] {
                QThread::msleep(20);
                ++done;
            });
        EXPECT_GT(writer.pending(), 0);
    }
    EXPECT_EQ(done.load(), 5);
}

} // namespace

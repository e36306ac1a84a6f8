// SPDX-License-Identifier: GPL-3.0-or-later
// How QScintilla is built: the patched tree made from pinned archives (re-made exactly as
// far as a patch changed, refused when an archive or a patch is wrong), the patches'
// headers, and what the real build compiles and includes.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "testutil.h"

namespace {

// --- The patched tree, made by cmake/qscintilla-source.cmake from small made-up archives.

// The time of the files of the tree before a run, and of the files in the archives (as a
// real tarball's are, older than anything the build made from them).
const QDateTime kLongAgo = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
const QDateTime kReleased = QDateTime(QDate(2010, 1, 1), QTime(0, 0), Qt::UTC);

// Unified diffs of the made-up source (a.cpp "int a = 1;", b.cpp "int b = 1;", seven
// numbered lines in c.cpp, a header to which Debian's own patch adds a line).
const QByteArray kDebianPatch = "--- a/src/Qsci/h.h\n+++ b/src/Qsci/h.h\n@@ -1 +1,2 @@\n"
                                " // header\n+#include <QUrl>\n";
const QByteArray kPatchA = "Description: a is two\n---\n--- a/src/a.cpp\n+++ b/src/a.cpp\n"
                           "@@ -1 +1 @@\n-int a = 1;\n+int a = 2;\n";
const QByteArray kPatchB = "--- a/scintilla/src/b.cpp\n+++ b/scintilla/src/b.cpp\n"
                           "@@ -1 +1 @@\n-int b = 1;\n+int b = 2;\n";
const QByteArray kPatchBOther = "--- a/scintilla/src/b.cpp\n+++ b/scintilla/src/b.cpp\n"
                                "@@ -1 +1 @@\n-int b = 1;\n+int b = 3;\n";
// Needs Debian's line as its context: applies only after Debian's patches.
const QByteArray kPatchH = "--- a/src/Qsci/h.h\n+++ b/src/Qsci/h.h\n@@ -1,2 +1,3 @@\n"
                           " // header\n #include <QUrl>\n+#include <QString>\n";
// Changes line 4 of c.cpp; the first line of its context is wrong, so it would apply
// only with fuzz.
const QByteArray kPatchFuzzy = "--- a/src/c.cpp\n+++ b/src/c.cpp\n@@ -1,7 +1,7 @@\n"
                               " zero\n 2\n 3\n-4\n+four\n 5\n 6\n 7\n";
const QByteArray kPatchNotApplying = "--- a/src/a.cpp\n+++ b/src/a.cpp\n"
                                     "@@ -1 +1 @@\n-int a = 7;\n+int a = 8;\n";

class SourceTree {
public:
    SourceTree() {
        EXPECT_TRUE(m_dir.isValid());
        put("make/pkg-1.0/src/a.cpp", "int a = 1;\n");
        put("make/pkg-1.0/src/c.cpp", "1\n2\n3\n4\n5\n6\n7\n");
        put("make/pkg-1.0/src/Qsci/h.h", "// header\n");
        put("make/pkg-1.0/scintilla/src/b.cpp", "int b = 1;\n");
        put("make/pkg-1.0/doc/index.html", "<p>not built</p>\n");
        put("make/debian/patches/series", "# Debian's own\nurl.patch\n");
        put("make/debian/patches/url.patch", kDebianPatch);
        QDir(m_dir.path()).mkpath("archives");
        setTimes(path("make"), kReleased);
        tar("czf", "archives/pkg_1.0.orig.tar.gz", "pkg-1.0");
        tar("cJf", "archives/pkg_1.0-1.debian.tar.xz", "debian");
        pin();
        put("driver.cmake", "include(\"" VR_SOURCE_DIR "/cmake/qscintilla-source.cmake\")\n"
                            "vr_qsci_prepare(DEST \"${DEST}\" ARCHIVE_DIR \"${ARCHIVE_DIR}\"\n"
                            "                PIN \"${PIN}\" PATCHES ${PATCHES})\n");
    }

    QString path(const QString& rel) const { return m_dir.filePath(rel); }
    QString dest(const QString& rel) const { return path(QStringLiteral("tree/") + rel); }

    void put(const QString& rel, const QByteArray& bytes) {
        QDir(m_dir.path()).mkpath(QFileInfo(rel).path());
        EXPECT_TRUE(writeBytes(path(rel), bytes)) << rel.toStdString();
    }

    // The pin: version and the SHA-256 of each archive, in the order they are unpacked.
    void pin() {
        QByteArray text = "# made up\nversion 1.0-1\nsnapshot 20200101T000000Z\n";
        for (const char* name : {"pkg_1.0.orig.tar.gz", "pkg_1.0-1.debian.tar.xz"})
            text += "sha256 " + sha256(readBytes(path(QStringLiteral("archives/") + name))) + " " +
                    name + "\n";
        put("archives/pin", text);
    }

    // Our patches: a name and its text; run() applies them in name order.
    void addPatch(const QString& name, const QByteArray& text) { put("patches/" + name, text); }
    void removePatch(const QString& name) { QFile::remove(path("patches/" + name)); }

    struct Result {
        int exitCode = -1;
        QString output;
    };
    Result run() {
        m_lastRun = QDateTime::currentDateTimeUtc().addSecs(-1);
        QStringList patches;
        for (const QString& name :
             QDir(path("patches")).entryList({"*.patch"}, QDir::Files, QDir::Name))
            patches << path("patches/" + name);
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        cmake.start(QStringLiteral(VR_CMAKE_COMMAND),
                    {"-DDEST=" + path("tree"), "-DARCHIVE_DIR=" + path("archives"),
                     "-DPIN=" + path("archives/pin"), "-DPATCHES=" + patches.join(';'), "-P",
                     path("driver.cmake")});
        Result r;
        if (!cmake.waitForFinished(120000))
            return r;
        r.exitCode = cmake.exitStatus() == QProcess::NormalExit ? cmake.exitCode() : -1;
        r.output = QString::fromUtf8(cmake.readAll());
        return r;
    }

    // Every file of the tree, with its text.
    std::map<QString, QByteArray> files() const {
        std::map<QString, QByteArray> all;
        QDirIterator it(path("tree"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (!file.endsWith(QLatin1String("/.prepared")))
                all[QDir(path("tree")).relativeFilePath(file)] = readBytes(file);
        }
        return all;
    }

    // Sets every file of the tree to a time long ago, as if the objects built from it were
    // younger, so that a rewrite shows.
    void age() const { setTimes(path("tree"), kLongAgo); }
    // The files of the tree that look younger than the last run's start: those a build
    // compiles again.
    QStringList fresh() const {
        QStringList written;
        for (const auto& [rel, bytes] : files())
            if (QFileInfo(path("tree/" + rel)).lastModified() >= m_lastRun)
                written << rel;
        return written;
    }

    static QByteArray sha256(const QByteArray& bytes) {
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    }

private:
    static void setTimes(const QString& folder, const QDateTime& time) {
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            EXPECT_TRUE(f.open(QIODevice::ReadWrite) &&
                        f.setFileTime(time, QFileDevice::FileModificationTime));
        }
    }

    void tar(const char* mode, const QString& archive, const QString& what) {
        QProcess p;
        p.setWorkingDirectory(path("make"));
        p.start(QStringLiteral(VR_CMAKE_COMMAND),
                {"-E", "tar", QString::fromLatin1(mode), "../" + archive, what});
        ASSERT_TRUE(p.waitForFinished(60000) && p.exitCode() == 0) << archive.toStdString();
    }

    QTemporaryDir m_dir;
    QDateTime m_lastRun;
};

// The tree after the first run, with the patches 0001-a, 0002-b and 0003-h.
const std::map<QString, QByteArray> kPatched = {
    {"src/a.cpp", "int a = 2;\n"},
    {"src/c.cpp", "1\n2\n3\n4\n5\n6\n7\n"},
    {"src/Qsci/h.h", "// header\n#include <QUrl>\n#include <QString>\n"},
    {"scintilla/src/b.cpp", "int b = 2;\n"},
};

TEST(PreparedTree, HoldsTheSourceWithDebiansPatchesThenOursAndNothingElse) {
    SourceTree s;
    s.addPatch("0001-a.patch", kPatchA);
    s.addPatch("0002-b.patch", kPatchB);
    s.addPatch("0003-h.patch", kPatchH);
    const auto r = s.run();
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_EQ(s.files(), kPatched); // doc/ and debian/ are not built from: left out
    EXPECT_FALSE(QFileInfo::exists(s.path("tree.new"))) << "the folder it was made in stays";
}

// Between two runs something changes; the second run re-makes the tree.
struct RemakeCase {
    const char* name;
    std::function<void(SourceTree&)> change;
    std::map<QString, QByteArray> changedFiles; // their text after the second run
    QStringList fresh;                          // the files written by the second run
};

void PrintTo(const RemakeCase& c, std::ostream* os) {
    *os << c.name;
}

class Remaking : public ::testing::TestWithParam<RemakeCase> {};

TEST_P(Remaking, RewritesExactlyTheFilesWhoseTextChanged) {
    SourceTree s;
    s.addPatch("0001-a.patch", kPatchA);
    s.addPatch("0002-b.patch", kPatchB);
    s.addPatch("0003-h.patch", kPatchH);
    ASSERT_EQ(s.run().exitCode, 0);
    s.age();
    GetParam().change(s);
    const auto r = s.run();
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    auto expected = kPatched;
    for (const auto& [rel, bytes] : GetParam().changedFiles)
        expected[rel] = bytes;
    EXPECT_EQ(s.files(), expected);
    EXPECT_EQ(s.fresh(), GetParam().fresh);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, Remaking,
    ::testing::Values(
        RemakeCase{"NothingChanged", [](SourceTree&) {}, {}, {}},
        RemakeCase{"APatchEdited",
                   [](SourceTree& s) { s.addPatch("0002-b.patch", kPatchBOther); },
                   {{"scintilla/src/b.cpp", "int b = 3;\n"}},
                   {"scintilla/src/b.cpp"}},
        // The file goes back to an older text: it must still look newer than its object.
        RemakeCase{"APatchRemoved",
                   [](SourceTree& s) { s.removePatch("0002-b.patch"); },
                   {{"scintilla/src/b.cpp", "int b = 1;\n"}},
                   {"scintilla/src/b.cpp"}},
        RemakeCase{"APatchDroppedIn",
                   [](SourceTree& s) {
                       s.addPatch("0001a-a-again.patch",
                                  "--- a/src/a.cpp\n+++ b/src/a.cpp\n@@ -1 +1 @@\n"
                                  "-int a = 2;\n+int a = 4;\n");
                   },
                   {{"src/a.cpp", "int a = 4;\n"}},
                   {"src/a.cpp"}},
        RemakeCase{"APatchRenamedSameText",
                   [](SourceTree& s) {
                       s.removePatch("0002-b.patch");
                       s.addPatch("0002-b-renamed.patch", kPatchB);
                   },
                   {},
                   {}}),
    NameFrom<&RemakeCase::name>());

// Something is wrong; the run stops, says what and what to do, and leaves the tree alone.
struct RefusalCase {
    const char* name;
    std::function<void(SourceTree&)> change;
    QStringList saying; // parts of the message
    std::function<void(SourceTree&)> undo;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class Refusing : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusing, StopsWithAMessageAndLeavesTheTree) {
    SourceTree s;
    s.addPatch("0001-a.patch", kPatchA);
    s.addPatch("0002-b.patch", kPatchB);
    s.addPatch("0003-h.patch", kPatchH);
    ASSERT_EQ(s.run().exitCode, 0);
    s.age();
    GetParam().change(s);
    const auto r = s.run();
    EXPECT_NE(r.exitCode, 0);
    // CMake wraps its messages: compared with the white space of both made single.
    for (const QString& part : GetParam().saying)
        EXPECT_TRUE(r.output.simplified().contains(part.simplified())) << part.toStdString() << "\n"
                                                                       << r.output.toStdString();
    EXPECT_EQ(s.files(), kPatched);
    EXPECT_EQ(s.fresh(), QStringList());
    // Once the cause is gone the next run works, and finds the tree as it should be.
    GetParam().undo(s);
    const auto again = s.run();
    EXPECT_EQ(again.exitCode, 0) << again.output.toStdString();
    EXPECT_EQ(s.files(), kPatched);
    EXPECT_EQ(s.fresh(), QStringList());
}

const auto kWithoutPatch4 = [](SourceTree& s) { s.removePatch("0004-x.patch"); };

INSTANTIATE_TEST_SUITE_P(
    Causes, Refusing,
    ::testing::Values(
        RefusalCase{"AnArchiveNotThePinnedOne",
                    [](SourceTree& s) {
                        const QString archive = s.path("archives/pkg_1.0.orig.tar.gz");
                        QFile::copy(archive, s.path("fetched.tar.gz"));
                        writeBytes(archive, readBytes(archive) + "x");
                    },
                    {"pkg_1.0.orig.tar.gz is not the pinned one", "SHA-256 of the archive",
                     "scripts/qscintilla-source"},
                    [](SourceTree& s) {
                        const QString archive = s.path("archives/pkg_1.0.orig.tar.gz");
                        writeBytes(archive, readBytes(s.path("fetched.tar.gz")));
                    }},
        RefusalCase{"AnArchiveMissing",
                    [](SourceTree& s) {
                        QFile::rename(s.path("archives/pkg_1.0-1.debian.tar.xz"),
                                      s.path("elsewhere.tar.xz"));
                    },
                    {"pkg_1.0-1.debian.tar.xz is missing", "run scripts/qscintilla-source"},
                    [](SourceTree& s) {
                        QFile::rename(s.path("elsewhere.tar.xz"),
                                      s.path("archives/pkg_1.0-1.debian.tar.xz"));
                    }},
        RefusalCase{"APatchNotApplying",
                    [](SourceTree& s) { s.addPatch("0004-x.patch", kPatchNotApplying); },
                    {"0004-x.patch does not apply"},
                    kWithoutPatch4},
        RefusalCase{"APatchApplyingOnlyWithFuzz",
                    [](SourceTree& s) { s.addPatch("0004-x.patch", kPatchFuzzy); },
                    {"0004-x.patch does not apply"},
                    kWithoutPatch4},
        RefusalCase{"APatchRemovedThatALaterOneNeeds",
                    [](SourceTree& s) {
                        s.removePatch("0001-a.patch");
                        s.addPatch("0004-x.patch", "--- a/src/a.cpp\n+++ b/src/a.cpp\n"
                                                   "@@ -1 +1 @@\n-int a = 2;\n+int a = 5;\n");
                    },
                    {"0004-x.patch does not apply"},
                    [](SourceTree& s) {
                        s.removePatch("0004-x.patch");
                        s.addPatch("0001-a.patch", kPatchA);
                    }},
        RefusalCase{"APinWithAShortSum",
                    [](SourceTree& s) {
                        s.put("archives/pin", "version 1.0-1\nsha256 abc pkg_1.0.orig.tar.gz\n");
                    },
                    {"has 3 digits, not 64"},
                    [](SourceTree& s) { s.pin(); }}),
    NameFrom<&RefusalCase::name>());

// --- The patches of the repository.

QStringList repositoryPatches() {
    return QDir(QStringLiteral(VR_SOURCE_DIR "/third_party/qscintilla"))
        .entryList({"*.patch"}, QDir::Files, QDir::Name);
}

class RepositoryPatch : public ::testing::TestWithParam<QString> {};

TEST_P(RepositoryPatch, IsNamedInOrderAndStartsWithADep3Header) {
    const QString name = GetParam();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^[0-9]{4}[a-z]?-[a-z0-9]+(-[a-z0-9]+)*\\.patch$"))
            .match(name)
            .hasMatch())
        << name.toStdString();
    const QString text = QString::fromUtf8(
        readBytes(QStringLiteral(VR_SOURCE_DIR "/third_party/qscintilla/") + name));
    const qsizetype end = text.indexOf(QLatin1String("\n---\n"));
    ASSERT_GT(end, 0) << "no header ended by a line \"---\"";
    const QString header = text.left(end + 1);
    EXPECT_TRUE(text.mid(end + 5).startsWith(QLatin1String("diff ")) ||
                text.mid(end + 5).startsWith(QLatin1String("--- ")))
        << "the diff follows the header";
    const auto field = [&](const char* re) {
        return QRegularExpression(QString::fromLatin1(re), QRegularExpression::MultilineOption)
            .match(header)
            .hasMatch();
    };
    EXPECT_TRUE(field("^Description: \\S")) << "a one-line summary";
    EXPECT_TRUE(field("^Description: .*\\n \\S")) << "a long description";
    EXPECT_TRUE(field("^Author: VERRiNDEL developers$"));
    EXPECT_TRUE(field("^Forwarded: (no|not-needed|https?://\\S+)$"));
    EXPECT_TRUE(field("^Last-Update: 20[0-9]{2}-[01][0-9]-[0-3][0-9]$"));
    for (const QString& line : header.split('\n')) {
        EXPECT_LE(line.size(), 79) << "a line longer than 79 characters: " << line.toStdString();
        EXPECT_FALSE(line.startsWith(QLatin1String("--- ")) ||
                     line.startsWith(QLatin1String("+++ ")))
            << "a header line that patch would read as a diff: " << line.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Folder, RepositoryPatch, ::testing::ValuesIn(repositoryPatches()),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return testName(QString(info.param).chopped(6).replace('-', '_'));
                         });

// --- What the real build compiles, from its compile_commands.json.

struct CompileCommand {
    QString file;
    QStringList args;
};

std::vector<CompileCommand> compileCommands() {
    std::vector<CompileCommand> all;
    const QJsonArray entries =
        QJsonDocument::fromJson(readBytes(QStringLiteral(VR_BUILD_DIR "/compile_commands.json")))
            .array();
    for (const auto& e : entries) {
        const QJsonObject o = e.toObject();
        all.push_back(
            {o.value("file").toString(), QProcess::splitCommand(o.value("command").toString())});
    }
    return all;
}

// The folder whose Qsci/qsciscintilla.h a compile command's #include <...> finds: -I
// folders in their order, then -isystem ones in theirs.
QString qsciHeaderFolder(const QStringList& args) {
    QStringList quoted, system;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-I") && i + 1 < args.size())
            quoted << args[++i];
        else if (a.startsWith(QLatin1String("-I")))
            quoted << a.mid(2);
        else if (a == QLatin1String("-isystem") && i + 1 < args.size())
            system << args[++i];
    }
    for (const QString& folder : quoted + system)
        if (QFileInfo::exists(folder + QStringLiteral("/Qsci/qsciscintilla.h")))
            return QDir::cleanPath(folder);
    return QString();
}

TEST(Build, EveryFileThatSeesThePatchedQsciHeadersGetsThemFirst) {
    const auto commands = compileCommands();
    ASSERT_FALSE(commands.empty()) << "no compile_commands.json in " VR_BUILD_DIR;
    const QString patched = QDir::cleanPath(QStringLiteral(VR_BUILD_DIR "/qscintilla/src"));
    int checked = 0;
    for (const auto& c : commands) {
        // The stock benchmark builds against the installed QScintilla on purpose.
        if (!c.args.join(' ').contains(patched) || c.args.contains("-DVR_TYPING_STOCK"))
            continue;
        ++checked;
        EXPECT_EQ(qsciHeaderFolder(c.args), patched) << c.file.toStdString();
    }
    EXPECT_GT(checked, 20) << "the editor control, the tests and the library itself";
}

// The files of QScintilla's tree that the build compiles: a lexer among them only in a
// build with the benchmarks (their anchor).
struct LexerCase {
    const char* name;
    const char* pattern; // the path in the tree of a lexer
    QStringList benchOnly;
};

void PrintTo(const LexerCase& c, std::ostream* os) {
    *os << c.name;
}

class CompiledLexers : public ::testing::TestWithParam<LexerCase> {};

TEST_P(CompiledLexers, NoneButTheBenchmarksAnchor) {
    const QDir tree(QStringLiteral(VR_BUILD_DIR "/qscintilla"));
    const QRegularExpression lexer(QString::fromLatin1(GetParam().pattern));
    QStringList compiled;
    int fromTree = 0;
    for (const auto& c : compileCommands()) {
        const QString rel = tree.relativeFilePath(c.file);
        if (rel.startsWith(QLatin1String("../")))
            continue;
        ++fromTree;
        if (lexer.match(rel).hasMatch())
            compiled << rel;
    }
    EXPECT_GT(fromTree, 50) << "Scintilla's core and QScintilla's classes";
    compiled.sort();
    QStringList expected = VR_BENCH_BUILD ? GetParam().benchOnly : QStringList();
    expected.sort();
    EXPECT_EQ(compiled, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CompiledLexers,
    ::testing::Values(
        LexerCase{"ScintillaLexers", "^scintilla/lexers/", {"scintilla/lexers/LexHTML.cpp"}},
        LexerCase{"QsciLexerClasses",
                  "^src/qscilexer[a-z0-9]+\\.cpp$",
                  {"src/qscilexerhtml.cpp", "src/qscilexerjavascript.cpp", "src/qscilexercpp.cpp",
                   "src/qscilexerpython.cpp"}}),
    NameFrom<&LexerCase::name>());

} // namespace

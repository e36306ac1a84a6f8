// SPDX-License-Identifier: GPL-3.0-or-later
// The program answering its command line with no display: --help, --version, a wrong
// option, and --validate, whose reports are the validator window's for the same files.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

#include "app/commandline.h"
#include "app/startup.h"
#include "mainwindowtest.h"
#include "testutil.h"
#include "text/filenames.h"
#include "validator/checks.h"
#include "validator/frmvalidator.h"

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class CommandLine : public MainWindowTest {
protected:
    // Runs the program in the temporary folder with no display of any kind to connect to.
    Outcome run(const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"})
            env.remove(QString::fromLatin1(name));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(VR_EXECUTABLE), arguments);
        EXPECT_TRUE(p.waitForFinished(60000)) << "the program did not finish";
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << p.readAllStandardError().constData();
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    void write(const char* name, const QByteArray& bytes) {
        ASSERT_TRUE(writeBytes(path(name), bytes));
    }

    // Runs the program with arguments that are bytes, not text: a shell passes them on as
    // printf makes them.
    Outcome runWithBytes(const QList<QByteArray>& arguments) {
        QString script = QStringLiteral("exec \"$0\"");
        for (const QByteArray& argument : arguments) {
            script += QStringLiteral(" \"$(printf '");
            for (const char c : argument)
                script += QStringLiteral("\\%1").arg(uchar(c), 3, 8, QLatin1Char('0'));
            script += QStringLiteral("')\"");
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"})
            env.remove(QString::fromLatin1(name));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), script, QStringLiteral(VR_EXECUTABLE)});
        EXPECT_TRUE(p.waitForFinished(60000)) << "the program did not finish";
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    // Writes a file whose name is bytes, UTF-8 or not.
    void writeNamed(const QByteArray& name, const QByteArray& bytes) {
        const QByteArray file = QFile::encodeName(dir.path()) + '/' + name;
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << file.constData();
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        ::close(fd);
    }

    // The report the validator window shows after File > Open of `name` and Validate.
    QString windowReport(const char* name) {
        d.chooseFile(path(name));
        trigger("mnuOpen");
        EXPECT_EQ(w->windowTitle(), path(name));
        trigger("mnuValidate");
        frmValidator* v = frmValidator::instance();
        if (!v)
            return QStringLiteral("<no validator>");
        v->cmdValidate_Click();
        const QString report = v->report();
        v->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return report;
    }

    // A file's block of --validate output, written out from the window's report.
    static QString block(const char* name, QString report) {
        report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (!report.endsWith(u'\n'))
            report += u'\n';
        return QString::fromLatin1(name) + QStringLiteral(":\n") + report;
    }

    static inline const QByteArray kClean =
        "<html>\r\n<head><title>T</title></head>\r\n<body><p>Hi</p></body>\r\n</html>\r\n";
    static inline const QByteArray kUnclosedBold =
        "<html><head><title>T</title></head><body><b>x</body></html>\n";
    static inline const QString kCleanBlock = QStringLiteral("clean.html:\nNo Errors Detected!\n");
    static inline const QString kBoldBlock =
        QStringLiteral("bold.html:\nI found 1 <b> open tag(s) without a close tag </b>\n\n");
};

TEST_F(CommandLine, HelpNeedsNoDisplay) {
    const Outcome r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("Usage: ")) << r.out.toStdString();
    for (const char* option : {"-h, --help", "-v, --version", "--validate", "[FILE...]"})
        EXPECT_TRUE(r.out.contains(QString::fromLatin1(option))) << option;
    EXPECT_FALSE(r.out.contains(u'\r'));
    EXPECT_EQ(r.err, QString());
}

TEST_F(CommandLine, VersionIsTheProjectsAndNeedsNoDisplay) {
    const Outcome r = run({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("verrindel " VR_VERSION "\n"));
    EXPECT_EQ(r.err, QString());
}

TEST_F(CommandLine, UnknownOptionIsOneLineNamingItAndExitsTwo) {
    const Outcome r = run({"--frobnicate", "page.html"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, QStringLiteral("verrindel: unknown option '--frobnicate'; see --help\n"));
}

TEST_F(CommandLine, ValidateCleanPage) {
    write("clean.html", kClean);
    const Outcome r = run({"--validate", "clean.html"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, kCleanBlock);
    EXPECT_EQ(r.err, QString());
}

TEST_F(CommandLine, ValidatePageWithFindings) {
    write("bold.html", kUnclosedBold);
    const Outcome r = run({"--validate", "bold.html"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, kBoldBlock);
    EXPECT_EQ(r.err, QString());
}

TEST_F(CommandLine, ValidateMissingFileNamesItAndTheReason) {
    const Outcome r = run({"--validate", "missing.html"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, QStringLiteral("verrindel: missing.html: No such file or directory\n"));
}

TEST_F(CommandLine, ValidateSeveralFilesInOrderWithTheWorstExitStatus) {
    write("clean.html", kClean);
    write("bold.html", kUnclosedBold);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.html"));

    Outcome r = run({"--validate", "clean.html", "bold.html", "clean.html"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, kCleanBlock + "\n" + kBoldBlock + "\n" + kCleanBlock);
    EXPECT_EQ(r.err, QString());

    // An unreadable file is reported, the others are still checked, and 2 wins over 1.
    r = run({"--validate", "bold.html", "missing.html", "folder.html", "clean.html"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, kBoldBlock + "\n" + kCleanBlock);
    const QStringList lines = r.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.err.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("verrindel: missing.html: No such file or directory"));
    EXPECT_TRUE(lines[1].startsWith("verrindel: folder.html: ")) << lines[1].toStdString();

    r = run({"--validate", "clean.html", "clean.html"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, kCleanBlock + "\n" + kCleanBlock);
}

TEST_F(CommandLine, HelpNamesCheck) {
    const Outcome r = run({"--help"});
    EXPECT_TRUE(r.out.contains(QStringLiteral("--check"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("PATH:LINE:COLUMN:"))) << r.out.toStdString();
}

TEST_F(CommandLine, CheckCleanPageSaysNothingAndExitsZero) {
    write("clean.html", "<!DOCTYPE html>\r\n<html lang=en><title>T</title>\r\n<p>Hi\r\n");
    const Outcome r = run({"--check", "clean.html"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, QString());
}

TEST_F(CommandLine, CheckPrintsOneLinePerFindingSortedByPlace) {
    // The editor reads the file as File > Open does: lone CR and LF end lines too, and
    // columns count UTF-16 code units of the decoded text.
    write("page.html", "<!DOCTYPE html><html lang=en><title>T</title>\n"
                       "<p>\xc3\xa9\xf0\x9f\x98\x80<foo>x</foo>\r"
                       "<img src=a.png>\r\n"
                       "<p class=a class=b>&#0;");
    const Outcome r = run({"--check", "page.html"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(r.out,
              QStringLiteral(
                  "page.html:2:7: error: Unknown element <foo> (a custom element's name has a "
                  "hyphen) [unknown-element]\n"
                  "page.html:3:1: error: <img> has no alt attribute (use alt=\"\" for a picture "
                  "that says nothing) [missing-alt]\n"
                  "page.html:3:6: warning: \"a.png\" leads to a file that does not exist "
                  "[missing-file]\n"
                  "page.html:4:12: error: Duplicate attribute \"class\"; browsers ignore this one "
                  "[duplicate-attribute]\n"
                  "page.html:4:20: error: Character reference &#0; stands for the null character "
                  "[bad-character-reference]\n"));
}

TEST_F(CommandLine, CheckExitStatusIsTheWorstOfAllFiles) {
    write("clean.html", "<!DOCTYPE html><html lang=en><title>T</title>");
    write("info.html", "<!DOCTYPE html><html><title>T</title>"); // only information
    write("warning.html", "<!DOCTYPE html><html lang=en><title>T</title><center>x</center>");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.html"));

    Outcome r = run({"--check", "clean.html", "info.html"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("info.html:1:16: info: <html> has no lang attribute naming "
                                    "the page's language [missing-lang]\n"));

    r = run({"--check", "clean.html", "warning.html", "clean.html"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.startsWith("warning.html:1:46: warning: <center> is obsolete"))
        << r.out.toStdString();

    // An unreadable file is named with the reason, the others are still checked, 2 wins.
    r = run({"--check", "missing.html", "warning.html", "folder.html", "clean.html"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.startsWith("warning.html:")) << r.out.toStdString();
    const QStringList lines = r.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.err.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("verrindel: missing.html: No such file or directory"));
    EXPECT_TRUE(lines[1].startsWith("verrindel: folder.html: ")) << lines[1].toStdString();
}

TEST_F(CommandLine, CheckResolvesLinksFromTheFilesFolderAndPrintsThePathAsGiven) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("site/img"));
    write("site/img/a.png", "png");
    write("site/other.html", "<!DOCTYPE html><title>o</title><h2 id=here>x</h2>");
    write("site/index.html", "<!DOCTYPE html><html lang=en><title>T</title>\n"
                             "<img src=img/a.png alt=a><a href=other.html#here>1</a>\n"
                             "<a href=other.html#gone>2</a><img src=img/b.png alt=b>\n");
    const Outcome r = run({"--check", "./site//index.html"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral("./site//index.html:3:4: warning: No element with id \"gone\" "
                                    "in \"other.html\" [missing-fragment]\n"
                                    "./site//index.html:3:35: warning: \"img/b.png\" leads to a "
                                    "file that does not exist [missing-file]\n"));
}

// Each file is written as bytes, opened with File > Open and validated in the window; the
// command line prints the same report, for every form of file the editor reads.
struct PageCase {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineAsWindow : public CommandLine, public ::testing::WithParamInterface<PageCase> {};

TEST_P(CommandLineAsWindow, PrintsTheWindowsReport) {
    const char* name = GetParam().name;
    write(name, GetParam().bytes);
    const QString report = windowReport(name);
    const Outcome r = run({"--validate", QString::fromLatin1(name)});
    EXPECT_EQ(r.out, block(name, report));
    EXPECT_EQ(r.exitCode, report == QStringLiteral("No Errors Detected!") ? 0 : 1);
    EXPECT_EQ(r.err, QString());
}

QByteArray utf16WithMark(const char16_t* text) {
    QByteArray bytes("\xff\xfe");
    for (const char16_t* c = text; *c; ++c)
        bytes.append(char(*c & 0xff)).append(char(*c >> 8));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, CommandLineAsWindow,
    ::testing::Values(
        PageCase{"clean.html", "<html>\r\n<head><title>T</title></head>\r\n"
                               "<body><p>Hi</p></body>\r\n</html>\r\n"},
        PageCase{"lf.html", "<html>\n<body>\n<b>bold\n<!-- note\n<table><tr><td>x</td>\n"},
        PageCase{"utf8mark.html", "\xef\xbb\xbf<html><body><p>caf\xc3\xa9</body></html>"},
        PageCase{"cp1252.html", "<html><body><p>caf\xe9 \x93quoted\x94</i></body></html>\r\n"},
        PageCase{"utf16.html",
                 utf16WithMark(u"<html>\r\n<head><title>T</title></head>\r\n<body></body>")},
        PageCase{"rich.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Cambria;}}\\f0 <html>\\par "
                             "<body><b>x\\par }"}),
    NameFrom<&PageCase::name>());

TEST_F(CommandLine, RichTextIsCheckedByItsPlainTextNotItsMarkup) {
    const QByteArray rtf = "{\\rtf1\\ansi \\'3chtml>\\par }";
    write("page.rtf", rtf);
    const Outcome r = run({"--validate", "page.rtf"});
    EXPECT_EQ(r.out, block("page.rtf", windowReport("page.rtf")));
    // The markup alone has a ">" without "<", which the plain text does not.
    EXPECT_TRUE(validator::runAllChecks(QString::fromLatin1(rtf)).contains("Difference"));
    EXPECT_FALSE(r.out.contains("Difference")) << r.out.toStdString();
}

// Names that are not plain text: the very file is checked (not the one a lossy conversion
// of its name would give), and its name is printed so that it cannot forge a line.
struct OddNameCase {
    const char* name;
    QByteArray file;     // the file's name, as bytes
    const char* printed; // how the report names it
};

void PrintTo(const OddNameCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineOddNames : public CommandLine,
                            public ::testing::WithParamInterface<OddNameCase> {};

TEST_P(CommandLineOddNames, ChecksThatVeryFileAndQuotesItsName) {
    const OddNameCase& c = GetParam();
    writeNamed(c.file, kUnclosedBold);
    // What the name would become through a lossy conversion: a clean page, if another name.
    const QByteArray lossy = QString::fromUtf8(c.file).toUtf8();
    if (lossy != c.file)
        writeNamed(lossy, kClean);
    const Outcome r = runWithBytes({"--validate", c.file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QString::fromUtf8(c.printed) + kBoldBlock.mid(kBoldBlock.indexOf(u':')));
    EXPECT_EQ(r.err, QString());
    // A file that cannot be read is named the same way.
    const Outcome missing = runWithBytes({"--validate", "missing/" + c.file});
    EXPECT_EQ(missing.exitCode, 2);
    const QString printedMissing = quotedFileName(decodeFileName("missing/" + c.file));
    EXPECT_EQ(missing.err, QStringLiteral("verrindel: ") + printedMissing +
                               QStringLiteral(": No such file or directory\n"));
    EXPECT_EQ(missing.err.count(u'\n'), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CommandLineOddNames,
    ::testing::Values(OddNameCase{"ByteThatIsNotUtf8", "\xff.html", "\"\\377.html\""},
                      OddNameCase{"Windows1252Name", "caf\xe9.html", "\"caf\\351.html\""},
                      OddNameCase{"LineBreak", "x.html:\nNo Errors Detected!\n\ny.html",
                                  "\"x.html:\\nNo Errors Detected!\\n\\ny.html\""},
                      OddNameCase{"TerminalEscape", "\x1b[2Kz.html", "\"\\033[2Kz.html\""},
                      OddNameCase{"Utf8Name", "caf\xc3\xa9.html", "caf\xc3\xa9.html"}),
    NameFrom<&OddNameCase::name>());

TEST_F(CommandLine, TheWindowOpensAndSavesANameThatIsNotUtf8) {
    writeNamed("\xff.html", "<p>odd</p>\n");
    writeNamed("\xef\xbf\xbd.html", "<p>neighbour</p>\n");
    const QByteArray file = QFile::encodeName(dir.path()) + "/\xff.html";
    const char* argv[] = {"verrindel", file.constData()};
    ASSERT_TRUE(openStartupFile(*w, commandLineArguments(2, argv)));
    EXPECT_EQ(editor()->Text(), QStringLiteral("<p>odd</p>\r\n"));
    EXPECT_EQ(encodeFileName(w->windowTitle()), file);
    editor()->SetSelStart(0);
    editor()->SetSelText(QStringLiteral("<h1>x</h1>\r\n"));
    trigger("mnuSave");
    EXPECT_TRUE(d.messages().isEmpty()) << d.messages().join('\n').toStdString();
    EXPECT_EQ(readBytes(dir.filePath(QString::fromUtf8("\xef\xbf\xbd.html"))),
              QByteArray("<p>neighbour</p>\n"));
    const int fd = ::open(file.constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    char back[64] = {};
    EXPECT_EQ(::read(fd, back, sizeof back), 22);
    ::close(fd);
    EXPECT_STREQ(back, "<h1>x</h1>\n<p>odd</p>\n");
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// How the command line is read: the editor's FILE, --help, --version, --validate FILE...,
// Qt's own window-system options left to Qt, and one-line errors for anything else.
#include <gtest/gtest.h>

#include "app/commandline.h"
#include "checker/checker.h"
#include "testutil.h"
#include "text/filenames.h"

namespace {

using Action = CommandLineRequest::Action;

CommandLineRequest parse(const QStringList& arguments) {
    return parseCommandLine(QStringList{QStringLiteral("verrindel")} + arguments);
}

struct RequestCase {
    const char* name;
    QStringList arguments; // after the program's name
    Action action;
    QStringList files;
};

void PrintTo(const RequestCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineRequests : public ::testing::TestWithParam<RequestCase> {};

TEST_P(CommandLineRequests, TellWhatIsAskedForAndTheFiles) {
    const CommandLineRequest r = parse(GetParam().arguments);
    EXPECT_EQ(int(r.action), int(GetParam().action));
    EXPECT_EQ(r.files, GetParam().files);
    EXPECT_EQ(r.error, QString());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CommandLineRequests,
    ::testing::Values(
        RequestCase{"Nothing", {}, Action::StartEditor, {}},
        RequestCase{"OneFile", {"index.html"}, Action::StartEditor, {"index.html"}},
        RequestCase{"DashedFile", {"--", "-odd.html"}, Action::StartEditor, {"-odd.html"}},
        RequestCase{"QtOption", {"-style", "Fusion", "a.html"}, Action::StartEditor, {"a.html"}},
        RequestCase{"QtOptionsDoubleDashed",
                    {"--platform=xcb", "--reverse", "a.html"},
                    Action::StartEditor,
                    {"a.html"}},
        RequestCase{"ShortHelp", {"-h"}, Action::Help, {}},
        RequestCase{"HelpFirst", {"--validate", "a.html", "--help"}, Action::Help, {"a.html"}},
        RequestCase{"ShortVersion", {"-v"}, Action::Version, {}},
        RequestCase{"VersionNext", {"--version", "--validate", "a"}, Action::Version, {"a"}},
        RequestCase{"ValidateInOrder",
                    {"--validate", "b.html", "a.html", "b.html"},
                    Action::Validate,
                    {"b.html", "a.html", "b.html"}},
        RequestCase{"ValidateLast", {"a", "--validate", "b"}, Action::Validate, {"a", "b"}},
        RequestCase{
            "ValidateDashedFile", {"--validate", "--", "--help"}, Action::Validate, {"--help"}},
        RequestCase{
            "CheckInOrder", {"--check", "b.html", "a.html"}, Action::Check, {"b.html", "a.html"}},
        RequestCase{"CheckLast", {"a", "--check", "b"}, Action::Check, {"a", "b"}},
        RequestCase{"HelpBeforeCheck", {"--check", "a", "-h"}, Action::Help, {"a"}},
        RequestCase{"VersionBeforeCheck", {"--check", "a", "-v"}, Action::Version, {"a"}}),
    NameFrom<&RequestCase::name>());

struct ErrorCase {
    const char* name;
    QStringList arguments;
    const char* message; // between "verrindel: " and "; see --help"
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CommandLineErrors, AreOneLineEndingInSeeHelp) {
    const CommandLineRequest r = parse(GetParam().arguments);
    EXPECT_EQ(int(r.action), int(Action::Error));
    EXPECT_EQ(r.error, QStringLiteral("verrindel: ") + QString::fromUtf8(GetParam().message) +
                           QStringLiteral("; see --help"));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CommandLineErrors,
    ::testing::Values(
        ErrorCase{"UnknownLongOption", {"--frobnicate", "a"}, "unknown option '--frobnicate'"},
        ErrorCase{"UnknownShortOption", {"-x"}, "unknown option '-x'"},
        ErrorCase{"UnknownOptionWithValue", {"--colour=red"}, "unknown option '--colour'"},
        ErrorCase{"ValidateWithoutFile", {"--validate"}, "--validate needs at least one FILE"},
        ErrorCase{
            "ValidateGivenAValue", {"--validate=a.html"}, "unexpected value after '--validate'"},
        ErrorCase{"QtOptionWithoutItsValue", {"-style"}, "missing value after '-style'"},
        ErrorCase{"CheckWithoutFile", {"--check"}, "--check needs at least one FILE"},
        ErrorCase{"CheckAndValidate",
                  {"--check", "--validate", "a.html"},
                  "--validate and --check do not go together"}),
    NameFrom<&ErrorCase::name>());

TEST(CommandLineFinding, IsPathLineColumnSeverityMessageAndRule) {
    checker::Finding f;
    f.severity = checker::Severity::Warning;
    f.rule = "missing-file";
    f.message = QStringLiteral("\"a.png\" leads to a file that does not exist");
    f.line = 12;
    f.column = 7;
    EXPECT_EQ(commandLineFinding(QStringLiteral("dir/p q.html"), f),
              QStringLiteral("dir/p q.html:12:7: warning: \"a.png\" leads to a file that does not "
                             "exist [missing-file]\n"));
    f.severity = checker::Severity::Info;
    EXPECT_TRUE(commandLineFinding(QStringLiteral("a"), f).startsWith("a:12:7: info: "));
    // Percent signs in names and messages are printed as they are.
    f.message = QStringLiteral("\"img/a%20b.png\" leads to a file that does not exist");
    EXPECT_EQ(commandLineFinding(QStringLiteral("%1%2.html"), f),
              QStringLiteral("%1%2.html:12:7: info: \"img/a%20b.png\" leads to a file that does "
                             "not exist [missing-file]\n"));
    // A page or a name can never start a line of its own: line breaks, escapes and
    // reordering marks from the page are written as \uXXXX, names are quoted.
    f.message = QStringLiteral("Duplicate id \"a\nb.html:1:1: error: forged\x1b[2J\u202E\"");
    EXPECT_EQ(commandLineFinding(QStringLiteral("x\ny.html"), f),
              QStringLiteral("\"x\\ny.html\":12:7: info: Duplicate id \"a\\u000ab.html:1:1: "
                             "error: forged\\u001b[2J\\u202e\" [missing-file]\n"));
}

TEST(CommandLineReport, IsThePathThenTheReportInLfLines) {
    EXPECT_EQ(commandLineReport("a.html", "No Errors Detected!"), "a.html:\nNo Errors Detected!\n");
    EXPECT_EQ(commandLineReport("dir/b c.html", "First...\r\n\r\nSecond...\r\n\r\n"),
              "dir/b c.html:\nFirst...\n\nSecond...\n\n");
    // A name that could start a line of its own is quoted, on its one line.
    EXPECT_EQ(commandLineReport("a.html:\nNo Errors Detected!\n\nb.html", "First...\r\n"),
              "\"a.html:\\nNo Errors Detected!\\n\\nb.html\":\nFirst...\n");
}

TEST(CommandLineArguments, KeepEveryByteOfANameThatIsNotUtf8) {
    const char* argv[] = {"verrindel", "--validate", "\xff.html", "caf\xc3\xa9.html"};
    const QStringList arguments = commandLineArguments(4, argv);
    ASSERT_EQ(arguments.size(), 4);
    EXPECT_EQ(arguments[1], QStringLiteral("--validate"));
    EXPECT_EQ(encodeFileName(arguments[2]), QByteArray("\xff.html"));
    EXPECT_NE(arguments[2], QString::fromUtf8("\xef\xbf\xbd.html"));
    EXPECT_EQ(arguments[3], QString::fromUtf8("caf\xc3\xa9.html"));
    EXPECT_EQ(parseCommandLine(arguments).files, arguments.mid(2));
}

} // namespace

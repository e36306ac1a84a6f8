// SPDX-License-Identifier: GPL-3.0-or-later
// Which file the command line names: relative names resolve against the working folder,
// a file: URL gives its local path, "--" ends the options, nothing named gives nothing.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "testutil.h"
#include "text/filenames.h"

namespace {

struct PathCase {
    const char* name;
    QStringList arguments;
    QString expected;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupFilePath : public ::testing::TestWithParam<PathCase> {};

TEST_P(StartupFilePath, NamesTheFullPathOfTheFirstArgument) {
    EXPECT_EQ(startupFilePath(GetParam().arguments, QStringLiteral("/home/ann/site")),
              GetParam().expected);
}

const QString kProgram = QStringLiteral("verrindel");

INSTANTIATE_TEST_SUITE_P(
    CommandLines, StartupFilePath,
    ::testing::Values(
        PathCase{"NoArgument", {kProgram}, QString()},
        PathCase{"EmptyArgument", {kProgram, QString()}, QString()},
        PathCase{"OnlyEndOfOptions", {kProgram, "--"}, QString()},
        PathCase{"AbsolutePath", {kProgram, "/srv/www/index.html"}, "/srv/www/index.html"},
        PathCase{"RelativeName", {kProgram, "index.html"}, "/home/ann/site/index.html"},
        PathCase{
            "RelativeWithDots", {kProgram, "../shared/./style.css"}, "/home/ann/shared/style.css"},
        PathCase{"NameWithSpaces", {kProgram, "my page.html"}, "/home/ann/site/my page.html"},
        PathCase{"AfterEndOfOptions", {kProgram, "--", "-odd.html"}, "/home/ann/site/-odd.html"},
        PathCase{"FileUrl", {kProgram, "file:///srv/www/a%20b.html"}, "/srv/www/a b.html"},
        PathCase{"FirstOfSeveral", {kProgram, "a.html", "b.html"}, "/home/ann/site/a.html"},
        // Names are bytes: those that are not UTF-8 come through unchanged.
        PathCase{"NameThatIsNotUtf8",
                 {kProgram, decodeFileName("\xff.html")},
                 decodeFileName("/home/ann/site/\xff.html")},
        PathCase{"FileUrlOfANameThatIsNotUtf8",
                 {kProgram, "file:///srv/caf%E9.html"},
                 decodeFileName("/srv/caf\xe9.html")},
        PathCase{"FileUrlOfUtf8", {kProgram, "file:///srv/caf%C3%A9.html"}, "/srv/caf\u00e9.html"}),
    NameFrom<&PathCase::name>());

} // namespace

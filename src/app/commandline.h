// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

// What a command line asks of the program.
struct CommandLineRequest {
    enum class Action { StartEditor, Help, Version, Validate, Check, Error };
    Action action = Action::StartEditor;
    // The FILE arguments in the order given ("--" ends the options).
    QStringList files;
    // For Error: the one-line message, ending in "see --help".
    QString error;
};

// Reads a command line (program name first). Needs no application object and no display;
// Qt's own window-system options (-platform NAME, -style NAME...) are accepted and left to
// the application object. --help wins over --version, which wins over --validate and
// --check (which do not go together).
CommandLineRequest parseCommandLine(const QStringList& arguments);

// The text printed by --help and by --version, each ending in a line break.
QString commandLineHelp();
QString commandLineVersion();

// The report of one file as --validate prints it: the path as given and a colon on a line,
// then the validator window's report of the file with LF line breaks, ending in a line break.
// A path that holds control characters (or bytes that are not UTF-8) is written as
// quotedFileName() writes it, so that it cannot forge a line of the report.
QString commandLineReport(const QString& path, const QString& report);

// --validate: checks each file in order, read as File > Open reads it, and writes their
// reports to `out` with an empty line between two of them, and a line naming each file
// that cannot be read (quoted as in the reports) and the reason to `err`. Returns the exit
// status: 2 when a file could not be read, else 1 when a file has findings, else 0.
int validateFiles(const QStringList& files, QTextStream& out, QTextStream& err);

// The command line as text, every byte of a file name kept (see filenames.h); Qt's own
// QCoreApplication::arguments() loses the bytes of names that are not UTF-8.
QStringList commandLineArguments(int argc, const char* const argv[]);

namespace checker {
struct Finding;
}

// One finding of --check as it prints it: "PATH:LINE:COLUMN: SEVERITY: MESSAGE [RULE]".
QString commandLineFinding(const QString& path, const checker::Finding& finding);

// --check: checks each file in order with the located checker, read as File > Open reads
// it, and writes one line per finding, sorted by place, to `out`; a line naming each file
// that cannot be read and the reason to `err`. Returns the exit status: 2 when a file could
// not be read, else 1 when a file has an error or a warning, else 0.
int checkFiles(const QStringList& files, QTextStream& out, QTextStream& err);

// Answers the command line's requests that need no window (--help, --version, --validate,
// --check, a wrong option) and returns the exit status; returns nothing when the editor is to
// start. Makes no connection to a display.
std::optional<int> answerCommandLine(int argc, char* argv[]);

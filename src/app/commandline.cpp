// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "checker/checker.h"
#include "text/filenames.h"
#include "text/textfile.h"
#include "validator/checks.h"
#include "validator/report.h"

namespace {

const QString kProgram = QStringLiteral("verrindel");

// The options of the program, and Qt's window-system options, which the application
// object reads itself: accepted here, but not shown in the help.
struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
    QCommandLineOption validate{
        QStringLiteral("validate"),
        QStringLiteral("Check each FILE with the built-in validator without opening a window, "
                       "print the reports and exit: 0 when every file is clean, 1 when any file "
                       "has findings, 2 when any file cannot be read.")};
    QCommandLineOption check{
        QStringLiteral("check"),
        QStringLiteral("Check each FILE as a browser reads it without opening a window and print "
                       "one line per finding, PATH:LINE:COLUMN: SEVERITY: MESSAGE [RULE], then "
                       "exit: 0 when no file has an error or warning, 1 when one has, 2 when a "
                       "file cannot be read.")};

    explicit Options(QCommandLineParser& parser) {
        parser.setApplicationDescription(
            QStringLiteral("An editor for hand-written HTML and CSS. Opens FILE at start-up, "
                           "or checks the FILEs with --validate or --check."));
        // "-platform xcb" is one option, not the letters p, l, a...
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({help, version, validate, check});
        for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                                 "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                 "display", "geometry", "style", "stylesheet", "qmljsdebugger"})
            parser.addOption(qtOption(name, true));
        for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"})
            parser.addOption(qtOption(name, false));
        parser.addPositionalArgument(
            QStringLiteral("FILE"),
            QStringLiteral("The page to open, or with --validate or --check the pages to check."),
            QStringLiteral("[FILE...]"));
    }

    static QCommandLineOption qtOption(const char* name, bool takesValue) {
        QCommandLineOption option(QString::fromLatin1(name));
        if (takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        return option;
    }
};

// The unknown option as it was written ("--frobnicate", "-x"), without a value after "=".
QString writtenOption(const QStringList& arguments, const QString& name) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QStringLiteral("--"))
            break;
        const QString written = argument.section(QLatin1Char('='), 0, 0);
        if (written == QLatin1Char('-') + name || written == QStringLiteral("--") + name)
            return written;
    }
    return QStringLiteral("--") + name;
}

CommandLineRequest error(const QString& message) {
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Error;
    request.error = kProgram + QStringLiteral(": ") + message + QStringLiteral("; see --help");
    return request;
}

} // namespace

CommandLineRequest parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const Options options(parser);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return error(QStringLiteral("unknown option '%1'")
                             .arg(writtenOption(arguments, unknown.first())));
        // Qt's own message ("Missing value after '-style'."), as one clause.
        QString message = parser.errorText();
        if (message.endsWith(QLatin1Char('.')))
            message.chop(1);
        if (!message.isEmpty())
            message[0] = message[0].toLower();
        return error(message);
    }
    CommandLineRequest request;
    request.files = parser.positionalArguments();
    if (parser.isSet(options.help)) {
        request.action = CommandLineRequest::Action::Help;
    } else if (parser.isSet(options.version)) {
        request.action = CommandLineRequest::Action::Version;
    } else if (parser.isSet(options.validate) && parser.isSet(options.check)) {
        return error(QStringLiteral("--validate and --check do not go together"));
    } else if (parser.isSet(options.check)) {
        if (request.files.isEmpty())
            return error(QStringLiteral("--check needs at least one FILE"));
        request.action = CommandLineRequest::Action::Check;
    } else if (parser.isSet(options.validate)) {
        if (request.files.isEmpty())
            return error(QStringLiteral("--validate needs at least one FILE"));
        request.action = CommandLineRequest::Action::Validate;
    }
    return request;
}

QString commandLineHelp() {
    QCommandLineParser parser;
    const Options options(parser);
    return parser.helpText();
}

QString commandLineVersion() {
    return kProgram + QLatin1Char(' ') + QStringLiteral(VR_VERSION) + QLatin1Char('\n');
}

QString commandLineReport(const QString& path, const QString& report) {
    QString lines = report;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!lines.endsWith(QLatin1Char('\n')))
        lines += QLatin1Char('\n');
    return quotedFileName(path) + QStringLiteral(":\n") + lines;
}

int validateFiles(const QStringList& files, QTextStream& out, QTextStream& err) {
    bool unreadable = false;
    bool findings = false;
    bool first = true;
    for (const QString& path : files) {
        QString text;
        QString reason;
        if (!readDocumentText(path, &text, &reason)) {
            unreadable = true;
            out.flush(); // keeps the two streams in order on a terminal
            err << kProgram << ": " << quotedFileName(path) << ": " << reason << '\n';
            err.flush();
            continue;
        }
        const QString found = validator::runAllChecks(text);
        findings = findings || !found.isEmpty();
        if (!first)
            out << '\n';
        first = false;
        out << commandLineReport(path, validator::finishedReport(found));
    }
    out.flush();
    return unreadable ? 2 : findings ? 1 : 0;
}

namespace {

// A message quotes the page (ids, addresses, names), which may hold line breaks, escapes or
// characters that reorder a line on screen: they are written as \uXXXX, so a crafted page
// can never start a line of the output of its own.
QString printable(const QString& message) {
    QString out;
    out.reserve(message.size());
    for (const QChar c : message) {
        const char16_t u = c.unicode();
        const bool hidden = u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029 ||
                            u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
                            (u >= 0x2066 && u <= 0x2069) || u == 0x061C;
        if (hidden)
            out += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace

QString commandLineFinding(const QString& path, const checker::Finding& f) {
    // One arg() call: a "%1" in a path or a message stays as it is.
    return QStringLiteral("%1:%2:%3: %4: %5 [%6]\n")
        .arg(quotedFileName(path), QString::number(f.line), QString::number(f.column),
             QLatin1String(checker::severityName(f.severity)), printable(f.message),
             QLatin1String(f.rule));
}

int checkFiles(const QStringList& files, QTextStream& out, QTextStream& err) {
    bool unreadable = false;
    bool faults = false;
    checker::Options options;
    options.readPage = [](const QString& path, QString* text) {
        QString reason;
        return readDocumentText(path, text, &reason);
    };
    for (const QString& path : files) {
        QString text;
        QString reason;
        if (!readDocumentText(path, &text, &reason)) {
            unreadable = true;
            out.flush(); // keeps the two streams in order on a terminal
            err << kProgram << ": " << quotedFileName(path) << ": " << reason << '\n';
            err.flush();
            continue;
        }
        options.pagePath = path;
        for (const checker::Finding& f : checker::check(text, options).findings) {
            faults = faults || f.severity != checker::Severity::Info;
            out << commandLineFinding(path, f);
        }
    }
    out.flush();
    return unreadable ? 2 : faults ? 1 : 0;
}

QStringList commandLineArguments(int argc, const char* const argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << decodeFileName(argv[i]);
    return arguments;
}

std::optional<int> answerCommandLine(int argc, char* argv[]) {
    const QStringList arguments = commandLineArguments(argc, argv);
    const CommandLineRequest request = parseCommandLine(arguments);
    if (request.action == CommandLineRequest::Action::StartEditor)
        return std::nullopt;

    // A core application (the program's name for the help) connects to no display.
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (request.action) {
    case CommandLineRequest::Action::Help:
        out << commandLineHelp();
        return 0;
    case CommandLineRequest::Action::Version:
        out << commandLineVersion();
        return 0;
    case CommandLineRequest::Action::Validate:
        return validateFiles(request.files, out, err);
    case CommandLineRequest::Action::Check:
        return checkFiles(request.files, out, err);
    default:
        err << request.error << '\n';
        return 2;
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QThread>
#include <cctype>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

QT_BEGIN_NAMESPACE
// Qt strings in failure messages and parameter lists: quoted, on one line (control
// characters escaped), a long string cut after 200 characters and its length given.
inline void PrintTo(const QString& s, std::ostream* os) {
    constexpr qsizetype kShown = 200;
    QString shown;
    for (QChar c : s.left(kShown)) {
        switch (c.unicode()) {
        case '\\':
            shown += QLatin1String("\\\\");
            break;
        case '"':
            shown += QLatin1String("\\\"");
            break;
        case '\r':
            shown += QLatin1String("\\r");
            break;
        case '\n':
            shown += QLatin1String("\\n");
            break;
        case '\t':
            shown += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f ||
                c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
                shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                shown += c;
        }
    }
    *os << '"' << shown.toStdString() << '"';
    if (s.size() > kShown)
        *os << "... (" << s.size() << " characters)";
}
QT_END_NAMESPACE

// CR LF, as the editor writes line breaks.
inline const QString kCrLf = QStringLiteral("\r\n");

// Processes events until `done` holds or `ms` milliseconds have passed; returns done().
inline bool waitUntil(const std::function<bool()>& done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    return true;
}

// The bytes of a file, or "<missing>" when it cannot be read.
inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

// Writes a file whole; false when it could not.
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A parameterised case's name in test names, from readable text: letters, digits and
// underscores stay, a minus sign (a '-' not between two letters) reads "minus", and every
// other run of characters becomes one underscore ("h:mm a/p" -> "h_mm_a_p", "-2.5" ->
// "minus2_5"); no text at all is "Empty".
inline std::string testName(std::string_view text) {
    const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    std::string name;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_')
            name += c;
        else if (c == '-' &&
                 !(i > 0 && letter(text[i - 1]) && i + 1 < text.size() && letter(text[i + 1])))
            name += "minus";
        else if (name.empty() || name.back() != '_')
            name += '_';
    }
    return name.empty() ? std::string("Empty") : name;
}
inline std::string testName(const char* text) {
    return testName(std::string_view(text));
}
inline std::string testName(const QString& text) {
    return testName(text.toStdString());
}

// Names the tests of a parameterised case after one of the case's text members:
//   INSTANTIATE_TEST_SUITE_P(Options, Find, ::testing::Values(...), NameFrom<&FindCase::name>());
template <auto Member> struct NameFrom {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return testName(info.param.*Member);
    }
};

// Names them after what the case's PrintTo writes.
struct PrintedName {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return testName(::testing::PrintToString(info.param));
    }
};

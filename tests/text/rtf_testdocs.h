// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Generated rich documents and a way to compare their formats character by character.

#include <QRandomGenerator>
#include <QString>
#include <QVector>
#include <ostream>

#include "testutil.h"
#include "text/charformat.h"

namespace rtftest {

// The format of every character of a document (the default one where no run covers it).
inline QVector<CharFormat> formatsOf(const RichDocument& doc) {
    QVector<CharFormat> f(doc.text.size());
    for (const FormatRun& r : doc.runs)
        for (int i = r.start; i < r.start + r.length && i < f.size(); ++i)
            f[i] = r.format;
    return f;
}

inline std::string describe(const CharFormat& f) {
    return QStringLiteral("{color %1 highlight %2 b%3 i%4 u%5 font '%6' size %7 up %8}")
        .arg(f.color)
        .arg(f.highlight)
        .arg(int(f.bold))
        .arg(int(f.italic))
        .arg(int(f.underline))
        .arg(f.font)
        .arg(f.size)
        .arg(f.up)
        .toStdString();
}

// Index of the first character whose format differs, or -1.
inline int firstFormatDifference(const RichDocument& a, const RichDocument& b) {
    const QVector<CharFormat> fa = formatsOf(a), fb = formatsOf(b);
    const int n = int(std::min(fa.size(), fb.size()));
    for (int i = 0; i < n; ++i)
        if (fa[i] != fb[i])
            return i;
    return fa.size() == fb.size() ? -1 : n;
}

// Characters that stress the writer: RTF syntax, line ends in every shape, code page
// 1252 and beyond, the highlight markers, surrogate pairs, control characters.
inline const QVector<QString>& pieces() {
    static const QVector<QString> p = {
        QStringLiteral("a"),          QStringLiteral("Z"),     QStringLiteral("7"),
        QStringLiteral(" "),          QStringLiteral("<p>"),   QStringLiteral("\r\n"),
        QStringLiteral("\r"),         QStringLiteral("\n"),    QStringLiteral("\t"),
        QStringLiteral("{"),          QStringLiteral("}"),     QStringLiteral("\\"),
        QStringLiteral("\\'9d"),      QStringLiteral("\\'81"), QStringLiteral("'"),
        QStringLiteral("\\par "),     QString(QChar(0xE9)),    QString(QChar(0x20AC)),
        QString(QChar(157)),          QString(QChar(129)),     QString(QChar(0x80)),
        QString(QChar(0xFF)),         QString(QChar(0x4E2D)),  QString(QChar(0xFFFF)),
        QStringLiteral("\U0001F600"), QString(QChar(0)),       QString(QChar(1)),
        QString(QChar(0x7F)),         QString(QChar(0xA0)),    QStringLiteral("?"),
        QString(QChar(0xD800)),
    };
    return p;
}

inline CharFormat randomFormat(QRandomGenerator& rng) {
    static const int colours[] = {0, 255, 16711680, 16711808, 32768, 16777215, 1, 0x123456};
    static const char* fonts[] = {"", "", "Arial", "Times New Roman", "Cambria"};
    static const double sizes[] = {0, 0, 8, 9.5, 12, 24};
    static const int ups[] = {0, 0, 1, 6, -3};
    CharFormat f;
    f.color = colours[rng.bounded(8)];
    f.highlight = rng.bounded(3) == 0 ? -1 : colours[rng.bounded(8)];
    f.bold = rng.bounded(4) == 0;
    f.italic = rng.bounded(4) == 0;
    f.underline = rng.bounded(5) == 0;
    f.font = QString::fromLatin1(fonts[rng.bounded(5)]);
    f.size = sizes[rng.bounded(6)];
    f.up = ups[rng.bounded(5)];
    return f;
}

// A document of `count` random pieces with runs of random formats; some gaps are left
// to the default format and some runs split a CR LF.
inline RichDocument randomDocument(quint32 seed, int count) {
    QRandomGenerator rng(seed);
    RichDocument doc;
    for (int k = 0; k < count; ++k)
        doc.text += pieces()[rng.bounded(int(pieces().size()))];
    int pos = 0;
    while (pos < doc.text.size()) {
        const int len = 1 + int(rng.bounded(8));
        if (rng.bounded(4) != 0)
            doc.runs.append(
                FormatRun{pos, std::min<int>(len, int(doc.text.size()) - pos), randomFormat(rng)});
        pos += len;
    }
    return doc;
}

// Names the tests of generated documents after their seeds.
inline std::string seedName(const ::testing::TestParamInfo<quint32>& info) {
    return "Seed" + std::to_string(info.param);
}

} // namespace rtftest

inline void PrintTo(const CharFormat& f, std::ostream* os) {
    *os << rtftest::describe(f);
}

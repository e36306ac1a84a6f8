// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/textfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include "platform/rtf.h"

LoadedFile readDocumentFile(const QString& path) {
    LoadedFile result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.errorString = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.errorString = file.errorString();
        return result;
    }
    result.ok = true;
    if (bytes.startsWith("{\\rtf")) {
        result.rich = true;
        result.content = QString::fromLatin1(bytes);
    } else {
        result.content = toCrLf(decodeText(bytes));
    }
    return result;
}

bool readDocumentText(const QString& path, QString* text, QString* errorString) {
    const LoadedFile f = readDocumentFile(path);
    if (!f.ok) {
        if (errorString)
            *errorString = f.errorString;
        return false;
    }
    if (text)
        *text = f.rich ? rtf::read(f.content).text : f.content;
    return true;
}

QString decodeText(const QByteArray& bytes) {
    // Stateless: an incomplete sequence at the end is an error, not pending input.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

QString decodeWindows1252(const QByteArray& bytes) {
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return text;
}

QString toCrLf(const QString& text) {
    // Fast path: already CR LF everywhere (the common case for files we wrote).
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    bool clean = true;
    for (qsizetype i = 0; i < n && clean; ++i) {
        if (s[i] == u'\r')
            clean = i + 1 < n && s[i + 1] == u'\n' ? (++i, true) : false;
        else if (s[i] == u'\n')
            clean = false;
    }
    if (clean)
        return text;
    QString out;
    out.reserve(n + n / 16 + 2);
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u'\r') {
            out += QLatin1String("\r\n");
            if (i + 1 < n && s[i + 1] == u'\n')
                ++i;
        } else if (s[i] == u'\n') {
            out += QLatin1String("\r\n");
        } else {
            out += s[i];
        }
    }
    return out;
}

bool writeDocumentFile(const QString& path, const QString& text, QString* errorString) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (errorString)
            *errorString = file.errorString();
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        if (errorString)
            *errorString = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (errorString)
            *errorString = file.errorString();
        return false;
    }
    return true;
}

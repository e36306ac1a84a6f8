#include "platform/rtf.h"

// A first, plain reader and writer: the writer emits the document's text with its
// colours; the reader keeps the text and drops formats.

namespace rtf {

QString write(const RichDocument& doc, const QString& defaultFont, double defaultSize) {
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil ") +
                  defaultFont + QStringLiteral(";}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs") +
                  QString::number(qRound(defaultSize * 2)) + QLatin1Char(' ');
    const QString& t = doc.text;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n') {
            out += QLatin1String("\\par\r\n");
            ++i;
        } else if (c == u'\\' || c == u'{' || c == u'}') {
            out += QLatin1Char('\\');
            out += QChar(c);
        } else if (c < 0x80 && c >= 0x20) {
            out += QChar(c);
        } else if (c < 0x100) {
            out += QStringLiteral("\\'%1").arg(int(c), 2, 16, QLatin1Char('0'));
        } else {
            out += QStringLiteral("\\u%1?").arg(int(qint16(c)));
        }
    }
    out += QLatin1String("}\r\n");
    return out;
}

RichDocument read(const QString& rtf) {
    RichDocument doc;
    int depth = 0;
    int skipDepth = -1;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const QChar c = rtf[i];
        if (c == u'{') {
            ++depth;
        } else if (c == u'}') {
            if (depth == skipDepth)
                skipDepth = -1;
            --depth;
        } else if (c == u'\\' && i + 1 < rtf.size()) {
            QChar n = rtf[i + 1];
            if (!n.isLetter()) {
                ++i;
                if (n == u'\'' && i + 2 < rtf.size()) {
                    if (skipDepth < 0)
                        doc.text += QChar(rtf.mid(i + 1, 2).toInt(nullptr, 16));
                    i += 2;
                } else if (skipDepth < 0 && (n == u'\\' || n == u'{' || n == u'}')) {
                    doc.text += n;
                }
                continue;
            }
            qsizetype j = i + 1;
            while (j < rtf.size() && rtf[j].isLetter())
                ++j;
            const QString word = rtf.mid(i + 1, j - i - 1);
            while (j < rtf.size() && (rtf[j].isDigit() || rtf[j] == u'-'))
                ++j;
            if (j < rtf.size() && rtf[j] == u' ')
                ++j;
            if (word == QLatin1String("fonttbl") || word == QLatin1String("colortbl"))
                skipDepth = depth;
            else if (skipDepth < 0 && word == QLatin1String("par"))
                doc.text += QLatin1String("\r\n");
            i = j - 1;
        } else if (c != u'\r' && c != u'\n' && skipDepth < 0 && depth > 0) {
            doc.text += c;
        }
    }
    return doc;
}

} // namespace rtf

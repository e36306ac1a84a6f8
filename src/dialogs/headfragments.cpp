// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/headfragments.h"

namespace fragments {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

QString title(const QString& title) {
    return QStringLiteral("<title>") + kCrLf + title + kCrLf + QStringLiteral("</title>");
}

QString meta(const QString& author, const QString& keywords, const QString& description) {
    return QStringLiteral("<meta name='Author' content='") + author + QStringLiteral("'>") + kCrLf +
           QStringLiteral("<meta name='Keywords' content='") + keywords + QStringLiteral("'>") +
           kCrLf + QStringLiteral("<meta name='Description' content='") + description +
           QStringLiteral("'>") + kCrLf;
}

QString refresh(const QString& delay, const QString& url) {
    return QStringLiteral("<meta http-equiv='refresh' content='") + delay +
           QStringLiteral("'; url='") + url + QStringLiteral("'>");
}

QString comment(const QString& comment) {
    return QStringLiteral("<!--") + comment + QStringLiteral("-->");
}

QString externalCss(const QString& url) {
    return QStringLiteral("<link rel='stylesheet' href='") + url + QStringLiteral("'>");
}

QString favicon(const QString& url) {
    return QStringLiteral("<link rel='icon' type='image/x-icon' href='") + url +
           QStringLiteral("'>");
}

} // namespace fragments

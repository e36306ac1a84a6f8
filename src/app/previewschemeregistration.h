// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QWebEngineUrlScheme>

// The URL scheme the Preview tab serves its page from.
inline QByteArray previewSchemeName() {
    return QByteArrayLiteral("verrindel-preview");
}

// Registers the preview scheme with the browser engine; must run before QApplication
// exists. Not a local scheme: pages from it cannot reach file:// URLs. Its URLs have a
// host, so that each load of a page is an origin of its own.
inline void registerPreviewScheme() {
    QWebEngineUrlScheme scheme(previewSchemeName());
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

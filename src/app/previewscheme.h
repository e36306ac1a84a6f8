// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWebEngineUrlSchemeHandler>

#include "app/previewschemeregistration.h"

// The preview page is served from its own URL scheme rather than as a file:// page, so
// that its relative pictures, style sheets and scripts load from the preview folder while
// the page itself has no access to any other local file.
class PreviewSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    explicit PreviewSchemeHandler(QObject* parent = nullptr) : QWebEngineUrlSchemeHandler(parent) {}

    static QByteArray schemeName() { return previewSchemeName(); }
    // The URL under which a file of the served folder is shown.
    static QUrl urlFor(const QString& fileName);

    // The folder whose files are served; nothing outside it ever is.
    void setRoot(const QString& folder) { root_ = folder; }
    // The file a request path maps to, or an empty string when it lies outside the root.
    static QString resolve(const QString& root, const QString& urlPath);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    QString root_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QWebEngineUrlSchemeHandler>

#include "app/previewschemeregistration.h"

// The preview page is served from its own URL scheme rather than as a file:// page, so
// that its relative pictures, style sheets and scripts load from the document's folder
// while the page itself has no access to any other local file.
//
// Each load of a page gets an origin of its own: a host made of random letters, unknown
// to any other page (verrindel-preview://p3k9.../home/ann/site/index.html). The URL's path
// mirrors the file system: a document with a file is shown under its own path, so
// relative addresses, "..", and root-relative ones resolve exactly as they would for the
// file in a browser. The bytes of that one URL are the editor's text (the preview file, or
// text handed over in memory); every other URL is a file read-only from the document's
// folder tree, or nothing. An untitled document is shown as /meh.html and nothing else is
// served. Once the next page is set, the earlier load's host serves nothing, so that a page
// still running from it never reads the next document's folder. A request that another
// origin starts is refused, and every request is answered, a refused one too.
class PreviewSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    explicit PreviewSchemeHandler(QObject* parent = nullptr) : QWebEngineUrlSchemeHandler(parent) {}

    static QByteArray schemeName() { return previewSchemeName(); }
    // The URL of the page that shows the document at `documentPath` (empty: untitled) in
    // the load whose host is `host`.
    static QUrl pageUrl(const QString& documentPath, const QString& host = QString());

    // Starts a new load whose page is the preview file `file` (UTF-8), shown as the
    // document at `documentPath`; files of that document's folder tree are served beside
    // it. Returns the page's URL.
    QUrl setPageFile(const QString& documentPath, const QString& file);
    // The same, with the page's UTF-8 bytes held here instead of in a file.
    QUrl setPageBytes(const QString& documentPath, const QByteArray& html);
    // Serves nothing more to any earlier load.
    void clearPage();
    // The host of the current load (empty when there is none).
    QString host() const { return host_; }

    // The regular file that a request path names inside `folder`'s tree, as a canonical
    // path; empty when there is no such file or it lies outside the tree (through "..",
    // a symbolic link, or any other spelling) or under a hidden name (".git", ".ssh").
    static QString resolve(const QString& folder, const QString& urlPath);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    QUrl startLoad(const QString& documentPath);
    // `folder` as a canonical path ending in "/", or empty when there is no such folder.
    static QString canonicalRoot(const QString& folder);
    // resolve() inside the tree whose canonical root is `root`.
    static QString resolveIn(const QString& root, const QString& urlPath);

    QString host_;     // the current load's host
    QString pagePath_; // the decoded URL path of the page
    QString pageFile_; // where the page's bytes are, or empty when they are pageBytes_
    QByteArray pageBytes_;
    QString root_; // the document's folder, canonical, ending in "/"; empty when untitled
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previewscheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrl>
#include <QWebEngineUrlRequestJob>

namespace {

// The name an untitled document's page is shown under.
const QString kUntitledPage = QStringLiteral("/meh.html");

// A local absolute path as a URL path, and back. On Windows a drive path C:/x is /C:/x.
QString toUrlPath(const QString& localPath) {
    return localPath.startsWith(QLatin1Char('/')) ? localPath : QLatin1Char('/') + localPath;
}

QString toLocalPath(const QString& urlPath) {
#ifdef Q_OS_WIN
    if (urlPath.size() > 2 && urlPath.at(0) == QLatin1Char('/') &&
        urlPath.at(2) == QLatin1Char(':'))
        return urlPath.mid(1);
#endif
    return urlPath;
}

// The document's own path, made absolute and clean, as its page's URL path.
QString pagePathFor(const QString& documentPath) {
    if (documentPath.isEmpty())
        return kUntitledPage;
    return toUrlPath(QDir::cleanPath(QFileInfo(documentPath).absoluteFilePath()));
}

// Hands `device` to the job, deleted with the job.
void reply(QWebEngineUrlRequestJob* job, const QByteArray& mime, QIODevice* device) {
    QObject::connect(job, &QObject::destroyed, device, &QObject::deleteLater);
    job->reply(mime, device);
}

} // namespace

QUrl PreviewSchemeHandler::pageUrl(const QString& documentPath) {
    QUrl url;
    url.setScheme(QString::fromLatin1(schemeName()));
    url.setPath(pagePathFor(documentPath), QUrl::DecodedMode);
    return url;
}

void PreviewSchemeHandler::setDocument(const QString& documentPath) {
    pagePath_ = pagePathFor(documentPath);
    folder_ = documentPath.isEmpty() ? QString() : QFileInfo(documentPath).absolutePath();
}

void PreviewSchemeHandler::setPageFile(const QString& documentPath, const QString& file) {
    setDocument(documentPath);
    pageFile_ = file;
    pageBytes_.clear();
}

void PreviewSchemeHandler::setPageBytes(const QString& documentPath, const QByteArray& html) {
    setDocument(documentPath);
    pageFile_.clear();
    pageBytes_ = html;
}

QString PreviewSchemeHandler::resolve(const QString& folder, const QString& urlPath) {
    if (folder.isEmpty() || urlPath.contains(QChar(0)))
        return QString();
    QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return QString();
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    const QString local = toLocalPath(urlPath);
    if (!QDir::isAbsolutePath(local))
        return QString();
    // The file the path names once every "." and ".." and every link is followed: that
    // is what would be opened, so that is what must lie inside the tree.
    const QFileInfo info(QDir::cleanPath(local));
    const QString target = info.canonicalFilePath();
    if (target.isEmpty() || !target.startsWith(root) || !QFileInfo(target).isFile())
        return QString();
    const QStringList inside = target.mid(root.size()).split(QLatin1Char('/'));
    for (const QString& name : inside)
        if (name.startsWith(QLatin1Char('.')))
            return QString();
    return target;
}

void PreviewSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QString path = job->requestUrl().path(QUrl::FullyDecoded);
    if (!pagePath_.isEmpty() && path == pagePath_) {
        // The editor's text, always written as UTF-8, whatever its own markup declares.
        const QByteArray mime = QByteArrayLiteral("text/html;charset=utf-8");
        if (pageFile_.isEmpty()) {
            auto* buffer = new QBuffer;
            buffer->setData(pageBytes_);
            reply(job, mime, buffer);
            return;
        }
        auto* file = new QFile(pageFile_);
        if (!file->open(QIODevice::ReadOnly)) {
            delete file;
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        reply(job, mime, file);
        return;
    }
    const QString target = resolve(folder_, path);
    if (target.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* file = new QFile(target);
    if (!file->open(QIODevice::ReadOnly)) {
        delete file;
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The file's own type and no character set: the browser takes the one its bytes
    // declare (a byte-order mark, <meta charset>, @charset), as for a file it opens.
    const QByteArray mime = QMimeDatabase().mimeTypeForFile(target).name().toLatin1();
    reply(job, mime, file);
}

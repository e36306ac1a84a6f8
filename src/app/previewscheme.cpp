// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previewscheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRandomGenerator>
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

QUrl PreviewSchemeHandler::pageUrl(const QString& documentPath, const QString& host) {
    QUrl url;
    url.setScheme(QString::fromLatin1(schemeName()));
    url.setHost(host);
    url.setPath(pagePathFor(documentPath), QUrl::DecodedMode);
    return url;
}

QUrl PreviewSchemeHandler::startLoad(const QString& documentPath) {
    // 128 random bits; the leading letter keeps the host from reading as an IP address.
    QRandomGenerator* random = QRandomGenerator::system();
    host_ = QStringLiteral("p%1%2")
                .arg(random->generate64(), 13, 36, QLatin1Char('0'))
                .arg(random->generate64(), 13, 36, QLatin1Char('0'));
    pagePath_ = pagePathFor(documentPath);
    // The tree's canonical root, taken once for all the load's requests.
    root_ =
        canonicalRoot(documentPath.isEmpty() ? QString() : QFileInfo(documentPath).absolutePath());
    return pageUrl(documentPath, host_);
}

QUrl PreviewSchemeHandler::setPageFile(const QString& documentPath, const QString& file) {
    pageFile_ = file;
    pageBytes_.clear();
    return startLoad(documentPath);
}

QUrl PreviewSchemeHandler::setPageBytes(const QString& documentPath, const QByteArray& html) {
    pageFile_.clear();
    pageBytes_ = html;
    return startLoad(documentPath);
}

void PreviewSchemeHandler::clearPage() {
    host_.clear();
    pagePath_.clear();
    pageFile_.clear();
    pageBytes_.clear();
    root_.clear();
}

QString PreviewSchemeHandler::resolve(const QString& folder, const QString& urlPath) {
    return resolveIn(canonicalRoot(folder), urlPath);
}

QString PreviewSchemeHandler::canonicalRoot(const QString& folder) {
    if (folder.isEmpty())
        return QString();
    QString root = QFileInfo(folder).canonicalFilePath();
    if (!root.isEmpty() && !root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    return root;
}

QString PreviewSchemeHandler::resolveIn(const QString& root, const QString& urlPath) {
    if (root.isEmpty() || urlPath.contains(QChar(0)))
        return QString();
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
    const QUrl url = job->requestUrl();
    // Only the current load's own address, asked for by that load's pages (or by the
    // browser itself), and only to be read.
    const QUrl initiator = job->initiator();
    const bool ownLoad = !host_.isEmpty() && url.host() == host_;
    const bool ownInitiator =
        initiator.isEmpty() || (initiator.scheme() == url.scheme() && initiator.host() == host_);
    const QByteArray method = job->requestMethod();
    if (!ownLoad || !ownInitiator || (method != "GET" && method != "HEAD")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const QString path = url.path(QUrl::FullyDecoded);
    if (path == pagePath_) {
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
    const QString target = resolveIn(root_, path);
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

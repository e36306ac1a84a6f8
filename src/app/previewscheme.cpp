// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previewscheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrl>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

QUrl PreviewSchemeHandler::urlFor(const QString& fileName) {
    QUrl url;
    url.setScheme(QString::fromLatin1(schemeName()));
    url.setPath(QLatin1Char('/') + fileName);
    return url;
}

QString PreviewSchemeHandler::resolve(const QString& root, const QString& urlPath) {
    if (root.isEmpty())
        return QString();
    const QString rootPath = QFileInfo(root).canonicalFilePath();
    if (rootPath.isEmpty())
        return QString();
    const QString cleaned = QDir::cleanPath(rootPath + QLatin1Char('/') + urlPath);
    const QFileInfo info(cleaned);
    const QString target = info.exists() ? info.canonicalFilePath() : cleaned;
    if (!target.startsWith(rootPath + QLatin1Char('/')))
        return QString();
    return target;
}

void PreviewSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QString path = resolve(root_, job->requestUrl().path(QUrl::FullyDecoded));
    if (path.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QByteArray bytes = file.readAll();
    QByteArray mime = QMimeDatabase().mimeTypeForFileNameAndData(path, bytes).name().toLatin1();
    if (path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
        path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive))
        mime = QByteArrayLiteral("text/html;charset=utf-8");
    auto* buffer = new QBuffer;
    connect(job, &QObject::destroyed, buffer, &QObject::deleteLater);
    buffer->setData(bytes);
    job->reply(mime, buffer);
}

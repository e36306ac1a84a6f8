// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/commandline.h"
#include "app/document.h"
#include "app/frmmain.h"
#include "app/recovery.h"

QString startupFilePath(const QStringList& arguments, const QString& workingDirectory) {
    const QStringList files = parseCommandLine(arguments).files;
    if (files.isEmpty() || files.first().isEmpty())
        return QString();
    QString name = files.first();
    // File managers may hand over a URL rather than a path.
    if (name.startsWith(QStringLiteral("file:"))) {
        const QUrl url(name);
        if (url.isLocalFile())
            name = url.toLocalFile();
    }
    const QFileInfo info(QDir(workingDirectory), name);
    return QDir::cleanPath(info.absoluteFilePath());
}

bool openStartupFile(frmMain& window, const QStringList& arguments) {
    const QString path = startupFilePath(arguments, QDir::currentPath());
    if (path.isEmpty())
        return false;
    return window.document()->OpenPath(path);
}

void startDocument(frmMain& window, const QStringList& arguments) {
    // Owned by the window; it removes this run's recovery file when the run ends normally.
    auto* recovery = new Recovery(&window);
    if (!recovery->offerLeftovers())
        openStartupFile(window, arguments);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <QDir>
#include <QUrl>
#include <cstdlib>
#include <unistd.h>

#include "app/commandline.h"
#include "app/document.h"
#include "app/frmmain.h"
#include "app/recovery.h"
#include "text/filenames.h"

namespace {

// The working folder, every byte of its name kept (QDir::currentPath() loses those that
// are not UTF-8).
QString currentFolder() {
    if (char* here = ::getcwd(nullptr, 0)) {
        const QString folder = decodeFileName(here);
        std::free(here);
        return folder;
    }
    return QDir::currentPath();
}

} // namespace

QString startupFilePath(const QStringList& arguments, const QString& workingDirectory) {
    const QStringList files = parseCommandLine(arguments).files;
    if (files.isEmpty() || files.first().isEmpty())
        return QString();
    QString name = files.first();
    // File managers may hand over a URL rather than a path; its escaped bytes are the
    // name's bytes, UTF-8 or not.
    if (name.startsWith(QStringLiteral("file:"))) {
        const QUrl url(name);
        if (url.isLocalFile()) {
            name = url.host().isEmpty() ? decodeFileName(QByteArray::fromPercentEncoding(
                                              url.path(QUrl::FullyEncoded).toLatin1()))
                                        : url.toLocalFile();
        }
    }
    // Joined as text, so that no byte of either part is lost on the way.
    if (!name.startsWith(QLatin1Char('/')))
        name = workingDirectory + QLatin1Char('/') + name;
    return QDir::cleanPath(name);
}

bool openStartupFile(frmMain& window, const QStringList& arguments) {
    const QString path = startupFilePath(arguments, currentFolder());
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

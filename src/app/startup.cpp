#include "app/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/document.h"
#include "app/frmmain.h"
#include "app/recovery.h"

QString startupFilePath(const QStringList& arguments, const QString& workingDirectory) {
    QStringList rest = arguments.mid(1);
    if (!rest.isEmpty() && rest.first() == QStringLiteral("--"))
        rest.removeFirst();
    if (rest.isEmpty() || rest.first().isEmpty())
        return QString();
    QString name = rest.first();
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

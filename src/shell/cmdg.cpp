// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/cmdg.h"

#include <QDir>
#include <QFileInfo>

#include "shell/modaldialogs.h"

bool Cmdg::ShowOpen() {
    auto chosen = dialogs().openFile(owner_, DialogTitle, Filter, initialPath());
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

bool Cmdg::ShowSave() {
    auto chosen = dialogs().saveFile(owner_, DialogTitle, Filter, initialPath());
    if (!chosen)
        return false;
    FileName = withDefaultExt(*chosen);
    return true;
}

QString Cmdg::initialPath() const {
    if (FileName.isEmpty())
        return FileName;
    const QFileInfo info(FileName);
    if (info.absoluteDir().exists())
        return FileName;
    // The folder is gone (removed or unmounted): offer the same name in the home folder.
    return QDir::home().filePath(info.fileName());
}

bool Cmdg::ShowColor() {
    auto chosen = dialogs().chooseColor(owner_, DialogTitle, Color);
    if (!chosen)
        return false;
    Color = *chosen;
    return true;
}

bool Cmdg::ShowPrinter(QPrinter* printer) {
    return dialogs().setUpPrinter(owner_, printer);
}

QString Cmdg::withDefaultExt(const QString& path) const {
    if (DefaultExt.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + DefaultExt;
}

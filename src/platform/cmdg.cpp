// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/cmdg.h"

#include <QFileInfo>

#include "platform/dialogs.h"

bool Cmdg::ShowOpen() {
    auto chosen = dialogs().openFile(owner_, DialogTitle, Filter, FileName);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

bool Cmdg::ShowSave() {
    auto chosen = dialogs().saveFile(owner_, DialogTitle, Filter, FileName);
    if (!chosen)
        return false;
    FileName = withDefaultExt(*chosen);
    return true;
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

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;
class QPrinter;

// The common-dialog control of a window: it remembers the last file name and colour,
// and shows the open, save, colour and printer dialogs through the dialogs interface.
class Cmdg {
public:
    explicit Cmdg(QWidget* owner) : owner_(owner) {}

    QString FileName;
    int Color = 0;
    QString Filter;
    QString DialogTitle;
    QString DefaultExt;
    bool CancelError = false;

    // Each Show call returns true when the user confirmed. On cancel FileName and Color
    // keep their values; callers that set CancelError treat false as the cancel error.
    bool ShowOpen();
    bool ShowSave();
    bool ShowColor();
    bool ShowPrinter(QPrinter* printer);

private:
    // The path the file dialogs open with: FileName, or its name in the home folder when
    // its folder no longer exists.
    QString initialPath() const;
    QString withDefaultExt(const QString& path) const;
    QWidget* owner_;
};

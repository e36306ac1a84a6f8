// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <functional>

#include "dialogs/snippetdialog.h"

class QListWidget;

// "ADD TiME/DATE": the current date and time written in nine formats; Insert writes the
// selected entry. The dialog hides after Insert, keeping its list, and every opening adds
// nine new entries below the earlier ones.
class frmTime : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmTime(const AppContext& ctx);

    // Adds one entry for each of the nine formats, reading the clock for each, written
    // with the names and separators of the user's locale.
    void addMoments();

    // The clock the entries are read from (the current local date and time by default).
    using Clock = std::function<QDateTime()>;
    static void setClock(Clock clock);

protected:
    void cmdInsert_Click() override;

private:
    QListWidget* lstTime;
};

// The mnuDate command of the main window: disables it, shows the time/date dialog and
// fills it with nine new entries.
void mnuDate_Click(const AppContext& ctx);

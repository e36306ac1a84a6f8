// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QLabel;
class QStatusBar;
class QTimer;
class TxtCode;

// The seven panels of the status bar: CAPS, NUM, INS, SCRL, time, date, "VERRiNDEL".
// The indicators follow the keyboard and the editor; time and date stay current.
class StatusPanels : public QObject {
    Q_OBJECT
public:
    StatusPanels(QStatusBar* bar, TxtCode* editor);

    // Reads the lock keys, the insert mode and the clock again.
    void refresh();
    QLabel* panel(int index) const { return panels_[index]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void setIndicator(QLabel* label, bool known, bool on);
    QLabel* panels_[7] = {};
    TxtCode* editor_;
    QTimer* timer_;
};

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
    // Whether a key's release may have changed a lock (Caps, Num, Scroll Lock).
    static bool isLockKey(int key);
    QLabel* panel(int index) const { return panels_[index]; }
    // How many times a key's release has had the lock states asked of the display server.
    int lockReadsForKeys() const { return lockReadsForKeys_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void setIndicator(QLabel* label, bool known, bool on);
    static void setPanelText(QLabel* label, const QString& text);
    void refreshLocks();
    void refreshInsert();
    void refreshClock();
    // Each second: the clock, and the locks while another program has the keyboard.
    void tick();
    QLabel* panels_[7] = {};
    TxtCode* editor_;
    QTimer* timer_;
    int lockReadsForKeys_ = 0;
    bool locksPending_ = false;
};

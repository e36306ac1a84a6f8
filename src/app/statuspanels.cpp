// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/statuspanels.h"

#include <QApplication>
#include <QDate>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

#include "editor/txtcode.h"
#include "shell/keyboardstate.h"

namespace {
// 1000 twips at 15 twips to a pixel.
constexpr int kPanelWidth = 67;
} // namespace

StatusPanels::StatusPanels(QStatusBar* bar, TxtCode* editor)
    : QObject(bar), editor_(editor), timer_(new QTimer(this)) {
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    const char* texts[7] = {"CAPS", "NUM", "INS", "SCRL", "", "", "VERRiNDEL"};
    for (int i = 0; i < 7; ++i) {
        auto* label = new QLabel(QString::fromLatin1(texts[i]), bar);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        label->setMinimumWidth(kPanelWidth);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(label, i == 6 ? 1 : 0);
        panels_[i] = label;
    }
    connect(timer_, &QTimer::timeout, this, &StatusPanels::tick);
    timer_->start(1000);
    // Lock keys and the Insert key change the panels at once, not a second later.
    qApp->installEventFilter(this);
    refresh();
}

void StatusPanels::setIndicator(QLabel* label, bool known, bool on) {
    // Unchanged, nothing is set: a font set anew asks the window to lay itself out again.
    const bool shown = known && on;
    if (label->font().bold() != shown) {
        QFont f = label->font();
        f.setBold(shown);
        label->setFont(f);
    }
    if (label->isEnabled() != shown)
        label->setEnabled(shown);
}

void StatusPanels::setPanelText(QLabel* label, const QString& text) {
    if (label->text() != text)
        label->setText(text);
}

bool StatusPanels::isLockKey(int key) {
    return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

void StatusPanels::refreshLocks() {
    // A question to the display server, answered only once it has run: never for a key
    // that cannot change a lock.
    const LockState locks = keyboardLockState();
    setIndicator(panels_[0], locks.known, locks.caps);
    setIndicator(panels_[1], locks.known, locks.num);
    setIndicator(panels_[3], locks.known, locks.scroll);
}

void StatusPanels::refreshInsert() {
    setIndicator(panels_[2], true, !editor_->Overtype());
}

void StatusPanels::refreshClock() {
    const QLocale locale;
    setPanelText(panels_[4], locale.toString(QTime::currentTime(), QLocale::ShortFormat));
    setPanelText(panels_[5], locale.toString(QDate::currentDate(), QLocale::ShortFormat));
}

void StatusPanels::refresh() {
    refreshLocks();
    refreshInsert();
    refreshClock();
}

void StatusPanels::tick() {
    refreshClock();
    refreshInsert();
    // While the program is active every lock key passes the event filter below; the locks
    // are read each second only while another program may be changing them.
    if (QGuiApplication::applicationState() != Qt::ApplicationActive)
        refreshLocks();
}

bool StatusPanels::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        // Insert mode has changed with the key's press: read at once, which costs nothing.
        refreshInsert();
        // Deferred: the lock state changes after the key event is delivered. A release passes
        // here once for each widget it is offered to, up to the window: one read covers them.
        if (isLockKey(static_cast<QKeyEvent*>(event)->key()) && !locksPending_) {
            locksPending_ = true;
            QTimer::singleShot(0, this, [this] {
                locksPending_ = false;
                ++lockReadsForKeys_;
                refreshLocks();
            });
        }
    } else if (event->type() == QEvent::ApplicationStateChange && watched == qApp &&
               QGuiApplication::applicationState() == Qt::ApplicationActive) {
        // Locks changed in another program show as soon as this one is back.
        QTimer::singleShot(0, this, &StatusPanels::refreshLocks);
    }
    return QObject::eventFilter(watched, event);
}

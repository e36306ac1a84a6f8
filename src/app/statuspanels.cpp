// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/statuspanels.h"

#include <QApplication>
#include <QDate>
#include <QEvent>
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
    connect(timer_, &QTimer::timeout, this, &StatusPanels::refresh);
    timer_->start(1000);
    // Lock keys and the Insert key change the panels at once, not a second later.
    qApp->installEventFilter(this);
    refresh();
}

void StatusPanels::setIndicator(QLabel* label, bool known, bool on) {
    QFont f = label->font();
    f.setBold(known && on);
    label->setFont(f);
    label->setEnabled(known && on);
}

void StatusPanels::refresh() {
    const LockState locks = keyboardLockState();
    setIndicator(panels_[0], locks.known, locks.caps);
    setIndicator(panels_[1], locks.known, locks.num);
    setIndicator(panels_[2], true, !editor_->Overtype());
    setIndicator(panels_[3], locks.known, locks.scroll);
    const QLocale locale;
    panels_[4]->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
    panels_[5]->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
}

bool StatusPanels::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        // Deferred: the lock state changes after the key event is delivered.
        QTimer::singleShot(0, this, &StatusPanels::refresh);
    }
    return QObject::eventFilter(watched, event);
}

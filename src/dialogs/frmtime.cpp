// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/frmtime.h"

#include <QGroupBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "dialogs/dateformat.h"
#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

namespace {
frmTime::Clock& clockSlot() {
    static frmTime::Clock clock;
    return clock;
}
QDateTime now() {
    const frmTime::Clock& clock = clockSlot();
    return clock ? clock() : QDateTime::currentDateTime();
}
} // namespace

frmTime::frmTime(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmTime"), QStringLiteral("ADD TiME/DATE"),
                    Placement::Centred, OpenOrder::DisableThenShow) {
    auto* FraTime = namedControl<QGroupBox>(this, "FraTime", QStringLiteral("Time / Date Format"));
    auto* column = new QVBoxLayout(FraTime);
    lstTime = namedControl<QListWidget>(FraTime, "lstTime");
    lstTime->setSelectionMode(QAbstractItemView::SingleSelection);
    lstTime->setMinimumSize(260, 180);
    column->addWidget(lstTime);
    finishLayout(FraTime);
}

void frmTime::setClock(Clock clock) {
    clockSlot() = std::move(clock);
}

void frmTime::addMoments() {
    const QLocale locale;
    for (const QString& format : timeDateFormats())
        lstTime->addItem(formatDateTime(now(), format, locale));
}

void frmTime::cmdInsert_Click() {
    const QList<QListWidgetItem*> selected = lstTime->selectedItems();
    const QString text = selected.isEmpty() ? QString() : selected.first()->text();
    if (text.isEmpty()) {
        showFormatMessage(QStringLiteral("Format not selected yet."));
        return;
    }
    finishInsert(Manner::HiddenAfterInsert);
    insertOverSelection(text);
}

void mnuDate_Click(const AppContext& ctx) {
    SnippetDialog::open<frmTime>(ctx)->addMoments();
}

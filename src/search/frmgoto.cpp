// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/frmgoto.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

#include "platform/dialogs.h"
#include "platform/txtcode.h"
#include "search/gotoline.h"
#include "search/toolwindow.h"

namespace {

QPointer<frmGoto>& slot() {
    static QPointer<frmGoto> instance;
    return instance;
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setMinimumWidth(72); // 1080 twips
    return b;
}

} // namespace

frmGoto::frmGoto(const AppContext& ctx) : QWidget(nullptr, toolwindow::flags()), ctx_(ctx) {
    setObjectName(QStringLiteral("frmGoto"));
    setWindowTitle(QStringLiteral("GOTO LiNE"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    cmdGoto = makeButton(QStringLiteral("cmdGoto"), QStringLiteral("Goto"), this);
    cmdCancel = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), this);
    fraLine = new QGroupBox(QStringLiteral("Line #"), this);
    fraLine->setObjectName(QStringLiteral("fraLine"));
    txtLine = new QLineEdit(fraLine);
    txtLine->setObjectName(QStringLiteral("txtLine"));
    txtLine->setMaxLength(std::numeric_limits<int>::max()); // any text, no length limit
    txtLine->setMinimumWidth(241);                          // 3615 twips
    auto* lineBox = new QVBoxLayout(fraLine);
    lineBox->addWidget(txtLine);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(cmdCancel);
    buttonRow->addWidget(cmdGoto);
    auto* column = new QVBoxLayout(this);
    column->addWidget(fraLine);
    column->addLayout(buttonRow);
    column->setSizeConstraint(QLayout::SetFixedSize);

    QWidget::setTabOrder(cmdGoto, cmdCancel);
    QWidget::setTabOrder(cmdCancel, txtLine);

    connect(cmdGoto, &QPushButton::clicked, this, [this] { cmdGoto_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

frmGoto* frmGoto::instance() {
    frmGoto* g = slot().data();
    return (g && !g->unloaded_) ? g : nullptr;
}

frmGoto* frmGoto::showGoto(const AppContext& ctx) {
    ctx.frmMain->setEnabled(false);
    frmGoto* g = instance();
    if (!g) {
        slot() = new frmGoto(ctx);
        g = slot().data();
    }
    if (!g->placed_) {
        toolwindow::centre(g, ctx.frmMain);
        g->placed_ = true;
    }
    toolwindow::present(g);
    g->cmdGoto->setFocus(Qt::OtherFocusReason);
    return g;
}

void frmGoto::invalidLineNumber(QWidget* over) {
    dialogs().message(over, QStringLiteral("Invalid line number."), QStringLiteral("Goto Line"),
                      Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
}

void frmGoto::cmdGoto_Click() {
    const QString typed = txtLine->text();
    const double n = numericPrefix(typed);
    if (n == 0.0 || typed.isEmpty()) {
        invalidLineNumber(this);
        return;
    }
    hide();
    ctx_.frmMain->setEnabled(true);
    ctx_.frmMain->activateWindow();
    ctx_.txtCode->SetFocus();
    if (!goToLine(ctx_.txtCode, n))
        invalidLineNumber(ctx_.frmMain);
    txtLine->setText(QString());
}

void frmGoto::cmdCancel_Click() {
    unload();
}

void frmGoto::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    hide();
    ctx_.frmMain->setEnabled(true);
    deleteLater();
}

void frmGoto::closeEvent(QCloseEvent* event) {
    event->accept();
    unload();
}

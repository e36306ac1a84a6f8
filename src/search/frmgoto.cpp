// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/frmgoto.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

#include "editor/txtcode.h"
#include "search/gotoline.h"
#include "shell/modaldialogs.h"

namespace {
constexpr int kButtonWidth = 72; // 1080 twips
} // namespace

frmGoto::frmGoto(const AppContext& ctx)
    : ToolWindow(ctx, QStringLiteral("frmGoto"), QStringLiteral("GOTO LiNE"),
                 Shape{Placement::Centred, OpenOrder::DisableThenShow}) {
    cmdGoto = makeButton(QStringLiteral("cmdGoto"), QStringLiteral("Goto"), kButtonWidth);
    cmdCancel = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), kButtonWidth);
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
    setFirstFocus(cmdGoto);

    connect(cmdGoto, &QPushButton::clicked, this, [this] { cmdGoto_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

frmGoto* frmGoto::instance() {
    return ToolWindow::instance<frmGoto>();
}

frmGoto* frmGoto::showGoto(const AppContext& ctx) {
    return open<frmGoto>(ctx);
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
    hideToMain();
    if (!goToLine(ctx().txtCode, n))
        invalidLineNumber(ctx().frmMain);
    txtLine->setText(QString());
}

void frmGoto::cmdCancel_Click() {
    unload();
}

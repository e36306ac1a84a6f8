// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/snippetdialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

#include "assist/insertion.h"
#include "editor/txtcode.h"
#include "shell/modaldialogs.h"

SnippetDialog::SnippetDialog(const AppContext& ctx, const QString& objectName,
                             const QString& caption, Placement placement, OpenOrder order)
    : ToolWindow(ctx, objectName, caption, Shape{placement, order, true}) {
    cmdInsert = new QPushButton(QStringLiteral("Insert"), this);
    cmdInsert->setObjectName(QStringLiteral("cmdInsert"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdInsert->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    connect(cmdInsert, &QPushButton::clicked, this, [this] { cmdInsert_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { unload(); });
}

void SnippetDialog::finishLayout(QWidget* body) {
    auto* column = new QVBoxLayout(this);
    column->addWidget(body);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdInsert);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    // A text box holds whatever is typed or pasted into it, however long.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        edit->setMaxLength(std::numeric_limits<int>::max());

    // The buttons were created before the fields: move them to the end of the tab order.
    QWidget* last = previousInFocusChain();
    if (last && last != cmdInsert && last != cmdCancel) {
        setTabOrder(last, cmdInsert);
        setTabOrder(cmdInsert, cmdCancel);
    }
}

bool SnippetDialog::checkNotEmpty(const QString& text, const QString& message) {
    if (!text.isEmpty())
        return true;
    showFormatMessage(message);
    return false;
}

void SnippetDialog::showFormatMessage(const QString& message) {
    dialogs().message(this, message, QStringLiteral("Format"), Dialogs::Buttons::Ok,
                      Dialogs::Icon::None);
}

void SnippetDialog::insertAfterSelection(const QString& fragment) {
    assist::insertAfterSelection(*editor(), fragment);
}

void SnippetDialog::insertOverSelection(const QString& fragment) {
    assist::insertOverSelection(*editor(), fragment);
}

void SnippetDialog::finishInsert(Manner manner) {
    hideToMain();
    if (manner == Manner::ClosedAfterInsert)
        unload();
}

void SnippetDialog::onUnload() {
    // When the dialog goes away the main window becomes the active window again and its
    // editor, the control that had the focus before the window was disabled, gets it back.
    ctx().frmMain->activateWindow();
    if (!ctx().frmMain->focusWidget())
        editor()->SetFocus();
}

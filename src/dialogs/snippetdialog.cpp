// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/snippetdialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <limits>

#include "assist/insertion.h"
#include "platform/dialogs.h"
#include "platform/txtcode.h"

SnippetDialog::SnippetDialog(const AppContext& ctx, const QString& objectName,
                             const QString& caption, Placement placement)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ctx_(ctx), placement_(placement) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose, false);
    cmdInsert = new QPushButton(QStringLiteral("Insert"), this);
    cmdInsert->setObjectName(QStringLiteral("cmdInsert"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdInsert->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    connect(cmdInsert, &QPushButton::clicked, this, [this] { cmdInsert_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    // A dialog lives no longer than the main window it writes into (a hidden one would
    // otherwise outlive it and be shown again for a later window).
    connect(ctx_.frmMain, &QObject::destroyed, this, [this] {
        unloaded_ = true;
        delete this;
    });
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

void SnippetDialog::showDialog() {
    if (!placed_ && placement_ == Placement::Centred) {
        adjustSize();
        QScreen* screen =
            ctx_.frmMain->screen() ? ctx_.frmMain->screen() : QGuiApplication::primaryScreen();
        if (screen)
            move(screen->geometry().center() - rect().center());
    }
    placed_ = true;
    show();
    raise();
    activateWindow();
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

void SnippetDialog::enableMain() {
    ctx_.frmMain->setEnabled(true);
}

void SnippetDialog::focusEditor() {
    ctx_.frmMain->activateWindow();
    editor()->SetFocus();
}

void SnippetDialog::finishInsert(Manner manner) {
    hide();
    enableMain();
    focusEditor();
    if (manner == Manner::ClosedAfterInsert)
        unload();
}

void SnippetDialog::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    hide();
    enableMain();
    returnToMain();
    deleteLater();
}

void SnippetDialog::returnToMain() {
    // When the dialog goes away the main window becomes the active window again and its
    // editor, the control that had the focus before the window was disabled, gets it back.
    ctx_.frmMain->activateWindow();
    if (!ctx_.frmMain->focusWidget())
        editor()->SetFocus();
}

void SnippetDialog::cmdCancel_Click() {
    unload();
}

void SnippetDialog::closeEvent(QCloseEvent* event) {
    // The window's close control unloads the dialog, as Cancel does.
    event->accept();
    unload();
}

void SnippetDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

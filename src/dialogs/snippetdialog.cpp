#include "dialogs/snippetdialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "platform/txtcode.h"

SnippetDialog::SnippetDialog(const AppContext& ctx, const QString& objectName,
                             const QString& caption, Placement placement)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
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
}

void SnippetDialog::showDialog() {
    if (!placed_ && placement_ == Placement::Centred) {
        adjustSize();
        QScreen* screen = ctx_.frmMain->screen() ? ctx_.frmMain->screen()
                                                 : QGuiApplication::primaryScreen();
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
    editor()->SetSelText(editor()->SelText() + fragment);
}

void SnippetDialog::insertOverSelection(const QString& fragment) {
    editor()->SetSelText(fragment);
}

void SnippetDialog::enableMain() { ctx_.frmMain->setEnabled(true); }

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
    deleteLater();
}

void SnippetDialog::cmdCancel_Click() { unload(); }

void SnippetDialog::closeEvent(QCloseEvent* event) {
    // The window's close control unloads the dialog, as Cancel does.
    event->accept();
    unload();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/toolwindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>

#include "editor/txtcode.h"

namespace {

Qt::WindowFlags toolFlags() {
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

} // namespace

ToolWindow::ToolWindow(const AppContext& ctx, const QString& objectName, const QString& caption,
                       const Shape& shape)
    : QWidget(nullptr, toolFlags()), ctx_(ctx), main_(ctx.frmMain), shape_(shape) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // A tool window lives no longer than the main window it serves (a hidden one would
    // otherwise outlive it and be shown again for a later window).
    if (ctx_.frmMain)
        connect(ctx_.frmMain, &QObject::destroyed, this, [this] {
            unloaded_ = true;
            holdsMain_ = false;
            delete this;
        });
}

ToolWindow::~ToolWindow() {
    // Destroyed while shown: the main window must not stay disabled.
    if (holdsMain_ && main_)
        main_->setEnabled(true);
}

void ToolWindow::present() {
    if (shape_.order == OpenOrder::DisableThenShow)
        disableMain();
    if (!placed_) {
        place();
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
    if (firstFocus_)
        firstFocus_->setFocus(Qt::OtherFocusReason);
    if (shape_.order == OpenOrder::ShowThenDisable)
        disableMain();
}

QPushButton* ToolWindow::makeButton(const QString& name, const QString& caption, int minimumWidth) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setMinimumWidth(minimumWidth);
    return b;
}

void ToolWindow::place() {
    switch (shape_.placement) {
    case Placement::Centred: {
        adjustSize();
        QScreen* screen =
            main_ && main_->screen() ? main_->screen() : QGuiApplication::primaryScreen();
        if (screen)
            move(screen->geometry().center() - rect().center());
        break;
    }
    case Placement::CentredOnMainWindow:
        if (main_) {
            adjustSize();
            move(main_->frameGeometry().center() - rect().center());
        }
        break;
    case Placement::SystemPlaced:
        break;
    }
}

void ToolWindow::disableMain() {
    holdsMain_ = true;
    if (main_)
        main_->setEnabled(false);
}

void ToolWindow::enableMain() {
    holdsMain_ = false;
    if (main_)
        main_->setEnabled(true);
}

void ToolWindow::focusEditor() {
    if (main_)
        main_->activateWindow();
    if (ctx_.txtCode)
        ctx_.txtCode->SetFocus();
}

void ToolWindow::hideToMain() {
    hide();
    enableMain();
    focusEditor();
}

void ToolWindow::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    hide();
    enableMain();
    onUnload();
    deleteLater();
}

void ToolWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    unload();
}

void ToolWindow::keyPressEvent(QKeyEvent* event) {
    if (shape_.escapeUnloads && event->key() == Qt::Key_Escape &&
        event->modifiers() == Qt::NoModifier) {
        unload();
        return;
    }
    QWidget::keyPressEvent(event);
}

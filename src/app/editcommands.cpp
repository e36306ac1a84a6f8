// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editcommands.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>

#include "app/frmscreen.h"
#include "editor/printing.h"
#include "editor/txtcode.h"
#include "shell/appcontext.h"
#include "shell/cmdg.h"
#include "shell/menuactions.h"
#include "shell/modaldialogs.h"

namespace editcommands {

void mnuDelete_Click(const AppContext& ctx) {
    // With nothing selected nothing is deleted.
    if (ctx.txtCode->SelLength() > 0)
        ctx.txtCode->SetSelText(QString());
}

void mnuSelect_Click(const AppContext& ctx) {
    ctx.txtCode->SetSelStart(0);
    ctx.txtCode->SetSelLength(ctx.txtCode->TextLength());
}

void mnuPrint_Click(const AppContext& ctx) {
    TxtCode* editor = ctx.txtCode;
    if (editor->TextLength() == 0) {
        dialogs().message(ctx.frmMain, QStringLiteral("No text to print!"), programTitle(),
                          Dialogs::Buttons::Ok, Dialogs::Icon::None);
        return;
    }
    QString why;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const printing::Outcome outcome =
        printing::printText(printing::currentPrinter(), editor->Text(), editor->Font(), &why);
    QApplication::restoreOverrideCursor();
    if (outcome == printing::Outcome::NoPrinter) {
        dialogs().message(ctx.frmMain,
                          QStringLiteral("There is no printer to print on. Choose one with "
                                         "Print Setup... and try again."),
                          QString(), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
    } else if (outcome == printing::Outcome::Failed) {
        dialogs().message(ctx.frmMain,
                          QStringLiteral("The document could not be printed. %1").arg(why),
                          QString(), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
    }
}

void mnuPrintsetup_Click(const AppContext& ctx) {
    // The printer dialog sets the current printer up in place: the printer chosen there
    // is the one Print uses from now on.
    ctx.cmdg->ShowPrinter(&printing::currentPrinter());
}

void mnuFullScreen_Click(const AppContext& ctx) {
    frmScreen::enterFullScreen(ctx.frmMain, ctx.txtCode);
}

void connectCommands(const AppContext& ctx, const MenuActions& menus) {
    QObject* owner = ctx.frmMain;
    TxtCode* editor = ctx.txtCode;
    // Undo, Cut, Copy and Paste are the editor's own operations. While the editor has
    // the focus it takes these keys (and Del, Ctrl+A) itself, ahead of the shortcuts.
    QObject::connect(menus.mnuUndo, &QAction::triggered, owner, [editor] { editor->undo(); });
    QObject::connect(menus.mnuCut, &QAction::triggered, owner, [editor] { editor->cut(); });
    QObject::connect(menus.mnuCopy, &QAction::triggered, owner, [editor] { editor->copy(); });
    QObject::connect(menus.mnuPaste, &QAction::triggered, owner, [editor] { editor->paste(); });
    QObject::connect(menus.mnuDelete, &QAction::triggered, owner, [ctx] { mnuDelete_Click(ctx); });
    QObject::connect(menus.mnuSelect, &QAction::triggered, owner, [ctx] { mnuSelect_Click(ctx); });
    QObject::connect(menus.mnuPrint, &QAction::triggered, owner, [ctx] { mnuPrint_Click(ctx); });
    QObject::connect(menus.mnuPrintsetup, &QAction::triggered, owner,
                     [ctx] { mnuPrintsetup_Click(ctx); });
    QObject::connect(menus.mnuFullScreen, &QAction::triggered, owner,
                     [ctx] { mnuFullScreen_Click(ctx); });
}

} // namespace editcommands

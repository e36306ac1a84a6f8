// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/commands.h"

#include <QAction>
#include <QMainWindow>

#include "assist/counts.h"
#include "assist/editorinput.h"
#include "assist/highlighter.h"
#include "assist/insertion.h"
#include "assist/selectionhighlight.h"
#include "assist/tagaids.h"
#include "assist/tagfragments.h"
#include "editor/txtcode.h"
#include "shell/appcontext.h"
#include "shell/menuactions.h"

namespace assist {

void connectCommands(const AppContext& ctx, const MenuActions& menus) {
    QObject* owner = ctx.frmMain;
    TxtCode* editor = ctx.txtCode;
    Cmdg* cmdg = ctx.cmdg;

    // Each fixed-markup item writes its fragment after the selection. The items that open a
    // snippet dialog are connected by the dialogs module.
    for (const TagCommand& command : fixedTagCommands()) {
        const QString fragment = tagFragment(command);
        QObject::connect(menus.*command.item, &QAction::triggered, editor,
                         [editor, fragment] { insertAfterSelection(*editor, fragment); });
    }

    QObject::connect(menus.mnuHighlight, &QAction::triggered, owner,
                     [ctx] { mnuHighlight_Click(ctx); });
    QObject::connect(menus.mnuUnHighlight, &QAction::triggered, owner,
                     [ctx] { mnuUnHighlight_Click(ctx); });
    QObject::connect(menus.mnuLine, &QAction::triggered, owner, [ctx] { mnuLine_Click(ctx); });
    QObject::connect(menus.mnuWord, &QAction::triggered, owner, [ctx] { mnuWord_Click(ctx); });
    QObject::connect(menus.PopHighLight, &QAction::triggered, owner,
                     [editor, cmdg] { PopHighLight_Click(editor, cmdg); });
    QObject::connect(menus.PopNoHighLight, &QAction::triggered, owner,
                     [editor] { PopNoHighLight_Click(editor); });

    // The typing behaviour lives in a small object owned by the editor.
    new EditorInput(editor, ctx.syntaxColours, menus.PopMenu, menus.PopHighLight,
                    menus.PopNoHighLight);
    connectTagAids(ctx, menus);
}

} // namespace assist

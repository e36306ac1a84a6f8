// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QMainWindow>

#include "assist/parts.h"
#include "assist/selectionhighlight.h"
#include "platform/appcontext.h"

namespace assist {

void installSelectionHighlighting(const AppContext& ctx) {
    TxtCode* editor = ctx.txtCode;
    Cmdg* cmdg = ctx.cmdg;
    QObject::connect(ctx.action("PopHighLight"), &QAction::triggered, ctx.frmMain,
                     [editor, cmdg] { PopHighLight_Click(editor, cmdg); });
    QObject::connect(ctx.action("PopNoHighLight"), &QAction::triggered, ctx.frmMain,
                     [editor] { PopNoHighLight_Click(editor); });
}

} // namespace assist

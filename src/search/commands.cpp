// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/commands.h"

#include <QAction>

#include "search/frmfind.h"
#include "search/frmgoto.h"
#include "shell/appcontext.h"
#include "shell/menuactions.h"

namespace search {

void connectCommands(const AppContext& ctx, const MenuActions& menus) {
    QObject* owner = ctx.frmMain;
    QObject::connect(menus.mnuFind, &QAction::triggered, owner, [ctx] { frmFind::showFind(ctx); });
    QObject::connect(menus.mnuReplace, &QAction::triggered, owner,
                     [ctx] { frmFind::showReplace(ctx); });
    QObject::connect(menus.mnuGoto, &QAction::triggered, owner, [ctx] { frmGoto::showGoto(ctx); });
}

} // namespace search

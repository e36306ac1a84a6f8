// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/install.h"

#include <QAction>

#include "platform/appcontext.h"
#include "search/frmfind.h"
#include "search/frmgoto.h"

namespace search {

void install(const AppContext& ctx) {
    QObject* owner = ctx.frmMain;
    QObject::connect(ctx.action("mnuFind"), &QAction::triggered, owner,
                     [ctx] { frmFind::showFind(ctx); });
    QObject::connect(ctx.action("mnuReplace"), &QAction::triggered, owner,
                     [ctx] { frmFind::showReplace(ctx); });
    QObject::connect(ctx.action("mnuGoto"), &QAction::triggered, owner,
                     [ctx] { frmGoto::showGoto(ctx); });
}

} // namespace search

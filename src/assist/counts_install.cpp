// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QMainWindow>

#include "assist/counts.h"
#include "assist/parts.h"
#include "platform/appcontext.h"

namespace assist {

void installCounts(const AppContext& ctx) {
    QObject::connect(ctx.action("mnuLine"), &QAction::triggered, ctx.frmMain,
                     [ctx] { mnuLine_Click(ctx); });
    QObject::connect(ctx.action("mnuWord"), &QAction::triggered, ctx.frmMain,
                     [ctx] { mnuWord_Click(ctx); });
}

} // namespace assist

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QMainWindow>

#include "assist/highlighter.h"
#include "assist/parts.h"
#include "platform/appcontext.h"

namespace assist {

void installHighlighter(const AppContext& ctx) {
    QObject::connect(ctx.action("mnuHighlight"), &QAction::triggered, ctx.frmMain,
                     [ctx] { mnuHighlight_Click(ctx); });
    QObject::connect(ctx.action("mnuUnHighlight"), &QAction::triggered, ctx.frmMain,
                     [ctx] { mnuUnHighlight_Click(ctx); });
}

} // namespace assist

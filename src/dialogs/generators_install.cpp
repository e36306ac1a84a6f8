// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>

#include "dialogs/frmcolors.h"
#include "dialogs/frmiframe.h"
#include "dialogs/frmlist.h"
#include "dialogs/frmmarquee.h"
#include "dialogs/frmtable.h"
#include "dialogs/frmtime.h"
#include "dialogs/parts.h"
#include "platform/appcontext.h"

namespace snippetdialogs {

namespace {
template <class T> void openOn(const AppContext& ctx, const char* item) {
    QObject::connect(ctx.action(item), &QAction::triggered, ctx.frmMain,
                     [ctx] { SnippetDialog::open<T>(ctx); });
}
} // namespace

void installGeneratorDialogs(const AppContext& ctx) {
    openOn<frmTable>(ctx, "mnuTable");
    openOn<frmList>(ctx, "mnuList");
    openOn<frmColors>(ctx, "mnuColors");
    openOn<frmMarquee>(ctx, "mnuMarquee");
    openOn<frmIframe>(ctx, "mnuIframe");
    QObject::connect(ctx.action("mnuDate"), &QAction::triggered, ctx.frmMain,
                     [ctx] { mnuDate_Click(ctx); });
}

} // namespace snippetdialogs

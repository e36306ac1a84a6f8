// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>

#include "dialogs/frmimage.h"
#include "dialogs/frmlink.h"
#include "dialogs/headdialogs.h"
#include "dialogs/parts.h"
#include "platform/appcontext.h"

namespace snippetdialogs {

namespace {
// Connects a menu item to the opener of its dialog.
template <class T> void opens(const AppContext& ctx, const char* item) {
    QObject::connect(ctx.action(item), &QAction::triggered, ctx.frmMain,
                     [ctx] { SnippetDialog::open<T>(ctx); });
}
} // namespace

void installHeadAndLinkDialogs(const AppContext& ctx) {
    opens<frmComment>(ctx, "mnuComment");
    opens<frmTitle>(ctx, "mnuTitle");
    opens<frmFavicon>(ctx, "mnuFavicon");
    opens<frmMeta>(ctx, "mnuMeta");
    opens<frmExternal>(ctx, "mnuExternal");
    opens<frmRefresh>(ctx, "mnuRefresh");
    opens<frmLink>(ctx, "mnuLink");
    opens<frmImage>(ctx, "mnuImage");
}

} // namespace snippetdialogs

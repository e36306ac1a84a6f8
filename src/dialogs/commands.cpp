// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/commands.h"

#include <QAction>

#include "dialogs/frmcolors.h"
#include "dialogs/frmiframe.h"
#include "dialogs/frmimage.h"
#include "dialogs/frmlink.h"
#include "dialogs/frmlist.h"
#include "dialogs/frmmarquee.h"
#include "dialogs/frmtable.h"
#include "dialogs/frmtime.h"
#include "dialogs/headdialogs.h"
#include "platform/appcontext.h"
#include "platform/menuactions.h"

namespace dialogs {

namespace {
// Connects a menu item to the opener of its dialog.
template <class T> void opens(const AppContext& ctx, QAction* item) {
    QObject::connect(item, &QAction::triggered, ctx.frmMain,
                     [ctx] { SnippetDialog::open<T>(ctx); });
}
} // namespace

void connectCommands(const AppContext& ctx, const MenuActions& menus) {
    opens<frmComment>(ctx, menus.mnuComment);
    opens<frmTitle>(ctx, menus.mnuTitle);
    opens<frmFavicon>(ctx, menus.mnuFavicon);
    opens<frmMeta>(ctx, menus.mnuMeta);
    opens<frmExternal>(ctx, menus.mnuExternal);
    opens<frmRefresh>(ctx, menus.mnuRefresh);
    opens<frmLink>(ctx, menus.mnuLink);
    opens<frmImage>(ctx, menus.mnuImage);
    opens<frmTable>(ctx, menus.mnuTable);
    opens<frmList>(ctx, menus.mnuList);
    opens<frmColors>(ctx, menus.mnuColors);
    opens<frmMarquee>(ctx, menus.mnuMarquee);
    opens<frmIframe>(ctx, menus.mnuIframe);
    QObject::connect(menus.mnuDate, &QAction::triggered, ctx.frmMain,
                     [ctx] { mnuDate_Click(ctx); });
}

} // namespace dialogs

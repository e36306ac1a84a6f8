// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/commands.h"

#include <QAction>
#include <utility>

#include "dialogs/frmcolors.h"
#include "dialogs/frmiframe.h"
#include "dialogs/frmimage.h"
#include "dialogs/frmlink.h"
#include "dialogs/frmlist.h"
#include "dialogs/frmmarquee.h"
#include "dialogs/frmtable.h"
#include "dialogs/frmtime.h"
#include "dialogs/headdialogs.h"
#include "shell/appcontext.h"
#include "shell/menuactions.h"

namespace snippetdialogs {

namespace {
template <class T> void openDialog(const AppContext& ctx) {
    SnippetDialog::open<T>(ctx);
}
} // namespace

void connectCommands(const AppContext& ctx, const MenuActions& menus) {
    // Each of these items opens its dialog.
    using Opener = void (*)(const AppContext&);
    const std::pair<QAction*, Opener> openers[] = {
        {menus.mnuComment, &openDialog<frmComment>},   {menus.mnuTitle, &openDialog<frmTitle>},
        {menus.mnuFavicon, &openDialog<frmFavicon>},   {menus.mnuMeta, &openDialog<frmMeta>},
        {menus.mnuExternal, &openDialog<frmExternal>}, {menus.mnuRefresh, &openDialog<frmRefresh>},
        {menus.mnuLink, &openDialog<frmLink>},         {menus.mnuImage, &openDialog<frmImage>},
        {menus.mnuTable, &openDialog<frmTable>},       {menus.mnuList, &openDialog<frmList>},
        {menus.mnuColors, &openDialog<frmColors>},     {menus.mnuMarquee, &openDialog<frmMarquee>},
        {menus.mnuIframe, &openDialog<frmIframe>},     {menus.mnuDate, &mnuDate_Click},
    };
    for (const auto& [item, open] : openers)
        QObject::connect(item, &QAction::triggered, ctx.frmMain, [ctx, open = open] { open(ctx); });
}

} // namespace snippetdialogs

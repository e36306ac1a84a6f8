// SPDX-License-Identifier: GPL-3.0-or-later
#include "validator/commands.h"

#include <QAction>

#include "shell/appcontext.h"
#include "shell/menuactions.h"
#include "validator/frmvalidator.h"

namespace validator {

void connectCommands(const AppContext& ctx, const MenuActions& menus) {
    QObject::connect(menus.mnuValidate, &QAction::triggered, ctx.frmMain,
                     [ctx] { frmValidator::open(ctx); });
}

} // namespace validator

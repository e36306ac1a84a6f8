// SPDX-License-Identifier: GPL-3.0-or-later
#include "validator/install.h"

#include <QAction>

#include "platform/appcontext.h"
#include "validator/frmvalidator.h"

namespace validator {

void install(const AppContext& ctx) {
    QObject::connect(ctx.action("mnuValidate"), &QAction::triggered, ctx.frmMain,
                     [ctx] { frmValidator::open(ctx); });
}

} // namespace validator

// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/install.h"

#include "dialogs/parts.h"
#include "platform/appcontext.h"

namespace snippetdialogs {

void install(const AppContext& ctx) {
    installHeadAndLinkDialogs(ctx);
    installGeneratorDialogs(ctx);
}

} // namespace snippetdialogs

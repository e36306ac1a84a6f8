// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/install.h"

#include "assist/parts.h"
#include "platform/appcontext.h"

namespace assist {

void install(const AppContext& ctx) {
    installTagCommands(ctx);
    installHighlighter(ctx);
    installEditorInput(ctx);
    installCounts(ctx);
    installSelectionHighlighting(ctx);
}

} // namespace assist

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>

#include "assist/insertion.h"
#include "assist/parts.h"
#include "assist/tagfragments.h"
#include "platform/appcontext.h"
#include "platform/txtcode.h"

namespace assist {

// Each fixed-markup item writes its fragment after the selection. The items that open a
// snippet dialog are connected by the dialogs module.
void installTagCommands(const AppContext& ctx) {
    TxtCode* editor = ctx.txtCode;
    for (const TagCommand& command : fixedTagCommands()) {
        const QString fragment = tagFragment(command);
        QObject::connect(ctx.action(command.name), &QAction::triggered, editor,
                         [editor, fragment] { insertAfterSelection(*editor, fragment); });
    }
}

} // namespace assist

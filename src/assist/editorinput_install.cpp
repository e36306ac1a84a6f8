// SPDX-License-Identifier: GPL-3.0-or-later
#include <QMenu>

#include "assist/editorinput.h"
#include "assist/parts.h"
#include "platform/appcontext.h"

namespace assist {

// The behaviour lives in a small object owned by the editor.
void installEditorInput(const AppContext& ctx) {
    new EditorInput(ctx.txtCode, ctx.syntaxColours, ctx.menu("PopMenu"), ctx.action("PopHighLight"),
                    ctx.action("PopNoHighLight"));
}

} // namespace assist

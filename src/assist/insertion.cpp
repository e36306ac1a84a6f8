// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/insertion.h"

#include "editor/txtcode.h"

namespace assist {

void insertAfterSelection(TxtCode& editor, const QString& fragment) {
    editor.SetSelText(editor.SelText() + fragment);
}

void insertOverSelection(TxtCode& editor, const QString& fragment) {
    editor.enterText(fragment);
}

} // namespace assist

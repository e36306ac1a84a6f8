// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class TxtCode;

namespace assist {

// The two ways any command or dialog puts text into the editor. Each writes SelText once
// and touches neither the selection bounds nor the focus; the caret ends after the text.

// The selected text stays where it is and the fragment follows it (a plain insertion at
// the caret when nothing is selected).
void insertAfterSelection(TxtCode& editor, const QString& fragment);
// The fragment replaces the selected text.
void insertOverSelection(TxtCode& editor, const QString& fragment);

} // namespace assist

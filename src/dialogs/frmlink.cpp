// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/frmlink.h"

#include <QLabel>
#include <QLineEdit>

#include "dialogs/linkcontrols.h"
#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

frmLink::frmLink(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmLink"), QStringLiteral("ADD LiNK"),
                    Placement::Centred) {
    fraLink = new LinkControls(this, QStringLiteral("Actual link:"));
    lblLink = label(fraLink, "lblLink", QStringLiteral("Description:"));
    txtLink = textBox(fraLink, "txtLink");
    fraLink->addRow(lblLink, txtLink);
    finishLayout(fraLink);
}

void frmLink::cmdInsert_Click() {
    insertAfterSelection(fragments::link(fraLink->fields(), txtLink->text()));
    finishInsert(Manner::ClosedAfterInsert);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/frmlink.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

frmLink::frmLink(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmLink"), QStringLiteral("ADD LiNK"),
                    Placement::Centred) {
    fraLink = frame(this, "fraLink", QStringLiteral("Link"));
    lblType = label(fraLink, "lblType", QStringLiteral("Link Type:"));
    cboType = freeCombo(fraLink, "cboType", QStringLiteral("http://"));
    lblUrl = label(fraLink, "lblUrl", QStringLiteral("Actual link:"));
    txtUrl = textBox(fraLink, "txtUrl");
    lblTarget = label(fraLink, "lblTarget", QStringLiteral("Target:"));
    cboTarget = freeCombo(fraLink, "cboTarget", QStringLiteral("_Default"));
    lblLink = label(fraLink, "lblLink", QStringLiteral("Description:"));
    txtLink = textBox(fraLink, "txtLink");

    auto* grid = new QGridLayout(fraLink);
    grid->addWidget(lblType, 0, 0);
    grid->addWidget(cboType, 0, 1);
    grid->addWidget(lblUrl, 1, 0);
    grid->addWidget(txtUrl, 1, 1);
    grid->addWidget(lblTarget, 2, 0);
    grid->addWidget(cboTarget, 2, 1);
    grid->addWidget(lblLink, 3, 0);
    grid->addWidget(txtLink, 3, 1);
    finishLayout(fraLink);
}

void frmLink::cmdInsert_Click() {
    const fragments::LinkFields link{cboType->currentText(), txtUrl->text(),
                                     cboTarget->currentText()};
    insertAfterSelection(fragments::link(link, txtLink->text()));
    finishInsert(Manner::ClosedAfterInsert);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/snippetdialog.h"

class LinkControls;
class QLabel;
class QLineEdit;

// "ADD LiNK": an anchor around a description text, written after the selection; closed
// after Insert.
class frmLink : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmLink(const AppContext& ctx);

    LinkControls* fraLink; // lblType, cboType, lblUrl, txtUrl, lblTarget, cboTarget
    QLabel* lblLink;
    QLineEdit* txtLink;

protected:
    void cmdInsert_Click() override;
};

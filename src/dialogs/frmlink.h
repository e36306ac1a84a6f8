// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/linkfragments.h"
#include "dialogs/snippetdialog.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

// "ADD LiNK": an anchor around a description text, written after the selection; closed
// after Insert.
class frmLink : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmLink(const AppContext& ctx);

    QGroupBox* fraLink;
    QLabel* lblType;
    QComboBox* cboType;
    QLabel* lblUrl;
    QLineEdit* txtUrl;
    QLabel* lblTarget;
    QComboBox* cboTarget;
    QLabel* lblLink;
    QLineEdit* txtLink;

protected:
    void cmdInsert_Click() override;
};

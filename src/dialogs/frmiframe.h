// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/snippetdialog.h"

class QCheckBox;
class QLineEdit;

// "ADD iFRAME": an inline-frame start tag from an address, a size, a title and an
// optional border-removing style.
class frmIframe : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmIframe(const AppContext& ctx);

protected:
    void cmdInsert_Click() override;

private:
    QLineEdit* txtUrl;
    QLineEdit* txtTitle;
    QLineEdit* txtWidth;
    QLineEdit* txtHeight;
    QCheckBox* chkBorder;
};

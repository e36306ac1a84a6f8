// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/snippetdialog.h"

class QLineEdit;
class QRadioButton;

// "ADD LiST": generates an ordered or unordered list of empty items.
class frmList : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmList(const AppContext& ctx);

    // Writes a list of `items` empty items over the editor's selection; it is ordered
    // only when "Ordered List" is selected.
    void Addlist(qint32 items);

protected:
    void cmdInsert_Click() override;

private:
    QRadioButton* optType[2];
    QLineEdit* txtItems;
};

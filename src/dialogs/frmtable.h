// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/snippetdialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

// "ADD TABLE": generates an empty table of a chosen number of rows and columns.
class frmTable : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmTable(const AppContext& ctx);

    // Writes a table of `rows` x `columns` cells with the dialog's layout fields and the
    // width attribute over the editor's selection.
    void Addtable(qint32 rows, qint32 columns, const QString& widthAttribute);

protected:
    void cmdInsert_Click() override;

private:
    QLineEdit* txtRows;
    QLineEdit* txtColumns;
    QCheckBox* chkWidth;
    QLineEdit* txtWidth;
    QRadioButton* optWidth[2];
    QComboBox* cboAlignment;
    QLineEdit* txtBorder;
    QLineEdit* txtPadding;
    QLineEdit* txtSpacing;
};

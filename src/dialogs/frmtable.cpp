// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/frmtable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/generatorfragments.h"
#include "dialogs/numberinput.h"
#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

frmTable::frmTable(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmTable"), QStringLiteral("ADD TABLE"),
                    Placement::Centred) {
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);

    auto* fraSize = namedControl<QGroupBox>(body, "fraSize", QStringLiteral("Size"));
    txtRows = namedControl<QLineEdit>(fraSize, "txtRows", QStringLiteral("1"));
    txtColumns = namedControl<QLineEdit>(fraSize, "txtColumns", QStringLiteral("1"));
    labelledRows(fraSize, {{"lblRows", QStringLiteral("Rows:"), txtRows},
                           {"lblColumns", QStringLiteral("Columns:"), txtColumns}});
    column->addWidget(fraSize);

    auto* fraLayout = namedControl<QGroupBox>(body, "fraLayout", QStringLiteral("Layout"));
    auto* layoutForm = new QFormLayout(fraLayout);
    chkWidth = namedControl<QCheckBox>(fraLayout, "chkWidth", QStringLiteral("Add Table Width"));
    txtWidth = namedControl<QLineEdit>(fraLayout, "txtWidth", QStringLiteral("100"));
    optWidth[0] = namedControl<QRadioButton>(fraLayout, "optWidth_0", QStringLiteral("In pixels"));
    optWidth[1] = namedControl<QRadioButton>(fraLayout, "optWidth_1", QStringLiteral("In percent"));
    optWidth[0]->setChecked(true);
    cboAlignment = namedControl<QComboBox>(fraLayout, "cboAlignment");
    cboAlignment->setEditable(true);
    // The list is filled at every load; the initial text is not one of its entries.
    cboAlignment->addItems(
        {QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")});
    cboAlignment->setEditText(QStringLiteral("center"));
    txtBorder = namedControl<QLineEdit>(fraLayout, "txtBorder", QStringLiteral("0"));
    txtPadding = namedControl<QLineEdit>(fraLayout, "txtPadding", QStringLiteral("1"));
    txtSpacing = namedControl<QLineEdit>(fraLayout, "txtSpacing", QStringLiteral("1"));

    layoutForm->addRow(chkWidth);
    layoutForm->addRow(namedControl<QLabel>(fraLayout, "lblWidth", QStringLiteral("Width:")),
                       txtWidth);
    layoutForm->addRow(optWidth[0]);
    layoutForm->addRow(optWidth[1]);
    layoutForm->addRow(
        namedControl<QLabel>(fraLayout, "lblAlignment", QStringLiteral("Alignment:")),
        cboAlignment);
    layoutForm->addRow(namedControl<QLabel>(fraLayout, "lblBorder", QStringLiteral("Border Size:")),
                       txtBorder);
    layoutForm->addRow(
        namedControl<QLabel>(fraLayout, "lblPadding", QStringLiteral("Cell Padding:")), txtPadding);
    layoutForm->addRow(
        namedControl<QLabel>(fraLayout, "lblSpacing", QStringLiteral("Cell Spacing:")), txtSpacing);
    column->addWidget(fraLayout);

    finishLayout(body);
}

void frmTable::Addtable(qint32 rows, qint32 columns, const QString& widthAttribute) {
    fragments::TableLayout layout;
    layout.alignment = cboAlignment->currentText();
    layout.border = txtBorder->text();
    layout.padding = txtPadding->text();
    layout.spacing = txtSpacing->text();
    insertOverSelection(fragments::table(layout, rows, columns, widthAttribute));
}

void frmTable::cmdInsert_Click() {
    const QString width = fragments::tableWidthAttribute(chkWidth->isChecked(), txtWidth->text(),
                                                         optWidth[1]->isChecked());

    const WholeNumber rows = readWholeNumber(txtRows->text());
    if (!rows.ok()) {
        showFormatMessage(wholeNumberProblem(QStringLiteral("Rows"), txtRows->text(), rows));
        return;
    }
    const WholeNumber columns = readWholeNumber(txtColumns->text());
    if (!columns.ok()) {
        showFormatMessage(
            wholeNumberProblem(QStringLiteral("Columns"), txtColumns->text(), columns));
        return;
    }
    const qint64 cells = fragments::tableCellCount(rows.value, columns.value);
    if (cells > fragments::kMaxTableCells) {
        showFormatMessage(QStringLiteral("Rows and Columns: a table of %1 cells is too large; at "
                                         "most %2 cells can be inserted.")
                              .arg(cells)
                              .arg(fragments::kMaxTableCells));
        return;
    }

    Addtable(rows.value, columns.value, width);
    finishInsert(Manner::ClosedAfterInsert);
}

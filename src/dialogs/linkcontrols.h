// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

#include "dialogs/linkfragments.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

// The frame "Link" (fraLink) of the link and image dialogs: the link type, the address and
// the target of an anchor, as labelled rows of one grid. A dialog may put one control
// above them (`lead`, across both columns) and add rows of its own below with addRow(), so
// that every label of the frame stands in one column.
class LinkControls : public QGroupBox {
    Q_OBJECT
public:
    // `urlCaption` labels the address ("Actual link:", "Url:"); `lead`, when given, is
    // taken into the frame first, so that it also comes first in the tab order.
    LinkControls(QWidget* parent, const QString& urlCaption, QWidget* lead = nullptr);

    // Adds a row below the others: `label` in the first column, `field` in the second.
    void addRow(QLabel* label, QWidget* field);

    // What the controls hold, as the fragment builders take it.
    fragments::LinkFields fields() const;

    QLabel* lblType;
    QComboBox* cboType;
    QLabel* lblUrl;
    QLineEdit* txtUrl;
    QLabel* lblTarget;
    QComboBox* cboTarget;

private:
    QGridLayout* grid_;
    int rows_ = 0;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/linkcontrols.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

LinkControls::LinkControls(QWidget* parent, const QString& urlCaption, QWidget* lead)
    : QGroupBox(QStringLiteral("Link"), parent), grid_(new QGridLayout(this)) {
    setObjectName(QStringLiteral("fraLink"));
    if (lead) {
        lead->setParent(this);
        grid_->addWidget(lead, rows_++, 0, 1, 2);
    }
    lblType = label(this, "lblType", QStringLiteral("Link Type:"));
    cboType = freeCombo(this, "cboType", QStringLiteral("http://"));
    lblUrl = label(this, "lblUrl", urlCaption);
    txtUrl = textBox(this, "txtUrl");
    lblTarget = label(this, "lblTarget", QStringLiteral("Target:"));
    cboTarget = freeCombo(this, "cboTarget", QStringLiteral("_Default"));
    addRow(lblType, cboType);
    addRow(lblUrl, txtUrl);
    addRow(lblTarget, cboTarget);
}

void LinkControls::addRow(QLabel* label, QWidget* field) {
    grid_->addWidget(label, rows_, 0);
    grid_->addWidget(field, rows_, 1);
    ++rows_;
}

fragments::LinkFields LinkControls::fields() const {
    return {cboType->currentText(), txtUrl->text(), cboTarget->currentText()};
}

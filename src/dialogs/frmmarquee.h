// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/snippetdialog.h"
#include "shell/cmdg.h"

class ColorSwatch;
class QCheckBox;
class QLineEdit;
class QRadioButton;

// "ADD MARQUEE": a scrolling-text element with direction, behaviour, alignment, speed and
// background colour.
class frmMarquee : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmMarquee(const AppContext& ctx);

protected:
    void cmdInsert_Click() override;

private:
    Cmdg cmdg;
    QLineEdit* txtText;
    QRadioButton* optDirection[2];
    QRadioButton* optBehavior[3];
    QRadioButton* optAlign[3];
    QLineEdit* txtDelay;
    QLineEdit* txtAmount;
    // The size and repeat fields take no part in the markup.
    QCheckBox* chkWidth;
    QLineEdit* txtWidth;
    QCheckBox* chkHeight;
    QLineEdit* txtHeight;
    QCheckBox* chkRepeat;
    QLineEdit* txtRepeat;
    ColorSwatch* pctBackgroundColor;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/snippetdialog.h"
#include "shell/cmdg.h"

class ColorSwatch;
class QCheckBox;
class QLabel;

// "ADD COLOR": a body start tag with the page's background colour or picture and its
// four text colours, picked into swatches.
class frmColors : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmColors(const AppContext& ctx);

protected:
    void cmdInsert_Click() override;

private:
    void chkBackground_Click();
    void cmdBrowse_Click();
    void showBackgroundImage(const QString& fileName);

    // The common dialog of this window: colour chooser and open-file dialog in one, so
    // the picture's file name survives colour picks.
    Cmdg cmdg;
    ColorSwatch* pctNormalSelect;
    ColorSwatch* pctLinkSelect;
    ColorSwatch* pctActiveSelect;
    ColorSwatch* pctVisitedSelect;
    ColorSwatch* pctBackgroundSelect;
    QCheckBox* chkBackground;
    QPushButton* cmdBrowse;
    QLabel* pctBackgroundImage;
};

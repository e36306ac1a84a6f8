// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/toolwindow.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

// The go-to-line dialog, a tool window centred on the screen. Goto hides it; Cancel and the
// close control unload it.
class frmGoto : public ToolWindow {
    Q_OBJECT
public:
    // Edit > Goto...: disables the main window, then shows the dialog (loading it when
    // needed; a hidden dialog is shown again).
    static frmGoto* showGoto(const AppContext& ctx);
    // The loaded dialog (shown or hidden), or null.
    static frmGoto* instance();

    // The buttons and their handlers, then the line number.
    QPushButton* cmdGoto = nullptr;
    QPushButton* cmdCancel = nullptr;
    void cmdGoto_Click();
    void cmdCancel_Click();
    QGroupBox* fraLine = nullptr;
    QLineEdit* txtLine = nullptr;

private:
    friend class ToolWindow;
    explicit frmGoto(const AppContext& ctx);
    void invalidLineNumber(QWidget* over);
};

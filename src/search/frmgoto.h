// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "platform/appcontext.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

// The go-to-line dialog. One instance, shown without being modal while the main window is
// disabled. Goto hides it; Cancel and the close control unload it.
class frmGoto : public QWidget {
    Q_OBJECT
public:
    // Edit > Goto...: disables the main window, then shows the dialog (loading it when
    // needed; a hidden dialog is shown again).
    static frmGoto* showGoto(const AppContext& ctx);
    // The loaded dialog (shown or hidden), or null.
    static frmGoto* instance();

    void cmdGoto_Click();
    void cmdCancel_Click();

    QPushButton* cmdGoto = nullptr;
    QPushButton* cmdCancel = nullptr;
    QGroupBox* fraLine = nullptr;
    QLineEdit* txtLine = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmGoto(const AppContext& ctx);
    void invalidLineNumber(QWidget* over);
    void unload();

    AppContext ctx_;
    bool placed_ = false;
    bool unloaded_ = false;
};

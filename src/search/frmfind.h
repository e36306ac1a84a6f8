// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "search/finder.h"
#include "shell/toolwindow.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The find and find-and-replace dialog, a tool window centred on the screen. Cancel hides
// it (its fields survive); the close control unloads it.
class frmFind : public ToolWindow {
    Q_OBJECT
public:
    // Edit > Find...: shows the dialog in Find mode and disables the main window.
    static frmFind* showFind(const AppContext& ctx);
    // Edit > Replace...: shows the replace controls, captions the dialog for replacing,
    // shows it and disables the main window.
    static frmFind* showReplace(const AppContext& ctx);
    // The loaded dialog (shown or hidden), or null.
    static frmFind* instance();

    // The check-box array: index 2 "Whole word", index 4 "Match Case" (null otherwise).
    QCheckBox* chkboxes(int index) const;
    // The option bits of the ticked boxes: 0, 2, 4 or 6.
    int optionValue() const;
    bool NewSearch() const { return finder_.NewSearch(); }

    void cmdFindnext_Click();
    void cmdReplace_Click();
    void cmdFindcancel_Click();
    void txtFind_Change();

    // The search and replacement texts.
    QGroupBox* fraFind = nullptr;
    QLabel* lblFindwhat = nullptr;
    QLineEdit* txtFind = nullptr;
    QLabel* lblReplace = nullptr;
    QLineEdit* txtReplace = nullptr;
    // The options.
    QGroupBox* fraFindoptions = nullptr;
    QCheckBox* chkboxes_2 = nullptr;
    QCheckBox* chkboxes_4 = nullptr;
    // The buttons.
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdFindcancel = nullptr;
    QPushButton* cmdFindnext = nullptr;

protected:
    // The close control: the steps of Cancel, then the dialog is gone.
    void onUnload() override;

private:
    friend class ToolWindow;
    explicit frmFind(const AppContext& ctx);
    void createControls();
    void setReplaceControlsVisible(bool visible);
    void notFound();
    // The steps Cancel and the close control share: hide, give the main window back,
    // arm a fresh search, and return to Find mode.
    void hideAndReset();

    EditorSearchTarget target_;
    Finder finder_;
};

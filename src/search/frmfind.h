// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "platform/appcontext.h"
#include "search/finder.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The find and find-and-replace dialog. One instance, shown without being modal while the
// main window is disabled. Cancel hides it (its fields survive); the close control
// unloads it.
class frmFind : public QWidget {
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

    QGroupBox* fraFind = nullptr;
    QLabel* lblFindwhat = nullptr;
    QLineEdit* txtFind = nullptr;
    QLabel* lblReplace = nullptr;
    QLineEdit* txtReplace = nullptr;
    QGroupBox* fraFindoptions = nullptr;
    QCheckBox* chkboxes_2 = nullptr;
    QCheckBox* chkboxes_4 = nullptr;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdFindcancel = nullptr;
    QPushButton* cmdFindnext = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmFind(const AppContext& ctx);
    static frmFind* load(const AppContext& ctx);
    void createControls();
    void showDialog();
    void setReplaceControlsVisible(bool visible);
    void notFound();
    // The steps Cancel and the close control share: hide, give the main window back,
    // arm a fresh search, and return to Find mode.
    void hideAndReset();

    AppContext ctx_;
    EditorSearchTarget target_;
    Finder finder_;
    bool placed_ = false;
    bool unloaded_ = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <memory>

#include "shell/appcontext.h"
#include "shell/menuactions.h"

class QFrame;
class QMenu;
class QTabBar;
class Cmdg;
class Document;
class LivePreview;
class Preview;
class Problems;
class RecentFiles;
class StatusPanels;
class TxtCode;
class ViewAids;

// The main window: the editor on the Code tab, the rendered page on the Preview tab,
// the menus and the status bar. The feature modules connect their commands to its menu
// items (MenuActions) and reach the window through AppContext.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    TxtCode* txtCode() const { return txtCode_; }
    Cmdg* cmdg() const { return cmdg_.get(); }
    QTabBar* tsMain() const { return tsMain_; }
    QFrame* fraCode() const { return fraCode_; }
    QFrame* fraPreview() const { return fraPreview_; }
    QMenu* PopMenu() const { return menus_.PopMenu; }
    Document* document() const { return document_.get(); }
    Preview* preview() const { return preview_.get(); }
    LivePreview* livePreview() const { return livePreview_.get(); }
    Problems* problems() const { return problems_.get(); }
    StatusPanels* statusPanels() const { return status_; }
    ViewAids* viewAids() const { return viewAids_; }
    const SyntaxColourTable& SyntaxColours() const { return syntaxColours_; }
    const AppContext& context() const { return ctx_; }
    const MenuActions& menuActions() const { return menus_; }

    // The handler of a click on a tab: 0 Code, 1 Preview.
    void tsMain_Click(int index);

signals:
    // Emitted when the user chose to end the program without saving.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void createLayout();
    void connectFileMenu();

    TxtCode* txtCode_ = nullptr;
    std::unique_ptr<Cmdg> cmdg_;
    QTabBar* tsMain_ = nullptr;
    QFrame* fraCode_ = nullptr;
    QFrame* fraPreview_ = nullptr;
    std::unique_ptr<Document> document_;
    std::unique_ptr<Preview> preview_;
    std::unique_ptr<LivePreview> livePreview_;
    std::unique_ptr<Problems> problems_;
    StatusPanels* status_ = nullptr;
    ViewAids* viewAids_ = nullptr;
    RecentFiles* recent_ = nullptr;
    SyntaxColourTable syntaxColours_{};
    MenuActions menus_;
    AppContext ctx_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

#include "app/document.h"
#include "app/editcommands.h"
#include "app/livepreview.h"
#include "app/menus.h"
#include "app/preview.h"
#include "app/problems.h"
#include "app/recentfiles.h"
#include "app/statuspanels.h"
#include "app/viewaids.h"
#include "assist/commands.h"
#include "dialogs/commands.h"
#include "editor/txtcode.h"
#include "search/commands.h"
#include "shell/cmdg.h"
#include "validator/commands.h"

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    txtCode_ = new TxtCode;
    cmdg_ = std::make_unique<Cmdg>(this);
    menus_ = buildMenus(this);
    createLayout();
    document_ = std::make_unique<Document>(this, txtCode_, cmdg_.get());
    preview_ = std::make_unique<Preview>(fraPreview_);
    status_ = new StatusPanels(statusBar(), txtCode_);

    ctx_.frmMain = this;
    ctx_.txtCode = txtCode_;
    ctx_.cmdg = cmdg_.get();
    ctx_.syntaxColours = &syntaxColours_;

    Form_Load();
    connectFileMenu();
    viewAids_ = new ViewAids(menus_, txtCode_, this);
    recent_ = new RecentFiles(menus_.mnuRecent, this,
                              [this](const QString& path) { return document_->OpenFile(path); });
    connect(document_.get(), &Document::fileUsed, this, &RecentFiles::add);
    livePreview_ = std::make_unique<LivePreview>(menus_.mnuLivePreview, txtCode_, this,
                                                 [this] { return document_->filePath(); });
    problems_ = std::make_unique<Problems>(
        menus_.mnuProblems, txtCode_, this, [this] { return document_->filePath(); },
        [this] { tsMain_->setCurrentIndex(0); });
    editcommands::connectCommands(ctx_, menus_);
    assist::connectCommands(ctx_, menus_);
    validator::connectCommands(ctx_, menus_);
    snippetdialogs::connectCommands(ctx_, menus_);
    search::connectCommands(ctx_, menus_);
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    setWindowTitle(Document::untitled());
    // The caption follows the document's name.
    connect(document_.get(), &Document::displayNameChanged, this, &QWidget::setWindowTitle);
    syntaxColours_ = {16711680, 255, 16711808, 32768};
}

void frmMain::createLayout() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(8, 8, 8, 0);
    column->setSpacing(4);

    tsMain_ = new QTabBar(central);
    tsMain_->setObjectName(QStringLiteral("tsMain"));
    tsMain_->addTab(QStringLiteral("Code"));
    tsMain_->addTab(QStringLiteral("Preview"));
    tsMain_->setExpanding(false);
    tsMain_->setFocusPolicy(Qt::NoFocus);
    column->addWidget(tsMain_);

    fraCode_ = new QFrame(central);
    fraCode_->setObjectName(QStringLiteral("fraCode"));
    fraCode_->setFrameShape(QFrame::StyledPanel);
    auto* codeLayout = new QVBoxLayout(fraCode_);
    codeLayout->setContentsMargins(8, 8, 8, 8);
    codeLayout->addWidget(txtCode_);
    column->addWidget(fraCode_, 1);

    fraPreview_ = new QFrame(central);
    fraPreview_->setObjectName(QStringLiteral("fraPreview"));
    fraPreview_->setFrameShape(QFrame::StyledPanel);
    auto* previewLayout = new QVBoxLayout(fraPreview_);
    previewLayout->setContentsMargins(8, 8, 8, 8);
    column->addWidget(fraPreview_, 1);
    fraPreview_->hide();

    setCentralWidget(central);

    // A usable size, centred on the screen that holds the window.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        const QSize size(qMin(1000, avail.width() * 4 / 5), qMin(720, avail.height() * 4 / 5));
        setGeometry(QRect(avail.center() - QPoint(size.width() / 2, size.height() / 2), size));
    } else {
        resize(1000, 720);
    }
    txtCode_->setFocus();

    connect(tsMain_, &QTabBar::currentChanged, this, &frmMain::tsMain_Click);
    // A click on the tab already chosen is handled too: Preview shows the text anew.
    connect(tsMain_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == tsMain_->currentIndex())
            tsMain_Click(index);
    });
}

void frmMain::tsMain_Click(int index) {
    if (index == 0) {
        fraCode_->show();
        txtCode_->show();
        fraPreview_->hide();
        preview_->removeFile();
    } else if (index == 1) {
        fraPreview_->show();
        fraCode_->hide();
        preview_->show(txtCode_->Text(), document_->filePath());
    }
}

void frmMain::connectFileMenu() {
    connect(menus_.mnuNew, &QAction::triggered, this, [this] { document_->New(); });
    connect(menus_.mnuOpen, &QAction::triggered, this, [this] { document_->Open(); });
    connect(menus_.mnuSave, &QAction::triggered, this, [this] { document_->Save(); });
    connect(menus_.mnuSaveAs, &QAction::triggered, this, [this] { document_->SaveAs(); });
    connect(menus_.mnuExit, &QAction::triggered, this, &QWidget::close);
}

void frmMain::closeEvent(QCloseEvent* event) {
    bool quitAtOnce = false;
    if (!document_->QueryClose(&quitAtOnce)) {
        event->ignore();
        return;
    }
    event->accept();
    livePreview_->closeWindow();
    if (quitAtOnce)
        emit quitRequested();
}

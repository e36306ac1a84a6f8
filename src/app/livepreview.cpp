// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/livepreview.h"

#include <QAction>

#include "editor/txtcode.h"

LivePreview::LivePreview(QAction* command, TxtCode* editor, QWidget* mainWindow,
                         std::function<QString()> documentPath)
    : command_(command), editor_(editor), mainWindow_(mainWindow),
      documentPath_(std::move(documentPath)) {
    command_->setCheckable(true);
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &LivePreview::refresh);
    connect(command_, &QAction::toggled, this, &LivePreview::mnuLivePreview_Click);
}

LivePreview::~LivePreview() {
    // Closed here and deleted at once: a deferred deletion could come after the event
    // loop's end, when the browser engine is gone.
    closeWindow();
    for (const QPointer<frmLivePreview>& window : closing_)
        delete window.data();
}

void LivePreview::mnuLivePreview_Click(bool checked) {
    if (checked && !window_)
        open();
    else if (!checked)
        closeWindow();
}

void LivePreview::open() {
    window_ = new frmLivePreview;
    window_->place(mainWindow_);
    connect(window_.data(), &frmLivePreview::closed, this, &LivePreview::windowClosed);
    // A change of the text or of the document's file (the caption) asks for a refresh
    // after the pause; a further change restarts the wait.
    auto later = [this] { pause_.start(); };
    watching_ << connect(editor_, &QsciScintilla::textChanged, this, later)
              << connect(mainWindow_, &QWidget::windowTitleChanged, this, later);
    window_->show();
    refresh();
}

void LivePreview::closeWindow() {
    if (window_)
        window_->close();
}

void LivePreview::windowClosed() {
    for (const auto& c : watching_)
        disconnect(c);
    watching_.clear();
    pause_.stop();
    // The window deletes itself once closed; until then it is only waiting for that.
    closing_.removeAll(nullptr);
    closing_ << window_;
    window_ = nullptr;
    command_->setChecked(false);
}

void LivePreview::refresh() {
    if (window_)
        window_->showDocument(editor_->Text().toUtf8(), documentPath_());
}

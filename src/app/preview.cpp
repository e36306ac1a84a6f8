// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/preview.h"

#include <QDir>
#include <QFile>
#include <QVBoxLayout>

#include "app/previewbrowser.h"
#include "app/previewfolder.h"
#include "shell/modaldialogs.h"

namespace {
const QString kPreviewFileName = QStringLiteral("meh.html");
}

Preview::Preview(QWidget* frame) : frame_(frame), folder_(std::make_unique<PreviewFolder>()) {
    // What a run that ended abnormally left behind.
    for (const QString& base : PreviewFolder::defaultBases())
        PreviewFolder::removeLeftovers(base);
}

Preview::~Preview() = default;

void Preview::setFolderBases(const QStringList& bases) {
    folder_ = std::make_unique<PreviewFolder>(bases);
    lastFile_.clear();
}

PreviewBrowser* Preview::ensureBrowser() {
    if (!view_) {
        view_ = new PreviewBrowser(frame_);
        view_->setObjectName(QStringLiteral("wbPreview"));
        frame_->layout()->addWidget(view_);
    }
    return view_;
}

void Preview::show(const QString& text, const QString& documentPath) {
    PreviewBrowser* view = ensureBrowser();
    view->show();
    QString error;
    const QString folder = folder_->path(&error);
    lastFile_ = folder.isEmpty() ? QString() : folder + QLatin1Char('/') + kPreviewFileName;
    // The editor's text, always as UTF-8 (the page is served as such).
    if (folder.isEmpty() || !folder_->writeFile(kPreviewFileName, text.toUtf8(), &error)) {
        const QString where = lastFile_.isEmpty() ? kPreviewFileName : lastFile_;
        dialogs().message(frame_->window(),
                          QStringLiteral("Cannot write the preview file %1:\n%2")
                              .arg(QDir::toNativeSeparators(where), error),
                          programTitle(), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        view->showBlank();
        return;
    }
    // The page's relative addresses resolve in the document's folder, not beside the
    // preview file.
    view->showFile(lastFile_, documentPath);
}

void Preview::removeFile() {
    if (view_)
        view_->hide();
    if (!lastFile_.isEmpty())
        QFile::remove(lastFile_);
}

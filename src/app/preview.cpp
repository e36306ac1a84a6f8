// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/preview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "app/previewbrowser.h"
#include "shell/modaldialogs.h"
#include "text/textfile.h"

Preview::Preview(QWidget* frame)
    : frame_(frame), programFolder_(QCoreApplication::applicationDirPath()) {}

QString Preview::previewFilePath() const {
    const QFileInfo dir(programFolder_);
    if (dir.isDir() && dir.isWritable())
        return programFolder_ + QStringLiteral("/meh.html");
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(fallback);
    return fallback + QStringLiteral("/meh.html");
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
    lastFile_ = previewFilePath();
    QString error;
    if (!writeDocumentFile(lastFile_, text, &error)) {
        dialogs().message(frame_->window(),
                          QStringLiteral("Cannot write the preview file %1:\n%2")
                              .arg(QDir::toNativeSeparators(lastFile_), error),
                          programTitle(), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        view->setHtml(QString());
        return;
    }
    // The page's relative addresses resolve in the document's folder, not beside the
    // preview file.
    view->showFile(lastFile_, documentPath);
}

void Preview::removeFile() {
    if (view_)
        view_->hide();
    QFile::remove(previewFilePath());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/preview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "app/previewscheme.h"
#include "platform/dialogs.h"
#include "platform/textfile.h"

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

QWebEngineView* Preview::ensureBrowser() {
    if (!view_) {
        view_ = new QWebEngineView(frame_);
        view_->setObjectName(QStringLiteral("wbPreview"));
        // A profile of the preview's own, kept in memory, serving the preview folder.
        profile_ = new QWebEngineProfile(view_);
        scheme_ = new PreviewSchemeHandler(profile_);
        profile_->installUrlSchemeHandler(PreviewSchemeHandler::schemeName(), scheme_);
        view_->setPage(new QWebEnginePage(profile_, view_));
        // The page is the user's own, but it may come from anywhere: its scripts run as in
        // a browser, yet it may not read other local files. Its own pictures and style
        // sheets still load.
        view_->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        frame_->layout()->addWidget(view_);
    }
    return view_;
}

void Preview::show(const QString& text) {
    QWebEngineView* view = ensureBrowser();
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
    const QFileInfo file(lastFile_);
    scheme_->setRoot(file.absolutePath());
    view->load(PreviewSchemeHandler::urlFor(file.fileName()));
}

void Preview::removeFile() {
    if (view_)
        view_->hide();
    QFile::remove(previewFilePath());
}

#include "app/preview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "platform/dialogs.h"
#include "platform/textfile.h"

Preview::Preview(QWidget* frame) : frame_(frame) {}

QString Preview::previewFilePath() {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QFileInfo dir(programDir);
    if (dir.isDir() && dir.isWritable())
        return programDir + QStringLiteral("/meh.html");
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(fallback);
    return fallback + QStringLiteral("/meh.html");
}

QWebEngineView* Preview::ensureBrowser() {
    if (!view_) {
        view_ = new QWebEngineView(frame_);
        view_->setObjectName(QStringLiteral("wbPreview"));
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
    view->load(QUrl::fromLocalFile(lastFile_));
}

void Preview::removeFile() {
    if (view_)
        view_->hide();
    QFile::remove(previewFilePath());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previewbrowser.h"

#include <QCoreApplication>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "app/previewscheme.h"

namespace {

// A page that asks before being left is always left: the next page replaces it.
class PreviewPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool javaScriptConfirm(const QUrl& origin, const QString& msg) override {
        // The engine asks this way whether a page that wants to stay may be left.
        if (msg == QCoreApplication::translate("QWebEnginePage",
                                               "Are you sure you want to leave this page? "
                                               "Changes that you made may not be saved."))
            return true;
        return QWebEnginePage::javaScriptConfirm(origin, msg);
    }
};

} // namespace

PreviewBrowser::PreviewBrowser(QWidget* parent)
    : QWebEngineView(parent), profile_(new QWebEngineProfile) {
    scheme_ = new PreviewSchemeHandler(profile_);
    profile_->installUrlSchemeHandler(PreviewSchemeHandler::schemeName(), scheme_);
    page_ = new PreviewPage(profile_, this);
    setPage(page_);
    // The page is the user's own, but it may come from anywhere: no file:// access.
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
}

PreviewBrowser::~PreviewBrowser() {
    // The page must go before the profile it was made with.
    delete page_;
    delete profile_;
}

void PreviewBrowser::showFile(const QString& file, const QString& documentPath) {
    load(scheme_->setPageFile(documentPath, file));
}

void PreviewBrowser::showHtml(const QByteArray& html, const QString& documentPath) {
    load(scheme_->setPageBytes(documentPath, html));
}

void PreviewBrowser::showBlank() {
    scheme_->clearPage();
    load(QUrl(QStringLiteral("about:blank")));
}

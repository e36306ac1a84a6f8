// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previewbrowser.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "app/previewscheme.h"

PreviewBrowser::PreviewBrowser(QWidget* parent)
    : QWebEngineView(parent), profile_(new QWebEngineProfile) {
    scheme_ = new PreviewSchemeHandler(profile_);
    profile_->installUrlSchemeHandler(PreviewSchemeHandler::schemeName(), scheme_);
    page_ = new QWebEnginePage(profile_, this);
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
    scheme_->setPageFile(documentPath, file);
    load(PreviewSchemeHandler::pageUrl(documentPath));
}

void PreviewBrowser::showHtml(const QByteArray& html, const QString& documentPath) {
    scheme_->setPageBytes(documentPath, html);
    load(PreviewSchemeHandler::pageUrl(documentPath));
}

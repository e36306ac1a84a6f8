// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QWebEngineView>

class QWebEnginePage;
class QWebEngineProfile;
class PreviewSchemeHandler;

// A browser that shows the document through the preview scheme: a profile of its own,
// kept in memory, with the scheme's handler installed. The page's scripts run as in a
// browser, but it may not read local files beyond its own folder's, and a new page never
// takes the keyboard focus. A page is always left for the next one, even one that asks to
// stay.
class PreviewBrowser : public QWebEngineView {
    Q_OBJECT
public:
    explicit PreviewBrowser(QWidget* parent = nullptr);
    ~PreviewBrowser() override;

    // Shows the preview file `file` as the page of the document at `documentPath` (empty
    // for an untitled document).
    void showFile(const QString& file, const QString& documentPath);
    // Shows the UTF-8 text `html` as the page of the document at `documentPath`.
    void showHtml(const QByteArray& html, const QString& documentPath);
    // Shows an empty page; no earlier page is served anything any more.
    void showBlank();

private:
    QWebEngineProfile* profile_ = nullptr;
    QWebEnginePage* page_ = nullptr;
    PreviewSchemeHandler* scheme_ = nullptr;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

class QLabel;
class QWebEngineProfile;
class PreviewSchemeHandler;

// A browser that shows the document through the preview scheme: a profile of its own,
// kept in memory, with the scheme's handler installed. The page's scripts run as in a
// browser, but it may not read local files beyond its own folder's, and a new page never
// takes the keyboard focus.
//
// The page never holds up the editor: its alerts, questions and prompts are answered at
// once (a question with Cancel) and told in a line above the page, and leaving it is never
// refused. A page whose renderer stops answering for kHungMs is stopped (its process is
// ended) and the line says so; the next page is shown in a fresh renderer.
class PreviewBrowser : public QWebEngineView {
    Q_OBJECT
public:
    // How often the renderer is asked whether it still answers; how long it may stay
    // silent before it is taken for hung (as long as the engine gives a renderer to answer
    // input: a big page's load on a busy machine keeps it silent for seconds); and how
    // long before a new page replaces it rather than waits for it.
    static constexpr int kPingMs = 1000;
    static constexpr int kHungMs = 30000;
    static constexpr int kBusyMs = 3000;

    explicit PreviewBrowser(QWidget* parent = nullptr);
    ~PreviewBrowser() override;

    // Shows the preview file `file` as the page of the document at `documentPath` (empty
    // for an untitled document).
    void showFile(const QString& file, const QString& documentPath);
    // Shows the UTF-8 text `html` as the page of the document at `documentPath`.
    void showHtml(const QByteArray& html, const QString& documentPath);
    // Shows an empty page; no earlier page is served anything any more.
    void showBlank();

    // The line above the page: what the page asked or said, or that it was stopped.
    // Hidden while there is nothing to tell; a new page hides it.
    QLabel* notice() const { return notice_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void open(const QUrl& url);
    void newPage();
    void tell(const QString& line);
    void ping();
    // Ends the page's renderer; `line` (if any) tells the user.
    void stopPage(const QString& line);
    void onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status);
    void placeNotice();

    QWebEngineProfile* profile_ = nullptr;
    QWebEnginePage* page_ = nullptr;
    PreviewSchemeHandler* scheme_ = nullptr;
    QLabel* notice_ = nullptr;
    QTimer watchdog_;
    QTimer noticeCalm_;         // while it runs, the line takes new text only when it ends
    QString noticeWaiting_;     // the text that the line takes then
    QElapsedTimer sinceAnswer_; // since the renderer last answered (or the page changed)
    bool alive_ = false;        // a renderer runs the page and is being watched
    bool stopped_ = false;      // its renderer was ended here
    bool freshPage_ = false;    // the next page needs a new page object
};

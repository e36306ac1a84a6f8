// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/previewbrowser.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QResizeEvent>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <functional>
#include <utility>

#include "app/previewscheme.h"

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/types.h>
#endif

namespace {

// A page whose scripts' dialogs never wait for the user: each is answered at once and
// told through `tell`. A page that asks before being left is always left.
class PreviewPage : public QWebEnginePage {
public:
    PreviewPage(QWebEngineProfile* profile, QObject* parent, std::function<void(QString)> tell)
        : QWebEnginePage(profile, parent), tell_(std::move(tell)) {
        connect(this, &QWebEnginePage::loadStarted, this, [this] { dialogs_ = 0; });
    }

protected:
    void javaScriptAlert(const QUrl&, const QString& msg) override {
        told(QStringLiteral("The page says: %1").arg(msg));
    }
    bool javaScriptConfirm(const QUrl&, const QString& msg) override {
        // The engine asks this way whether a page that wants to stay may be left.
        if (msg == QCoreApplication::translate("QWebEnginePage",
                                               "Are you sure you want to leave this page? "
                                               "Changes that you made may not be saved."))
            return true;
        told(QStringLiteral("The page asks: %1 (answered Cancel)").arg(msg));
        return false;
    }
    bool javaScriptPrompt(const QUrl&, const QString& msg, const QString&, QString*) override {
        told(QStringLiteral("The page asks: %1 (answered Cancel)").arg(msg));
        return false;
    }

private:
    // The first dialog of a page is told as it is; later ones are counted.
    void told(const QString& line) {
        if (++dialogs_ == 1)
            first_ = line;
        tell_(dialogs_ == 1 ? first_
                            : QStringLiteral("%1 (and %2 more)").arg(first_).arg(dialogs_ - 1));
    }

    std::function<void(QString)> tell_;
    QString first_;
    qint64 dialogs_ = 0;
};

// One line of text, shortened to what fits in a line of the notice.
QString oneLine(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    constexpr int kLongest = 300;
    if (text.size() > kLongest)
        text = text.left(kLongest) + QChar(0x2026);
    return text;
}

} // namespace

PreviewBrowser::PreviewBrowser(QWidget* parent)
    : QWebEngineView(parent), profile_(new QWebEngineProfile) {
    scheme_ = new PreviewSchemeHandler(profile_);
    profile_->installUrlSchemeHandler(PreviewSchemeHandler::schemeName(), scheme_);

    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("lblPreviewNotice"));
    notice_->setTextFormat(Qt::PlainText);
    notice_->setWordWrap(true);
    notice_->setMargin(6);
    notice_->setAutoFillBackground(true);
    notice_->setBackgroundRole(QPalette::ToolTipBase);
    notice_->setForegroundRole(QPalette::ToolTipText);
    notice_->hide();

    // A page that shows dialogs without end changes the line at most ten times a second.
    noticeCalm_.setSingleShot(true);
    noticeCalm_.setInterval(100);
    connect(&noticeCalm_, &QTimer::timeout, this, [this] {
        if (!noticeWaiting_.isNull())
            tell(std::exchange(noticeWaiting_, QString()));
    });
    watchdog_.setInterval(kPingMs);
    connect(&watchdog_, &QTimer::timeout, this, &PreviewBrowser::ping);
    newPage();
}

PreviewBrowser::~PreviewBrowser() {
    watchdog_.stop();
    // The page must go before the profile it was made with.
    delete page_;
    delete profile_;
}

void PreviewBrowser::newPage() {
    QWebEnginePage* old = page_;
    // A stopped page's dialogs that were already on their way are not told: they would
    // take the place of the line that says why the page was stopped.
    page_ = new PreviewPage(profile_, this, [this](const QString& line) {
        if (!stopped_)
            tell(line);
    });
    // The page is the user's own, but it may come from anywhere: no file:// access.
    page_->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    page_->settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    connect(page_, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                onRenderProcessTerminated(status);
            });
    // A new document or a new renderer has not been asked anything yet.
    connect(page_, &QWebEnginePage::loadStarted, this, [this] { sinceAnswer_.restart(); });
    connect(page_, &QWebEnginePage::urlChanged, this, [this] { sinceAnswer_.restart(); });
    connect(page_, &QWebEnginePage::renderProcessPidChanged, this,
            [this] { sinceAnswer_.restart(); });
    setPage(page_);
    delete old;
    freshPage_ = false;
}

void PreviewBrowser::showFile(const QString& file, const QString& documentPath) {
    open(scheme_->setPageFile(documentPath, file));
}

void PreviewBrowser::showHtml(const QByteArray& html, const QString& documentPath) {
    open(scheme_->setPageBytes(documentPath, html));
}

void PreviewBrowser::showBlank() {
    scheme_->clearPage();
    open(QUrl(QStringLiteral("about:blank")));
}

void PreviewBrowser::open(const QUrl& url) {
    notice_->hide();
    noticeWaiting_ = QString();
    // A page that has not answered for a while is not waited for: it goes with its
    // renderer (the new page replaces it anyway), and the new one starts in a fresh one.
    if (alive_ && sinceAnswer_.elapsed() > kBusyMs)
        stopPage(QString());
    if (freshPage_)
        newPage();
    stopped_ = false;
    alive_ = true;
    sinceAnswer_.restart();
    page_->load(url);
    watchdog_.start();
}

void PreviewBrowser::ping() {
    if (!alive_)
        return;
    if (sinceAnswer_.elapsed() > kHungMs) {
        stopPage(QStringLiteral("The page stopped answering, so it was stopped. "
                                "The next preview shows it afresh."));
        return;
    }
    // A script in a world of the program's own: the page's scripts cannot get in the way.
    QPointer<PreviewBrowser> self(this);
    QWebEnginePage* asked = page_;
    page_->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                         [self, asked](const QVariant& value) {
                             // "0" answers 0. The engine also calls back, with nothing, for
                             // a script it dropped (its renderer went, or never ran it): that
                             // is no answer and must not keep a hung page alive.
                             if (value.isValid() && self && self->page_ == asked)
                                 self->sinceAnswer_.restart();
                         });
}

void PreviewBrowser::stopPage(const QString& line) {
    alive_ = false;
    stopped_ = true;
    freshPage_ = true;
    watchdog_.stop();
    if (!line.isEmpty())
        tell(line);
#ifdef Q_OS_UNIX
    const qint64 pid = page_->renderProcessPid();
    if (pid > 0)
        ::kill(pid_t(pid), SIGKILL);
#else
    // Without the process at hand, the page goes, and its renderer with it.
    newPage();
#endif
}

void PreviewBrowser::onRenderProcessTerminated(
    QWebEnginePage::RenderProcessTerminationStatus status) {
    alive_ = false;
    freshPage_ = true;
    watchdog_.stop();
    if (!stopped_ && status != QWebEnginePage::NormalTerminationStatus)
        tell(QStringLiteral("The page's renderer ended unexpectedly. "
                            "The next preview shows the page afresh."));
}

void PreviewBrowser::tell(const QString& line) {
    if (noticeCalm_.isActive() && notice_->isVisible()) {
        noticeWaiting_ = line;
        return;
    }
    noticeCalm_.start();
    notice_->setText(oneLine(line));
    placeNotice();
    notice_->show();
    notice_->raise();
}

void PreviewBrowser::placeNotice() {
    const int width = this->width();
    notice_->setGeometry(0, 0, width, notice_->heightForWidth(width));
}

void PreviewBrowser::resizeEvent(QResizeEvent* event) {
    QWebEngineView::resizeEvent(event);
    placeNotice();
}

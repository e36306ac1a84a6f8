// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmlivepreview.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <utility>

#include "app/previewbrowser.h"

namespace {
const QString kGeometryKey = QStringLiteral("LivePreview/geometry");
}

frmLivePreview::frmLivePreview() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("frmLivePreview"));
    setWindowTitle(QStringLiteral("Live Preview"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Appearing next to the editor must leave the typing where it is.
    setAttribute(Qt::WA_ShowWithoutActivating);

    wbLivePreview = new PreviewBrowser(this);
    wbLivePreview->setObjectName(QStringLiteral("wbLivePreview"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(wbLivePreview);

    connect(wbLivePreview, &QWebEngineView::loadFinished, this,
            &frmLivePreview::wbLivePreview_LoadFinished);
    // A renderer that ends (a crash, or a hung page stopped) ends its load too.
    connect(wbLivePreview, &QWebEngineView::renderProcessTerminated, this,
            &frmLivePreview::loadEnded);
}

frmLivePreview::~frmLivePreview() = default;

void frmLivePreview::place(QWidget* mainWindow) {
    if (restoreGeometry(QSettings().value(kGeometryKey).toByteArray()))
        return;
    // First time: to the right of the main window when the screen has room, else over
    // the right part of the screen; as tall as the main window.
    QScreen* screen = mainWindow && mainWindow->screen() ? mainWindow->screen()
                                                         : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QRect main = mainWindow ? mainWindow->frameGeometry() : QRect();
    const int width = qMin(640, avail.width() / 2);
    const int height =
        main.isValid() ? qMin(main.height(), avail.height()) : avail.height() * 3 / 4;
    int x = main.isValid() ? main.right() + 1 : avail.right() - width;
    if (x + width > avail.right() + 1)
        x = avail.right() + 1 - width;
    const int y =
        main.isValid() ? qBound(avail.top(), main.top(), avail.bottom() - height) : avail.top();
    setGeometry(QRect(x, y, width, height));
}

void frmLivePreview::showDocument(const QByteArray& html, const QString& documentPath) {
    if (loading_) {
        waiting_ = true;
        waitingHtml_ = html;
        waitingPath_ = documentPath;
        return;
    }
    // The position to keep is the page's own, from before this refresh.
    scroll_ = wbLivePreview->page()->scrollPosition();
    loading_ = true;
    wbLivePreview->showHtml(html, documentPath);
}

void frmLivePreview::wbLivePreview_LoadFinished(bool ok) {
    loadEnded();
    if (!ok || loading_ || scroll_.isNull())
        return;
    // In a world of its own, so that the page's scripts cannot get in the way.
    wbLivePreview->page()->runJavaScript(
        QStringLiteral("window.scrollTo(%1, %2);").arg(scroll_.x()).arg(scroll_.y()),
        QWebEngineScript::ApplicationWorld);
}

void frmLivePreview::loadEnded() {
    loading_ = false;
    if (!waiting_)
        return;
    // The text that waited follows, scrolled where the page was before the first refresh.
    waiting_ = false;
    const QPointF scroll = scroll_;
    showDocument(std::exchange(waitingHtml_, QByteArray()), std::exchange(waitingPath_, QString()));
    scroll_ = scroll;
}

void frmLivePreview::closeEvent(QCloseEvent* event) {
    QSettings().setValue(kGeometryKey, saveGeometry());
    event->accept();
    emit closed();
}

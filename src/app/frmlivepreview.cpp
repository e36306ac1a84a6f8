// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmlivepreview.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>

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
    // While a refresh is loading the page is at its top: the position to keep is the one
    // from before the first of the refreshes.
    if (!loading_)
        scroll_ = wbLivePreview->page()->scrollPosition();
    loading_ = true;
    wbLivePreview->showHtml(html, documentPath);
}

void frmLivePreview::wbLivePreview_LoadFinished(bool ok) {
    // A load cut short by the next refresh ends without success; the next one finishes.
    if (!ok)
        return;
    loading_ = false;
    if (scroll_.isNull())
        return;
    // In a world of its own, so that the page's scripts cannot get in the way.
    wbLivePreview->page()->runJavaScript(
        QStringLiteral("window.scrollTo(%1, %2);").arg(scroll_.x()).arg(scroll_.y()),
        QWebEngineScript::ApplicationWorld);
}

void frmLivePreview::closeEvent(QCloseEvent* event) {
    QSettings().setValue(kGeometryKey, saveGeometry());
    event->accept();
    emit closed();
}

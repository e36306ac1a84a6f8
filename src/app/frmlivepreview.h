// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QWidget>

class PreviewBrowser;

// The live preview: a window of its own beside the main window that shows the rendered
// document, handed to it anew after each pause in the typing. It never disables the main
// window, never takes the keyboard focus when it appears or refreshes, and remembers
// where it was.
class frmLivePreview : public QWidget {
    Q_OBJECT
public:
    // A top-level window without a parent, so that the main window's being disabled by a
    // tool window never disables it.
    frmLivePreview();
    ~frmLivePreview() override;

    // Shows the UTF-8 text `html` as the page of the document at `documentPath` (empty for
    // an untitled document), scrolled where the previous page was. Loads never pile up:
    // while a page is loading, the text waits (only the newest one), and it is shown once
    // that load has ended.
    void showDocument(const QByteArray& html, const QString& documentPath);
    // Puts the window where it was when it last closed, or else beside `mainWindow`.
    void place(QWidget* mainWindow);

    PreviewBrowser* wbLivePreview = nullptr;

signals:
    // Every way of closing the window ends here (its close control, the main window's close).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void wbLivePreview_LoadFinished(bool ok);
    void loadEnded();

    QPointF scroll_;       // where the page was scrolled before the refresh under way
    bool loading_ = false; // a refresh is under way: the page's position is not its own yet
    // The newest text handed over while a page was loading, shown when that load ends.
    bool waiting_ = false;
    QByteArray waitingHtml_;
    QString waitingPath_;
};

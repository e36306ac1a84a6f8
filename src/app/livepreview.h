// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "app/frmlivepreview.h"

class QAction;
class QWidget;
class TxtCode;

// The View > Live Preview command: opens and closes the live preview window and hands it
// the document after each pause in the typing. Typing itself only restarts a timer; the
// text is read once the pause is over. While the window is closed nothing is watched.
class LivePreview : public QObject {
    Q_OBJECT
public:
    // How long the typing must pause before the window is refreshed.
    static constexpr int kPauseMs = 200;

    // `command` is the checkable menu item; `documentPath` gives the document's file
    // (empty while it is untitled) at the time of each refresh.
    LivePreview(QAction* command, TxtCode* editor, QWidget* mainWindow,
                std::function<QString()> documentPath);
    ~LivePreview() override;

    // The open window, or nullptr.
    frmLivePreview* window() const { return window_.data(); }
    // Closes the window if it is open (the main window closes).
    void closeWindow();

private:
    void mnuLivePreview_Click(bool checked);
    void open();
    void windowClosed();
    void refresh();

    QAction* command_;
    TxtCode* editor_;
    QWidget* mainWindow_;
    std::function<QString()> documentPath_;
    QPointer<frmLivePreview> window_;
    QList<QPointer<frmLivePreview>> closing_; // closed, their deletion not yet done
    QTimer pause_;
    QList<QMetaObject::Connection> watching_;
};

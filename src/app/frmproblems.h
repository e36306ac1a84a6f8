// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDockWidget>

class QTreeView;

// The Problems pane: a pane of the main window (docked below the editor at first) whose
// list lstProblems shows the checker's findings of the document, one row each. It never
// disables the main window and is no tool window: the editor goes on taking the typing.
class frmProblems : public QDockWidget {
    Q_OBJECT
public:
    explicit frmProblems(QWidget* parent = nullptr);

    QTreeView* lstProblems = nullptr;

    // The size the list asks for when the pane is laid out anew (the one it had when the
    // last run ended); an invalid size leaves it to the list.
    void setPreferredListSize(const QSize& size);

signals:
    // The user closed the pane (its close button).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

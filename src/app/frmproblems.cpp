// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmproblems.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QTreeView>

namespace {
// The list, asking for the size it is given to remember.
class ProblemsList : public QTreeView {
public:
    using QTreeView::QTreeView;
    QSize sizeHint() const override {
        return preferred.isValid() ? preferred : QTreeView::sizeHint();
    }
    QSize preferred;
};
} // namespace

frmProblems::frmProblems(QWidget* parent) : QDockWidget(QStringLiteral("Problems"), parent) {
    setObjectName(QStringLiteral("frmProblems"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);

    lstProblems = new ProblemsList(this);
    lstProblems->setObjectName(QStringLiteral("lstProblems"));
    lstProblems->setRootIsDecorated(false);
    lstProblems->setItemsExpandable(false);
    lstProblems->setUniformRowHeights(true); // rows are laid out without measuring each
    lstProblems->setAllColumnsShowFocus(true);
    lstProblems->setSelectionMode(QAbstractItemView::SingleSelection);
    lstProblems->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstProblems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstProblems->setTextElideMode(Qt::ElideRight);
    lstProblems->header()->setStretchLastSection(true);
    lstProblems->header()->setSectionsMovable(false);
    setWidget(lstProblems);
}

void frmProblems::setPreferredListSize(const QSize& size) {
    static_cast<ProblemsList*>(lstProblems)->preferred = size;
    lstProblems->updateGeometry();
}

void frmProblems::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

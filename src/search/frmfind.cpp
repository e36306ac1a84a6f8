// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/frmfind.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

#include "editor/txtcode.h"
#include "shell/modaldialogs.h"

namespace {

constexpr int kButtonWidth = 65; // 975 twips

QString findCaption() {
    return QStringLiteral("FiND");
}
QString replaceCaption() {
    return QStringLiteral("FiND AND REPLACE");
}

} // namespace

frmFind::frmFind(const AppContext& ctx)
    : ToolWindow(ctx, QStringLiteral("frmFind"), findCaption(), Shape{}), target_(ctx.txtCode) {
    createControls();
    // Form load: nothing to search for yet, and the next search starts at the top.
    finder_.reset();
    txtFind_Change();
}

frmFind* frmFind::instance() {
    return ToolWindow::instance<frmFind>();
}

void frmFind::createControls() {
    fraFind = new QGroupBox(QStringLiteral("Find"), this);
    fraFind->setObjectName(QStringLiteral("fraFind"));
    lblFindwhat = new QLabel(QStringLiteral("Find what:"), fraFind);
    lblFindwhat->setObjectName(QStringLiteral("lblFindwhat"));
    txtFind = new QLineEdit(fraFind);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setMinimumWidth(209); // 3135 twips
    lblReplace = new QLabel(QStringLiteral("Replace with:"), fraFind);
    lblReplace->setObjectName(QStringLiteral("lblReplace"));
    txtReplace = new QLineEdit(fraFind);
    txtReplace->setObjectName(QStringLiteral("txtReplace"));
    // Search and replacement texts of any length, as pasted.
    txtFind->setMaxLength(std::numeric_limits<int>::max());
    txtReplace->setMaxLength(std::numeric_limits<int>::max());
    auto* findGrid = new QGridLayout(fraFind);
    findGrid->addWidget(lblFindwhat, 0, 0);
    findGrid->addWidget(txtFind, 0, 1);
    findGrid->addWidget(lblReplace, 1, 0);
    findGrid->addWidget(txtReplace, 1, 1);
    findGrid->setColumnStretch(1, 1);

    fraFindoptions = new QGroupBox(QStringLiteral("Find Options"), this);
    fraFindoptions->setObjectName(QStringLiteral("fraFindoptions"));
    chkboxes_2 = new QCheckBox(QStringLiteral("Whole word"), fraFindoptions);
    chkboxes_2->setObjectName(QStringLiteral("chkboxes_2"));
    chkboxes_4 = new QCheckBox(QStringLiteral("Match Case"), fraFindoptions);
    chkboxes_4->setObjectName(QStringLiteral("chkboxes_4"));
    auto* optionRow = new QHBoxLayout(fraFindoptions);
    optionRow->addWidget(chkboxes_2, 1);
    optionRow->addWidget(chkboxes_4, 1);

    cmdReplace = makeButton(QStringLiteral("cmdReplace"), QStringLiteral("Replace"), kButtonWidth);
    cmdFindcancel =
        makeButton(QStringLiteral("cmdFindcancel"), QStringLiteral("Cancel"), kButtonWidth);
    cmdFindnext =
        makeButton(QStringLiteral("cmdFindnext"), QStringLiteral("Find Next"), kButtonWidth);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(cmdReplace);
    buttonRow->addWidget(cmdFindcancel);
    buttonRow->addWidget(cmdFindnext);

    auto* column = new QVBoxLayout(this);
    column->addWidget(fraFind);
    column->addWidget(fraFindoptions);
    column->addLayout(buttonRow);
    column->setSizeConstraint(QLayout::SetFixedSize);

    // The replace controls keep their place while hidden: both modes have one size.
    for (QWidget* w : {static_cast<QWidget*>(lblReplace), static_cast<QWidget*>(txtReplace),
                       static_cast<QWidget*>(cmdReplace)}) {
        QSizePolicy p = w->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        w->setSizePolicy(p);
    }
    setReplaceControlsVisible(false);
    // The first control in tab order that takes the focus.
    setFirstFocus(chkboxes_2);

    // Tab order: the options first, then the buttons, then the text boxes.
    QWidget::setTabOrder(chkboxes_2, chkboxes_4);
    QWidget::setTabOrder(chkboxes_4, cmdReplace);
    QWidget::setTabOrder(cmdReplace, cmdFindnext);
    QWidget::setTabOrder(cmdFindnext, cmdFindcancel);
    QWidget::setTabOrder(cmdFindcancel, txtFind);
    QWidget::setTabOrder(txtFind, txtReplace);

    connect(txtFind, &QLineEdit::textChanged, this, [this] { txtFind_Change(); });
    connect(cmdFindnext, &QPushButton::clicked, this, [this] { cmdFindnext_Click(); });
    connect(cmdReplace, &QPushButton::clicked, this, [this] { cmdReplace_Click(); });
    connect(cmdFindcancel, &QPushButton::clicked, this, [this] { cmdFindcancel_Click(); });
}

void frmFind::setReplaceControlsVisible(bool visible) {
    txtReplace->setVisible(visible);
    cmdReplace->setVisible(visible);
    lblReplace->setVisible(visible);
}

frmFind* frmFind::showFind(const AppContext& ctx) {
    return open<frmFind>(ctx);
}

frmFind* frmFind::showReplace(const AppContext& ctx) {
    frmFind* f = load<frmFind>(ctx);
    f->setReplaceControlsVisible(true);
    f->setWindowTitle(replaceCaption());
    f->present();
    return f;
}

QCheckBox* frmFind::chkboxes(int index) const {
    switch (index) {
    case 2:
        return chkboxes_2;
    case 4:
        return chkboxes_4;
    default:
        return nullptr;
    }
}

int frmFind::optionValue() const {
    // Walk the array from its lowest index, doubling the index each step; each ticked box
    // adds its index, which is its option bit.
    int value = 0;
    const int members = 2;
    for (int k = 0, index = 2; k < members; ++k, index *= 2)
        if (chkboxes(index)->isChecked())
            value += index;
    return value;
}

void frmFind::txtFind_Change() {
    const bool any = !txtFind->text().isEmpty();
    cmdFindnext->setEnabled(any);
    cmdReplace->setEnabled(any);
}

void frmFind::notFound() {
    dialogs().message(this, QStringLiteral("Cannot find '%1'").arg(txtFind->text()), QString(),
                      Dialogs::Buttons::Ok, Dialogs::Icon::Information);
}

void frmFind::cmdFindnext_Click() {
    if (!finder_.findNext(target_, txtFind->text(), optionValue()))
        notFound();
}

void frmFind::cmdReplace_Click() {
    if (!finder_.replace(target_, txtFind->text(), txtReplace->text(), optionValue()))
        notFound();
}

void frmFind::hideAndReset() {
    hideToMain();
    finder_.reset();
    setReplaceControlsVisible(false);
    setWindowTitle(findCaption());
}

void frmFind::cmdFindcancel_Click() {
    hideAndReset();
}

void frmFind::onUnload() {
    hideAndReset();
}

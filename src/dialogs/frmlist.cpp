// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/frmlist.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/generatorfragments.h"
#include "dialogs/numberinput.h"
#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

frmList::frmList(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmList"), QStringLiteral("ADD LiST"),
                    Placement::SystemPlaced) {
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);

    auto* fraType = namedControl<QGroupBox>(body, "fraType", QStringLiteral("Type"));
    auto* typeColumn = new QVBoxLayout(fraType);
    // Neither option is selected when the dialog opens.
    optType[0] = namedControl<QRadioButton>(fraType, "optType_0", QStringLiteral("Ordered List"));
    optType[1] = namedControl<QRadioButton>(fraType, "optType_1", QStringLiteral("Unordered List"));
    typeColumn->addWidget(optType[0]);
    typeColumn->addWidget(optType[1]);
    column->addWidget(fraType);

    auto* fraItems = namedControl<QGroupBox>(body, "fraItems", QStringLiteral("Items"));
    txtItems = namedControl<QLineEdit>(fraItems, "txtItems");
    labelledRows(fraItems, {{"lblItems", QStringLiteral("Number of items in list:"), txtItems}});
    column->addWidget(fraItems);

    finishLayout(body);
}

void frmList::Addlist(qint32 items) {
    insertOverSelection(fragments::list(optType[0]->isChecked(), items));
}

void frmList::cmdInsert_Click() {
    const WholeNumber items = readWholeNumber(txtItems->text());
    if (!items.ok()) {
        showFormatMessage(
            wholeNumberProblem(QStringLiteral("Number of items"), txtItems->text(), items));
        return;
    }
    if (items.value > fragments::kMaxListItems) {
        showFormatMessage(QStringLiteral("Number of items: a list of %1 items is too large; at "
                                         "most %2 items can be inserted.")
                              .arg(items.value)
                              .arg(fragments::kMaxListItems));
        return;
    }
    Addlist(items.value);
    finishInsert(Manner::ClosedAfterInsert);
}

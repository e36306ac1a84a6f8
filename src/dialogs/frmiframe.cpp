// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/frmiframe.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialogs/generatorfragments.h"
#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

frmIframe::frmIframe(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmIframe"), QStringLiteral("ADD iFRAME"),
                    Placement::Centred) {
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);

    auto* fraIframe = namedControl<QGroupBox>(body, "fraIframe", QStringLiteral("Iframe"));
    txtUrl = namedControl<QLineEdit>(fraIframe, "txtUrl", QStringLiteral("http://"));
    txtTitle = namedControl<QLineEdit>(fraIframe, "txtTitle");
    labelledRows(fraIframe, {{"lblUrl", QStringLiteral("Url:"), txtUrl},
                             {"lblTitle", QStringLiteral("Title:"), txtTitle}});
    column->addWidget(fraIframe);

    auto* fraSize = namedControl<QGroupBox>(body, "fraSize", QStringLiteral("Size"));
    txtWidth = namedControl<QLineEdit>(fraSize, "txtWidth");
    txtHeight = namedControl<QLineEdit>(fraSize, "txtHeight");
    labelledRows(fraSize, {{"lbWidth", QStringLiteral("Width:"), txtWidth},
                           {"lblHeight", QStringLiteral("Height:"), txtHeight}});
    column->addWidget(fraSize);

    auto* fraBorder = namedControl<QGroupBox>(body, "fraBorder", QStringLiteral("Border"));
    auto* borderColumn = new QVBoxLayout(fraBorder);
    chkBorder = namedControl<QCheckBox>(fraBorder, "chkBorder", QStringLiteral("Remove Border"));
    borderColumn->addWidget(chkBorder);
    column->addWidget(fraBorder);

    finishLayout(body);
}

void frmIframe::cmdInsert_Click() {
    fragments::IframeFields fields;
    fields.url = txtUrl->text();
    fields.title = txtTitle->text();
    fields.width = txtWidth->text();
    fields.height = txtHeight->text();
    fields.removeBorder = chkBorder->isChecked();
    insertOverSelection(fragments::iframe(fields));
    finishInsert(Manner::ClosedAfterInsert);
}

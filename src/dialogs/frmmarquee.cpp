// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/frmmarquee.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/colorswatch.h"
#include "dialogs/generatorfragments.h"
#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

namespace {

// A frame holding a group of option buttons named <array>_<index>, the first selected.
QGroupBox* optionFrame(QWidget* parent, const char* frameName, const QString& caption,
                       const char* arrayName, const QStringList& captions, QRadioButton** buttons) {
    auto* frame = namedControl<QGroupBox>(parent, frameName, caption);
    auto* column = new QVBoxLayout(frame);
    for (int i = 0; i < captions.size(); ++i) {
        const QByteArray name = QByteArray(arrayName) + '_' + QByteArray::number(i);
        buttons[i] = namedControl<QRadioButton>(frame, name.constData(), captions.at(i));
        column->addWidget(buttons[i]);
    }
    buttons[0]->setChecked(true);
    return frame;
}

} // namespace

frmMarquee::frmMarquee(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmMarquee"), QStringLiteral("ADD MARQUEE"),
                    Placement::SystemPlaced),
      cmdg(this) {
    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* Frame1 = namedControl<QGroupBox>(body, "Frame1", QStringLiteral("Text"));
    auto* textColumn = new QVBoxLayout(Frame1);
    txtText = namedControl<QLineEdit>(Frame1, "txtText");
    textColumn->addWidget(txtText);
    grid->addWidget(Frame1, 0, 0, 1, 3);

    grid->addWidget(optionFrame(body, "fraDirection", QStringLiteral("Direction"), "optDirection",
                                {QStringLiteral("Left"), QStringLiteral("Right")}, optDirection),
                    1, 0);
    grid->addWidget(
        optionFrame(body, "fraBehavior", QStringLiteral("Behavior"), "optBehavior",
                    {QStringLiteral("Scoll"), QStringLiteral("Slide"), QStringLiteral("Alternate")},
                    optBehavior),
        1, 1);
    grid->addWidget(
        optionFrame(body, "fraAlign", QStringLiteral("Align Text"), "optAlign",
                    {QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")},
                    optAlign),
        1, 2);

    auto* fraSpeed = namedControl<QGroupBox>(body, "fraSpeed", QStringLiteral("Speed"));
    auto* speedGrid = new QGridLayout(fraSpeed);
    // "0" in the window's design; the load gives the working defaults.
    txtDelay = namedControl<QLineEdit>(fraSpeed, "txtDelay", QStringLiteral("0"));
    txtAmount = namedControl<QLineEdit>(fraSpeed, "txtAmount", QStringLiteral("0"));
    speedGrid->addWidget(namedControl<QLabel>(fraSpeed, "Label1", QStringLiteral("Delay")), 0, 0);
    speedGrid->addWidget(txtDelay, 0, 1);
    speedGrid->addWidget(namedControl<QLabel>(fraSpeed, "Label2", QStringLiteral("Amount")), 1, 0);
    speedGrid->addWidget(txtAmount, 1, 1);
    grid->addWidget(fraSpeed, 2, 0);

    auto* fraSize = namedControl<QGroupBox>(body, "fraSize", QStringLiteral("Size"));
    auto* sizeGrid = new QGridLayout(fraSize);
    chkWidth = namedControl<QCheckBox>(fraSize, "chkWidth", QStringLiteral("Width"));
    txtWidth = namedControl<QLineEdit>(fraSize, "txtWidth");
    chkHeight = namedControl<QCheckBox>(fraSize, "chkHeight", QStringLiteral("Height"));
    txtHeight = namedControl<QLineEdit>(fraSize, "txtHeight");
    txtWidth->setEnabled(false);
    txtHeight->setEnabled(false);
    sizeGrid->addWidget(chkWidth, 0, 0);
    sizeGrid->addWidget(txtWidth, 0, 1);
    sizeGrid->addWidget(chkHeight, 1, 0);
    sizeGrid->addWidget(txtHeight, 1, 1);
    grid->addWidget(fraSize, 2, 1);

    auto* fraRepeat = namedControl<QGroupBox>(body, "fraRepeat", QStringLiteral("Repeat"));
    auto* repeatGrid = new QGridLayout(fraRepeat);
    chkRepeat = namedControl<QCheckBox>(fraRepeat, "chkRepeat", QStringLiteral("Set Amount"));
    txtRepeat = namedControl<QLineEdit>(fraRepeat, "txtRepeat", QStringLiteral("0"));
    repeatGrid->addWidget(chkRepeat, 0, 0, 1, 2);
    repeatGrid->addWidget(txtRepeat, 1, 0);
    repeatGrid->addWidget(namedControl<QLabel>(fraRepeat, "Label3", QStringLiteral("Times")), 1, 1);
    grid->addWidget(fraRepeat, 2, 2);

    auto* fraBackgroundColor =
        namedControl<QGroupBox>(body, "fraBackgroundColor", QStringLiteral("Background Color"));
    auto* colorRow = new QHBoxLayout(fraBackgroundColor);
    pctBackgroundColor =
        new ColorSwatch(fraBackgroundColor, "pctBackgroundColor", "cmdBackgroundColor");
    colorRow->addWidget(pctBackgroundColor);
    colorRow->addStretch(1);
    connect(pctBackgroundColor->button(), &QPushButton::clicked, this,
            [this] { pickSwatchColor(cmdg, pctBackgroundColor); });
    grid->addWidget(fraBackgroundColor, 3, 0, 1, 3);

    finishLayout(body);

    // Form_Load: the working speed defaults.
    txtDelay->setText(QStringLiteral("90"));
    txtAmount->setText(QStringLiteral("10"));
}

void frmMarquee::cmdInsert_Click() {
    fragments::MarqueeFields fields;
    fields.background = pctBackgroundColor->BackColor();
    fields.align =
        optAlign[fragments::choiceOfThree(optAlign[0]->isChecked(), optAlign[2]->isChecked())]
            ->text();
    fields.behavior = optBehavior[fragments::choiceOfThree(optBehavior[0]->isChecked(),
                                                           optBehavior[2]->isChecked())]
                          ->text();
    // The direction comes from its own options whatever the behaviour.
    fields.direction = optDirection[optDirection[0]->isChecked() ? 0 : 1]->text();
    fields.amount = txtAmount->text();
    fields.delay = txtDelay->text();
    fields.text = txtText->text();
    insertOverSelection(fragments::marquee(fields));
    finishInsert(Manner::ClosedAfterInsert);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/colorswatch.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>

#include "shell/cmdg.h"
#include "text/charformat.h"

ColorSwatch::ColorSwatch(QWidget* parent, const char* name, const char* buttonName)
    : QFrame(parent) {
    setObjectName(QString::fromLatin1(name));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    setFixedSize(64, 26);
    button_ = new QPushButton(QStringLiteral("..."), this);
    button_->setObjectName(QString::fromLatin1(buttonName));
    button_->setAutoDefault(false);
    button_->setFixedSize(24, 20);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->addStretch(1);
    row->addWidget(button_);
    SetBackColor(systemWindowBackground());
}

void ColorSwatch::SetBackColor(int bgrColor) {
    backColor_ = bgrColor;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(bgrRed(bgrColor), bgrGreen(bgrColor), bgrBlue(bgrColor)));
    setPalette(pal);
    update();
}

int ColorSwatch::systemWindowBackground() {
    const QColor c = QApplication::palette().color(QPalette::Active, QPalette::Base);
    return bgr(c.red(), c.green(), c.blue());
}

void pickSwatchColor(Cmdg& cmdg, ColorSwatch* swatch) {
    cmdg.Color = 0;
    cmdg.CancelError = true;
    if (cmdg.ShowColor())
        swatch->SetBackColor(cmdg.Color);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class Cmdg;
class QPushButton;

// A colour swatch: a small picture box showing its BackColor (blue-green-red), with the
// "..." button inside it that picks a new colour.
class ColorSwatch : public QFrame {
    Q_OBJECT
public:
    // `name` is the picture box's name (pctNormalSelect), `buttonName` its button's.
    ColorSwatch(QWidget* parent, const char* name, const char* buttonName);

    int BackColor() const { return backColor_; }
    void SetBackColor(int bgrColor);
    QPushButton* button() const { return button_; }

    // The colour a swatch starts with: the window-background system colour (the
    // background of the text areas of windows) resolved to a plain colour.
    static int systemWindowBackground();

private:
    QPushButton* button_;
    int backColor_ = 0;
};

// The handler of a swatch's "..." button: the colour chooser of `cmdg` starting from
// black, with the cancel error on; a confirmed colour becomes the swatch's, a cancel
// leaves it as it was.
void pickSwatchColor(Cmdg& cmdg, ColorSwatch* swatch);

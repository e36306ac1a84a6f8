// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include "dialogs/linkfragments.h"
#include "dialogs/picture.h"
#include "dialogs/snippetdialog.h"
#include "shell/cmdg.h"

class LinkControls;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

// "ADD iMAGE": an image element, optionally wrapped in a link, written over the
// selection; the picture is chosen with the open dialog, previewed and measured. Closed
// after Insert.
class frmImage : public SnippetDialog {
    Q_OBJECT
public:
    explicit frmImage(const AppContext& ctx);

    // Loads the picture file into the dialog's picture slot and reads its bitmap
    // description. False when the file cannot be read as a picture; the slot and the
    // description then keep what they held.
    bool ImageReadOK(const QString& path);
    // The width and height of the bitmap description, in pixels.
    qint32 WidthPixels() const { return bitmap_.bmWidth; }
    qint32 HeightPixels() const { return bitmap_.bmHeight; }
    // The size of the held picture in its own units (hundredths of a millimetre).
    qint32 WidthHiMetric() const;
    qint32 HeightHiMetric() const;

    QGroupBox* fraImage;
    QLineEdit* txtImage;
    QPushButton* cmdFile;
    QLabel* lblWidth;
    QLineEdit* txtWidth;
    QLabel* lblHeight;
    QLineEdit* txtHeight;
    QCheckBox* chkLink;
    LinkControls* fraLink; // chkLink, lblType, cboType, lblUrl, txtUrl, lblTarget, cboTarget
    QLabel* Label4;
    QLineEdit* txtBorder;
    QGroupBox* fraPreview;
    QLabel* pctPreview;
    Cmdg cmdg{this};

protected:
    void cmdInsert_Click() override;

private:
    void cmdFile_Click();
    void showPreview(const QImage& picture);
    double dotsPerInch() const;

    QImage picture_;             // the picture read last for measuring
    BitmapDescription bitmap_{}; // its description
    QString readError_;          // why the last picture could not be read
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/frmimage.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "dialogs/linkcontrols.h"
#include "dialogs/snippetwidgets.h"
#include "shell/modaldialogs.h"

using namespace snippetwidgets;

namespace {
const QSize kPreviewSize(200, 150);
}

frmImage::frmImage(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmImage"), QStringLiteral("ADD iMAGE"),
                    Placement::Centred) {
    auto* body = new QWidget(this);

    fraImage = frame(body, "fraImage", QStringLiteral("Image"));
    txtImage = textBox(fraImage, "txtImage");
    cmdFile = new QPushButton(QStringLiteral("..."), fraImage);
    cmdFile->setObjectName(QStringLiteral("cmdFile"));
    cmdFile->setAutoDefault(false);
    cmdFile->setFixedWidth(cmdFile->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    lblWidth = label(fraImage, "lblWidth", QStringLiteral("Width:"));
    txtWidth = textBox(fraImage, "txtWidth");
    txtWidth->setMinimumWidth(60);
    lblHeight = label(fraImage, "lblHeight", QStringLiteral("Height:"));
    txtHeight = textBox(fraImage, "txtHeight");
    txtHeight->setMinimumWidth(60);
    auto* imageGrid = new QGridLayout(fraImage);
    imageGrid->addWidget(txtImage, 0, 0, 1, 4);
    imageGrid->addWidget(cmdFile, 0, 4);
    imageGrid->addWidget(lblWidth, 1, 0);
    imageGrid->addWidget(txtWidth, 1, 1);
    imageGrid->addWidget(lblHeight, 1, 2);
    imageGrid->addWidget(txtHeight, 1, 3);

    chkLink = new QCheckBox(QStringLiteral("Make into link"));
    chkLink->setObjectName(QStringLiteral("chkLink"));
    fraLink = new LinkControls(body, QStringLiteral("Url:"), chkLink);
    Label4 = label(fraLink, "Label4", QStringLiteral("Border:"));
    txtBorder = textBox(fraLink, "txtBorder", QStringLiteral("0"));
    fraLink->addRow(Label4, txtBorder);

    fraPreview = frame(body, "fraPreview", QStringLiteral("Preview"));
    pctPreview = new QLabel(fraPreview);
    pctPreview->setObjectName(QStringLiteral("pctPreview"));
    pctPreview->setFixedSize(kPreviewSize);
    pctPreview->setAlignment(Qt::AlignCenter);
    pctPreview->setAutoFillBackground(true);
    (new QVBoxLayout(fraPreview))->addWidget(pctPreview);

    auto* left = new QVBoxLayout;
    left->addWidget(fraImage);
    left->addWidget(fraLink);
    auto* columns = new QHBoxLayout(body);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addLayout(left);
    columns->addWidget(fraPreview, 0, Qt::AlignTop);

    connect(cmdFile, &QPushButton::clicked, this, [this] { cmdFile_Click(); });
    finishLayout(body);
}

bool frmImage::ImageReadOK(const QString& path) {
    std::optional<LoadedPicture> loaded = loadPicture(path, &readError_);
    if (!loaded)
        return false;
    picture_ = loaded->image;
    bitmap_ = loaded->bitmap;
    return true;
}

double frmImage::dotsPerInch() const {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchX() : 96.0;
}

qint32 frmImage::WidthHiMetric() const {
    return pixelsToHiMetric(picture_.width(), dotsPerInch());
}

qint32 frmImage::HeightHiMetric() const {
    return pixelsToHiMetric(picture_.height(), dotsPerInch());
}

void frmImage::cmdFile_Click() {
    cmdg.DialogTitle = QStringLiteral("Open");
    cmdg.CancelError = false;
    cmdg.Filter = QStringLiteral("All Images(*.jpg *.gif)|*.jpg;*.gif|Jpeg(*.jpg)|*.jpg|"
                                 "Gif(*.gif)|*.gif|All Files(*.*)|*.*");
    cmdg.DefaultExt = QStringLiteral("JPEG");
    // A cancelled dialog changes nothing, whether or not a file was chosen before.
    if (!cmdg.ShowOpen() || cmdg.FileName.isEmpty())
        return;

    const QString path = cmdg.FileName;
    if (!ImageReadOK(path)) {
        // Not a picture: the fields and the preview stay as they were.
        dialogs().message(this,
                          QStringLiteral("Cannot read %1 as a picture: %2")
                              .arg(QDir::toNativeSeparators(path), readError_),
                          QString(), Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return;
    }
    txtImage->setText(path);
    showPreview(picture_);
    txtWidth->setText(QString::number(WidthPixels()));
    txtHeight->setText(QString::number(HeightPixels()));
}

void frmImage::showPreview(const QImage& picture) {
    QPixmap pixmap = QPixmap::fromImage(picture);
    if (pixmap.width() > kPreviewSize.width() || pixmap.height() > kPreviewSize.height())
        pixmap = pixmap.scaled(kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pctPreview->setPixmap(pixmap);
}

void frmImage::cmdInsert_Click() {
    fragments::ImageFields image;
    image.source = txtImage->text();
    image.border = txtBorder->text();
    image.width = txtWidth->text();
    image.height = txtHeight->text();
    image.makeLink = chkLink->isChecked();
    image.link = fraLink->fields();
    insertOverSelection(fragments::image(image));
    finishInsert(Manner::ClosedAfterInsert);
}

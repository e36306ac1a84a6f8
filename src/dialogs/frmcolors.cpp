// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/frmcolors.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/colorswatch.h"
#include "dialogs/generatorfragments.h"
#include "dialogs/snippetwidgets.h"

using namespace snippetwidgets;

namespace {
const QSize kPreviewSize(200, 150);
}

frmColors::frmColors(const AppContext& ctx)
    : SnippetDialog(ctx, QStringLiteral("frmColors"), QStringLiteral("ADD COLOR"),
                    Placement::SystemPlaced),
      cmdg(this) {
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);

    auto* fraText = namedControl<QGroupBox>(body, "fraText", QStringLiteral("Text"));
    auto* textGrid = new QGridLayout(fraText);
    auto addSwatch = [this](QWidget* frame, QGridLayout* grid, int row, const char* label,
                            const QString& caption, const char* swatch, const char* button) {
        auto* s = new ColorSwatch(frame, swatch, button);
        grid->addWidget(namedControl<QLabel>(frame, label, caption), row, 0);
        grid->addWidget(s, row, 1);
        connect(s->button(), &QPushButton::clicked, this, [this, s] { pickSwatchColor(cmdg, s); });
        return s;
    };
    pctNormalSelect = addSwatch(fraText, textGrid, 0, "lblNormalSelect", QStringLiteral("Normal:"),
                                "pctNormalSelect", "cmdNormalSelect");
    pctLinkSelect = addSwatch(fraText, textGrid, 1, "lblLinkSelect", QStringLiteral("Link:"),
                              "pctLinkSelect", "cmdLinkSelect");
    pctActiveSelect =
        addSwatch(fraText, textGrid, 2, "lblActiveSelect", QStringLiteral("Active Link:"),
                  "pctActiveSelect", "cmdActiveSelect");
    pctVisitedSelect =
        addSwatch(fraText, textGrid, 3, "lblVisitedSelect", QStringLiteral("Visited Link:"),
                  "pctVisitedSelect", "cmdVisitedSelect");

    auto* fraBackground =
        namedControl<QGroupBox>(body, "fraBackground", QStringLiteral("Background"));
    auto* backGrid = new QGridLayout(fraBackground);
    pctBackgroundSelect =
        addSwatch(fraBackground, backGrid, 0, "lblBackgroundSelect",
                  QStringLiteral("Select Color:"), "pctBackgroundSelect", "cmdBackgroundSelect");
    chkBackground =
        namedControl<QCheckBox>(fraBackground, "chkBackground", QStringLiteral("Use Image"));
    cmdBrowse = namedControl<QPushButton>(fraBackground, "cmdBrowse", QStringLiteral("Browse"));
    cmdBrowse->setAutoDefault(false);
    cmdBrowse->setEnabled(false);
    backGrid->addWidget(chkBackground, 1, 0);
    backGrid->addWidget(cmdBrowse, 1, 1);
    connect(chkBackground, &QCheckBox::toggled, this, [this] { chkBackground_Click(); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });

    auto* top = new QHBoxLayout;
    top->addWidget(fraText);
    top->addWidget(fraBackground);
    column->addLayout(top);

    auto* fraPreview = namedControl<QGroupBox>(body, "fraPreview", QStringLiteral(" Preview"));
    auto* previewColumn = new QVBoxLayout(fraPreview);
    pctBackgroundImage = namedControl<QLabel>(fraPreview, "pctBackgroundImage");
    pctBackgroundImage->setFixedSize(kPreviewSize);
    pctBackgroundImage->setAlignment(Qt::AlignCenter);
    previewColumn->addWidget(pctBackgroundImage, 0, Qt::AlignCenter);
    column->addWidget(fraPreview);

    finishLayout(body);
}

void frmColors::chkBackground_Click() {
    cmdBrowse->setEnabled(chkBackground->isChecked());
}

void frmColors::cmdBrowse_Click() {
    // A cancelled choice keeps the file name chosen before; the preview then shows that
    // file again (none when no file was ever chosen). Nothing is reported.
    cmdg.Filter = QStringLiteral(
        "Bitmaps (*.bmp)|*.bmp|GIFs (*.gif)|*.gif|JPEGs (*.jpg, *.jpeg)|*.jpg;*.jpeg");
    cmdg.ShowOpen();
    showBackgroundImage(cmdg.FileName);
    pctBackgroundImage->setVisible(true);
}

void frmColors::showBackgroundImage(const QString& fileName) {
    if (fileName.isEmpty()) {
        pctBackgroundImage->clear();
        return;
    }
    // The picture is read at most at the preview's size, so a huge file costs no more
    // than its preview. A file that is no picture leaves the preview as it was.
    QImageReader reader(fileName);
    QSize size = reader.size();
    if (size.isValid() &&
        (size.width() > kPreviewSize.width() || size.height() > kPreviewSize.height())) {
        size.scale(kPreviewSize, Qt::KeepAspectRatio);
        reader.setScaledSize(size.expandedTo(QSize(1, 1)));
    }
    const QImage image = reader.read();
    if (image.isNull())
        return;
    pctBackgroundImage->setPixmap(QPixmap::fromImage(image));
}

void frmColors::cmdInsert_Click() {
    fragments::BodyColors colors;
    colors.background = pctBackgroundSelect->BackColor();
    colors.text = pctNormalSelect->BackColor();
    colors.link = pctLinkSelect->BackColor();
    colors.activeLink = pctActiveSelect->BackColor();
    colors.visitedLink = pctVisitedSelect->BackColor();
    colors.useImage = chkBackground->isChecked();
    colors.imagePath = cmdg.FileName;
    insertOverSelection(fragments::colors(colors));
    finishInsert(Manner::ClosedAfterInsert);
}

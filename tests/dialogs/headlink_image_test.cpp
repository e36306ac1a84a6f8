// SPDX-License-Identifier: GPL-3.0-or-later
// The image dialog's browse: the open dialog it asks, the picture it measures and shows,
// and what it leaves alone when the user cancels or picks something that is no picture.
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include "headlink_fixture.h"
#include "headlink_gif.h"

namespace {

const QString kFilter = QStringLiteral(
    "All Images(*.jpg *.gif)|*.jpg;*.gif|Jpeg(*.jpg)|*.jpg|Gif(*.gif)|*.gif|All Files(*.*)|*.*");

class ImageDialog : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        QWidget* shown = open("mnuImage");
        dlg = qobject_cast<frmImage*>(shown);
        ASSERT_NE(dlg, nullptr);
    }
    void TearDown() override {
        if (SnippetDialog::instance<frmImage>())
            leave();
    }

    void leave() { click(dlg, "cmdCancel"); }

    // Writes a picture of the size in the format ("gif" through our own writer).
    QString picture(const QString& name, const char* format, QSize size) {
        const QString path = dir.filePath(name);
        if (QByteArray(format) == "gif") {
            EXPECT_TRUE(writeTestGif(path, size.width(), size.height()));
        } else {
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::darkMagenta);
            EXPECT_TRUE(image.save(path, format));
        }
        return path;
    }

    QString notAPicture() {
        const QString path = dir.filePath(QStringLiteral("notes.jpg"));
        EXPECT_TRUE(writeBytes(path, "plain words, no picture"));
        return path;
    }

    void browse() { click(dlg, "cmdFile"); }

    // The fields the browse may touch, and the preview's picture.
    struct Seen {
        QString image, width, height;
        qint64 preview;
        bool operator==(const Seen& o) const {
            return image == o.image && width == o.width && height == o.height &&
                   preview == o.preview;
        }
    };
    Seen seen() const {
        return {dlg->txtImage->text(), dlg->txtWidth->text(), dlg->txtHeight->text(),
                dlg->pctPreview->pixmap().cacheKey()};
    }

    QTemporaryDir dir;
    frmImage* dlg = nullptr;
};

struct FormatCase {
    const char* format;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.format;
}

class ImageFormats : public ImageDialog, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ImageFormats, BrowseFillsPathAndPixelSizeAndShowsThePicture) {
    const QString path = picture(QStringLiteral("pic.") + QLatin1String(GetParam().format),
                                 GetParam().format, QSize(640, 480));
    d.chooseFile(path);
    browse();

    ASSERT_EQ(d.calls.size(), 1);
    EXPECT_EQ(d.calls[0].kind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(d.calls[0].title, QStringLiteral("Open"));
    EXPECT_EQ(d.calls[0].filter, kFilter);
    EXPECT_EQ(dlg->cmdg.DefaultExt, QStringLiteral("JPEG"));
    EXPECT_FALSE(dlg->cmdg.CancelError);

    EXPECT_EQ(dlg->txtImage->text(), path);
    EXPECT_EQ(dlg->txtWidth->text(), QStringLiteral("640"));
    EXPECT_EQ(dlg->txtHeight->text(), QStringLiteral("480"));
    EXPECT_EQ(dlg->WidthPixels(), 640);
    EXPECT_EQ(dlg->HeightPixels(), 480);
    EXPECT_GT(dlg->WidthHiMetric(), dlg->HeightHiMetric());
    EXPECT_GT(dlg->HeightHiMetric(), 0);
    const QPixmap shown = dlg->pctPreview->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_LE(shown.width(), dlg->pctPreview->width());
    EXPECT_LE(shown.height(), dlg->pctPreview->height());
    EXPECT_EQ(shown.width() * 3, shown.height() * 4); // the picture's proportions
    EXPECT_TRUE(d.messages().isEmpty());

    setDocument(QStringLiteral("abc"), 1, 1);
    click(dlg, "cmdInsert");
    EXPECT_EQ(editor()->Text(), QStringLiteral("a<img src='%1' border='0' width='640' "
                                               "height='480'>c")
                                    .arg(path));
    EXPECT_EQ(SnippetDialog::instance<frmImage>(), nullptr);
    expectBackInEditor();
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageFormats,
                         ::testing::Values(FormatCase{"bmp"}, FormatCase{"gif"}, FormatCase{"jpg"},
                                           FormatCase{"png"}),
                         NameFrom<&FormatCase::format>());

TEST_F(ImageDialog, CancellingTheFirstBrowseChangesNothing) {
    type(dlg, "txtWidth", QStringLiteral("7"));
    const Seen before = seen();
    d.cancelFile();
    browse();
    EXPECT_EQ(d.calls.size(), 1);
    EXPECT_TRUE(seen() == before);
    EXPECT_TRUE(dlg->pctPreview->pixmap().isNull());
    EXPECT_TRUE(dlg->cmdg.FileName.isEmpty());
    EXPECT_TRUE(d.messages().isEmpty());
    EXPECT_EQ(dlg->WidthPixels(), 0);
    EXPECT_EQ(dlg->HeightPixels(), 0);
    EXPECT_FALSE(dlg->ImageReadOK(dir.filePath(QStringLiteral("missing.gif"))));
}

TEST_F(ImageDialog, CancellingALaterBrowseKeepsWhatTheUserTyped) {
    d.chooseFile(picture(QStringLiteral("a.png"), "png", QSize(640, 480)));
    browse();
    type(dlg, "txtWidth", QStringLiteral("100"));
    type(dlg, "txtImage", QStringLiteral("images/a.png"));
    const Seen before = seen();
    d.cancelFile();
    browse();
    EXPECT_TRUE(seen() == before);
}

TEST_F(ImageDialog, AFileThatIsNoPictureLeavesFieldsAndPreview) {
    d.chooseFile(picture(QStringLiteral("a.gif"), "gif", QSize(640, 480)));
    browse();
    const Seen before = seen();
    ASSERT_FALSE(dlg->pctPreview->pixmap().isNull());

    const QString bad = notAPicture();
    d.chooseFile(bad);
    browse();
    EXPECT_TRUE(seen() == before);
    EXPECT_EQ(dlg->WidthPixels(), 640);
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.lastMessage()->text.contains(QStringLiteral("notes.jpg")));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(w->isEnabled());

    EXPECT_FALSE(dlg->ImageReadOK(bad));
    EXPECT_EQ(dlg->WidthPixels(), 640);
    EXPECT_EQ(dlg->HeightPixels(), 480);
}

TEST_F(ImageDialog, ASecondBrowseMeasuresTheNewPicture) {
    d.chooseFile(picture(QStringLiteral("big.bmp"), "bmp", QSize(640, 480)));
    browse();
    const QString small = picture(QStringLiteral("small.png"), "png", QSize(32, 16));
    d.chooseFile(small);
    browse();
    EXPECT_EQ(dlg->txtImage->text(), small);
    EXPECT_EQ(dlg->txtWidth->text(), QStringLiteral("32"));
    EXPECT_EQ(dlg->txtHeight->text(), QStringLiteral("16"));
    EXPECT_EQ(dlg->pctPreview->pixmap().size(), QSize(32, 16)); // small pictures unscaled
    EXPECT_EQ(d.calls[1].initialPath, dir.filePath(QStringLiteral("big.bmp")));
}

} // namespace

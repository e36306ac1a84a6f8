// SPDX-License-Identifier: GPL-3.0-or-later
// The fragments of the head-snippet, link and image dialogs, and the picture reader.
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "dialogs/headfragments.h"
#include "dialogs/linkfragments.h"
#include "dialogs/picture.h"
#include "testutil.h"

namespace {

struct FragmentCase {
    const char* name;
    QString built;
    QString expected;
};

void PrintTo(const FragmentCase& c, std::ostream* os) {
    *os << c.name;
}

class Fragments : public ::testing::TestWithParam<FragmentCase> {};

TEST_P(Fragments, BuildExactText) {
    EXPECT_EQ(GetParam().built, GetParam().expected);
}

fragments::ImageFields picGif(bool makeLink) {
    fragments::ImageFields f;
    f.source = QStringLiteral("pic.gif");
    f.border = QStringLiteral("0");
    f.width = QStringLiteral("10");
    f.height = QStringLiteral("20");
    f.makeLink = makeLink;
    f.link = {QString(), QStringLiteral("big.html"), QStringLiteral("_Default")};
    return f;
}

const QString S; // an empty field

INSTANTIATE_TEST_SUITE_P(
    HeadAndLink, Fragments,
    ::testing::Values(
        FragmentCase{"TitleOnThreeLines", fragments::title(QStringLiteral("Home")),
                     QStringLiteral("<title>\r\nHome\r\n</title>")},
        FragmentCase{"MetaThreeLinesEachEndedByCrLf",
                     fragments::meta(QStringLiteral("Ann"), QStringLiteral("a, b"),
                                     QStringLiteral("My page")),
                     QStringLiteral("<meta name='Author' content='Ann'>\r\n"
                                    "<meta name='Keywords' content='a, b'>\r\n"
                                    "<meta name='Description' content='My page'>\r\n")},
        FragmentCase{"MetaKeepsEmptyLines", fragments::meta(S, S, S),
                     QStringLiteral("<meta name='Author' content=''>\r\n"
                                    "<meta name='Keywords' content=''>\r\n"
                                    "<meta name='Description' content=''>\r\n")},
        FragmentCase{"RefreshWithEmptyDelay", fragments::refresh(S, QStringLiteral("http://")),
                     QStringLiteral("<meta http-equiv='refresh' content=''; url='http://'>")},
        FragmentCase{"CommentDefault", fragments::comment(QStringLiteral("Coded with VERRiNDEL!")),
                     QStringLiteral("<!--Coded with VERRiNDEL!-->")},
        FragmentCase{"CommentKeepsBlanksAndMarkupVerbatim",
                     fragments::comment(QStringLiteral("  a & <b> \"q\" ")),
                     QStringLiteral("<!--  a & <b> \"q\" -->")},
        FragmentCase{"ExternalDefault", fragments::externalCss(QStringLiteral("http://")),
                     QStringLiteral("<link rel='stylesheet' href='http://'>")},
        FragmentCase{"ExternalSingleQuoteUnescaped",
                     fragments::externalCss(QStringLiteral("it's.css")),
                     QStringLiteral("<link rel='stylesheet' href='it's.css'>")},
        FragmentCase{"FaviconDefault", fragments::favicon(QStringLiteral("http://")),
                     QStringLiteral("<link rel='icon' type='image/x-icon' href='http://'>")},
        FragmentCase{"LinkWithEmptiedType",
                     fragments::link({S, QStringLiteral("page.html"), QStringLiteral("_Default")},
                                     QStringLiteral("Home")),
                     QStringLiteral("<a href='page.html' target='_Default'>Home</a>")},
        FragmentCase{"LinkTypePrefixesAddressDirectly",
                     fragments::link({QStringLiteral("http://"), QStringLiteral("example.com"),
                                      QStringLiteral("_blank")},
                                     QStringLiteral("Ex")),
                     QStringLiteral("<a href='http://example.com' target='_blank'>Ex</a>")},
        FragmentCase{"LinkAllEmpty", fragments::link({S, S, S}, S),
                     QStringLiteral("<a href='' target=''></a>")},
        FragmentCase{"ImagePlain", fragments::image(picGif(false)),
                     QStringLiteral("<img src='pic.gif' border='0' width='10' height='20'>")},
        FragmentCase{"ImageWrappedInLink", fragments::image(picGif(true)),
                     QStringLiteral("<a href='big.html' target='_Default'><img src='pic.gif' "
                                    "border='0' width='10' height='20'></a>")},
        FragmentCase{"ImageEmptyFieldsKeepAttributes", fragments::image({}),
                     QStringLiteral("<img src='' border='' width='' height=''>")}),
    NameFrom<&FragmentCase::name>());

// --- picture reading ---------------------------------------------------------------------

TEST(PictureRead, FilesThatAreNoPicturesFailWithAReason) {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.jpg"));
    ASSERT_TRUE(writeBytes(text, "this is no picture"));
    const QString truncated = dir.filePath(QStringLiteral("cut.png"));
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(truncated, "png"));
    QFile t(truncated);
    ASSERT_TRUE(t.resize(20));

    for (const QString& path :
         {text, truncated, dir.filePath(QStringLiteral("missing.gif")), QString()}) {
        QString error;
        EXPECT_FALSE(loadPicture(path, &error).has_value()) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
    }
}

TEST(PictureRead, HiMetricIsHundredthsOfAMillimetre) {
    EXPECT_EQ(pixelsToHiMetric(96, 96.0), 2540);
    EXPECT_EQ(pixelsToHiMetric(640, 96.0), 16933);
    EXPECT_EQ(pixelsToHiMetric(0, 96.0), 0);
    EXPECT_EQ(pixelsToHiMetric(10, 0.0), 0);
}

} // namespace

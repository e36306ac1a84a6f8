// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing document files: encodings, line ends, atomic writes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/textfile.h"

namespace {

QString writeBytes(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    QString text;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, ReadsUtf8OrWindows1252WithCrLf) {
    QTemporaryDir dir;
    const LoadedFile f = readDocumentFile(writeBytes(dir, "x.html", GetParam().bytes));
    ASSERT_TRUE(f.ok);
    EXPECT_FALSE(f.rich);
    EXPECT_EQ(f.content, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Decoding,
    ::testing::Values(
        DecodeCase{"Ascii", "<p>x</p>", QStringLiteral("<p>x</p>")},
        DecodeCase{"Utf8", "caf\xc3\xa9 \xe2\x82\xac",
                   QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac")},
        DecodeCase{"Utf8Bom", "\xef\xbb\xbfok", QStringLiteral("ok")},
        DecodeCase{"Windows1252", "caf\xe9 \x80 \x93q\x94",
                   QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x9cq\xe2\x80\x9d")},
        DecodeCase{"UndefinedBytesKept", QByteArray("\x81\x8d\x8f\x90\x9d", 5),
                   QString::fromUtf16(u"\u0081\u008d\u008f\u0090\u009d")},
        DecodeCase{"NulBytes", QByteArray("a\0b", 3), QString::fromUtf16(u"a\u0000b", 3)},
        DecodeCase{"LineEnds", "a\nb\rc\r\nd\n\re", QStringLiteral("a\r\nb\r\nc\r\nd\r\n\r\ne")},
        DecodeCase{"Empty", QByteArray(), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reading, RichTextIsRecognisedByItsFirstBytes) {
    QTemporaryDir dir;
    const LoadedFile f = readDocumentFile(writeBytes(dir, "x.rtf", "{\\rtf1\\ansi caf\\'e9}"));
    ASSERT_TRUE(f.ok);
    EXPECT_TRUE(f.rich);
    EXPECT_EQ(f.content, QStringLiteral("{\\rtf1\\ansi caf\\'e9}"));
}

TEST(Reading, AMissingFileReportsTheReason) {
    const LoadedFile f = readDocumentFile(QStringLiteral("/nonexistent/x.html"));
    EXPECT_FALSE(f.ok);
    EXPECT_FALSE(f.errorString.isEmpty());
}

TEST(Reading, DocumentTextIsWhatTheEditorHolds) {
    QTemporaryDir dir;
    QString text;
    QString error;
    // Rich text by its plain text; other text decoded with CR LF line ends.
    ASSERT_TRUE(readDocumentText(writeBytes(dir, "x.rtf", "{\\rtf1\\ansi caf\\'e9\\par x}"), &text,
                                 &error));
    EXPECT_EQ(text, QString::fromUtf16(u"caf\u00e9\r\nx"));
    ASSERT_TRUE(readDocumentText(writeBytes(dir, "x.html", "caf\xe9\nx"), &text, &error));
    EXPECT_EQ(text, QString::fromUtf16(u"caf\u00e9\r\nx"));
    EXPECT_FALSE(readDocumentText(dir.filePath("missing.html"), &text, &error));
    EXPECT_EQ(error, QStringLiteral("No such file or directory"));
}

TEST(Writing, WritesUtf8WithoutBomExactly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.html"));
    QString error;
    const QString text = QString::fromUtf8("\xc3\xa9\r\n\xf0\x9f\x98\x80\r");
    ASSERT_TRUE(writeDocumentFile(path, text, &error));
    EXPECT_EQ(readBytes(path), text.toUtf8());
}

TEST(Writing, AFailedWriteLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    // A folder that cannot hold the temporary file: its "parent" is a regular file.
    const QString blocker = writeBytes(dir, "blocker", "x");
    QString error;
    EXPECT_FALSE(
        writeDocumentFile(blocker + QStringLiteral("/out.html"), QStringLiteral("t"), &error));
    EXPECT_FALSE(error.isEmpty());

    // The target itself is a folder: nothing is replaced, nothing left behind.
    const QString target = dir.filePath(QStringLiteral("target"));
    QDir().mkpath(target);
    error.clear();
    EXPECT_FALSE(writeDocumentFile(target, QStringLiteral("t"), &error));
    EXPECT_TRUE(QFileInfo(target).isDir());
}

TEST(Writing, Windows1252DocumentSavesAsUtf8WithoutLoss) {
    QTemporaryDir dir;
    const QString path = writeBytes(dir, "old.html",
                                    "<p>\xe0 la cr\xe8me br\xfbl\xe9"
                                    "e</p>\r\n");
    const LoadedFile f = readDocumentFile(path);
    ASSERT_TRUE(f.ok);
    QString error;
    ASSERT_TRUE(writeDocumentFile(path, f.content, &error));
    EXPECT_EQ(readBytes(path), QByteArray("<p>\xc3\xa0 la cr\xc3\xa8me br\xc3\xbbl\xc3\xa9"
                                          "e</p>\r\n"));
    EXPECT_EQ(readDocumentFile(path).content, f.content);
}

TEST(LineEnds, ToCrLfIsIdempotent) {
    const QString once = toCrLf(QStringLiteral("a\nb\r\rc\r\n"));
    EXPECT_EQ(once, QStringLiteral("a\r\nb\r\n\r\nc\r\n"));
    EXPECT_EQ(toCrLf(once), once);
}

} // namespace

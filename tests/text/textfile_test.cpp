// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing document files: encodings, line ends, atomic writes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <array>
#include <atomic>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "otheruser.h"
#include "testutil.h"
#include "text/filenames.h"
#include "text/textfile.h"

namespace {

// A file of the test's folder holding `bytes`: its path.
QString fileWith(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(writeBytes(path, bytes)) << name;
    return path;
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
    const LoadedFile f = readDocumentFile(fileWith(dir, "x.html", GetParam().bytes));
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
    NameFrom<&DecodeCase::name>());

TEST(Reading, RichTextIsRecognisedByItsFirstBytes) {
    QTemporaryDir dir;
    const LoadedFile f = readDocumentFile(fileWith(dir, "x.rtf", "{\\rtf1\\ansi caf\\'e9}"));
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
    ASSERT_TRUE(
        readDocumentText(fileWith(dir, "x.rtf", "{\\rtf1\\ansi caf\\'e9\\par x}"), &text, &error));
    EXPECT_EQ(text, QString::fromUtf16(u"caf\u00e9\r\nx"));
    ASSERT_TRUE(readDocumentText(fileWith(dir, "x.html", "caf\xe9\nx"), &text, &error));
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
    const QString blocker = fileWith(dir, "blocker", "x");
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

TEST(Writing, Windows1252DocumentSavesBackAsWindows1252) {
    QTemporaryDir dir;
    const QByteArray old("<p>\xe0 la cr\xe8me br\xfbl\xe9"
                         "e</p>\r\n");
    const QString path = fileWith(dir, "old.html", old);
    LoadedFile f = readDocumentFile(path);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.state.form.encoding, FileForm::Encoding::Windows1252);
    QString error;
    ASSERT_TRUE(writeDocumentFile(path, f.content, &f.state, &error));
    EXPECT_FALSE(f.state.switchedToUtf8);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(readDocumentFile(path).content, f.content);
}

// ---- file forms: every form read and written back byte for byte ------------------------

using Enc = FileForm::Encoding;

struct FormCase {
    const char* name;
    QByteArray bytes;  // the file
    Enc encoding;      // as read
    bool mark;         // UTF-8 byte-order mark
    bool stray;        // mostly UTF-8
    bool lf;           // LF line breaks
    QString text;      // Text after reading (CR LF)
    QByteArray header; // bytes before the repeatable body (the mark)
    bool cr = false;   // lone CR line breaks
    // Mixed line breaks: what is written back (all of them the most used break), and how
    // many breaks change.
    QByteArray saved = {};
    qsizetype otherBreaks = 0;
};

void PrintTo(const FormCase& c, std::ostream* os) {
    *os << c.name;
}

QByteArray utf16(const char16_t* s, bool bigEndian) {
    QByteArray out;
    for (; *s; ++s) {
        const char hi = char(*s >> 8), lo = char(*s & 0xFF);
        out.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    return out;
}

QByteArray utf32(const char32_t* s, bool bigEndian) {
    QByteArray out;
    for (; *s; ++s) {
        char b[4] = {char(*s & 0xFF), char(*s >> 8 & 0xFF), char(*s >> 16 & 0xFF), char(*s >> 24)};
        if (bigEndian)
            std::swap(b[0], b[3]), std::swap(b[1], b[2]);
        out.append(b, 4);
    }
    return out;
}

// A UTF-8 page with one Windows-1252 byte in it ("caf\xe9"), as older tools leave them.
const QByteArray kMostlyUtf8 = "<p>Caf\xc3\xa9 \xe2\x82\xac 5 \xe2\x80\x94 caf\xe9 au lait</p>\n"
                               "<p>\xc2\xab na\xc3\xafve \xc2\xbb</p>\n";

const FormCase kForms[] = {
    {"AsciiLf",
     "<p>a</p>\n<p>b</p>\n",
     Enc::Utf8,
     false,
     false,
     true,
     QStringLiteral("<p>a</p>\r\n<p>b</p>\r\n"),
     {}},
    {"AsciiCrLf",
     "<p>a</p>\r\n<p>b</p>\r\n",
     Enc::Utf8,
     false,
     false,
     false,
     QStringLiteral("<p>a</p>\r\n<p>b</p>\r\n"),
     {}},
    {"Utf8Lf",
     "caf\xc3\xa9\n\xe2\x82\xac\n",
     Enc::Utf8,
     false,
     false,
     true,
     QString::fromUtf8("caf\xc3\xa9\r\n\xe2\x82\xac\r\n"),
     {}},
    {"Utf8MarkCrLf", "\xef\xbb\xbf\xc3\xa9\r\nx\r\n", Enc::Utf8, true, false, false,
     QString::fromUtf8("\xc3\xa9\r\nx\r\n"), "\xef\xbb\xbf"},
    {"Utf8MarkLf", "\xef\xbb\xbf<p>\xf0\x9f\x98\x80</p>\n", Enc::Utf8, true, false, true,
     QString::fromUtf8("<p>\xf0\x9f\x98\x80</p>\r\n"), "\xef\xbb\xbf"},
    {"Utf16LeCrLf", "\xff\xfe" + utf16(u"<p>\u00e9\u20ac</p>\r\n", false), Enc::Utf16LE, false,
     false, false, QString::fromUtf16(u"<p>\u00e9\u20ac</p>\r\n"), "\xff\xfe"},
    {"Utf16BeLf", "\xfe\xff" + utf16(u"a\U0001F600\nb\n", true), Enc::Utf16BE, false, false, true,
     QString::fromUtf16(u"a\U0001F600\r\nb\r\n"), "\xfe\xff"},
    {"Utf32LeCrLf", QByteArray("\xff\xfe\0\0", 4) + utf32(U"x\u00e9\U0001F600\r\n", false),
     Enc::Utf32LE, false, false, false, QString::fromUtf16(u"x\u00e9\U0001F600\r\n"),
     QByteArray("\xff\xfe\0\0", 4)},
    {"Utf32BeLf", QByteArray("\0\0\xfe\xff", 4) + utf32(U"<b>\u20ac</b>\n", true), Enc::Utf32BE,
     false, false, true, QString::fromUtf16(u"<b>\u20ac</b>\r\n"), QByteArray("\0\0\xfe\xff", 4)},
    {"Windows1252Lf",
     "caf\xe9 \x80\n\x81\x8d\x8f\x90\x9d \x93q\x94\n",
     Enc::Windows1252,
     false,
     false,
     true,
     QString::fromUtf16(u"caf\u00e9 \u20ac\r\n\u0081\u008d\u008f\u0090\u009d \u201cq\u201d\r\n"),
     {}},
    {"Windows1252CrLf",
     "na\xefve\r\n",
     Enc::Windows1252,
     false,
     false,
     false,
     QString::fromUtf16(u"na\u00efve\r\n"),
     {}},
    {"MostlyUtf8Lf",
     kMostlyUtf8,
     Enc::Utf8,
     false,
     true,
     true,
     QString::fromUtf16(u"<p>Caf\u00e9 \u20ac 5 \u2014 caf\uefe9 au lait</p>\r\n"
                        u"<p>\u00ab na\u00efve \u00bb</p>\r\n"),
     {}},
    {"MostlyUtf8MarkCrLf", "\xef\xbb\xbf\xc3\xa9\xff\xc3\xa8\xc3\xaa\xc3\xab\xe2\x82\r\n",
     Enc::Utf8, true, true, false,
     QString::fromUtf16(u"\u00e9\uefff\u00e8\u00ea\u00eb\uefe2\uef82\r\n"), "\xef\xbb\xbf"},
    {"Utf8TwoMarks",
     "\xef\xbb\xbf\xef\xbb\xbf"
     "a\r\n",
     Enc::Utf8, true, false, false, QChar(0xFEFF) + QStringLiteral("a\r\n"), "\xef\xbb\xbf"},
    {"Utf8NoMarkButZeroWidthSpaceLater",
     "a\xef\xbb\xbf\n",
     Enc::Utf8,
     false,
     false,
     true,
     QString::fromUtf16(u"a\ufeff\r\n"),
     {}},
    // Characters of the stand-in range would be ambiguous: kept byte for byte instead.
    {"StandInsInTheFile",
     "\xee\xbe\x80 \xe9 \xc3\xa9 \xc3\xa9",
     Enc::Windows1252,
     false,
     false,
     false,
     QString::fromUtf16(u"\u00ee\u00be\u20ac \u00e9 \u00c3\u00a9 \u00c3\u00a9"),
     {}},
    // Broken UTF-16 (odd length) is not taken as UTF-16: every byte is kept.
    {"OddUtf16", QByteArray("\xff\xfep<\0", 5), Enc::Windows1252, false, false, false,
     QString::fromUtf16(u"\u00ff\u00fep<\u0000", 5), "\xff\xfep"},
    // Lone CRs as line breaks (old Mac files) stay lone CRs, in every encoding.
    {"Utf8Cr",
     "<p>a</p>\r<p>\xc3\xa9</p>\r",
     Enc::Utf8,
     false,
     false,
     false,
     QString::fromUtf8("<p>a</p>\r\n<p>\xc3\xa9</p>\r\n"),
     {},
     true},
    {"Windows1252Cr",
     "caf\xe9\rcr\xe8me\r",
     Enc::Windows1252,
     false,
     false,
     false,
     QString::fromUtf16(u"caf\u00e9\r\ncr\u00e8me\r\n"),
     {},
     true},
    {"Utf16LeCr", "\xff\xfe" + utf16(u"a\rb\r", false), Enc::Utf16LE, false, false, false,
     QStringLiteral("a\r\nb\r\n"), "\xff\xfe", true},
    {"MostlyUtf8MarkCr", "\xef\xbb\xbf\xc3\xa9\xff\xc3\xa8\xc3\xaa\xc3\xab\rx\r", Enc::Utf8, true,
     true, false, QString::fromUtf16(u"\u00e9\uefff\u00e8\u00ea\u00eb\r\nx\r\n"), "\xef\xbb\xbf",
     true},
    // Mixed breaks: written back with the break most lines use.
    {"MixedMostlyLf",
     "a\nb\r\nc\n",
     Enc::Utf8,
     false,
     false,
     true,
     QStringLiteral("a\r\nb\r\nc\r\n"),
     {},
     false,
     "a\nb\nc\n",
     1},
    {"MixedMostlyCrLf",
     "a\r\nb\nc\r\nd\r",
     Enc::Utf8,
     false,
     false,
     false,
     QStringLiteral("a\r\nb\r\nc\r\nd\r\n"),
     {},
     false,
     "a\r\nb\r\nc\r\nd\r\n",
     2},
    {"MixedMostlyCr",
     "a\rb\rc\n",
     Enc::Utf8,
     false,
     false,
     false,
     QStringLiteral("a\r\nb\r\nc\r\n"),
     {},
     true,
     "a\rb\rc\r",
     1},
    {"MixedWindows1252MostlyLf",
     "\xe9\r\n\xe8\n\xe0\n",
     Enc::Windows1252,
     false,
     false,
     true,
     QString::fromUtf16(u"\u00e9\r\n\u00e8\r\n\u00e0\r\n"),
     {},
     false,
     "\xe9\n\xe8\n\xe0\n",
     1},
};

class FormRoundTrip : public ::testing::TestWithParam<FormCase> {};

TEST_P(FormRoundTrip, ReadsTheFormAndWritesTheSameBytes) {
    const FormCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = fileWith(dir, "page.html", c.bytes);
    LoadedFile f = readDocumentFile(path);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.state.form.encoding, c.encoding)
        << encodingName(f.state.form.encoding).toStdString();
    EXPECT_EQ(f.state.form.byteOrderMark, c.mark);
    EXPECT_EQ(f.state.form.strayBytes, c.stray);
    EXPECT_EQ(f.state.form.lfLineBreaks, c.lf);
    EXPECT_EQ(f.state.form.crLineBreaks, c.cr);
    EXPECT_EQ(f.state.otherLineBreaks, c.otherBreaks);
    EXPECT_EQ(f.content, c.text);
    QString error;
    ASSERT_TRUE(writeDocumentFile(path, f.content, &f.state, &error)) << error.toStdString();
    EXPECT_FALSE(f.state.switchedToUtf8);
    EXPECT_EQ(readBytes(path), c.saved.isEmpty() ? c.bytes : c.saved);
    // What was written reads back in the same form, with nothing more to tell.
    const LoadedFile again = readDocumentFile(path);
    EXPECT_TRUE(again.state.form == f.state.form);
    EXPECT_EQ(again.state.otherLineBreaks, 0);
    EXPECT_EQ(again.content, c.text);
}

TEST_P(FormRoundTrip, AMegabyteFileComesBackIdentical) {
    const FormCase& c = GetParam();
    const QByteArray body = c.bytes.mid(c.header.size());
    const QByteArray savedBody = c.saved.isEmpty() ? body : c.saved.mid(c.header.size());
    QByteArray big = c.header;
    QByteArray saved = c.header;
    while (big.size() < (1 << 20)) {
        big += body;
        saved += savedBody;
    }
    QTemporaryDir dir;
    const QString path = fileWith(dir, "big.html", big);
    LoadedFile f = readDocumentFile(path);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.state.form.encoding, c.encoding);
    QString error;
    ASSERT_TRUE(writeDocumentFile(path, f.content, &f.state, &error));
    const QByteArray back = readBytes(path);
    EXPECT_EQ(back.size(), saved.size());
    EXPECT_TRUE(back == saved);
}

// The editor's bytes for a file as the whole-string path makes them: the decoded text
// with CR LF breaks in UTF-8, a mostly-UTF-8 file's stand-ins back as their stray bytes.
QByteArray editorBytesOf(const DecodedText& d) {
    const QString text = toCrLf(d.text);
    if (!d.form.strayBytes)
        return text.toUtf8();
    FileForm asRead;
    asRead.strayBytes = true;
    QByteArray bytes;
    encodeFileBytes(text, asRead, &bytes);
    return bytes;
}

// What decoding in pieces hands over.
struct Pieces {
    qint64 announced = -1; // the size told first
    std::vector<QByteArray> pieces;
    QByteArray joined() const {
        QByteArray all;
        for (const QByteArray& p : pieces)
            all += p;
        return all;
    }
};

Pieces decodeInPieces(const QByteArray& bytes, qsizetype pieceSize, DecodedText* d) {
    Pieces out;
    EditorBytesSink sink;
    sink.begin = [&](qint64 total) {
        EXPECT_EQ(out.announced, -1) << "told the size twice";
        EXPECT_TRUE(out.pieces.empty()) << "a piece came before the size";
        out.announced = total;
    };
    sink.piece = [&](QByteArrayView b) { out.pieces.emplace_back(b.toByteArray()); };
    *d = decodeFileBytesInPieces(bytes, sink, pieceSize);
    return out;
}

// Checks that decoding `bytes` in pieces of each size gives the whole-string path's form,
// counts and bytes, the announced size, and pieces cut only where a character ends.
void expectSameInPieces(const QByteArray& bytes, const char* what) {
    const DecodedText whole = decodeFileBytes(bytes);
    const QByteArray expected = editorBytesOf(whole);
    for (qsizetype size : {1, 2, 3, 4, 5, 7, 64, 1 << 20}) {
        SCOPED_TRACE(testing::Message() << what << ", pieces of " << size);
        DecodedText d;
        const Pieces p = decodeInPieces(bytes, size, &d);
        EXPECT_TRUE(d.form == whole.form);
        EXPECT_EQ(d.strayBytes, whole.strayBytes);
        EXPECT_EQ(d.otherLineBreaks, whole.otherLineBreaks);
        EXPECT_TRUE(d.text.isEmpty());
        const QByteArray joined = p.joined();
        EXPECT_EQ(joined, expected);
        EXPECT_EQ(p.announced, expected.size());
        // Where a piece may end: after a whole character (a stray byte is one), never
        // between the CR and the LF of a break.
        std::vector<bool> ends(size_t(joined.size()) + 1, false);
        const auto* u = reinterpret_cast<const uchar*>(joined.constData());
        for (qsizetype i = 0; i < joined.size();) {
            i += qMax(1, utf8SequenceLength(u + i, joined.size() - i));
            ends[size_t(i)] = !(u[i - 1] == '\r' && i < joined.size() && u[i] == '\n');
        }
        qsizetype at = 0;
        for (size_t k = 0; k < p.pieces.size(); ++k) {
            const QByteArray& piece = p.pieces[k];
            EXPECT_FALSE(piece.isEmpty());
            at += piece.size();
            EXPECT_TRUE(ends[size_t(at)]) << "piece " << k << " ends inside a character";
            // Every piece but the last is full, and passes the size by one character at most.
            if (k + 1 < p.pieces.size()) {
                EXPECT_GE(piece.size(), size);
            }
            EXPECT_LE(piece.size(), size + 3);
        }
    }
}

TEST_P(FormRoundTrip, DecodedInPiecesIsTheSameText) {
    expectSameInPieces(GetParam().bytes, GetParam().name);
}

TEST_P(FormRoundTrip, ReadInPiecesGivesTheFormAndTheEditorsBytes) {
    const FormCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = fileWith(dir, "page.html", c.bytes);
    QByteArray got;
    EditorBytesSink sink;
    sink.begin = [&](qint64 total) { got.reserve(total); };
    sink.piece = [&](QByteArrayView b) { got += b; };
    const LoadedFile f = readDocumentFileInPieces(path, sink, 3);
    ASSERT_TRUE(f.ok);
    EXPECT_FALSE(f.rich);
    EXPECT_TRUE(f.content.isEmpty());
    const LoadedFile whole = readDocumentFile(path);
    EXPECT_TRUE(f.state.form == whole.state.form);
    EXPECT_EQ(f.state.stamp.hash, whole.state.stamp.hash);
    EXPECT_EQ(f.state.stamp.size, c.bytes.size());
    EXPECT_EQ(got, editorBytesOf(decodeFileBytes(c.bytes)));
}

INSTANTIATE_TEST_SUITE_P(Forms, FormRoundTrip, ::testing::ValuesIn(kForms),
                         NameFrom<&FormCase::name>());

TEST(FileForms, StrayBytesAreCountedAndEditsAroundThemKeepThem) {
    QTemporaryDir dir;
    const QString path = fileWith(dir, "menu.html", kMostlyUtf8);
    LoadedFile f = readDocumentFile(path);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.state.strayBytes, 1);
    const QString edited = QStringLiteral("<h1>Menu</h1>\r\n") + f.content;
    QString error;
    ASSERT_TRUE(writeDocumentFile(path, edited, &f.state, &error));
    EXPECT_EQ(readBytes(path), "<h1>Menu</h1>\n" + kMostlyUtf8);
}

TEST(FileForms, OnlyFilesWithoutEnoughValidUtf8FallBackToWindows1252) {
    struct Case {
        const char* what;
        QByteArray bytes;
        Enc encoding;
    } cases[] = {
        {"no multi-byte sequence at all", "caf\xe9 cr\xe8me " + QByteArray(5000, 'x'),
         Enc::Windows1252},
        {"more stray bytes than characters", "\xc3\xa9 \xe9\xe8\xe0 \xe9", Enc::Windows1252},
        {"more characters than stray bytes", "\xc3\xa9\xc3\xa8 \xe9", Enc::Utf8},
        {"one stray byte in a thousand", "\xc3\xa9\xe9\xe9" + QByteArray(3000, 'x'), Enc::Utf8},
        {"valid UTF-8", "\xc3\xa9", Enc::Utf8},
    };
    for (const Case& c : cases) {
        const DecodedText d = decodeFileBytes(c.bytes);
        EXPECT_EQ(d.form.encoding, c.encoding) << c.what;
    }
}

// Decoding in pieces: every place a piece may end (pieces of 1 to 7 bytes cut each text
// at every position), against the whole-string decoding of the same bytes.
TEST(FileForms, PiecesEndOnlyWhereACharacterEnds) {
    struct Case {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"a four-byte UTF-8 sequence", "ab\xf0\x9f\x98\x80"
                                       "cd\xc3\xa9\xe2\x82\xac"},
        {"a CR LF pair", "a\r\nb\r\n\r\nc"},
        {"a CR, then a CR LF pair", "a\r\r\nb\n\rc"},
        {"an LF file", "a\nbb\nccc\n"},
        {"a UTF-16 surrogate pair", "\xff\xfe" + utf16(u"a\U0001F600b\r\n\U0001F601", false)},
        {"UTF-16 BE with lone CRs", "\xfe\xff" + utf16(u"x\ry\r\u20ac\r", true)},
        {"UTF-32", QByteArray("\0\0\xfe\xff", 4) + utf32(U"\U0001F600\r\n\u00e9\n", true)},
        {"a stray byte among characters", "\xc3\xa9\xc3\xa8\xe9\xc3\xa0\r\n\xe2\x82\xac\xff"},
        {"a stray byte that looks like a continuation", "\xc3\xa9\x80\xc3\xa8\xbf\xc3\xa0"},
        {"a sequence cut short at the end", "\xc3\xa9\xc3\xa9\xc3\xa9\xe2\x82"},
        {"a marked file with stray bytes", "\xef\xbb\xbf\xc3\xa9\xff\xc3\xa8\xc3\xaa\rx"},
        {"noncharacters", "\xef\xbf\xbe\xef\xbf\xbf\xf4\x8f\xbf\xbf"
                          "a"},
        {"overlong forms, surrogates, past U+10FFFF",
         "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80"},
        {"Windows-1252", "caf\xe9\r\n\x80\x81 \x93q\x94\r"},
        {"broken UTF-16", QByteArray("\xff\xfe\x00\xd8x\0", 6)},
        {"NUL bytes", QByteArray("a\0\r\0b", 5)},
        {"nothing", QByteArray()},
    };
    for (const Case& c : cases)
        expectSameInPieces(c.bytes, c.what);
}

// Which break a file is written back with: the one most of its lines end in.
struct BreaksCase {
    const char* name;
    QByteArray bytes;
    const char* style; // "CRLF", "LF" or "CR"
    qsizetype other;   // breaks that change
};

void PrintTo(const BreaksCase& c, std::ostream* os) {
    *os << c.name;
}

class LineBreakStyle : public ::testing::TestWithParam<BreaksCase> {};

TEST_P(LineBreakStyle, IsTheBreakMostLinesUse) {
    const DecodedText d = decodeFileBytes(GetParam().bytes);
    const QString style = d.form.lfLineBreaks   ? QStringLiteral("LF")
                          : d.form.crLineBreaks ? QStringLiteral("CR")
                                                : QStringLiteral("CRLF");
    EXPECT_FALSE(d.form.lfLineBreaks && d.form.crLineBreaks);
    EXPECT_EQ(style, QString::fromLatin1(GetParam().style));
    EXPECT_EQ(d.otherLineBreaks, GetParam().other);
}

INSTANTIATE_TEST_SUITE_P(
    FileForms, LineBreakStyle,
    ::testing::Values(BreaksCase{"NoBreak", "no break at all", "CRLF", 0},
                      BreaksCase{"OnlyCrLf", "a\r\nb\r\n", "CRLF", 0},
                      BreaksCase{"OnlyLf", "a\nb", "LF", 0},
                      BreaksCase{"OnlyCr", "a\rb\r", "CR", 0},
                      BreaksCase{"CrCrLfIsOneCrAndOnePair", "a\r\r\nb", "CRLF", 1},
                      BreaksCase{"LfCrIsTwoBreaks", "a\n\rb\n\r", "LF", 2},
                      BreaksCase{"TieOfCrLfAndLf", "a\r\nb\n", "CRLF", 1},
                      BreaksCase{"TieOfCrLfAndCr", "a\r\nb\r", "CRLF", 1},
                      BreaksCase{"TieOfLfAndCr", "a\nb\r", "LF", 1},
                      BreaksCase{"OneOfEachAndAnLf", "a\r\nb\nc\rd\n", "LF", 2},
                      BreaksCase{"ManyCrFewLf", "1\r2\r3\r4\n5\r\n", "CR", 2},
                      BreaksCase{"Utf16Mixed", "\xff\xfe" + utf16(u"a\rb\rc\n", false), "CR", 1}),
    NameFrom<&BreaksCase::name>());

TEST(FileForms, AnLfFileKeepsLoneCarriageReturnsOfTheText) {
    FileForm lf;
    lf.lfLineBreaks = true;
    QByteArray bytes;
    ASSERT_TRUE(encodeFileBytes(QStringLiteral("a\r\nb\rc\r\r\n"), lf, &bytes));
    EXPECT_EQ(bytes, QByteArray("a\nb\rc\r\n"));
}

TEST(FileForms, Windows1252TextThatGainsOtherCharactersIsWrittenAsUtf8) {
    QTemporaryDir dir;
    const QString path = fileWith(dir, "old.html", "caf\xe9\n");
    LoadedFile f = readDocumentFile(path);
    ASSERT_EQ(f.state.form.encoding, Enc::Windows1252);
    const QString text = f.content + QString::fromUtf16(u"\u4e2d\u6587 \u20ac\r\n");
    QString error;
    ASSERT_TRUE(writeDocumentFile(path, text, &f.state, &error));
    EXPECT_TRUE(f.state.switchedToUtf8);
    EXPECT_EQ(f.state.form.encoding, Enc::Utf8);
    EXPECT_TRUE(f.state.form.lfLineBreaks);
    EXPECT_EQ(readBytes(path), QByteArray("caf\xc3\xa9\n\xe4\xb8\xad\xe6\x96\x87 \xe2\x82\xac\n"));
    // Later writes stay UTF-8 and do not switch again.
    ASSERT_TRUE(writeDocumentFile(path, text, &f.state, &error));
    EXPECT_FALSE(f.state.switchedToUtf8);
    EXPECT_EQ(readDocumentFile(path).content, text);
}

// ---- stamps: changes by other programs --------------------------------------------------

TEST(Stamps, TellUnchangedChangedAndMissingFiles) {
    QTemporaryDir dir;
    const QString path = fileWith(dir, "page.html", "<p>one</p>");
    const LoadedFile f = readDocumentFile(path);
    ASSERT_TRUE(f.state.stamp.valid);
    EXPECT_EQ(fileChangeSince(path, f.state.stamp), FileChange::Unchanged);
    // The same size, written at once: only the bytes can tell.
    fileWith(dir, "page.html", "<p>two</p>");
    EXPECT_EQ(fileChangeSince(path, f.state.stamp), FileChange::Changed);
    fileWith(dir, "page.html", "<p>one</p>");
    EXPECT_EQ(fileChangeSince(path, f.state.stamp), FileChange::Unchanged);
    fileWith(dir, "page.html", "<p>one, longer</p>");
    EXPECT_EQ(fileChangeSince(path, f.state.stamp), FileChange::Changed);
    QFile::remove(path);
    EXPECT_EQ(fileChangeSince(path, f.state.stamp), FileChange::Missing);
    // Something that is not a file any more cannot be compared.
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QString reason;
    EXPECT_EQ(fileChangeSince(path, f.state.stamp, &reason), FileChange::Unreadable);
    EXPECT_TRUE(reason.contains(QStringLiteral("named pipe")));
}

// What another program may do to a file after we read it, and what the stamp then says.
struct OutsideChange {
    const char* name;
    std::function<void(const QByteArray& path, const timespec& mtime)> change;
    FileChange expected;
};

void PrintTo(const OutsideChange& c, std::ostream* os) {
    *os << c.name;
}

void putTimeBack(const QByteArray& path, const timespec& mtime) {
    const timespec times[2] = {{0, UTIME_OMIT}, mtime};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
}

// Writes bytes over the start of the file, as an in-place writer does.
void overwrite(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    ::close(fd);
}

class StampedFile : public ::testing::TestWithParam<OutsideChange> {};

TEST_P(StampedFile, TellsAnOutsideChangeWhateverTimeItLeaves) {
    QTemporaryDir dir;
    const QString path = fileWith(dir, "page.html", "<p>one</p>");
    const QByteArray native = QFile::encodeName(path);
    // Written an hour ago, so that its times alone could prove it unchanged.
    const timespec hourAgo{::time(nullptr) - 3600, 0};
    putTimeBack(native, hourAgo);
    FileStamp stamp = readDocumentFile(path).state.stamp;
    ASSERT_TRUE(stamp.valid);
    // As if read a little later: nothing is within the granularity of the last write.
    stamp.takenAtNs += 5'000'000'000;
    GetParam().change(native, hourAgo);
    EXPECT_EQ(fileChangeSince(path, stamp), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stamps, StampedFile,
    ::testing::Values(
        OutsideChange{"Nothing", [](const QByteArray&, const timespec&) {}, FileChange::Unchanged},
        OutsideChange{"SameSizeInPlaceWithTheOldTimePutBack",
                      [](const QByteArray& p, const timespec& t) {
                          overwrite(p, "<p>two</p>");
                          putTimeBack(p, t);
                      },
                      FileChange::Changed},
        OutsideChange{"OneByteInPlaceWithTheOldTimePutBack",
                      [](const QByteArray& p, const timespec& t) {
                          overwrite(p, "{");
                          putTimeBack(p, t);
                      },
                      FileChange::Changed},
        OutsideChange{"TouchedWithTheSameBytes",
                      [](const QByteArray& p, const timespec& t) {
                          overwrite(p, "<p>one</p>");
                          putTimeBack(p, t);
                      },
                      FileChange::Unchanged},
        OutsideChange{"PermissionsChanged",
                      [](const QByteArray& p, const timespec&) {
                          ASSERT_EQ(::chmod(p.constData(), 0600), 0);
                      },
                      FileChange::Unchanged},
        OutsideChange{"SameBytesRenamedIntoPlaceWithTheOldTime",
                      [](const QByteArray& p, const timespec& t) {
                          const QByteArray other = p + ".new";
                          ASSERT_TRUE(writeBytes(QFile::decodeName(other), "<p>one</p>"));
                          putTimeBack(other, t);
                          ASSERT_EQ(::rename(other.constData(), p.constData()), 0);
                      },
                      FileChange::Unchanged},
        OutsideChange{"OtherBytesRenamedIntoPlaceWithTheOldTime",
                      [](const QByteArray& p, const timespec& t) {
                          const QByteArray other = p + ".new";
                          ASSERT_TRUE(writeBytes(QFile::decodeName(other), "<p>six</p>"));
                          putTimeBack(other, t);
                          ASSERT_EQ(::rename(other.constData(), p.constData()), 0);
                      },
                      FileChange::Changed}),
    NameFrom<&OutsideChange::name>());

TEST(Stamps, AWriteOfOursIsNotAChange) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.html"));
    FileState state;
    QString error;
    ASSERT_TRUE(writeDocumentFile(path, QStringLiteral("x\r\n"), &state, &error));
    EXPECT_EQ(fileChangeSince(path, state.stamp), FileChange::Unchanged);
}

// Watches a folder on a thread of its own and notes the permissions of every file made in
// it at the moment it appears, before its maker can change them.
class CreationWatch {
public:
    explicit CreationWatch(const QString& folder)
        : folder_(QFile::encodeName(folder)), fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ >= 0 && ::inotify_add_watch(fd_, folder_.constData(), IN_CREATE) >= 0)
            thread_ = std::thread([this] { run(); });
    }
    ~CreationWatch() { stop(); }
    bool watching() const { return thread_.joinable(); }
    // The name and permission bits of each file made so far.
    std::vector<std::pair<std::string, mode_t>> stop() {
        stopping_ = true;
        if (thread_.joinable())
            thread_.join();
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        return seen_;
    }

private:
    void run() {
        const int dir = ::open(folder_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        alignas(inotify_event) char buffer[4096];
        while (!stopping_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                struct stat st {};
                if (e->len > 0 && ::fstatat(dir, e->name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                    seen_.emplace_back(e->name, st.st_mode & 07777);
                at += ssize_t(sizeof(inotify_event) + e->len);
            }
        }
        ::close(dir);
    }

    QByteArray folder_;
    int fd_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::vector<std::pair<std::string, mode_t>> seen_;
};

struct PrivateCase {
    const char* name;
    int links; // names of the file
};

void PrintTo(const PrivateCase& c, std::ostream* os) {
    *os << c.name;
}

class PrivateFile : public ::testing::TestWithParam<PrivateCase> {};

TEST_P(PrivateFile, NoCopyMadeWhileSavingIsOpenToOthers) {
    QTemporaryDir dir;
    const QString path = fileWith(dir, "private.html", "secret\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    if (GetParam().links > 1) {
        ASSERT_EQ(::link(QFile::encodeName(path).constData(),
                         QFile::encodeName(dir.filePath(QStringLiteral("alias.html"))).constData()),
                  0);
    }
    // Big enough that writing it takes a while: a copy open to others would be seen so.
    const QString text = QString(32 << 20, QChar(u's'));
    const mode_t oldMask = ::umask(022); // files are made readable by all, as usual
    CreationWatch watch(dir.path());
    ASSERT_TRUE(watch.watching());
    FileState state = readDocumentFile(path).state;
    QString error;
    EXPECT_TRUE(writeDocumentFile(path, text, &state, &error)) << error.toStdString();
    // The last event may still be on its way.
    QThread::msleep(50);
    const auto seen = watch.stop();
    ::umask(oldMask);
    EXPECT_FALSE(seen.empty()) << "saving made no file at all";
    for (const auto& [name, mode] : seen)
        EXPECT_EQ(mode & 077, 0u) << name << " was made with mode 0" << std::oct << mode;
    EXPECT_EQ(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readBytes(path).size(), text.size());
}

INSTANTIATE_TEST_SUITE_P(Writing, PrivateFile,
                         ::testing::Values(PrivateCase{"Replaced", 1},
                                           PrivateCase{"WrittenInPlaceWithTwoNames", 2}),
                         NameFrom<&PrivateCase::name>());

TEST(Writing, AReplacedFileKeepsItsPermissionsAndALinkStaysALink) {
    QTemporaryDir dir;
    const QString path = fileWith(dir, "page.html", "old");
    ASSERT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    // A chain: link.html -> middle.html -> page.html.
    const QString middle = dir.filePath(QStringLiteral("middle.html"));
    ASSERT_TRUE(QFile::link(path, middle));
    const QString link = dir.filePath(QStringLiteral("link.html"));
    ASSERT_TRUE(QFile::link(middle, link));
    FileState state;
    QString error;
    ASSERT_TRUE(writeDocumentFile(link, QStringLiteral("new"), &state, &error));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
    EXPECT_EQ(readBytes(path), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(path) & 0x7077, // owner, group, other
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

// ---- odd files ---------------------------------------------------------------------------

TEST(OddFiles, ANamedPipeIsRefusedAtOnce) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opening a pipe for reading would wait for a writer: it must come back at once.
    const LoadedFile f = readDocumentFile(fifo);
    EXPECT_FALSE(f.ok);
    EXPECT_TRUE(f.errorString.contains(QStringLiteral("named pipe")))
        << f.errorString.toStdString();
}

TEST(OddFiles, AFileWithSeveralNamesIsWrittenInPlaceForAllOfThem) {
    QTemporaryDir dir;
    const QString path = fileWith(dir, "page.html", "old text\n");
    const QString other = dir.filePath(QStringLiteral("other-name.html"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    LoadedFile f = readDocumentFile(path);
    QString error;
    ASSERT_TRUE(writeDocumentFile(path, QStringLiteral("new text, longer\r\n"), &f.state, &error));
    EXPECT_EQ(readBytes(path), QByteArray("new text, longer\n"));
    EXPECT_EQ(readBytes(other), QByteArray("new text, longer\n"));
    ASSERT_TRUE(writeDocumentFile(path, QStringLiteral("short\r\n"), &f.state, &error));
    EXPECT_EQ(readBytes(other), QByteArray("short\n"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u);
    // No copy is left beside the file.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    EXPECT_EQ(fileChangeSince(path, f.state.stamp), FileChange::Unchanged);
}

TEST(OddFiles, AFileLargerThanTheMemoryIsRefusedBeforeItIsRead) {
    QTemporaryDir dir;
    // A terabyte, sparse: it takes no room on the disk, and reading it would take hours.
    const QString path = fileWith(dir, "huge.html", "<p>start</p>");
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), qint64(1) << 40), 0);
    const LoadedFile f = readDocumentFile(path);
    EXPECT_FALSE(f.ok);
    EXPECT_TRUE(f.errorString.contains(QStringLiteral("1099511627776 bytes")))
        << f.errorString.toStdString();
    QString text, error;
    EXPECT_FALSE(readDocumentText(path, &text, &error));
    // Comparing it with a stamp cannot read it either: it is reported, not a crash.
    FileState state = f.state;
    state.stamp.valid = true;
    state.stamp.size = qint64(1) << 40;
    QString reason;
    EXPECT_EQ(fileChangeSince(path, state.stamp, &reason), FileChange::Unreadable);
    EXPECT_FALSE(reason.isEmpty());
}

// A POSIX access list as the system stores it: a version, then (tag, permissions, id).
QByteArray accessList(std::initializer_list<std::array<quint32, 3>> entries) {
    QByteArray acl;
    auto put = [&](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            acl.append(char((v >> (8 * i)) & 0xFF));
    };
    put(2, 4);
    for (const auto& e : entries) {
        put(e[0], 2);
        put(e[1], 2);
        put(e[2], 4);
    }
    return acl;
}

TEST(OddFiles, AFileWithAnAccessListKeepsIt) {
    QTemporaryDir dir;
    const QString path = fileWith(dir, "page.html", "<p>team only</p>\n");
    const QByteArray native = QFile::encodeName(path);
    // Owner rw, one other user r, the owning group nothing (mode 0640 shows the mask).
    const quint32 any = 0xFFFFFFFF;
    const QByteArray acl = accessList(
        {{0x01, 6, any}, {0x02, 4, 12345}, {0x04, 0, any}, {0x10, 4, any}, {0x20, 0, any}});
    if (::setxattr(native.constData(), "system.posix_acl_access", acl.constData(),
                   size_t(acl.size()), 0) != 0)
        GTEST_SKIP() << "the file system keeps no access lists: " << strerror(errno);
    struct stat before {};
    ASSERT_EQ(::stat(native.constData(), &before), 0);
    LoadedFile f = readDocumentFile(path);
    QString error;
    ASSERT_TRUE(writeDocumentFile(path, QStringLiteral("<p>new</p>\r\n"), &f.state, &error));
    EXPECT_EQ(readBytes(path), QByteArray("<p>new</p>\n"));
    QByteArray kept(256, '\0');
    const ssize_t n =
        ::getxattr(native.constData(), "system.posix_acl_access", kept.data(), size_t(kept.size()));
    ASSERT_GT(n, 0) << "the access list is gone";
    EXPECT_EQ(kept.left(n), acl);
    struct stat after {};
    ASSERT_EQ(::stat(native.constData(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
}

TEST(OddFiles, AWritableFileInAFolderThatRefusesNewFilesIsWrittenInPlace) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("site"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/page.html");
    ASSERT_TRUE(writeBytes(path, "old text\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    // Root may write in any folder: the writer here is a user whom the folder refuses.
    std::optional<ActingAs> writer;
    if (::geteuid() == 0) {
        const std::optional<OtherUser> user = otherUser();
        if (!user)
            GTEST_SKIP() << kNoOtherUser;
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
        writer.emplace(*user);
        ASSERT_TRUE(writer->ok());
    } else {
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    LoadedFile f = readDocumentFile(path);
    QString error;
    const bool written =
        writeDocumentFile(path, QStringLiteral("new text, longer\r\n"), &f.state, &error);
    const FileChange change = fileChangeSince(path, f.state.stamp);
    writer.reset();
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    ASSERT_TRUE(written) << error.toStdString();
    EXPECT_EQ(readBytes(path), QByteArray("new text, longer\n"));
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "written in place";
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(change, FileChange::Unchanged);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// ---- file names: every byte kept, odd ones quoted in reports ------------------------------

struct NameCase {
    const char* name;
    QByteArray bytes;   // the name as the system holds it
    const char* quoted; // as a report shows it (UTF-8)
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.name;
}

class FileNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileNames, KeepEveryByteAndQuoteWhatCouldForgeALine) {
    const NameCase& c = GetParam();
    const QString name = decodeFileName(c.bytes);
    EXPECT_EQ(encodeFileName(name), c.bytes);
    if (QByteArrayView(c.bytes).isValidUtf8()) {
        EXPECT_EQ(name.toUtf8(), c.bytes) << "valid UTF-8 reads as itself";
    }
    EXPECT_EQ(encodeFileName(quotedFileName(name)), QByteArray(c.quoted));
    // The quoted form is one line, and a name is never quoted into another's raw form.
    EXPECT_FALSE(quotedFileName(name).contains(u'\n'));
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileNames,
    ::testing::Values(
        NameCase{"Ascii", "site/page.html", "site/page.html"},
        NameCase{"Utf8", "caf\xc3\xa9 \xf0\x9f\x98\x80.html", "caf\xc3\xa9 \xf0\x9f\x98\x80.html"},
        NameCase{"InvalidByte", "\xff.html", "\"\\377.html\""},
        NameCase{"ReplacementCharacterIsItsOwnName", "\xef\xbf\xbd.html", "\xef\xbf\xbd.html"},
        NameCase{"Windows1252Name", "caf\xe9.html", "\"caf\\351.html\""},
        NameCase{"CutSequence", "a\xe2\x82", "\"a\\342\\202\""},
        NameCase{"EncodedSurrogate", "\xed\xa0\x80", "\"\\355\\240\\200\""},
        NameCase{"MarkAtTheStart", "\xef\xbb\xbfx", "\xef\xbb\xbfx"},
        NameCase{"LineFeed", "a\nb.html", "\"a\\nb.html\""},
        NameCase{"CarriageReturnAndTab", "a\rb\tc", "\"a\\rb\\tc\""},
        NameCase{"TerminalEscape", "\x1b[2Jx.html", "\"\\033[2Jx.html\""},
        NameCase{"Delete", "del\x7f", "\"del\\177\""},
        NameCase{"NextLineControl",
                 "a\xc2\x85"
                 "b",
                 "\"a\\302\\205b\""},
        NameCase{"LineSeparator",
                 "a\xe2\x80\xa8"
                 "b",
                 "\"a\\342\\200\\250b\""},
        NameCase{"RightToLeftOverride", "\xe2\x80\xaelmth.exe", "\"\\342\\200\\256lmth.exe\""},
        NameCase{"QuoteAndBackslashBesideAControl", "q\"\\\x01", "\"q\\\"\\\\\\001\""},
        NameCase{"StartsWithAQuote", "\"a.html", "\"\\\"a.html\""},
        NameCase{"QuoteInside", "q\"uote.html", "q\"uote.html"},
        NameCase{"BackslashInside", "back\\slash.html", "back\\slash.html"}),
    NameFrom<&NameCase::name>());

TEST(FileNames, ANameThatIsNotUtf8IsReadAndWrittenAsItselfNotItsNeighbour) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    // The neighbour is what a lossy conversion of the name would make of it.
    const QString neighbour = dir.filePath(QString::fromUtf8("\xef\xbf\xbd.html"));
    ASSERT_TRUE(writeBytes(neighbour, "neighbour\n"));
    const QString odd = decodeFileName(folder + "/\xff.html");
    FileState state;
    QString error;
    ASSERT_TRUE(writeDocumentFile(odd, QStringLiteral("odd\r\n"), &state, &error))
        << error.toStdString();
    const int fd = ::open((folder + "/\xff.html").constData(), O_RDONLY);
    ASSERT_GE(fd, 0) << "the file has exactly the name's bytes";
    ::close(fd);
    EXPECT_EQ(readDocumentFile(odd).content, QStringLiteral("odd\r\n"));
    EXPECT_EQ(fileChangeSince(odd, state.stamp), FileChange::Unchanged);
    EXPECT_EQ(readBytes(neighbour), QByteArray("neighbour\n"));
    // Nothing else was made (Qt's listing would show both names as one).
    int entries = 0;
    if (DIR* listing = ::opendir(folder.constData())) {
        while (const dirent* e = ::readdir(listing))
            entries += e->d_name[0] != '.';
        ::closedir(listing);
    }
    EXPECT_EQ(entries, 2);
}

TEST(LineEnds, ToCrLfIsIdempotent) {
    const QString once = toCrLf(QStringLiteral("a\nb\r\rc\r\n"));
    EXPECT_EQ(once, QStringLiteral("a\r\nb\r\n\r\nc\r\n"));
    EXPECT_EQ(toCrLf(once), once);
}

} // namespace

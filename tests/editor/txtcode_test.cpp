// SPDX-License-Identifier: GPL-3.0-or-later
// The editor control as every other part of the editor uses it: positions in UTF-16
// units of Text with CR LF counting two, the insertion contract of SelText, find, line
// queries, formats and the modified flag.
#include <gtest/gtest.h>

#include <functional>

#include <QAccessible>
#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <Qsci/qscimeasuring.h>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformbackingstore.h>
#include <qpa/qplatformintegration.h>

#include "editor/txtcode.h"
#include "testutil.h"
#include "text/fileform.h"
#include "text/textfile.h"

namespace {

struct MappingCase {
    const char* name;
    QString text;
};

// Each character boundary of the text, as UTF-16 offsets, where a caret may stand:
// not inside a surrogate pair.
QVector<int> boundaries(const QString& t) {
    QVector<int> b;
    for (int i = 0; i <= t.size(); ++i)
        if (i == 0 || i == t.size() || !t[i].isLowSurrogate())
            b << i;
    return b;
}

// The places a caret may stand: every boundary but the middle of a CR LF.
QVector<int> caretPositions(const QString& t) {
    QVector<int> c;
    for (int p : boundaries(t))
        if (!(p > 0 && p < t.size() && t[p - 1] == u'\r' && t[p] == u'\n'))
            c << p;
    return c;
}

void PrintTo(const MappingCase& c, std::ostream* os) {
    *os << c.name;
}

class PositionMapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(PositionMapping, SelectingAnyRangeGivesThatSliceOfText) {
    TxtCode ed;
    const QString t = GetParam().text;
    ed.SetText(t);
    ASSERT_EQ(ed.Text(), t);
    ASSERT_EQ(ed.TextLength(), t.size());
    const QVector<int> b = boundaries(t);
    for (int i = 0; i < b.size(); ++i) {
        const int start = b[i];
        ASSERT_EQ(ed.toCharPos(ed.toBytePos(start)), start) << "position " << start;
        for (int j = i; j < b.size(); ++j) {
            const int end = b[j];
            // A caret cannot stand between CR and LF; skip such ends.
            if ((start > 0 && t[start - 1] == u'\r' && start < t.size() && t[start] == u'\n') ||
                (end > 0 && t[end - 1] == u'\r' && end < t.size() && t[end] == u'\n'))
                continue;
            ed.SetSelStart(start);
            ed.SetSelLength(end - start);
            ASSERT_EQ(ed.SelStart(), start);
            ASSERT_EQ(ed.SelLength(), end - start) << start << ".." << end;
            ASSERT_EQ(ed.SelText(), t.mid(start, end - start)) << start << ".." << end;
        }
    }
}

TEST_P(PositionMapping, InsertingAtEveryPositionKeepsTheRest) {
    const QString t = GetParam().text;
    for (int p : caretPositions(t)) {
        TxtCode ed;
        ed.SetText(t);
        ed.SetSelStart(p);
        ed.SetSelText(QStringLiteral("<b>"));
        EXPECT_EQ(ed.Text(), t.left(p) + QStringLiteral("<b>") + t.mid(p)) << "at " << p;
        EXPECT_EQ(ed.SelStart(), p + 3);
        EXPECT_EQ(ed.SelLength(), 0);
    }
}

// What an assistive technology is told while it listens: accessibility made active, as a
// screen reader's connection makes it, and every text event of the editor recorded.
struct AccessibleEvents {
    struct Event {
        QAccessible::Event type;
        int offset;
        QString text;
    };
    static inline QVector<Event>* sink = nullptr;
    static QPlatformAccessibility* platform() {
        return QGuiApplicationPrivate::platformIntegration()->accessibility();
    }
    static void handler(QAccessibleEvent* e) {
        if (!sink)
            return;
        if (e->type() == QAccessible::TextInserted) {
            auto* ev = static_cast<QAccessibleTextInsertEvent*>(e);
            sink->append({e->type(), ev->changePosition(), ev->textInserted()});
        } else if (e->type() == QAccessible::TextRemoved) {
            auto* ev = static_cast<QAccessibleTextRemoveEvent*>(e);
            sink->append({e->type(), ev->changePosition(), ev->textRemoved()});
        } else if (e->type() == QAccessible::TextCaretMoved) {
            sink->append({e->type(), static_cast<QAccessibleTextCursorEvent*>(e)->cursorPosition(),
                          QString()});
        }
    }
    AccessibleEvents() {
        sink = &events;
        QAccessible::installUpdateHandler(&AccessibleEvents::handler);
        platform()->setActive(true);
    }
    ~AccessibleEvents() {
        platform()->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
        sink = nullptr;
    }
    QVector<Event> events;
};

TEST_P(PositionMapping, AssistiveTechnologySeesTheOffsetsOfText) {
    const QString t = GetParam().text;
    TxtCode ed;
    ed.SetText(t);
    AccessibleEvents listening;
    ASSERT_TRUE(QAccessible::isActive());
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&ed);
    ASSERT_NE(a, nullptr);
    QAccessibleTextInterface* text = a->textInterface();
    ASSERT_NE(text, nullptr);
    ASSERT_NE(a->editableTextInterface(), nullptr);
    EXPECT_EQ(a->role(), QAccessible::EditableText);
    EXPECT_EQ(text->characterCount(), t.size());
    EXPECT_EQ(text->text(0, t.size()), t);
    for (int p : caretPositions(t)) {
        ed.SetSelStart(p);
        EXPECT_EQ(text->cursorPosition(), p);
        // The line holding the offset, its break included.
        int ls, le;
        const QString line = text->textAtOffset(p, QAccessible::LineBoundary, &ls, &le);
        EXPECT_EQ(line, t.mid(ls, le - ls));
        EXPECT_LE(ls, p);
        EXPECT_TRUE(p < le || le == t.size()) << p;
        EXPECT_EQ(ls, ed.LineStart(ed.GetLineFromChar(p)));

        listening.events.clear();
        ed.SetSelText(QString::fromUtf8("\xf0\x9f\x98\x80"));
        ed.SetSelStart(p);
        ed.SetSelLength(2);
        ed.SetSelText(QString());
        ASSERT_EQ(ed.Text(), t);
        QVector<AccessibleEvents::Event> edits;
        for (const auto& e : listening.events)
            if (e.type != QAccessible::TextCaretMoved)
                edits << e;
        ASSERT_EQ(edits.size(), 2) << "at " << p;
        EXPECT_EQ(edits[0].type, QAccessible::TextInserted);
        EXPECT_EQ(edits[0].offset, p);
        EXPECT_EQ(edits[0].text, QString::fromUtf8("\xf0\x9f\x98\x80"));
        EXPECT_EQ(edits[1].type, QAccessible::TextRemoved);
        EXPECT_EQ(edits[1].offset, p);
        EXPECT_EQ(edits[1].text, QString::fromUtf8("\xf0\x9f\x98\x80"));
    }
    // Editing through the interface edits Text at the same offsets.
    a->editableTextInterface()->insertText(0, QStringLiteral("<i>"));
    EXPECT_EQ(ed.Text(), QStringLiteral("<i>") + t);
    a->editableTextInterface()->replaceText(0, 3, QStringLiteral("<u>"));
    EXPECT_EQ(ed.Text(), QStringLiteral("<u>") + t);
    a->editableTextInterface()->deleteText(0, 3);
    EXPECT_EQ(ed.Text(), t);
    text->setSelection(0, 0, t.size());
    int s = -1, e = -1;
    text->selection(0, &s, &e);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, t.size());
    EXPECT_EQ(text->selectionCount(), t.isEmpty() ? 0 : 1);
}

TEST_P(PositionMapping, InputMethodsSeeTheCaretLine) {
    const QString t = GetParam().text;
    TxtCode ed;
    ed.SetText(t);
    for (int p : caretPositions(t)) {
        ed.SetSelStart(p);
        const int line = ed.GetLineFromChar(p);
        const int start = ed.LineStart(line);
        int end = line + 1 < ed.LineCount() ? ed.LineStart(line + 1) : t.size();
        while (end > start && (t[end - 1] == u'\n' || t[end - 1] == u'\r'))
            --end;
        const QString surrounding = ed.inputMethodQuery(Qt::ImSurroundingText).toString();
        EXPECT_EQ(surrounding, t.mid(start, end - start)) << "at " << p;
        EXPECT_EQ(ed.inputMethodQuery(Qt::ImCursorPosition).toInt(), p - start) << "at " << p;
        EXPECT_EQ(ed.inputMethodQuery(Qt::ImAnchorPosition).toInt(), p - start) << "at " << p;
        EXPECT_EQ(ed.inputMethodQuery(Qt::ImTextBeforeCursor).toString(), t.mid(start, p - start));
    }
}

// Offsets between the two halves of a surrogate pair, as assistive technology or an input
// method may give them: each means the boundary before the pair, never the line's end.
TEST_P(PositionMapping, AnOffsetInsideASurrogatePairMeansThePairsStart) {
    const QString t = GetParam().text;
    TxtCode ed;
    ed.SetText(t);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&ed);
    ASSERT_NE(a, nullptr);
    QAccessibleTextInterface* text = a->textInterface();
    QAccessibleEditableTextInterface* edit = a->editableTextInterface();
    for (int i = 1; i < t.size(); ++i) {
        if (!t[i].isLowSurrogate())
            continue;
        ASSERT_EQ(ed.toBytePos(i), ed.toBytePos(i - 1)) << "at " << i;
        ed.SetSelStart(i);
        EXPECT_EQ(ed.SelStart(), i - 1);
        ed.SetSelStart(0);
        ed.SetSelLength(i);
        EXPECT_EQ(ed.SelLength(), i - 1) << "a selection's end inside a pair leaves the pair out";
        EXPECT_EQ(ed.textRange(i, t.size()), t.mid(i - 1));
        text->setCursorPosition(i);
        EXPECT_EQ(text->cursorPosition(), i - 1);
        // A selection with one end inside a pair keeps its other end.
        text->setSelection(0, 0, i);
        int s = -1, e = -1;
        text->selection(0, &s, &e);
        EXPECT_EQ(s, 0);
        EXPECT_EQ(e, i - 1);
        text->setSelection(0, i, t.size());
        text->selection(0, &s, &e);
        EXPECT_EQ(s, i - 1);
        EXPECT_EQ(e, t.size());
        int cs = -1, ce = -1;
        text->textAtOffset(i, QAccessible::CharBoundary, &cs, &ce);
        EXPECT_EQ(cs, i - 1);
        EXPECT_EQ(ce, i + 1);
        edit->insertText(i, QStringLiteral("<i>"));
        EXPECT_EQ(ed.Text(), t.left(i - 1) + QStringLiteral("<i>") + t.mid(i - 1)) << "at " << i;
        ed.SetText(t);
    }
}

TEST(InputMethods, ACaretInsideAPairOfThePreeditStaysInThePreedit) {
    // The input method puts its caret between the halves of the first of two emoji.
    TxtCode ed;
    ed.SetText(QStringLiteral("<p>line one</p>\r\n<p>"));
    ed.SetSelStart(ed.TextLength());
    const qint64 before = ed.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const QString preedit = QString::fromUtf8("\xf0\x9f\x98\x80\xf0\x9f\x98\x81");
    QInputMethodEvent compose(
        preedit, {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, 1, 1, QVariant())});
    QCoreApplication::sendEvent(&ed, &compose);
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), before)
        << "the caret goes to the pair's start, not the document's";
    QInputMethodEvent commit;
    commit.setCommitString(preedit);
    QCoreApplication::sendEvent(&ed, &commit);
    EXPECT_EQ(ed.Text(), QStringLiteral("<p>line one</p>\r\n<p>") + preedit);
}

TEST(InputMethods, SeeOnlyTheCaretLineOrAWindowOfALongLine) {
    // Many lines and no blank line: the paragraph the editor's own answer used to walk
    // was the whole document.
    QString page;
    for (int i = 0; page.size() < 2'000'000; ++i)
        page += QStringLiteral("<p id=\"%1\">line</p>\r\n").arg(i);
    page += QStringLiteral("<p>last</p>");
    TxtCode ed;
    ed.SetText(page);
    ed.SetSelStart(page.size() - 4);
    EXPECT_EQ(ed.inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("<p>last</p>"));
    EXPECT_EQ(ed.inputMethodQuery(Qt::ImCursorPosition).toInt(), 7);

    // One line of 300,000 characters, accents included: a window around the caret whose
    // cursor position points at the caret.
    QString line;
    while (line.size() < 300'000)
        line += QString::fromUtf8("<a href=\"caf\xc3\xa9\">\xe2\x82\xac</a> ");
    ed.SetText(line);
    const int caret = 150'001;
    ed.SetSelStart(caret);
    ed.SetSelLength(3);
    const QString around = ed.inputMethodQuery(Qt::ImSurroundingText).toString();
    const int at = ed.inputMethodQuery(Qt::ImCursorPosition).toInt();
    const int anchor = ed.inputMethodQuery(Qt::ImAnchorPosition).toInt();
    EXPECT_LE(around.size(), 4200);
    EXPECT_GT(around.size(), 2000);
    ASSERT_GE(at, 3);
    // SelStart is the anchor here; the caret is at the selection's end.
    EXPECT_EQ(around.mid(anchor, 3), line.mid(caret, 3));
    EXPECT_EQ(at - anchor, 3);
    EXPECT_EQ(around.left(anchor).right(40), line.left(caret).right(40));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PositionMapping,
    ::testing::Values(
        MappingCase{"Ascii", QStringLiteral("<p>hello</p>")},
        MappingCase{"CrLf", QStringLiteral("ab\r\ncd\r\n\r\nef\r\n")},
        MappingCase{"LoneCr", QStringLiteral("<head>\r\r\n</head>")},
        MappingCase{"MultiByte", QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac 5\r\n\xc3\xbc")},
        MappingCase{"OutsideBmp", QString::fromUtf8("a\xf0\x9f\x98\x80z\r\n\xf0\x9f\x8e\x89!")},
        // Noncharacters are whole characters to Qt; the editor must count them so too.
        MappingCase{"Noncharacters", QString::fromUtf8("a\xef\xbf\xbf b\xef\xbf\xbe\xef\xb7\x90\r\n"
                                                       "\xf0\x9f\xbf\xbfz\xef\xbf\xbd")},
        MappingCase{"PairsAtLineStartsAndEnds",
                    QString::fromUtf8("\xf0\x9f\x98\x80\xf0\x9f\x98\x81\r\n\xf0\x9f\x8e\x89x"
                                      "\xf0\x9f\x98\x80\r\n\xf4\x8f\xbf\xbf")},
        MappingCase{"PairsAmongAccents",
                    QString::fromUtf8("\xc3\xa9\xf0\x9f\x98\x80 ").repeated(40) +
                        QStringLiteral("\r\nend")},
        // U+FEFF is a character wherever it stands, the start of the document included.
        MappingCase{"ByteOrderMarkAtTheStart", QStringView(u"\uFEFF<p>a</p>\r\nb").toString()},
        MappingCase{"ByteOrderMarksInside",
                    QStringView(u"<p>\uFEFFa</p>\r\n\uFEFF\r\nb\uFEFF").toString()},
        MappingCase{"Empty", QString()}),
    NameFrom<&MappingCase::name>());

TEST(InsertionContract, WritingSelTextReplacesTheSelectionAndLeavesTheCaretAfterIt) {
    TxtCode ed;
    ed.SetText(QStringLiteral("say Hello there"));
    ed.SetSelStart(4);
    ed.SetSelLength(5);
    ASSERT_EQ(ed.SelText(), QStringLiteral("Hello"));
    // Insertion after the selection: the selected text stays, the fragment follows it.
    ed.SetSelText(ed.SelText() + QStringLiteral("<h1>\r\n\r\n</h1>"));
    EXPECT_EQ(ed.Text(), QStringLiteral("say Hello<h1>\r\n\r\n</h1> there"));
    EXPECT_EQ(ed.SelStart(), 4 + 5 + 13);
    EXPECT_EQ(ed.SelLength(), 0);
    // Insertion over the selection.
    ed.SetSelStart(0);
    ed.SetSelLength(3);
    ed.SetSelText(QStringLiteral("SAY"));
    EXPECT_TRUE(ed.Text().startsWith(QStringLiteral("SAY Hello")));
    EXPECT_EQ(ed.SelStart(), 3);
}

TEST(InsertionContract, TextIsKeptCharacterForCharacterIncludingLoneCrAndNul) {
    TxtCode ed;
    const QString fragment = QStringLiteral("<head>\r\r\n</head>");
    ed.SetSelText(fragment);
    EXPECT_EQ(ed.Text().size(), 16);
    EXPECT_EQ(ed.Text(), fragment);
    EXPECT_EQ(ed.SelStart(), 16);
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    ed.SetText(withNul);
    EXPECT_EQ(ed.Text(), withNul);
    EXPECT_EQ(ed.TextLength(), 3);
}

TEST(InsertionContract, SelStartIsClampedAndWritingItSelectsNothing) {
    TxtCode ed;
    ed.SetText(QStringLiteral("abc"));
    ed.SetSelStart(1);
    ed.SetSelLength(2);
    ed.SetSelStart(99);
    EXPECT_EQ(ed.SelStart(), 3);
    EXPECT_EQ(ed.SelLength(), 0);
    ed.SetSelStart(0);
    ed.SetSelLength(99);
    EXPECT_EQ(ed.SelLength(), 3);
}

// A document read with stray bytes holds them as they are: each is one character of one
// UTF-16 unit (its stand-in in Text), wherever it stands among valid UTF-8.
struct StrayCase {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const StrayCase& c, std::ostream* os) {
    *os << c.name;
}

class StrayBytePositions : public ::testing::TestWithParam<StrayCase> {};

TEST_P(StrayBytePositions, EachStrayByteIsOneCharacterEverywhere) {
    const QByteArray& bytes = GetParam().bytes;
    const QString t =
        decodeWithStandIns(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
    TxtCode ed;
    ed.setEditorBytes(bytes, true);
    ASSERT_EQ(ed.editorBytes(), bytes);
    ASSERT_EQ(ed.Text(), t);
    ASSERT_EQ(ed.TextLength(), t.size());
    const QVector<int> b = boundaries(t);
    for (int i = 0; i < b.size(); ++i) {
        ASSERT_EQ(ed.toCharPos(ed.toBytePos(b[i])), b[i]);
        ed.SetSelStart(b[i]);
        ASSERT_EQ(ed.SelStart(), b[i]);
        if (i + 1 < b.size()) {
            ed.SetSelLength(b[i + 1] - b[i]);
            ASSERT_EQ(ed.SelText(), t.mid(b[i], b[i + 1] - b[i])) << "at " << b[i];
        }
    }
    // Delete takes one character; Backspace takes one back; undo brings the bytes back.
    for (int i = 0; i + 1 < b.size(); ++i) {
        if (t[b[i]] == u'\r' || t[b[i]] == u'\n')
            continue; // Delete and Backspace take CR LF whole
        ed.setEditorBytes(bytes, true);
        ed.SetSelStart(b[i]);
        QTest::keyClick(&ed, Qt::Key_Delete);
        EXPECT_EQ(ed.Text(), t.left(b[i]) + t.mid(b[i + 1])) << "Delete at " << b[i];
        ed.SetSelStart(b[i + 1] - (b[i + 1] - b[i]));
        ed.undo();
        EXPECT_EQ(ed.editorBytes(), bytes);
        ed.SetSelStart(b[i + 1]);
        QTest::keyClick(&ed, Qt::Key_Backspace);
        EXPECT_EQ(ed.Text(), t.left(b[i]) + t.mid(b[i + 1])) << "Backspace at " << b[i + 1];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, StrayBytePositions,
    ::testing::Values(StrayCase{"LoneTrailBytes", "a\x80\xbf\r\n\x80"},
                      StrayCase{"LeadBytesBeforeAscii", "\xe2"
                                                        "ab\xf0"
                                                        "c\xc3"},
                      StrayCase{"OverlongTwoByteForms", "x\xc0\x80\xc1\xbf"
                                                        "y"},
                      StrayCase{"TruncatedAtALineEnd", "\xe2\x82\r\n\xf0\x9f\x98"},
                      StrayCase{"BesideValidCharacters",
                                "\xe2\xc3\xa9\x80\xf0\x9f\x98\x80\xff\xe2\x82\xac\xfe"},
                      StrayCase{"SurrogatesEncoded", "\xed\xa0\x80\xed\xbf\xbf"},
                      StrayCase{"PastTheLastCodePoint", "\xf4\x90\x80\x80\xf5"}),
    NameFrom<&StrayCase::name>());

// Every read of the editor's bytes, with the buffer's gap at each place an edit can leave it
// (between two characters, a stray byte being one): the reads give the bytes and text as
// they are, and none moves the gap (which would cost a move of the document on each read
// and again at the next key).
class BufferAroundTheGap : public ::testing::TestWithParam<StrayCase> {};

TEST_P(BufferAroundTheGap, ReadsTakeTheBytesWhereTheyLie) {
    const QByteArray& bytes = GetParam().bytes;
    const QString t =
        decodeWithStandIns(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
    const QVector<int> b = boundaries(t);
    TxtCode ed;
    auto gap = [&] { return qint64(ed.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION)); };
    QVector<qint64> edits; // byte positions between two characters, not inside CR LF
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    for (qint64 at = 0; at <= bytes.size();) {
        if (!(at > 0 && at < bytes.size() && p[at - 1] == '\r' && p[at] == '\n'))
            edits << at;
        if (at == bytes.size())
            break;
        at += qMax(1, utf8SequenceLength(p + at, bytes.size() - at));
    }
    for (qint64 at : edits) {
        ed.setEditorBytes(bytes, true);
        // An edit leaves the gap where it happened.
        ed.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, (unsigned long)at, "x");
        ed.SendScintilla(QsciScintillaBase::SCI_DELETERANGE, (unsigned long)at, 1L);
        ASSERT_EQ(gap(), at);
        ASSERT_EQ(ed.editorBytes(), bytes) << "gap at " << at;
        ASSERT_EQ(ed.Text(), t) << "gap at " << at;
        for (int i = 0; i < b.size(); ++i)
            for (int j = i; j < b.size(); ++j)
                ASSERT_EQ(ed.textRange(b[i], b[j]), t.mid(b[i], b[j] - b[i]))
                    << b[i] << ".." << b[j] << ", gap at " << at;
        ed.SetSelStart(0);
        ed.SetSelLength(t.size());
        EXPECT_EQ(ed.SelText(), t);
        EXPECT_EQ(ed.lastIndexOfAscii('<'), bytes.lastIndexOf('<'));
        EXPECT_EQ(ed.lastIndexOfAscii('>'), bytes.lastIndexOf('>'));
        ed.SetSelStart(t.size());
        const QString line = t.mid(t.lastIndexOf(u'\n') + 1);
        EXPECT_EQ(ed.inputMethodQuery(Qt::ImSurroundingText).toString(), line);
        EXPECT_EQ(gap(), at) << "a read moved the gap";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BufferAroundTheGap,
    ::testing::Values(
        StrayCase{"AccentsAndPairs", "<p>caf\xc3\xa9 \xe2\x82\xac\r\n\xf0\x9f\x98\x80</p>"},
        StrayCase{"ByteOrderMarkAtTheStart", "\xef\xbb\xbf<p>x</p>"},
        StrayCase{"ByteOrderMarksInside", "<p>\xef\xbb\xbfx</p>\r\n\xef\xbb\xbf>"},
        StrayCase{"StrayBytesAmongCharacters", "<\xe9\xc3\xa9\x80>\r\n\xf0\x9f\x98\x80\xff"},
        StrayCase{"TruncatedAtTheEnd", "<a>\xc3\xa9\xe2\x82"}),
    NameFrom<&StrayCase::name>());

TEST(StrayBytes, AStandInCharacterBesideTheStrayByteItStandsForStaysACharacter) {
    TxtCode ed;
    ed.setEditorBytes("<\x80>", true);
    ASSERT_TRUE(ed.keepsStrayBytes());
    ed.SetSelStart(1);
    ed.enterText(QString(QChar(0xEF80)));
    EXPECT_EQ(ed.editorBytes(), "<\xee\xbe\x80\x80>");
    EXPECT_EQ(ed.Text(), QStringView(u"<\uEF80\uEF80>").toString());
    // The text written back as a whole keeps each as it was.
    ed.SetText(ed.Text() + QStringLiteral("!"));
    EXPECT_EQ(ed.editorBytes(), "<\xee\xbe\x80\x80>!");
    ed.undo();
    EXPECT_EQ(ed.editorBytes(), "<\xee\xbe\x80\x80>");
    // Without stray bytes to keep, bytes that are not UTF-8 become their stand-ins.
    ed.setEditorBytes("<\x80>", false);
    EXPECT_FALSE(ed.keepsStrayBytes());
    EXPECT_EQ(ed.editorBytes(), "<\xee\xbe\x80>");
}

TEST(Clipboard, CopyingKeepsNulAndWhatFollowsIt) {
    TxtCode ed;
    const QString t = QStringLiteral("a") + QChar(0) + QStringLiteral("b\r\nc");
    ed.SetText(t);
    ed.SetSelStart(0);
    ed.SetSelLength(t.size());
    ed.cut();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), t);
    EXPECT_EQ(ed.TextLength(), 0);
    ed.paste();
    EXPECT_EQ(ed.Text(), t);
}

struct FindCase {
    const char* name;
    QString text;
    QString what;
    int start;
    int options;
    int expected;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.name;
}

class Find : public ::testing::TestWithParam<FindCase> {};

TEST_P(Find, ReturnsTheFirstMatchAndSelectsIt) {
    const FindCase& c = GetParam();
    TxtCode ed;
    ed.SetText(c.text);
    ed.SetSelStart(1);
    const int found = ed.Find(c.what, c.start, ed.TextLength(), c.options);
    EXPECT_EQ(found, c.expected);
    if (found >= 0) {
        EXPECT_EQ(ed.SelStart(), found);
        EXPECT_EQ(ed.SelText().compare(c.what, Qt::CaseInsensitive), 0);
    } else {
        EXPECT_EQ(ed.SelStart(), 1) << "a failed search leaves the selection";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, Find,
    ::testing::Values(
        FindCase{"Plain", "a b a", "a", 0, 0, 0}, FindCase{"FromStart", "a b a", "a", 1, 0, 4},
        FindCase{"PastTheLast", "a b a", "a", 5, 0, -1},
        FindCase{"IgnoresCase", "xx A", "a", 0, 0, 3}, FindCase{"MatchCase", "xx A", "a", 0, 4, -1},
        FindCase{"WholeWordSkipsInsideWords", "cat a", "a", 0, 2, 4},
        FindCase{"WholeWordAndCase", "A cat a", "a", 0, 6, 6},
        FindCase{"AfterCrLfAndAccents",
                 QString::fromUtf8("\xc3\xa9t\xc3\xa9\r\nx\xf0\x9f\x98\x80y"), "y", 0, 0, 8},
        FindCase{"Absent", "hello", "z", 0, 0, -1}, FindCase{"EmptyNeedle", "hello", "", 0, 0, -1}),
    NameFrom<&FindCase::name>());

TEST(Lines, LineFromPositionAndLineStartAgree) {
    TxtCode ed;
    ed.SetText(QStringLiteral("one\r\ntwo\r\n\r\nlast"));
    // "one" CR LF: positions 0..4 are line 0; the LF is still line 0.
    EXPECT_EQ(ed.GetLineFromChar(0), 0);
    EXPECT_EQ(ed.GetLineFromChar(3), 0);
    EXPECT_EQ(ed.GetLineFromChar(4), 0);
    EXPECT_EQ(ed.GetLineFromChar(5), 1);
    EXPECT_EQ(ed.GetLineFromChar(10), 2);
    EXPECT_EQ(ed.GetLineFromChar(ed.TextLength()), 3);
    EXPECT_EQ(ed.LineCount(), 4);
    EXPECT_EQ(ed.LineStart(0), 0);
    EXPECT_EQ(ed.LineStart(1), 5);
    EXPECT_EQ(ed.LineStart(2), 10);
    EXPECT_EQ(ed.LineStart(3), 12);
    EXPECT_EQ(ed.LineStart(4), -1);
    EXPECT_EQ(ed.LineStart(-1), -1);
    ed.SetText(QStringLiteral("end\r\n"));
    EXPECT_EQ(ed.LineStart(1), 5) << "the empty last line starts at the very end";
}

// Positions are counted from whichever end of their line is nearer; both ways must give
// the same offsets, also for a byte inside a character (which counts as its start).
TEST(Lines, PositionsAgreeCountedFromEitherEndOfALine) {
    TxtCode ed;
    QString t = QStringLiteral("ab");
    for (int i = 0; i < 200; ++i)
        t += QString::fromUtf8("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80x");
    t += QStringLiteral("\r\nplain ascii line\r\n") + t;
    ed.SetText(t);
    const QByteArray bytes = t.toUtf8();
    int units = 0; // UTF-16 units of the whole characters before byte b
    for (qsizetype b = 0; b <= bytes.size(); ++b) {
        const bool charStart = b == bytes.size() || (uchar(bytes[b]) & 0xc0) != 0x80;
        if (charStart && b > 0) {
            qsizetype from = b - 1;
            while ((uchar(bytes[from]) & 0xc0) == 0x80)
                --from;
            units += uchar(bytes[from]) >= 0xf0 ? 2 : 1;
        }
        ASSERT_EQ(ed.toCharPos(b), units) << "byte " << b;
        if (charStart) {
            ASSERT_EQ(ed.toBytePos(units), b) << "unit " << units;
        }
    }
}

TEST(Lines, LoneCrEndsALine) {
    TxtCode ed;
    ed.SetText(QStringLiteral("<head>\r\r\n</head>"));
    EXPECT_EQ(ed.LineCount(), 3);
    EXPECT_EQ(ed.LineStart(2), 9);
}

TEST(Formats, SelColorAtTheCaretColoursWhatIsInsertedNext) {
    TxtCode ed;
    ed.SetText(QStringLiteral("ab"));
    ed.SetSelStart(2);
    ed.SetSelColor(16711680);
    ed.SetSelText(QStringLiteral("<p"));
    EXPECT_EQ(ed.formatAt(2).color, 16711680);
    EXPECT_EQ(ed.formatAt(3).color, 16711680);
    EXPECT_EQ(ed.formatAt(0).color, 0);
    // Text inserted later after the coloured text takes the colour of the character before.
    ed.SetSelText(QStringLiteral(">"));
    EXPECT_EQ(ed.formatAt(4).color, 16711680);
    ed.SetSelColor(0);
    ed.SetSelText(QStringLiteral("x"));
    EXPECT_EQ(ed.formatAt(5).color, 0);
}

TEST(Formats, TypedTextTakesThePendingColour) {
    TxtCode ed;
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    ed.setFocus();
    ed.SetSelColor(255);
    QTest::keyClicks(&ed, QStringLiteral("ab"));
    EXPECT_EQ(ed.Text(), QStringLiteral("ab"));
    EXPECT_EQ(ed.formatAt(0).color, 255);
    EXPECT_EQ(ed.formatAt(1).color, 255);
    QTest::keyClick(&ed, Qt::Key_Return);
    EXPECT_EQ(ed.Text(), QStringLiteral("ab\r\n")) << "Enter inserts CR LF";
}

TEST(Formats, TextReplacingASelectionTakesTheFormatOfItsFirstCharacter) {
    // "<b>" is blue, "word" black: whatever replaces "word" stays black, as in a rich-text
    // box; only text inserted at a caret takes the format of the character before it.
    const BgrColor blue = 16711680;
    TxtCode ed;
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    ed.setFocus();
    auto reset = [&] {
        ed.SetText(QStringLiteral("<b>word</b>"));
        ed.applyColors({{0, 3, blue}, {7, 4, blue}});
        ed.SetSelStart(3);
        ed.SetSelLength(4);
    };
    reset();
    QTest::keyClick(&ed, Qt::Key_X);
    EXPECT_EQ(ed.Text(), QStringLiteral("<b>x</b>"));
    EXPECT_EQ(ed.formatAt(3).color, 0) << "typed over the selection";
    reset();
    ed.SetSelText(QStringLiteral("yy"));
    EXPECT_EQ(ed.formatAt(3).color, 0) << "SelText over the selection";
    EXPECT_EQ(ed.formatAt(4).color, 0);
    reset();
    QGuiApplication::clipboard()->setText(QStringLiteral("zz"));
    ed.paste();
    EXPECT_EQ(ed.Text(), QStringLiteral("<b>zz</b>"));
    EXPECT_EQ(ed.formatAt(3).color, 0) << "pasted over the selection";
    // A deletion and then typing is no replacement: the typed text follows the "<b>".
    reset();
    QTest::keyClick(&ed, Qt::Key_Delete);
    QTest::keyClick(&ed, Qt::Key_Q);
    EXPECT_EQ(ed.Text(), QStringLiteral("<b>q</b>"));
    EXPECT_EQ(ed.formatAt(3).color, blue);
    // Undo brings the word back in the format of the character before it, as before.
    reset();
    QTest::keyClick(&ed, Qt::Key_X);
    ed.undo();
    EXPECT_EQ(ed.Text(), QStringLiteral("<b>word</b>"));
    EXPECT_EQ(ed.formatAt(3).color, blue);
}

TEST(Formats, DisablingTheEditorKeepsItsColours) {
    // A tool window disables the main window and so the editor: its text keeps its
    // colours (and is not restyled, which lays out every line again).
    TxtCode ed;
    ed.SetText(QStringLiteral("<p>plain</p>"));
    auto fore = [&] { return ed.SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, 0UL); };
    const long plain = fore();
    ed.setEnabled(false);
    EXPECT_EQ(fore(), plain);
    ed.setEnabled(true);
    EXPECT_EQ(fore(), plain);
    EXPECT_EQ(ed.formatAt(0).color, 0);
}

TEST(Formats, SelColorRecoloursASelectionAndSetTextDropsFormats) {
    TxtCode ed;
    ed.SetText(QString::fromUtf8("x\xc3\xa9y\xf0\x9f\x98\x80z"));
    ed.SetSelStart(1);
    ed.SetSelLength(4);
    ed.SetSelColor(32768);
    EXPECT_EQ(ed.formatAt(0).color, 0);
    EXPECT_EQ(ed.formatAt(1).color, 32768);
    EXPECT_EQ(ed.formatAt(3).color, 32768);
    EXPECT_EQ(ed.formatAt(5).color, 0);
    const RichDocument doc = ed.richDocument();
    ASSERT_EQ(doc.runs.size(), 3);
    EXPECT_EQ(doc.runs[1].start, 1);
    EXPECT_EQ(doc.runs[1].length, 4);
    ed.SetText(ed.Text());
    EXPECT_EQ(ed.formatAt(1).color, 0);
}

TEST(Formats, RichDocumentRoundTripKeepsEveryRun) {
    RichDocument doc;
    doc.text = QString::fromUtf8("<a href=\"x\">\xe2\x82\xac</a>\r\n\xf0\x9f\x98\x80 end");
    CharFormat tag;
    tag.color = 16711680;
    CharFormat mark;
    mark.highlight = 65535;
    mark.bold = true;
    doc.runs = {{0, 3, tag}, {3, 5, mark}, {8, 4, tag}};
    TxtCode ed;
    ed.setRichDocument(doc);
    const RichDocument back = ed.richDocument();
    EXPECT_EQ(back.text, doc.text);
    EXPECT_EQ(back.runs[0].length, 3);
    EXPECT_EQ(back.runs[0].format, tag);
    EXPECT_EQ(back.runs[1].format, mark);
    EXPECT_EQ(back.runs[1].start, 3);
    EXPECT_EQ(back.runs[2].format, tag);
    EXPECT_EQ(back.runs[2].length, 4);
    EXPECT_EQ(back.runs[3].format, CharFormat());
}

TEST(Formats, ApplyColorsRecoloursSpansInOrderWithoutMovingTheSelection) {
    TxtCode ed;
    ed.SetText(QStringLiteral("<a b=\"1\">t</a>"));
    ed.SetSelStart(11);
    ed.applyColors({{0, 9, 16711680}, {3, 4, 16711808}, {3, 2, 255}});
    EXPECT_EQ(ed.formatAt(0).color, 16711680);
    EXPECT_EQ(ed.formatAt(3).color, 255);
    EXPECT_EQ(ed.formatAt(4).color, 255);
    EXPECT_EQ(ed.formatAt(5).color, 16711808);
    EXPECT_EQ(ed.formatAt(8).color, 16711680);
    EXPECT_EQ(ed.formatAt(9).color, 0);
    EXPECT_EQ(ed.SelStart(), 11);
}

TEST(ModifiedFlag, FollowsEveryChangeAndIsClearedByTheProgram) {
    TxtCode ed;
    EXPECT_FALSE(ed.Modified());
    ed.SetSelText(QStringLiteral("x"));
    EXPECT_TRUE(ed.Modified());
    ed.SetModified(false);
    EXPECT_FALSE(ed.Modified());
    ed.SetSelStart(0);
    ed.SetSelLength(1);
    ed.SetSelColor(255);
    EXPECT_FALSE(ed.Modified()) << "colouring is not an edit";
    ed.SetText(QStringLiteral("y"));
    EXPECT_TRUE(ed.Modified());
    ed.SetModified(false);
    ed.SetSelStart(0);
    ed.SetSelLength(1);
    ed.SetSelText(QString());
    EXPECT_TRUE(ed.Modified());
}

TEST(Files, LoadConvertsLineEndsAndSaveWritesUtf8) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.html"));
    ASSERT_TRUE(writeBytes(path, "a\nb\rc\r\nd\xe9"));
    TxtCode ed;
    QString error;
    ASSERT_TRUE(ed.LoadFile(path, &error)) << error.toStdString();
    EXPECT_EQ(ed.Text(), QString::fromUtf8("a\r\nb\r\nc\r\nd\xc3\xa9"));
    ASSERT_TRUE(ed.SaveFile(path, &error));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("a\r\nb\r\nc\r\nd\xc3\xa9"));
}

// A load starts a fresh undo history, and edits after it are undoable again.
TEST(Files, LoadLeavesNothingToUndoAndLaterEditsUndoable) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.html"));
    ASSERT_TRUE(writeBytes(path, "<p>loaded</p>"));
    TxtCode ed;
    ed.SetText(QStringLiteral("before"));
    QString error;
    ASSERT_TRUE(ed.LoadFile(path, &error)) << error.toStdString();
    EXPECT_FALSE(ed.isUndoAvailable());
    ed.undo();
    EXPECT_EQ(ed.Text(), QStringLiteral("<p>loaded</p>"));
    ed.SetSelStart(0);
    ed.SetSelText(QStringLiteral("x"));
    ASSERT_TRUE(ed.isUndoAvailable());
    ed.undo();
    EXPECT_EQ(ed.Text(), QStringLiteral("<p>loaded</p>"));
}

// A document filled by one insertion, as a file is loaded, has room for more: typing at its
// end (up to a sixth of its size) leaves the buffer where it is instead of copying it.
TEST(Buffer, ALoadedDocumentHasRoomToGrow) {
    TxtCode ed;
    ed.SetText(QString(QStringLiteral("<p>a line of text</p>\r\n")).repeated(40000));
    const auto buffer = [&ed] {
        return ed.SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER);
    };
    const auto before = buffer();
    ed.SetSelStart(ed.TextLength());
    for (int i = 0; i < 100; ++i)
        ed.SetSelText(QStringLiteral("more text "));
    EXPECT_EQ(buffer(), before);
}

// The caret that jumps far from where the buffer's gap is takes the gap with it once the
// editor is idle, so that the first key there moves nothing.
TEST(Buffer, TheGapFollowsAFarCaretWhenIdle) {
    TxtCode ed;
    ed.SetText(QString(QStringLiteral("<p>a line of text</p>\r\n")).repeated(200000));
    const auto gap = [&ed] { return ed.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION); };
    for (double at : {0.0, 0.7, 0.2, 1.0}) {
        ed.SetSelStart(int(ed.TextLength() * at));
        const long caret = ed.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        EXPECT_TRUE(waitUntil([&] { return gap() == caret; })) << "caret at " << at;
    }
    // A near caret leaves it alone.
    const long far = gap();
    ed.SetSelStart(ed.TextLength() - 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(gap(), far);
}

// Insertions larger than the room left, at the start, inside and at the end, with the gap
// moved between them: the buffer grows where its gap is and keeps every byte.
TEST(Buffer, GrowingKeepsTheText) {
    TxtCode ed;
    QString model = QString(QStringLiteral("<td>cell \xe9</td>")).repeated(60000);
    ed.SetText(model);
    QRandomGenerator random(3);
    for (int i = 0; i < 24; ++i) {
        const int at = random.bounded(int(model.size()) + 1);
        const QString chunk = QString(QChar(u'a' + i)).repeated(random.bounded(1, 400000));
        ed.SetSelStart(at);
        if (i % 2)
            QCoreApplication::processEvents();
        ed.SetSelText(chunk);
        model.insert(at, chunk);
        if (i % 3 == 0) {
            const int from = random.bounded(int(model.size()));
            const int length = random.bounded(std::min(300000, int(model.size()) - from));
            ed.SetSelStart(from);
            ed.SetSelLength(length);
            ed.SetSelText(QString());
            model.remove(from, length);
        }
    }
    ASSERT_EQ(ed.TextLength(), model.size());
    EXPECT_TRUE(ed.Text() == model);
}

// A file goes into the buffer in pieces as it is decoded: the editor ends up with what
// the whole decoded text gives, in every form, with pieces cut inside nothing (the
// texts are over a megabyte, a piece's size, and shifted so that a piece ends at each
// place of the repeated part).
TEST(Files, LoadInPiecesHoldsWhatTheWholeTextGives) {
    struct Case {
        const char* what;
        QByteArray unit; // repeated
        QByteArray mark;
    } cases[] = {
        {"UTF-8, LF", "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\n", {}},
        {"UTF-8, mixed breaks", "<p>\r\n\r\n\r\xc3\xa9", "\xef\xbb\xbf"},
        {"stray bytes", "\xc3\xa9\xc3\xa8\xc3\xa0 caf\xe9\r\n", {}},
        {"Windows-1252", "caf\xe9 \x80\r\n", {}},
        {"UTF-16", QByteArray("a\0\x3d\xd8\x00\xde\r\0\n\0", 10), "\xff\xfe"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        for (int shift = 0; shift < 3; ++shift) {
            SCOPED_TRACE(testing::Message() << c.what << ", shifted by " << shift);
            QByteArray bytes = c.mark + QByteArray(shift * 2, 'x');
            while (bytes.size() < (1 << 20) + 5000)
                bytes += c.unit;
            const QString path = dir.filePath(QStringLiteral("page.html"));
            ASSERT_TRUE(writeBytes(path, bytes));
            TxtCode whole, pieces;
            whole.setLoadedFile(readDocumentFile(path));
            // A coloured document before: the loaded text has the plain format.
            pieces.SetText(QStringLiteral("<b>old</b>"));
            pieces.applyColors({{0, 3, 255}});
            FileState state;
            QString error;
            ASSERT_TRUE(pieces.LoadFile(path, &error, &state)) << error.toStdString();
            EXPECT_TRUE(pieces.editorBytes() == whole.editorBytes());
            EXPECT_EQ(pieces.keepsStrayBytes(), whole.keepsStrayBytes());
            EXPECT_EQ(pieces.TextLength(), whole.TextLength());
            EXPECT_EQ(pieces.LineCount(), whole.LineCount());
            EXPECT_EQ(pieces.formatAt(0).color, 0);
            EXPECT_EQ(pieces.formatAt(2).color, 0);
            EXPECT_EQ(pieces.SelStart(), 0);
            EXPECT_FALSE(pieces.isUndoAvailable());
        }
    }
}

// The style bytes are held only once something is coloured: colours set then, and the
// edits, undos and redos after, keep every character's format where it was. Formats
// are written one letter a character: b blue, g green, . plain.
TEST(Formats, ColoursAndEditsOfADocumentNeverColouredBefore) {
    TxtCode ed;
    ed.SetText(QStringLiteral("<p>one</p>\r\n<p>two</p>"));
    ed.SetSelStart(3);
    ed.SetSelText(QStringLiteral("zero "));
    auto formats = [&] {
        QString f;
        for (int i = 0; i < ed.TextLength(); ++i) {
            const BgrColor c = ed.formatAt(i).color;
            f += c == 255 ? u'b' : c == 65280 ? u'g' : c == 0 ? u'.' : u'?';
        }
        return f;
    };
    EXPECT_EQ(formats(), QString(27, u'.'));
    ed.applyColors({{0, 3, 255}, {17, 3, 65280}});
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* formats;
    } steps[] = {
        {"colours set", [] {},
         "bbb.............."
         "ggg......."},
        // Text inserted at the start has no character before it to take a format from.
        {"insert before a colour", [&] { ed.SetSelStart(0), ed.SetSelText(QStringLiteral("ab")); },
         "..bbb.............."
         "ggg......."},
        {"delete across a colour",
         [&] { ed.SetSelStart(1), ed.SetSelLength(3), ed.SetSelText(QString()); },
         ".b.............."
         "ggg......."},
        // Undo puts text back in the format of the character before it.
        {"undo", [&] { ed.undo(); },
         "....b.............."
         "ggg......."},
        {"undo again", [&] { ed.undo(); },
         "..b.............."
         "ggg......."},
        {"redo", [&] { ed.redo(); },
         "....b.............."
         "ggg......."},
        {"delete the green", [&] { ed.SetSelStart(19), ed.SetSelLength(3), ed.SetSelText({}); },
         "....b.............."
         "......."},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(formats(), QString::fromLatin1(step.formats)) << step.what;
    }
}

// Styles set from an array (as colouring does) into styles kept as runs: stretches
// already in their style are passed over, a stretch of one style goes in at once. What is
// read back is what was set, byte for byte, and the change told covers every byte that
// changed. Styles are written one digit a byte; "many" is a run count past which the
// styles move to bytes in the middle of the setting.
TEST(Formats, StylesSetFromAnArrayIntoRuns) {
    struct Case {
        const char* name;
        int start;
        QByteArray before; // set at 0 first
        QByteArray styles; // then set at start
    };
    QByteArray alternate;
    for (int i = 0; i < 6000; ++i)
        alternate += char('1' + i % 3);
    const Case cases[] = {
        {"the same again", 0, "0011122200", "0011122200"},
        {"one stretch over runs", 2, "0011122200", "3333333"},
        {"a change inside a run", 0, "1111111111", "1111211111"},
        {"stretches ending where runs do", 0, "0011223300", "1122330011"},
        {"from the middle to the end", 5, "0000000000", "12"},
        {"one byte alone", 9, "0123012301", "3"},
        {"back to one style", 0, "0123012301", "0000000000"},
        {"many runs at once", 0, QByteArray(6000, '0'), alternate},
        {"many runs, then one stretch", 0, alternate, QByteArray(3000, '2') + alternate.left(3000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TxtCode ed;
        ed.SetText(QString(c.before.size(), u'x'));
        auto set = [&](int start, QByteArray styles) {
            for (char& b : styles)
                b = char(b - '0');
            ed.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, (unsigned long)start, 0L);
            ed.SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, (uintptr_t)styles.size(),
                             styles.constData());
        };
        auto read = [&] {
            QByteArray b;
            for (int i = 0; i < c.before.size(); ++i)
                b += char('0' + ed.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, i));
            return b;
        };
        set(0, c.before);
        ASSERT_EQ(read(), c.before);
        int first = INT_MAX, last = -1;
        QObject::connect(&ed, &QsciScintillaBase::SCN_MODIFIED,
                         [&](int position, int type, const char*, int length) {
                             if (type & QsciScintillaBase::SC_MOD_CHANGESTYLE) {
                                 first = qMin(first, position);
                                 last = qMax(last, position + length - 1);
                             }
                         });
        set(c.start, c.styles);
        QByteArray want = c.before;
        want.replace(c.start, c.styles.size(), c.styles);
        EXPECT_EQ(read(), want);
        for (int i = 0; i < want.size(); ++i) {
            if (want[i] != c.before[i]) {
                EXPECT_LE(first, i) << "a change at " << i << " not told";
                EXPECT_GE(last, i) << "a change at " << i << " not told";
            }
        }
        if (want == c.before)
            EXPECT_EQ(last, -1) << "nothing changed, nothing told";
    }
}

// Colours on every few characters (as Highlight Syntax leaves them) are too many runs to
// keep: the styles move to a byte for each byte of text, and edits, undo and redo keep
// each character's format there too, before the move and after it.
TEST(Formats, ManyColoursAndEditsAroundThem) {
    TxtCode ed;
    ed.SetText(QStringLiteral("<a>").repeated(2000));
    auto formats = [&] {
        QString f;
        for (int i = 0; i < ed.TextLength(); ++i)
            f += QChar(u'0' + int(ed.formatAt(i).color % 7));
        return f;
    };
    QVector<ColorSpan> spans;
    QString model(6000, u'0');
    for (int i = 0; i < 6000; i += 3) {
        spans.append({i, 1, BgrColor(1 + i % 5)});
        model[i] = QChar(u'0' + 1 + i % 5);
    }
    // First a few colours (kept as runs), then all of them.
    ed.applyColors(spans.mid(0, 10));
    EXPECT_EQ(formats().left(30), model.left(30));
    EXPECT_EQ(formats().mid(30), QString(5970, u'0'));
    ed.applyColors(spans);
    ASSERT_EQ(formats(), model);
    // Text inserted at a caret takes the format of the character before it; text put
    // back by undo does too.
    ed.SetSelStart(10);
    ed.SetSelText(QStringLiteral("xy"));
    model.insert(10, QString(2, model[9]));
    EXPECT_EQ(formats(), model) << "insert";
    ed.SetSelStart(20);
    ed.SetSelLength(5);
    ed.SetSelText(QString());
    const QString beforeDelete = model;
    model.remove(20, 5);
    EXPECT_EQ(formats(), model) << "delete";
    ed.undo();
    model.insert(20, QString(5, model[19]));
    EXPECT_EQ(formats(), model) << "undo";
    ed.redo();
    model.remove(20, 5);
    EXPECT_EQ(formats(), model) << "redo";
    EXPECT_EQ(ed.TextLength(), beforeDelete.size() - 5);
}

TEST(Files, AFailedLoadKeepsTheDocument) {
    TxtCode ed;
    ed.SetText(QStringLiteral("keep me"));
    QString error;
    EXPECT_FALSE(ed.LoadFile(QStringLiteral("/nonexistent/dir/file.html"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ed.Text(), QStringLiteral("keep me"));
}

TEST(TextRtf, WritingPlainTextReloadsItWithDefaultFormats) {
    TxtCode ed;
    ed.SetText(QStringLiteral("<p>x</p>"));
    ed.SetSelStart(0);
    ed.SetSelLength(3);
    ed.SetSelColor(16711680);
    ed.SetTextRTF(ed.Text());
    EXPECT_EQ(ed.Text(), QStringLiteral("<p>x</p>"));
    EXPECT_EQ(ed.formatAt(0).color, 0);
    EXPECT_TRUE(ed.TextRTF().startsWith(QStringLiteral("{\\rtf")));
}

TEST(TextRtf, OddCharactersComeBackAndAHalfPairIsAReplacementCharacter) {
    // Written as RTF and read back: NUL, lone CR and LF, a leading U+FEFF, noncharacters,
    // separators, a stand-in, a pair, the highlighter's marker characters.
    const QString odd = QStringView(u"\uFEFFa\r\n\rb\nc\uFFFE\uFFFF\uFDD0\u2028\u2029\uEF80"
                                    u"\U0001F600\u009D\u0081{}\\'9d")
                            .toString() +
                        QChar(0) + QStringLiteral("z");
    TxtCode ed;
    ed.SetText(odd);
    ASSERT_EQ(ed.Text(), odd);
    ed.SetTextRTF(ed.TextRTF());
    EXPECT_EQ(ed.Text(), odd);
    // A \u of half a pair cannot be UTF-8: it reads as U+FFFD, one unit as it was, so the
    // formats after it stay on their characters.
    ed.SetTextRTF(QStringLiteral("{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}"
                                 "a\\u-10179?b{\\cf1 c}\\u-8704?}"));
    EXPECT_EQ(ed.Text(), QStringView(u"a\uFFFDbc\uFFFD").toString());
    EXPECT_EQ(ed.formatAt(3).color, 255);
    EXPECT_EQ(ed.formatAt(2).color, 0);
}

TEST(Properties, AreReachableByTheirNames) {
    TxtCode ed;
    ed.setProperty("Text", QStringLiteral("abc"));
    ed.setProperty("SelStart", 1);
    ed.setProperty("SelLength", 1);
    EXPECT_EQ(ed.property("SelText").toString(), QStringLiteral("b"));
    ed.setProperty("SelText", QStringLiteral("XY"));
    EXPECT_EQ(ed.property("Text").toString(), QStringLiteral("aXYc"));
    EXPECT_TRUE(ed.property("TextRTF").toString().startsWith(QStringLiteral("{\\rtf")));
}

TEST(Keys, AltBackspaceIsLeftToTheMenus) {
    TxtCode ed;
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    ed.setFocus();
    QTest::keyClicks(&ed, QStringLiteral("abc"));
    QTest::keyClick(&ed, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(ed.Text(), QStringLiteral("abc")) << "Alt+Backspace must not undo in the editor";
    // Nor may the editor claim it ahead of the window's shortcuts.
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Backspace, Qt::AltModifier);
    QApplication::sendEvent(&ed, &override);
    EXPECT_FALSE(override.isAccepted());
}

// Where each character of a line is drawn, as Scintilla reports it: the x of every byte
// position of the first line, in a shown editor holding `doc`.
QVector<long> glyphPositions(const RichDocument& doc, bool tables) {
    QsciSetSimpleTextMeasuring(tables);
    TxtCode ed;
    ed.resize(800, 200);
    ed.setRichDocument(doc);
    ed.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&ed));
    QVector<long> xs;
    const long end = ed.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, 0UL);
    for (long p = 0; p <= end; ++p)
        xs << ed.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, p);
    QsciSetSimpleTextMeasuring(true);
    return xs;
}

// A text for the measuring table: a fixed start and `count` characters drawn from an
// alphabet.
struct MeasuredText {
    const char* name;
    const char* start;    // UTF-8
    const char* alphabet; // UTF-8; drawn from character by character
    int count;
};

void PrintTo(const MeasuredText& t, std::ostream* os) {
    *os << t.name;
}

class Measuring : public ::testing::TestWithParam<MeasuredText> {};

TEST_P(Measuring, TheTablesPlaceEveryGlyphWhereShapingDoes) {
    // The text in the editor's font, bold, italic and another size, so that Scintilla cuts
    // it into segments at every change of style as well as along long runs.
    const MeasuredText& t = GetParam();
    QString text = QString::fromUtf8(t.start);
    const QVector<uint> alphabet = QString::fromUtf8(t.alphabet).toUcs4();
    QRandomGenerator random(42);
    for (int i = 0; i < t.count; ++i) {
        const char32_t c = alphabet[random.bounded(int(alphabet.size()))];
        text += QString::fromUcs4(&c, 1);
    }
    RichDocument doc;
    doc.text = text;
    CharFormat bold, italic, large;
    bold.bold = true;
    italic.italic = true;
    large.size = 14;
    large.color = 255;
    doc.runs = {{0, 40, CharFormat()}, {40, 700, bold}, {740, 900, italic}, {1640, 400, large}};
    const QVector<long> shaped = glyphPositions(doc, false);
    const QVector<long> fromTables = glyphPositions(doc, true);
    ASSERT_EQ(shaped.size(), fromTables.size());
    ASSERT_GT(shaped.size(), t.count);
    for (int p = 0; p < shaped.size(); ++p)
        ASSERT_EQ(fromTables[p], shaped[p]) << "byte position " << p;
}

// Latin, accents, CJK, Arabic, emoji, tabs and control characters shown as blobs, then
// long runs of ASCII markup; then text of many scripts mixed character by character, where
// spaces, digits and punctuation take the script (and the font) of the text before them;
// then a few such characters in many contexts, so that the tables learnt from one context
// serve others; then the same with characters that QTextLayout draws by context, whose
// segments are shaped: right-to-left text, combining marks, emoji sequences and flags.
const MeasuredText kMeasuredTexts[] = {
    {"AsciiMarkup",
     "<p class=\"x\">Caf\xc3\xa9 \xe2\x82\xac 5 \xe4\xb8\xad\xe6\x96\x87 "
     "\xd8\xa7\xd9\x84\xd8\xb9\xd8\xb1\xd8\xa8\xd9\x8a\xd8\xa9 \xf0\x9f\x98\x80\tTab\x01\x1b "
     "fi fl ffi AV To Wa yo LT Ty -- office <a href='x.html'>link</a></p>",
     "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 <>=\"'/.,;:-_!?()[]{}&#%",
     3000},
    {"MixedScripts",
     "<span>h\xc3\xa9llo w\xc3\xb6rld \xf0\x9f\x98\x80 \xcf\x89 \xe2\x82\xac "
     "\xe4\xb8\xad\xe6\x96\x87 </span>",
     "abcdefghijklmnopqrstuvwxyzAVTWY0123456789 <>=\"'/.,;:-!?()&  "
     "\xc3\xa9\xc3\xb6\xc3\xa6\xc3\x9f\xc5\x93\xc5\x82 "
     "\xce\xb1\xce\xb2\xce\xb3\xce\x95\xce\xbb\xcf\x89 "
     "\xd0\x94\xd0\xb6\xd0\xb8\xd0\xb9\xd0\xbf\xd1\x80 "
     "\xe4\xb8\xad\xe6\x96\x87\xe6\x97\xa5\xe6\x9c\xac "
     "\xe3\x81\xae\xe3\x81\x82\xe3\x82\xab\xe3\x83\x8a \xed\x95\x9c\xea\xb5\xad "
     "\xe2\x82\xac\xe2\x80\xa6\xe2\x80\x94\xc2\xab\xc2\xbb\xe2\x80\x9c\xe2\x80\x9d\xc2\xa9\xc2\xbd"
     "\xc3\x97 "
     "\xe3\x80\x82\xe3\x80\x81\xef\xbc\x81\xef\xbc\xa1 "
     "\xf0\x9f\x98\x80\xf0\x9f\x8e\x89\xe2\x9c\x93",
     3000},
    {"FewCharactersInManyContexts", "",
     "ab AV 1,.\xe4\xb8\xad\xe6\x96\x87 \xe3\x81\xb2 \xce\xb1 \xd0\xb4 \xe2\x82\xac "
     "\xf0\x9f\x98\x80 \xc2\xab",
     5000},
    {"ShapedByContext",
     "\xd8\xa7\xd9\x84\xd8\xb9\xd8\xb1\xd8\xa8\xd9\x8a\xd8\xa9 "
     "\xd7\xa2\xd7\x91\xd7\xa8\xd7\x99\xd7\xaa "
     "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd \xf0\x9f\x87\xab\xf0\x9f\x87\xb7 \xe2\x9d\xa4\xef\xb8\x8f "
     "\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9 ",
     "abcdefghijklmnopqrstuvwxyz abcdefghijklmnopqrstuvwxyz     0123 .,;\xe2\x82\xac "
     "\xc3\xa9\xc3\xb6 "
     "\xce\xb1\xce\xb2 \xe4\xb8\xad\xe6\x96\x87 \xd8\xa8\xd9\x8a\xd8\xb9 \xd7\x90\xd7\x91 "
     "\xcc\x81\xef\xb8\x8f"
     "\xef\xac\x81",
     3000},
};

INSTANTIATE_TEST_SUITE_P(Texts, Measuring, ::testing::ValuesIn(kMeasuredTexts),
                         [](const auto& info) { return std::string(info.param.name); });

// The x of the byte positions of a line from `from` to `to` (all by default), as the editor
// has laid it out.
QVector<long> lineXs(TxtCode& ed, int line, long from = 0, long to = -1) {
    const long start =
        ed.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)line);
    const long end =
        ed.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, (unsigned long)line);
    QVector<long> xs;
    for (long p = start + from; p <= (to < 0 ? end : std::min(end, start + to)); ++p)
        xs << ed.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, p);
    return xs;
}

// The layouts the editor keeps are dropped: the next query lays each line out afresh.
void dropLayouts(TxtCode& ed) {
    ed.SendScintilla(QsciScintillaBase::SCI_SETLAYOUTCACHE,
                     (unsigned long)QsciScintillaBase::SC_CACHE_NONE);
    ed.SendScintilla(QsciScintillaBase::SCI_SETLAYOUTCACHE,
                     (unsigned long)QsciScintillaBase::SC_CACHE_PAGE);
}

// Where the sublines of a wrapped line start (all but the first), in bytes from the line's
// start, as the editor has wrapped it: the positions shown below the one before them.
QVector<long> wrapStarts(TxtCode& ed, int line) {
    const long start =
        ed.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)line);
    const long end =
        ed.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, (unsigned long)line);
    QVector<long> starts;
    long yBefore = ed.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, start);
    for (long p = start + 1; p <= end; ++p) {
        const long y = ed.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, p);
        if (y > yBefore)
            starts << p - start;
        yBefore = y;
    }
    return starts;
}

// How the editor shows a line: where its sublines start, how many it counts, and the x
// of every byte.
struct ShownLine {
    QVector<long> wrapStarts;
    long wrapCount;
    QVector<long> xs;
};

ShownLine shownLine(TxtCode& ed, int line) {
    return {wrapStarts(ed, line),
            ed.SendScintilla(QsciScintillaBase::SCI_WRAPCOUNT, (unsigned long)line),
            lineXs(ed, line)};
}

// A line shown from the layout the editor kept up to date is shown as a fresh layout shows
// it (then kept as the editor's).
void expectShownAsAfresh(TxtCode& ed, int line, const char* when, int minimumSublines) {
    const ShownLine kept = shownLine(ed, line);
    dropLayouts(ed);
    const ShownLine fresh = shownLine(ed, line);
    ASSERT_EQ(kept.xs.size(), fresh.xs.size()) << when;
    ASSERT_GT(fresh.xs.size(), 5000) << when;
    ASSERT_GE(fresh.wrapStarts.size() + 1, minimumSublines) << when;
    ASSERT_EQ(kept.wrapStarts, fresh.wrapStarts) << when;
    ASSERT_EQ(kept.wrapCount, fresh.wrapStarts.size() + 1) << when;
    for (int p = 0; p < fresh.xs.size(); ++p)
        ASSERT_EQ(kept.xs[p], fresh.xs[p]) << when << ", byte " << p << " of the line";
}

// An edit of a long line, and the line it leaves the long line on.
struct LongLineEdit {
    const char* name;
    std::function<void(TxtCode&)> edit;
    int line; // of the long line after the edit
};

void PrintTo(const LongLineEdit& e, std::ostream* os) {
    *os << e.name;
}

class LongLineLayout : public ::testing::TestWithParam<LongLineEdit> {};

// A page whose second line is long (9000 characters of markup and mixed scripts, with runs
// of colour), in the editor, shown, with the focus; word wrap as `wrapMode` says.
void loadLongLine(TxtCode& ed, long wrapMode) {
    QString line = QStringLiteral("<html>\r\n");
    QRandomGenerator random(7);
    const QStringList words = {QStringLiteral("<p class=\"note\">"),
                               QStringLiteral("</p>"),
                               QStringLiteral("hello"),
                               QStringLiteral("AVAT"),
                               QString::fromUtf8("h\xc3\xa9llo"),
                               QString::fromUtf8("\xe4\xb8\xad\xe6\x96\x87"),
                               QString::fromUtf8("\xf0\x9f\x98\x80"),
                               QStringLiteral("<b>bold</b>"),
                               QStringLiteral("x=\"1\";"),
                               QStringLiteral("word")};
    while (line.size() < 9000)
        line += words[random.bounded(int(words.size()))] + QLatin1Char(' ');
    line += QStringLiteral("\r\n</html>");
    ed.resize(800, 300);
    ed.SetText(line);
    ed.SendScintilla(QsciScintillaBase::SCI_SETLAYOUTCACHE,
                     (unsigned long)QsciScintillaBase::SC_CACHE_PAGE);
    ed.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE, (unsigned long)wrapMode);
    // Colours in the long line, so that it holds runs of several styles.
    for (int at = 200; at < 8000; at += 1300) {
        ed.SetSelStart(at);
        ed.SetSelLength(150);
        ed.SetSelColor(255);
    }
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    ed.setFocus();
    lineXs(ed, 1);
}

// A long line is laid out again only where it changed: after each edit its glyphs stand
// where a layout made afresh puts them.
TEST_P(LongLineLayout, EditsPlaceGlyphsAsAFreshLayoutDoes) {
    TxtCode ed;
    loadLongLine(ed, QsciScintillaBase::SC_WRAP_NONE);
    if (HasFatalFailure())
        return;
    GetParam().edit(ed);
    QCoreApplication::processEvents();
    ed.viewport()->repaint();
    const QVector<long> laidOut = lineXs(ed, GetParam().line);
    dropLayouts(ed);
    const QVector<long> fresh = lineXs(ed, GetParam().line);
    ASSERT_EQ(laidOut.size(), fresh.size());
    ASSERT_GT(fresh.size(), 8000);
    for (int p = 0; p < fresh.size(); ++p)
        ASSERT_EQ(laidOut[p], fresh[p]) << "byte " << p << " of the line";
}

// The same edits with word wrap on: the line is wrapped again only from where it changed,
// and its sublines start where a fresh layout's wrap starts them (and count as many).
TEST_P(LongLineLayout, EditsWrapAsAFreshWrapDoes) {
    TxtCode ed;
    loadLongLine(ed, QsciScintillaBase::SC_WRAP_WORD);
    if (HasFatalFailure())
        return;
    GetParam().edit(ed);
    QCoreApplication::processEvents();
    ed.viewport()->repaint();
    expectShownAsAfresh(ed, GetParam().line, GetParam().name, 40);
}

// Typing one key after another, each laid out and painted before the next.
void typeKeys(TxtCode& ed, int at, const QString& keys) {
    ed.SetSelStart(at);
    for (QChar c : keys) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&ed, &press);
        QCoreApplication::processEvents();
        ed.viewport()->repaint();
    }
}

void pressKey(TxtCode& ed, int at, Qt::Key key, int times) {
    ed.SetSelStart(at);
    for (int i = 0; i < times; ++i) {
        QTest::keyClick(&ed, key);
        QCoreApplication::processEvents();
        ed.viewport()->repaint();
    }
}

const LongLineEdit kLongLineEdits[] = {
    {"TypingAtTheStart", [](TxtCode& ed) { typeKeys(ed, 8, QStringLiteral("<i>new</i> ")); }, 1},
    {"TypingInTheMiddle",
     [](TxtCode& ed) { typeKeys(ed, 4000, QString::fromUtf8("ab c\xc3\xa9 \xe4\xb8\xad")); }, 1},
    {"TypingAtTheEnd",
     [](TxtCode& ed) { typeKeys(ed, ed.LineStart(2) - 2, QStringLiteral("end of it")); }, 1},
    {"TypingIntoAColouredRun", [](TxtCode& ed) { typeKeys(ed, 2860, QStringLiteral("red")); }, 1},
    {"Backspace", [](TxtCode& ed) { pressKey(ed, 5000, Qt::Key_Backspace, 12); }, 1},
    {"Delete", [](TxtCode& ed) { pressKey(ed, 3000, Qt::Key_Delete, 12); }, 1},
    {"PastingABlock",
     [](TxtCode& ed) {
         ed.SetSelStart(4500);
         ed.SetSelText(QString(QStringLiteral("<td>cell</td> ")).repeated(60));
     },
     1},
    {"ReplacingASelection",
     [](TxtCode& ed) {
         ed.SetSelStart(2000);
         ed.SetSelLength(900);
         ed.SetSelText(QString::fromUtf8("\xcf\x89\xcf\x89 short"));
     },
     1},
    {"ColouringARange",
     [](TxtCode& ed) {
         ed.SetSelStart(3333);
         ed.SetSelLength(777);
         ed.SetSelColor(16711680);
     },
     1},
    {"BoldingAStyleInTheLine",
     [](TxtCode& ed) {
         // The style of a coloured run gets another weight: the text in it moves.
         ed.SetSelStart(250);
         const long style = ed.SendScintilla(
             QsciScintillaBase::SCI_GETSTYLEAT,
             (unsigned long)ed.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
         ed.SendScintilla(QsciScintillaBase::SCI_STYLESETBOLD, (unsigned long)style, 1L);
     },
     1},
    {"ChangingTheFont", [](TxtCode& ed) { ed.SetFont(QFont(QStringLiteral("DejaVu Sans"), 11)); },
     1},
    {"ATabBeforeTheRest",
     [](TxtCode& ed) {
         ed.SetSelStart(6000);
         ed.SetSelText(QStringLiteral("\tx\t"));
         ed.SetSelStart(700);
         ed.SetSelText(QStringLiteral("wider"));
     },
     1},
    {"UndoAndRedo",
     [](TxtCode& ed) {
         typeKeys(ed, 1234, QStringLiteral("undo me"));
         ed.undo();
         ed.redo();
         ed.undo();
     },
     1},
    {"ALineBreakAndItsUndo",
     [](TxtCode& ed) {
         ed.SetSelStart(5000);
         ed.SetSelText(QStringLiteral("\r\n"));
         ed.viewport()->repaint();
         ed.undo();
     },
     1},
    {"ALineAddedAbove",
     [](TxtCode& ed) {
         ed.SetSelStart(0);
         ed.SetSelText(QStringLiteral("<!DOCTYPE html>\r\n"));
         typeKeys(ed, ed.LineStart(2) + 10, QStringLiteral("after"));
     },
     2},
    {"ALineRemovedForOneOfTheSameLength",
     [](TxtCode& ed) {
         // The last line gets the long line's length in other text, and is laid out too;
         // then the long line goes, and the other takes its number.
         const long bytes = ed.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, 1UL) -
                            ed.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 1UL);
         ed.SetSelStart(ed.LineStart(2));
         ed.SetSelLength(ed.TextLength() - ed.LineStart(2));
         ed.SetSelText(QString(QStringLiteral("WAVY word ")).repeated(bytes / 10 + 1).left(bytes));
         ed.viewport()->repaint();
         ed.SetSelStart(ed.LineStart(1));
         ed.SetSelLength(ed.LineStart(2) - ed.LineStart(1));
         ed.SetSelText(QString());
         ed.SetSelStart(0);
     },
     1},
    {"WrapSwitchedBetweenKeys",
     [](TxtCode& ed) {
         // Word wrap switched the other way and back, keys typed in between.
         const unsigned long mode = ed.SendScintilla(QsciScintillaBase::SCI_GETWRAPMODE);
         const unsigned long other = mode == QsciScintillaBase::SC_WRAP_NONE
                                         ? QsciScintillaBase::SC_WRAP_WORD
                                         : QsciScintillaBase::SC_WRAP_NONE;
         typeKeys(ed, 2500, QStringLiteral("one"));
         ed.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE, other);
         typeKeys(ed, 6000, QStringLiteral("two"));
         ed.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE, mode);
         typeKeys(ed, 7000, QStringLiteral("three"));
     },
     1},
    {"AMarginWidenedAndNarrowedBetweenKeys",
     [](TxtCode& ed) {
         // The text moves as a whole and, wrapped, breaks at its new width.
         typeKeys(ed, 3500, QStringLiteral("ab"));
         ed.setMarginWidth(0, 90);
         typeKeys(ed, 5200, QStringLiteral("cd"));
         ed.setMarginWidth(0, 0);
         typeKeys(ed, 6100, QStringLiteral("ef"));
         ed.setMarginWidth(0, 130);
     },
     1},
    {"AWordPastedAtEachSublineStart",
     [](TxtCode& ed) {
         // Words that push the rest across breaks, typed at the start of sublines and
         // deleted again: later sublines move, then come back.
         for (int at = 1200; at < 8000; at += 1700) {
             typeKeys(ed, at, QStringLiteral("pushed "));
             pressKey(ed, at + 7, Qt::Key_Backspace, 3);
         }
     },
     1},
    {"TheLineAboveEdited",
     [](TxtCode& ed) {
         typeKeys(ed, 2, QStringLiteral("above"));
         typeKeys(ed, ed.LineStart(1) + 300, QStringLiteral("below"));
     },
     1},
    {"ColouringMostOfTheLineThenTyping",
     [](TxtCode& ed) {
         // Most of the line changes (as under Highlight Syntax): laid out in full, and the
         // keys after it again from their changes.
         ed.SetSelStart(ed.LineStart(1) + 100);
         ed.SetSelLength(8500);
         ed.SetSelColor(32768);
         ed.viewport()->repaint();
         typeKeys(ed, 4321, QString::fromUtf8("k\xc3\xa9y"));
     },
     1},
    {"KeysAlternatelyAtTheStartAndTheEnd",
     [](TxtCode& ed) {
         // Each key far from the one before: what moved with the text after one change
         // is brought back across the whole line by the next.
         for (int i = 0; i < 4; ++i) {
             typeKeys(ed, ed.LineStart(1) + 3 + i, QStringLiteral("a"));
             typeKeys(ed, ed.LineStart(2) - 4, QString::fromUtf8("\xc3\xa9"));
             pressKey(ed, ed.LineStart(1) + 5, Qt::Key_Delete, 1);
         }
     },
     1},
    {"ADeletionAcrossTheLastChange",
     [](TxtCode& ed) {
         // Keys typed, then a range deleted from before them to well after them, then keys
         // just before where it was.
         typeKeys(ed, 3000, QStringLiteral("abcdef"));
         ed.viewport()->repaint();
         ed.SetSelStart(2950);
         ed.SetSelLength(700);
         ed.SetSelText(QString());
         typeKeys(ed, 2940, QStringLiteral("xy"));
         pressKey(ed, 2945, Qt::Key_Backspace, 4);
     },
     1},
    {"KeysBeforeTabs",
     [](TxtCode& ed) {
         // Tabs after the change, some far apart: the x after each follows the tab stop,
         // typed and deleted again so the move after them comes and goes.
         ed.SetSelStart(5000);
         ed.SetSelText(QStringLiteral("\t"));
         ed.SetSelStart(5006);
         ed.SetSelText(QStringLiteral("a\tb\t"));
         ed.SetSelStart(7500);
         ed.SetSelText(QStringLiteral("\t"));
         ed.viewport()->repaint();
         typeKeys(ed, 1500, QStringLiteral("wide W"));
         pressKey(ed, 1506, Qt::Key_Backspace, 3);
         typeKeys(ed, 5003, QStringLiteral("mm"));
         typeKeys(ed, 8, QStringLiteral("i"));
     },
     1},
    {"UndoOfKeysAtTheStartAfterKeysAtTheEnd",
     [](TxtCode& ed) {
         typeKeys(ed, ed.LineStart(2) - 3, QStringLiteral("end"));
         typeKeys(ed, 9, QStringLiteral("start"));
         ed.undo();
         ed.viewport()->repaint();
         ed.undo();
         ed.viewport()->repaint();
         ed.redo();
     },
     1},
    {"ALargeChangeInALongerLineThenTyping",
     [](TxtCode& ed) {
         // The line grows to hundreds of kilobytes; a change of a fifth of it is laid out
         // from its changes with more scratch space than is kept, and the keys after it
         // lay out again with a fresh one.
         ed.SetSelStart(ed.LineStart(2) - 2);
         ed.SetSelText(QString(QStringLiteral("<td class=\"c\">AVAT cell</td> ")).repeated(7000));
         ed.viewport()->repaint();
         ed.SetSelStart(ed.LineStart(1) + 3000);
         ed.SetSelText(QString(QStringLiteral("<b>WAVY</b> ")).repeated(6000));
         ed.viewport()->repaint();
         typeKeys(ed, ed.LineStart(1) + 150000, QStringLiteral("ab"));
     },
     1},
};

INSTANTIATE_TEST_SUITE_P(Edits, LongLineLayout, ::testing::ValuesIn(kLongLineEdits),
                         [](const auto& info) { return std::string(info.param.name); });

// The parts of a widget painted while events are processed.
class PaintedRegion : public QObject {
public:
    explicit PaintedRegion(QWidget* w) : widget_(w) { w->installEventFilter(this); }
    QRegion region;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == widget_ && e->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(e)->region();
        return false;
    }

private:
    QWidget* widget_;
};

// With word wrap on, the widest line laid out grows as a long line at the top grows, but
// the horizontal scroll bar it would size is hidden: a key repaints the lines it changed,
// not the short lines under them.
TEST(WrappedLines, AKeyRepaintsTheLineItChangesNotTheLinesBelow) {
    TxtCode ed;
    ed.resize(600, 600);
    QString text = QString(QStringLiteral("a wrapped line ")).repeated(60);
    for (int i = 0; i < 60; ++i)
        text += QStringLiteral("\r\nshort %1").arg(i);
    ed.SetText(text);
    ed.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE,
                     (unsigned long)QsciScintillaBase::SC_WRAP_WORD);
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    ed.setFocus();
    ed.SetSelStart(ed.LineStart(1) - 2);
    QCoreApplication::processEvents();
    ASSERT_GT(ed.SendScintilla(QsciScintillaBase::SCI_WRAPCOUNT, 0UL), 3);
    const int lineHeight = int(ed.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL));
    const int below = int(ed.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL,
                                           (long)ed.LineStart(3))) +
                      lineHeight / 2;
    ASSERT_LT(below, ed.viewport()->height());
    for (const QString key : {QStringLiteral("x"), QStringLiteral(" "), QStringLiteral("yz")}) {
        PaintedRegion painted(ed.viewport());
        for (QChar c : key) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&ed, &press);
        }
        QCoreApplication::processEvents();
        EXPECT_FALSE(painted.region.isEmpty()) << qPrintable(key);
        EXPECT_FALSE(painted.region.contains(QPoint(ed.viewport()->width() / 2, below)))
            << qPrintable(key);
    }
}

// The editor's view as it is on screen: the window's backing store over the viewport.
QImage onScreen(TxtCode& ed) {
    const QImage all = ed.window()->backingStore()->handle()->toImage();
    const qreal ratio = all.devicePixelRatio();
    const QPoint at = ed.viewport()->mapTo(ed.window(), QPoint(0, 0));
    return all.copy(QRect(at * ratio, ed.viewport()->size() * ratio));
}

// An edit of a wrapped long line, made as a user makes it (no repaint asked for).
struct ScreenEdit {
    const char* name;
    std::function<void(TxtCode&)> edit;
};

void PrintTo(const ScreenEdit& e, std::ostream* os) {
    *os << e.name;
}

void keysAt(TxtCode& ed, int at, const QString& keys) {
    ed.SetSelStart(at);
    QCoreApplication::processEvents();
    for (QChar c : keys) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&ed, &press);
        QCoreApplication::processEvents();
    }
}

class WrappedRepaint : public ::testing::TestWithParam<ScreenEdit> {};

// A change in a long wrapped line repaints only the sublines it changed: what is on screen
// after it is what a repaint of the whole view shows, every subline a word moved to or from
// included.
TEST_P(WrappedRepaint, LeavesOnScreenWhatAFullRepaintShows) {
    TxtCode ed;
    loadLongLine(ed, QsciScintillaBase::SC_WRAP_WORD);
    if (HasFatalFailure())
        return;
    // The caret always shown, so that the two pictures do not differ by its blinking.
    ed.SendScintilla(QsciScintillaBase::SCI_SETCARETPERIOD, 0UL);
    ed.SetSelStart(4000);
    QCoreApplication::processEvents();
    ed.viewport()->repaint();
    GetParam().edit(ed);
    QCoreApplication::processEvents();
    const QImage shown = onScreen(ed);
    ed.viewport()->repaint();
    const QImage repainted = onScreen(ed);
    ASSERT_FALSE(shown.isNull());
    EXPECT_TRUE(shown == repainted);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, WrappedRepaint,
    ::testing::Values(ScreenEdit{"TypingWords",
                                 [](TxtCode& ed) { keysAt(ed, 4000, QStringLiteral("ab cd ef")); }},
                      ScreenEdit{"ASpaceSplittingAWord",
                                 [](TxtCode& ed) {
                                     // Each space lets the rest of a word go to the next subline.
                                     for (int at = 3990; at < 4200; at += 23)
                                         keysAt(ed, at, QStringLiteral(" "));
                                 }},
                      ScreenEdit{"BackspacesJoiningWords",
                                 [](TxtCode& ed) {
                                     ed.SetSelStart(4300);
                                     for (int i = 0; i < 30; ++i) {
                                         QTest::keyClick(&ed, Qt::Key_Backspace);
                                         QCoreApplication::processEvents();
                                     }
                                 }},
                      ScreenEdit{"PastingABlock",
                                 [](TxtCode& ed) {
                                     ed.SetSelStart(4100);
                                     ed.SetSelText(
                                         QString(QStringLiteral("<td>cell</td> ")).repeated(20));
                                 }},
                      ScreenEdit{"ColouringARange",
                                 [](TxtCode& ed) {
                                     ed.SetSelStart(3900);
                                     ed.SetSelLength(300);
                                     ed.SetSelColor(16711680);
                                 }},
                      ScreenEdit{"WideCharactersAndEmoji",
                                 [](TxtCode& ed) {
                                     keysAt(ed, 4050,
                                            QString::fromUtf8(
                                                "\xe4\xb8\xad\xe6\x96\x87\xf0\x9f\x98\x80 "
                                                "\xc3\xa9"));
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

// Text without spaces, whose long runs are cut between letters (where kerning shows), and a
// colour that ends at each byte in turn before another coloured run: the run after the
// colour is then too short to cut, where the same text was cut before.
TEST(LongLineLayout, AColourEndingAtAnyByteBeforeAnotherRun) {
    QRandomGenerator random(5);
    const QString letters = QStringLiteral("AVTWYLoaeyAVAWTo.,");
    QString line;
    while (line.size() < 6000)
        line += letters[random.bounded(int(letters.size()))];
    TxtCode ed;
    ed.resize(800, 300);
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    for (int end = 4700; end < 4900; ++end) {
        ed.SetText(line);
        ed.SetSelStart(5000);
        ed.SetSelLength(100);
        ed.SetSelColor(255);
        dropLayouts(ed);
        lineXs(ed, 0, 4400, 5100);
        ed.SetSelStart(end - 20);
        ed.SetSelLength(20);
        ed.SetSelColor(65280);
        const QVector<long> laidOut = lineXs(ed, 0, 4400, 5100);
        dropLayouts(ed);
        const QVector<long> fresh = lineXs(ed, 0, 4400, 5100);
        ASSERT_EQ(laidOut, fresh) << "colour ending at " << end;
    }
}

// How a line may be wrapped: the mode, the indent of sublines and the marks drawn at breaks.
struct Wrapping {
    const char* name;
    long mode;
    long indent;
    long marks;
    bool tabs; // among the text typed and pasted
};

void PrintTo(const Wrapping& w, std::ostream* os) {
    *os << w.name;
}

// Random edits, several between two layouts and several layouts between two comparisons:
// the layout (and wrap) kept up to date edit by edit stays that of a fresh one.
void randomEdits(const Wrapping& wrapping) {
    QRandomGenerator random(11);
    const QStringList tokens = {QStringLiteral("<td>"),
                                QStringLiteral("x"),
                                QStringLiteral(" "),
                                QStringLiteral("word "),
                                wrapping.tabs ? QStringLiteral("\t") : QStringLiteral("  "),
                                QString::fromUtf8("\xc3\xa9t\xc3\xa9 "),
                                QString::fromUtf8("\xe4\xb8\xad"),
                                QString::fromUtf8("\xf0\x9f\x98\x80"),
                                QStringLiteral("AVAVAV"),
                                QStringLiteral("class=\"a\" ")};
    QString line;
    while (line.size() < 7000)
        line += tokens[random.bounded(int(tokens.size()))];
    TxtCode ed;
    ed.resize(800, 300);
    ed.SetText(line);
    ed.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE, (unsigned long)wrapping.mode);
    ed.SendScintilla(QsciScintillaBase::SCI_SETWRAPINDENTMODE, (unsigned long)wrapping.indent);
    ed.SendScintilla(QsciScintillaBase::SCI_SETWRAPVISUALFLAGS, (unsigned long)wrapping.marks);
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    const BgrColor colours[] = {255, 65280, 16711680};
    for (int round = 0; round < 60; ++round) {
        for (int layout = 0; layout < 3; ++layout) {
            for (int edit = random.bounded(1, 4); edit > 0; --edit) {
                // A range of whole characters.
                const QString text = ed.Text();
                const QVector<int> caret = boundaries(text);
                const int from = random.bounded(int(caret.size()));
                const int to = std::min(int(caret.size()) - 1, from + random.bounded(1, 200));
                ed.SetSelStart(caret[from]);
                switch (random.bounded(3)) {
                case 0:
                    ed.SetSelText(
                        tokens[random.bounded(int(tokens.size()))].repeated(random.bounded(1, 40)));
                    break;
                case 1:
                    ed.SetSelLength(caret[std::min(to, from + 30)] - caret[from]);
                    ed.SetSelText(QString());
                    break;
                default:
                    ed.SetSelLength(caret[to] - caret[from]);
                    ed.SetSelColor(colours[random.bounded(3)]);
                }
            }
            ed.viewport()->repaint();
        }
        if (wrapping.mode == QsciScintillaBase::SC_WRAP_NONE) {
            const QVector<long> laidOut = lineXs(ed, 0);
            dropLayouts(ed);
            const QVector<long> fresh = lineXs(ed, 0);
            ASSERT_EQ(laidOut.size(), fresh.size());
            ASSERT_GT(fresh.size(), 5000);
            for (int p = 0; p < fresh.size(); ++p)
                ASSERT_EQ(laidOut[p], fresh[p]) << "round " << round << ", byte " << p;
        } else {
            const std::string when = "round " + std::to_string(round);
            expectShownAsAfresh(ed, 0, when.c_str(), 30);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

TEST(LongLineLayout, RandomEditsKeepTheLayoutAFreshOneHas) {
    randomEdits({"Unwrapped", QsciScintillaBase::SC_WRAP_NONE,
                 QsciScintillaBase::SC_WRAPINDENT_FIXED, QsciScintillaBase::SC_WRAPVISUALFLAG_NONE,
                 true});
}

class LongLineWrap : public ::testing::TestWithParam<Wrapping> {};

// The same random edits on a wrapped line: it is wrapped again only from where it changed,
// into the sublines a fresh wrap makes, in every mode of wrapping.
TEST_P(LongLineWrap, RandomEditsKeepTheWrapAFreshOneHas) {
    randomEdits(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LongLineWrap,
    ::testing::Values(Wrapping{"Words", QsciScintillaBase::SC_WRAP_WORD,
                               QsciScintillaBase::SC_WRAPINDENT_FIXED,
                               QsciScintillaBase::SC_WRAPVISUALFLAG_NONE, false},
                      Wrapping{"Characters", QsciScintillaBase::SC_WRAP_CHAR,
                               QsciScintillaBase::SC_WRAPINDENT_FIXED,
                               QsciScintillaBase::SC_WRAPVISUALFLAG_NONE, false},
                      Wrapping{"Whitespace", QsciScintillaBase::SC_WRAP_WHITESPACE,
                               QsciScintillaBase::SC_WRAPINDENT_FIXED,
                               QsciScintillaBase::SC_WRAPVISUALFLAG_NONE, false},
                      Wrapping{"WordsIndentedWithMarks", QsciScintillaBase::SC_WRAP_WORD,
                               QsciScintillaBase::SC_WRAPINDENT_INDENT,
                               QsciScintillaBase::SC_WRAPVISUALFLAG_START |
                                   QsciScintillaBase::SC_WRAPVISUALFLAG_END,
                               false},
                      Wrapping{"WordsAmongTabs", QsciScintillaBase::SC_WRAP_WORD,
                               QsciScintillaBase::SC_WRAPINDENT_FIXED,
                               QsciScintillaBase::SC_WRAPVISUALFLAG_NONE, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the rule of wrapping by words or at spaces ends a subline that starts at byte
// `start` of a line: the first byte p after it (from the line's start for the first
// subline) whose next x, x[p + 1], lies `width` or more right of the subline's start
// overflows, and the subline ends at the last place before p where one may start (a
// change of style, by words; a character after a space or tab), else at the character
// holding p, else after one character. The x are the editor's, whole pixels: an x exactly
// `width` past the start may have overflowed by a fraction of a pixel or not, so every
// end that such an x allows is given, in order, up to the first x that surely overflows.
// None when the rest of the line fits; `sure` tells whether the last end given is one that
// an x surely overflowing gave.
QVector<long> ruleEnds(const QByteArray& bytes, const QByteArray& styles, const QVector<long>& x,
                       long start, long width, bool byWords, bool* sure) {
    const auto space = [](char c) { return c == ' ' || c == '\t'; };
    const auto charStart = [&](long p) {
        while (p > 0 && (uchar(bytes[p]) & 0xC0) == 0x80)
            --p;
        return p;
    };
    const long length = bytes.size();
    QVector<long> ends;
    *sure = false;
    long good = start;
    for (long p = start == 0 ? 0 : start + 1; p < length; ++p) {
        const long past = x[p + 1] - x[start];
        if (past >= width) {
            long end = good;
            if (end == start && p > 0)
                end = charStart(p);
            if (end == start) {
                end = start + 1;
                while (end < length && (uchar(bytes[end]) & 0xC0) == 0x80)
                    ++end;
            }
            ends << end;
            *sure = past > width;
            if (*sure)
                return ends;
        }
        if (p > 0 &&
            ((byWords && styles[p] != styles[p - 1]) || (space(bytes[p - 1]) && !space(bytes[p]))))
            good = p;
    }
    return ends;
}

struct RuleWrapCase {
    const char* name;
    long mode;
    bool tabs; // among the words
    int editorWidth;
};

void PrintTo(const RuleWrapCase& c, std::ostream* os) {
    *os << c.name;
}

class WrapRule : public ::testing::TestWithParam<RuleWrapCase> {};

// Word wrap switched on over a long line ends every subline where the rule of wrapping
// ends it, read from the x of the line laid out unwrapped: over markup, accented Latin,
// Greek, emoji, runs of CJK too long for a subline (broken inside the run, between whole
// characters), text written right to left (whose x go back as the text goes on), and
// runs of colour.
TEST_P(WrapRule, SublinesEndWhereTheRuleEndsThem) {
    const RuleWrapCase& c = GetParam();
    QRandomGenerator random(23);
    const QStringList words = {
        QStringLiteral("<p class=\"note\">"), QStringLiteral("</p>"), QStringLiteral("AVAT"),
        QString::fromUtf8("h\xc3\xa9llo w\xc3\xb6rld"),
        QString::fromUtf8("\xcf\x89\xce\xb1\xce\xb2"), QString::fromUtf8("\xf0\x9f\x98\x80"),
        // Hebrew and Arabic.
        QString::fromUtf8("\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d \xd7\xa2\xd7\x95\xd7\x9c\xd7\x9d"),
        QString::fromUtf8("\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7"),
        c.tabs ? QStringLiteral("\t") : QStringLiteral("x=\"1\";"), QStringLiteral("word")};
    const QString cjk = QString::fromUtf8("\xe4\xb8\xad\xe6\x96\x87\xe5\xad\x97");
    QString line;
    QVector<int> lone; // spaces coloured alone, each before a run of CJK
    while (line.size() < 12000) {
        if (random.bounded(12) == 0) {
            lone << int(line.size()) - 1;
            line += cjk.repeated(random.bounded(10, 60)) + QLatin1Char(' ');
        } else {
            line += words[random.bounded(int(words.size()))] + QLatin1Char(' ');
        }
    }
    TxtCode ed;
    ed.resize(c.editorWidth, 300);
    ed.SetText(line);
    for (int at = 300; at < 11000; at += 1700) {
        ed.SetSelStart(at);
        ed.SetSelLength(random.bounded(20, 400));
        ed.SetSelColor(255);
    }
    // A subline that starts at such a space may end right after it, before the CJK.
    for (int at : lone) {
        ed.SetSelStart(at);
        ed.SetSelLength(1);
        ed.SetSelColor(65280);
    }
    ed.SetSelStart(0);
    ed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ed));
    ed.viewport()->repaint();
    // Unwrapped: the x of every byte from the start of the line, and its style.
    const QVector<long> shown = lineXs(ed, 0);
    const QByteArray bytes = line.toUtf8();
    ASSERT_EQ(shown.size(), bytes.size() + 1);
    QVector<long> x;
    bool backwards = false;
    for (long p = 0; p < shown.size(); ++p) {
        x << shown[p] - shown[0];
        backwards = backwards || (p > 0 && x[p] < x[p - 1]);
    }
    QByteArray styles;
    for (long p = 0; p < bytes.size(); ++p)
        styles += char(ed.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, (unsigned long)p));

    ed.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE, (unsigned long)c.mode);
    // At widths a few pixels apart, so that sublines end at many different places.
    for (int wider = 0; wider < 40; wider += 3) {
        ed.resize(c.editorWidth + wider, 300);
        QCoreApplication::processEvents();
        ed.viewport()->repaint();
        // The width sublines have: the text area's, past the margins.
        long width = ed.viewport()->width() -
                     ed.SendScintilla(QsciScintillaBase::SCI_GETMARGINLEFT) -
                     ed.SendScintilla(QsciScintillaBase::SCI_GETMARGINRIGHT);
        for (int m = 0; m < 5; ++m)
            width -= ed.SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, (unsigned long)m);
        const QVector<long> starts = wrapStarts(ed, 0);
        ASSERT_GT(starts.size(), 20);
        long start = 0;
        for (int i = 0; i <= starts.size(); ++i) {
            bool sure = false;
            const QVector<long> allowed = ruleEnds(
                bytes, styles, x, start, width, c.mode == QsciScintillaBase::SC_WRAP_WORD, &sure);
            if (i == starts.size()) {
                ASSERT_FALSE(sure) << "width " << width << ": the last subline, from byte " << start
                                   << ", does not fit";
                break;
            }
            ASSERT_TRUE(allowed.contains(starts[i]))
                << "width " << width << ": subline " << i << " from byte " << start << " ends at "
                << starts[i] << ", the rule ends it at "
                << (allowed.isEmpty() ? -1 : allowed.first());
            start = starts[i];
        }
    }
    // The text the rule was read over: x going back in the right-to-left words.
    EXPECT_TRUE(backwards);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WrapRule,
    ::testing::Values(RuleWrapCase{"Words", QsciScintillaBase::SC_WRAP_WORD, false, 800},
                      RuleWrapCase{"WordsNarrow", QsciScintillaBase::SC_WRAP_WORD, false, 260},
                      RuleWrapCase{"WordsAmongTabs", QsciScintillaBase::SC_WRAP_WORD, true, 640},
                      RuleWrapCase{"Whitespace", QsciScintillaBase::SC_WRAP_WHITESPACE, false,
                                   800}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

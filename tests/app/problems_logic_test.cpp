// SPDX-License-Identifier: GPL-3.0-or-later
// The Problems pane's logic without a display: how the findings shown follow the edits
// made after their check, and the copy of the editor's bytes decoded piece by piece.
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>
#include <random>
#include <vector>

#include "app/editortextcopy.h"
#include "app/problemsmodel.h"
#include "editor/editorbytes.h"
#include "testutil.h"

namespace {

struct Span {
    qsizetype offset;
    qsizetype length;
    bool operator==(const Span& o) const { return offset == o.offset && length == o.length; }
};

void PrintTo(const Span& s, std::ostream* os) {
    *os << "[" << s.offset << "+" << s.length << "]";
}

std::vector<checker::Finding> findingsAt(const std::vector<Span>& spans) {
    std::vector<checker::Finding> out;
    for (size_t i = 0; i < spans.size(); ++i) {
        checker::Finding f;
        f.rule = "unknown-element";
        f.message = QStringLiteral("finding %1").arg(i);
        f.offset = spans[i].offset;
        f.length = spans[i].length;
        out.push_back(f);
    }
    return out;
}

std::vector<Span> spansOf(const ProblemsModel& model) {
    std::vector<Span> out;
    for (const Problem& p : model.problems())
        out.push_back({p.offset, p.length});
    return out;
}

struct EditCase {
    const char* name;
    std::vector<Span> before;
    qsizetype pos, removed, inserted;
    std::vector<Span> after;
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

class FindingsFollowEdits : public ::testing::TestWithParam<EditCase> {};

TEST_P(FindingsFollowEdits, MoveGrowShrinkOrGo) {
    const EditCase& c = GetParam();
    ProblemsModel model;
    model.setFindings(findingsAt(c.before));
    model.textEdited(c.pos, c.removed, c.inserted);
    EXPECT_EQ(spansOf(model), c.after);
    EXPECT_EQ(model.rowCount(), int(c.after.size()));
}

// Two findings, <a> at 10..13 and <bb> at 20..24, unless a case says otherwise.
INSTANTIATE_TEST_SUITE_P(
    Edits, FindingsFollowEdits,
    ::testing::Values(
        EditCase{"TypingAfterBothLeavesThem", {{10, 3}, {20, 4}}, 30, 0, 5, {{10, 3}, {20, 4}}},
        EditCase{
            "TypingRightAfterOneDoesNotGrowIt", {{10, 3}, {20, 4}}, 24, 0, 1, {{10, 3}, {20, 4}}},
        EditCase{"TypingBeforeBothMovesThem", {{10, 3}, {20, 4}}, 0, 0, 2, {{12, 3}, {22, 4}}},
        EditCase{"TypingAtTheStartOfOneMovesIt", {{10, 3}, {20, 4}}, 20, 0, 3, {{10, 3}, {23, 4}}},
        EditCase{"TypingInsideOneGrowsIt", {{10, 3}, {20, 4}}, 11, 0, 4, {{10, 7}, {24, 4}}},
        EditCase{"DeletingBeforeMovesBack", {{10, 3}, {20, 4}}, 2, 5, 0, {{5, 3}, {15, 4}}},
        EditCase{"DeletingInsideShrinks", {{10, 3}, {20, 4}}, 21, 2, 0, {{10, 3}, {20, 2}}},
        EditCase{
            "DeletingAcrossTheStartKeepsTheRest", {{10, 3}, {20, 4}}, 8, 4, 0, {{8, 1}, {16, 4}}},
        EditCase{
            "DeletingAcrossTheEndKeepsTheStart", {{10, 3}, {20, 4}}, 12, 4, 0, {{10, 2}, {16, 4}}},
        EditCase{"DeletingAWholeConstructDropsIt", {{10, 3}, {20, 4}}, 9, 5, 0, {{15, 4}}},
        EditCase{"DeletingEverythingDropsAll", {{10, 3}, {20, 4}}, 0, 40, 0, {}},
        EditCase{"ReplacingOneDropsItAndMovesTheNext", {{10, 3}, {20, 4}}, 10, 3, 1, {{18, 4}}},
        EditCase{"ReplacingInsideKeepsIt", {{10, 3}, {20, 4}}, 21, 2, 5, {{10, 3}, {20, 7}}},
        EditCase{"DroppingNonNeighbours",
                 {{0, 2}, {1, 20}, {3, 1}, {5, 1}, {30, 1}},
                 2,
                 6,
                 0,
                 {{0, 2}, {1, 14}, {24, 1}}},
        EditCase{"AnEmptyFindingStaysAtTheStart", {{0, 0}, {5, 2}}, 0, 0, 3, {{3, 0}, {8, 2}}},
        EditCase{"AnEmptyFindingInADeletionMovesToIt", {{4, 0}, {9, 2}}, 2, 4, 0, {{2, 0}, {5, 2}}},
        EditCase{"ALongFindingBeforeTheEditStays",
                 {{0, 100}, {50, 2}, {150, 1}},
                 120,
                 0,
                 1,
                 {{0, 100}, {50, 2}, {151, 1}}},
        EditCase{"ALongFindingAroundTheEditGrows",
                 {{0, 100}, {50, 2}, {150, 1}},
                 90,
                 0,
                 3,
                 {{0, 103}, {50, 2}, {153, 1}}}),
    NameFrom<&EditCase::name>());

TEST(ProblemsModelRows, ReadPlaceSeverityAndMessageAndFindTheFindingsAtAPlace) {
    ProblemsModel model;
    std::vector<checker::Finding> findings = findingsAt({{4, 3}, {5, 6}, {20, 2}});
    findings[1].severity = checker::Severity::Warning;
    findings[2].severity = checker::Severity::Info;
    model.setFindings(findings);
    model.setPlaceOf([](qsizetype offset) {
        return std::pair<qsizetype, qsizetype>(offset / 10 + 1, offset % 10 + 1);
    });
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 3);
    auto cell = [&](int row, int column) { return model.index(row, column).data().toString(); };
    EXPECT_EQ(cell(0, 0), QStringLiteral("1:5"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("error"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("finding 0"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("warning"));
    EXPECT_EQ(cell(2, 0), QStringLiteral("3:1"));
    EXPECT_EQ(cell(2, 1), QStringLiteral("info"));
    // A row's tooltip adds the rule, as plain text (messages quote markup).
    EXPECT_EQ(model.index(0, 2).data(Qt::ToolTipRole).toString(),
              QStringLiteral("<p style='white-space:pre'>finding 0 [unknown-element]</p>"));
    EXPECT_EQ(ProblemsModel::plainTooltip({QStringLiteral("<img> & <p>"), QStringLiteral("b")}),
              QStringLiteral("<p style='white-space:pre'>&lt;img&gt; &amp; &lt;p&gt;<br>b</p>"));

    EXPECT_EQ(model.messagesAt(3), QStringList());
    EXPECT_EQ(model.messagesAt(4), QStringList{QStringLiteral("finding 0")});
    EXPECT_EQ(model.messagesAt(6),
              (QStringList{QStringLiteral("finding 0"), QStringLiteral("finding 1")}));
    EXPECT_EQ(model.messagesAt(10), QStringList{QStringLiteral("finding 1")});
    EXPECT_EQ(model.messagesAt(11), QStringList());
    EXPECT_EQ(model.messagesAt(21), QStringList{QStringLiteral("finding 2")});
    // Every row that reaches a stretch is among the rows near it.
    const auto [first, last] = model.rowsNear(9, 10);
    EXPECT_LE(first, 1);
    EXPECT_GE(last, 2);
    EXPECT_LE(last, 2);
}

// The editor's bytes cut into pieces of every size, each piece ending where
// wholeCharactersEnd says: decoded piece by piece they read as the whole does.
struct BytesCase {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const BytesCase& c, std::ostream* os) {
    *os << c.name;
}

class PiecewiseDecoding : public ::testing::TestWithParam<BytesCase> {};

TEST_P(PiecewiseDecoding, ReadsAsTheWhole) {
    const QByteArray& bytes = GetParam().bytes;
    const QString whole = editorbytes::decode(bytes);
    for (qsizetype piece = 4; piece <= 9; ++piece) {
        QString text;
        qsizetype from = 0;
        while (from < bytes.size()) {
            const qsizetype count = qMin(piece, bytes.size() - from);
            const QByteArrayView view(bytes.constData() + from, count);
            const qsizetype used = from + count < bytes.size() ? wholeCharactersEnd(view) : count;
            ASSERT_GT(used, 0) << "piece " << piece << " at " << from;
            text += editorbytes::decode(view.first(used));
            from += used;
        }
        EXPECT_EQ(text, whole) << "pieces of " << piece;
    }
}

QByteArray randomBytes() {
    // Valid sequences of every length mixed with stray and cut ones.
    std::mt19937 random(22);
    const QByteArray parts[] = {
        "a",    "<p>",  "\r\n",     "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80",
        "\xe9", "\x80", "\xe2\x82", "\xf0\x9f", "\xff",         "\xc0\xaf"};
    QByteArray out;
    for (int i = 0; i < 400; ++i)
        out += parts[random() % std::size(parts)];
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PiecewiseDecoding,
    ::testing::Values(BytesCase{"Ascii", "<!DOCTYPE html>\r\n<p>plain text</p>"},
                      BytesCase{"TwoThreeAndFourByteCharacters",
                                "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 \xf0\x9f\x98\x80!"},
                      BytesCase{"StrayBytes", "a\xe9\xe9 b\x80\x80\x80 \xff\xfe c"},
                      BytesCase{"CutSequences", "\xe2\x82 \xf0\x9f\x98 \xc3"},
                      BytesCase{"OverlongAndSurrogates", "\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80"},
                      BytesCase{"Mixed", randomBytes()}),
    NameFrom<&BytesCase::name>());

} // namespace

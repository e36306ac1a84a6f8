// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's per-line display state inside QScintilla: which display line each line of
// the document starts on once lines are inserted, removed, hidden and made taller (word
// wrap), far apart and near each other, compared with a plain list of heights: while only
// a few lines are taller (kept on their own), when so many are that every line is kept,
// and over random edits. And the partitioning under it, given many partitions at once.
#include <gtest/gtest.h>

#include <QPainter>
#include <cstddef>
#include <memory>
#include <random>
#include <vector>

// Scintilla's headers, in the order its own files include them; its platform header
// names Qt's painter.
// clang-format off
#include "Platform.h"
#include "Position.h"
#include "SplitVector.h"
#include "Partitioning.h"
#include "ContractionState.h"
// clang-format on

#include "testutil.h"

namespace {

using Scintilla::IContractionState;

// What the display state should say: each line's height, and whether it is shown.
struct Model {
    std::vector<int> heights;
    std::vector<bool> visible;

    Sci::Line displayFromDoc(Sci::Line line) const {
        Sci::Line display = 0;
        for (Sci::Line l = 0; l < line; ++l)
            display += visible[size_t(l)] ? heights[size_t(l)] : 0;
        return display;
    }
};

// EveryOther sets the height `value` on `count` lines: `line`, `line` + 2, and so on.
enum class Op { Insert, Delete, Height, Hide, Show, EveryOther };

struct Step {
    Op op;
    Sci::Line line;
    Sci::Line value; // lines inserted, deleted or hidden, or the height set
    Sci::Line count = 1;
};

struct LineStateCase {
    const char* name;
    Sci::Line lines; // in the document before the steps
    std::vector<Step> steps;
};

void PrintTo(const LineStateCase& c, std::ostream* os) {
    *os << c.name;
}

void apply(IContractionState& state, Model& model, const Step& s) {
    const auto at = [&](Sci::Line l) { return std::ptrdiff_t(l); };
    switch (s.op) {
    case Op::Insert:
        state.InsertLines(s.line, s.value);
        model.heights.insert(model.heights.begin() + at(s.line), size_t(s.value), 1);
        model.visible.insert(model.visible.begin() + at(s.line), size_t(s.value), true);
        break;
    case Op::Delete:
        state.DeleteLines(s.line, s.value);
        model.heights.erase(model.heights.begin() + at(s.line),
                            model.heights.begin() + at(s.line + s.value));
        model.visible.erase(model.visible.begin() + at(s.line),
                            model.visible.begin() + at(s.line + s.value));
        break;
    case Op::Height:
    case Op::EveryOther:
        for (Sci::Line i = 0; i < s.count; ++i) {
            const Sci::Line l = s.op == Op::Height ? s.line : s.line + 2 * i;
            // Says whether the height changed.
            EXPECT_EQ(state.SetHeight(l, int(s.value)), model.heights[size_t(l)] != int(s.value))
                << "line " << l;
            model.heights[size_t(l)] = int(s.value);
        }
        break;
    case Op::Hide:
    case Op::Show: {
        // Says whether any display line came or went.
        const Sci::Line before = model.displayFromDoc(Sci::Line(model.heights.size()));
        for (Sci::Line l = s.line; l < s.line + s.value; ++l)
            model.visible[size_t(l)] = s.op == Op::Show;
        const Sci::Line after = model.displayFromDoc(Sci::Line(model.heights.size()));
        EXPECT_EQ(state.SetVisible(s.line, s.line + s.value - 1, s.op == Op::Show),
                  before != after);
        break;
    }
    }
}

// Every line's first display line, height and visibility, and the line of every display
// line, against the model.
void expectSame(const IContractionState& state, const Model& model, const char* after) {
    const Sci::Line lines = Sci::Line(model.heights.size());
    const Sci::Line displayed = model.displayFromDoc(lines);
    ASSERT_EQ(state.LinesInDoc(), lines) << after;
    ASSERT_EQ(state.LinesDisplayed(), displayed) << after;
    bool hidden = false;
    for (const bool shown : model.visible)
        hidden = hidden || !shown;
    ASSERT_EQ(state.HiddenLines(), hidden) << after;
    ASSERT_EQ(state.ContractedNext(0), -1) << after;
    // Past the last line: the end of the display lines, and back.
    ASSERT_EQ(state.DisplayFromDoc(lines), displayed) << after;
    ASSERT_EQ(state.DisplayFromDoc(lines + 3), displayed) << after;
    ASSERT_EQ(state.DocFromDisplay(displayed), lines) << after;
    Sci::Line display = 0;
    for (Sci::Line l = 0; l < lines; ++l) {
        ASSERT_EQ(state.DisplayFromDoc(l), display) << after << ", line " << l;
        ASSERT_EQ(state.GetHeight(l), model.heights[size_t(l)]) << after << ", line " << l;
        ASSERT_EQ(state.GetVisible(l), model.visible[size_t(l)]) << after << ", line " << l;
        ASSERT_TRUE(state.GetExpanded(l)) << after << ", line " << l;
        ASSERT_EQ(state.DisplayLastFromDoc(l), display + model.heights[size_t(l)] - 1)
            << after << ", line " << l;
        if (model.visible[size_t(l)]) {
            for (int sub = 0; sub < model.heights[size_t(l)]; ++sub)
                ASSERT_EQ(state.DocFromDisplay(display + sub), l) << after << ", line " << l;
            display += model.heights[size_t(l)];
        }
    }
}

class LineState : public ::testing::TestWithParam<LineStateCase> {};

TEST_P(LineState, SaysWhereEachLineIsShownAsAPlainListOfHeightsDoes) {
    const LineStateCase& c = GetParam();
    for (const bool large : {false, true}) {
        SCOPED_TRACE(large ? "positions of 64 bits" : "positions of 32 bits");
        std::unique_ptr<IContractionState> state = Scintilla::ContractionStateCreate(large);
        state->InsertLines(0, c.lines - 1); // a new state holds one line
        Model model{std::vector<int>(size_t(c.lines), 1), std::vector<bool>(size_t(c.lines), true)};
        expectSame(*state, model, "start");
        int n = 0;
        for (const Step& s : c.steps) {
            apply(*state, model, s);
            const std::string after = "step " + std::to_string(++n);
            expectSame(*state, model, after.c_str());
            if (HasFatalFailure())
                return;
        }
    }
}

constexpr Sci::Line kMany = 200000;
// More lines taller than one display line than the state keeps on their own.
constexpr Sci::Line kManyTall = 5000;

INSTANTIATE_TEST_SUITE_P(
    Steps, LineState,
    ::testing::Values(
        // The first line to grow makes the state keep every line: at the end, the start,
        // the middle of a long document.
        LineStateCase{"FirstTallLineAtTheEnd", kMany, {{Op::Height, kMany - 1, 2}}},
        LineStateCase{"FirstTallLineAtTheStart", kMany, {{Op::Height, 0, 3}}},
        LineStateCase{"FirstTallLineInTheMiddle", kMany, {{Op::Height, kMany / 2, 5}}},
        LineStateCase{"FirstLineHidden", 50, {{Op::Hide, 10, 5}, {Op::Height, 12, 3}}},
        LineStateCase{"OneLineDocument", 1, {{Op::Height, 0, 2}, {Op::Insert, 1, 3}}},
        // Typing at the end of a long document: lines added there, growing and shrinking.
        LineStateCase{"TypingAtTheEnd",
                      kMany,
                      {{Op::Height, kMany - 1, 2},
                       {Op::Insert, kMany, 1},
                       {Op::Height, kMany, 2},
                       {Op::Insert, kMany + 1, 1},
                       {Op::Height, kMany - 1, 1},
                       {Op::Delete, kMany, 1}}},
        // Heights changed far apart, one after the other, then lines added and removed
        // between them.
        LineStateCase{"FarApart",
                      3000,
                      {{Op::Height, 2999, 2},
                       {Op::Height, 0, 4},
                       {Op::Height, 1500, 3},
                       {Op::Insert, 10, 20},
                       {Op::Height, 2, 2},
                       {Op::Delete, 100, 400},
                       {Op::Height, 2600, 7},
                       {Op::Insert, 0, 5},
                       {Op::Delete, 0, 8}}},
        // Near each other: neighbours grown, a tall line removed, lines inserted just
        // before and after one.
        LineStateCase{"Near",
                      40,
                      {{Op::Height, 20, 2},
                       {Op::Height, 21, 3},
                       {Op::Height, 19, 4},
                       {Op::Insert, 21, 2},
                       {Op::Insert, 20, 1},
                       {Op::Delete, 21, 1},
                       {Op::Height, 20, 1},
                       {Op::Delete, 18, 5}}},
        // Hidden lines keep their height for when they are shown again.
        LineStateCase{"HiddenAndShown",
                      60,
                      {{Op::Height, 30, 3},
                       {Op::Hide, 25, 10},
                       {Op::Height, 31, 2},
                       {Op::Insert, 28, 2},
                       {Op::Show, 25, 12},
                       {Op::Delete, 29, 3}}},
        // A few tall lines, then lines added before, between, at and after them: a line
        // inserted at a tall line's place pushes it down.
        LineStateCase{"InsertedAroundTallLines",
                      100,
                      {{Op::Height, 10, 3},
                       {Op::Height, 50, 2},
                       {Op::Height, 99, 4},
                       {Op::Insert, 0, 2},
                       {Op::Insert, 30, 5},
                       {Op::Insert, 57, 1},
                       {Op::Insert, 58, 3},
                       {Op::Insert, 108, 1},
                       {Op::Insert, 112, 2},
                       {Op::Height, 12, 1},
                       {Op::Height, 113, 5}}},
        // Deleted: before them, a run ending just before one, the tall line alone, runs
        // over one and over several, and up to the end.
        LineStateCase{"DeletedAroundTallLines",
                      100,
                      {{Op::Height, 10, 3},
                       {Op::Height, 20, 2},
                       {Op::Height, 21, 5},
                       {Op::Height, 40, 2},
                       {Op::Height, 60, 3},
                       {Op::Height, 99, 2},
                       {Op::Delete, 0, 2},
                       {Op::Delete, 5, 3},
                       {Op::Delete, 5, 1},
                       {Op::Delete, 14, 3},
                       {Op::Delete, 20, 20},
                       {Op::Delete, 30, 35}}},
        // Tall lines back to one display line in another order than they grew: at the end
        // none is left.
        LineStateCase{"BackToOneHigh",
                      50,
                      {{Op::Height, 5, 2},
                       {Op::Height, 45, 3},
                       {Op::Height, 25, 2},
                       {Op::Height, 25, 1},
                       {Op::Height, 5, 5},
                       {Op::Height, 5, 1},
                       {Op::Height, 45, 1},
                       {Op::Height, 45, 1}}},
        // Hiding a line among a few tall ones: every line is kept from then on, the tall
        // ones with their heights.
        LineStateCase{"OneLineHiddenAmongTallLines",
                      80,
                      {{Op::Height, 3, 2},
                       {Op::Height, 40, 4},
                       {Op::Height, 70, 3},
                       {Op::Hide, 40, 1},
                       {Op::Insert, 20, 2},
                       {Op::Show, 42, 1},
                       {Op::Delete, 0, 5}}},
        // Showing lines that are all shown changes nothing.
        LineStateCase{"ShownWhileAllAreShown", 30, {{Op::Height, 7, 2}, {Op::Show, 0, 30}}},
        // A line of no display line at all.
        LineStateCase{
            "NoDisplayLine", 20, {{Op::Height, 4, 2}, {Op::Height, 9, 0}, {Op::Insert, 2, 1}}},
        // So many tall lines that every line is kept, then edits among them; and the same
        // with a document of fewer lines than that.
        LineStateCase{"GrowingPastManyTallLines",
                      3 * kManyTall,
                      {{Op::EveryOther, 1, 3, kManyTall - 1},
                       {Op::Height, 3 * kManyTall - 1, 2},
                       {Op::EveryOther, 2 * kManyTall + 2, 2, kManyTall / 2 - 1},
                       {Op::Insert, 7, 3},
                       {Op::Delete, 100, 50},
                       {Op::Height, 8, 4},
                       {Op::Height, 2 * kManyTall, 1}}},
        LineStateCase{"EveryLineTall",
                      kManyTall,
                      {{Op::EveryOther, 0, 2, kManyTall / 2},
                       {Op::EveryOther, 1, 3, kManyTall / 2},
                       {Op::Delete, 0, kManyTall / 2}}}),
    NameFrom<&LineStateCase::name>());

// --- Random edits: lines inserted and deleted anywhere, heights set and lines hidden and
// shown, each edit compared with the plain list of heights.

struct RandomCase {
    const char* name;
    Sci::Line lines;
    int steps;
    int tallPercent; // of the edits that set a height, against inserts and deletes
    int hidePercent; // of the edits that hide or show lines
    int maxHeight;
    int checkEvery; // steps between two comparisons
    unsigned seed;
};

void PrintTo(const RandomCase& c, std::ostream* os) {
    *os << c.name;
}

class RandomLineState : public ::testing::TestWithParam<RandomCase> {};

TEST_P(RandomLineState, SaysWhatAPlainListOfHeightsSaysAfterEveryEdit) {
    const RandomCase& c = GetParam();
    for (const bool large : {false, true}) {
        SCOPED_TRACE(large ? "positions of 64 bits" : "positions of 32 bits");
        std::mt19937 random(c.seed);
        const auto below = [&](Sci::Line n) {
            return Sci::Line(std::uniform_int_distribution<long long>(0, n - 1)(random));
        };
        std::unique_ptr<IContractionState> state = Scintilla::ContractionStateCreate(large);
        state->InsertLines(0, c.lines - 1);
        Model model{std::vector<int>(size_t(c.lines), 1), std::vector<bool>(size_t(c.lines), true)};
        for (int n = 1; n <= c.steps; ++n) {
            const Sci::Line lines = Sci::Line(model.heights.size());
            const int roll = int(below(100));
            Step s{Op::Height, 0, 1};
            if (roll < c.hidePercent) {
                s.op = below(2) ? Op::Hide : Op::Show;
                s.line = below(lines);
                s.value = 1 + below(std::min<Sci::Line>(4, lines - s.line));
            } else if (roll < c.hidePercent + c.tallPercent) {
                s.line = below(lines);
                s.value = 1 + below(c.maxHeight);
            } else if (below(2) || lines < 8) {
                s.op = Op::Insert;
                s.line = below(lines + 1);
                s.value = 1 + below(3);
            } else {
                s.op = Op::Delete;
                s.line = below(lines);
                s.value = 1 + below(std::min<Sci::Line>(3, lines - s.line));
            }
            apply(*state, model, s);
            if (n % c.checkEvery == 0 || n == c.steps) {
                const std::string after = "step " + std::to_string(n);
                expectSame(*state, model, after.c_str());
            }
            if (HasFatalFailure() || HasFailure())
                return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, RandomLineState,
                         ::testing::Values(
                             // A few tall lines among many edits: they stay few.
                             RandomCase{"FewTallLines", 400, 3000, 10, 0, 4, 1, 1},
                             RandomCase{"TallLinesComeAndGo", 60, 3000, 45, 0, 3, 1, 2},
                             // Lines hidden too, now and then.
                             RandomCase{"SomeHidden", 300, 2000, 30, 2, 5, 1, 3},
                             // Heights set on most edits of a long document, past the count of tall
                             // lines kept on their own.
                             RandomCase{"ManyTallLines", 3 * kManyTall, 16000, 90, 0, 3, 500, 4}),
                         NameFrom<&RandomCase::name>());

// --- Partitions given in one go, beside the same partitions given one by one.

struct PartitionsCase {
    const char* name;
    int partitions; // of length 3 each to begin with
    int pending;    // partition after which a pending step of +2 starts, -1 none
    int at;         // where the new partitions go
    int count;
    int length;
};

void PrintTo(const PartitionsCase& c, std::ostream* os) {
    *os << c.name;
}

class ManyPartitions : public ::testing::TestWithParam<PartitionsCase> {};

TEST_P(ManyPartitions, StartWhereTheyStartWhenInsertedOneByOne) {
    const PartitionsCase& c = GetParam();
    Scintilla::Partitioning<int> bulk(4);
    Scintilla::Partitioning<int> single(4);
    for (Scintilla::Partitioning<int>* p : {&bulk, &single}) {
        for (int i = 0; i < c.partitions; ++i) {
            p->InsertText(i, 3);
            p->InsertPartition(i + 1, 3 * (i + 1));
        }
        if (c.pending >= 0)
            p->InsertText(c.pending, 2);
    }
    bulk.InsertPartitions(c.at, c.count, c.length);
    for (int i = 0; i < c.count; ++i) {
        single.InsertPartition(c.at + i, single.PositionFromPartition(c.at + i));
        single.InsertText(c.at + i, c.length);
    }
    ASSERT_EQ(bulk.Partitions(), single.Partitions());
    for (int i = 0; i <= single.Partitions(); ++i)
        ASSERT_EQ(bulk.PositionFromPartition(i), single.PositionFromPartition(i)) << i;
    // And it goes on working as before: a step after it, and a search.
    bulk.InsertText(1, 5);
    single.InsertText(1, 5);
    for (int i = 0; i <= single.Partitions(); ++i)
        ASSERT_EQ(bulk.PositionFromPartition(i), single.PositionFromPartition(i)) << i;
    const int last = single.PositionFromPartition(single.Partitions());
    for (int pos = 0; pos <= last; ++pos)
        ASSERT_EQ(bulk.PartitionFromPosition(pos), single.PartitionFromPosition(pos)) << pos;
}

INSTANTIATE_TEST_SUITE_P(
    Inserting, ManyPartitions,
    ::testing::Values(PartitionsCase{"IntoAnEmptyOne", 0, -1, 0, 1000, 1},
                      PartitionsCase{"AtTheStart", 50, -1, 0, 30, 2},
                      PartitionsCase{"InTheMiddle", 50, -1, 25, 30, 1},
                      PartitionsCase{"BeforeTheLast", 50, -1, 49, 7, 4},
                      PartitionsCase{"AfterAPendingStepBefore", 50, 10, 40, 5, 1},
                      PartitionsCase{"BeforeAPendingStepAfter", 50, 40, 10, 5, 1},
                      PartitionsCase{"WhereAStepIsPending", 50, 20, 20, 3, 2},
                      PartitionsCase{"NoneAtAll", 10, 5, 3, 0, 1}),
    NameFrom<&PartitionsCase::name>());

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's per-line display state inside QScintilla: which display line each line of
// the document starts on once lines are inserted, removed, hidden and made taller (word
// wrap), far apart and near each other, compared with a plain list of heights: while only
// a few lines are taller (kept on their own), when so many are that every line is kept,
// and over random edits. And the partitioning under it, given many partitions at once; the
// x of each byte of a laid out line, kept with a gap and a pending step, compared with a
// plain list of x; and its text and styles moved around a change, compared with a plain
// string.
#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <cstddef>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

// Scintilla's headers, in the order its own files include them; its platform header
// names Qt's painter.
// clang-format off
#include "Platform.h"
#include "Position.h"
#include "SplitVector.h"
#include "Partitioning.h"
#include "ContractionState.h"
#include "ILoader.h"
#include "ILexer.h"
#include "Scintilla.h"
#include "UniqueString.h"
#include "RunStyles.h"
#include "CellBuffer.h"
#include "KeyMap.h"
#include "Indicator.h"
#include "LineMarker.h"
#include "Style.h"
#include "ViewStyle.h"
#include "CharClassify.h"
#include "Decoration.h"
#include "CaseFolder.h"
#include "Document.h"
#include "Selection.h"
#include "PositionCache.h"
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

// --- The x of each byte of a line, with a gap and a pending step, beside a plain list.

// What a layout brought up to date does to its positions: entries replaced around a
// change, the entries after it moved by one x, and after a tab the entries up to it moved
// and the tab's end set; the step moved on its own (which changes no x); the length set as
// tracking a fresh layout sets it.
enum class PosOp { Replace, MoveAfter, MoveRange, Set, MoveStep, SetLength };

struct PosStep {
    PosOp op;
    int at;
    int count;    // entries deleted (Replace), the last entry moved (MoveRange), the length
    int inserted; // entries inserted (Replace)
    float dx;     // how far entries move, or the x set
};

struct PositionsCase {
    const char* name;
    int length; // entries to begin with
    int room;   // entries the structure has room for
    std::vector<PosStep> steps;
};

void PrintTo(const PositionsCase& c, std::ostream* os) {
    *os << c.name;
}

// Steps as the layout of a long line takes them while keys are typed and deleted at
// wandering places: near the last change (`jump` 0) or `jump` entries away, alternately
// before and after it. Every x is a multiple of a quarter, so sums are exact.
std::vector<PosStep> editsAt(unsigned seed, int length, int room, int edits, int jump) {
    std::mt19937 random(seed);
    std::vector<PosStep> steps;
    int at = length / 2;
    for (int e = 0; e < edits; ++e) {
        if (jump > 0)
            at = (e % 2 == 0) ? std::max(1, at - jump) : std::min(length - 2, at + jump);
        else
            at = std::clamp(at + int(random() % 41) - 20, 1, length - 2);
        const int deleted =
            int(random() % 4 == 0 ? random() % std::min(600, length - at - 1) : random() % 3);
        const int inserted = int(std::min<unsigned>(random() % 5 + (random() % 8 == 0 ? 400 : 0),
                                                    unsigned(room - length + deleted)));
        steps.push_back({PosOp::Replace, at, deleted, inserted, 0});
        length += inserted - deleted;
        steps.push_back({PosOp::MoveAfter, at + inserted - 1, 0, 0,
                         float(int(random() % 33) - 16) / 4}); // -4 to +4
        if (random() % 5 == 0) {
            // A tab after the change takes up the move: entries up to it move, its end is set.
            const int tab = std::min(length - 2, at + inserted + int(random() % 300));
            steps.push_back({PosOp::MoveStep, tab + 1, 0, 0, 0});
            steps.push_back({PosOp::MoveRange, at + inserted, tab, 0, 2.5f});
            steps.push_back({PosOp::Set, tab + 1, 0, 0, float(8 * (tab + 1)) + 0.75f});
        }
    }
    return steps;
}

void applyStep(Scintilla::LinePositions& positions, std::vector<float>& model, const PosStep& s,
               float first) {
    switch (s.op) {
    case PosOp::Replace: {
        std::vector<float> values;
        for (int i = 0; i < s.inserted; ++i)
            values.push_back(first + float(i) * 0.25f);
        positions.ReplaceRange(s.at, s.count, values.data(), s.inserted);
        model.erase(model.begin() + s.at, model.begin() + s.at + s.count);
        model.insert(model.begin() + s.at, values.begin(), values.end());
        break;
    }
    case PosOp::MoveAfter:
        positions.MoveAfter(s.at, s.dx);
        for (size_t i = size_t(s.at) + 1; i < model.size(); ++i)
            model[i] += s.dx;
        break;
    case PosOp::MoveRange:
        positions.MoveRange(s.at, s.count, s.dx);
        for (int i = s.at; i <= std::min(s.count, int(model.size()) - 1); ++i)
            model[size_t(i)] += s.dx;
        break;
    case PosOp::Set:
        positions.Set(s.at, s.dx);
        model[size_t(s.at)] = s.dx;
        break;
    case PosOp::MoveStep:
        positions.MoveStep(s.at);
        break;
    case PosOp::SetLength: {
        const size_t kept = std::min(model.size(), size_t(s.count));
        positions.SetLength(s.count);
        model.resize(size_t(s.count));
        // Entries added at the end are undefined until set.
        for (size_t i = kept; i < model.size(); ++i) {
            model[i] = float(i);
            positions.Set(int(i), float(i));
        }
        break;
    }
    }
}

class LinePositionsEdits : public ::testing::TestWithParam<PositionsCase> {};

TEST_P(LinePositionsEdits, HoldTheXAPlainListHoldsAfterEveryStep) {
    const PositionsCase& c = GetParam();
    Scintilla::LinePositions positions;
    positions.Allocate(c.room);
    // A fresh layout: every entry written flat, then its length set as tracking sets it.
    float* flat = positions.Reset();
    ASSERT_EQ(positions.Length(), c.room);
    std::vector<float> model(size_t(c.length));
    for (int i = 0; i < c.length; ++i) {
        model[size_t(i)] = float(8 * i) + 0.5f * float(i % 3);
        flat[i] = model[size_t(i)];
    }
    positions.SetLength(c.length);
    for (size_t n = 0; n < c.steps.size(); ++n) {
        applyStep(positions, model, c.steps[n], 100000.0f + float(n));
        ASSERT_EQ(positions.Length(), int(model.size())) << "step " << n;
        ASSERT_EQ(positions.GapLength(), c.room - int(model.size())) << "step " << n;
        for (size_t i = 0; i < model.size(); ++i)
            ASSERT_EQ(positions[Sci::Position(i)], model[i]) << "step " << n << ", entry " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LinePositionsEdits,
    ::testing::Values(
        // A key at the start, then at the end, then at the start: the gap and the step
        // cross the whole line each time.
        PositionsCase{"FarApartAlternately",
                      5000,
                      5200,
                      {{PosOp::Replace, 1, 0, 1, 0},
                       {PosOp::MoveAfter, 1, 0, 0, 7.5f},
                       {PosOp::Replace, 4995, 0, 2, 0},
                       {PosOp::MoveAfter, 4996, 0, 0, -3.25f},
                       {PosOp::Replace, 2, 1, 3, 0},
                       {PosOp::MoveAfter, 4, 0, 0, 1.0f},
                       {PosOp::Replace, 5000, 3, 0, 0},
                       {PosOp::MoveAfter, 4999, 0, 0, 2.0f}}},
        // A deletion from before the pending step to well after it, and one that ends
        // exactly where the step starts.
        PositionsCase{"DeletionsAcrossTheStep",
                      3000,
                      3100,
                      {{PosOp::Replace, 1000, 0, 4, 0},
                       {PosOp::MoveAfter, 1003, 0, 0, 6.0f},
                       {PosOp::Replace, 900, 500, 1, 0},
                       {PosOp::MoveAfter, 900, 0, 0, -1.5f},
                       {PosOp::Replace, 850, 51, 0, 0},
                       {PosOp::MoveAfter, 849, 0, 0, 0.25f}}},
        // Tabs after a change: the entries up to each move, the step moves past them.
        PositionsCase{"TabsTakingUpTheMove",
                      2000,
                      2050,
                      {{PosOp::Replace, 100, 0, 2, 0},
                       {PosOp::MoveAfter, 101, 0, 0, 9.0f},
                       {PosOp::MoveStep, 400, 0, 0, 0},
                       {PosOp::MoveRange, 102, 399, 0, 3.0f},
                       {PosOp::Set, 400, 0, 0, 4000.0f},
                       {PosOp::MoveAfter, 400, 0, 0, -2.0f},
                       {PosOp::MoveStep, 50, 0, 0, 0},
                       {PosOp::MoveStep, 1999, 0, 0, 0},
                       {PosOp::Set, 1999, 0, 0, 1.25f}}},
        // The line grows into all its room and shrinks; the length set again with the gap
        // in the middle, shorter and longer.
        PositionsCase{"GrowingIntoTheRoomAndTracked",
                      100,
                      400,
                      {{PosOp::Replace, 50, 0, 300, 0},
                       {PosOp::MoveAfter, 349, 0, 0, 1.0f},
                       {PosOp::Replace, 10, 390, 0, 0},
                       {PosOp::MoveAfter, 9, 0, 0, 5.0f},
                       {PosOp::Replace, 5, 0, 20, 0},
                       {PosOp::SetLength, 0, 20, 0, 0},
                       {PosOp::SetLength, 0, 15, 0, 0},
                       {PosOp::Replace, 3, 0, 30, 0},
                       {PosOp::SetLength, 0, 60, 0, 0},
                       {PosOp::MoveAfter, 0, 0, 0, 0.5f}}},
        PositionsCase{"TypingNearTheLastChange", 20000, 22000, editsAt(1, 20000, 22000, 300, 0)},
        PositionsCase{"TypingFarFromTheLastChange", 20000, 22000,
                      editsAt(2, 20000, 22000, 100, 7000)},
        PositionsCase{"TypingInALineWithLittleRoom", 9000, 9010, editsAt(3, 9000, 9010, 200, 0)}),
    NameFrom<&PositionsCase::name>());

// --- The text and styles of a laid out line moved around changes, beside a plain string.

struct TextEdit {
    int at;
    int deleted;
    int inserted;
};

struct LineTextCase {
    const char* name;
    int length;    // bytes of the line to begin with
    int maxLength; // the layout's room
    std::vector<TextEdit> edits;
};

void PrintTo(const LineTextCase& c, std::ostream* os) {
    *os << c.name;
}

// `count` edits at `at`, each deleting `deleted` and inserting `inserted` bytes.
std::vector<TextEdit> repeated(int count, TextEdit edit) {
    return std::vector<TextEdit>(size_t(count), edit);
}

std::vector<TextEdit> joined(std::vector<TextEdit> a, const std::vector<TextEdit>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class LineLayoutText : public ::testing::TestWithParam<LineTextCase> {};

TEST_P(LineLayoutText, HoldsWhatAPlainStringHoldsAfterEveryEdit) {
    const LineTextCase& c = GetParam();
    Scintilla::LineLayout ll(c.maxLength);
    std::string text;
    std::string styles;
    for (int i = 0; i < c.length; ++i) {
        text += char('a' + i % 26);
        styles += char(i % 7);
    }
    std::copy(text.begin(), text.end(), ll.chars);
    std::copy(styles.begin(), styles.end(), ll.styles);
    for (size_t n = 0; n < c.edits.size(); ++n) {
        const TextEdit& e = c.edits[n];
        const int length = int(text.size());
        ASSERT_LE(e.at + e.deleted, length) << "edit " << n;
        ASSERT_LE(length - e.deleted + e.inserted, ll.maxLineLength) << "edit " << n;
        ll.MoveUnchangedText(e.at, e.at + e.deleted, e.at + e.inserted, length - e.at - e.deleted);
        // The changed part, read again as a layout reads it from the document.
        const std::string added(size_t(e.inserted), char('A' + n % 26));
        text.replace(size_t(e.at), size_t(e.deleted), added);
        styles.replace(size_t(e.at), size_t(e.deleted), std::string(added.size(), char(n % 5)));
        std::copy(added.begin(), added.end(), ll.chars + e.at);
        std::fill(ll.styles + e.at, ll.styles + e.at + e.inserted, char(n % 5));
        // Every byte up to the end of the room stays writable, as a full layout writes it.
        ll.chars[ll.maxLineLength] = 0;
        ll.styles[ll.maxLineLength] = 0;
        ASSERT_EQ(std::string(ll.chars, text.size()), text) << "edit " << n;
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(ll.styles), styles.size()), styles)
            << "edit " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, LineLayoutText,
    ::testing::Values(
        // Keys at the start until the room before the line runs out, and on.
        LineTextCase{"KeysAtTheStartPastTheRoom", 20000, 30000, repeated(1500, {5, 0, 1})},
        // Deletions at the start: the line starts later and later in its room.
        LineTextCase{"DeletionsAtTheStartPastTheRoom", 20000, 20000, repeated(900, {3, 2, 0})},
        // A paste at the start larger than the room, then keys.
        LineTextCase{"ABlockLargerThanTheRoomAtTheStart", 10000, 20000,
                     joined({{100, 0, 5000}}, repeated(30, {101, 0, 2}))},
        // Near the end the end moves, at the start the start; alternately.
        LineTextCase{"AlternatelyAtTheStartAndTheEnd", 9000, 12000,
                     joined(repeated(3, {10, 0, 3}),
                            joined(repeated(3, {8990, 1, 4}), repeated(3, {12, 2, 1})))},
        // A change that leaves nothing after it, and one replacing as much as it removes.
        LineTextCase{"NothingAfterOrNoMove", 5000, 6000, {{4000, 1000, 200}, {10, 40, 40}}},
        // A short line: no room around it, every change moves its end.
        LineTextCase{"AShortLine", 100, 200, {{5, 0, 10}, {0, 3, 0}, {50, 10, 1}}}),
    NameFrom<&LineTextCase::name>());

} // namespace

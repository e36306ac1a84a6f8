// SPDX-License-Identifier: GPL-3.0-or-later
// The find-next state and the line-number reading, without a window.
#include <gtest/gtest.h>

#include <cmath>

#include "search/finder.h"
#include "search/gotoline.h"
#include "testutil.h"

namespace {

// A search target over a plain string with the editor's find rules: case folded unless
// option 4, whole words (letters, digits, underscore) with option 2.
class StringTarget : public SearchTarget {
public:
    explicit StringTarget(QString t) : text(std::move(t)) {}
    QString text;
    int start = 0;
    int length = 0;
    int findCalls = 0;

    int textLength() const override { return text.size(); }
    int selStart() const override { return start; }
    int selLength() const override { return length; }
    void select(int s, int n) override {
        start = s;
        length = n;
    }
    void replaceSelection(const QString& r) override {
        text.replace(start, length, r);
        start += r.size();
        length = 0;
    }
    int find(const QString& what, int from, int end, int options) override {
        ++findCalls;
        const Qt::CaseSensitivity cs = (options & 4) ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (int p = text.indexOf(what, from, cs); p >= 0 && p + what.size() <= end;
             p = text.indexOf(what, p + 1, cs)) {
            if ((options & 2) && !(boundary(p) && boundary(p + what.size())))
                continue;
            select(p, what.size());
            return p;
        }
        return -1;
    }

private:
    static bool wordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }
    bool boundary(int p) const {
        return p == 0 || p == text.size() || !wordChar(text[p - 1]) || !wordChar(text[p]);
    }
};

// ---- Find Next ---------------------------------------------------------------------------

TEST(FinderTest, FindNextWalksThroughOccurrencesAndStartsOverAfterTheEnd) {
    StringTarget t(QStringLiteral("a b a"));
    Finder f;
    EXPECT_TRUE(f.findNext(t, QStringLiteral("a"), 0));
    EXPECT_EQ(t.start, 0);
    EXPECT_FALSE(f.NewSearch());
    EXPECT_TRUE(f.findNext(t, QStringLiteral("a"), 0));
    EXPECT_EQ(t.start, 4);
    EXPECT_FALSE(f.findNext(t, QStringLiteral("a"), 0));
    EXPECT_EQ(t.start, 4) << "a failed search leaves the selection";
    EXPECT_TRUE(f.NewSearch());
    EXPECT_TRUE(f.findNext(t, QStringLiteral("a"), 0));
    EXPECT_EQ(t.start, 0);
}

TEST(FinderTest, AFreshSearchStartsAtTheTopWhateverTheCaret) {
    StringTarget t(QStringLiteral("x..x"));
    t.select(3, 0);
    Finder f;
    EXPECT_TRUE(f.findNext(t, QStringLiteral("x"), 0));
    EXPECT_EQ(t.start, 0);
}

TEST(FinderTest, ResetSendsTheNextSearchToTheTop) {
    StringTarget t(QStringLiteral("a a a"));
    Finder f;
    f.findNext(t, QStringLiteral("a"), 0);
    f.findNext(t, QStringLiteral("a"), 0);
    EXPECT_EQ(t.start, 2);
    f.reset();
    f.findNext(t, QStringLiteral("a"), 0);
    EXPECT_EQ(t.start, 0);
}

TEST(FinderTest, EditedSearchTextSearchesOnFromTheSelection) {
    StringTarget t(QStringLiteral("b a b a"));
    Finder f;
    f.findNext(t, QStringLiteral("a"), 0); // selects position 2
    EXPECT_TRUE(f.findNext(t, QStringLiteral("b"), 0));
    EXPECT_EQ(t.start, 4) << "not the b at the top";
}

// ---- Replace -----------------------------------------------------------------------------

struct ReplaceCase {
    const char* name;
    const char* text;
    const char* what;
    const char* with;
    int options;
    // The text after each click, and whether that click found a next occurrence.
    std::vector<std::pair<const char*, bool>> clicks;
};

void PrintTo(const ReplaceCase& c, std::ostream* os) {
    *os << c.name;
}

class FinderReplaceTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(FinderReplaceTest, OneOccurrencePerClick) {
    const ReplaceCase& c = GetParam();
    StringTarget t(QString::fromUtf8(c.text));
    Finder f;
    int click = 0;
    for (const auto& [after, found] : c.clicks) {
        SCOPED_TRACE(::testing::Message() << "click " << ++click);
        EXPECT_EQ(f.replace(t, QString::fromUtf8(c.what), QString::fromUtf8(c.with), c.options),
                  found);
        EXPECT_EQ(t.text, QString::fromUtf8(after));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, FinderReplaceTest,
    ::testing::Values(
        ReplaceCase{
            "wholeWord", "cat a at", "a", "THE", 2, {{"cat a at", true}, {"cat THE at", false}}},
        ReplaceCase{"matchCase", "A a", "a", "b", 4, {{"A a", true}, {"A b", false}}},
        ReplaceCase{
            "foldedCase", "A a", "a", "b", 0, {{"A a", true}, {"b a", true}, {"b b", false}}}),
    NameFrom<&ReplaceCase::name>());

TEST(FinderTest, ReplaceAfterTheSearchTextChangedSearchesOnInsteadOfReplacing) {
    StringTarget t(QStringLiteral("foo bar foo bar"));
    Finder f;
    f.replace(t, QStringLiteral("foo"), QStringLiteral("X"), 0); // selects the first foo
    bool replaced = true;
    // The user now searches for "bar": the selected "foo" is not what is searched for.
    EXPECT_TRUE(f.replace(t, QStringLiteral("bar"), QStringLiteral("X"), 0, &replaced));
    EXPECT_FALSE(replaced);
    EXPECT_EQ(t.text, QStringLiteral("foo bar foo bar"));
    EXPECT_EQ(t.start, 4);
    EXPECT_EQ(t.length, 3);
    // The next click replaces the bar it found.
    EXPECT_TRUE(f.replace(t, QStringLiteral("bar"), QStringLiteral("X"), 0, &replaced));
    EXPECT_TRUE(replaced);
    EXPECT_EQ(t.text, QStringLiteral("foo X foo bar"));
}

TEST(FinderTest, ReplaceAfterTickingAnOptionThatNoLongerMatchesSearchesOn) {
    StringTarget t(QStringLiteral("Ab ab"));
    Finder f;
    f.replace(t, QStringLiteral("ab"), QStringLiteral("z"), 0); // selects "Ab" (case folded)
    bool replaced = true;
    EXPECT_TRUE(f.replace(t, QStringLiteral("ab"), QStringLiteral("z"), 4, &replaced));
    EXPECT_FALSE(replaced) << "\"Ab\" is not an occurrence under Match Case";
    EXPECT_EQ(t.text, QStringLiteral("Ab ab"));
    EXPECT_EQ(t.start, 3);
}

TEST(FinderTest, ReplaceKeepsTheSelectionWhenAMatchLiesInsideIt) {
    // Searching "b" where "abc" is selected: the selection is not an occurrence, and the
    // search goes on after it rather than from the "b" inside it.
    StringTarget t(QStringLiteral("abc b"));
    Finder f;
    f.replace(t, QStringLiteral("abc"), QStringLiteral("-"), 0);
    bool replaced = true;
    EXPECT_TRUE(f.replace(t, QStringLiteral("b"), QStringLiteral("-"), 0, &replaced));
    EXPECT_FALSE(replaced);
    EXPECT_EQ(t.text, QStringLiteral("abc b"));
    EXPECT_EQ(t.start, 4);
}

// ---- line numbers ------------------------------------------------------------------------

struct PrefixCase {
    const char* text;
    double value;
};

void PrintTo(const PrefixCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.text);
}

class NumericPrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(NumericPrefixTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(numericPrefix(QString::fromUtf8(GetParam().text)), GetParam().value)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericPrefixTest,
    ::testing::Values(PrefixCase{"12abc", 12}, PrefixCase{"2.5", 2.5}, PrefixCase{"-3", -3},
                      PrefixCase{"abc", 0}, PrefixCase{"", 0}, PrefixCase{"3x", 3},
                      PrefixCase{"  7", 7}, PrefixCase{"\t+4z", 4}, PrefixCase{".5", 0.5},
                      PrefixCase{"5.", 5}, PrefixCase{".", 0}, PrefixCase{"-", 0},
                      PrefixCase{"1e3", 1000}, PrefixCase{"2e", 2}, PrefixCase{"2e+x", 2},
                      PrefixCase{"0x10", 0}, PrefixCase{"1 2", 1}, PrefixCase{"007", 7}),
    NameFrom<&PrefixCase::text>());

TEST(NumericPrefixTest, HugeNumbersStayHugeInsteadOfBecomingZero) {
    EXPECT_TRUE(std::isinf(numericPrefix(QStringLiteral("9e999"))));
    EXPECT_GT(numericPrefix(QStringLiteral("99999999999999999999")), 1e19);
}

struct LineCase {
    double n;
    int lineCount;
    int line;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << "line " << c.n << " of " << c.lineCount;
}

class TargetLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(TargetLineTest, OnlyWholeNumbersOfExistingLines) {
    EXPECT_EQ(targetLine(GetParam().n, GetParam().lineCount), GetParam().line)
        << GetParam().n << " of " << GetParam().lineCount;
}

INSTANTIATE_TEST_SUITE_P(Numbers, TargetLineTest,
                         ::testing::Values(LineCase{1, 3, 0}, LineCase{2, 3, 1}, LineCase{3, 3, 2},
                                           LineCase{4, 3, -1}, LineCase{0, 3, -1},
                                           LineCase{-3, 3, -1}, LineCase{2.5, 3, -1},
                                           LineCase{1e12, 3, -1}, LineCase{HUGE_VAL, 3, -1},
                                           LineCase{NAN, 3, -1}, LineCase{1, 1, 0}),
                         PrintedName());

} // namespace

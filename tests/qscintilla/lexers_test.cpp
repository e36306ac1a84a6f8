// SPDX-License-Identifier: GPL-3.0-or-later
// The lexers that QScintilla's catalogue offers: none to the editor, which styles every
// document itself; in a build with the benchmarks, the HTML lexer of their anchor.
#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>
#if VR_BENCH_BUILD
#include <Qsci/qscilexerhtml.h>
#endif

#include "testutil.h"

namespace {

struct LanguageCase {
    const char* name; // Scintilla's name of the language
    bool benchAnchor; // LexHTML's, compiled in for the benchmarks
};

void PrintTo(const LanguageCase& c, std::ostream* os) {
    *os << c.name;
}

class Catalogue : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(Catalogue, OffersALanguageOnlyWhenItsLexerIsCompiledIn) {
    QsciScintilla editor;
    ASSERT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_GETLEXER),
              QsciScintillaBase::SCLEX_CONTAINER);
    editor.SendScintilla(QsciScintillaBase::SCI_SETLEXERLANGUAGE, 0UL, GetParam().name);
    const bool offered =
        editor.SendScintilla(QsciScintillaBase::SCI_GETLEXER) != QsciScintillaBase::SCLEX_CONTAINER;
    EXPECT_EQ(offered, VR_BENCH_BUILD && GetParam().benchAnchor);
}

INSTANTIATE_TEST_SUITE_P(Languages, Catalogue,
                         ::testing::Values(LanguageCase{"hypertext", true},
                                           LanguageCase{"xml", true},
                                           LanguageCase{"phpscript", true},
                                           LanguageCase{"cpp", false}, LanguageCase{"css", false},
                                           LanguageCase{"python", false},
                                           LanguageCase{"null", false}),
                         NameFrom<&LanguageCase::name>());

#if VR_BENCH_BUILD
TEST(Catalogue, TheBenchmarksAnchorStylesMarkup) {
    QsciScintilla editor;
    editor.setLexer(new QsciLexerHTML(&editor));
    editor.setText(QStringLiteral("<p class=\"x\">text</p>"));
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 1), QsciLexerHTML::Tag);
    EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 3), QsciLexerHTML::Attribute);
}
#endif

} // namespace

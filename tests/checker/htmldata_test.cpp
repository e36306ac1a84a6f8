// SPDX-License-Identifier: GPL-3.0-or-later
// The HTML name tables: lookups as the parser and the checker make them.
#include <gtest/gtest.h>

#include <algorithm>

#include "htmldata/htmldata.h"
#include "testutil.h"

using namespace htmldata;

namespace {

TEST(HtmlData, ElementsByTheirLowerCaseNames) {
    ASSERT_TRUE(tagFromName(u"div"));
    EXPECT_EQ(tagName(*tagFromName(u"div")), QLatin1String("div"));
    EXPECT_EQ(tagFromName(u"template"), Tag::Template);
    EXPECT_FALSE(tagFromName(u"DIV")); // the parser lowers names first
    EXPECT_FALSE(tagFromName(u"my-element"));
    EXPECT_FALSE(tagFromName(u""));
    EXPECT_FALSE(tagFromName(u"divx"));
    const QStringList names = elementNames();
    EXPECT_EQ(names.size(), kTagCount);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
}

struct ElementCase {
    const char16_t* name;
    bool isVoid;
    bool obsolete;
    bool nonStandard;
};

class ElementKinds : public ::testing::TestWithParam<ElementCase> {};

TEST_P(ElementKinds, AreMarked) {
    const auto tag = tagFromName(GetParam().name);
    ASSERT_TRUE(tag);
    EXPECT_EQ(isVoid(*tag), GetParam().isVoid);
    EXPECT_EQ(isObsolete(*tag), GetParam().obsolete);
    EXPECT_EQ(isNonStandard(*tag), GetParam().nonStandard);
}

INSTANTIATE_TEST_SUITE_P(Names, ElementKinds,
                         ::testing::Values(ElementCase{u"br", true, false, false},
                                           ElementCase{u"img", true, false, false},
                                           ElementCase{u"wbr", true, false, false},
                                           ElementCase{u"p", false, false, false},
                                           ElementCase{u"template", false, false, false},
                                           ElementCase{u"center", false, true, false},
                                           ElementCase{u"marquee", false, true, false},
                                           ElementCase{u"param", true, true, false},
                                           ElementCase{u"shadow", false, false, true},
                                           ElementCase{u"selectedcontent", false, false, false}),
                         [](const auto& info) {
                             return testName(QString::fromUtf16(info.param.name));
                         });

TEST(HtmlData, Attributes) {
    EXPECT_TRUE(isGlobalAttribute(u"class"));
    EXPECT_TRUE(isGlobalAttribute(u"hidden"));
    EXPECT_FALSE(isGlobalAttribute(u"href"));
    EXPECT_TRUE(isOwnAttribute(Tag::A, u"href"));
    EXPECT_TRUE(isOwnAttribute(Tag::Img, u"alt"));
    EXPECT_TRUE(isOwnAttribute(Tag::Input, u"type"));
    EXPECT_FALSE(isOwnAttribute(Tag::Div, u"href"));
    EXPECT_FALSE(isOwnAttribute(Tag::Img, u"class")); // global, not its own
    EXPECT_TRUE(isEventHandlerAttribute(u"onclick"));
    EXPECT_FALSE(isEventHandlerAttribute(u"onfrobnicate"));
    EXPECT_TRUE(isAriaAttribute(u"aria-label"));
    EXPECT_TRUE(attributesOf(Tag::Img).contains(QStringLiteral("srcset")));
    EXPECT_TRUE(globalAttributes().contains(QStringLiteral("id")));
    EXPECT_TRUE(eventHandlerAttributes().contains(QStringLiteral("onload")));
}

TEST(HtmlData, EnumeratedValuesByElement) {
    EXPECT_TRUE(enumeratedValues(u"input", u"type").contains(QStringLiteral("checkbox")));
    EXPECT_TRUE(enumeratedValues(u"BUTTON", u"TYPE").contains(QStringLiteral("submit")));
    EXPECT_FALSE(enumeratedValues(u"button", u"type").contains(QStringLiteral("checkbox")));
    bool caseSensitive = false;
    EXPECT_TRUE(enumeratedValues(u"ol", u"type", &caseSensitive).contains(QStringLiteral("A")));
    EXPECT_TRUE(caseSensitive);
    EXPECT_TRUE(enumeratedValues(u"form", u"method").contains(QStringLiteral("post")));
    EXPECT_TRUE(enumeratedValues(u"div", u"dir").contains(QStringLiteral("rtl"))); // any element
    EXPECT_TRUE(enumeratedValues(u"div", u"class").isEmpty());
}

TEST(HtmlData, SvgAndMathMlNamesInAnyCase) {
    EXPECT_TRUE(isSvgElement(u"foreignObject"));
    EXPECT_TRUE(isSvgElement(u"foreignobject"));
    EXPECT_TRUE(isSvgElement(u"circle"));
    EXPECT_FALSE(isSvgElement(u"div"));
    EXPECT_TRUE(isMathMlElement(u"mi"));
    EXPECT_TRUE(isMathMlElement(u"annotation-xml"));
    EXPECT_FALSE(isMathMlElement(u"circle"));
}

TEST(HtmlData, CharacterReferences) {
    ASSERT_TRUE(characterReference(u"amp"));
    EXPECT_EQ(characterReference(u"amp")->characters, u"&");
    EXPECT_TRUE(characterReference(u"amp")->legacy);
    EXPECT_FALSE(characterReference(u"notin")->legacy);
    EXPECT_EQ(characterReference(u"notin")->characters, u"\u2209");
    EXPECT_EQ(characterReference(u"Afr")->characters, QString::fromUcs4(U"\U0001D504"));
    EXPECT_EQ(characterReference(u"NotEqualTilde")->characters, u"\u2242\u0338");
    EXPECT_FALSE(characterReference(u"AMPx"));
    EXPECT_FALSE(characterReference(u"Amp")); // names are case-sensitive
    EXPECT_EQ(longestLegacyReference(u"notit"), 3);
    EXPECT_EQ(longestLegacyReference(u"copy2020"), 4);
    EXPECT_EQ(longestLegacyReference(u"notin"), 3);
    EXPECT_EQ(longestLegacyReference(u"hellip"), 0); // needs its semicolon
    EXPECT_EQ(longestLegacyReference(u""), 0);
    EXPECT_EQ(characterReferenceCount(), 2125);
}

} // namespace

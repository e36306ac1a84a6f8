// SPDX-License-Identifier: GPL-3.0-or-later
#include "checker/elements.h"

#include <array>
#include <cstddef>
#include <initializer_list>

namespace checker {
namespace {

using T = Tag;

std::array<std::uint32_t, htmldata::kTagCount> makeTable() {
    std::array<std::uint32_t, htmldata::kTagCount> flags{};
    const auto set = [&](std::uint32_t flag, std::initializer_list<Tag> tags) {
        for (Tag t : tags)
            flags[std::size_t(t)] |= flag;
    };
    set(kSpecial, {T::Address,    T::Applet,   T::Area,       T::Article,  T::Aside,   T::Base,
                   T::Basefont,   T::Bgsound,  T::Blockquote, T::Body,     T::Br,      T::Button,
                   T::Caption,    T::Center,   T::Col,        T::Colgroup, T::Dd,      T::Details,
                   T::Dir,        T::Div,      T::Dl,         T::Dt,       T::Embed,   T::Fieldset,
                   T::Figcaption, T::Figure,   T::Footer,     T::Form,     T::Frame,   T::Frameset,
                   T::H1,         T::H2,       T::H3,         T::H4,       T::H5,      T::H6,
                   T::Head,       T::Header,   T::Hgroup,     T::Hr,       T::Html,    T::Iframe,
                   T::Img,        T::Input,    T::Keygen,     T::Li,       T::Link,    T::Listing,
                   T::Main,       T::Marquee,  T::Menu,       T::Meta,     T::Nav,     T::Noembed,
                   T::Noframes,   T::Noscript, T::Object,     T::Ol,       T::P,       T::Param,
                   T::Plaintext,  T::Pre,      T::Script,     T::Search,   T::Section, T::Select,
                   T::Source,     T::Style,    T::Summary,    T::Table,    T::Tbody,   T::Td,
                   T::Template,   T::Textarea, T::Tfoot,      T::Th,       T::Thead,   T::Title,
                   T::Tr,         T::Track,    T::Ul,         T::Wbr,      T::Xmp});
    set(kFormatting, {T::A, T::B, T::Big, T::Code, T::Em, T::Font, T::I, T::Nobr, T::S, T::Small,
                      T::Strike, T::Strong, T::Tt, T::U});
    set(kOptionalEnd,
        {T::Html,    T::Head,  T::Body,  T::P,     T::Li,       T::Dt,     T::Dd,
         T::Rb,      T::Rt,    T::Rtc,   T::Rp,    T::Optgroup, T::Option, T::Colgroup,
         T::Caption, T::Thead, T::Tbody, T::Tfoot, T::Tr,       T::Td,     T::Th});
    set(kPhrasing,
        {T::A, T::Abbr, T::Area, T::Audio, T::B, T::Bdi, T::Bdo, T::Br, T::Button, T::Canvas,
         T::Cite, T::Code, T::Data, T::Datalist, T::Del, T::Dfn, T::Em, T::Embed, T::I, T::Iframe,
         T::Img, T::Input, T::Ins, T::Kbd, T::Label, T::Link, T::Map, T::Mark, T::Math, T::Meta,
         T::Meter, T::Noscript, T::Object, T::Output, T::Picture, T::Progress, T::Q, T::Ruby, T::S,
         T::Samp, T::Script, T::Select, T::Slot, T::Small, T::Span, T::Strong, T::Sub, T::Sup,
         T::Svg, T::Template, T::Textarea, T::Time, T::U, T::Var, T::Video, T::Wbr,
         // obsolete elements that browsers treat as text-level
         T::Acronym, T::Applet, T::Basefont, T::Bgsound, T::Big, T::Blink, T::Font, T::Keygen,
         T::Marquee, T::Nobr, T::Spacer, T::Strike, T::Tt, T::Image});
    set(kBlock,
        {T::Address, T::Article, T::Aside,     T::Blockquote, T::Center,     T::Details, T::Dialog,
         T::Dir,     T::Div,     T::Dl,        T::Fieldset,   T::Figcaption, T::Figure,  T::Footer,
         T::Form,    T::H1,      T::H2,        T::H3,         T::H4,         T::H5,      T::H6,
         T::Header,  T::Hgroup,  T::Hr,        T::Listing,    T::Main,       T::Menu,    T::Nav,
         T::Ol,      T::P,       T::Plaintext, T::Pre,        T::Search,     T::Section, T::Table,
         T::Ul,      T::Xmp});
    set(kPhrasingOnly,
        {T::Abbr,  T::B,        T::Bdi,    T::Bdo,    T::Button, T::Cite,    T::Code,   T::Data,
         T::Dfn,   T::Em,       T::H1,     T::H2,     T::H3,     T::H4,      T::H5,     T::H6,
         T::I,     T::Kbd,      T::Label,  T::Legend, T::Mark,   T::Meter,   T::Output, T::P,
         T::Pre,   T::Progress, T::Q,      T::Rp,     T::Rt,     T::Ruby,    T::S,      T::Samp,
         T::Small, T::Span,     T::Strong, T::Sub,    T::Sup,    T::Summary, T::Time,   T::U,
         T::Var,   T::Acronym,  T::Big,    T::Nobr,   T::Strike, T::Tt});
    set(kTransparent, {T::A, T::Audio, T::Canvas, T::Del, T::Ins, T::Map, T::Noscript, T::Object,
                       T::Slot, T::Video, T::Font, T::Center, T::Marquee, T::Blink});
    set(kHeading, {T::H1, T::H2, T::H3, T::H4, T::H5, T::H6});
    set(kMetadataOnly, {T::Title, T::Base});
    return flags;
}

} // namespace

std::uint32_t elementFlags(int tag) {
    static const std::array<std::uint32_t, htmldata::kTagCount> table = makeTable();
    return table[std::size_t(tag)];
}

} // namespace checker

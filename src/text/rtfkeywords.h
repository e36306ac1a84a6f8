// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// The control words the rich-text reader acts on.
namespace rtf {

enum class Kw {
    Unknown,
    Par,
    Tab,
    Cell,
    Row,
    Emdash,
    Endash,
    Bullet,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
    Emspace,
    Enspace,
    Qmspace,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Cf,
    Highlight,
    Font,
    FontSize,
    Up,
    Dn,
    U,
    Uc,
    Bin,
    Ansi,
    Mac,
    Pc,
    Pca,
    Ansicpg,
    Deff,
    Fcharset,
    Red,
    Green,
    Blue,
    FontTable,
    ColorTable,
    SkipDest,
};

// The keyword a control word stands for (Kw::Unknown for any other word).
Kw keyword(std::string_view word);

} // namespace rtf

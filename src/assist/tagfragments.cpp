// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/tagfragments.h"

#include <cstring>

namespace assist {

namespace {

using Shape = TagCommand::Shape;
using M = MenuActions;

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

const std::vector<TagCommand>& fixedTagCommands() {
    static const std::vector<TagCommand> commands = {
        // Tags
        {"mnuDoctype", &M::mnuDoctype, Shape::Single, "<!DOCTYPE html>", ""},
        {"mnuHtml", &M::mnuHtml, Shape::Single, "<html lang='en'>", ""},
        {"mnuHead", &M::mnuHead, Shape::LoneCrPair, "<head>", "</head>"},
        {"mnuCharset", &M::mnuCharset, Shape::Single, "<meta charset='utf-8'>", ""},
        {"mnuViewport", &M::mnuViewport, Shape::Single,
         "<meta name='viewport' content='width=device-width, initial-scale=1.0'>", ""},
        {"mnuInternal", &M::mnuInternal, Shape::Pair, "<style>", "</style>"},
        {"mnuJavaScript", &M::mnuJavaScript, Shape::ScriptBlock, "<script language=\"javascript\">",
         "</script>"},
        {"mnuBody", &M::mnuBody, Shape::Pair, "<body>", "</body>"},
        // Semantics
        {"mnuArticle", &M::mnuArticle, Shape::Pair, "<article>", "</article>"},
        {"mnuAside", &M::mnuAside, Shape::Pair, "<aside>", "</aside>"},
        {"mnuDetails", &M::mnuDetails, Shape::Pair, "<details>", "</details>"},
        {"mnuFigcaption", &M::mnuFigcaption, Shape::Pair, "<figcaption>", "</figcaption>"},
        {"mnuFigure", &M::mnuFigure, Shape::Pair, "<figure>", "</figure>"},
        {"mnuFooter", &M::mnuFooter, Shape::Pair, "<footer>", "</footer>"},
        {"mnuHeader", &M::mnuHeader, Shape::Pair, "<header>", "</header>"},
        {"mnuMain", &M::mnuMain, Shape::Pair, "<main>", "</main>"},
        {"mnuMark", &M::mnuMark, Shape::Pair, "<mark>", "</mark>"},
        {"mnuNav", &M::mnuNav, Shape::Pair, "<nav>", "</nav>"},
        {"mnuSection", &M::mnuSection, Shape::Pair, "<section>", "</section>"},
        {"mnuSummary", &M::mnuSummary, Shape::Pair, "<summary>", "</summary>"},
        {"mnuTime", &M::mnuTime, Shape::Pair, "<time>", "</time>"},
        // Headings
        {"mnuH1", &M::mnuH1, Shape::Pair, "<h1>", "</h1>"},
        {"mnuH2", &M::mnuH2, Shape::Pair, "<h2>", "</h2>"},
        {"mnuH3", &M::mnuH3, Shape::Pair, "<h3>", "</h3>"},
        {"mnuH4", &M::mnuH4, Shape::Pair, "<h4>", "</h4>"},
        {"mnuH5", &M::mnuH5, Shape::Pair, "<h5>", "</h5>"},
        {"mnuH6", &M::mnuH6, Shape::Pair, "<h6>", "</h6>"},
        // Paragraphs
        {"mnuParagraph", &M::mnuParagraph, Shape::Pair, "<p>", "</p>"},
        {"mnuHorizontalRule", &M::mnuHorizontalRule, Shape::Single, "<hr>", ""},
        {"mnuLineBreak", &M::mnuLineBreak, Shape::Single, "<br>", ""},
        {"mnuPreformattedText", &M::mnuPreformattedText, Shape::Pair, "<pre>", "</pre>"},
        // Formatting
        {"mnuBold", &M::mnuBold, Shape::Pair, "<b>", "</b>"},
        {"mnuImportant", &M::mnuImportant, Shape::Pair, "<strong>", "</strong>"},
        {"mnuItalic", &M::mnuItalic, Shape::Pair, "<i>", "</i>"},
        {"mnuEmphasized", &M::mnuEmphasized, Shape::Pair, "<em>", "</em>"},
        {"mnuMarked", &M::mnuMarked, Shape::Pair, "<mark>", "</mark>"},
        {"mnuSmaller", &M::mnuSmaller, Shape::Pair, "<small>", "</small>"},
        {"mnuDeleted", &M::mnuDeleted, Shape::Pair, "<del>", "</del>"},
        {"mnuInserted", &M::mnuInserted, Shape::Pair, "<ins>", "</ins>"},
        {"mnuSubscript", &M::mnuSubscript, Shape::Pair, "<sub>", "</sub>"},
        {"mnuSuperscript", &M::mnuSuperscript, Shape::Pair, "<sup>", "</sup>"},
        // Quotations
        {"mnuAbbr", &M::mnuAbbr, Shape::Pair, "<abbr>", "</abbr>"},
        {"mnuAddress", &M::mnuAddress, Shape::Pair, "<address>", "</address>"},
        {"mnuBdo", &M::mnuBdo, Shape::Pair, "<bdo>", "</bdo>"},
        {"mnuBlockquote", &M::mnuBlockquote, Shape::Pair, "<blockquote>", "</blockquote>"},
        {"mnuCite", &M::mnuCite, Shape::Pair, "<cite>", "</cite>"},
        {"mnuQ", &M::mnuQ, Shape::Pair, "<q>", "</q>"},
    };
    return commands;
}

QString tagFragment(const TagCommand& command) {
    const QString open = QString::fromLatin1(command.open);
    const QString close = QString::fromLatin1(command.close);
    switch (command.shape) {
    case Shape::Single:
        return open;
    case Shape::Pair:
        return open + kCrLf + kCrLf + close;
    case Shape::LoneCrPair:
        return open + QLatin1Char('\r') + kCrLf + close;
    case Shape::ScriptBlock:
        return open + kCrLf + QStringLiteral("<!--") + kCrLf + kCrLf + QStringLiteral("-->") +
               kCrLf + close;
    }
    return QString();
}

QString tagFragment(const char* itemName) {
    for (const TagCommand& c : fixedTagCommands())
        if (std::strcmp(c.name, itemName) == 0)
            return tagFragment(c);
    return QString();
}

} // namespace assist

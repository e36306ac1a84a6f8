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
        {"mnuDoctype", &M::mnuDoctype, "<Doctype>", Shape::Single, "<!DOCTYPE html>", ""},
        {"mnuHtml", &M::mnuHtml, "<Html>", Shape::Single, "<html lang='en'>", ""},
        {"mnuHead", &M::mnuHead, "<Head>", Shape::LoneCrPair, "<head>", "</head>"},
        {"mnuCharset", &M::mnuCharset, "Charset", Shape::Single, "<meta charset='utf-8'>", ""},
        {"mnuViewport", &M::mnuViewport, "Viewport", Shape::Single,
         "<meta name='viewport' content='width=device-width, initial-scale=1.0'>", ""},
        {"mnuInternal", &M::mnuInternal, "Internal", Shape::Pair, "<style>", "</style>"},
        {"mnuJavaScript", &M::mnuJavaScript, "JavaScript", Shape::ScriptBlock,
         "<script language=\"javascript\">", "</script>"},
        {"mnuBody", &M::mnuBody, "<Body>", Shape::Pair, "<body>", "</body>"},
        // Semantics
        {"mnuArticle", &M::mnuArticle, "<article>", Shape::Pair, "<article>", "</article>"},
        {"mnuAside", &M::mnuAside, "<aside>", Shape::Pair, "<aside>", "</aside>"},
        {"mnuDetails", &M::mnuDetails, "<details>", Shape::Pair, "<details>", "</details>"},
        {"mnuFigcaption", &M::mnuFigcaption, "<figcaption>", Shape::Pair, "<figcaption>",
         "</figcaption>"},
        {"mnuFigure", &M::mnuFigure, "<figure>", Shape::Pair, "<figure>", "</figure>"},
        {"mnuFooter", &M::mnuFooter, "<footer>", Shape::Pair, "<footer>", "</footer>"},
        {"mnuHeader", &M::mnuHeader, "<header>", Shape::Pair, "<header>", "</header>"},
        {"mnuMain", &M::mnuMain, "<main>", Shape::Pair, "<main>", "</main>"},
        {"mnuMark", &M::mnuMark, "<mark>", Shape::Pair, "<mark>", "</mark>"},
        {"mnuNav", &M::mnuNav, "<nav>", Shape::Pair, "<nav>", "</nav>"},
        {"mnuSection", &M::mnuSection, "<section>", Shape::Pair, "<section>", "</section>"},
        {"mnuSummary", &M::mnuSummary, "<summary>", Shape::Pair, "<summary>", "</summary>"},
        {"mnuTime", &M::mnuTime, "<time>", Shape::Pair, "<time>", "</time>"},
        // Headings
        {"mnuH1", &M::mnuH1, "<h1>", Shape::Pair, "<h1>", "</h1>"},
        {"mnuH2", &M::mnuH2, "<h2>", Shape::Pair, "<h2>", "</h2>"},
        {"mnuH3", &M::mnuH3, "<h3>", Shape::Pair, "<h3>", "</h3>"},
        {"mnuH4", &M::mnuH4, "<h4>", Shape::Pair, "<h4>", "</h4>"},
        {"mnuH5", &M::mnuH5, "<h5>", Shape::Pair, "<h5>", "</h5>"},
        {"mnuH6", &M::mnuH6, "<h6>", Shape::Pair, "<h6>", "</h6>"},
        // Paragraphs
        {"mnuParagraph", &M::mnuParagraph, "<p>", Shape::Pair, "<p>", "</p>"},
        {"mnuHorizontalRule", &M::mnuHorizontalRule, "<hr>", Shape::Single, "<hr>", ""},
        {"mnuLineBreak", &M::mnuLineBreak, "<br>", Shape::Single, "<br>", ""},
        {"mnuPreformattedText", &M::mnuPreformattedText, "<pre>", Shape::Pair, "<pre>", "</pre>"},
        // Formatting
        {"mnuBold", &M::mnuBold, "<b>", Shape::Pair, "<b>", "</b>"},
        {"mnuImportant", &M::mnuImportant, "<strong>", Shape::Pair, "<strong>", "</strong>"},
        {"mnuItalic", &M::mnuItalic, "<i>", Shape::Pair, "<i>", "</i>"},
        {"mnuEmphasized", &M::mnuEmphasized, "<em>", Shape::Pair, "<em>", "</em>"},
        {"mnuMarked", &M::mnuMarked, "<mark>", Shape::Pair, "<mark>", "</mark>"},
        {"mnuSmaller", &M::mnuSmaller, "<small>", Shape::Pair, "<small>", "</small>"},
        {"mnuDeleted", &M::mnuDeleted, "<del>", Shape::Pair, "<del>", "</del>"},
        {"mnuInserted", &M::mnuInserted, "<ins>", Shape::Pair, "<ins>", "</ins>"},
        {"mnuSubscript", &M::mnuSubscript, "<sub>", Shape::Pair, "<sub>", "</sub>"},
        {"mnuSuperscript", &M::mnuSuperscript, "<sup>", Shape::Pair, "<sup>", "</sup>"},
        // Quotations
        {"mnuAbbr", &M::mnuAbbr, "<abbr>", Shape::Pair, "<abbr>", "</abbr>"},
        {"mnuAddress", &M::mnuAddress, "<address>", Shape::Pair, "<address>", "</address>"},
        {"mnuBdo", &M::mnuBdo, "<bdo>", Shape::Pair, "<bdo>", "</bdo>"},
        {"mnuBlockquote", &M::mnuBlockquote, "<blockquote>", Shape::Pair, "<blockquote>",
         "</blockquote>"},
        {"mnuCite", &M::mnuCite, "<cite>", Shape::Pair, "<cite>", "</cite>"},
        {"mnuQ", &M::mnuQ, "<q>", Shape::Pair, "<q>", "</q>"},
    };
    return commands;
}

const TagCommand* tagCommand(QAction* MenuActions::*item) {
    for (const TagCommand& c : fixedTagCommands())
        if (c.item == item)
            return &c;
    return nullptr;
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

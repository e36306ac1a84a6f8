// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/tagfragments.h"

#include <cstring>

namespace assist {

namespace {

using Shape = TagCommand::Shape;

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

const std::vector<TagCommand>& fixedTagCommands() {
    static const std::vector<TagCommand> commands = {
        // Tags
        {"mnuDoctype", Shape::Single, "<!DOCTYPE html>", ""},
        {"mnuHtml", Shape::Single, "<html lang='en'>", ""},
        {"mnuHead", Shape::LoneCrPair, "<head>", "</head>"},
        {"mnuCharset", Shape::Single, "<meta charset='utf-8'>", ""},
        {"mnuViewport", Shape::Single,
         "<meta name='viewport' content='width=device-width, initial-scale=1.0'>", ""},
        {"mnuInternal", Shape::Pair, "<style>", "</style>"},
        {"mnuJavaScript", Shape::ScriptBlock, "<script language=\"javascript\">", "</script>"},
        {"mnuBody", Shape::Pair, "<body>", "</body>"},
        // Semantics
        {"mnuArticle", Shape::Pair, "<article>", "</article>"},
        {"mnuAside", Shape::Pair, "<aside>", "</aside>"},
        {"mnuDetails", Shape::Pair, "<details>", "</details>"},
        {"mnuFigcaption", Shape::Pair, "<figcaption>", "</figcaption>"},
        {"mnuFigure", Shape::Pair, "<figure>", "</figure>"},
        {"mnuFooter", Shape::Pair, "<footer>", "</footer>"},
        {"mnuHeader", Shape::Pair, "<header>", "</header>"},
        {"mnuMain", Shape::Pair, "<main>", "</main>"},
        {"mnuMark", Shape::Pair, "<mark>", "</mark>"},
        {"mnuNav", Shape::Pair, "<nav>", "</nav>"},
        {"mnuSection", Shape::Pair, "<section>", "</section>"},
        {"mnuSummary", Shape::Pair, "<summary>", "</summary>"},
        {"mnuTime", Shape::Pair, "<time>", "</time>"},
        // Headings
        {"mnuH1", Shape::Pair, "<h1>", "</h1>"},
        {"mnuH2", Shape::Pair, "<h2>", "</h2>"},
        {"mnuH3", Shape::Pair, "<h3>", "</h3>"},
        {"mnuH4", Shape::Pair, "<h4>", "</h4>"},
        {"mnuH5", Shape::Pair, "<h5>", "</h5>"},
        {"mnuH6", Shape::Pair, "<h6>", "</h6>"},
        // Paragraphs
        {"mnuParagraph", Shape::Pair, "<p>", "</p>"},
        {"mnuHorizontalRule", Shape::Single, "<hr>", ""},
        {"mnuLineBreak", Shape::Single, "<br>", ""},
        {"mnuPreformattedText", Shape::Pair, "<pre>", "</pre>"},
        // Formatting
        {"mnuBold", Shape::Pair, "<b>", "</b>"},
        {"mnuImportant", Shape::Pair, "<strong>", "</strong>"},
        {"mnuItalic", Shape::Pair, "<i>", "</i>"},
        {"mnuEmphasized", Shape::Pair, "<em>", "</em>"},
        {"mnuMarked", Shape::Pair, "<mark>", "</mark>"},
        {"mnuSmaller", Shape::Pair, "<small>", "</small>"},
        {"mnuDeleted", Shape::Pair, "<del>", "</del>"},
        {"mnuInserted", Shape::Pair, "<ins>", "</ins>"},
        {"mnuSubscript", Shape::Pair, "<sub>", "</sub>"},
        {"mnuSuperscript", Shape::Pair, "<sup>", "</sup>"},
        // Quotations
        {"mnuAbbr", Shape::Pair, "<abbr>", "</abbr>"},
        {"mnuAddress", Shape::Pair, "<address>", "</address>"},
        {"mnuBdo", Shape::Pair, "<bdo>", "</bdo>"},
        {"mnuBlockquote", Shape::Pair, "<blockquote>", "</blockquote>"},
        {"mnuCite", Shape::Pair, "<cite>", "</cite>"},
        {"mnuQ", Shape::Pair, "<q>", "</q>"},
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// One row of the menu tree: depth 0 is a menu of the bar; a row followed by deeper rows
// is a submenu; the name "-" is a separator.
struct Row {
    int depth;
    const char* name;
    const char* caption;
    const char* shortcut;
};

const Row kMenuTree[] = {
    {0, "mnuFile", "File", nullptr},
    {1, "mnuNew", "New", "Ctrl+N"},
    {1, "mnuOpen", "Open...", "Ctrl+O"},
    {1, "-", nullptr, nullptr},
    {1, "mnuSave", "Save...", "Ctrl+S"},
    {1, "mnuSaveAs", "Save As...", nullptr},
    {1, "-", nullptr, nullptr},
    {1, "mnuPrint", "Print...", "Ctrl+P"},
    {1, "mnuPrintsetup", "Print Setup...", nullptr},
    {1, "-", nullptr, nullptr},
    {1, "mnu", "Syntax", nullptr},
    {2, "mnuHighlight", "Highlight Syntax", nullptr},
    {2, "mnuUnHighlight", "UnHighlight Syntax", nullptr},
    {1, "mnuCount", "Count", nullptr},
    {2, "mnuLine", "Line Count", nullptr},
    {2, "mnuWord", "Word Count", nullptr},
    {1, "mnuFullScreen", "FullScreen", nullptr},
    {1, "mnuValidate", "Validate", nullptr},
    {1, "-", nullptr, nullptr},
    {1, "mnuExit", "Exit", "Alt+Backspace"},

    {0, "mnuEdit", "Edit", nullptr},
    {1, "mnuUndo", "Undo", "Ctrl+Z"},
    {1, "-", nullptr, nullptr},
    {1, "mnuCut", "Cut", "Ctrl+X"},
    {1, "mnuCopy", "Copy", "Ctrl+C"},
    {1, "mnuPaste", "Paste", "Ctrl+V"},
    {1, "mnuDelete", "Delete", "Del"},
    {1, "-", nullptr, nullptr},
    {1, "mnuFind", "Find...", "Ctrl+F"},
    {1, "mnuReplace", "Replace...", "Ctrl+R"},
    {1, "mnuGoto", "Goto...", "Ctrl+G"},
    {1, "-", nullptr, nullptr},
    {1, "mnuSelect", "Select All", "Ctrl+A"},
    {1, "mnuDate", "Time / Date", "F5"},

    {0, "mnuTags", "Tags", nullptr},
    {1, "mnuComment", "<!--Comment-->", nullptr},
    {1, "mnuDoctype", "<Doctype>", nullptr},
    {1, "mnuHtml", "<Html>", nullptr},
    {1, "mnuHead", "<Head>", nullptr},
    {1, "mnuHeadMain", "Head", nullptr},
    {2, "mnuTitle", "Title...", nullptr},
    {2, "mnuFavicon", "Favicon...", nullptr},
    {2, "mnuCharset", "Charset", nullptr},
    {2, "mnuMeta", "Meta...", nullptr},
    {2, "mnuViewport", "Viewport", nullptr},
    {2, "mnuCss", "Css...", nullptr},
    {3, "mnuExternal", "External", nullptr},
    {3, "mnuInternal", "Internal", nullptr},
    {2, "mnuJavaScript", "JavaScript", nullptr},
    {2, "mnuRefresh", "Refresh...", nullptr},
    {1, "mnuBody", "<Body>", nullptr},
    {1, "mnuBodyMain", "Body", nullptr},
    {2, "mnuColors", "Colors...", nullptr},
    {2, "mnuLink", "Link...", nullptr},
    {2, "mnuImage", "Image...", nullptr},
    {2, "mnuTable", "Table...", nullptr},
    {2, "mnuIframe", "Iframe...", nullptr},
    {2, "mnuList", "List...", nullptr},
    {2, "mnuMarquee", "Marquee...", nullptr},

    {0, "mnuSemantics", "Semantics", nullptr},
    {1, "mnuArticle", "<article>", nullptr},
    {1, "mnuAside", "<aside>", nullptr},
    {1, "mnuDetails", "<details>", nullptr},
    {1, "mnuFigcaption", "<figcaption>", nullptr},
    {1, "mnuFigure", "<figure>", nullptr},
    {1, "mnuFooter", "<footer>", nullptr},
    {1, "mnuHeader", "<header>", nullptr},
    {1, "mnuMain", "<main>", nullptr},
    {1, "mnuMark", "<mark>", nullptr},
    {1, "mnuNav", "<nav>", nullptr},
    {1, "mnuSection", "<section>", nullptr},
    {1, "mnuSummary", "<summary>", nullptr},
    {1, "mnuTime", "<time>", nullptr},

    {0, "mnuHeadings", "Headings", nullptr},
    {1, "mnuH1", "<h1>", nullptr},
    {1, "mnuH2", "<h2>", nullptr},
    {1, "mnuH3", "<h3>", nullptr},
    {1, "mnuH4", "<h4>", nullptr},
    {1, "mnuH5", "<h5>", nullptr},
    {1, "mnuH6", "<h6>", nullptr},

    {0, "mnuParagraphs", "Paragraphs", nullptr},
    {1, "mnuParagraph", "<p>", nullptr},
    {1, "mnuHorizontalRule", "<hr>", nullptr},
    {1, "mnuLineBreak", "<br>", nullptr},
    {1, "mnuPreformattedText", "<pre>", nullptr},

    {0, "mnuFormatting", "Formatting", nullptr},
    {1, "mnuBold", "<b>", nullptr},
    {1, "mnuImportant", "<strong>", nullptr},
    {1, "mnuItalic", "<i>", nullptr},
    {1, "mnuEmphasized", "<em>", nullptr},
    {1, "mnuMarked", "<mark>", nullptr},
    {1, "mnuSmaller", "<small>", nullptr},
    {1, "mnuDeleted", "<del>", nullptr},
    {1, "mnuInserted", "<ins>", nullptr},
    {1, "mnuSubscript", "<sub>", nullptr},
    {1, "mnuSuperscript", "<sup>", nullptr},

    {0, "mnuQuotations", "Quotations", nullptr},
    {1, "mnuAbbr", "<abbr>", nullptr},
    {1, "mnuAddress", "<address>", nullptr},
    {1, "mnuBdo", "<bdo>", nullptr},
    {1, "mnuBlockquote", "<blockquote>", nullptr},
    {1, "mnuCite", "<cite>", nullptr},
    {1, "mnuQ", "<q>", nullptr},

    {0, "mnuView", "View", nullptr},
    {1, "mnuLivePreview", "Live Preview", "Ctrl+Shift+P"},
};

// Captions are shown as written: an ampersand is never a mnemonic marker here.
QString plainCaption(const char* caption) {
    return QString::fromUtf8(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

QMenu* buildMenus(QMainWindow* window) {
    constexpr int kRows = int(sizeof(kMenuTree) / sizeof(kMenuTree[0]));
    QMenu* parents[4] = {nullptr, nullptr, nullptr, nullptr};
    for (int i = 0; i < kRows; ++i) {
        const Row& row = kMenuTree[i];
        const bool hasChildren = i + 1 < kRows && kMenuTree[i + 1].depth > row.depth;
        if (row.depth == 0) {
            QMenu* menu = window->menuBar()->addMenu(plainCaption(row.caption));
            menu->setObjectName(QString::fromLatin1(row.name));
            parents[0] = menu;
            continue;
        }
        QMenu* parent = parents[row.depth - 1];
        if (qstrcmp(row.name, "-") == 0) {
            parent->addSeparator();
        } else if (hasChildren) {
            QMenu* sub = parent->addMenu(plainCaption(row.caption));
            sub->setObjectName(QString::fromLatin1(row.name));
            sub->menuAction()->setObjectName(QString::fromLatin1(row.name) +
                                             QLatin1String("Action"));
            parents[row.depth] = sub;
        } else {
            auto* action = new QAction(plainCaption(row.caption), window);
            action->setObjectName(QString::fromLatin1(row.name));
            if (row.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            parent->addAction(action);
        }
    }

    // The editor's popup menu: never in the bar.
    auto* pop = new QMenu(QStringLiteral("PopUpMenu"), window);
    pop->setObjectName(QStringLiteral("PopMenu"));
    auto* high = new QAction(QStringLiteral("Highlight Text"), window);
    high->setObjectName(QStringLiteral("PopHighLight"));
    auto* noHigh = new QAction(QStringLiteral("No Highlighting"), window);
    noHigh->setObjectName(QStringLiteral("PopNoHighLight"));
    pop->addAction(high);
    pop->addAction(noHigh);
    high->setEnabled(false);
    noHigh->setEnabled(false);
    return pop;
}

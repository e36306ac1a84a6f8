// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "assist/tagfragments.h"

namespace {

using M = MenuActions;

// Marks a row of the menu tree as a separator.
struct Line {};
constexpr Line kLine;

// One row of the menu tree: depth 0 is a menu of the bar; a menu at a greater depth is a
// submenu holding the deeper rows that follow it; an item is a command; kLine is a
// separator. Each names the member of MenuActions that receives it and its objectName; an
// item that writes fixed markup names only its member, the table of tag commands
// (assist/tagfragments) gives its objectName and caption.
struct Row {
    constexpr Row(int d, QMenu* M::*m, const char* n, const char* c)
        : depth(d), menu(m), name(n), caption(c) {}
    constexpr Row(int d, QAction* M::*i, const char* n, const char* c, const char* s = nullptr)
        : depth(d), item(i), name(n), caption(c), shortcut(s) {}
    constexpr Row(int d, QAction* M::*i) : depth(d), item(i) {}
    constexpr Row(int d, Line) : depth(d) {}

    int depth;
    QMenu* M::*menu = nullptr;
    QAction* M::*item = nullptr;
    const char* name = nullptr;
    const char* caption = nullptr;
    const char* shortcut = nullptr;
};

const Row kMenuTree[] = {
    {0, &M::mnuFile, "mnuFile", "File"},
    {1, &M::mnuNew, "mnuNew", "New", "Ctrl+N"},
    {1, &M::mnuOpen, "mnuOpen", "Open...", "Ctrl+O"},
    {1, &M::mnuRecent, "mnuRecent", "Recent Files"},
    {1, kLine},
    {1, &M::mnuSave, "mnuSave", "Save...", "Ctrl+S"},
    {1, &M::mnuSaveAs, "mnuSaveAs", "Save As..."},
    {1, kLine},
    {1, &M::mnuPrint, "mnuPrint", "Print...", "Ctrl+P"},
    {1, &M::mnuPrintsetup, "mnuPrintsetup", "Print Setup..."},
    {1, kLine},
    {1, &M::mnu, "mnu", "Syntax"},
    {2, &M::mnuHighlight, "mnuHighlight", "Highlight Syntax"},
    {2, &M::mnuUnHighlight, "mnuUnHighlight", "UnHighlight Syntax"},
    {1, &M::mnuCount, "mnuCount", "Count"},
    {2, &M::mnuLine, "mnuLine", "Line Count"},
    {2, &M::mnuWord, "mnuWord", "Word Count"},
    {1, &M::mnuFullScreen, "mnuFullScreen", "FullScreen"},
    {1, &M::mnuValidate, "mnuValidate", "Validate"},
    {1, kLine},
    {1, &M::mnuExit, "mnuExit", "Exit", "Alt+Backspace"},

    {0, &M::mnuEdit, "mnuEdit", "Edit"},
    {1, &M::mnuUndo, "mnuUndo", "Undo", "Ctrl+Z"},
    {1, kLine},
    {1, &M::mnuCut, "mnuCut", "Cut", "Ctrl+X"},
    {1, &M::mnuCopy, "mnuCopy", "Copy", "Ctrl+C"},
    {1, &M::mnuPaste, "mnuPaste", "Paste", "Ctrl+V"},
    {1, &M::mnuDelete, "mnuDelete", "Delete", "Del"},
    {1, kLine},
    {1, &M::mnuFind, "mnuFind", "Find...", "Ctrl+F"},
    {1, &M::mnuReplace, "mnuReplace", "Replace...", "Ctrl+R"},
    {1, &M::mnuGoto, "mnuGoto", "Goto...", "Ctrl+G"},
    {1, kLine},
    {1, &M::mnuSelect, "mnuSelect", "Select All", "Ctrl+A"},
    {1, &M::mnuDate, "mnuDate", "Time / Date", "F5"},

    {0, &M::mnuTags, "mnuTags", "Tags"},
    {1, &M::mnuComment, "mnuComment", "<!--Comment-->"},
    {1, &M::mnuDoctype},
    {1, &M::mnuHtml},
    {1, &M::mnuHead},
    {1, &M::mnuHeadMain, "mnuHeadMain", "Head"},
    {2, &M::mnuTitle, "mnuTitle", "Title..."},
    {2, &M::mnuFavicon, "mnuFavicon", "Favicon..."},
    {2, &M::mnuCharset},
    {2, &M::mnuMeta, "mnuMeta", "Meta..."},
    {2, &M::mnuViewport},
    {2, &M::mnuCss, "mnuCss", "Css..."},
    {3, &M::mnuExternal, "mnuExternal", "External"},
    {3, &M::mnuInternal},
    {2, &M::mnuJavaScript},
    {2, &M::mnuRefresh, "mnuRefresh", "Refresh..."},
    {1, &M::mnuBody},
    {1, &M::mnuBodyMain, "mnuBodyMain", "Body"},
    {2, &M::mnuColors, "mnuColors", "Colors..."},
    {2, &M::mnuLink, "mnuLink", "Link..."},
    {2, &M::mnuImage, "mnuImage", "Image..."},
    {2, &M::mnuTable, "mnuTable", "Table..."},
    {2, &M::mnuIframe, "mnuIframe", "Iframe..."},
    {2, &M::mnuList, "mnuList", "List..."},
    {2, &M::mnuMarquee, "mnuMarquee", "Marquee..."},

    {0, &M::mnuSemantics, "mnuSemantics", "Semantics"},
    {1, &M::mnuArticle},
    {1, &M::mnuAside},
    {1, &M::mnuDetails},
    {1, &M::mnuFigcaption},
    {1, &M::mnuFigure},
    {1, &M::mnuFooter},
    {1, &M::mnuHeader},
    {1, &M::mnuMain},
    {1, &M::mnuMark},
    {1, &M::mnuNav},
    {1, &M::mnuSection},
    {1, &M::mnuSummary},
    {1, &M::mnuTime},

    {0, &M::mnuHeadings, "mnuHeadings", "Headings"},
    {1, &M::mnuH1},
    {1, &M::mnuH2},
    {1, &M::mnuH3},
    {1, &M::mnuH4},
    {1, &M::mnuH5},
    {1, &M::mnuH6},

    {0, &M::mnuParagraphs, "mnuParagraphs", "Paragraphs"},
    {1, &M::mnuParagraph},
    {1, &M::mnuHorizontalRule},
    {1, &M::mnuLineBreak},
    {1, &M::mnuPreformattedText},

    {0, &M::mnuFormatting, "mnuFormatting", "Formatting"},
    {1, &M::mnuBold},
    {1, &M::mnuImportant},
    {1, &M::mnuItalic},
    {1, &M::mnuEmphasized},
    {1, &M::mnuMarked},
    {1, &M::mnuSmaller},
    {1, &M::mnuDeleted},
    {1, &M::mnuInserted},
    {1, &M::mnuSubscript},
    {1, &M::mnuSuperscript},

    {0, &M::mnuQuotations, "mnuQuotations", "Quotations"},
    {1, &M::mnuAbbr},
    {1, &M::mnuAddress},
    {1, &M::mnuBdo},
    {1, &M::mnuBlockquote},
    {1, &M::mnuCite},
    {1, &M::mnuQ},

    {0, &M::mnuView, "mnuView", "View"},
    {1, &M::mnuLivePreview, "mnuLivePreview", "Live Preview", "Ctrl+Shift+P"},

    // View > Problems: the checker's findings of the document, in a pane.
    {1, &M::mnuProblems, "mnuProblems", "Problems", "Ctrl+Shift+M"},

    // View: how the editor shows the text (app/viewaids.cpp).
    {1, kLine},
    {1, &M::mnuLineNumbers, "mnuLineNumbers", "Line Numbers"},
    {1, &M::mnuWordWrap, "mnuWordWrap", "Word Wrap"},
    {1, kLine},
    {1, &M::mnuZoomIn, "mnuZoomIn", "Zoom In", "Ctrl++"},
    {1, &M::mnuZoomOut, "mnuZoomOut", "Zoom Out", "Ctrl+-"},
    {1, &M::mnuZoomReset, "mnuZoomReset", "Reset Zoom", "Ctrl+0"},
    {0, &M::mnuOptions, "mnuOptions", "Options"},
    {1, &M::mnuAutoClose, "mnuAutoClose", "Close Tags Automatically"},
    {1, &M::mnuRenamePair, "mnuRenamePair", "Rename Paired Tag"},
    {1, &M::mnuAutoComplete, "mnuAutoComplete", "Complete While Typing"},
};

// Captions are shown as written: an ampersand is never a mnemonic marker here.
QString plainCaption(const char* caption) {
    return QString::fromUtf8(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

MenuActions buildMenus(QMainWindow* window) {
    MenuActions built;
    QMenu* parents[4] = {nullptr, nullptr, nullptr, nullptr};
    for (Row row : kMenuTree) {
        if (row.item && !row.name) {
            if (const assist::TagCommand* command = assist::tagCommand(row.item)) {
                row.name = command->name;
                row.caption = command->caption;
            }
        }
        const QString name = QString::fromLatin1(row.name);
        if (row.depth == 0) {
            QMenu* menu = window->menuBar()->addMenu(plainCaption(row.caption));
            menu->setObjectName(name);
            built.*row.menu = parents[0] = menu;
            continue;
        }
        QMenu* parent = parents[row.depth - 1];
        if (row.menu) {
            QMenu* sub = parent->addMenu(plainCaption(row.caption));
            sub->setObjectName(name);
            sub->menuAction()->setObjectName(name + QLatin1String("Action"));
            built.*row.menu = parents[row.depth] = sub;
        } else if (row.item) {
            auto* action = new QAction(plainCaption(row.caption), window);
            action->setObjectName(name);
            if (row.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            parent->addAction(action);
            built.*row.item = action;
        } else {
            parent->addSeparator();
        }
    }

    // The editor's popup menu: never in the bar.
    built.PopMenu = new QMenu(QStringLiteral("PopUpMenu"), window);
    built.PopMenu->setObjectName(QStringLiteral("PopMenu"));
    built.PopHighLight = new QAction(QStringLiteral("Highlight Text"), window);
    built.PopHighLight->setObjectName(QStringLiteral("PopHighLight"));
    built.PopNoHighLight = new QAction(QStringLiteral("No Highlighting"), window);
    built.PopNoHighLight->setObjectName(QStringLiteral("PopNoHighLight"));
    built.PopMenu->addAction(built.PopHighLight);
    built.PopMenu->addAction(built.PopNoHighLight);
    built.PopHighLight->setEnabled(false);
    built.PopNoHighLight->setEnabled(false);
    return built;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAction;
class QMenu;

// Every menu, submenu and menu item of the main window, each member named as the
// objectName it carries. The menu bar's builder fills it; each feature module connects its
// commands to the members it needs, so a misspelt item fails to compile.
// A new command: add its member here, its row to the menu tree (app/menus.cpp) and its
// connection to the module's connectCommands().
struct MenuActions {
    // File
    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QMenu* mnuRecent = nullptr; // File > Recent Files, filled when it is about to show
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuPrintsetup = nullptr;
    QMenu* mnu = nullptr; // File > Syntax
    QAction* mnuHighlight = nullptr;
    QAction* mnuUnHighlight = nullptr;
    QMenu* mnuCount = nullptr;
    QAction* mnuLine = nullptr;
    QAction* mnuWord = nullptr;
    QAction* mnuFullScreen = nullptr;
    QAction* mnuValidate = nullptr;
    QAction* mnuExit = nullptr;

    // Edit
    QMenu* mnuEdit = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuCut = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuFind = nullptr;
    QAction* mnuReplace = nullptr;
    QAction* mnuGoto = nullptr;
    QAction* mnuSelect = nullptr;
    QAction* mnuDate = nullptr;

    // Tags
    QMenu* mnuTags = nullptr;
    QAction* mnuComment = nullptr;
    QAction* mnuDoctype = nullptr;
    QAction* mnuHtml = nullptr;
    QAction* mnuHead = nullptr;
    QMenu* mnuHeadMain = nullptr;
    QAction* mnuTitle = nullptr;
    QAction* mnuFavicon = nullptr;
    QAction* mnuCharset = nullptr;
    QAction* mnuMeta = nullptr;
    QAction* mnuViewport = nullptr;
    QMenu* mnuCss = nullptr;
    QAction* mnuExternal = nullptr;
    QAction* mnuInternal = nullptr;
    QAction* mnuJavaScript = nullptr;
    QAction* mnuRefresh = nullptr;
    QAction* mnuBody = nullptr;
    QMenu* mnuBodyMain = nullptr;
    QAction* mnuColors = nullptr;
    QAction* mnuLink = nullptr;
    QAction* mnuImage = nullptr;
    QAction* mnuTable = nullptr;
    QAction* mnuIframe = nullptr;
    QAction* mnuList = nullptr;
    QAction* mnuMarquee = nullptr;

    // Semantics
    QMenu* mnuSemantics = nullptr;
    QAction* mnuArticle = nullptr;
    QAction* mnuAside = nullptr;
    QAction* mnuDetails = nullptr;
    QAction* mnuFigcaption = nullptr;
    QAction* mnuFigure = nullptr;
    QAction* mnuFooter = nullptr;
    QAction* mnuHeader = nullptr;
    QAction* mnuMain = nullptr;
    QAction* mnuMark = nullptr;
    QAction* mnuNav = nullptr;
    QAction* mnuSection = nullptr;
    QAction* mnuSummary = nullptr;
    QAction* mnuTime = nullptr;

    // Headings
    QMenu* mnuHeadings = nullptr;
    QAction* mnuH1 = nullptr;
    QAction* mnuH2 = nullptr;
    QAction* mnuH3 = nullptr;
    QAction* mnuH4 = nullptr;
    QAction* mnuH5 = nullptr;
    QAction* mnuH6 = nullptr;

    // Paragraphs
    QMenu* mnuParagraphs = nullptr;
    QAction* mnuParagraph = nullptr;
    QAction* mnuHorizontalRule = nullptr;
    QAction* mnuLineBreak = nullptr;
    QAction* mnuPreformattedText = nullptr;

    // Formatting
    QMenu* mnuFormatting = nullptr;
    QAction* mnuBold = nullptr;
    QAction* mnuImportant = nullptr;
    QAction* mnuItalic = nullptr;
    QAction* mnuEmphasized = nullptr;
    QAction* mnuMarked = nullptr;
    QAction* mnuSmaller = nullptr;
    QAction* mnuDeleted = nullptr;
    QAction* mnuInserted = nullptr;
    QAction* mnuSubscript = nullptr;
    QAction* mnuSuperscript = nullptr;

    // Quotations
    QMenu* mnuQuotations = nullptr;
    QAction* mnuAbbr = nullptr;
    QAction* mnuAddress = nullptr;
    QAction* mnuBdo = nullptr;
    QAction* mnuBlockquote = nullptr;
    QAction* mnuCite = nullptr;
    QAction* mnuQ = nullptr;

    // View
    QMenu* mnuView = nullptr;
    QAction* mnuLivePreview = nullptr;

    // View > Problems
    QAction* mnuProblems = nullptr;

    // View: line numbers, wrap and zoom of the editor
    QAction* mnuLineNumbers = nullptr;
    QAction* mnuWordWrap = nullptr;
    QAction* mnuZoomIn = nullptr;
    QAction* mnuZoomOut = nullptr;
    QAction* mnuZoomReset = nullptr;
    // Options
    QMenu* mnuOptions = nullptr;
    QAction* mnuAutoClose = nullptr;
    QAction* mnuRenamePair = nullptr;
    QAction* mnuAutoComplete = nullptr;

    // The editor's popup menu, never in the bar.
    QMenu* PopMenu = nullptr;
    QAction* PopHighLight = nullptr;
    QAction* PopNoHighLight = nullptr;
};

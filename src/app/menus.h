// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/menuactions.h"

class QMainWindow;

// Builds the menu bar of the main window (File, Edit, Tags, Semantics, Headings,
// Paragraphs, Formatting, Quotations, View) and the editor's popup menu. Every item is a
// QAction and every menu a QMenu whose objectName is its member's name in the result.
MenuActions buildMenus(QMainWindow* window);

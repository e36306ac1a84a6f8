#pragma once

struct AppContext;

// Connects the Edit menu (Undo, Cut, Copy, Paste, Delete, Select All), Print, Print Setup
// and FullScreen of the main window to their commands.
void installEditCommands(const AppContext& ctx);

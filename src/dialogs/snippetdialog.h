// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/toolwindow.h"

class QPushButton;
class TxtCode;

// What every snippet dialog shares beyond being a tool window: the Insert and Cancel
// buttons (Cancel, the close control and Escape unload the dialog, values discarded);
// Insert hides it (values kept) or unloads it; the "not exactly empty" check with its
// "Format" message; insertion after or over the editor's selection. A dialog class states
// only its controls, check and fragment, and is opened with open<T>(ctx).
class SnippetDialog : public ToolWindow {
    Q_OBJECT
public:
    enum class Manner { HiddenAfterInsert, ClosedAfterInsert };

    QPushButton* insertButton() const { return cmdInsert; }
    QPushButton* cancelButton() const { return cmdCancel; }

protected:
    SnippetDialog(const AppContext& ctx, const QString& objectName, const QString& caption,
                  Placement placement, OpenOrder order = OpenOrder::ShowThenDisable);

    // The Insert button's handler: check, build, insert and leave as the dialog's row says.
    virtual void cmdInsert_Click() = 0;

    // Adds the Insert and Cancel buttons below `body`, puts them last in the tab order and
    // fixes the window's size. Subclasses call it at the end of their constructor.
    void finishLayout(QWidget* body);

    // True when `text` is not exactly empty; otherwise shows `message` in a plain box
    // titled "Format" and returns false.
    bool checkNotEmpty(const QString& text, const QString& message);
    void showFormatMessage(const QString& message);

    // Insertion after the selection (the selected text stays, the fragment follows) and
    // over the selection (the fragment replaces it).
    void insertAfterSelection(const QString& fragment);
    void insertOverSelection(const QString& fragment);

    // The usual end of an Insert: hide, enable the main window, focus the editor, and
    // unload when the dialog closes after Insert.
    void finishInsert(Manner manner);

    TxtCode* editor() const { return ctx().txtCode; }

    // Unloading gives the main window back its activation: the editor regains the focus,
    // as when a platform window closes.
    void onUnload() override;

    QPushButton* cmdInsert = nullptr;
    QPushButton* cmdCancel = nullptr;
};

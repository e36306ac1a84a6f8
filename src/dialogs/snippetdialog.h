// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QWidget>

#include "platform/appcontext.h"

class QPushButton;
class TxtCode;

// What every snippet dialog shares: one instance per dialog class, shown without being
// modal while the main window is disabled; Cancel and the window's close control unload
// it (values discarded) and enable the main window; Insert hides it (values kept) or
// unloads it; the "not exactly empty" check with its "Format" message; insertion after
// or over the editor's selection; a fixed-size tool window placed centred or where the
// system puts new windows. A dialog class states only its controls, check and fragment.
class SnippetDialog : public QWidget {
    Q_OBJECT
public:
    enum class Placement { Centred, SystemPlaced };
    enum class Manner { HiddenAfterInsert, ClosedAfterInsert };
    enum class OpenOrder { ShowThenDisable, DisableThenShow };

    // Shows the single instance of T, creating it with its design values when it is not
    // loaded (a hidden instance is shown again with the values it holds), and disables
    // the main window.
    template <class T>
    static T* open(const AppContext& ctx, OpenOrder order = OpenOrder::ShowThenDisable) {
        QPointer<T>& slot = instanceSlot<T>();
        if (order == OpenOrder::DisableThenShow)
            ctx.frmMain->setEnabled(false);
        if (!slot || slot->unloaded_)
            slot = new T(ctx);
        slot->showDialog();
        if (order == OpenOrder::ShowThenDisable)
            ctx.frmMain->setEnabled(false);
        return slot;
    }

    // The loaded instance of T (shown or hidden), or null when it is not loaded.
    template <class T> static T* instance() {
        QPointer<T>& slot = instanceSlot<T>();
        return (slot && !slot->unloaded_) ? slot.data() : nullptr;
    }

    QPushButton* insertButton() const { return cmdInsert; }
    QPushButton* cancelButton() const { return cmdCancel; }

    // Unloads the dialog: hides it, enables the main window, gives the window back its
    // activation (the editor regains the focus, as when a platform window closes) and
    // discards the dialog.
    void unload();

protected:
    SnippetDialog(const AppContext& ctx, const QString& objectName, const QString& caption,
                  Placement placement);

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
    void enableMain();
    void focusEditor();

    const AppContext& ctx() const { return ctx_; }
    TxtCode* editor() const { return ctx_.txtCode; }

    void closeEvent(QCloseEvent* event) override;
    // Escape acts as Cancel.
    void keyPressEvent(QKeyEvent* event) override;

    QPushButton* cmdInsert = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    template <class T> static QPointer<T>& instanceSlot() {
        static QPointer<T> slot;
        return slot;
    }
    void showDialog();
    void cmdCancel_Click();
    void returnToMain();

    AppContext ctx_;
    Placement placement_;
    bool placed_ = false;
    bool unloaded_ = false;
};

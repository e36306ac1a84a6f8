// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include "shell/appcontext.h"

class QPushButton;

// What every tool window of the editor shares (the find, go-to, validator and snippet
// windows): a window with a narrow title bar and a close control, no minimise or
// maximise, and no parent (a window owned by the main window would be disabled together
// with it); its layout fixes its size. Each class has at most one loaded instance. While
// a window is shown the main window is disabled, and every way out gives it back: hiding
// after the window's work, unload() (Cancel), the close control, Escape where the window
// takes it, the main window's destruction, and the window's own destruction.
//
// A new tool window derives from ToolWindow, passes its name, caption and Shape to the
// constructor, makes the constructor private with `friend class ToolWindow`, and offers
// its menu command as a static function that calls open<T>(ctx) (frmGoto is the shortest
// example).
class ToolWindow : public QWidget {
    Q_OBJECT
public:
    // Where the window appears the first time it is shown; later openings leave it where
    // it is.
    enum class Placement {
        Centred,             // centred on the screen that holds the main window
        CentredOnMainWindow, // centred over the main window's frame
        SystemPlaced,        // where the system puts new windows
    };
    // Whether the main window is disabled after the window is shown or before.
    enum class OpenOrder { ShowThenDisable, DisableThenShow };

    struct Shape {
        Placement placement = Placement::Centred;
        OpenOrder order = OpenOrder::ShowThenDisable;
        bool escapeUnloads = false; // Escape acts as the close control
    };

    ~ToolWindow() override;

    // Shows the single instance of T, creating it when it is not loaded (a hidden instance
    // is shown again as it was), and disables the main window.
    template <class T> static T* open(const AppContext& ctx) {
        T* window = load<T>(ctx);
        window->present();
        return window;
    }

    // The loaded instance of T (shown or hidden), or null.
    template <class T> static T* instance() {
        QPointer<T>& slot = instanceSlot<T>();
        return (slot && !slot->unloaded_) ? slot.data() : nullptr;
    }

    // Unloads the window: hides it, enables the main window, runs onUnload() and discards
    // the window, so that the next opening creates it afresh. Does nothing a second time.
    void unload();

protected:
    ToolWindow(const AppContext& ctx, const QString& objectName, const QString& caption,
               const Shape& shape);

    // The single instance of T, created when it is not loaded; not shown.
    template <class T> static T* load(const AppContext& ctx) {
        QPointer<T>& slot = instanceSlot<T>();
        if (!slot || slot->unloaded_)
            slot = new T(ctx);
        return slot.data();
    }

    // Places the window the first time, shows it, brings it to the front, gives the focus
    // to the control set by setFirstFocus(), and disables the main window (before or after
    // showing, as the shape says).
    void present();
    void setFirstFocus(QWidget* control) { firstFocus_ = control; }
    // A command button of the window, at least minimumWidth pixels wide, that Enter does
    // not press unless it has the focus.
    QPushButton* makeButton(const QString& name, const QString& caption, int minimumWidth);

    // Hides the window, which stays loaded, enables the main window and gives its editor
    // the focus.
    void hideToMain();
    // Enables the main window: the window no longer holds it.
    void enableMain();
    // Activates the main window and gives its editor the focus.
    void focusEditor();

    // Called once by unload(), after the window is hidden and the main window enabled.
    virtual void onUnload() {}

    const AppContext& ctx() const { return ctx_; }
    bool isUnloaded() const { return unloaded_; }

    // The close control unloads the window.
    void closeEvent(QCloseEvent* event) override;
    // Escape unloads the window when its shape says so.
    void keyPressEvent(QKeyEvent* event) override;

private:
    template <class T> static QPointer<T>& instanceSlot() {
        static QPointer<T> slot;
        return slot;
    }
    void place();
    void disableMain();

    AppContext ctx_;
    QPointer<QMainWindow> main_;
    Shape shape_;
    QWidget* firstFocus_ = nullptr;
    bool placed_ = false;
    bool holdsMain_ = false; // the main window is disabled on this window's account
    bool unloaded_ = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/keyboardstate.h"

#include <QGuiApplication>

#ifdef VR_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace {
bool indicator(Display* dpy, const char* name) {
    const Atom atom = XInternAtom(dpy, name, True);
    if (atom == None)
        return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(dpy, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on;
}
} // namespace

LockState keyboardLockState() {
    LockState state;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* dpy = x11 ? x11->display() : nullptr;
    if (!dpy)
        return state;
    state.known = true;
    state.caps = indicator(dpy, "Caps Lock");
    state.num = indicator(dpy, "Num Lock");
    state.scroll = indicator(dpy, "Scroll Lock");
    return state;
}
#else
LockState keyboardLockState() {
    return LockState();
}
#endif

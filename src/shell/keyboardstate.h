// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The lock keys' state as the keyboard reports it (Xkb indicators on X11).
struct LockState {
    bool known = false; // false where the platform cannot tell
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockState keyboardLockState();

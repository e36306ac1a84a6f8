// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/frmmain.h"
#include "editor/txtcode.h"
#include "scripteddialogs.h"
#include "testutil.h"

// The main window's menu item with this objectName, found as a user finds it: by its name.
// A name the window does not have fails the test.
inline QAction* menuItem(const QWidget& window, const char* name) {
    auto* item = window.findChild<QAction*>(QString::fromLatin1(name));
    if (!item)
        ADD_FAILURE() << "the window has no menu item " << name;
    return item;
}

// The main window's menu or submenu with this objectName; a missing name fails the test.
inline QMenu* menuNamed(const QWidget& window, const char* name) {
    auto* menu = window.findChild<QMenu*>(QString::fromLatin1(name));
    if (!menu)
        ADD_FAILURE() << "the window has no menu " << name;
    return menu;
}

// A fixture for tests that drive the main window: the window `w` shown on the test display,
// every question answered by the scripted dialogs `d`, and a temporary folder for files.
// A fixture that needs more (the window active, the editor focused) calls SetUp() first;
// a test may close the window (w.reset()) or start a fresh one.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        w = std::make_unique<frmMain>();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    // Chooses a menu item of the main window by its name.
    void trigger(const char* name) { menuItem(*w, name)->trigger(); }
    TxtCode* editor() const { return w->txtCode(); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    ScriptedDialogs d;
    QTemporaryDir dir;
    std::unique_ptr<frmMain> w;
};

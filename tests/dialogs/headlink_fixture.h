// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests of the head-snippet, link and image dialogs share: the main window on the
// screen, the scripted dialogs, and a user's hands on the dialogs' controls.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/frmmain.h"
#include "dialogs/frmimage.h"
#include "dialogs/frmlink.h"
#include "dialogs/headdialogs.h"
#include "editor/txtcode.h"
#include "mainwindowtest.h"
#include "scripteddialogs.h"
#include "testutil.h"

// The loaded instance (shown or hidden) of the dialog with this name.
inline QWidget* loadedDialog(const QString& name) {
    if (name == QLatin1String("frmTitle"))
        return SnippetDialog::instance<frmTitle>();
    if (name == QLatin1String("frmMeta"))
        return SnippetDialog::instance<frmMeta>();
    if (name == QLatin1String("frmRefresh"))
        return SnippetDialog::instance<frmRefresh>();
    if (name == QLatin1String("frmComment"))
        return SnippetDialog::instance<frmComment>();
    if (name == QLatin1String("frmExternal"))
        return SnippetDialog::instance<frmExternal>();
    if (name == QLatin1String("frmFavicon"))
        return SnippetDialog::instance<frmFavicon>();
    if (name == QLatin1String("frmLink"))
        return SnippetDialog::instance<frmLink>();
    if (name == QLatin1String("frmImage"))
        return SnippetDialog::instance<frmImage>();
    ADD_FAILURE() << "unknown dialog " << name.toStdString();
    return nullptr;
}

class DialogTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        w->activateWindow();
        editor()->SetFocus();
    }

    // Picks a menu item of the main window and returns the dialog it showed.
    QWidget* open(const char* item) {
        menuItem(*w, item)->trigger();
        QWidget* dlg = shownDialog();
        if (dlg) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg));
        }
        return dlg;
    }

    // The visible top-level window other than the main window, if any.
    QWidget* shownDialog() const {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != w.get() && top->isVisible() && qobject_cast<SnippetDialog*>(top))
                return top;
        return nullptr;
    }

    // Types `text` into a text box or editable combo box, replacing what it held.
    static void type(QWidget* dlg, const char* name, const QString& text) {
        QWidget* field = dlg->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(field, nullptr) << name;
        QLineEdit* box = qobject_cast<QLineEdit*>(field);
        if (auto* combo = qobject_cast<QComboBox*>(field))
            box = combo->lineEdit();
        ASSERT_NE(box, nullptr) << name;
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
        ASSERT_EQ(box->text(), text) << name;
    }

    static QString textOf(QWidget* dlg, const char* name) {
        QWidget* field = dlg->findChild<QWidget*>(QString::fromLatin1(name));
        if (auto* box = qobject_cast<QLineEdit*>(field))
            return box->text();
        if (auto* combo = qobject_cast<QComboBox*>(field))
            return combo->currentText();
        ADD_FAILURE() << "no field " << name;
        return {};
    }

    static void click(QWidget* dlg, const char* button) {
        auto* b = dlg->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    // Sets the document and selects [start, start + length).
    void setDocument(const QString& text, int start, int length) {
        editor()->SetText(text);
        editor()->SetSelStart(start);
        editor()->SetSelLength(length);
    }

    // After every way out: the main window takes input again and the editor has the focus.
    void expectBackInEditor() {
        EXPECT_TRUE(w->isEnabled());
        EXPECT_TRUE(waitUntil([&] { return editor()->hasFocus(); }, 5000))
            << "focus is on "
            << (QApplication::focusWidget()
                    ? QApplication::focusWidget()->objectName().toStdString()
                    : std::string("nothing"));
    }
};

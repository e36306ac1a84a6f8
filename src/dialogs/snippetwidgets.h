// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>

// Small factories for the controls of the snippet dialogs: each control carries its given
// name as its objectName and starts with its design-time text.
namespace snippetwidgets {

inline QGroupBox* frame(QWidget* parent, const char* name, const QString& caption) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

inline QLabel* label(QWidget* parent, const char* name, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

inline QLineEdit* textBox(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* t = new QLineEdit(text, parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setMinimumWidth(260);
    return t;
}

// An editable combo box used as a free text field: it has no list entries and never
// gains any (Enter does not add the typed text to the list).
inline QComboBox* freeCombo(QWidget* parent, const char* name, const QString& text) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setEditText(text);
    c->setMinimumWidth(260);
    return c;
}

} // namespace snippetwidgets

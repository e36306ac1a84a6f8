// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <initializer_list>

// Small factories for the controls of the snippet dialogs: each control carries its given
// name as its objectName and starts with its design-time text.
namespace snippetwidgets {

// Any control, named.
template <class W> W* namedControl(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// Any control with a caption (a frame's title, a label's, button's or check box's text).
template <class W> W* namedControl(QWidget* parent, const char* name, const QString& caption) {
    auto* w = new W(caption, parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

inline QGroupBox* frame(QWidget* parent, const char* name, const QString& caption) {
    return namedControl<QGroupBox>(parent, name, caption);
}

inline QLabel* label(QWidget* parent, const char* name, const QString& caption) {
    return namedControl<QLabel>(parent, name, caption);
}

inline QLineEdit* textBox(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* t = namedControl<QLineEdit>(parent, name, text);
    t->setMinimumWidth(260);
    return t;
}

// An editable combo box used as a free text field: it has no list entries and never
// gains any (Enter does not add the typed text to the list).
inline QComboBox* freeCombo(QWidget* parent, const char* name, const QString& text) {
    auto* c = namedControl<QComboBox>(parent, name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setEditText(text);
    c->setMinimumWidth(260);
    return c;
}

// A field of a form and the label before it.
struct LabelledField {
    const char* label; // the label's name
    QString caption;
    QWidget* field;
};

// Lays the fields of `frame` out as a form, each after a label of its own.
inline void labelledRows(QGroupBox* frame, std::initializer_list<LabelledField> rows) {
    auto* form = new QFormLayout(frame);
    for (const LabelledField& row : rows)
        form->addRow(label(frame, row.label, row.caption), row.field);
}

} // namespace snippetwidgets

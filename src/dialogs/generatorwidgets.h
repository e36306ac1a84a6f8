// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

// Creates a control of the table, list, colours, marquee, iframe or time/date dialog with
// its given name as objectName (and caption or text, where it has one).
template <class W> W* namedControl(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

template <class W> W* namedControl(QWidget* parent, const char* name, const QString& caption) {
    auto* w = new W(caption, parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

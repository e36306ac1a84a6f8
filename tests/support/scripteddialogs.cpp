// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripteddialogs.h"

#include <QPrinter>

QStringList ScriptedDialogs::messages() const {
    QStringList texts;
    for (const Call& c : calls)
        if (c.kind == Kind::Message)
            texts << c.text;
    return texts;
}

const ScriptedDialogs::Call* ScriptedDialogs::lastMessage() const {
    for (int i = calls.size() - 1; i >= 0; --i)
        if (calls[i].kind == Kind::Message)
            return &calls[i];
    return nullptr;
}

Dialogs::Answer ScriptedDialogs::message(QWidget*, const QString& text, const QString& title,
                                         Buttons buttons, Icon icon) {
    Call c{Kind::Message, text, title.isEmpty() ? programTitle() : title, {}, {}, buttons, icon, 0};
    calls.append(c);
    if (onMessage)
        onMessage(c);
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    ++unscripted;
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const QString& title,
                                                 const QString& filter,
                                                 const QString& initialPath) {
    calls.append(Call{Kind::OpenFile, {}, title, filter, initialPath, Buttons::Ok, Icon::None, 0});
    if (fileAnswers.isEmpty()) {
        ++unscripted;
        return std::nullopt;
    }
    return fileAnswers.dequeue();
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const QString& title,
                                                 const QString& filter,
                                                 const QString& initialPath) {
    calls.append(Call{Kind::SaveFile, {}, title, filter, initialPath, Buttons::Ok, Icon::None, 0});
    if (fileAnswers.isEmpty()) {
        ++unscripted;
        return std::nullopt;
    }
    return fileAnswers.dequeue();
}

std::optional<int> ScriptedDialogs::chooseColor(QWidget*, const QString& title, int initial) {
    calls.append(Call{Kind::Color, {}, title, {}, {}, Buttons::Ok, Icon::None, initial});
    if (colorAnswers.isEmpty()) {
        ++unscripted;
        return std::nullopt;
    }
    return colorAnswers.dequeue();
}

bool ScriptedDialogs::setUpPrinter(QWidget*, QPrinter* printer) {
    calls.append(Call{Kind::Printer, {}, {}, {}, {}, Buttons::Ok, Icon::None, 0});
    if (printerAnswers.isEmpty()) {
        ++unscripted;
        return false;
    }
    const PrinterAnswer answer = printerAnswers.dequeue();
    if (answer.ok && !answer.pdf.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(answer.pdf);
    }
    return answer.ok;
}

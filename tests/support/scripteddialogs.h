// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QQueue>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

#include "shell/modaldialogs.h"

// The scripted double of the dialogs interface: records every question and chooser the
// editor shows and answers from queues the test fills. Installs itself while it lives.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, OpenFile, SaveFile, Color, Printer };
    struct Call {
        Kind kind;
        QString text;  // message text
        QString title; // message or dialog title
        QString filter;
        QString initialPath;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        int initialColor = 0;
    };

    ScriptedDialogs() { setDialogs(this); }
    ~ScriptedDialogs() override { setDialogs(nullptr); }

    // Answers, used in order. With none queued: OK for an OK box, Cancel (or No) for a
    // question, cancel for a chooser; each such unscripted question is counted.
    void answer(Answer a) { messageAnswers.enqueue(a); }
    void chooseFile(const QString& path) { fileAnswers.enqueue(path); }
    void cancelFile() { fileAnswers.enqueue(std::nullopt); }
    void chooseColorValue(int bgrColor) { colorAnswers.enqueue(bgrColor); }
    void cancelColor() { colorAnswers.enqueue(std::nullopt); }
    void confirmPrinter(bool ok) { printerAnswers.enqueue({ok, QString()}); }
    // Confirms the printer dialog with printing to a PDF file, `pdf`, picked in it.
    void choosePdfPrinter(const QString& pdf) { printerAnswers.enqueue({true, pdf}); }

    QVector<Call> calls;
    int unscripted = 0;

    // The texts of the message boxes shown, in order.
    QStringList messages() const;
    const Call* lastMessage() const;
    void clear() { calls.clear(); }

    Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override;
    std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& initialPath) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& initialPath) override;
    std::optional<int> chooseColor(QWidget* parent, const QString& title, int initial) override;
    bool setUpPrinter(QWidget* parent, QPrinter* printer) override;

    // Called while a message box is "shown"; lets a test look at the windows then.
    std::function<void(const Call&)> onMessage;

private:
    QQueue<Answer> messageAnswers;
    QQueue<std::optional<QString>> fileAnswers;
    QQueue<std::optional<int>> colorAnswers;
    struct PrinterAnswer {
        bool ok;
        QString pdf; // printing to this file when not empty
    };
    QQueue<PrinterAnswer> printerAnswers;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class QWidget;
class QPrinter;

// Every modal question and chooser of the editor goes through this interface, so that
// tests can answer them from a script. The real implementation uses Qt's dialogs.
class Dialogs {
public:
    enum class Icon { None, Information, Warning, Question, Critical };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Dialogs() = default;

    // A message box. An empty title shows the program title "VERRiNDEL".
    virtual Answer message(QWidget* parent, const QString& text, const QString& title,
                           Buttons buttons, Icon icon) = 0;
    // File choosers: the chosen full path, or nothing when the user cancelled.
    // `filter` is in the "Description|*.a;*.b|..." form of the common dialog.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& initialPath) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& initialPath) = 0;
    // The colour chooser: the chosen colour (blue-green-red), or nothing when cancelled.
    virtual std::optional<int> chooseColor(QWidget* parent, const QString& title, int initial) = 0;
    // The printer dialog: true when the user confirmed; the printer is set up in place.
    virtual bool setUpPrinter(QWidget* parent, QPrinter* printer) = 0;

    // Shorthand for a box with one OK button.
    void inform(QWidget* parent, const QString& text, const QString& title = QString(),
                Icon icon = Icon::None) {
        message(parent, text, title, Buttons::Ok, icon);
    }
};

// The dialogs in use. Starts as the real ones; tests install a scripted double.
Dialogs& dialogs();
// Installs `d` (not owned; nullptr restores the real dialogs).
void setDialogs(Dialogs* d);

// The program title shown by message boxes that name no title.
inline QString programTitle() {
    return QStringLiteral("VERRiNDEL");
}

// Converts a "Description|*.a;*.b|Other|*.c" filter into Qt name filters
// ("Description (*.a *.b)", "Other (*.c)"). A description that already ends in a
// parenthesised pattern list has that list replaced by the space-separated one.
QStringList qtNameFilters(const QString& commonDialogFilter);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/modaldialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

#include "text/charformat.h"

namespace {

class QtDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override {
        QMessageBox box(parent);
        box.setWindowTitle(title.isEmpty() ? programTitle() : title);
        box.setText(text);
        box.setIcon(icon == Icon::Information ? QMessageBox::Information
                    : icon == Icon::Warning   ? QMessageBox::Warning
                    : icon == Icon::Question  ? QMessageBox::Question
                    : icon == Icon::Critical  ? QMessageBox::Critical
                                              : QMessageBox::NoIcon);
        switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            // Escape on a Yes/No box counts as No; on an OK box as OK.
            return buttons == Buttons::Ok      ? Answer::Ok
                   : buttons == Buttons::YesNo ? Answer::No
                                               : Answer::Cancel;
        }
    }

    std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& initialPath) override {
        return runFileDialog(parent, title, filter, initialPath, QFileDialog::AcceptOpen);
    }

    std::optional<QString> saveFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& initialPath) override {
        return runFileDialog(parent, title, filter, initialPath, QFileDialog::AcceptSave);
    }

    std::optional<int> chooseColor(QWidget* parent, const QString& title, int initial) override {
        QColor c = QColorDialog::getColor(
            QColor(bgrRed(initial), bgrGreen(initial), bgrBlue(initial)), parent, title);
        if (!c.isValid())
            return std::nullopt;
        return bgr(c.red(), c.green(), c.blue());
    }

    bool setUpPrinter(QWidget* parent, QPrinter* printer) override {
        QPrintDialog dlg(printer, parent);
        return dlg.exec() == QDialog::Accepted;
    }

private:
    static std::optional<QString> runFileDialog(QWidget* parent, const QString& title,
                                                const QString& filter, const QString& initialPath,
                                                QFileDialog::AcceptMode mode) {
        QFileDialog dlg(parent, title);
        dlg.setAcceptMode(mode);
        dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
        dlg.setNameFilters(qtNameFilters(filter));
        if (!initialPath.isEmpty())
            dlg.selectFile(initialPath);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return std::nullopt;
        return dlg.selectedFiles().constFirst();
    }
};

QtDialogs& realDialogs() {
    static QtDialogs instance;
    return instance;
}

Dialogs* installed = nullptr;

} // namespace

Dialogs& dialogs() {
    return installed ? *installed : realDialogs();
}

void setDialogs(Dialogs* d) {
    installed = d;
}

QStringList qtNameFilters(const QString& commonDialogFilter) {
    QStringList result;
    const QStringList parts = commonDialogFilter.split(QLatin1Char('|'));
    static const QRegularExpression trailingList(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(trailingList);
        const QString patterns =
            parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        result << QStringLiteral("%1 (%2)").arg(description.trimmed(), patterns);
    }
    return result;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QVector>
#include <functional>

#include "app/screenbox.h"

class TxtCode;

// The full-screen window: a borderless window covering the screen of the main window, in
// which the document is edited as plain text. It takes a copy of the document when it
// opens and gives the text back, uncoloured, when it closes and the text was changed.
class frmScreen : public QDialog {
    Q_OBJECT
public:
    frmScreen(QWidget* mainWindow, TxtCode* txtCode);
    ~frmScreen() override;

    // File > FullScreen: copies the document into the window and shows it modally until it
    // is closed (Esc, or the platform's close key).
    static void enterFullScreen(QWidget* mainWindow, TxtCode* txtCode);

    // The steps of entering without the modal loop: copy the text in, then load.
    void takeDocument();
    void Form_Load();

    // How the text goes back into the editor; a test may replace it to make it fail.
    std::function<void(TxtCode*, const QString&)> replaceText;

    ScreenBox* txtScreen = nullptr;

    // Text conversions between the document (CR LF line breaks) and the raw text of the
    // box. *grouped tells whether lines were joined into blocks by line separators, which
    // fromScreenText then turns back into line breaks.
    // With `kept`, each character the box cannot hold as text (ScreenBox::keptAsObject)
    // is given there and stands in the raw text as U+FFFC, for ScreenBox::setKeptText.
    // With `continued`, a line longer than a few tens of thousands of characters is cut
    // into several blocks, and the numbers of the blocks that continue the line before them
    // are added there: the box lays out a block whole, and one block holding a line of
    // megabytes took many times its size in memory.
    static QString toScreenText(const QString& documentText, bool* grouped,
                                QVector<int>* continued = nullptr,
                                QVector<KeptChar>* kept = nullptr);
    static QString fromScreenText(const QString& rawScreenText, bool grouped);
    // The document text of the box: its lines with CR LF between them, where a block
    // marked as continuing the line before it (by takeDocument) joins that line again,
    // and every character kept as an object given back.
    QString screenDocumentText() const;

public slots:
    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Resize();
    void Form_Unload();
    bool copyBack(const QString& text);

    QWidget* mainWindow_;
    TxtCode* txtCode_;
    QString loadedRaw_; // the box's raw text right after the document was copied in
    bool grouped_ = false;
    bool unloaded_ = false;
};

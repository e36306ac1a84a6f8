// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class frmMain;

// The file named on the command line, as a full local path; empty when none is named.
// `arguments` is the whole command line, program name first (QCoreApplication::arguments()).
// The first FILE argument as parseCommandLine reads it ("--" ends the options); a file: URL
// is taken as the local file it names.
QString startupFilePath(const QStringList& arguments, const QString& workingDirectory);

// Opens the command line's file in the main window as Open does: the caption becomes the
// full path and the modified flag false. A file that cannot be read leaves the window
// untitled and is reported as a failed Open is. Returns true when a file was loaded.
bool openStartupFile(frmMain& window, const QStringList& arguments);

// Starts the run's document: from now on its unsaved text is kept for recovery (in the
// user's data folder), the text an earlier run left unsaved is offered back, and unless
// such a text was restored, the command line's file is opened as openStartupFile does.
void startDocument(frmMain& window, const QStringList& arguments);

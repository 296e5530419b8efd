#pragma once

#include <QCoreApplication>
#include <QString>

#include "controller/note_sync.h"

class QWidget;

// 工具 > 同步文件夹…: says in two sentences what a sync folder does, lets the user choose one
// (Qt's folder dialog) or stop syncing, and words the sync state for the status line.
class SyncFolderChoice {
    Q_DECLARE_TR_FUNCTIONS(SyncFolderChoice)

  public:
    // noteFile: the open note file, which must not lie in the folder chosen.
    static void ask(NoteSync& sync, const QString& noteFile, QWidget* parent);
    // Empty when sync is off.
    static QString statusText(const NoteSync& sync);
};

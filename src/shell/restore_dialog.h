#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <vector>

#include "store/backup_restore.h"

class QTreeWidget;

// The small window of 从备份恢复: the backups, newest first, with their date, number of notes
// and size; the one picked is the answer.
class RestoreDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(RestoreDialog)

  public:
    RestoreDialog(const std::vector<BackupRestore::Backup>& backups, QWidget* parent);

    // The path of the backup picked, or an empty text when the dialog was cancelled.
    static QString choose(const std::vector<BackupRestore::Backup>& backups, QWidget* parent);

  private:
    QTreeWidget* list_ = nullptr;
};

#include "shell/restore_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RestoreDialog::RestoreDialog(const std::vector<BackupRestore::Backup>& backups, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("Form_从备份恢复"));
    setWindowTitle(tr("从备份恢复"));
    auto* layout = new QVBoxLayout(this);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("List_备份"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({tr("备份日期"), tr("便签数"), tr("大小")});
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    for (const BackupRestore::Backup& backup : backups) {
        auto* row = new QTreeWidgetItem(list_);
        row->setText(0, chinese.toString(backup.written, QStringLiteral("yyyy/M/d H:mm")));
        row->setText(1, backup.notes < 0 ? tr("已损坏") : QString::number(backup.notes));
        row->setText(2,
                     chinese.formattedDataSize(backup.size, 1, QLocale::DataSizeTraditionalFormat));
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        row->setData(0, Qt::UserRole, backup.path);
        row->setToolTip(0, backup.path);
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->setCurrentItem(list_->topLevelItem(0));
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* restore = buttons->addButton(tr("恢复[&R]"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    restore->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(420, 260);
}

QString RestoreDialog::choose(const std::vector<BackupRestore::Backup>& backups, QWidget* parent) {
    RestoreDialog dialog(backups, parent);
    if (dialog.exec() != QDialog::Accepted || !dialog.list_->currentItem()) return {};
    return dialog.list_->currentItem()->data(0, Qt::UserRole).toString();
}

#include "sendcomment/feedback_outbox.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/test_hooks.h"
#include "platform/os/owner_only_folders.h"

namespace companion {

namespace {

constexpr QFileDevice::Permissions kOwnerOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kOwnerOnlyFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Missing folders are made for the owner alone; folders that exist already are left as they
// are, except the outbox itself, which is ours and holds what the user wrote.
bool makeOwnerOnlyPath(const QString& path) {
    if (!platform::makeOwnerOnlyFolders(path)) return false;
    QFile::setPermissions(path, kOwnerOnlyFolder);  // a folder of someone else's stays as it is
    return true;
}

}  // namespace

QString FeedbackOutbox::folder() {
    QString configured = TestHooks::value(TestHooks::FeedbackOutbox);
    if (!configured.isEmpty()) return configured;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/outbox");
}

QString FeedbackOutbox::keep(const QString& product, const QString& text, const QString& contact) {
    const QDir dir(folder());
    if (!makeOwnerOnlyPath(dir.path())) return {};

    const QDateTime now = QDateTime::currentDateTime();
    const QString content = QStringLiteral("产品：%1\n时间：%2\n联系方式：%3\n\n%4\n")
                                .arg(product, now.toString(Qt::ISODate), contact, text);
    const QString stem =
        QStringLiteral("feedback-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = attempt == 0 ? stem + QStringLiteral(".txt")
                                          : QStringLiteral("%1-%2.txt").arg(stem).arg(attempt);
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnlyFile)) {
            if (file.exists()) continue;
            return {};
        }
        const QByteArray bytes = content.toUtf8();
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            file.remove();
            return {};
        }
        return QDir::toNativeSeparators(file.fileName());
    }
    return {};
}

}  // namespace companion

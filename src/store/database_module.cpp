#include "store/database_module.h"

#include <QCoreApplication>

#include "platform/core/error.h"

void 数据库操作模块::打开数据库(const QString& path, const QString& password) {
    const QString connect = password.isEmpty() ? QString() : QStringLiteral(";Pwd=") + password;
    // Assigned only on success: a failed open leaves the member as it was.
    database_ = platform::Database::open(path, false, false, connect);
    setOwnTables(OwnSchema::Access::None);
}

platform::Database& 数据库操作模块::requireOpen() const {
    if (!database_)
        throw platform::Error(platform::Trouble::Internal, platform::errc::objectNotSet,
                              QCoreApplication::translate("DatabaseModule", "数据库尚未打开。"));
    return *database_;
}

platform::Recordset 数据库操作模块::数据库_查找_语句(const QString& statement) {
    return requireOpen().openRecordset(statement);
}

void 数据库操作模块::关闭数据库() {
    platform::Database& db = requireOpen();
    if (!db.isOpen())
        throw platform::Error(
            platform::Trouble::Internal, platform::errc::objectClosed,
            QCoreApplication::translate("DatabaseModule", "对象无效或不再被设置。"));
    db.close();
}

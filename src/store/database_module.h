#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "platform/db/database.h"
#include "store/own_schema.h"

// The open note file, shared by the store's classes that read and write it (NoteRepository for
// the notes, one class per table of our own). 数据库_查找_语句 passes a caller's text to the
// engine unchanged.
class 数据库操作模块 {
  public:
    // Opens the file shared and read-write; the connect text is empty for an empty password,
    // else ";Pwd=" + password. Replaces any earlier reference without closing it.
    void 打开数据库(const QString& path, const QString& password);
    platform::Recordset 数据库_查找_语句(const QString& statement);
    void 关闭数据库();

    // The open (or closed) database, null before the first successful open.
    const std::shared_ptr<platform::Database>& database() const { return database_; }

    // What our own tables allow in the open file (OwnSchema::prepare); None after each open.
    OwnSchema::Access ownTables() const { return ownTables_; }
    // The names under which prepare kept tables of ours it could not use.
    const QStringList& ownTablesSetAside() const { return setAside_; }
    void setOwnTables(OwnSchema::Access access, const QStringList& setAside = {}) {
        ownTables_ = access;
        setAside_ = setAside;
    }
    // The open database; raises errc::objectNotSet before the first successful open.
    platform::Database& requireOpen() const;

  private:
    std::shared_ptr<platform::Database> database_;
    OwnSchema::Access ownTables_ = OwnSchema::Access::None;
    QStringList setAside_;
};

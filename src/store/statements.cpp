#include "store/statements.h"

namespace statements {

QString quoteText(const QString& text) {
    QString quoted = text;
    // The engine reads a statement only up to its first NUL, which would cut it mid-text.
    quoted.remove(QChar(0));
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return quoted;
}

QString dateTimeText(const QDateTime& when) {
    // The zh-CN general date form: short date, one blank, long time; midnight gives the date.
    QString date = when.date().toString(QStringLiteral("yyyy/M/d"));
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0) return date;
    return date + QLatin1Char(' ') + time.toString(QStringLiteral("H:mm:ss"));
}

QString selectAll() {
    return QStringLiteral("Select * from Tips");
}

QString selectOne(std::int64_t id) {
    return QStringLiteral("Select * from Tips where id = ") + QString::number(id);
}

QString deleteOne(std::int64_t id) {
    return QStringLiteral("Delete from Tips where id = ") + QString::number(id);
}

QString insertNote(const QString& content, const QDateTime& now, std::int32_t backColor,
                   std::int32_t fontColor, int transparent) {
    const QString time = dateTimeText(now);
    const QStringList values = {quoteText(content),
                                time,
                                time,
                                QStringLiteral("0"),
                                QString::number(backColor),
                                QString::number(fontColor),
                                QStringLiteral("1"),
                                QStringLiteral("0"),
                                QString::number(transparent)};
    return QStringLiteral(
               "INSERT INTO Tips(content,CreateTime,ChangeTime,Deleted,BackColor,FontColor,Visual,"
               "TopMost,Transparent) Values('") +
           values.join(QStringLiteral("', '")) + QStringLiteral("')");
}

QString updateNote(const QString& content, const QDateTime& now, std::int32_t backColor,
                   std::int32_t fontColor, int transparent, std::int64_t id) {
    return QStringLiteral("UPDATE Tips SET content='") + quoteText(content) +
           QStringLiteral("', ChangeTime='") + dateTimeText(now) +
           QStringLiteral("', BackColor='") + QString::number(backColor) +
           QStringLiteral("', FontColor='") + QString::number(fontColor) +
           QStringLiteral("', Transparent='") + QString::number(transparent) +
           QStringLiteral("' where id = ") + QString::number(id);
}

}  // namespace statements

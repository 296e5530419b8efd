#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

// The five statement texts sent to the note store, built from fixed pieces and values.
namespace statements {

// Text value: every single quote doubled, U+0000 dropped, nothing else changed (no surrounding
// quotes).
QString quoteText(const QString& text);
// Date-time value: "yyyy/M/d H:mm:ss"; exactly midnight gives the date alone.
QString dateTimeText(const QDateTime& when);

// S1: every note.
QString selectAll();
// S2: one note. Identifiers come parsed (platform::parseIdentifier), never as text: a foreign
// file's ID column may hold anything.
QString selectOne(std::int64_t id);
// S3: delete one note.
QString deleteOne(std::int64_t id);
// S4: insert a new note; CreateTime and ChangeTime both take `now`.
QString insertNote(const QString& content, const QDateTime& now, std::int32_t backColor,
                   std::int32_t fontColor, int transparent);
// S5: update an existing note.
QString updateNote(const QString& content, const QDateTime& now, std::int32_t backColor,
                   std::int32_t fontColor, int transparent, std::int64_t id);

}  // namespace statements

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/ui/msgbox.h"

class QWidget;

namespace testsupport {

// Calls `act` once with the application's modal window as soon as one is shown, for code that
// runs a modal loop of its own.
void whenModalOpens(const std::function<void(QWidget*)>& act);

// A form's control by its object name; a missing control fails the test.
template <typename T>
T* control(const QObject& form, const QString& name) {
    T* found = form.findChild<T*>(name);
    if (!found) throw std::runtime_error("no control " + name.toStdString());
    return found;
}

// The note table's schema as the program ships it (data/schema.sql).
QString schemaSql();

// A fresh note database with the shipped schema in a temporary folder.
class TempNoteDb {
  public:
    TempNoteDb();
    const QString& path() const { return path_; }
    const QString& dir() const { return dirPath_; }
    // Runs SQL directly on the file (not through the program's objects).
    void exec(const QString& sql) const;
    // First column of every row of a query, as text ("<null>" for NULL).
    QStringList column(const QString& sql) const;
    int count(const QString& where = {}) const;

  private:
    QTemporaryDir dir_;
    QString dirPath_;
    QString path_;
};

// Replaces message boxes while alive: records every box and answers from a queue
// (default: mb::Ok, or mb::No for a Yes/No box).
class MsgBoxRecorder {
  public:
    struct Box {
        QString text;
        int style;
        QString title;
    };
    MsgBoxRecorder();
    ~MsgBoxRecorder();
    void answerNext(int answer) { answers_.push_back(answer); }
    const std::vector<Box>& boxes() const { return boxes_; }

  private:
    std::vector<Box> boxes_;
    std::deque<int> answers_;
    platform::MsgBoxImpl previous_;
};

}  // namespace testsupport

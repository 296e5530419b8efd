#pragma once

#include <QObject>

class Class_主窗体;

// Keeps the program's dialogs, message boxes and editors above its notes kept on top (总在最前)
// while they are open: each one that opens, or is activated, while such a note is shown is kept
// on top as well, and, opened or raised last, lies above the notes.
class OwnWindowsAboveNotes : public QObject {
  public:
    // Watches every window of the program; `notes` owns the note windows.
    OwnWindowsAboveNotes(Class_主窗体& notes, QObject* parent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Class_主窗体& notes_;
};

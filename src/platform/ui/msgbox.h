#pragma once

#include <QString>
#include <functional>

class QMessageBox;

namespace platform {

// Message box style values and answers as the program uses them.
namespace mb {
inline constexpr int OkOnly = 0;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;

inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace mb

// Shows a modal message box and returns the answer (mb::Ok, mb::Yes, mb::No, mb::Cancel).
// An empty title gives the application title.
int MsgBox(const QString& text, int style = mb::OkOnly, const QString& title = {});

// The box MsgBox shows, built but not shown, for a caller that must not wait on the answer:
// plain text, kept within the screen, the style's icon and buttons. Show it with show() and read
// msgBoxAnswer() once it is finished. The caller owns it, as does the window it belongs to
// (ownerWindow()), which deletes it when it closes first; setMsgBoxImpl does not apply.
QMessageBox* makeMsgBox(const QString& text, int style = mb::OkOnly, const QString& title = {});
int msgBoxAnswer(const QMessageBox& box);

using MsgBoxImpl = std::function<int(const QString& text, int style, const QString& title)>;

// How MsgBox shows its boxes. The program always shows real ones; a test reaches the setter
// through a subclass to answer and record them without a box.
class MsgBoxSeam {
  protected:
    // Returns the previous implementation; an empty function restores the real one.
    static MsgBoxImpl setMsgBoxImpl(MsgBoxImpl impl);
};

}  // namespace platform

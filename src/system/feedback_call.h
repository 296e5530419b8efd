#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Declarations of the feedback library (SendComment).
namespace 用户反馈 {

// Product text the feedback dialog is titled with: "Zettara " and the program's version.
QString productText();

// Shows the library's feedback dialog (modal). A library or entry point that cannot be found
// raises platform::Error with a message naming it.
int ShowComment(const QString& product);
// The feedback command: the library's dialog titled with productText().
int 意见反馈();

// Where ShowComment sends its call. The program always calls the library; a test reaches the
// setter through a subclass to see the converted argument without a library.
class FeedbackCallSeam {
  protected:
    // An empty function restores the real call.
    static void setFeedbackCall(std::function<int(const QByteArray& product)> call);
};

}  // namespace 用户反馈

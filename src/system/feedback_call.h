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

// Replaces the library call (it receives the converted argument); an empty function restores
// the real call.
void setCallForTests(std::function<int(const QByteArray& product)> call);

}  // namespace 用户反馈

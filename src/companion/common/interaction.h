#pragma once

#include <QString>
#include <QUrl>

namespace companion {

// What a companion library shows the user or hands to the desktop. In builds with test hooks,
// a trace file named by the environment (common/test_hooks.h) makes each of these append one
// line to that file ("<kind>: <text>", line breaks written as \n) instead of being shown or
// opened, so that tests and scripted runs need no human.
class Interaction {
  public:
    static bool traced();
    static void record(const QString& kind, const QString& text);

    // Message box through the program's message box helper (style values of platform::mb).
    static void tell(const QString& text, int style);
    // Opens an address with the desktop's default handler; the result is not reported.
    static void open(const QUrl& url);
};

}  // namespace companion

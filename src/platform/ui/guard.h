#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace platform {

// Runs one step that may fail and swallows its platform::Error, for operations whose steps
// are each guarded on their own; what it swallows goes to the logging category zettara.guard
// (debug level). Returns true when the step ran without error.
bool guarded(const std::function<void()>& step);

// Entry point of an event handler: runs it; any exception that reaches it is shown once in a
// critical message box (a platform::Error with its number and message), and the program keeps
// running. Nothing thrown in a handler unwinds through Qt's frames.
void runEvent(const std::function<void()>& handler);

// Shows an error the way runEvent does (style 16): what happened and what to do, with the
// number and the callee's own words in brackets.
void reportError(const std::exception& error);

// What is shown for an exception that is not a platform::Error (`what` may be null).
QString unexpectedErrorText(const char* what);

}  // namespace platform

#pragma once

#include <exception>
#include <functional>

namespace platform {

// Runs one step that may fail and swallows its platform::Error, for operations whose steps
// are each guarded on their own. Returns true when the step ran without error.
bool guarded(const std::function<void()>& step);

// Entry point of an event handler: runs it; a platform::Error that reaches it is shown in a
// critical message box with its number and message, and the program keeps running. Anything
// else goes on to the application object (platform::Application), which reports it.
void runEvent(const std::function<void()>& handler);

// Shows an error the way runEvent does (number and message, style 16).
void reportError(const std::exception& error);

}  // namespace platform

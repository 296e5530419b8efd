#pragma once

#include <functional>

namespace platform {

// Runs one step and swallows a platform::Error (and any std::exception): for operations whose
// steps are each guarded on their own. Returns true when the step ran without error.
bool guarded(const std::function<void()>& step);

// Entry point for every event handler: runs the handler; an error that reaches it is shown in a
// critical message box with its number and message, and the program keeps running.
void runEvent(const std::function<void()>& handler);

// Shows an error the way runEvent does (number and message, style 16).
void reportError(const std::exception& error);

}  // namespace platform

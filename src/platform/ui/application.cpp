#include "platform/ui/application.h"

#include <exception>

#include "platform/core/app.h"
#include "platform/ui/guard.h"
#include "platform/ui/msgbox.h"

namespace platform {

namespace {
// Runs before QApplication strips its own options from argv.
int& keptCommandLine(int& argc, char** argv) {
    app::keepCommandLine(argc, argv);
    return argc;
}
}  // namespace

Application::Application(int& argc, char** argv)
    : QApplication(keptCommandLine(argc, argv), argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportError(error);
    } catch (...) {
        MsgBox(unexpectedErrorText(nullptr), mb::Critical);
    }
    return false;
}

}  // namespace platform

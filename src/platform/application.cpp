#include "platform/application.h"

#include <exception>

#include "platform/guard.h"
#include "platform/msgbox.h"

namespace platform {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportError(error);
    } catch (...) {
        MsgBox(QStringLiteral("错误：未知错误"), mb::Critical);
    }
    return false;
}

}  // namespace platform

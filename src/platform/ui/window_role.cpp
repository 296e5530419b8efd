#include "platform/ui/window_role.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace platform {

namespace {

QAccessibleInterface* plainWindow(const QString& className, QObject* object) {
    // Asked once per class of the object, most derived first: "QWidget" comes first only for a
    // widget whose classes add no meta-object of their own.
    auto* widget = qobject_cast<QWidget*>(object);
    if (className != QLatin1String("QWidget") || !widget || !widget->isWindow()) return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void readPlainWindowsAsWindows() {
    static const bool installed = [] {
        QAccessible::installFactory(plainWindow);
        return true;
    }();
    (void)installed;
}

}  // namespace platform

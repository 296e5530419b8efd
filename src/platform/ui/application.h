#pragma once

#include <QApplication>

namespace platform {

// The application object. Event handlers report the platform errors they expect themselves;
// anything else that escapes an event is reported here, and the program keeps running.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace platform

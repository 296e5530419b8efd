#include <QApplication>
#include <QIcon>

#include "platform/app.h"
#include "platform/guard.h"
#include "platform/single_instance.h"
#include "shell/main_window.h"
#include "store/dated_backups.h"
#include "store/shared_objects.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(platform::app::title());
    QApplication::setApplicationVersion(platform::app::versionText());
    // Ties the windows to the installed launcher and its icon (Wayland app id, task bars).
    QGuiApplication::setDesktopFileName(platform::app::applicationId());
    Q_INIT_RESOURCE(resources);
    // Every window of the program (editors, About box, message boxes) carries the program icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zettara/zettara.png")));
    // The program lives on in the notification area with no window shown; only the exit
    // command ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second launch shows the running instance's window and ends at once: it opens no
    // database, creates no window and writes nothing.
    platform::SingleInstance instance(Form_Main::caption());
    if (!instance.tryBecomePrimary()) return 0;

    Form_Main mainWindow;
    instance.onActivateRequested = [&mainWindow] { mainWindow.显示并恢复主窗体(); };
    try {
        mainWindow.Form_Load(platform::app::command());
    } catch (const std::exception& error) {
        platform::reportError(error);
        return 1;
    }
    // The day's first start keeps a copy of the checked note file; at exit an unfinished copy
    // is abandoned.
    DatedBackups backups;
    backups.start(数据库文件路径());
    return QApplication::exec();
}

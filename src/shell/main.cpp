#include <QIcon>

#include "platform/core/app.h"
#include "platform/os/single_instance.h"
#include "platform/ui/application.h"
#include "platform/ui/guard.h"
#include "platform/ui/msgbox.h"
#include "shell/main_window.h"
#include "store/dated_backups.h"
#include "store/shared_objects.h"

int main(int argc, char* argv[]) {
    const QString launcherToken = platform::SingleInstance::launcherToken();
    platform::Application app(argc, argv);
    QApplication::setApplicationName(platform::app::title());
    QApplication::setApplicationVersion(platform::app::versionText());
    // Ties the windows to the installed launcher and its icon (Wayland app id, task bars).
    QGuiApplication::setDesktopFileName(platform::app::applicationId());
    // Every window of the program (editors, About box, message boxes) carries the program icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zettara/zettara.png")));
    // The program lives on in the notification area with no window shown; only the exit
    // command ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second launch shows the running instance's window and ends at once: it opens no
    // database, creates no window and writes nothing.
    platform::SingleInstance instance(Form_Main::caption(), launcherToken);
    if (!instance.tryBecomePrimary()) return 0;

    数据库操作模块 数据库对象;
    Form_Main mainWindow(数据库对象);
    instance.onActivateRequested = [&mainWindow](const QString& activationToken) {
        mainWindow.显示并恢复主窗体(activationToken);
    };
    // The day's first start keeps a copy of the checked note file once the start has opened
    // every window; at exit an unfinished copy is abandoned.
    DatedBackups backups(
        [](const QString& text) { platform::MsgBox(text, platform::mb::Exclamation); });
    QString notePath;
    mainWindow.启动完成 = [&backups, &notePath] { backups.start(notePath); };
    try {
        notePath = 数据库文件路径();
        mainWindow.Form_Load(notePath, platform::app::command());
    } catch (const std::exception& error) {
        platform::reportError(error);
        return 1;
    }
    return QApplication::exec();
}

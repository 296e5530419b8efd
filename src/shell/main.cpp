#include <QDir>
#include <QIcon>

#include "platform/core/app.h"
#include "platform/os/note_file_lock.h"
#include "platform/os/single_instance.h"
#include "platform/ui/application.h"
#include "platform/ui/guard.h"
#include "platform/ui/interface_texts.h"
#include "platform/ui/language_choice.h"
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
    // The interface's language, Qt's own dialogs and buttons included: the user's choice, else
    // the system's. Companion libraries loaded later speak it too.
    const platform::InterfaceTexts texts(platform::rememberedLanguageChoice());

    // A second launch shows the running instance's window, or has it open a new note, and
    // ends at once: it opens no database, creates no window and writes nothing.
    const bool newNote = platform::app::newNoteAsked();
    platform::SingleInstance instance(Form_Main::caption(), launcherToken,
                                      newNote ? platform::SingleInstance::Command::NewNote
                                              : platform::SingleInstance::Command::Show);
    if (!instance.tryBecomePrimary()) return 0;

    // The channel finds a running copy only where both starts agree on its folder; the note
    // file itself decides. Declared before the store: it is let go only after the store closed.
    platform::NoteFileLock noteLock;
    QString notePath;
    try {
        notePath = 数据库文件路径();
    } catch (const std::exception& error) {
        platform::reportError(error);
        return 1;
    }
    if (noteLock.take(notePath) == platform::NoteFileLock::Outcome::HeldElsewhere) {
        platform::MsgBox(
            QCoreApplication::translate("main",
                                        "便签文件正由另一个运行中的 %1 使用：\n%2\n\n同一个便签文件"
                                        "同时只能由一个程序使用，请到正在运行的程序中查看便签"
                                        "（它可能只在通知区域里）。这次启动将结束。")
                .arg(platform::app::title(), QDir::toNativeSeparators(notePath)),
            platform::mb::Exclamation);
        return 1;
    }

    数据库操作模块 数据库对象;
    Form_Main mainWindow(数据库对象);
    instance.onActivateRequested = [&mainWindow](const QString& activationToken) {
        mainWindow.显示并恢复主窗体(activationToken);
    };
    instance.onNewNoteRequested = [&mainWindow](const QString& activationToken) {
        mainWindow.新建桌面便签(activationToken);
    };
    // The main window took this start's own token.
    if (newNote) mainWindow.新建桌面便签({});
    // The day's first start keeps a copy of the checked note file once the start has opened
    // every window; at exit an unfinished copy is abandoned.
    DatedBackups backups(
        [](const QString& text) { platform::MsgBox(text, platform::mb::Exclamation); });
    mainWindow.启动完成 = [&backups, &notePath] { backups.start(notePath); };
    try {
        mainWindow.Form_Load(notePath, platform::app::command());
    } catch (const std::exception& error) {
        platform::reportError(error);
        return 1;
    }
    // A damaged file may have been replaced by its backup meanwhile: hold the new one.
    noteLock.take(notePath);
    return QApplication::exec();
}

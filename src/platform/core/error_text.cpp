#include "platform/core/error_text.h"

#include <QCoreApplication>
#include <QFileDevice>

namespace platform {
namespace {

struct Words {
    Trouble trouble;
    const char* withFile;  // %1: the file; null where the file adds nothing
    const char* alone;
};

// Each says what happened and what the user can do about it.
constexpr Words kWords[] = {
    {Trouble::Internal, nullptr,
     QT_TRANSLATE_NOOP("ErrorText",
                       "程序出了意外的错误，这一步没有完成。请再试一次；如果问题"
                       "一再出现，请重新启动程序。")},
    {Trouble::Busy, nullptr,
     QT_TRANSLATE_NOOP("ErrorText", "便签文件正被另一个程序使用，这一步没有完成。请稍后再试。")},
    {Trouble::Missing,
     QT_TRANSLATE_NOOP("ErrorText", "找不到文件“%1”。请确认它没有被移走、改名或删除，然后再试。"),
     QT_TRANSLATE_NOOP("ErrorText",
                       "找不到所需的文件。请确认它没有被移走、改名或删除，然后再试。")},
    {Trouble::CannotOpen,
     QT_TRANSLATE_NOOP("ErrorText",
                       "无法打开文件“%1”。请确认你有权读写这个文件和它所在的"
                       "文件夹，然后再试。"),
     QT_TRANSLATE_NOOP("ErrorText",
                       "无法打开所需的文件。请确认你有权读写它和它所在的文件夹，"
                       "然后再试。")},
    {Trouble::ReadOnly,
     QT_TRANSLATE_NOOP("ErrorText",
                       "“%1”是只读的，无法写入。请让你有权写入它和它所在的"
                       "文件夹，然后再试。"),
     QT_TRANSLATE_NOOP("ErrorText",
                       "便签文件是只读的，无法写入。请让你有权写入它和它所在的"
                       "文件夹，然后再试。")},
    {Trouble::DiskFull, nullptr,
     QT_TRANSLATE_NOOP("ErrorText", "磁盘已满，文件没有写完。请腾出一些空间，或换一个位置。")},
    {Trouble::NotANoteFile,
     QT_TRANSLATE_NOOP("ErrorText",
                       "文件“%1”已损坏，或者不是便签文件。请从备份恢复，或另选"
                       "一个文件。"),
     QT_TRANSLATE_NOOP("ErrorText", "便签文件已损坏。请从备份恢复。")},
    {Trouble::NoPermission,
     QT_TRANSLATE_NOOP("ErrorText",
                       "没有权限使用“%1”。请让你有权读写它和它所在的文件夹，"
                       "然后再试。"),
     QT_TRANSLATE_NOOP("ErrorText",
                       "系统拒绝了访问。请让你有权读写便签文件和它所在的文件夹，"
                       "然后再试。")},
    {Trouble::FileIo,
     QT_TRANSLATE_NOOP("ErrorText",
                       "读写“%1”时出错。请确认磁盘正常、这个位置仍然可用，"
                       "然后再试。"),
     QT_TRANSLATE_NOOP("ErrorText",
                       "读写文件时出错。请确认磁盘正常、便签文件所在的位置仍然"
                       "可用，然后再试。")},
    {Trouble::Engine, nullptr,
     QT_TRANSLATE_NOOP("ErrorText",
                       "便签数据库出错，这一步没有完成。请再试一次；如果问题一再"
                       "出现，请重新启动程序。")},
    {Trouble::ComponentMissing,
     QT_TRANSLATE_NOOP("ErrorText", "无法加载组件库“%1”，这项功能现在无法使用。请重新安装本程序。"),
     QT_TRANSLATE_NOOP("ErrorText",
                       "无法加载所需的组件库，这项功能现在无法使用。请重新安装本程序。")},
    {Trouble::ComponentBroken,
     QT_TRANSLATE_NOOP("ErrorText",
                       "组件库“%1”不完整或版本不符，这项功能现在无法使用。请重新"
                       "安装本程序。"),
     QT_TRANSLATE_NOOP("ErrorText",
                       "所需的组件库不完整或版本不符，这项功能现在无法使用。请重新"
                       "安装本程序。")},
    {Trouble::HostNotFound, nullptr,
     QT_TRANSLATE_NOOP("ErrorText", "找不到服务器。请检查网络连接，稍后再试。")},
    {Trouble::NoConnection, nullptr,
     QT_TRANSLATE_NOOP("ErrorText", "无法连接到服务器。请检查网络连接，稍后再试。")},
    {Trouble::Timeout, nullptr,
     QT_TRANSLATE_NOOP("ErrorText", "服务器没有及时回答。请检查网络连接，稍后再试。")},
    {Trouble::SecureConnection, nullptr,
     QT_TRANSLATE_NOOP("ErrorText",
                       "无法与服务器建立安全连接。请确认电脑的日期和时间正确，"
                       "稍后再试。")},
    {Trouble::ServerAnswer, nullptr,
     QT_TRANSLATE_NOOP("ErrorText", "服务器暂时无法处理这个请求。请稍后再试。")},
};

QString translated(const char* text) {
    return QCoreApplication::translate("ErrorText", text);
}

}  // namespace

QString troubleText(Trouble trouble, const QString& file) {
    for (const Words& words : kWords) {
        if (words.trouble != trouble) continue;
        if (words.withFile && !file.isEmpty()) return translated(words.withFile).arg(file);
        return translated(words.alone);
    }
    return translated(kWords[0].alone);  // Unclassified has no words of its own
}

QString userText(const Error& error) {
    if (error.trouble() == Trouble::Unclassified)
        return QCoreApplication::translate("ErrorText", "%1\n（错误 %2）")
            .arg(error.message(), QString::number(error.number()));
    const QString sentence = troubleText(error.trouble(), error.file());
    const QString number = QString::number(error.number());
    if (error.raw().isEmpty())
        return QCoreApplication::translate("ErrorText", "%1\n（错误 %2）").arg(sentence, number);
    return QCoreApplication::translate("ErrorText", "%1\n（错误 %2：%3）")
        .arg(sentence, number, error.raw());
}

QString userText(Trouble trouble, const QString& raw) {
    const QString sentence = troubleText(trouble);
    return raw.isEmpty()
               ? sentence
               : QCoreApplication::translate("ErrorText", "%1\n（%2）").arg(sentence, raw);
}

QString fileErrorText(const QFileDevice& file) {
    return userText(Error::fromFile(file));
}

}  // namespace platform

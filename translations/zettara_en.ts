<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AccessibleText</name>
    <message>
        <source>黑色</source>
        <translation>black</translation>
    </message>
    <message>
        <source>深灰色</source>
        <translation>dark grey</translation>
    </message>
    <message>
        <source>灰色</source>
        <translation>grey</translation>
    </message>
    <message>
        <source>浅灰色</source>
        <translation>light grey</translation>
    </message>
    <message>
        <source>白色</source>
        <translation>white</translation>
    </message>
    <message>
        <source>红色</source>
        <translation>red</translation>
    </message>
    <message>
        <source>深红色</source>
        <translation>dark red</translation>
    </message>
    <message>
        <source>粉红色</source>
        <translation>pink</translation>
    </message>
    <message>
        <source>橙色</source>
        <translation>orange</translation>
    </message>
    <message>
        <source>棕色</source>
        <translation>brown</translation>
    </message>
    <message>
        <source>黄色</source>
        <translation>yellow</translation>
    </message>
    <message>
        <source>浅黄色</source>
        <translation>light yellow</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>green</translation>
    </message>
    <message>
        <source>浅绿色</source>
        <translation>light green</translation>
    </message>
    <message>
        <source>青色</source>
        <translation>cyan</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>blue</translation>
    </message>
    <message>
        <source>浅蓝色</source>
        <translation>light blue</translation>
    </message>
    <message>
        <source>深蓝色</source>
        <translation>dark blue</translation>
    </message>
    <message>
        <source>紫色</source>
        <translation>purple</translation>
    </message>
    <message>
        <source>洋红色</source>
        <translation>magenta</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>BackupRestore</name>
    <message>
        <source>便签未做任何更改。</source>
        <translation>Nothing was changed in the notes.</translation>
    </message>
    <message>
        <source>便签文件正被另一个程序使用，%1。请稍后再试。</source>
        <translation>The note file is in use by another program: %1. Please try again later.</translation>
    </message>
    <message>
        <source>%1。
%2</source>
        <translation>%1.
%2</translation>
    </message>
    <message>
        <source>无法把现在的便签文件先保存到只有你能使用的备份文件夹：
%1</source>
        <translation>The current note file could not first be kept in a backup folder only you can use:
%1</translation>
    </message>
    <message>
        <source>无法先保存现在的便签文件</source>
        <translation>The current note file could not be kept first</translation>
    </message>
    <message>
        <source>无法先保存现在的便签文件：
%1</source>
        <translation>The current note file could not be kept first:
%1</translation>
    </message>
    <message>
        <source>所选的备份已损坏或不是便签文件，无法恢复：
%1</source>
        <translation>The chosen backup is damaged or is not a note file, and cannot be restored:
%1</translation>
    </message>
    <message>
        <source>便签文件没有打开。</source>
        <translation>The note file is not open.</translation>
    </message>
    <message>
        <source>无法恢复备份</source>
        <translation>The backup could not be restored</translation>
    </message>
    <message>
        <source>无法把损坏的便签文件改名保存：
%1</source>
        <translation>The damaged note file could not be renamed and kept:
%1</translation>
    </message>
    <message>
        <source>无法恢复备份。
%1</source>
        <translation>The backup could not be restored.
%1</translation>
    </message>
</context>
<context>
    <name>Convert</name>
    <message>
        <source>无效使用 Null</source>
        <translation>Invalid use of Null</translation>
    </message>
    <message>
        <source>类型不匹配</source>
        <translation>Type mismatch</translation>
    </message>
    <message>
        <source>溢出</source>
        <translation>Overflow</translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>便签文件所在的文件夹不可写</source>
        <translation>The note file’s folder cannot be written</translation>
    </message>
    <message>
        <source>对象无效或不再被设置。</source>
        <translation>Object invalid or no longer set.</translation>
    </message>
    <message>
        <source>语句末尾之后还有字符。</source>
        <translation>There are characters after the end of the statement.</translation>
    </message>
    <message>
        <source>无当前记录。</source>
        <translation>No current record.</translation>
    </message>
    <message>
        <source>在此集合中找不到项目：%1</source>
        <translation>Item not found in this collection: %1</translation>
    </message>
</context>
<context>
    <name>DatabaseModule</name>
    <message>
        <source>数据库尚未打开。</source>
        <translation>The database is not open.</translation>
    </message>
    <message>
        <source>对象无效或不再被设置。</source>
        <translation>Object invalid or no longer set.</translation>
    </message>
</context>
<context>
    <name>DatedBackups</name>
    <message>
        <source>便签的备份文件夹不是只有你能使用的文件夹，程序无法更正，因此不再备份便签：
%1

把它删除，或改为只有你能使用（0700），下次启动时备份会继续。</source>
        <translation>The notes’ backup folder can be used by others, and the program cannot change that, so notes are no longer backed up:
%1

Delete it, or make it usable by you only (0700); backups resume at the next start.</translation>
    </message>
</context>
<context>
    <name>ErrorText</name>
    <message>
        <source>程序出了意外的错误，这一步没有完成。请再试一次；如果问题一再出现，请重新启动程序。</source>
        <translation>Something unexpected went wrong, and this step was not completed. Please try again; if it keeps happening, restart the program.</translation>
    </message>
    <message>
        <source>便签文件正被另一个程序使用，这一步没有完成。请稍后再试。</source>
        <translation>The note file is in use by another program, so this step was not completed. Please try again later.</translation>
    </message>
    <message>
        <source>找不到文件“%1”。请确认它没有被移走、改名或删除，然后再试。</source>
        <translation>The file “%1” cannot be found. Make sure it has not been moved, renamed or deleted, then try again.</translation>
    </message>
    <message>
        <source>找不到所需的文件。请确认它没有被移走、改名或删除，然后再试。</source>
        <translation>A file that is needed cannot be found. Make sure it has not been moved, renamed or deleted, then try again.</translation>
    </message>
    <message>
        <source>无法打开文件“%1”。请确认你有权读写这个文件和它所在的文件夹，然后再试。</source>
        <translation>The file “%1” cannot be opened. Make sure you may read and write the file and its folder, then try again.</translation>
    </message>
    <message>
        <source>无法打开所需的文件。请确认你有权读写它和它所在的文件夹，然后再试。</source>
        <translation>A file that is needed cannot be opened. Make sure you may read and write it and its folder, then try again.</translation>
    </message>
    <message>
        <source>“%1”是只读的，无法写入。请让你有权写入它和它所在的文件夹，然后再试。</source>
        <translation>“%1” is read-only and cannot be written. Give yourself write access to it and its folder, then try again.</translation>
    </message>
    <message>
        <source>便签文件是只读的，无法写入。请让你有权写入它和它所在的文件夹，然后再试。</source>
        <translation>The note file is read-only and cannot be written. Give yourself write access to it and its folder, then try again.</translation>
    </message>
    <message>
        <source>磁盘已满，文件没有写完。请腾出一些空间，或换一个位置。</source>
        <translation>The disk is full, so the file was not written completely. Free some space, or choose another place.</translation>
    </message>
    <message>
        <source>文件“%1”已损坏，或者不是便签文件。请从备份恢复，或另选一个文件。</source>
        <translation>The file “%1” is damaged or is not a note file. Restore it from a backup, or choose another file.</translation>
    </message>
    <message>
        <source>便签文件已损坏。请从备份恢复。</source>
        <translation>The note file is damaged. Restore it from a backup.</translation>
    </message>
    <message>
        <source>没有权限使用“%1”。请让你有权读写它和它所在的文件夹，然后再试。</source>
        <translation>You do not have permission to use “%1”. Give yourself read and write access to it and its folder, then try again.</translation>
    </message>
    <message>
        <source>系统拒绝了访问。请让你有权读写便签文件和它所在的文件夹，然后再试。</source>
        <translation>The system denied access. Give yourself read and write access to the note file and its folder, then try again.</translation>
    </message>
    <message>
        <source>读写“%1”时出错。请确认磁盘正常、这个位置仍然可用，然后再试。</source>
        <translation>Reading or writing “%1” failed. Make sure the disk is working and the location is still available, then try again.</translation>
    </message>
    <message>
        <source>读写文件时出错。请确认磁盘正常、便签文件所在的位置仍然可用，然后再试。</source>
        <translation>Reading or writing a file failed. Make sure the disk is working and the note file’s location is still available, then try again.</translation>
    </message>
    <message>
        <source>便签数据库出错，这一步没有完成。请再试一次；如果问题一再出现，请重新启动程序。</source>
        <translation>The note database reported an error, and this step was not completed. Please try again; if it keeps happening, restart the program.</translation>
    </message>
    <message>
        <source>无法加载组件库“%1”，这项功能现在无法使用。请重新安装本程序。</source>
        <translation>The component library “%1” cannot be loaded, so this feature is not available. Please reinstall the program.</translation>
    </message>
    <message>
        <source>无法加载所需的组件库，这项功能现在无法使用。请重新安装本程序。</source>
        <translation>A component library that is needed cannot be loaded, so this feature is not available. Please reinstall the program.</translation>
    </message>
    <message>
        <source>组件库“%1”不完整或版本不符，这项功能现在无法使用。请重新安装本程序。</source>
        <translation>The component library “%1” is incomplete or of the wrong version, so this feature is not available. Please reinstall the program.</translation>
    </message>
    <message>
        <source>所需的组件库不完整或版本不符，这项功能现在无法使用。请重新安装本程序。</source>
        <translation>A component library that is needed is incomplete or of the wrong version, so this feature is not available. Please reinstall the program.</translation>
    </message>
    <message>
        <source>找不到服务器。请检查网络连接，稍后再试。</source>
        <translation>The server cannot be found. Check your network connection and try again later.</translation>
    </message>
    <message>
        <source>无法连接到服务器。请检查网络连接，稍后再试。</source>
        <translation>Cannot connect to the server. Check your network connection and try again later.</translation>
    </message>
    <message>
        <source>服务器没有及时回答。请检查网络连接，稍后再试。</source>
        <translation>The server did not answer in time. Check your network connection and try again later.</translation>
    </message>
    <message>
        <source>无法与服务器建立安全连接。请确认电脑的日期和时间正确，稍后再试。</source>
        <translation>A secure connection to the server could not be made. Make sure the computer’s date and time are correct, and try again later.</translation>
    </message>
    <message>
        <source>服务器暂时无法处理这个请求。请稍后再试。</source>
        <translation>The server cannot handle the request right now. Please try again later.</translation>
    </message>
    <message>
        <source>%1
（错误 %2）</source>
        <translation>%1
(Error %2)</translation>
    </message>
    <message>
        <source>%1
（错误 %2：%3）</source>
        <translation>%1
(Error %2: %3)</translation>
    </message>
    <message>
        <source>%1
（%2）</source>
        <translation>%1
(%2)</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>查找：</source>
        <translation>Find:</translation>
    </message>
    <message>
        <source>输入便签中的文字，多个词用空格分开</source>
        <translation>Type words from a note, separated by spaces</translation>
    </message>
    <message>
        <source>关闭查找（Esc）</source>
        <translation>Close find (Esc)</translation>
    </message>
    <message>
        <source>查找便签</source>
        <translation>Find notes</translation>
    </message>
    <message>
        <source>关闭查找</source>
        <translation>Close find</translation>
    </message>
</context>
<context>
    <name>Form_Main</name>
    <message>
        <source>有 %1 个便签无法在桌面打开，已跳过。</source>
        <translation>%1 note(s) could not be opened on the desktop and were skipped.</translation>
    </message>
    <message>
        <source>有 %1 个便签的编号无效，未列出。</source>
        <translation>%1 note(s) have an invalid number and are not listed.</translation>
    </message>
    <message>
        <source>便签文件已损坏</source>
        <translation>Note File Damaged</translation>
    </message>
    <message>
        <source>退出本程序后Zettara将不再显示，是否确定？</source>
        <translation>After you exit, Zettara will no longer be shown. Exit anyway?</translation>
    </message>
    <message>
        <source>确定退出</source>
        <translation>Confirm Exit</translation>
    </message>
    <message>
        <source>qrc:/zettara/banner.html</source>
        <translation>qrc:/zettara/banner_en.html</translation>
    </message>
    <message>
        <source>广告</source>
        <translation>Advertisement</translation>
    </message>
    <message>
        <source>便签列表</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>显示在桌面上</source>
        <translation>Shown on the desktop</translation>
    </message>
    <message>
        <source>未显示在桌面上</source>
        <translation>Not shown on the desktop</translation>
    </message>
</context>
<context>
    <name>Form_Zettara</name>
    <message>
        <source>桌面便签，背景：%1，文字：%2</source>
        <translation>Desktop note, background %1, text %2</translation>
    </message>
    <message>
        <source>未填写任何内容！</source>
        <translation>Nothing entered: the note keeps its text.</translation>
    </message>
    <message>
        <source>便签内容</source>
        <translation>Note text</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>没有运行窗口合成器，窗口无法显示透明效果</source>
        <translation>No compositor is running, so windows cannot be see-through</translation>
    </message>
    <message>
        <source>文件[&amp;F]</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新建便签[&amp;N]</source>
        <translation>&amp;New Note</translation>
    </message>
    <message>
        <source>导出便签…[&amp;E]</source>
        <translation>&amp;Export Notes…</translation>
    </message>
    <message>
        <source>导入便签…[&amp;I]</source>
        <translation>&amp;Import Notes…</translation>
    </message>
    <message>
        <source>从备份恢复…[&amp;R]</source>
        <translation>&amp;Restore from Backup…</translation>
    </message>
    <message>
        <source>退出程序[&amp;X]</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>编辑[&amp;E]</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>撤销删除[&amp;U]</source>
        <translation>&amp;Undo Delete</translation>
    </message>
    <message>
        <source>全选便签[&amp;A]</source>
        <translation>Select &amp;All Notes</translation>
    </message>
    <message>
        <source>删除便签[&amp;D]</source>
        <translation>&amp;Delete Note</translation>
    </message>
    <message>
        <source>修改便签[&amp;E]</source>
        <translation>&amp;Edit Note</translation>
    </message>
    <message>
        <source>查找便签…[&amp;S]</source>
        <translation>&amp;Search Notes…</translation>
    </message>
    <message>
        <source>刷新列表[&amp;F]</source>
        <translation>Re&amp;fresh List</translation>
    </message>
    <message>
        <source>工具[&amp;T]</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>开机自动启动程序[&amp;R]</source>
        <translation>&amp;Run at Login</translation>
    </message>
    <message>
        <source>添加桌面菜单便签[&amp;D]</source>
        <translation>Add &amp;Desktop Menu Note</translation>
    </message>
    <message>
        <source>帮助[&amp;H]</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>意见反馈[&amp;F]</source>
        <translation>Send &amp;Feedback</translation>
    </message>
    <message>
        <source>关于[&amp;A]</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>显示窗口[&amp;W]</source>
        <translation>Show &amp;Window</translation>
    </message>
    <message>
        <source>全部隐藏[&amp;H]</source>
        <translation>&amp;Hide All</translation>
    </message>
    <message>
        <source>全部显示[&amp;S]</source>
        <translation>&amp;Show All</translation>
    </message>
    <message>
        <source>关闭窗口[&amp;C]</source>
        <translation>&amp;Close Window</translation>
    </message>
    <message>
        <source>总在最前[&amp;T]</source>
        <translation>Always on &amp;Top</translation>
    </message>
    <message>
        <source>放大文字[&amp;I]</source>
        <translation>&amp;Increase Text Size</translation>
    </message>
    <message>
        <source>缩小文字[&amp;R]</source>
        <translation>&amp;Reduce Text Size</translation>
    </message>
    <message>
        <source>默认大小[&amp;Z]</source>
        <translation>Default Si&amp;ze</translation>
    </message>
    <message>
        <source>在所有工作区显示[&amp;W]</source>
        <translation>Show on All &amp;Workspaces</translation>
    </message>
    <message>
        <source>透明度[&amp;O]</source>
        <translation>&amp;Opacity</translation>
    </message>
    <message>
        <source>不透明</source>
        <translation>Opaque</translation>
    </message>
    <message>
        <source>%1%透明</source>
        <translation>%1% transparent</translation>
    </message>
    <message>
        <source>Wayland 桌面不允许程序让窗口总在最前</source>
        <translation>A Wayland desktop does not let programs keep a window on top</translation>
    </message>
    <message>
        <source>本系统不允许程序让窗口总在最前</source>
        <translation>This system does not let programs keep a window on top</translation>
    </message>
    <message>
        <source>Wayland 桌面不允许程序选择窗口所在的工作区</source>
        <translation>A Wayland desktop does not let programs choose a window&apos;s workspace</translation>
    </message>
    <message>
        <source>本系统不允许程序选择窗口所在的工作区</source>
        <translation>This system does not let programs choose a window&apos;s workspace</translation>
    </message>
    <message>
        <source>Wayland 桌面不允许程序设置窗口透明度</source>
        <translation>A Wayland desktop does not let programs make a window see-through</translation>
    </message>
    <message>
        <source>本系统不允许程序设置窗口透明度</source>
        <translation>This system does not let programs make a window see-through</translation>
    </message>
    <message>
        <source>界面语言[&amp;L]</source>
        <translation>Interface &amp;Language</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>System Default</translation>
    </message>
    <message>
        <source>无法保存界面语言的选择。请检查能否写入这个文件：
%1</source>
        <translation>The interface language could not be saved. Check that this file can be written:
%1</translation>
    </message>
    <message>
        <source>界面语言将在下次启动程序时改变。</source>
        <translation>The interface language will change the next time the program starts.</translation>
    </message>
    <message>
        <source>浅黄色</source>
        <translation>Pale yellow</translation>
    </message>
    <message>
        <source>粉色</source>
        <translation>Pink</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>紫色</source>
        <translation>Purple</translation>
    </message>
    <message>
        <source>橙色</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>灰色</source>
        <translation>Grey</translation>
    </message>
    <message>
        <source>白色</source>
        <translation>White</translation>
    </message>
    <message>
        <source>颜色[&amp;L]</source>
        <translation>Co&amp;lour</translation>
    </message>
    <message>
        <source>自定义颜色…[&amp;C]</source>
        <translation>&amp;Custom Colour…</translation>
    </message>
    <message>
        <source>同步文件夹…[&amp;Y]</source>
        <translation>S&amp;ync Folder…</translation>
    </message>
</context>
<context>
    <name>MsgBox</name>
    <message>
        <source>是(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>否(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>NoteArchive</name>
    <message>
        <source>创建于 %1，修改于 %2
%3

</source>
        <translation>Created %1, modified %2
%3

</translation>
    </message>
    <message>
        <source>它是便签文件本身、它的日志文件或它的备份，导出会毁掉其中的便签。请另选一个文件。</source>
        <translation>It is the note file itself, its journal or one of its backups; exporting into it would destroy the notes in it. Please choose another file.</translation>
    </message>
    <message>
        <source>它不是一个可以读取的普通文件。</source>
        <translation>It is not an ordinary file that can be read.</translation>
    </message>
    <message>
        <source>文件太大（超过 %1 MB）。</source>
        <translation>The file is too large (over %1 MB).</translation>
    </message>
    <message>
        <source>无法读取这个文件，请确认它仍在原处、你有权读取它。
（%1）</source>
        <translation>The file cannot be read. Make sure it is still there and that you may read it.
(%1)</translation>
    </message>
    <message>
        <source>文件不是有效的 UTF-8 文本。</source>
        <translation>The file is not valid UTF-8 text.</translation>
    </message>
    <message>
        <source>便签太多（超过 %1 个）。</source>
        <translation>There are too many notes (over %1).</translation>
    </message>
    <message>
        <source>文件的嵌套层次太深。</source>
        <translation>The file is nested too deeply.</translation>
    </message>
    <message>
        <source>文件不完整或已损坏（第 %1 个字节处出错）。</source>
        <translation>The file is incomplete or damaged (error at byte %1).</translation>
    </message>
    <message>
        <source>它不是本程序导出的便签文件。</source>
        <translation>It is not a note file exported by this program.</translation>
    </message>
    <message>
        <source>它来自更新版本的程序（格式版本 %1），请先升级本程序。</source>
        <translation>It comes from a newer version of the program (format version %1); please update this program first.</translation>
    </message>
    <message>
        <source>%1无效。</source>
        <translation>%1 is not valid.</translation>
    </message>
    <message>
        <source>%1的窗口设置无效。</source>
        <translation>The window settings of %1 are not valid.</translation>
    </message>
    <message>
        <source>%1的位置无效。</source>
        <translation>The place of %1 is not valid.</translation>
    </message>
    <message>
        <source>%1的位置“%2”</source>
        <translation>Place “%2” of %1</translation>
    </message>
    <message>
        <source>第 %1 个便签</source>
        <translation>Note %1</translation>
    </message>
    <message>
        <source>%1的内容缺失。</source>
        <translation>The contents of %1 are missing.</translation>
    </message>
    <message>
        <source>%1的“%2”</source>
        <translation>“%2” of %1</translation>
    </message>
    <message>
        <source>数据库尚未打开。</source>
        <translation>The database is not open.</translation>
    </message>
</context>
<context>
    <name>NoteCommands</name>
    <message>
        <source>这个便签删除后将无法撤销（这个便签文件不保留删除的便签）。确定删除吗？</source>
        <translation>Deleting this note cannot be undone (this note file does not keep deleted notes). Delete it?</translation>
    </message>
    <message>
        <source>确定删除</source>
        <translation>Confirm Delete</translation>
    </message>
    <message>
        <source>未选中任何便签！</source>
        <translation>No note is selected.</translation>
    </message>
</context>
<context>
    <name>NoteEditor</name>
    <message>
        <source>不透明</source>
        <translation>Opaque</translation>
    </message>
    <message>
        <source>%1%透明</source>
        <translation>%1% transparent</translation>
    </message>
    <message>
        <source>该便签已不存在，是否将内容保存为新便签？</source>
        <translation>This note no longer exists. Save the text as a new note?</translation>
    </message>
    <message>
        <source>内容已修改，是否保存？</source>
        <translation>The note has changed. Save the changes?</translation>
    </message>
    <message>
        <source>这个便签文件中已没有可用的新便签编号，无法再添加便签。便签内容仍保留在编辑窗口中。</source>
        <translation>This note file has no new note numbers left, so no more notes can be added. The text is still in the editor.</translation>
    </message>
    <message>
        <source>添加Zettara</source>
        <translation>Add Note</translation>
    </message>
    <message>
        <source>便签内容</source>
        <translation>Note text</translation>
    </message>
    <message>
        <source>高级选项</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>保存并关闭</source>
        <translation>Save &amp;&amp; Close</translation>
    </message>
    <message>
        <source>保存便签并关闭这个窗口</source>
        <translation>Saves the note and closes this window</translation>
    </message>
    <message>
        <source>标签桌面显示</source>
        <translation>Show on desktop</translation>
    </message>
    <message>
        <source>便签总在最前</source>
        <translation>Always on top</translation>
    </message>
    <message>
        <source>保存继续添加</source>
        <translation>Save &amp;&amp; New</translation>
    </message>
    <message>
        <source>保存便签，然后清空内容以添加下一个便签</source>
        <translation>Saves the note, then clears the text for the next one</translation>
    </message>
    <message>
        <source>字体颜色</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>背景颜色</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>便签透明度：</source>
        <translation>Transparency:</translation>
    </message>
    <message>
        <source>便签透明度</source>
        <translation>Note transparency</translation>
    </message>
    <message>
        <source>未填写任何内容！</source>
        <translation>The note is empty. Type its text first.</translation>
    </message>
</context>
<context>
    <name>NoteFileCheck</name>
    <message>
        <source>没有可用的备份。</source>
        <translation>There is no usable backup.</translation>
    </message>
    <message>
        <source>便签文件已损坏，程序将退出：
%1

打开时，上次未完成的保存留下的日志文件被撤销到了便签文件中，便签文件因此已被改变。改变之前的便签文件和日志文件保存为：
%2
%3</source>
        <translation>The note file is damaged, and the program will end:
%1

When it was opened, the journal left by an unfinished save was undone into it, so the note file has been changed. The note file and the journal as they were before are kept as:
%2
%3</translation>
    </message>
    <message>
        <source>便签文件已损坏，程序将退出，未做任何更改：
%1</source>
        <translation>The note file is damaged. The program will end without changing anything:
%1</translation>
    </message>
    <message>
        <source>

最新的备份：%1

恢复方法：退出程序后，把备份复制到便签文件所在的位置，改名为 %2 替换损坏的文件（旁边若有 %2-journal，先把它移走），然后重新启动。</source>
        <translation>

Newest backup: %1

To restore it: after the program has ended, copy the backup to the note file’s folder and name it %2 in place of the damaged file (if %2-journal is beside it, move that away first), then start the program again.</translation>
    </message>
    <message>
        <source>便签文件已损坏：
%1

可以恢复最新的完好备份：
%2

选“是”：损坏的文件（和旁边的日志文件）改名留在原处，恢复这个备份，然后继续启动。
选“否”：程序退出。</source>
        <translation>The note file is damaged:
%1

The newest good backup can be restored:
%2

Yes: the damaged file (and the journal beside it) is renamed and left where it is, the backup is restored, and the program starts.
No: the program ends.</translation>
    </message>
    <message>
        <source>上次未完成的保存已被撤销：便签文件旁留有那次保存的日志文件，打开时它被撤销到了便签文件中。

撤销之前的便签文件和日志文件保存为：
%1
%2

如果便签不是你期望的样子（例如便签文件是刚复制过来的备份），退出程序后可以用它们找回；不再需要时可以把它们删除。</source>
        <translation>An unfinished save from last time was undone: its journal was left beside the note file and was undone into it when the file was opened.

The note file and the journal as they were before are kept as:
%1
%2

If the notes are not as you expect (for example, the note file is a backup you have just copied in), end the program and use these copies to get them back; delete them once you no longer need them.</translation>
    </message>
    <message>
        <source>便签文件旁有上次未完成的保存留下的日志文件：
%1

无法先保存便签文件和它的副本，程序将退出，未做任何更改。</source>
        <translation>A journal left by an unfinished save is beside the note file:
%1

The note file and a copy of it could not be kept first, so the program will end without changing anything.</translation>
    </message>
    <message>
        <source>这个文件不是便签文件（没有 Tips 表，或 Tips 表缺少便签的列），程序将退出，未做任何更改：
%1</source>
        <translation>This file is not a note file (it has no Tips table, or the Tips table lacks the note columns). The program will end without changing anything:
%1</translation>
    </message>
</context>
<context>
    <name>NoteFileCommands</name>
    <message>
        <source>便签文件 (*.json)</source>
        <translation>Note files (*.json)</translation>
    </message>
    <message>
        <source>文本文件 (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>导出便签</source>
        <translation>Export Notes</translation>
    </message>
    <message>
        <source>便签.json</source>
        <translation>Notes.json</translation>
    </message>
    <message>
        <source>无法将便签导出到“%1”。
%2</source>
        <translation>The notes could not be exported to “%1”.
%2</translation>
    </message>
    <message>
        <source>已将 %1 个便签导出到“%2”。</source>
        <translation>Exported %1 note(s) to “%2”.</translation>
    </message>
    <message>
        <source>导入便签</source>
        <translation>Import Notes</translation>
    </message>
    <message>
        <source>无法导入“%1”，没有导入任何便签。
%2</source>
        <translation>“%1” could not be imported; no notes were imported.
%2</translation>
    </message>
    <message>
        <source>已从“%1”导入 %2 个便签，跳过 %3 个已有的便签。</source>
        <translation>Imported %2 note(s) from “%1” and skipped %3 note(s) already there.</translation>
    </message>
    <message>
        <source>
其中 %1 个便签的颜色无效，已改用新便签的颜色。</source>
        <translation>
%1 of them had invalid colours and now have the colours of a new note.</translation>
    </message>
    <message>
        <source>
有 %1 个便签无法在桌面打开，已跳过。</source>
        <translation>
%1 note(s) could not be opened on the desktop and were skipped.</translation>
    </message>
    <message>
        <source>还没有备份。程序每天第一次启动时备份便签，保存在：
%1</source>
        <translation>There are no backups yet. The program backs up the notes at its first start each day, in:
%1</translation>
    </message>
    <message>
        <source>用这个备份替换现在的全部便签吗？
%1

现在的便签文件会先另存为一个备份。</source>
        <translation>Replace all current notes with this backup?
%1

The current note file is kept as a backup first.</translation>
    </message>
    <message>
        <source>确定恢复</source>
        <translation>Confirm Restore</translation>
    </message>
    <message>
        <source>已从备份恢复便签。恢复之前的便签文件另存为：
%1</source>
        <translation>The notes were restored from the backup. The note file as it was before is kept as:
%1</translation>
    </message>
    <message>
        <source>

有 %1 个便签无法在桌面打开，已跳过。</source>
        <translation>

%1 note(s) could not be opened on the desktop and were skipped.</translation>
    </message>
</context>
<context>
    <name>NoteListController</name>
    <message>
        <source>显示</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Content</translation>
    </message>
    <message>
        <source>创建时间</source>
        <translation>Created</translation>
    </message>
    <message>
        <source>修改时间</source>
        <translation>Modified</translation>
    </message>
    <message>
        <source>便签文件被占用</source>
        <translation>the note file is in use</translation>
    </message>
    <message>
        <source>错误 %1：%2</source>
        <translation>Error %1: %2</translation>
    </message>
    <message>
        <source>便签已保存，但列表暂时无法刷新（%1）。稍后会自动刷新。</source>
        <translation>The note was saved, but the list cannot be refreshed right now (%1). It will refresh by itself shortly.</translation>
    </message>
</context>
<context>
    <name>NoteStoreLocation</name>
    <message>
        <source>无法创建存放便签的文件夹“%1”。请确认你有权在那里创建文件夹，然后重新启动程序。</source>
        <translation>The folder for the notes, “%1”, cannot be made. Make sure you may create folders there, then start the program again.</translation>
    </message>
</context>
<context>
    <name>OwnSchema</name>
    <message>
        <source>这个便签文件来自更新版本的程序。在本版本中，删除的便签无法撤销，便签的位置和窗口设置也不会保存。</source>
        <translation>This note file comes from a newer version of the program. In this version, deleted notes cannot be taken back, and note places and window settings are not kept.</translation>
    </message>
    <message>
        <source>便签文件中本程序自用的表已损坏，已改名保留并重新建立：%1。便签本身没有受到影响，但已删除的便签、便签的位置或窗口设置可能已无法使用。</source>
        <translation>Tables the program keeps for itself in the note file were damaged; they were renamed, kept and made again: %1. The notes themselves are not affected, but deleted notes, note places or window settings may be lost.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>RestoreDialog</name>
    <message>
        <source>从备份恢复</source>
        <translation>Restore from Backup</translation>
    </message>
    <message>
        <source>备份日期</source>
        <translation>Backup date</translation>
    </message>
    <message>
        <source>便签数</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>大小</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>已损坏</source>
        <translation>Damaged</translation>
    </message>
    <message>
        <source>恢复[&amp;R]</source>
        <translation>&amp;Restore</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>SyncFolderChoice</name>
    <message>
        <source>同步文件夹让几台电脑用上同样的便签：每台电脑把自己的便签写进这个文件夹，由 Syncthing、Nextcloud 等同步软件在电脑之间传送，本程序再把各台电脑的修改逐条合并。两台电脑改了同一个便签时，两边的修改都会留在便签里，什么也不会丢。</source>
        <translation>A sync folder gives several computers the same notes: each computer writes its notes into this folder, a sync program such as Syncthing or Nextcloud carries them between the computers, and this program merges the changes of every computer note by note. When two computers change the same note, the changes of both stay in the note and nothing is lost.</translation>
    </message>
    <message>
        <source>现在同步的文件夹：%1</source>
        <translation>Syncing with: %1</translation>
    </message>
    <message>
        <source>同步文件夹</source>
        <translation>Sync Folder</translation>
    </message>
    <message>
        <source>选择文件夹…[&amp;C]</source>
        <translation>&amp;Choose Folder…</translation>
    </message>
    <message>
        <source>停止同步[&amp;S]</source>
        <translation>&amp;Stop Syncing</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>选择同步文件夹</source>
        <translation>Choose a Sync Folder</translation>
    </message>
    <message>
        <source>无法在“%1”里写入文件，同步没有打开。请换一个文件夹。</source>
        <translation>Files cannot be written in “%1”, so syncing was not turned on. Please choose another folder.</translation>
    </message>
    <message>
        <source>同步没有打开。</source>
        <translation>Syncing was not turned on.</translation>
    </message>
    <message>
        <source>同步：%1 合并完毕</source>
        <translation>Sync: merged at %1</translation>
    </message>
    <message>
        <source>同步：正在合并…</source>
        <translation>Sync: merging…</translation>
    </message>
    <message>
        <source>；%1 个文件无法读取，已跳过</source>
        <translation>; %1 file(s) could not be read and were skipped</translation>
    </message>
    <message>
        <source>；出了问题，稍后再试：%1</source>
        <translation>; a problem, trying again shortly: %1</translation>
    </message>
    <message>
        <source>；%1 个便签保留了两台电脑的不同改法，查找“冲突”可以找到</source>
        <translation>; %1 note(s) kept both computers’ versions of some lines (find “conflict” to see them)</translation>
    </message>
    <message>
        <source>便签文件“%1”就在这个文件夹里，不能拿它来同步。请换一个文件夹。</source>
        <translation>The note file “%1” is inside this folder, so it cannot be used for syncing. Please choose another folder.</translation>
    </message>
    <message>
        <source>同步暂停：找不到同步文件夹“%1”。请接上它所在的磁盘后重新启动程序，或者另选文件夹。</source>
        <translation>Sync paused: the sync folder “%1” cannot be found. Connect the drive it is on and start the program again, or choose another folder.</translation>
    </message>
</context>
<context>
    <name>UpdateCheck</name>
    <message>
        <source>发现新版本 %1（当前版本 %2）。</source>
        <translation>A new version, %1, is available (this is version %2).</translation>
    </message>
    <message>
        <source>是否打开下载页面？</source>
        <translation>Open the download page?</translation>
    </message>
</context>
<context>
    <name>companion::FeedbackDialog</name>
    <message>
        <source>意见反馈</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>请写下您的意见或建议：</source>
        <translation>Please write your comments or suggestions:</translation>
    </message>
    <message>
        <source>联系方式（可不填）：</source>
        <translation>How to reach you (optional):</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>请先写下您的意见。</source>
        <translation>Please write your comments first.</translation>
    </message>
    <message>
        <source>您的意见已发送，谢谢！</source>
        <translation>Your feedback has been sent. Thank you!</translation>
    </message>
    <message>
        <source>您的意见暂时无法发送：%1

它也无法保存到 %2。窗口中的内容还在，请稍后再试。</source>
        <translation>Your feedback cannot be sent right now: %1

It could not be saved in %2 either. What you wrote is still in the window; please try again later.</translation>
    </message>
    <message>
        <source>您的意见暂时无法发送：%1

它已保存在：
%2
网络恢复后，可以再次打开意见反馈，把文件中的内容粘贴进去发送。</source>
        <translation>Your feedback cannot be sent right now: %1

It has been saved in:
%2
Once the network is back, open Feedback again and paste the text from that file to send it.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>关于 Zettara </source>
        <translation>About Zettara </translation>
    </message>
    <message>
        <source>应用程序标题</source>
        <translation>Application Title</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>现在就丢掉传统纸质便笺，改用完全免费的Zettara软件！</source>
        <translation>Throw away your paper sticky notes and switch to Zettara today. It is completely free!</translation>
    </message>
    <message>
        <source>把您的便签“粘”在您的电脑桌面上，随时都能够在电脑屏幕上看到您的重要信息，既节约您的金钱，又节约您的时间！</source>
        <translation>“Stick” your notes on your computer&apos;s desktop and see what matters on your screen at any time, saving both money and time!</translation>
    </message>
    <message>
        <source>Zettara允许设定多种背景颜色，背景颜色可设置为渐进效果，便笺字体可自行定义。</source>
        <translation>Zettara offers many background colours, which can fade as a gradient, and lets you choose the notes&apos; font.</translation>
    </message>
    <message>
        <source>官方网站：</source>
        <translation>Website:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关于 %1</source>
        <translation>About %1</translation>
    </message>
    <message>
        <source>版本 %1.%2.0.%3</source>
        <translation>Version %1.%2.0.%3</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>便签文件正由另一个运行中的 %1 使用：
%2

同一个便签文件同时只能由一个程序使用，请到正在运行的程序中查看便签（它可能只在通知区域里）。这次启动将结束。</source>
        <translation>The note file is in use by another running %1:
%2

A note file can be used by only one program at a time. Look for your notes in the running program (it may be only in the notification area). This start will end.</translation>
    </message>
</context>
<context>
    <name>platform::BoundedFetch</name>
    <message>
        <source>连接超时</source>
        <translation>Connection timed out</translation>
    </message>
    <message>
        <source>无法建立安全连接</source>
        <translation>Secure connections are not available</translation>
    </message>
    <message>
        <source>服务器的回答过长</source>
        <translation>The server’s answer is too long</translation>
    </message>
    <message>
        <source>服务器的回答无法读取</source>
        <translation>The server’s answer cannot be read</translation>
    </message>
    <message>
        <source>服务器转到了不安全的地址</source>
        <translation>The server redirected to an unsafe address</translation>
    </message>
    <message>
        <source>服务器转址过多</source>
        <translation>The server redirected too many times</translation>
    </message>
    <message>
        <source>服务器回答 HTTP %1</source>
        <translation>The server answered HTTP %1</translation>
    </message>
    <message>
        <source>连接在回答结束前中断</source>
        <translation>The connection broke off before the answer was complete</translation>
    </message>
</context>
<context>
    <name>platform::ColorPicker</name>
    <message>
        <source>当前颜色：%1</source>
        <translation>Current colour: %1</translation>
    </message>
</context>
</TS>

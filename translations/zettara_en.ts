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
        <source>便签文件被占用，请稍后再试。</source>
        <translation>The note file is in use. Please try again in a moment.</translation>
    </message>
    <message>
        <source>错误 %1：%2</source>
        <translation>Error %1: %2</translation>
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
    <name>platform::ColorPicker</name>
    <message>
        <source>当前颜色：%1</source>
        <translation>Current colour: %1</translation>
    </message>
</context>
</TS>

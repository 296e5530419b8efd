-- The note the program ships with: pale yellow on black, shown on the desktop.
INSERT INTO Tips(content,CreateTime,ChangeTime,Deleted,BackColor,FontColor,Visual,TopMost,Transparent)
Values('欢迎使用 Zettara！
右键单击便签可以修改、删除或关闭它；拖动便签可以移动它，拖动边缘可以改变大小。
在主窗体的列表中勾选或取消勾选，即可在桌面上显示或隐藏便签。', '2026/12/7 9:00:00', '2026/12/7 9:00:00', '0', '12648447', '0', '1', '0', '20');

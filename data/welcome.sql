-- The note the program ships with: pale yellow on black, shown on the desktop.
INSERT INTO Tips(content,CreateTime,ChangeTime,Deleted,BackColor,FontColor,Visual,TopMost,Transparent)
Values('欢迎使用 Zettara！
右键单击便签可以修改、删除或关闭它；拖动便签可以移动它，拖动边缘可以改变大小。
在主窗体的列表中勾选或取消勾选，即可在桌面上显示或隐藏便签。', '2026/12/7 9:00:00', '2026/12/7 9:00:00', '0', '12648447', '0', '1', '0', '20');

-- Its place, so that a new user sees it beside the main window, which opens centred at its
-- creation size: 24 pixels from the top, and so far to the right that the start-up check that
-- brings a note back onto a screen puts it in the top right corner of whatever screen there
-- is. A note this narrow stays clear of the main window on any screen 1024 pixels wide or
-- more. The table has the shape from before the scale was kept: the program brings it up to
-- date when it first opens the file, as it does for every older note file.
CREATE TABLE NotePlacement(ID INTEGER PRIMARY KEY, X INTEGER, Y INTEGER, Width INTEGER, Height INTEGER);
INSERT INTO NotePlacement(ID, X, Y, Width, Height) VALUES(last_insert_rowid(), 30000, 24, 170, 160);

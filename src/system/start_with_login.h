#pragma once

#include <QString>
#include <functional>

// Start with login: the entry "Zettara" in the current user's Run key, whose text runs this
// program with the argument "mini". The entry's text for a program file: the path in double quotes,
// then " mini".
QString 开机启动_命令行(const QString& programFile);
// The entry's text for the running program.
QString 开机启动_期望值();
// True exactly when the entry holds the expected text (case-sensitive).
bool 开机启动_已设置();
// Click on the menu item 工具_开机启动 whose check mark is `checked`; answers the new check
// mark. Checked: the entry is deleted. Unchecked: the expected text is written only when there
// is no entry text yet, so another program's entry is left alone.
bool 工具_开机启动_Click(bool checked);

// The start-with-login choice the menu item 工具_开机启动 shows: the entry as read at load, then
// what each click makes it (a click whose write failed still shows the choice made).
class StartWithLoginChoice {
  public:
    void load();
    void toggle();  // the click
    bool on() const { return on_; }
    // Told when on() may have changed.
    std::function<void()> stateChanged;

  private:
    bool on_ = false;
};

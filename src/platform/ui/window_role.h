#pragma once

namespace platform {

// Screen readers take a top-level window made from a plain QWidget (a note, the editor) for a
// pane inside something else; after this call they read it as a window of its own. Any number
// of calls install it once.
void readPlainWindowsAsWindows();

}  // namespace platform

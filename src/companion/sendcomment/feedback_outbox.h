#pragma once

#include <QString>

namespace companion {

// Feedback that could not be sent, kept as text files in the user's data folder (a test hook
// may name another folder).
class FeedbackOutbox {
  public:
    static QString folder();
    // Writes a new file and returns its path, or an empty text when nothing could be written.
    // Never replaces an earlier file.
    static QString keep(const QString& product, const QString& text, const QString& contact);
};

}  // namespace companion

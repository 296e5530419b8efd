#pragma once

#include <QApplication>
#include <QStringList>
#include <vector>

#include "notewindow/note_window.h"

// The open desktop note windows as the program sees them (a closed one waiting for its deferred
// deletion no longer counts). Header-only: only tests that link the note window include it.
namespace testsupport {

inline std::vector<Form_Zettara*> openNoteWindows() {
    std::vector<Form_Zettara*> result;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* note = dynamic_cast<Form_Zettara*>(widget);
        if (note && !note->isClosing()) result.push_back(note);
    }
    return result;
}

// Their id tags, sorted.
inline QStringList openNoteTags() {
    QStringList tags;
    for (Form_Zettara* note : openNoteWindows()) tags << note->idTag();
    tags.sort();
    return tags;
}

}  // namespace testsupport

#include "shell/own_windows_above_notes.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <algorithm>

#include "controller/note_list_controller.h"
#include "editor/note_editor.h"
#include "notewindow/note_window.h"
#include "platform/os/note_window_state_hints.h"

OwnWindowsAboveNotes::OwnWindowsAboveNotes(Class_主窗体& notes, QObject* parent)
    : QObject(parent), notes_(notes) {
    qApp->installEventFilter(this);
}

bool OwnWindowsAboveNotes::eventFilter(QObject* watched, QEvent* event) {
    // A widget's show event comes before its window is mapped, where the state is read; an
    // open window taken up again comes up over a note put on top since it opened.
    if ((event->type() != QEvent::Show && event->type() != QEvent::WindowActivate) ||
        !watched->isWidgetType())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!window->isWindow() ||
        !(qobject_cast<QDialog*>(window) || dynamic_cast<Form_添加便签*>(window)))
        return false;
    const std::vector<Form_Zettara*> shown = notes_.便签窗口();
    if (std::any_of(shown.begin(), shown.end(),
                    [](const Form_Zettara* note) { return note->keptAbove(); }))
        platform::setKeepAbove(window, true);
    return false;
}

#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <cstdint>

#include "store/note_placements.h"

class Form_Zettara;
class QTimer;
class 数据库操作模块;

// Keeps one note window's place: a window about to be shown is put where its note was left
// (fully on a screen, at the same spot of the screen whatever its scale; only the size on
// Wayland, whose compositor places windows), its rectangle is stored when the user's move or
// resize ends, when its geometry has settled after a change the program did not make itself
// (the window manager's moves, snapping, keyboard moves), and when it closes after one; a
// change of screens brings it back onto them. Nothing is ever shown for a placement: one that
// cannot be read is not used, one that cannot be written is written at the next change or close.
class NotePlacementKeeper : public QObject {
  public:
    // The window's note ID must be set. The keeper lives as the window's child; the store must
    // outlive the window or be closed first.
    // `known`, when given, holds every stored place (NotePlacements::findAll) and saves the
    // look-up of this one.
    static void attach(Form_Zettara& window, 数据库操作模块& store,
                       const NotePlacements::Places* known = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    NotePlacementKeeper(Form_Zettara& window, 数据库操作模块& store);
    void restore(const NotePlacements::Places* known);
    void watchScreens();
    void bringOnScreens();
    void placementEnded(bool closing);
    void settled();
    void write();

    Form_Zettara& window_;
    数据库操作模块& store_;
    std::int64_t id_;
    QTimer* settle_;        // runs only while the geometry keeps changing
    QRect stored_;          // what the store holds for the note, as far as we know
    QRect given_;           // where the window system settled the shown window, or we put it
    bool placed_ = false;   // the shown window has settled once
    bool changed_ = false;  // moved or resized by someone else than the program since it opened
};

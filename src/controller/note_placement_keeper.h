#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <cstdint>

class Form_Zettara;
class 数据库操作模块;

// Keeps one note window's place: a window about to be shown is put where its note was left
// (fully on a screen; only the size on Wayland, whose compositor places windows), its
// rectangle is stored when the user's move or resize ends and when it closes after one, and a
// change of screens brings it back onto them. Nothing is ever shown for a placement: one that
// cannot be read is not used, one that cannot be written is written at the next move or close.
class NotePlacementKeeper : public QObject {
  public:
    // The window's id tag must be set. The keeper lives as the window's child; the store must
    // outlive the window or be closed first.
    // `known`, when given, holds every stored place (NotePlacements::findAll) and saves the
    // look-up of this one.
    static void attach(Form_Zettara& window, 数据库操作模块& store,
                       const QHash<std::int32_t, QRect>* known = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    NotePlacementKeeper(Form_Zettara& window, 数据库操作模块& store);
    void restore(const QHash<std::int32_t, QRect>* known);
    void watchScreens();
    void bringOnScreens();
    void placementEnded(bool closing);
    void write();

    Form_Zettara& window_;
    数据库操作模块& store_;
    std::int32_t id_;
    QRect stored_;              // what the store holds for the note, as far as we know
    bool userChanged_ = false;  // moved or resized by the user since it opened
    bool settling_ = false;     // a move or resize just ended; the final geometry may follow
};

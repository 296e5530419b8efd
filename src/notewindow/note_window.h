#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "notewindow/edge_zones.h"

class NoteMenuHost;
class QLabel;

// A desktop note window: frameless, the note's background colour, the note's text in a label
// with a 60-twip margin. Dragging moves it, dragging the 3-pixel edge bands resizes it, and a
// right-button release pops up the main window's note menu for this note.
class Form_Zettara : public QWidget {
  public:
    explicit Form_Zettara(NoteMenuHost& host);

    // The ID of the note the window shows.
    std::int64_t noteId() const { return noteId_; }
    void setNoteId(std::int64_t id) { noteId_ = id; }

    QColor backColor() const;
    void setBackColor(const QColor& colour);
    QColor textColor() const;  // the label's
    void setTextColor(const QColor& colour);
    QString text() const;  // the label's
    void setText(const QString& text);
    // The text's size in points; none: the window's own font.
    void setTextPoints(std::optional<int> points);

    // Depth of the resize bands along the edges, in twips (3 pixels).
    std::int16_t edgeBand() const { return edgeBand_; }
    // True once the window has accepted a close (it is deleted at the next event loop pass).
    bool isClosing() const { return closing_; }
    // Whether the window system was last asked to keep the window above the others.
    bool keptAbove() const { return keptAbove_; }
    void setKeptAbove(bool above) { keptAbove_ = above; }

    QLabel* const Label_Zettara;

    // Told when a move or resize by the user has ended, and when the window closes
    // (closing = true), so that its owner can keep the window's place. A Wayland compositor
    // keeps the release at the end of its resize: that one is never told, the owner has to
    // watch the geometry settle.
    std::function<void(bool closing)> placementEnded;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Drag { None, Pending, System, ManualMove, ManualResize };

    edgezones::Decision decisionAt(const QPointF& pos) const;
    void beginDrag(const QMouseEvent& event);
    void startResize(Qt::Edges edges);
    void dragTo(const QPoint& globalPos);
    void endDrag(const QMouseEvent& event);
    void openNoteMenu(const QPoint& at);
    // A screen reader names the window by its text and describes it by its colours.
    void describeColours();

    NoteMenuHost& host_;
    std::int64_t noteId_ = 0;
    std::int16_t edgeBand_ = 0;
    bool closing_ = false;
    bool keptAbove_ = false;

    Drag drag_ = Drag::None;
    QPoint pressGlobal_;
    QRect startGeometry_;
    Qt::Edges resizeEdges_;
};

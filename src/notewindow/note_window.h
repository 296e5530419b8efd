#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "notewindow/edge_zones.h"
#include "notewindow/note_label.h"

class NoteMenuHost;
class QLabel;
class QPlainTextEdit;
class QTimer;

// A desktop note window: frameless, the note's background colour, the note's text in a label
// with a 60-twip margin. Dragging moves it, dragging the 3-pixel edge bands resizes it, and a
// right-button release pops up the main window's note menu for this note. A double click, Enter
// or F2 turns the text editable in place, in the same colours, font and margins.
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

    // Editing in place. The text turns editable with the focus, the caret at `caretAt`
    // (window coordinates) or at the end, scrolled as the label was.
    bool isEditing() const { return editing_; }
    void beginEditing(std::optional<QPoint> caretAt = std::nullopt);
    // Back to the label, which takes the edited text unless it is empty (then it keeps the text
    // it had); editingEnded is told. Esc, the window losing the focus and its close end it too.
    void endEditing();
    // The text being edited, every line break as "\n".
    QString editedText() const;
    // A short line at the foot of the note for a few seconds.
    void showHint(const QString& text);

    NoteLabel* const Label_Zettara;
    QPlainTextEdit* const Edit_Zettara;  // shown only while editing
    QLabel* const Label_提示;            // the hint, shown for a few seconds

    // Asked before the text turns editable by the user's double click, Enter or F2; false
    // keeps it as it is (someone else holds the note, and has said so).
    std::function<bool()> editRequested;
    // Told of every change of the text while editing, and when editing has ended.
    std::function<void()> textEdited;
    std::function<void()> editingEnded;

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
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
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
    // A double click, Enter or F2: editing begins unless editRequested says no.
    void requestEditing(std::optional<QPoint> caretAt);
    bool editEvent(QEvent* event);
    void placeEdit();
    void placeHint();

    NoteMenuHost& host_;
    std::int64_t noteId_ = 0;
    std::int16_t edgeBand_ = 0;
    bool closing_ = false;
    bool keptAbove_ = false;
    bool editing_ = false;
    int barWidth_ = 0;  // the edited text's scroll bar, in the right margin
    QTimer* hintTimer_;

    Drag drag_ = Drag::None;
    QPoint pressGlobal_;
    QRect startGeometry_;
    Qt::Edges resizeEdges_;
};

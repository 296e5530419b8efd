#include "notewindow/note_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "notewindow/edge_zones.h"
#include "notewindow/note_menu_host.h"
#include "platform/os/window_hints.h"
#include "platform/ui/accessible_text.h"
#include "platform/ui/form_font.h"
#include "platform/ui/guard.h"
#include "platform/ui/plain_text.h"
#include "platform/ui/twips.h"
#include "platform/ui/window_role.h"

namespace {

constexpr double kWidthTwips = 2550;
constexpr double kHeightTwips = 1800;
constexpr double kMarginTwips = 60;
constexpr double kBandPixels = 3;
constexpr int kHintMs = 4000;
constexpr int kWheelStep = 40;  // one line per 40 eighths of a degree: 3 lines a notch

// A thin bar as wide as the right margin; the text keeps its colours. Without anything to
// scroll its handle is not drawn.
QString scrollBarStyle(int width, bool shown) {
    return QStringLiteral(
               "QScrollBar:vertical { width: %1px; background: transparent; margin: 0; }"
               "QScrollBar::handle:vertical { background: %2; border-radius: %3px;"
               " min-height: 16px; }"
               "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
               "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
        .arg(width)
        .arg(shown ? QStringLiteral("rgba(0, 0, 0, 70)") : QStringLiteral("transparent"))
        .arg(width / 2);
}

}  // namespace

// An ordinary window, not Qt::Tool: some window managers hide the tool windows of an inactive
// program, and a note has to stay on the desktop.
Form_Zettara::Form_Zettara(NoteMenuHost& host)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      Label_Zettara(new NoteLabel(this)),
      Edit_Zettara(new QPlainTextEdit(this)),
      Label_提示(new QLabel(this)),
      host_(host),
      hintTimer_(new QTimer(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zettara"));
    setFont(platform::formFont());
    setAutoFillBackground(true);
    // The pointer shows the sizing arrows over the margin, so it has to follow unpressed moves.
    setMouseTracking(true);

    Label_Zettara->setTextFormat(Qt::PlainText);
    Label_Zettara->setWordWrap(true);
    Label_Zettara->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label_Zettara->setCursor(Qt::ArrowCursor);
    Label_Zettara->installEventFilter(this);
    platform::twips::setGeometry(Label_Zettara, kMarginTwips, kMarginTwips, 1545, 705);

    // Laid out as the label lays out its text: no frame, no margin, the same wrapping.
    Edit_Zettara->hide();
    Edit_Zettara->setFrameShape(QFrame::NoFrame);
    Edit_Zettara->document()->setDocumentMargin(0);
    Edit_Zettara->setWordWrapMode(QTextOption::WordWrap);
    Edit_Zettara->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The bar always lies in the right margin, so the text keeps the label's width (and its
    // lines) whether there is anything to scroll or not.
    Edit_Zettara->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QScrollBar* bar = Edit_Zettara->verticalScrollBar();
    barWidth_ = platform::twips::toPixels(kMarginTwips);
    bar->setStyleSheet(scrollBarStyle(barWidth_, false));
    connect(bar, &QScrollBar::rangeChanged, this,
            [this, bar](int, int max) { bar->setStyleSheet(scrollBarStyle(barWidth_, max > 0)); });
    Edit_Zettara->setAccessibleName(QCoreApplication::translate("Form_Zettara", "便签内容"));
    Edit_Zettara->installEventFilter(this);
    Edit_Zettara->viewport()->installEventFilter(this);
    connect(Edit_Zettara, &QPlainTextEdit::textChanged, this, [this] {
        if (editing_ && textEdited) platform::runEvent([this] { textEdited(); });
    });

    Label_提示->hide();
    Label_提示->setTextFormat(Qt::PlainText);
    Label_提示->setAutoFillBackground(true);
    QFont hintFont = font();
    hintFont.setItalic(true);
    Label_提示->setFont(hintFont);
    Label_提示->setIndent(platform::twips::toPixels(kMarginTwips));
    // Over the bottom edge band, which still resizes.
    Label_提示->setAttribute(Qt::WA_TransparentForMouseEvents);
    hintTimer_->setSingleShot(true);
    hintTimer_->setInterval(kHintMs);
    connect(hintTimer_, &QTimer::timeout, Label_提示, &QWidget::hide);

    edgeBand_ = static_cast<std::int16_t>(std::lround(platform::twips::fromPixels(kBandPixels)));
    platform::twips::resize(this, kWidthTwips, kHeightTwips);
    // A desktop full of notes would otherwise fill the task bar with one button per note; the
    // main window's list already switches them on and off.
    platform::keepOffTaskbar(this);
    platform::readPlainWindowsAsWindows();
    describeColours();
}

QColor Form_Zettara::backColor() const {
    return palette().color(QPalette::Window);
}

void Form_Zettara::setBackColor(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Base, colour);
    setPalette(p);
    describeColours();
}

QColor Form_Zettara::textColor() const {
    return Label_Zettara->palette().color(QPalette::WindowText);
}

void Form_Zettara::setTextColor(const QColor& colour) {
    QPalette p = Label_Zettara->palette();
    p.setColor(QPalette::WindowText, colour);
    Label_Zettara->setPalette(p);
    QPalette edit = Edit_Zettara->palette();
    edit.setColor(QPalette::Text, colour);
    Edit_Zettara->setPalette(edit);
    describeColours();
}

QString Form_Zettara::text() const {
    return Label_Zettara->text();
}

void Form_Zettara::setText(const QString& text) {
    Label_Zettara->setText(text);
    setAccessibleName(platform::spokenName(text));
}

void Form_Zettara::setTextPoints(std::optional<int> points) {
    // A font that sets nothing inherits the window's whole font again.
    QFont font;
    if (points) {
        font = this->font();
        font.setPointSize(*points);
    }
    Label_Zettara->setFont(font);
    Edit_Zettara->setFont(font);
}

void Form_Zettara::requestEditing(std::optional<QPoint> caretAt) {
    if (editing_ || (editRequested && !editRequested())) return;
    beginEditing(caretAt);
}

void Form_Zettara::beginEditing(std::optional<QPoint> caretAt) {
    if (editing_) return;
    Edit_Zettara->setPlainText(Label_Zettara->text());
    placeEdit();
    Edit_Zettara->verticalScrollBar()->setValue(Label_Zettara->firstLine());
    QTextCursor caret(Edit_Zettara->document());
    caret.movePosition(QTextCursor::End);
    if (caretAt)
        caret = Edit_Zettara->cursorForPosition(Edit_Zettara->viewport()->mapFrom(this, *caretAt));
    Edit_Zettara->setTextCursor(caret);
    editing_ = true;
    Edit_Zettara->show();
    Label_Zettara->hide();
    Label_提示->hide();
    activateWindow();
    Edit_Zettara->setFocus();
}

void Form_Zettara::endEditing() {
    if (!editing_) return;
    editing_ = false;
    const QString text = editedText();
    if (!text.isEmpty()) setText(text);
    Label_Zettara->setFirstLine(Edit_Zettara->verticalScrollBar()->value());
    Label_Zettara->show();
    Edit_Zettara->hide();
    setFocus();
    if (editingEnded) editingEnded();
}

QString Form_Zettara::editedText() const {
    return platform::plainText(*Edit_Zettara->document());
}

void Form_Zettara::showHint(const QString& text) {
    // A strip a shade darker than the note, so that it does not read as part of the text.
    QPalette strip = Label_提示->palette();
    strip.setColor(QPalette::Window, backColor().darker(112));
    strip.setColor(QPalette::WindowText, textColor());
    Label_提示->setPalette(strip);
    Label_提示->setText(text);
    Label_提示->setAccessibleName(text);
    placeHint();
    Label_提示->show();
    Label_提示->raise();
    hintTimer_->start();
}

void Form_Zettara::placeEdit() {
    // Over the label and the right margin beside it, where the scroll bar goes: the text is
    // exactly as wide as the label's.
    Edit_Zettara->setGeometry(Label_Zettara->geometry().adjusted(0, 0, barWidth_, 0));
}

void Form_Zettara::placeHint() {
    // Across the whole width at the foot, over the bottom margin.
    const int height = std::min(Label_提示->sizeHint().height() + 2, this->height());
    Label_提示->setGeometry(0, this->height() - height, width(), height);
}

void Form_Zettara::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    platform::runEvent([&] {
        const double w = platform::twips::fromPixels(width());
        const double h = platform::twips::fromPixels(height());
        // twips::setGeometry clamps, so a tiny window gives an empty label, never a negative one.
        platform::twips::setGeometry(Label_Zettara, kMarginTwips, kMarginTwips,
                                     w - 2 * kMarginTwips, h - 2 * kMarginTwips);
        placeEdit();
        placeHint();
    });
}

void Form_Zettara::mousePressEvent(QMouseEvent* event) {
    platform::runEvent([&] {
        // Only a held left button may drive a move or a resize.
        if (event->button() != Qt::LeftButton) return;
        const edgezones::Decision d = decisionAt(event->position());
        beginDrag(*event);
        if (!d.moves()) startResize(d.edges);
    });
}

void Form_Zettara::mouseMoveEvent(QMouseEvent* event) {
    platform::runEvent([&] {
        const edgezones::Decision d = decisionAt(event->position());
        setCursor(d.cursor);
        if (event->buttons() & Qt::LeftButton) dragTo(event->globalPosition().toPoint());
    });
}

void Form_Zettara::mouseReleaseEvent(QMouseEvent* event) {
    platform::runEvent([&] { endDrag(*event); });
}

void Form_Zettara::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    platform::runEvent([&] { requestEditing(event->position().toPoint()); });
}

void Form_Zettara::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A click on another window, or the keyboard taken elsewhere, ends editing.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        platform::runEvent([this] { endEditing(); });
}

void Form_Zettara::closeEvent(QCloseEvent* event) {
    // What was typed is kept before the window goes.
    platform::runEvent([this] { endEditing(); });
    // The flag keeps a closed window out of the controller's walks
    // until its deferred deletion.
    closing_ = true;
    if (placementEnded) platform::runEvent([&] { placementEnded(true); });
    event->accept();
}

void Form_Zettara::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int key = event->key();
        const int step = key == Qt::Key_Equal || key == Qt::Key_Plus ? 1
                         : key == Qt::Key_Minus                      ? -1
                         : key == Qt::Key_0                          ? 0
                                                                     : 2;
        if (step != 2) {
            platform::runEvent([&] { host_.stepNoteText(noteId_, step); });
            return;
        }
    }
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) {
            platform::runEvent([&] { requestEditing(std::nullopt); });
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void Form_Zettara::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        QWidget::wheelEvent(event);
        return;
    }
    if (!(event->modifiers() & Qt::ControlModifier)) {
        // A text longer than the note scrolls; the lines never go below 1 a turn.
        const int lines =
            delta > 0 ? -std::max(1, delta / kWheelStep) : std::max(1, -delta / kWheelStep);
        Label_Zettara->setFirstLine(Label_Zettara->firstLine() + lines);
        return;
    }
    platform::runEvent([&] { host_.stepNoteText(noteId_, delta > 0 ? 1 : -1); });
}

bool Form_Zettara::editEvent(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            platform::runEvent([this] { endEditing(); });
            return true;
        }
        // Redo on Ctrl+Y too, on every desktop.
        if (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier) {
            Edit_Zettara->redo();
            return true;
        }
    } else if (event->type() == QEvent::Wheel) {
        // Ctrl+wheel sizes the note's text, as when not editing, instead of zooming the editor.
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            wheelEvent(wheel);
            return true;
        }
    }
    return false;
}

bool Form_Zettara::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_Zettara || watched == Edit_Zettara->viewport())
        return editEvent(event) || QWidget::eventFilter(watched, event);
    if (watched != Label_Zettara) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            // No zones on the label: a left press only arms the move.
            auto* mouse = static_cast<QMouseEvent*>(event);
            platform::runEvent([&] {
                if (mouse->button() == Qt::LeftButton) beginDrag(*mouse);
            });
            return true;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            platform::runEvent([&] {
                if (mouse->buttons() & Qt::LeftButton) dragTo(mouse->globalPosition().toPoint());
            });
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            platform::runEvent([&] { endDrag(*mouse); });
            return true;
        }
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton)
                platform::runEvent([&] {
                    requestEditing(Label_Zettara->mapTo(this, mouse->position().toPoint()));
                });
            return true;
        }
        default:
            return QWidget::eventFilter(watched, event);
    }
}

edgezones::Decision Form_Zettara::decisionAt(const QPointF& pos) const {
    using platform::twips::fromPixels;
    return edgezones::classify(
        static_cast<float>(fromPixels(pos.x())), static_cast<float>(fromPixels(pos.y())),
        static_cast<float>(fromPixels(width())), static_cast<float>(fromPixels(height())),
        static_cast<float>(edgeBand_));
}

void Form_Zettara::beginDrag(const QMouseEvent& event) {
    drag_ = Drag::Pending;
    pressGlobal_ = event.globalPosition().toPoint();
    startGeometry_ = geometry();
}

void Form_Zettara::startResize(Qt::Edges edges) {
    QWindow* window = windowHandle();
    if (window && window->startSystemResize(edges)) {
        drag_ = Drag::System;
        return;
    }
    // The window system refused: follow the pointer ourselves until the button is released.
    drag_ = Drag::ManualResize;
    resizeEdges_ = edges;
}

void Form_Zettara::dragTo(const QPoint& globalPos) {
    if (drag_ == Drag::Pending) {
        QWindow* window = windowHandle();
        drag_ = (window && window->startSystemMove()) ? Drag::System : Drag::ManualMove;
    }
    const QPoint delta = globalPos - pressGlobal_;
    if (drag_ == Drag::ManualMove) {
        move(startGeometry_.topLeft() + delta);
    } else if (drag_ == Drag::ManualResize) {
        // Keep at least one pixel whatever the pointer does.
        int left = startGeometry_.left();
        int top = startGeometry_.top();
        int right = left + startGeometry_.width();
        int bottom = top + startGeometry_.height();
        if (resizeEdges_ & Qt::LeftEdge) left = std::min(left + delta.x(), right - 1);
        if (resizeEdges_ & Qt::RightEdge) right = std::max(right + delta.x(), left + 1);
        if (resizeEdges_ & Qt::TopEdge) top = std::min(top + delta.y(), bottom - 1);
        if (resizeEdges_ & Qt::BottomEdge) bottom = std::max(bottom + delta.y(), top + 1);
        setGeometry(left, top, right - left, bottom - top);
    }
}

void Form_Zettara::endDrag(const QMouseEvent& event) {
    // The window system hands the release back when its move or resize ends.
    const bool moved = drag_ != Drag::None && drag_ != Drag::Pending;
    drag_ = Drag::None;
    if (moved && placementEnded) placementEnded(false);
    // The release may come from the label: where it is on the window.
    if (event.button() == Qt::RightButton)
        openNoteMenu(mapFromGlobal(event.globalPosition().toPoint()));
}

void Form_Zettara::describeColours() {
    setAccessibleDescription(
        QCoreApplication::translate("Form_Zettara", "桌面便签，背景：%1，文字：%2")
            .arg(platform::colourName(backColor()), platform::colourName(textColor())));
}

void Form_Zettara::openNoteMenu(const QPoint& at) {
    host_.showNoteMenu(noteId_, *this, at);
}

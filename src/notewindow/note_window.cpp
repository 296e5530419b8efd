#include "notewindow/note_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
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
#include "platform/ui/twips.h"
#include "platform/ui/window_role.h"

namespace {

constexpr double kWidthTwips = 2550;
constexpr double kHeightTwips = 1800;
constexpr double kMarginTwips = 60;
constexpr double kBandPixels = 3;

}  // namespace

// An ordinary window, not Qt::Tool: some window managers hide the tool windows of an inactive
// program, and a note has to stay on the desktop.
Form_Zettara::Form_Zettara(NoteMenuHost& host)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      Label_Zettara(new QLabel(this)),
      host_(host) {
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
}

void Form_Zettara::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    platform::runEvent([&] {
        const double w = platform::twips::fromPixels(width());
        const double h = platform::twips::fromPixels(height());
        // twips::setGeometry clamps, so a tiny window gives an empty label, never a negative one.
        platform::twips::setGeometry(Label_Zettara, kMarginTwips, kMarginTwips,
                                     w - 2 * kMarginTwips, h - 2 * kMarginTwips);
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

void Form_Zettara::closeEvent(QCloseEvent* event) {
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
    QWidget::keyPressEvent(event);
}

void Form_Zettara::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (!(event->modifiers() & Qt::ControlModifier) || delta == 0) {
        QWidget::wheelEvent(event);
        return;
    }
    platform::runEvent([&] { host_.stepNoteText(noteId_, delta > 0 ? 1 : -1); });
}

bool Form_Zettara::eventFilter(QObject* watched, QEvent* event) {
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
        case QEvent::MouseButtonDblClick:
            return true;
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

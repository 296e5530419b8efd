#include "notewindow/note_label.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace {

// How many lines the fade at the bottom edge covers, and how far it goes: the last line still
// shows through, so the text reads as going on rather than cut off.
constexpr double kFadeLines = 1.5;
constexpr int kFadeAlpha = 210;

}  // namespace

NoteLabel::NoteLabel(QWidget* parent) : QLabel(parent) {}

NoteLabel::~NoteLabel() = default;

const NoteLabel::Lines& NoteLabel::lines() {
    const int width = contentsRect().width();
    if (lines_.width == width && lines_.text == text() && lines_.font == font()) return lines_;
    lines_.text = text();
    lines_.font = font();
    lines_.width = width;
    lines_.paragraphs.clear();
    lines_.tops.clear();
    // As a label wraps: at word boundaries only, a word too long runs past the edge.
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WordWrap);
    qreal y = 0;
    for (QString paragraph : text().split(u'\n')) {
        if (paragraph.endsWith(u'\r')) paragraph.chop(1);
        auto layout = std::make_unique<QTextLayout>(paragraph, font());
        layout->setTextOption(option);
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            lines_.tops.push_back(y);
            y += line.height();
        }
        layout->endLayout();
        lines_.paragraphs.push_back(std::move(layout));
    }
    lines_.height = y;
    return lines_;
}

int NoteLabel::lastFirstLine() {
    const Lines& laid = lines();
    const qreal shown = contentsRect().height();
    int line = 0;
    while (line + 1 < static_cast<int>(laid.tops.size()) &&
           laid.height - laid.tops[static_cast<size_t>(line)] > shown)
        ++line;
    return line;
}

void NoteLabel::setFirstLine(int line) {
    line = std::clamp(line, 0, lastFirstLine());
    if (line == firstLine_) return;
    firstLine_ = line;
    update();
}

bool NoteLabel::moreBelow() {
    const Lines& laid = lines();
    if (laid.tops.empty()) return false;
    const qreal top = laid.tops[static_cast<size_t>(
        std::min<int>(firstLine_, static_cast<int>(laid.tops.size()) - 1))];
    return laid.height - top > contentsRect().height();
}

void NoteLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    setFirstLine(firstLine_);
}

void NoteLabel::paintEvent(QPaintEvent* event) {
    // A text that fits is painted as it always was.
    if (lines().height <= contentsRect().height()) {
        firstLine_ = 0;
        QLabel::paintEvent(event);
        return;
    }
    firstLine_ = std::min(firstLine_, lastFirstLine());
    const bool more = moreBelow();
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    painter.setPen(palette().color(foregroundRole()));
    const QPointF origin(area.left(), area.top() - lines_.tops[static_cast<size_t>(firstLine_)]);
    for (const std::unique_ptr<QTextLayout>& paragraph : lines_.paragraphs)
        paragraph->draw(&painter, origin);
    if (!more) return;
    const QColor back = palette().color(backgroundRole());
    const int fade = static_cast<int>(
        std::lround(kFadeLines * lines_.height / static_cast<qreal>(lines_.tops.size())));
    QLinearGradient gradient(0, area.bottom() - fade, 0, area.bottom());
    QColor clear = back;
    clear.setAlpha(0);
    QColor veiled = back;
    veiled.setAlpha(kFadeAlpha);
    gradient.setColorAt(0, clear);
    gradient.setColorAt(1, veiled);
    painter.fillRect(QRect(area.left(), area.bottom() - fade, area.width(), fade + 1), gradient);
}

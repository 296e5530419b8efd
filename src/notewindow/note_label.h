#pragma once

#include <QFont>
#include <QLabel>
#include <QTextLayout>
#include <memory>
#include <vector>

// The note's text. A text longer than the label scrolls by whole lines (the wheel), laid out
// line for line as the note's in-place editor lays it out, and fades out at the bottom edge
// while more follows; a text that fits is painted as any label's.
class NoteLabel : public QLabel {
  public:
    explicit NoteLabel(QWidget* parent);
    ~NoteLabel() override;

    // The first line shown, 0 for the top; held between 0 and the first line from which the
    // rest of the text fits.
    int firstLine() const { return firstLine_; }
    void setFirstLine(int line);
    // Whether lines follow below the last one shown.
    bool moreBelow();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The text laid out at the label's width, one layout a paragraph, and the top of every
    // line; made again when the text, the font or the width has changed.
    struct Lines {
        QString text;
        QFont font;
        int width = -1;
        std::vector<std::unique_ptr<QTextLayout>> paragraphs;
        std::vector<qreal> tops;
        qreal height = 0;
    };
    const Lines& lines();
    int lastFirstLine();

    Lines lines_;
    int firstLine_ = 0;
};

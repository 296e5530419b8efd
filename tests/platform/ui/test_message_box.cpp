#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <functional>

#include "platform/ui/msgbox.h"
#include "test_helpers.h"

namespace {

// Shows a real box through platform::MsgBox, hands it to `look` once it is up, then closes it.
void inspectBox(const QString& text, const QString& title,
                const std::function<void(QMessageBox*)>& look) {
    testsupport::whenModalOpens([look](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        EXPECT_NE(box, nullptr);
        if (box) {
            look(box);
            box->reject();
        } else {
            modal->close();
        }
    });
    platform::MsgBox(text, platform::mb::YesNo | platform::mb::Question, title);
}

// The whole text fits the label, the label and the buttons fit the box, and the box fits the
// screen and its title.
void expectWholeTextShown(QMessageBox* box, const QString& title) {
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    const QRect area = label->contentsRect();
    // Wrapping at any character is the least room a text can need at this width.
    const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, area.width(), 1 << 20),
                                                           Qt::TextWrapAnywhere, label->text());
    EXPECT_LE(needed.width(), area.width()) << label->text().toStdString();
    EXPECT_LE(needed.height(), area.height()) << label->text().toStdString();
    EXPECT_TRUE(box->rect().contains(label->geometry()));
    for (QAbstractButton* button : box->buttons())
        EXPECT_TRUE(box->rect().contains(QRect(button->mapTo(box, QPoint(0, 0)), button->size())));

    const QRect screen = box->screen()->availableGeometry();
    EXPECT_LE(box->frameGeometry().width(), screen.width());
    EXPECT_LE(box->frameGeometry().height(), screen.height());
    EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(title) + 100);
}

TEST(MessageBox, LongTextsWrapWithinTheScreenAndShortOnesKeepTheTitleWidth) {
    QStringList texts = {
        QStringLiteral("退出本程序后Zettara将不再显示，是否确定？"),
        QStringLiteral("错误 13：") +
            QStringLiteral("数据库或磁盘已满，请腾出空间后再试。").repeated(20),
        QStringLiteral("好"),
    };
    // Paths that cannot be broken at a blank, from about the box's width to far beyond it.
    for (int length = 60; length <= 200; length += 10) {
        texts << QStringLiteral("错误 8：attempt to write a readonly database：/home/") +
                     QString(length, QChar('x')) + QStringLiteral("/😀/便签/Zettara.mdb");
    }
    const QString title = QStringLiteral("确定退出");
    for (const QString& text : texts) {
        SCOPED_TRACE(text.left(40).toStdString());
        QString shown;
        inspectBox(text, title, [&](QMessageBox* box) {
            shown = box->text();
            expectWholeTextShown(box, title);
        });
        EXPECT_FALSE(shown.contains(QString(QChar(0x200B)) + QChar(0xDE00)));  // 😀 stays whole
        EXPECT_EQ(shown.remove(QChar(0x200B)), text);  // zero-width break places aside
    }
    // A long title with a short text still has its width.
    const QString longTitle = QStringLiteral("一个很长很长的标题，比正文长得多的标题");
    inspectBox(QStringLiteral("好"), longTitle,
               [&](QMessageBox* box) { expectWholeTextShown(box, longTitle); });
}

TEST(MessageBox, TextTallerThanTheScreenKeepsItsEndsAndButtonsOnScreen) {
    QStringList lines;
    for (int i = 0; i < 400; ++i) lines << QStringLiteral("第 %1 行").arg(i);
    lines << QStringLiteral("是否继续？");
    QString shown;
    inspectBox(lines.join(QLatin1Char('\n')), QStringLiteral("标题"), [&](QMessageBox* box) {
        shown = box->text();
        expectWholeTextShown(box, QStringLiteral("标题"));
    });
    EXPECT_TRUE(shown.startsWith(QStringLiteral("第 0 行\n")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\n是否继续？")));
    EXPECT_TRUE(shown.contains(QStringLiteral("……")));
}

}  // namespace

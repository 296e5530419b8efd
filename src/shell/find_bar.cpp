#include "shell/find_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>

#include "platform/ui/guard.h"

FindBar::FindBar(QWidget* parent) : QWidget(parent), field_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("查找栏"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addWidget(new QLabel(tr("查找："), this));

    field_->setObjectName(QStringLiteral("查找_文字"));
    field_->setPlaceholderText(tr("输入便签中的文字，多个词用空格分开"));
    field_->setAccessibleName(tr("查找便签"));
    field_->setAccessibleDescription(field_->placeholderText());
    layout->addWidget(field_, 1);
    setFocusProxy(field_);
    // The window's keyboard order passes over a widget that takes no focus, proxy or not.
    setFocusPolicy(field_->focusPolicy());

    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("查找_关闭"));
    close->setText(QStringLiteral("×"));
    close->setToolTip(tr("关闭查找（Esc）"));
    close->setAccessibleName(tr("关闭查找"));
    close->setAutoRaise(true);
    close->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(close);
    connect(close, &QToolButton::clicked, this, [this] { dismiss(); });

    // Anywhere in the window while the bar is open, not only in the field: the user may have
    // moved on to the list.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { dismiss(); });

    connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
        // simplified() also takes the ideographic space an input method types.
        const QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (wordsChanged) platform::runEvent([&] { wordsChanged(words); });
    });
}

void FindBar::open() {
    const bool wasHidden = isHidden();
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
    if (wasHidden && toggled) toggled();
}

void FindBar::dismiss() {
    if (isHidden()) return;
    field_->clear();
    hide();
    if (toggled) platform::runEvent([this] { toggled(); });
}

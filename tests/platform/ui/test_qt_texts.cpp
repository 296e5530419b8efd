#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTranslator>
#include <memory>

#include "platform/ui/qt_texts.h"

// The dialogs Qt makes for us (export, import, colours) speak Chinese like the rest.
TEST(QtTexts, StandardButtonsAndTheFileDialogSpeakChinese) {
    const std::unique_ptr<QTranslator> texts(platform::useQtTextsInChinese(*qApp));
    ASSERT_NE(texts, nullptr) << "qt6-translations-l10n is not installed";

    QDialogButtonBox buttons(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("保存"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const auto* open = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    EXPECT_EQ(open->text(), QStringLiteral("打开(&O)"));
}

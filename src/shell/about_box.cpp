#include "shell/about_box.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

#include "platform/core/app.h"
#include "platform/core/colour.h"
#include "platform/ui/centre.h"
#include "platform/ui/guard.h"
#include "platform/ui/twips.h"

namespace {

// Like a shell open: the result is not examined and nothing is reported.
void openInBrowser(const QString& address) {
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

QLabel* plainLabel(QWidget* parent, const char* name, const QString& text, double left, double top,
                   double width, double height) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setTextFormat(Qt::PlainText);
    platform::twips::setGeometry(label, left, top, width, height);
    return label;
}

void setTextColour(QWidget* widget, std::int32_t colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, platform::toQColor(colour));
    widget->setPalette(palette);
}

void setFill(QWidget* widget, std::int32_t colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, platform::toQColor(colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Substitute faces for 宋体 can be wider or taller than the layout was measured for. Grows the
// label into `room` and, when that is not enough, shrinks its font in half points (down to 7 pt)
// so that no text is cut off.
void fitText(QLabel* label, const QSize& room) {
    const auto needed = [label, &room] {
        return label->wordWrap() ? QSize(room.width(), label->heightForWidth(room.width()))
                                 : label->sizeHint();
    };
    const auto fits = [&](const QSize& size) {
        return label->wordWrap() ? size.height() <= room.height() : size.width() <= room.width();
    };
    QFont font = label->font();
    while (!fits(needed()) && font.pointSizeF() > 7) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
    }
    const QSize size = needed();
    label->resize(
        std::clamp(size.width(), label->width(), std::max(room.width(), label->width())),
        std::clamp(size.height(), label->height(), std::max(room.height(), label->height())));
}

constexpr std::int32_t kBlack = 0x000000;
constexpr std::int32_t kBlue = 0xFF0000;  // 0x00BBGGRR
constexpr std::int32_t kGrey = 0x808080;
constexpr std::int32_t kWhite = 0xFFFFFF;

}  // namespace

frmAbout::frmAbout(const QIcon& icon)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      icon_(icon),
      opener_(openInBrowser) {
    setWindowTitle(tr("关于 Zettara "));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    platform::twips::setGeometry(picIcon, 210, 210, 810, 780);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblTitle = plainLabel(this, "lblTitle", tr("应用程序标题"), 1110, 240, 3885, 480);
    setTextColour(lblTitle, kBlack);
    lblVersion = plainLabel(this, "lblVersion", tr("版本"), 1110, 780, 3885, 225);

    const QString description =
        tr("现在就丢掉传统纸质便笺，改用完全免费的Zettara软件！") + QStringLiteral("\r\n") +
        tr("把您的便签“粘”在您的电脑桌面上，随时都能够在电脑屏幕上看到您的重要信息，"
           "既节约您的金钱，又节约您的时间！") +
        QStringLiteral("\r\n") +
        tr("Zettara允许设定多种背景颜色，背景颜色可设置为渐进效果，便笺字体可自行定义。");
    lblDescription = plainLabel(this, "lblDescription", description, 180, 1155, 5415, 1170);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(lblDescription, kBlack);
    // Faces standing in for 宋体 can have taller lines: the text may use the room above the rule.
    fitText(lblDescription,
            QSize(lblDescription->width(), platform::twips::toPixels(2445 - 1155) - 1));

    // Etched rule: a grey line with a white one just below it.
    const double onePixel = platform::twips::perPixel();
    Line1[0] = new QFrame(this);
    Line1[0]->setObjectName(QStringLiteral("Line1"));
    platform::twips::setGeometry(Line1[0], 90, 2445, 5654 - 90, onePixel);
    setFill(Line1[0], kGrey);
    Line1[1] = new QFrame(this);
    Line1[1]->setObjectName(QStringLiteral("Line1"));
    platform::twips::setGeometry(Line1[1], 105, 2460, 5654 - 105, onePixel);
    setFill(Line1[1], kWhite);

    lblDisclaimer = plainLabel(this, "lblDisclaimer", tr("官方网站："), 255, 2715, 900, 180);
    setTextColour(lblDisclaimer, kBlack);

    Label_链接官方网站 =
        plainLabel(this, "Label_链接官方网站", QStringLiteral("https://www.zettara-6471.example/"),
                   1170, 2700, 2880, 180);
    setTextColour(Label_链接官方网站, kBlue);
    QFont linkFont(QStringLiteral("宋体"));
    linkFont.setPointSize(9);
    linkFont.setUnderline(true);
    Label_链接官方网站->setFont(linkFont);
    // The whole address must stay readable, in the room up to the OK button.
    fitText(Label_链接官方网站,
            QSize(platform::twips::toPixels(4125) - 1 - Label_链接官方网站->x(), height()));
    Label_链接官方网站->setCursor(Qt::PointingHandCursor);
    Label_链接官方网站->installEventFilter(this);

    cmdOK = new QPushButton(tr("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    platform::twips::setGeometry(cmdOK, 4125, 2625, 1500, 345);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this,
            [this] { platform::runEvent([this] { cmdOK_Click(); }); });

    setFixedSize(platform::twips::toPixels(5730, 3090));
    Form_Load();
    platform::centreOnScreen(*this);
}

void frmAbout::Form_Load() {
    setWindowTitle(tr("关于 %1").arg(platform::app::title()));
    lblVersion->setText(tr("版本 %1.%2.0.%3")
                            .arg(platform::app::major())
                            .arg(platform::app::minor())
                            .arg(platform::app::revision()));
    lblTitle->setText(platform::app::title());
    picIcon->setPixmap(icon_.pixmap(picIcon->size()));
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::Label_链接官方网站_MouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    // The address is whatever the label shows at the moment of the click.
    opener_(Label_链接官方网站->text());
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label_链接官方网站 && event->type() == QEvent::MouseButtonPress) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        platform::runEvent([this, button] { Label_链接官方网站_MouseDown(button); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

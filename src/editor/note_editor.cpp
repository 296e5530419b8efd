#include "editor/note_editor.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTextDocument>
#include <algorithm>

#include "editor/editor_host.h"
#include "platform/core/clock.h"
#include "platform/core/colour.h"
#include "platform/core/error.h"
#include "platform/ui/centre.h"
#include "platform/ui/color_picker.h"
#include "platform/ui/form_font.h"
#include "platform/ui/guard.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/plain_text.h"
#include "platform/ui/twips.h"
#include "platform/ui/window_role.h"
#include "store/database_module.h"
#include "store/note_numbers.h"
#include "store/note_repository.h"

namespace twips = platform::twips;

namespace {

// Design geometry in twips.
constexpr double kClientWidth = 7845;
constexpr double kClientHeight = 6735;
constexpr double kContentLeft = 30;
constexpr double kContentTop = 450;
constexpr double kGroupLeft = 30;
constexpr double kGroupHeight = 585;
constexpr double kAdvancedTop = 120;
constexpr double kAdvancedWidth = 975;
constexpr double kAdvancedHeight = 255;

// What a new note stores; the text box starts in the button text colour, the picker black.
constexpr std::int32_t kPaleYellow = platform::kNoteBackColour;
constexpr std::int32_t kBlack = platform::kNoteTextColour;
// Translated where they are shown: the translation is chosen after start-up.
const char* const kNoteGone =
    QT_TRANSLATE_NOOP("NoteEditor", "该便签已不存在，是否将内容保存为新便签？");
const char* const kChanged = QT_TRANSLATE_NOOP("NoteEditor", "内容已修改，是否保存？");
const char* const kNoNumberLeft = QT_TRANSLATE_NOOP(
    "NoteEditor",
    "这个便签文件中已没有可用的新便签编号，无法再添加便签。便签内容仍保留在编辑窗口中。");
constexpr int kDatabaseFull = 13;  // SQLite's SQLITE_FULL
constexpr int kPictureSide = 16;

QString translated(const char* text) {
    return QCoreApplication::translate("NoteEditor", text);
}

}  // namespace

Form_添加便签::Form_添加便签(EditorHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QCoreApplication::translate("NoteEditor", "添加Zettara"));
    setFont(platform::formFont());
    platform::readPlainWindowsAsWindows();

    创建控件();
    连接事件();
    Form_Load();

    resize(twips::toPixels(kClientWidth, kClientHeight));
    platform::centreOnScreen(*this);
    布局();
    记下原样();
}

Form_添加便签::~Form_添加便签() = default;

void Form_添加便签::创建控件() {
    FlatEdit_内容 = new QPlainTextEdit(this);
    FlatEdit_内容->setFrameShape(QFrame::Box);
    // Tab moves on to the next control, as in the window's keyboard order.
    FlatEdit_内容->setTabChangesFocus(true);
    // Ctrl+Tab leaves it too, as in every text box that might take Tab as text.
    FlatEdit_内容->installEventFilter(this);
    FlatEdit_内容->setAccessibleName(QCoreApplication::translate("NoteEditor", "便签内容"));
    twips::setGeometry(FlatEdit_内容, kContentLeft, kContentTop, 7785, 5595);
    设置内容背景颜色(kPaleYellow);
    设置内容字体颜色(platform::kButtonTextColour);

    GroupBox_高级选项 = new QGroupBox(QCoreApplication::translate("NoteEditor", "高级选项"), this);
    twips::setGeometry(GroupBox_高级选项, kGroupLeft, 6090, 7725, kGroupHeight);
    GroupBox_高级选项->hide();

    const QSize picture(kPictureSide, kPictureSide);
    PushButton_保存并关闭 =
        new QPushButton(QCoreApplication::translate("NoteEditor", "保存并关闭"), this);
    PushButton_保存并关闭->setAccessibleDescription(
        QCoreApplication::translate("NoteEditor", "保存便签并关闭这个窗口"));
    PushButton_保存并关闭->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    PushButton_保存并关闭->setIconSize(picture);
    twips::setGeometry(PushButton_保存并关闭, 90, 60, 1485, 345);

    CheckBox_桌面显示 =
        new QCheckBox(QCoreApplication::translate("NoteEditor", "标签桌面显示"), GroupBox_高级选项);
    twips::setGeometry(CheckBox_桌面显示, 120, 240, 1635, 255);
    CheckBox_桌面显示->setChecked(true);

    CheckBox_窗口置顶 =
        new QCheckBox(QCoreApplication::translate("NoteEditor", "便签总在最前"), GroupBox_高级选项);
    twips::setGeometry(CheckBox_窗口置顶, 1680, 225, 1365, 285);

    PushButton_保存且继续添加 =
        new QPushButton(QCoreApplication::translate("NoteEditor", "保存继续添加"), this);
    PushButton_保存且继续添加->setAccessibleDescription(
        QCoreApplication::translate("NoteEditor", "保存便签，然后清空内容以添加下一个便签"));
    PushButton_保存且继续添加->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    PushButton_保存且继续添加->setIconSize(picture);
    twips::setGeometry(PushButton_保存且继续添加, 1620, 60, 1485, 345);

    ColorPicker_字体颜色 =
        new platform::ColorPicker(QCoreApplication::translate("NoteEditor", "字体颜色"), this);
    twips::setGeometry(ColorPicker_字体颜色, 3300, 60, 1425, 345);
    ColorPicker_字体颜色->setColor(kBlack);

    ColorPicker_背景颜色 =
        new platform::ColorPicker(QCoreApplication::translate("NoteEditor", "背景颜色"), this);
    twips::setGeometry(ColorPicker_背景颜色, 4770, 60, 1425, 345);
    ColorPicker_背景颜色->setColor(kPaleYellow);

    CheckBox_高级选项 = new QCheckBox(QCoreApplication::translate("NoteEditor", "高级选项"), this);
    twips::setGeometry(CheckBox_高级选项, 6810, kAdvancedTop, kAdvancedWidth, kAdvancedHeight);
    CheckBox_高级选项->hide();

    Label1 =
        new QLabel(QCoreApplication::translate("NoteEditor", "便签透明度："), GroupBox_高级选项);
    Label1->setTextFormat(Qt::PlainText);
    twips::setGeometry(Label1, 3240, 270, 1080, 195);

    ComboBox_便签透明度 = new QComboBox(GroupBox_高级选项);
    ComboBox_便签透明度->setAccessibleName(QCoreApplication::translate("NoteEditor", "便签透明度"));
    twips::setGeometry(ComboBox_便签透明度, 4350, 210, 1755, 315);

    // Every control by its name, in keyboard order.
    const std::pair<QWidget*, const char*> controls[] = {
        {FlatEdit_内容, "FlatEdit_内容"},
        {GroupBox_高级选项, "GroupBox_高级选项"},
        {PushButton_保存并关闭, "PushButton_保存并关闭"},
        {CheckBox_桌面显示, "CheckBox_桌面显示"},
        {CheckBox_窗口置顶, "CheckBox_窗口置顶"},
        {PushButton_保存且继续添加, "PushButton_保存且继续添加"},
        {ColorPicker_字体颜色, "ColorPicker_字体颜色"},
        {ColorPicker_背景颜色, "ColorPicker_背景颜色"},
        {CheckBox_高级选项, "CheckBox_高级选项"},
        {Label1, "Label1"},
        {ComboBox_便签透明度, "ComboBox_便签透明度"}};
    for (const auto& [control, name] : controls) control->setObjectName(QString::fromUtf8(name));
    for (std::size_t i = 1; i < std::size(controls); ++i)
        setTabOrder(controls[i - 1].first, controls[i].first);
    FlatEdit_内容->setFocus();
}

void Form_添加便签::连接事件() {
    connect(PushButton_保存并关闭, &QPushButton::clicked, this,
            [this] { platform::runEvent([this] { PushButton_保存并关闭_Click(); }); });
    connect(PushButton_保存且继续添加, &QPushButton::clicked, this,
            [this] { platform::runEvent([this] { PushButton_保存且继续添加_Click(); }); });
    // Nothing below can fail: no guard.
    connect(CheckBox_高级选项, &QCheckBox::clicked, this, [this] { CheckBox_高级选项_Click(); });
    ColorPicker_背景颜色->colorPicked = [this](std::int32_t colour) { 设置内容背景颜色(colour); };
    ColorPicker_字体颜色->colorPicked = [this](std::int32_t colour) { 设置内容字体颜色(colour); };
}

void Form_添加便签::Form_Load() {
    if (!添加便签_) 添加便签_ = std::make_unique<Class_添加便签>();
    添加便签_->初始化界面(*ComboBox_便签透明度);
}

void Form_添加便签::设置内容背景颜色(std::int32_t colour) {
    内容背景颜色_ = colour;
    QPalette palette = FlatEdit_内容->palette();
    palette.setColor(QPalette::Base, platform::toQColor(colour));
    FlatEdit_内容->setPalette(palette);
}

void Form_添加便签::设置内容字体颜色(std::int32_t colour) {
    内容字体颜色_ = colour;
    QPalette palette = FlatEdit_内容->palette();
    palette.setColor(QPalette::Text, platform::toQColor(colour));
    FlatEdit_内容->setPalette(palette);
}

void Form_添加便签::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    布局();
}

void Form_添加便签::布局() {
    if (isMinimized()) return;
    const double clientWidth = twips::fromPixels(width());
    const double clientHeight = twips::fromPixels(height());

    twips::setGeometry(CheckBox_高级选项, clientWidth - kAdvancedWidth - 45, kAdvancedTop,
                       kAdvancedWidth, kAdvancedHeight);

    // Sizes that would come out negative on a tiny window are held at 0.
    const double contentWidth = std::max(0.0, clientWidth - 75);
    double contentHeight;
    if (!GroupBox_高级选项->isHidden()) {
        contentHeight = std::max(0.0, clientHeight - kContentTop - 90 - kGroupHeight);
        twips::setGeometry(GroupBox_高级选项, kGroupLeft, kContentTop + contentHeight + 90,
                           contentWidth + 15, kGroupHeight);
    } else {
        contentHeight = std::max(0.0, clientHeight - kContentTop - 45);
        twips::resize(GroupBox_高级选项, contentWidth + 15, kGroupHeight);
    }
    twips::setGeometry(FlatEdit_内容, kContentLeft, kContentTop, contentWidth, contentHeight);
}

void Form_添加便签::CheckBox_高级选项_Click() {
    if (CheckBox_高级选项->checkState() == Qt::Checked) {
        GroupBox_高级选项->show();
    } else if (CheckBox_高级选项->checkState() == Qt::Unchecked) {
        GroupBox_高级选项->hide();
    }
    布局();
}

int Form_添加便签::透明度() const {
    return 10 * ComboBox_便签透明度->currentIndex();
}

QString Form_添加便签::内容文字() const {
    return platform::plainText(*FlatEdit_内容->document());
}

QString Form_添加便签::保存文字() const {
    QString text = 内容文字();
    // A modified note keeps its line breaks: unchanged text goes back as it was loaded, and a
    // note written with CRLF gets CRLF for every break.
    if (text == 原文显示为_) return 原文_;
    if (原文_.contains(QLatin1String("\r\n"))) text.replace(u'\n', QLatin1String("\r\n"));
    return text;
}

bool Form_添加便签::内容已填写() {
    // Only the empty text is refused: blanks and line breaks alone make a note.
    if (!内容文字().isEmpty()) return true;
    platform::MsgBox(QCoreApplication::translate("NoteEditor", "未填写任何内容！"),
                     platform::mb::Information);
    return false;
}

void Form_添加便签::加载便签(std::int64_t id, const QString& text,
                             std::optional<std::int32_t> backColour,
                             std::optional<std::int32_t> textColour) {
    便签ID_ = id;
    FlatEdit_内容->setPlainText(text);
    原文_ = text;
    原文显示为_ = 内容文字();
    // Shown on the pickers too, so what a save stores is what the user sees.
    const std::int32_t back = backColour.value_or(kPaleYellow);
    const std::int32_t fore = textColour.value_or(kBlack);
    设置内容背景颜色(back);
    ColorPicker_背景颜色->setColor(back);
    设置内容字体颜色(fore);
    ColorPicker_字体颜色->setColor(fore);
    记下原样();
}

void Form_添加便签::记下原样() {
    原样文字_ = 内容文字();
    原样背景颜色_ = ColorPicker_背景颜色->color();
    原样字体颜色_ = ColorPicker_字体颜色->color();
}

bool Form_添加便签::已修改() const {
    return 内容文字() != 原样文字_ || ColorPicker_背景颜色->color() != 原样背景颜色_ ||
           ColorPicker_字体颜色->color() != 原样字体颜色_;
}

void Form_添加便签::颜色已保存(std::int32_t backColour, std::int32_t textColour) {
    设置内容背景颜色(backColour);
    ColorPicker_背景颜色->setColor(backColour);
    设置内容字体颜色(textColour);
    ColorPicker_字体颜色->setColor(textColour);
    原样背景颜色_ = backColour;
    原样字体颜色_ = textColour;
}

void Form_添加便签::前置() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool Form_添加便签::保存便签(bool closing) {
    if (便签ID_ != 0) return 更新便签(closing);
    if (!内容已填写()) return false;
    try {
        执行添加();
    } catch (const platform::Error& error) {
        // The engine calls a file without a free note number full; the text stays here.
        if ((error.number() & 0xff) != kDatabaseFull || !NoteNumbers::exhausted(host_.数据库对象()))
            throw;
        platform::MsgBox(translated(kNoNumberLeft), platform::mb::Critical);
        return false;
    }
    记下原样();
    host_.便签已保存(0, closing);
    return true;
}

bool Form_添加便签::更新便签(bool closing) {
    if (!内容已填写()) return false;
    if (!执行更新()) {
        // The note was deleted while this editor was open: its text would be lost unseen.
        if (platform::MsgBox(translated(kNoteGone), platform::mb::YesNo | platform::mb::Question) !=
            platform::mb::Yes)
            return false;
        便签ID_ = 0;  // from here on the editor adds, as for a new note
        return 保存便签(closing);
    }
    记下原样();
    host_.便签已保存(便签ID_, closing);
    return true;
}

void Form_添加便签::执行添加() {
    NoteRepository(host_.数据库对象())
        .add(保存文字(), platform::clock::now(), ColorPicker_背景颜色->color(),
             ColorPicker_字体颜色->color(), 透明度());
}

bool Form_添加便签::执行更新() {
    return NoteRepository(host_.数据库对象())
        .update(便签ID_, 保存文字(), platform::clock::now(), ColorPicker_背景颜色->color(),
                ColorPicker_字体颜色->color(), 透明度());
}

void Form_添加便签::保存不询问() {
    不再询问_ = true;
    // An empty text makes no note, and at this point nobody can be told so.
    if (!已修改() || 内容文字().isEmpty()) return;
    if (便签ID_ != 0 && 执行更新()) return;
    便签ID_ = 0;
    执行添加();
}

void Form_添加便签::closeEvent(QCloseEvent* event) {
    if (!可以关闭()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool Form_添加便签::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FlatEdit_内容 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            (key->modifiers() & Qt::ControlModifier)) {
            const bool back =
                key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            focusNextPrevChild(!back);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool Form_添加便签::可以关闭() {
    if (不再询问_ || !已修改()) return true;
    // A second close request while the question (or the save after it) is still open.
    if (正在询问_) return false;
    const QScopedValueRollback asking(正在询问_, true);
    前置();  // the question is about this window: the user sees which one
    const int answer =
        platform::MsgBox(translated(kChanged), platform::mb::YesNoCancel | platform::mb::Question);
    if (answer == platform::mb::No) return true;
    if (answer != platform::mb::Yes) return false;
    // As 保存并关闭: an empty text or a failed save keeps the editor open with its text.
    bool saved = false;
    platform::runEvent([&] { saved = 保存便签(true); });
    return saved;
}

void Form_添加便签::PushButton_保存并关闭_Click() {
    if (保存便签(true)) close();
}

void Form_添加便签::PushButton_保存且继续添加_Click() {
    if (!保存便签()) return;
    FlatEdit_内容->clear();
    记下原样();  // the cleared editor has nothing left to lose
}

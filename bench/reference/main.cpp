// The yardstick for start-up: a bare Qt main window with a checkable report list of N rows
// and W small frameless windows, nothing else. Usage: bench_reference [rows] [windows] [grid]
// "grid" puts the windows where the bench's note files place their notes (make_notes.py), all
// on screen, instead of a diagonal that leaves the screen after about 130 windows.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTreeWidget>
#include <vector>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int windows = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;
    const bool grid = argc > 3 && QString::fromLocal8Bit(argv[3]) == QLatin1String("grid");

    QMainWindow main;
    main.setWindowTitle(QStringLiteral("reference"));
    auto* list = new QTreeWidget(&main);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels({QStringLiteral("显示"), QStringLiteral("编号"), QStringLiteral("内容"),
                           QStringLiteral("创建时间"), QStringLiteral("修改时间")});
    QList<QTreeWidgetItem*> items;
    items.reserve(rows);
    for (int i = 1; i <= rows; ++i) {
        auto* item = new QTreeWidgetItem;
        item->setCheckState(0, i <= windows ? Qt::Checked : Qt::Unchecked);
        item->setText(1, QString::number(i));
        item->setText(2, QStringLiteral("note %1 some forty characters of text....").arg(i));
        item->setText(3, QStringLiteral("2026/1/1 9:00:00"));
        item->setText(4, QStringLiteral("2026/1/1 9:00:00"));
        items << item;
    }
    list->addTopLevelItems(items);
    main.setCentralWidget(list);
    main.resize(632, 500);

    std::vector<std::unique_ptr<QLabel>> notes;
    for (int i = 0; i < windows; ++i) {
        auto note = std::make_unique<QLabel>(items[i]->text(2));
        note->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::Tool);
        note->setWindowTitle(QStringLiteral("note"));
        if (grid)
            note->setGeometry(20 + i % 9 * 175, 20 + i / 9 % 7 * 135, 170, 120);
        else
            note->setGeometry(40 + 12 * i, 40 + 8 * i, 200, 150);
        note->setStyleSheet(QStringLiteral("background:#ffffc0"));
        note->show();
        notes.push_back(std::move(note));
    }
    main.show();
    return QApplication::exec();
}

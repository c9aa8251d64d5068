// The floor Korvane is measured against: the same toolkit, one empty window of the same size.
// With --text it also shows one caption in Chinese, which is the least any window with
// Korvane's text must pay for its fonts.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Korvane floor"));
    window.setFixedSize(289, 200);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        (new QLabel(QStringLiteral("关闭计算机(&C)"), &window))->move(24, 24);
    window.show();
    return QApplication::exec();
}

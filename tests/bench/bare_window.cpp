// The least a Qt Widgets program does before its window is on the screen:
// the start-up benchmark's yardstick for the answer sheet.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.setFixedSize(990, 689);
    window.show();
    return QApplication::exec();
}

// A Qt Widgets window of the sheet's size with one Japanese label in the
// substitute face: what any Japanese Qt window costs, the start-up
// benchmark's second yardstick (the font is most of the program's start-up).
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString face = QString::fromUtf8("ＭＳ Ｐゴシック");
    QFont::insertSubstitution(face, QStringLiteral("IPAPGothic"));
    QFont font(face);
    font.setPixelSize(12);
    QApplication::setFont(font);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8("校内アンケート"));
    window.setFixedSize(990, 689);
    auto* label = new QLabel(QString::fromUtf8("このアンケートの説明"), &window);
    label->move(16, 32);
    window.show();
    return QApplication::exec();
}

#include "sheet_fixture.h"

#include "answers/answer_file.h"
#include "app/platform/computer_name.h"
#include "app/text/cp932.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextDocumentFragment>

#include <fstream>
#include <iterator>

namespace mirunea::test {

std::string sjis(std::string_view utf8)
{
    return cp932::fromUtf8(utf8);
}

QString shownText(const QLabel* label)
{
    return QTextDocumentFragment::fromHtml(label->text()).toPlainText();
}

QRadioButton* radioItem(QWidget* group, int item)
{
    const auto items = group ? group->findChildren<QRadioButton*>() : QList<QRadioButton*>();
    return item >= 1 && item <= items.size() ? items.at(item - 1) : nullptr;
}

QPoint checkBoxCentre(QListWidget* list, int row)
{
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualItemRect(list->item(row));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = list->item(row)->text();
    return list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list).center();
}

SheetFolder::SheetFolder()
    : m_previous(QDir::currentPath())
{
    m_entered = m_dir.isValid() && QDir::setCurrent(m_dir.path());
}

SheetFolder::~SheetFolder()
{
    QDir::setCurrent(m_previous);
}

bool SheetFolder::writeQuestionnaire(const std::vector<std::string>& utf8Lines) const
{
    std::ofstream out(QDir(m_dir.path()).filePath("data.txt").toStdString(), std::ios::binary);
    for (const std::string& line : utf8Lines)
        out << sjis(line) << "\r\n";
    return static_cast<bool>(out.flush());
}

std::string SheetFolder::answerFileName()
{
    return mirunea::answerFileName(localComputerName());
}

bool SheetFolder::hasAnswerFile() const
{
    return QFileInfo(QDir(m_dir.path()).filePath(QString::fromStdString(answerFileName()))).isFile();
}

QByteArray SheetFolder::answerFileBytes() const
{
    const std::string path = QDir(m_dir.path()).filePath(QString::fromStdString(answerFileName())).toStdString();
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return QByteArray::fromStdString(bytes);
}

QByteArray expectedAnswerFile(const std::vector<std::string>& utf8LinesAfterName)
{
    // Line 1 carries the computer name as the file name does.
    std::string computerName = SheetFolder::answerFileName();
    computerName.resize(computerName.size() - std::string_view(".ans").size());
    QByteArray bytes = QByteArray::fromStdString(computerName) + "\r\n";
    for (const std::string& line : utf8LinesAfterName)
        bytes += QByteArray::fromStdString(sjis(line)) + "\r\n";
    return bytes;
}

ModalBoxWatcher::ModalBoxWatcher(CloseBy closeBy)
    : m_closeBy(closeBy)
{
    // Polls, since the box is shown from inside the code under test and blocks it.
    m_poll.setInterval(5);
    QObject::connect(&m_poll, &QTimer::timeout, [this] { closeActiveBox(); });
    m_poll.start();
}

void ModalBoxWatcher::closeActiveBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;

    SeenBox seen;
    seen.caption = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (const QAbstractButton* button : box->buttons()) {
        seen.buttonTexts << button->text();
        seen.buttonHasIcon = seen.buttonHasIcon || !button->icon().isNull();
    }
    seen.frame = box->frameGeometry();
    for (const QWidget* topLevel : QApplication::topLevelWidgets()) {
        if (topLevel->objectName() == QLatin1String("Form1"))
            seen.sheetWindowVisible = topLevel->isVisible();
    }
    m_seen.push_back(seen);

    switch (m_closeBy) {
    case CloseBy::Return:
        QTest::keyClick(box, Qt::Key_Return);
        break;
    case CloseBy::Escape:
        QTest::keyClick(box, Qt::Key_Escape);
        break;
    case CloseBy::OkButton:
        if (!box->buttons().isEmpty())
            QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
        break;
    case CloseBy::CloseBox:
        box->close();
        break;
    }
    // A box that ignored its closing would block the test: take it down and
    // leave a trace the test sees.
    if (box->isVisible()) {
        m_seen.back().text += QStringLiteral(" [did not close]");
        box->done(0);
    }
}

OpenSheet::OpenSheet()
{
    m_app.setTitle(sjis("ミルネア"));
    m_form = std::make_unique<TForm1>(m_app);
}

OpenSheet::~OpenSheet() = default;

qt::FormWidget* OpenSheet::window()
{
    return static_cast<qt::QtWindow&>(m_form->window()).widget();
}

bool OpenSheet::showActive()
{
    window()->show();
    return QTest::qWaitForWindowActive(window());
}

} // namespace mirunea::test

#include "sheet_fixture.h"

#include "records.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextDocumentFragment>

namespace mirunea::test {

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

    SeenQtBox seen;
    seen.caption = box->windowTitle().toStdString();
    seen.text = box->text().toStdString();
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
        m_seen.back().text += " [did not close]";
        box->done(0);
    }
}

OpenSheet::OpenSheet(const std::optional<std::vector<std::string>>& questionnaire, CloseBy closeBy)
    : m_boxes(closeBy)
{
    if (questionnaire)
        m_folder.writeQuestionnaire(*questionnaire);
    m_app.setTitle(sjis("ミルネア"));
    m_form = std::make_unique<TForm1>(m_app);
    m_boxesBeforeShow = m_boxes.seen().size();
    window()->show();
    m_shown = QTest::qWaitForWindowActive(window());
}

OpenSheet::~OpenSheet() = default;

qt::FormWidget* OpenSheet::window()
{
    return static_cast<qt::QtWindow&>(m_form->window()).widget();
}

} // namespace mirunea::test

#include "app/toolkit/qt/qt_controls.h"

#include "app/toolkit/failure_report.h"
#include "app/toolkit/qt/answer_widgets.h"
#include "app/toolkit/qt/panel_widget.h"
#include "app/toolkit/qt/push_button.h"
#include "app/toolkit/qt/qt_text.h"
#include "app/toolkit/qt/radio_group_widget.h"

#include <QLabel>

namespace mirunea::qt {

template<class Interface>
void WidgetControl<Interface>::setAccessibleName(const std::string& text)
{
    m_widget->setAccessibleName(withoutAccessKeyMarks(toShownQString(text)));
}

template class WidgetControl<toolkit::Label>;
template class WidgetControl<toolkit::GroupBox>;
template class WidgetControl<toolkit::RadioGroup>;
template class WidgetControl<toolkit::CheckListBox>;
template class WidgetControl<toolkit::Edit>;
template class WidgetControl<toolkit::Button>;

void QtLabel::setCaption(const std::string& text)
{
    auto* label = static_cast<QLabel*>(widget());
    const QString shown = toShownQString(text);
    // Rich text only where an access key is to be underlined: a rich-text
    // label costs a text document, which is most of a label's start-up.
    if (shown.contains(u'&')) {
        label->setTextFormat(Qt::RichText);
        label->setText(accessKeyRichText(shown));
    } else {
        label->setTextFormat(Qt::PlainText);
        label->setText(shown);
    }
    label->adjustSize();
}

QtGroupBox::QtGroupBox(PanelWidget* panel)
    : WidgetControl(panel)
    , m_panel(panel)
{
}

void QtGroupBox::setCaption(const std::string& text)
{
    m_panel->setTitle(toShownQString(text));
}

QtRadioGroup::QtRadioGroup(RadioGroupWidget* group)
    : WidgetControl(group)
    , m_group(group)
{
}

void QtRadioGroup::appendItem(const std::string& text)
{
    m_group->appendItem(toShownQString(text));
}

int QtRadioGroup::itemCount() const
{
    return m_group->itemCount();
}

std::optional<int> QtRadioGroup::selectedItem() const
{
    return m_group->selectedItem();
}

QtCheckListBox::QtCheckListBox(CheckListWidget* list)
    : WidgetControl(list)
    , m_list(list)
{
}

void QtCheckListBox::appendItem(const std::string& text)
{
    m_list->appendItem(toShownQString(text));
}

int QtCheckListBox::itemCount() const
{
    return m_list->count();
}

bool QtCheckListBox::isItemTicked(int item) const
{
    const QListWidgetItem* entry = m_list->item(item - 1);
    return entry && entry->checkState() == Qt::Checked;
}

QtEdit::QtEdit(SingleLineEdit* edit)
    : WidgetControl(edit)
    , m_edit(edit)
{
}

void QtEdit::setText(const std::string& text)
{
    m_edit->setText(toQString(text));
}

std::string QtEdit::text() const
{
    return toSjis(withoutLineBreaks(m_edit->text()));
}

QtButton::QtButton(PushButton* button, toolkit::Application& app)
    : WidgetControl(button)
    , m_button(button)
    , m_app(app)
{
    QObject::connect(button, &QPushButton::clicked, button, [this] {
        if (m_handler)
            deliverEvent(m_app, m_handler);
    });
}

void QtButton::setCaption(const std::string& text)
{
    m_button->setText(toShownQString(text));
}

void QtButton::setClickHandler(std::function<void()> handler)
{
    m_handler = std::move(handler);
}

} // namespace mirunea::qt

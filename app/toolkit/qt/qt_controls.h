#pragma once

#include "app/toolkit/toolkit.h"

#include <QPointer>
#include <QWidget>

// The toolkit's controls over Qt widgets.
namespace mirunea::qt {

class CheckListWidget;
class PanelWidget;
class PushButton;
class RadioGroupWidget;
class SingleLineEdit;

// show, hide and the accessible name, common to every kind.
template<class Interface>
class WidgetControl : public Interface
{
public:
    explicit WidgetControl(QWidget* widget)
        : m_widget(widget)
    {
    }
    void show() override { m_widget->show(); }
    void hide() override { m_widget->hide(); }
    void setAccessibleName(const std::string& text) override;
    [[nodiscard]] QWidget* widget() const { return m_widget; }

private:
    QPointer<QWidget> m_widget;
};

class QtLabel : public WidgetControl<toolkit::Label>
{
public:
    using WidgetControl::WidgetControl;
    void setCaption(const std::string& text) override;
};

class QtGroupBox : public WidgetControl<toolkit::GroupBox>
{
public:
    explicit QtGroupBox(PanelWidget* panel);
    void setCaption(const std::string& text) override;

private:
    PanelWidget* m_panel;
};

class QtRadioGroup : public WidgetControl<toolkit::RadioGroup>
{
public:
    explicit QtRadioGroup(RadioGroupWidget* group);
    void appendItem(const std::string& text) override;
    [[nodiscard]] int itemCount() const override;
    [[nodiscard]] std::optional<int> selectedItem() const override;

private:
    RadioGroupWidget* m_group;
};

class QtCheckListBox : public WidgetControl<toolkit::CheckListBox>
{
public:
    explicit QtCheckListBox(CheckListWidget* list);
    void appendItem(const std::string& text) override;
    [[nodiscard]] int itemCount() const override;
    [[nodiscard]] bool isItemTicked(int item) const override;

private:
    CheckListWidget* m_list;
};

class QtEdit : public WidgetControl<toolkit::Edit>
{
public:
    explicit QtEdit(SingleLineEdit* edit);
    void setText(const std::string& text) override;
    [[nodiscard]] std::string text() const override;

private:
    SingleLineEdit* m_edit;
};

class QtButton : public WidgetControl<toolkit::Button>
{
public:
    QtButton(PushButton* button, toolkit::Application& app);
    void setCaption(const std::string& text) override;
    void setClickHandler(std::function<void()> handler) override;

private:
    PushButton* m_button;
    toolkit::Application& m_app;
    std::function<void()> m_handler;
};

} // namespace mirunea::qt

#pragma once

#include <QRadioButton>
#include <QWidget>

#include <optional>
#include <vector>

namespace mirunea::qt {

class RadioGroupWidget;

// One item of a radio group: arrows move the selection through the group,
// and its access key selects it at once.
class RadioItem : public QRadioButton
{
    Q_OBJECT
public:
    RadioItem(const QString& text, RadioGroupWidget* group);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    RadioGroupWidget* m_group;
};

// A framed column of radio buttons without caption. While nothing is selected
// Tab and the first focus pass it by; once an item is selected that item is
// its only tab stop.
class RadioGroupWidget : public QWidget
{
    Q_OBJECT
public:
    explicit RadioGroupWidget(QWidget* parent);

    void appendItem(const QString& text);
    [[nodiscard]] int itemCount() const { return static_cast<int>(m_items.size()); }
    [[nodiscard]] std::optional<int> selectedItem() const; // from 1
    [[nodiscard]] QRadioButton* item(int index) const { return m_items.at(static_cast<std::size_t>(index)); }

    // The panel's access key: to the selected item, or to the group as a
    // whole when nothing is selected, selecting nothing.
    void takeFocusFromPanel();

    void moveSelection(RadioItem* from, int step);
    void updateTabStops();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrangeItems();
    [[nodiscard]] QWidget* lastInFocusChain();

    std::vector<RadioItem*> m_items;
};

} // namespace mirunea::qt

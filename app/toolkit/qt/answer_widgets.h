#pragma once

#include <QLineEdit>
#include <QListWidget>

namespace mirunea::qt {

// A list box with a two-state check box on every item, each item one text
// line of the box's font high. Texts are shown as given, "&" included; a
// row cut at the box's edge shows whole as a tooltip.
class CheckListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit CheckListWidget(QWidget* parent);
    void appendItem(const QString& text);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    [[nodiscard]] bool isCut(const QListWidgetItem* item) const;
};

// A single-line edit that never holds a line break, even after a paste; a
// word being composed through an input method survives that paste.
class SingleLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit SingleLineEdit(QWidget* parent);
    // Hides QLineEdit's: a text set from code ends any composition.
    void setText(const QString& text);

protected:
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void removeLineBreaks();
    QString m_preedit;
    bool m_removing = false;
};

} // namespace mirunea::qt

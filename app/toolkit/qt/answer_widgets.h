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

// A single-line edit that holds what was typed, pasted or committed as the
// text rules say: one line, each character as it will be written. A word
// being composed through an input method survives a paste with a line break;
// other characters committed while a word is composed are replaced once the
// composition ends.
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
    // Once the focus left, a first half of a pair waits no longer.
    void applyTextRules(bool focusLeft = false);
    QString m_preedit;
    bool m_applying = false;
    bool m_inInputMethodEvent = false;
};

} // namespace mirunea::qt

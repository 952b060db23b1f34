#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace mirunea::qt {

// A list box with a two-state check box on every item, each item one text
// line of the box's font high. Texts are shown as given, "&" included.
class CheckListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit CheckListWidget(QWidget* parent);
    void appendItem(const QString& text);
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

// A push button that is no default button: Enter presses it only while it has
// the focus and no Shift, Ctrl or Alt is held.
class PushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PushButton(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A question panel: a flat framed box with its caption in the top edge. Its
// access key moves the focus to the answer control inside it.
class PanelWidget : public QGroupBox
{
    Q_OBJECT
public:
    PanelWidget(QWidget* parent, const QColor& background);
    void focusAnswerControl();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_background;
};

} // namespace mirunea::qt

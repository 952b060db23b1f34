#pragma once

#include <QColor>
#include <QGroupBox>

class QHelpEvent;

namespace mirunea::qt {

// A question panel: a flat framed box with its caption in the top edge,
// filled with the colour given. Its access key goes to the window, which
// decides where the focus moves. A caption cut at its edge shows whole as
// a tooltip.
class PanelWidget : public QGroupBox
{
    Q_OBJECT
public:
    PanelWidget(QWidget* parent, const QColor& background);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showCaptionTip(QHelpEvent* event);

    QColor m_background;
};

} // namespace mirunea::qt

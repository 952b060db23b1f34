#pragma once

#include <QPushButton>

namespace mirunea::qt {

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

} // namespace mirunea::qt

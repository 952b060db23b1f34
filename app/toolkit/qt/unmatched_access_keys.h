#pragma once

#include <QObject>

namespace mirunea::qt {

// Alt with a character that is no control's access key (a label's, say) does
// nothing, as on Windows; Qt would otherwise type the character into the
// focused edit.
class UnmatchedAccessKeyFilter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace mirunea::qt

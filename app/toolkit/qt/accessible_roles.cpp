#include "app/toolkit/qt/accessible_roles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace mirunea::qt {

namespace {

QAccessibleInterface* accessibleWithRole(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("mirunea::qt::FormWidget"))
        return new QAccessibleWidget(widget, QAccessible::Window, widget->windowTitle());
    if (className == QLatin1String("mirunea::qt::RadioGroupWidget"))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    return nullptr;
}

} // namespace

void installAccessibleRoles()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleWithRole);
        return true;
    }();
    (void)installed;
}

} // namespace mirunea::qt

#include "sheet_window_driver.h"

#include "app/toolkit/window_rules.h"
#include "sheet/form1_layout.h"

#include <stdexcept>

namespace mirunea::test {

void SheetWindowDriver::openSheet()
{
    m_form = std::make_unique<TForm1>(application());
}

void SheetWindowDriver::openDesigned()
{
    m_designed = application().createWindow(form1WindowSpec());
    toolkit::rules::populate(*m_designed, form1Controls());
}

toolkit::Window& SheetWindowDriver::window()
{
    if (m_form)
        return m_form->window();
    if (m_designed)
        return *m_designed;
    throw std::logic_error("no window opened");
}

void SheetWindowDriver::closeWindow()
{
    m_form.reset();
    m_designed.reset();
}

} // namespace mirunea::test

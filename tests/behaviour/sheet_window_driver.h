#pragma once

#include "sheet/tform1.h"
#include "window_driver.h"

#include <memory>
#include <vector>

// What every backend's driver does alike: the window it opens on the
// backend's application (the program's own Form1, or the window as designed)
// and the message boxes it saw.
namespace mirunea::test {

class SheetWindowDriver : public WindowDriver
{
public:
    void openSheet() override;
    void openDesigned() override;
    [[nodiscard]] toolkit::Window& window() override;
    [[nodiscard]] TForm1* form() override { return m_form.get(); }
    [[nodiscard]] const std::vector<SeenBox>& seenBoxes() const override { return m_seen; }

protected:
    [[nodiscard]] virtual toolkit::Application& application() = 0;
    // The driver closes the window while its application and hooks still stand.
    void closeWindow();
    [[nodiscard]] bool hasWindow() const { return m_form || m_designed; }

    std::vector<SeenBox> m_seen;

private:
    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<toolkit::Window> m_designed;
};

} // namespace mirunea::test

#include "app/platform/process.h"
#include "app/text/cp932.h"
#include "app/toolkit/create_application.h"
#include "sheet/tform1.h"

// Start-up: the process's own settings, the application, its title, the answer sheet window (whose
// creation sets up the sheet), then the event loop until the window closes.
int main()
{
    mirunea::prepareProcess();
    const auto app = mirunea::createApplication();
    app->setTitle(mirunea::cp932::fromUtf8("ミルネア"));
    mirunea::TForm1 form1(*app);
    app->run(form1.window());
    return 0;
}

#include "AboutBox.h"
#include "hostlink/KdbDemonClient.h"
#include "mainfrm.h"
#include "platform/Application.h"

#include <memory>

int main(int argc, char *argv[])
{
    platform::Application application(argc, argv);

    std::unique_ptr<TForm1> form;
    try {
        form = std::make_unique<TForm1>();
    } catch (const std::exception &error) {
        // Without its main window the program has nothing to show.
        platform::Application::showException(error);
        return 1;
    }
    // A second start has handed its command line to the first and ends here.
    if (form->clidemon && form->clidemon->terminationRequested())
        return 0;

    TFrmAbout about;
    form->FrmAbout = &about;
    form->show();
    const int result = application.exec();
    // The main window goes first, as it refers to the About box.
    form.reset();
    return result;
}

#include "mainfrm.h"
#include "platform/Application.h"

int main(int argc, char *argv[])
{
    platform::Application application(argc, argv);
    TForm1 form;
    form.show();
    return application.exec();
}

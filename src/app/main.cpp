#include "app/ZoApplication.h"
#include "app/ZoFtpForm.h"

#include <exception>

int main(int argc, char* argv[])
{
    zo::ZoApplication application(argc, argv);
    // the program always ends with 0: what goes wrong is shown, not returned
    try {
        zo::TZoFtpForm form(zo::ZoApplication::arguments().mid(1));
        form.show();
        zo::ZoApplication::exec();
    } catch (const std::exception& error) {
        zo::ZoApplication::showException(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        zo::ZoApplication::showException(QString());
    }
    return 0;
}

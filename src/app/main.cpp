#include "app/ctarvoapp.h"

int main(int argc, char** argv) {
    tarvo::CTarvoApp app(argc, argv);
    int status = 0;
    if (app.InitInstance())
        status = app.exec();
    app.ExitInstance();
    return status;
}

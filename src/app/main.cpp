#include "app/ctarvoapp.h"

#include <cstdio>
#include <cstring>

namespace {

// Whether the command line asks for the version only. It is answered before
// the application object exists, so it needs neither a display nor a data
// folder (packaging scripts and CI ask it on headless machines).
bool AsksForVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data-dir") == 0)
            ++i; // the folder's name, whatever it is
        else if (std::strcmp(argv[i], "--version") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (AsksForVersion(argc, argv)) {
        std::fputs("tarvo " TARVO_VERSION "\n", stdout);
        return 0;
    }
    // Wayland desktops match the window to the menu entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.kolmara.Tarvo"));
    tarvo::CTarvoApp app(argc, argv);
    int status = 0;
    if (app.InitInstance())
        status = app.exec();
    app.ExitInstance();
    return status;
}

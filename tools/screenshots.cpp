// Starts the program on a small sample data folder and saves pictures of the
// main window, of the cover dialog and of the windows of the main window's
// commands: tarvo-screenshots OUTPUT_FOLDER.
#include "app/cmainframe.h"
#include "app/ctarvoapp.h"
#include "app/singleinstance.h"
#include "commandshots.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "ui/dialogs/cdlgcover.h"
#include "ui/framework/crecordlist.h"
#include "ui/framework/guicontext.h"
#include "ui/views/cviewcover.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace tarvo;

namespace {

void FillSample(CDataStore& store) {
    struct Cover {
        const char* name;
        int weight; // grams
        int mat, type, org, pay, stat, reusable;
    };
    const Cover covers[] = {
        {"Kartonová krabice 40x30x20", 420, 27, 0, 2, 1, 0, 0},
        {"Paleta EUR", 25000, 0, 0, 1, 0, 1, 1},
        {"Strečová fólie", 35, 8, 1, 0, 1, 0, 0},
        {"Lepicí páska", 8, 14, 1, 1, 1, 0, 0},
        {"Skleněná lahev 0,7 l", 450, 26, 2, 0, 1, 0, 0},
        {"Nápojový karton 1 l", 28, 6, 2, 2, 2, 3, 0},
        {"Plechovka 0,33 l", 15, 2, 2, 0, 1, 0, 0},
        {"Textilní pytel", 120, 29, 1, 1, 0, 0, 1},
        {"Dřevěná bedna", 3200, 0, 0, 2, 0, 0, 1},
        {"Proložka z lepenky", 60, 7, 1, 2, 1, 0, 0},
    };
    for (const Cover& c : covers)
        store.Execute(Format("INSERT INTO Cover (cover_name, cover_weight, cover_mat, cover_type, "
                             "cover_org, cover_pay, cover_stat, cover_reusable, cover_note, "
                             "deleted) VALUES (%s, %i, %i, %i, %i, %i, %i, %i, '', 0)",
                             SqlQuote(c.name).c_str(), c.weight * 10, c.mat, c.type, c.org, c.pay,
                             c.stat, c.reusable));
    for (int i = 0; i < 4; ++i)
        store.Execute(Format("INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, disc_qty) "
                             "VALUES (1, %i, %i, %i)",
                             45300 + 30 * i, i % 3, (i + 1) * 250000));
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir temp;
    const QString dataDir = temp.path() + "/data";
    qputenv("TARVO_DATA_DIR", dataDir.toUtf8());
    CTarvoApp app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    app.SetInstanceName(SingleInstance::DefaultName() + "-screenshots");
    if (!app.InitInstance())
        return 1;
    CMainFrame* frame = app.MainFrame();
    FillSample(app.Context()->store);
    frame->NotifyAllViews(nullptr, ViewNotification::Refresh);
    frame->resize(1100, 560);
    auto* view = qobject_cast<CViewCover*>(frame->ActiveView());
    view->MainList()->FitColumns();
    view->MainList()->SelectRow(1); // the carton box, which has discards
    view->DiscardList()->FitColumns();

    bool ok = true;
    QTimer::singleShot(500, [&] {
        ok = frame->grab().save(output + "/main-window.png") && ok;
        CDlgCover dialog(*app.Context(), frame);
        dialog.cover.name = "Kartonová krabice 40x30x20";
        dialog.cover.weight = Quantity::FromScaled(4200);
        dialog.cover.material = 27;
        dialog.cover.type = 0;
        dialog.cover.origin = 2;
        dialog.cover.payment = 1;
        dialog.cover.stat = 0;
        dialog.LoadControls();
        dialog.show();
        QTimer::singleShot(300, [&] {
            ok = dialog.grab().save(output + "/cdlgcover.png") && ok;
            dialog.close();
            ok = SaveCommandScreenshots(*app.Context(), frame, output) && ok;
            frame->close();
        });
        dialog.exec();
    });
    app.exec();
    app.ExitInstance();
    std::printf("%s\n", ok ? "saved" : "failed");
    return ok ? 0 : 1;
}

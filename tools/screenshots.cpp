// Starts the program on a small sample data folder and saves pictures of the
// main window, of the cover dialog, of the dispatches view with its two
// toggle states and of the windows of the main window's commands:
// tarvo-screenshots OUTPUT_FOLDER.
#include "app/cmainframe.h"
#include "app/ctarvoapp.h"
#include "app/singleinstance.h"
#include "commandshots.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/registers/moveregister.h"
#include "ui/dialogs/cdlgcover.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/clistmodel.h"
#include "ui/framework/commandids.h"
#include "ui/framework/crecordlist.h"
#include "ui/framework/csplitbar.h"
#include "ui/framework/guicontext.h"
#include "ui/views/cviewcover.h"
#include "ui/views/cviewmove.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <vector>

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

// Three products packed in the sample covers, and dispatches of them whose
// cover lines are derived as the program derives them.
void FillDispatches(CDataStore& store) {
    struct Packing {
        int cover;
        const char* perCovers; // pieces of the product per cover
    };
    struct Product {
        const char* name;
        const char* catalogue;
        std::vector<Packing> packing;
    };
    const Product products[] = {
        {"Jogurt bílý 150 g", "J-150", {{1, "24"}, {3, "240"}, {2, "960"}}},
        {"Mléko plnotučné 1 l", "M-1000", {{6, "1"}, {1, "12"}, {2, "600"}}},
        {"Máslo 250 g", "M-250", {{1, "40"}, {4, "40"}}},
    };
    for (const Product& p : products) {
        store.Execute(Format("INSERT INTO Product (prod_name, prod_katalog, prod_unit) VALUES "
                             "(%s, %s, 'ks')",
                             SqlQuote(p.name).c_str(), SqlQuote(p.catalogue).c_str()));
        const int64_t product = store.LastInsertId();
        store.Execute(Format("INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (%lld, 43831)",
                             static_cast<long long>(product)));
        const int64_t definition = store.LastInsertId();
        for (const Packing& k : p.packing)
            store.Execute(Format("INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, "
                                 "cp_qtyprod, cp_usealways, cover_type, cover_org, cover_pay) "
                                 "SELECT %lld, cover_id, 10000, %s0000, 1, cover_type, cover_org, "
                                 "cover_pay FROM Cover WHERE cover_id = %i",
                                 static_cast<long long>(definition), k.perCovers, k.cover));
    }
    MoveRegister dispatches(store);
    for (int i = 0; i < 9; ++i) {
        const MoveRecord move{Format("FV-2024/%04i", 17 + i), i % 4,
                              OleDate::FromParts(2024, 3 + i / 3, 4 + 3 * i, 9 + i, 15),
                              i % 3 == 2};
        const RecordId id = *dispatches.Add(move);
        for (int line = 0; line < 2 + i % 2; ++line)
            dispatches.AddLine(id, 1 + (i + line) % 3,
                               Quantity::FromUnits(480 + 240 * line + 96 * i));
    }
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
    FillDispatches(app.Context()->store);
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
            // The dispatches: the second one with the covers of its second
            // line, then every cover line of it.
            frame->RunCommand(cmd::ViewDispatches);
            auto* moves = qobject_cast<CViewMove*>(frame->ActiveView());
            // The bar dragged left, as a user does to read the lines.
            moves->SplitBar()->move(480, moves->SplitBar()->y());
            moves->Relayout();
            moves->MainList()->SelectRow(1);
            moves->LineList()->SelectRow(1);
            for (CRecordList* list : {moves->MainList(), moves->LineList(), moves->CoverList()})
                list->FitColumns();
            QTimer::singleShot(300, [&, moves] {
                ok = frame->grab().save(output + "/viewmove.png") && ok;
                moves->PaneToggle(1)->click();
                moves->CoverList()->FitColumns();
                QTimer::singleShot(300, [&] {
                    ok = frame->grab().save(output + "/viewmove-all.png") && ok;
                    ok = SaveCommandScreenshots(*app.Context(), frame, output) && ok;
                    frame->close();
                });
            });
        });
        dialog.exec();
    });
    app.exec();
    app.ExitInstance();
    std::printf("%s\n", ok ? "saved" : "failed");
    return ok ? 0 : 1;
}

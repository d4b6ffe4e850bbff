// Starts the program on a small sample data folder and saves pictures of the
// main window, the cover dialog, the products table and the packaging line
// page: tarvo-screenshots OUTPUT_FOLDER.
#include "app/cmainframe.h"
#include "app/ctarvoapp.h"
#include "app/singleinstance.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "ui/dialogs/cdlgcover.h"
#include "ui/framework/clistmodel.h"
#include "ui/framework/commandids.h"
#include "ui/framework/crecordlist.h"
#include "ui/framework/csplitbar.h"
#include "ui/framework/guicontext.h"
#include "ui/pages/cpagecoverprod.h"
#include "ui/pages/wizard.h"
#include "ui/views/cviewcover.h"
#include "ui/views/cviewprod.h"

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

// Products, one of them with two packaging definitions; returns the one.
RecordId FillProducts(CDataStore& store) {
    struct Product {
        const char* name;
        const char* katalog;
        const char* unit;
        int source;
        int scrid;
    };
    const Product products[] = {
        {"Židle dřevěná", "Z-100", "ks", 1, 1042},
        {"Stůl jídelní", "S-200", "ks", 1, 1043},
        {"Police nástěnná", "P-15", "ks", 0, 0},
        {"Lak na dřevo 0,75 l", "L-075", "ks", 2, 88},
        {"Dřevěné pelety 15 kg", "PEL-15", "bal", 0, 0},
        {"Minerální voda 1,5 l", "MV-15", "ks", 2, 91},
    };
    for (const Product& p : products)
        store.Execute(Format("INSERT INTO Product (prod_name, prod_katalog, prod_unit, "
                             "prod_source, prod_scrid, deleted) VALUES (%s, %s, %s, %i, %i, 0)",
                             SqlQuote(p.name).c_str(), SqlQuote(p.katalog).c_str(),
                             SqlQuote(p.unit).c_str(), p.source, p.scrid));
    // The chair: packed in a carton from January, from July also on pallets
    // for large dispatches.
    store.Execute("INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (1, 45292), (1, 45474)");
    store.Execute("INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, cp_usealways, "
                  "cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) VALUES "
                  "(1, 1, 10000, 10000, 1, NULL, NULL, 0, 2, 1), (2, 1, 10000, 10000, 1, NULL, "
                  "NULL, 0, 2, 1), "
                  "(2, 3, 2000, 10000, 1, NULL, NULL, 1, 0, 1), (2, 10, 20000, 10000, 1, NULL, "
                  "NULL, 1, 2, 1), "
                  "(2, 2, 10000, 200000, 0, 200000, 10000000, 0, 1, 0)");
    return 1;
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
        });
        dialog.exec();

        // The products table with the chair's packaging, and the page of one
        // of its packaging lines.
        const RecordId chair = FillProducts(app.Context()->store);
        frame->SwitchView(cmd::ViewProducts);
        auto* products = qobject_cast<CViewProd*>(frame->ActiveView());
        products->OnNotify(ViewNotification::ReloadMain);
        products->MainList()->SelectRow(products->MainList()->Model()->RowOf(chair));
        products->MainList()->FitColumns();
        products->SplitBar()->move(products->width() - 560, products->SplitBar()->y());
        products->Relayout();
        products->DateList()->FitColumns();
        products->LineList()->FitColumns();
        QTimer::singleShot(300, [&] {
            ok = frame->grab().save(output + "/viewprod.png") && ok;
            PackagingLineValues values;
            values.cover = 2;
            values.coverQty = Quantity::FromUnits(1);
            values.prodQty = Quantity::FromUnits(20);
            values.bandKind = 1;
            values.bandFrom = Quantity::FromUnits(20);
            values.bandTo = Quantity::FromUnits(1000);
            values.type = 0;
            values.origin = 1;
            values.payment = 0;
            CWizard wizard(frame);
            wizard.AddPage(new CPageCoverProd(*app.Context(), values));
            QTimer::singleShot(300, [&] {
                ok = wizard.grab().save(output + "/cpagecoverprod.png") && ok;
                wizard.reject();
                frame->close();
            });
            wizard.Run();
        });
    });
    app.exec();
    app.ExitInstance();
    std::printf("%s\n", ok ? "saved" : "failed");
    return ok ? 0 : 1;
}

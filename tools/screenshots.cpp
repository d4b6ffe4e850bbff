// Starts the program on a small sample data folder and saves pictures of the
// main window, the cover dialog, the composite cover editor, the dispatches
// view with its two toggle states, the windows of the main window's commands,
// the products view, the packaging line page and the help window:
// tarvo-screenshots OUTPUT_FOLDER.
#include "app/cmainframe.h"
#include "app/ctarvoapp.h"
#include "app/singleinstance.h"
#include "commandshots.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/registers/compcoverregister.h"
#include "core/registers/moveregister.h"
#include "support/helpwindow.h"
#include "ui/dialogs/cdlgcompcover.h"
#include "ui/dialogs/cdlgcover.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/commandids.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/pages/cpagecoverprod.h"
#include "ui/pages/wizard.h"
#include "ui/views/cviewcover.h"
#include "ui/views/cviewmove.h"
#include "ui/views/cviewprod.h"

#include <QApplication>
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

// A pallet load as a composite cover: boxes, the pallet from 100 pieces on,
// foil and interleaves.
RecordId AddSampleCompCover(CDataStore& store) {
    CompCoverRegister compCovers(store);
    compCovers.BeginEditing(NoRecord);
    const auto units = [](int64_t n) { return Quantity::FromUnits(n); };
    compCovers.AddItem({1, units(1), units(12), true, {}, {}, 0, 2, 1});
    compCovers.AddItem({2, units(1), units(480), false, units(100), units(100000), 0, 1, 0});
    compCovers.AddItem({3, units(3), units(480), true, {}, {}, 1, 0, 1});
    compCovers.AddItem({10, units(4), units(480), true, {}, {}, 1, 2, 1});
    return compCovers.Add({"Paleta EUR s fólií", "40 krabic po 12 kusech"}).value_or(NoRecord);
}

// Runs the dialog modally and saves its picture once it is shown.
bool GrabModal(QDialog& dialog, const QString& path) {
    bool saved = false;
    QTimer::singleShot(300, &dialog, [&] {
        saved = dialog.grab().save(path);
        dialog.reject();
    });
    dialog.exec();
    return saved;
}

// The help window at the getting-started page; the frame closes after it.
void GrabHelp(const GuiContext& context, CMainFrame* frame, const QString& path, bool& ok) {
    context.showHelp(help::Contents);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* help = qobject_cast<HelpWindow*>(widget)) {
            help->resize(1000, 640);
            help->ShowPage(QStringLiteral("zaciname.html"));
            QTimer::singleShot(300, help, [&ok, help, path, frame] {
                ok = help->grab().save(path) && ok;
                help->close();
                frame->close();
            });
        }
    }
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
    };
    RecordId chair = NoRecord;
    for (const Product& p : products) {
        store.Execute(Format("INSERT INTO Product (prod_name, prod_katalog, prod_unit, "
                             "prod_source, prod_scrid, deleted) VALUES (%s, %s, %s, %i, %i, 0)",
                             SqlQuote(p.name).c_str(), SqlQuote(p.katalog).c_str(),
                             SqlQuote(p.unit).c_str(), p.source, p.scrid));
        if (chair == NoRecord)
            chair = store.LastInsertId();
    }
    // The chair: packed in a carton from January, from July also in foil
    // with a liner, and on pallets for large dispatches.
    RecordId definitions[2];
    const int days[] = {45292, 45474};
    for (int i = 0; i < 2; ++i) {
        store.Execute(Format("INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (%lld, %i)",
                             static_cast<long long>(chair), days[i]));
        definitions[i] = store.LastInsertId();
    }
    const struct {
        int definition;
        int cover;
        const char* values;
    } lines[] = {{0, 1, "10000, 10000, 1, NULL, NULL, 0, 2, 1"},
                 {1, 1, "10000, 10000, 1, NULL, NULL, 0, 2, 1"},
                 {1, 3, "2000, 10000, 1, NULL, NULL, 1, 0, 1"},
                 {1, 10, "20000, 10000, 1, NULL, NULL, 1, 2, 1"},
                 {1, 2, "10000, 200000, 0, 200000, 10000000, 0, 1, 0"}};
    for (const auto& line : lines)
        store.Execute(Format("INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, "
                             "cp_usealways, cp_usefrom, cp_useto, cover_type, cover_org, "
                             "cover_pay) VALUES (%lld, %i, %s)",
                             static_cast<long long>(definitions[line.definition]), line.cover,
                             line.values));
    return chair;
}

// The products table with the chair's packaging, then the page of one of its
// packaging lines; the help window follows.
void ShootProducts(CMainFrame* frame, const GuiContext& context, RecordId chair,
                   const QString& output, bool& ok) {
    frame->SwitchView(cmd::ViewProducts);
    auto* products = qobject_cast<CViewProd*>(frame->ActiveView());
    products->MainList()->SelectRow(products->MainList()->Model()->RowOf(chair));
    products->MainList()->FitColumns();
    products->PlaceSplitBar(products->width() - 560);
    products->DateList()->FitColumns();
    products->LineList()->FitColumns();
    QTimer::singleShot(300, [frame, &context, output, &ok] {
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
        Wizard wizard(frame);
        wizard.AddPage(new CPageCoverProd(context, values));
        QTimer::singleShot(300, [&] {
            ok = wizard.grab().save(output + "/cpagecoverprod.png") && ok;
            wizard.reject();
            GrabHelp(context, frame, output + "/help.png", ok);
        });
        wizard.Run();
    });
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
    const RecordId chair = FillProducts(app.Context()->store);
    const RecordId compCover = AddSampleCompCover(app.Context()->store);
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
        ok = GrabModal(dialog, output + "/cdlgcover.png") && ok;

        CDlgCompCover editor(*app.Context(), frame);
        editor.id = compCover;
        editor.compCover = {"Paleta EUR s fólií", "40 krabic po 12 kusech"};
        ok = GrabModal(editor, output + "/cdlgcompcover.png") && ok;

        // The dispatches: the second one with the covers of its second
        // line, then every cover line of it.
        frame->RunCommand(cmd::ViewDispatches);
        auto* moves = qobject_cast<CViewMove*>(frame->ActiveView());
        // The bar dragged left, as a user does to read the lines.
        moves->PlaceSplitBar(480);
        moves->MainList()->SelectRow(1);
        moves->LineList()->SelectRow(1);
        for (RecordList* list : {moves->MainList(), moves->LineList(), moves->CoverList()})
            list->FitColumns();
        QTimer::singleShot(300, [&, moves] {
            ok = frame->grab().save(output + "/viewmove.png") && ok;
            moves->PaneToggle(1)->click();
            moves->CoverList()->FitColumns();
            QTimer::singleShot(300, [&] {
                ok = frame->grab().save(output + "/viewmove-all.png") && ok;
                ok = SaveCommandScreenshots(*app.Context(), frame, output) && ok;
                ShootProducts(frame, *app.Context(), chair, output, ok);
            });
        });
    });
    app.exec();
    app.ExitInstance();
    std::printf("%s\n", ok ? "saved" : "failed");
    return ok ? 0 : 1;
}

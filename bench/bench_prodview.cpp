// The products view on a large table (first screen, re-sorts, memory), and a
// packaging change carried into a product that was dispatched very often.
//
//   bench_prodview [--products N] [--lines N] [--db FILE]
//
// Without --db a temporary database is filled by the data generator with N
// products (100 000), and one of them gets N dispatch lines (200 000). Each
// measurement runs in a process of its own, so the peak memory is its own.
// Prints "name: value unit" lines.
#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/engine/packagingresolution.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"
#include "core/registers/productregister.h"
#include "core/registers/propagationswitches.h"
#include "dev/datagenerator.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/views/cviewprod.h"
#include "viewbench.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace tarvo;

namespace {

// Counts what the change reports, to show that it reported progress.
class CountingProgress final : public IProgressPort {
public:
    void SetRange(int, int) override {}
    void SetStatus(const std::string&) override {}
    void SetSecondaryStatus(const std::string&) override {}
    void SetPos(int) override { ++positions; }
    bool CheckCancel() override { return false; }
    int positions = 0;
};

class CountingNotifier final : public IViewNotifier {
public:
    void NotifyAllViews(ViewNotification) override { ++sent; }
    int sent = 0;
};

int64_t Scalar(CDataStore& store, const std::string& sql) {
    Statement query(store, sql);
    query.Step();
    return query.Int(0);
}

// The product with the many dispatch lines: the one with the most.
int64_t BusyProduct(CDataStore& store) {
    return Scalar(store, "SELECT prod_id FROM Move_Prod GROUP BY prod_id ORDER BY COUNT(*) DESC "
                         "LIMIT 1");
}

int MeasureChange(const std::string& db) {
    bench::YesMessages messages;
    CDataStore store(messages);
    bench::OpenDatabase(store, db);
    const int64_t prod = BusyProduct(store);
    const int64_t line =
        Scalar(store, Format("SELECT MAX(cp_id) FROM Prod_Cover INNER JOIN Prod_CoverDT ON "
                             "Prod_Cover.dt_id = Prod_CoverDT.dt_id WHERE prod_id = %lld",
                             static_cast<long long>(prod)));
    const int64_t lines =
        Scalar(store, Format("SELECT COUNT(*) FROM Move_Prod WHERE prod_id = %lld",
                             static_cast<long long>(prod)));
    PropagationSwitches switches;
    CountingNotifier notifier;
    CountingProgress progress;
    ProductRegister reg(store, switches, notifier, progress);
    ReadResult<CoverLine> record = reg.ReadLine(line);
    if (!record)
        return 1;
    record.record.qtyCover = record->qtyCover + Quantity::FromUnits(1);

    const int64_t changesBefore = Scalar(store, "SELECT total_changes()");
    bench::Stopwatch watch;
    const Outcome outcome = reg.UpdateLine(line, *record);
    const double seconds = watch.Seconds();
    const double cpu = watch.Cpu();
    const int64_t written = Scalar(store, "SELECT total_changes()") - changesBefore;
    std::printf("dispatch lines of the product: %lld lines\n", static_cast<long long>(lines));
    std::printf("packaging line change with re-derivation: %.3f s\n", seconds);
    std::printf("packaging line change with re-derivation CPU: %.3f s\n", cpu);
    std::printf("change stored: %s\n", outcome == Outcome::Done ? "yes" : "no");
    std::printf("rows written by the change: %lld rows\n", static_cast<long long>(written));
    std::printf("progress reports: %d\n", progress.positions);
    std::printf("change peak memory: %.1f MB\n",
                static_cast<double>(bench::PeakMemoryKb()) / 1024.0);
    return outcome == Outcome::Done && messages.errors == 0 ? 0 : 1;
}

int MeasureView(int argc, char** argv, const std::string& db) {
    bench::CViewBench setup(argc, argv, db);
    const long baseKb = bench::PeakMemoryKb();

    bench::Stopwatch first;
    CViewProd view(setup.Context());
    bench::CViewBench::ShowFirstScreen(view);
    const double firstScreen = first.Seconds();
    const double firstScreenCpu = first.Cpu();
    const int rows = view.MainList()->Model()->Count();

    QHeaderView* header = view.MainList()->horizontalHeader();
    auto sortBy = [&](const char* name, int column) {
        bench::Stopwatch watch;
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        QCoreApplication::processEvents();
        view.repaint();
        std::printf("%s: %.3f s\n%s CPU: %.3f s\n", name, watch.Seconds(), name, watch.Cpu());
    };
    std::printf("products: %d rows\n", rows);
    std::printf("first screen: %.3f s\nfirst screen CPU: %.3f s\n", firstScreen, firstScreenCpu);
    sortBy("re-sort by catalogue number", 2);
    sortBy("re-sort by name", 1);
    sortBy("re-sort by name descending", 1);
    // A click on a product shows its definitions and the lines of the newest.
    bench::Stopwatch select;
    view.MainList()->SelectRow(rows / 2);
    QCoreApplication::processEvents();
    view.repaint();
    std::printf("select a product: %.3f s\n", select.Seconds());
    std::printf("view peak memory: %.1f MB\nQt and database before the view: %.1f MB\n",
                static_cast<double>(bench::PeakMemoryKb()) / 1024.0,
                static_cast<double>(baseKb) / 1024.0);
    return setup.messages.errors == 0 ? 0 : 1;
}

// Products for the view, and one product dispatched lines times.
bool Generate(const std::string& db, long products, long lines) {
    bench::YesMessages messages;
    CDataStore store(messages);
    GeneratorOptions options;
    options.products = products;
    options.dispatches = 2000;
    bench::Stopwatch watch;
    const GeneratorCounts counts = bench::GenerateDatabase(store, db, options).counts;
    const int64_t prod = Scalar(store, "SELECT MIN(prod_id) FROM Prod_CoverDT");
    // The lines spread over the generated documents, quantities 1 to 500.
    store.ExecuteOrThrow(Format(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %ld) "
        "INSERT INTO Move_Prod (move_id, prod_id, mvprod_qty) SELECT (SELECT MIN(move_id) FROM "
        "Move) + i %% %ld, %lld, (1 + i * 7 %% 500) * 10000 FROM n",
        lines, counts.dispatches, static_cast<long long>(prod)));
    ResolveProdMoves(store, static_cast<long>(prod));
    std::printf("generated: %ld products, %ld dispatches, %ld lines in %.1f s\n", counts.products,
                counts.dispatches, counts.lines + lines, watch.Seconds());
    return store.CloseDatabase();
}

} // namespace

int main(int argc, char** argv) {
    long products = 100000;
    long lines = 200000;
    std::string db;
    std::string measure;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--products" && i + 1 < argc)
            products = std::atol(argv[++i]);
        else if (arg == "--lines" && i + 1 < argc)
            lines = std::atol(argv[++i]);
        else if (arg == "--db" && i + 1 < argc)
            db = argv[++i];
        else if (arg == "--measure" && i + 1 < argc)
            measure = argv[++i];
    }
    if (measure == "change")
        return MeasureChange(db);
    if (measure == "view")
        return MeasureView(argc, argv, db);

    std::filesystem::path temp;
    if (db.empty()) {
        temp = std::filesystem::temp_directory_path() /
               ("tarvo-bench-prodview-" + std::to_string(products));
        std::filesystem::remove_all(temp);
        std::filesystem::create_directories(temp);
        db = (temp / "Tarvo.mdb").string();
    }
    if (!std::filesystem::exists(db) && !Generate(db, products, lines))
        return 1;
    std::fputs(bench::RunSelf("--measure view --db " + db).c_str(), stdout);
    std::fputs(bench::RunSelf("--measure change --db " + db).c_str(), stdout);
    if (!temp.empty())
        std::filesystem::remove_all(temp);
    return 0;
}

// The dispatches view on a large database: how long the first screen takes,
// re-sorting the dispatches, scrolling to the end, and showing the lines and
// covers of a selected dispatch; and how much memory the view needs. One
// figure per line, "name: value unit", for scripts.
//
//   bench_moveview [--dispatches N] [--db FILE]
//
// Without --db the database is generated into a temporary folder (N
// dispatches with 4 product lines of 3 cover lines each) and removed
// afterwards; with --db a missing file is generated there and kept, so a
// second run measures at once. The measurement runs in a process of its own,
// so the peak memory is the view's.
#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"
#include "core/registers/propagationswitches.h"
#include "dev/datagenerator.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/views/cviewmove.h"
#include "viewbench.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

using namespace tarvo;

namespace {

void Print(const char* name, double value, const char* unit) {
    std::printf("%s: %.3f %s\n", name, value, unit);
}

int Measure(int argc, char** argv, const std::string& db) {
    bench::CViewBench setup(argc, argv, db);
    const long baseKb = bench::PeakMemoryKb();

    bench::Stopwatch first;
    CViewMove view(setup.Context());
    bench::CViewBench::ShowFirstScreen(view);
    const double firstScreen = first.Seconds();
    const double firstScreenCpu = first.Cpu();
    RecordList* list = view.MainList();
    const int rows = list->Model()->Count();

    QHeaderView* header = list->horizontalHeader();
    // Wall-clock seconds, then CPU seconds (steadier on a shared machine).
    auto sortBy = [&](int column) {
        bench::Stopwatch watch;
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        QCoreApplication::processEvents();
        view.repaint();
        return std::make_pair(watch.Seconds(), watch.Cpu());
    };
    const auto byDate = sortBy(1);
    const auto byNumber = sortBy(0);

    bench::Stopwatch scroll;
    list->scrollToBottom();
    view.repaint();
    const double toEnd = scroll.Seconds();
    const double toEndCpu = scroll.Cpu();

    // A click on a dispatch far down the list: its product lines and the
    // covers of the first line are read and drawn.
    const int row = rows - 3;
    list->scrollTo(list->model()->index(row, 0));
    QCoreApplication::processEvents();
    bench::Stopwatch select;
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    view.repaint();
    const double selectMs = select.Seconds() * 1000.0;
    const double selectCpuMs = select.Cpu() * 1000.0;
    const int lines = view.LineList()->Model()->Count();
    const int covers = view.CoverList()->Model()->Count();

    // The toggle: every cover line of the dispatch.
    bench::Stopwatch toggle;
    view.ToggleLines();
    view.repaint();
    const double toggleMs = toggle.Seconds() * 1000.0;
    const int allCovers = view.CoverList()->Model()->Count();

    Print("dispatches", rows, "rows");
    Print("first screen", firstScreen, "s");
    Print("first screen CPU", firstScreenCpu, "s");
    Print("re-sort by date", byDate.first, "s");
    Print("re-sort by date CPU", byDate.second, "s");
    Print("re-sort by number", byNumber.first, "s");
    Print("re-sort by number CPU", byNumber.second, "s");
    Print("scroll to end", toEnd, "s");
    Print("scroll to end CPU", toEndCpu, "s");
    Print("select dispatch", selectMs, "ms");
    Print("select dispatch CPU", selectCpuMs, "ms");
    Print("selected product lines", lines, "rows");
    Print("selected line covers", covers, "rows");
    Print("toggle to all covers", toggleMs, "ms");
    Print("all covers of dispatch", allCovers, "rows");
    Print("peak memory", static_cast<double>(bench::PeakMemoryKb()) / 1024.0, "MB");
    Print("memory before the view", static_cast<double>(baseKb) / 1024.0, "MB");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    long dispatches = 250000;
    std::string db;
    bool measure = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dispatches" && i + 1 < argc)
            dispatches = std::atol(argv[++i]);
        else if (arg == "--db" && i + 1 < argc)
            db = argv[++i];
        else if (arg == "--measure")
            measure = true;
    }
    if (measure)
        return Measure(argc, argv, db);

    std::filesystem::path temp;
    if (db.empty()) {
        temp = bench::BenchFolder("");
        db = (temp / "Tarvo.mdb").string();
    }
    if (!std::filesystem::exists(db)) {
        bench::YesMessages messages;
        CDataStore store(messages);
        GeneratorOptions options;
        options.covers = 1000;
        options.products = 5000;
        options.dispatches = dispatches;
        options.linesPerDispatch = 4;
        options.coversPerLine = 3;
        const bench::GeneratedDatabase made = bench::GenerateDatabase(store, db, options);
        std::printf("generated product lines: %ld rows\ngenerated cover lines: %ld rows\n"
                    "generation: %.1f s\n",
                    made.counts.lines, made.counts.coverLines, made.seconds);
    }
    std::fputs(bench::RunSelf("--measure --db " + db).c_str(), stdout);
    if (!temp.empty())
        std::filesystem::remove_all(temp);
    return 0;
}

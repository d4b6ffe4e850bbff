// The covers view on a large table: how long the first screen takes, how
// long a re-sort takes and how much memory the view needs.
//
//   bench_coverview [--covers N] [--db FILE]
//
// Without --db a temporary database is filled by the data generator. Each
// measurement runs in a process of its own, so the peak memory is the view's.
#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/ports/progressport.h"
#include "core/registers/propagationswitches.h"
#include "dev/datagenerator.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/views/cviewcover.h"
#include "viewbench.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace tarvo;

namespace {

// Wall-clock seconds, CPU seconds of the whole process (steadier on a shared
// machine) and of the view's thread alone.
struct Timing {
    double wall;
    double cpu;
    double viewCpu;
};

template <typename Step> Timing Time(const Step& step) {
    bench::Stopwatch watch;
    const double viewCpu = bench::ThreadCpuSeconds();
    step();
    return {watch.Seconds(), watch.Cpu(), bench::ThreadCpuSeconds() - viewCpu};
}

void Print(const char* what, const Timing& t) {
    std::printf("%s %.3f s (CPU %.3f s, the view's thread %.3f s)\n", what, t.wall, t.cpu,
                t.viewCpu);
}

int Measure(int argc, char** argv, const std::string& db) {
    bench::CViewBench setup(argc, argv, db);
    const long baseKb = bench::PeakMemoryKb();

    std::unique_ptr<CViewCover> view;
    const Timing first = Time([&] {
        view = std::make_unique<CViewCover>(setup.Context());
        bench::CViewBench::ShowFirstScreen(*view);
    });
    const int rows = view->MainList()->Model()->Count();

    QHeaderView* header = view->MainList()->horizontalHeader();
    auto sortBy = [&](int column) {
        return Time([&] {
            const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
            QCoreApplication::processEvents();
            view->repaint();
        });
    };
    const Timing byNameDesc = sortBy(0);
    const Timing byWeight = sortBy(2);
    const Timing byMaterial = sortBy(1);
    // Scrolling to the end reads only the rows shown there, once the loader
    // thread has ordered them.
    const Timing toEnd = Time([&] {
        view->MainList()->scrollToBottom();
        view->repaint();
    });

    std::printf("rows %d\n", rows);
    Print("first screen", first);
    Print("re-sort by name descending", byNameDesc);
    Print("re-sort by weight", byWeight);
    Print("re-sort by material", byMaterial);
    Print("scroll to end", toEnd);
    std::printf("peak memory %.1f MB (Qt and database before the view: %.1f MB)\n",
                static_cast<double>(bench::PeakMemoryKb()) / 1024.0,
                static_cast<double>(baseKb) / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    long covers = 1000000;
    std::string db;
    bool measure = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--covers" && i + 1 < argc)
            covers = std::atol(argv[++i]);
        else if (arg == "--db" && i + 1 < argc)
            db = argv[++i];
        else if (arg == "--measure")
            measure = true;
    }
    if (measure)
        return Measure(argc, argv, db);

    std::filesystem::path temp;
    if (db.empty()) {
        temp = std::filesystem::temp_directory_path() /
               ("tarvo-bench-coverview-" + std::to_string(covers));
        std::filesystem::remove_all(temp);
        std::filesystem::create_directories(temp);
        db = (temp / "Tarvo.mdb").string();
    }
    if (!std::filesystem::exists(db)) {
        bench::YesMessages messages;
        CDataStore store(messages);
        GeneratorOptions options;
        options.covers = covers;
        options.composites = 0;
        options.products = 0;
        options.dispatches = 0;
        options.discards = 0;
        const bench::GeneratedDatabase made = bench::GenerateDatabase(store, db, options);
        std::printf("generated %ld covers in %.1f s\n", made.counts.covers, made.seconds);
    }
    std::fputs(bench::RunSelf("--measure --db " + db).c_str(), stdout);
    if (!temp.empty())
        std::filesystem::remove_all(temp);
    return 0;
}

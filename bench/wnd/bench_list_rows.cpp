// CPU time the user-interface thread spends to show 1,000 device rows in the real list control, the
// way the device list fills it: batches of rows inserted on the UI thread as answers arrive over
// half a second, then the full list painted once more; also one batch of all rows. The clock stops
// when the table widget holds the last row and has painted it. Prints figures; asserts nothing
// about time.
//
//   QT_QPA_PLATFORM=offscreen bench_list_rows [rows] [repeats]
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "orvan_wnd/host.h"
#include "qt_child_view.h"

namespace {

using namespace orvan::wnd;

class IdleHandler final : public ViewHandler {
  public:
    void OnSize(uint32_t, int32_t, int32_t) override {}
    void OnPaint(DeviceContext&) override {}
    bool OnEraseBkgnd(DeviceContext&) override { return true; }
    void OnLButtonDown(uint32_t, Point) override {}
    void OnLButtonDblClk(uint32_t, Point) override {}
    void OnMouseMove(uint32_t, Point) override {}
    void OnLButtonUp(uint32_t, Point) override {}
    void OnTimer(uint32_t) override {}
    bool OnSetCursor(std::optional<Point>) override { return false; }
    int64_t OnMessage(uint32_t, int64_t, int64_t) override { return 0; }
    void OnNotify(const ListNotification&, int64_t*) override {}
};

double thread_cpu_ms() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The texts of the device list's five columns for one simulated device.
std::vector<std::wstring> row_texts(int i) {
    const std::wstring n = std::to_wstring(i);
    const std::wstring octet = std::to_wstring(i % 250 + 2);
    return {L"OIC-22" + std::to_wstring(10 + i % 7), L"00:40:8C:1A:" + std::to_wstring(10 + i / 100) + L":" +
                                                         std::to_wstring(10 + i % 90),
            L"10.88." + std::to_wstring(i / 250) + L"." + octet, L"cam-gate-" + n, L"Warehouse Gate " + n};
}

void insert_rows(ListControl& list, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        const auto texts = row_texts(i);
        const int32_t row = list.InsertItem(list.GetItemCount(), texts[0]);
        for (int32_t column = 1; column < 5; ++column) list.SetItemText(row, column, texts[column]);
    }
}

struct figures {
    double cpu_ms;
    double wall_ms;
};

// One run: a fresh view and list, rows in batches of batch_rows every interval_ms, each batch
// followed by a paint; the final picture painted before the clock stops.
figures run(int rows, int batch_rows, int interval_ms) {
    IdleHandler handler;
    qt::QtChildView view(nullptr, handler);
    view.resize(960, 540);
    view.show();
    auto list = view.CreateListControl(1000, 171, 71, 940, 520);
    const std::pair<const wchar_t*, int32_t> columns[] = {
        {L"Model", 120}, {L"MAC", 130}, {L"IP", 120}, {L"System Name", 120}, {L"Location", 110}};
    for (int32_t c = 0; c < 5; ++c) list->InsertColumn(c, columns[c].first, columns[c].second);
    QCoreApplication::processEvents();
    view.repaint();

    QElapsedTimer wall;
    wall.start();
    const double cpu_start = thread_cpu_ms();
    int inserted = 0;
    QTimer timer;
    timer.setInterval(interval_ms);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const int count = std::min(batch_rows, rows - inserted);
        insert_rows(*list, inserted, count);
        inserted += count;
        if (inserted >= rows) timer.stop();
    });
    timer.start();
    // Until the table itself (not only the list's rows) holds the last row, then its final picture.
    const auto* table = view.findChild<QTableWidget*>();
    const auto shown = [&] {
        return inserted >= rows && table->rowCount() == rows && table->item(rows - 1, 4) != nullptr;
    };
    while (!shown()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    view.repaint();
    const figures result{thread_cpu_ms() - cpu_start, static_cast<double>(wall.elapsed())};
    if (list->GetItemCount() != rows) std::fprintf(stderr, "only %d rows shown\n", list->GetItemCount());
    list->DestroyWindow();
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;

    struct scenario {
        const char* name;
        int batch_rows;
        int interval_ms;
    };
    const scenario scenarios[] = {
        {"batches of 20 rows every 10 ms", 20, 10},
        {"batches of 2 rows every 1 ms", 2, 1},
        {"all rows in one batch", rows, 0},
    };
    std::printf("bench_list_rows: %d rows, UI-thread CPU and wall time in ms, median of %d runs (%s)\n", rows,
                repeats, qPrintable(QGuiApplication::platformName()));
    std::printf("%-34s %10s %10s\n", "scenario", "cpu", "wall");
    run(rows, rows, 0);  // warm-up: fonts, glyph caches, style
    for (const scenario& s : scenarios) {
        std::vector<double> cpu, wall;
        for (int r = 0; r < repeats; ++r) {
            const figures f = run(rows, s.batch_rows, s.interval_ms);
            cpu.push_back(f.cpu_ms);
            wall.push_back(f.wall_ms);
        }
        std::printf("%-34s %10.1f %10.1f\n", s.name, median(cpu), median(wall));
    }
    return 0;
}

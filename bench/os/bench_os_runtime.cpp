// Prints the cost of a tracked lock acquire+release and of a tracked zeroed allocation+release next
// to the plain standard-library operations they wrap.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"

namespace {

constexpr const char* kFile = "bench/os/bench_os_runtime";

void TrackedLockAcquireRelease(benchmark::State& state) {
    struct_plock lock;
    liborvaniot_os_mutex_struct_plock_init(&lock, "bench", __LINE__);
    for (auto _ : state) {
        liborvaniot_os_mutex_struct_plock_lock(&lock, "bench", __LINE__);
        liborvaniot_os_mutex_struct_plock_unlock(&lock, "bench", __LINE__);
    }
    liborvaniot_os_mutex_struct_plock_free(&lock, "bench", __LINE__);
}
BENCHMARK(TrackedLockAcquireRelease);

void StdMutexLockUnlock(benchmark::State& state) {
    std::mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        benchmark::ClobberMemory();
        mutex.unlock();
    }
}
BENCHMARK(StdMutexLockUnlock);

// The argument is the number of other tracked blocks alive meanwhile (an XML document holds one per
// node), to show that a release does not depend on it.
void TrackedCallocRelease(benchmark::State& state) {
    std::vector<void*> live(static_cast<size_t>(state.range(0)));
    for (auto& block : live) block = liborvaniot_os_mem_calloc(1, 48, kFile, __LINE__);
    for (auto _ : state) {
        void* block = liborvaniot_os_mem_calloc(1, 48, kFile, __LINE__);
        benchmark::DoNotOptimize(block);
        liborvaniot_os_mem_dbg_free(block, kFile, __LINE__);
    }
    for (void* block : live) liborvaniot_os_mem_dbg_free(block, kFile, __LINE__);
}
BENCHMARK(TrackedCallocRelease)->Arg(0)->Arg(10000);

void CallocFree(benchmark::State& state) {
    for (auto _ : state) {
        void* block = std::calloc(1, 48);
        benchmark::DoNotOptimize(block);
        std::free(block);
    }
}
BENCHMARK(CallocFree);

}  // namespace

int main(int argc, char** argv) {
    if (liborvaniot_os_debug_initialize() != 0) return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    liborvaniot_os_debug_finalize();
    return 0;
}

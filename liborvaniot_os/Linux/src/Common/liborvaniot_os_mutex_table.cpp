// The tracked locks' resource table: slot search, slot copies and the holder records.
#include "liborvaniot_os_mutex_table.h"

#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace liborvaniot_os_mutex_table {

namespace {

constexpr int kReadAttempts = 64;
constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr auto kAcquire = std::memory_order_acquire;
constexpr auto kRelease = std::memory_order_release;

void clear(slot& s, int64_t counter) {
    const uint32_t version = begin_write(s);
    s.in_use.store(0, kRelease);
    s.lock.store(0, kRelease);
    s.pid.store(0, kRelease);
    s.owner_name.store("", kRelease);
    s.owner_line.store(0, kRelease);
    s.holder_name.store("", kRelease);
    s.holder_line.store(0, kRelease);
    s.lock_counter.store(counter, kRelease);
    end_write(s, version);
    s.holder_thread.store(nullptr, kRelaxed);
}

}  // namespace

// Constant-initialised, so that no static constructor elsewhere can find the table unmade.
constinit table the_table{};

liborvaniot_os_mutex_resource read(const slot& s) {
    liborvaniot_os_mutex_resource copy{};
    for (int attempt = 0;; ++attempt) {
        const uint32_t before = s.version.load(kAcquire);
        copy.in_use = s.in_use.load(kAcquire);
        copy.lock = s.lock.load(kAcquire);
        copy.pid = s.pid.load(kAcquire);
        copy.owner_name = s.owner_name.load(kAcquire);
        copy.owner_line = s.owner_line.load(kAcquire);
        copy.holder_name = s.holder_name.load(kAcquire);
        copy.holder_line = s.holder_line.load(kAcquire);
        const int64_t counter = s.lock_counter.load(kAcquire);
        const uint32_t after = s.version.load(kRelaxed);
        if ((before == after && before % 2 == 0) || attempt + 1 >= kReadAttempts) {
            liborvaniot_os_timeval tv{};
            liborvaniot_os_time_from_counter(counter, &tv);
            copy.lock_time = {tv.tv_sec, tv.tv_usec};
            return copy;
        }
    }
}

void reset(table& t, int64_t created_counter) {
    for (slot& s : t.slots) clear(s, created_counter);
    t.created = true;
    t.in_use_count = 0;
    t.cursor = kFirstCursor;
}

int32_t take_slot(table& t, const char* caller, int32_t line) {
    if (t.cursor >= LIBORVANIOT_OS_MUTEX_SLOTS) t.cursor = 0;
    for (int32_t i = t.cursor; i < LIBORVANIOT_OS_MUTEX_SLOTS; ++i) {
        t.cursor = i + 1;
        slot& s = t.slots[i];
        if (s.in_use.load(kRelaxed) != 0) continue;
        ++t.in_use_count;
        const uint32_t version = begin_write(s);
        s.in_use.store(1, kRelease);
        s.owner_name.store(caller, kRelease);
        s.owner_line.store(line, kRelease);
        end_write(s, version);
        return i;
    }
    return -1;
}

void give_back(table& t, int32_t index) {
    slot& s = t.slots[index];
    --t.in_use_count;
    const uint32_t version = begin_write(s);
    s.owner_name.store("", kRelease);
    s.holder_name.store("", kRelease);
    s.in_use.store(0, kRelease);
    s.lock.store(0, kRelease);
    s.owner_line.store(-1, kRelease);
    s.holder_line.store(-1, kRelease);
    end_write(s, version);
    s.holder_thread.store(nullptr, kRelaxed);
}

}  // namespace liborvaniot_os_mutex_table

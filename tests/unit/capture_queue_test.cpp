// The capture queue: every record the capture thread pushes is taken by the
// window once, whole and in the order pushed, however the store wraps and
// however long the window leaves it full; a full store makes the capture
// thread wait, never drop; the window is told whenever records wait.
#include "console/capture/capture_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace murlo::test {
namespace {

std::string RandomRecord(std::mt19937& random, size_t most, int number) {
    std::string record = std::to_string(number) + ":";
    size_t size = 1 + random() % most;
    while (record.size() < size) record += static_cast<char>(random());
    record.resize(size);
    return record;
}

// A ring over stores of several sizes, against a model: a record goes in
// exactly when its size and its four size bytes fit what is free, and
// comes out whole, oldest first, once.
TEST(RecordRing, KeepsEveryRecordWholeOnceAndInOrder) {
    for (size_t capacity : {5u, 16u, 37u, 100u, 1024u}) {
        SCOPED_TRACE(capacity);
        std::vector<char> store(capacity);
        RecordRing ring;
        ring.bytes = store.data();
        ring.capacity = capacity;
        std::deque<std::string> model;
        size_t modelUsed = 0;
        std::mt19937 random(static_cast<unsigned>(capacity));
        int number = 0;
        int wrapped = 0;
        for (int step = 0; step < 20000; ++step) {
            if (random() % 3 != 0) {
                std::string record = RandomRecord(random, capacity, number);
                const bool fits = record.size() + 4 <= capacity - modelUsed;
                if (fits && (ring.start + ring.used) % capacity + 4 + record.size() > capacity) ++wrapped;
                ASSERT_EQ(ring.Push(record.data(), record.size()), fits) << "step " << step;
                if (fits) {
                    model.push_back(record);
                    modelUsed += record.size() + 4;
                    ++number;
                }
            } else {
                std::vector<char> out(capacity + 1);
                size_t size = ring.Take(out.data(), out.size());
                if (model.empty()) {
                    ASSERT_EQ(size, 0u) << "step " << step;
                    continue;
                }
                ASSERT_EQ(std::string(out.data(), size), model.front()) << "step " << step;
                modelUsed -= model.front().size() + 4;
                model.pop_front();
            }
            ASSERT_EQ(ring.used, modelUsed);
            ASSERT_EQ(ring.Empty(), model.empty());
        }
        if (capacity > 5) {
            EXPECT_GT(wrapped, 50) << "records written across the end of the store";
        }
    }
}

TEST(RecordRing, RefusesWhatCanNeverFitAndKeepsWhatTheReaderHasNoRoomFor) {
    std::vector<char> store(64);
    RecordRing ring;
    ring.bytes = store.data();
    ring.capacity = store.size();
    EXPECT_FALSE(ring.Push("", 0)) << "records are never empty";
    EXPECT_FALSE(ring.Push(std::string(61, 'x').data(), 61));
    ASSERT_TRUE(ring.Push(std::string(60, 'y').data(), 60));
    EXPECT_FALSE(ring.Push("z", 1)) << "full";
    char small[10];
    EXPECT_EQ(ring.Take(small, sizeof small), 0u);
    EXPECT_EQ(ring.used, 64u) << "the record stays";
    char out[64];
    ASSERT_EQ(ring.Take(out, sizeof out), 60u);
    EXPECT_EQ(std::string(out, 60), std::string(60, 'y'));
    EXPECT_TRUE(ring.Empty());
}

// The platform of two threads: a lock, an auto-reset event for room, and
// notifications counted, which the window's side waits for.
struct ThreadPlatform {
    std::mutex lock;
    std::mutex eventLock;
    std::condition_variable changed;
    bool roomSignalled = false;
    int roomWaits = 0;
    int notifications = 0;

    void Lock() { lock.lock(); }
    void Unlock() { lock.unlock(); }
    void WaitForRoom() {
        std::unique_lock<std::mutex> hold(eventLock);
        ++roomWaits;
        changed.wait(hold, [this] { return roomSignalled; });
        roomSignalled = false;
    }
    void WakeForRoom() {
        {
            std::lock_guard<std::mutex> hold(eventLock);
            roomSignalled = true;
        }
        changed.notify_all();
    }
    void NotifyWindow() {
        {
            std::lock_guard<std::mutex> hold(eventLock);
            ++notifications;
        }
        changed.notify_all();
    }
    // Waits for a notification after the first seen ones; false after 20 s.
    bool WaitForNotification(int& seen) {
        std::unique_lock<std::mutex> hold(eventLock);
        if (!changed.wait_for(hold, std::chrono::seconds(20), [&] { return notifications > seen; })) return false;
        seen = notifications;
        return true;
    }
};

// A capture thread pushing into a small store while the window takes the
// records only when told, now and then slowly: the window gets every
// record once, whole and in order; the capture thread waited for room
// many times and never dropped one.
TEST(HandOverQueue, TheWindowTakesEveryRecordOnceInOrderWhileTheThreadWaitsForRoom) {
    constexpr int kRecords = 20000;
    std::mt19937 random(7);
    std::vector<std::string> records;
    for (int i = 0; i < kRecords; ++i) records.push_back(RandomRecord(random, 300, i));
    std::vector<char> store(1024);
    HandOverQueue<ThreadPlatform> queue;
    queue.ring.bytes = store.data();
    queue.ring.capacity = store.size();

    std::vector<PushResult> results;
    std::thread capture([&] {
        for (const std::string& record : records) results.push_back(queue.Push(record.data(), record.size()));
    });
    std::vector<std::string> taken;
    int seen = 0;
    std::mt19937 pace(11);
    bool lost = false;
    while (taken.size() < records.size()) {
        if (!queue.platform.WaitForNotification(seen)) {
            lost = true;  // records wait, and the window was not told
            break;
        }
        queue.BeginTaking();
        char out[kMaxCapturedRecord];
        while (size_t size = queue.Take(out, sizeof out)) {
            taken.emplace_back(out, size);
            // Now and then the window is busy elsewhere and the store fills.
            if (pace() % 50 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    if (lost) queue.Close();  // lets the capture thread end
    capture.join();
    ASSERT_FALSE(lost) << taken.size() << " of " << records.size() << " records taken";
    ASSERT_EQ(taken.size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) ASSERT_EQ(taken[i], records[i]) << "record " << i;
    for (PushResult result : results) ASSERT_EQ(result, PushResult::Queued);
    EXPECT_GT(queue.platform.roomWaits, 10);
    EXPECT_LE(queue.platform.notifications, kRecords);
    EXPECT_TRUE(queue.ring.Empty());
}

// Once the window is gone, a capture thread waiting for room goes on, and
// what it pushes is dropped.
TEST(HandOverQueue, ClosingReleasesAThreadWaitingForRoomAndDropsFromThenOn) {
    std::vector<char> store(64);
    HandOverQueue<ThreadPlatform> queue;
    queue.ring.bytes = store.data();
    queue.ring.capacity = store.size();
    const std::string record(26, 'r');
    ASSERT_EQ(queue.Push(record.data(), record.size()), PushResult::Queued);
    ASSERT_EQ(queue.Push(record.data(), record.size()), PushResult::Queued);
    EXPECT_EQ(queue.platform.notifications, 1) << "told once until it begins to take";
    PushResult third = PushResult::Queued;
    std::thread capture([&] { third = queue.Push(record.data(), record.size()); });
    // The thread waits for room: the store is full.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(queue.platform.eventLock);
            if (queue.platform.roomWaits > 0) break;
        }
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::yield();
    }
    queue.Close();
    capture.join();
    EXPECT_EQ(third, PushResult::Dropped);
    EXPECT_EQ(queue.Push(record.data(), record.size()), PushResult::Dropped);
    char out[kMaxCapturedRecord];
    EXPECT_EQ(queue.Take(out, sizeof out), 0u);
}

}  // namespace
}  // namespace murlo::test

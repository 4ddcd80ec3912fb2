// The capture thread's records on their way to the window: a bounded
// first-in first-out queue, so that the thread takes the next string from
// the channel while the window is still busy with earlier ones, instead of
// waiting for the window to handle each in turn.
//
// Portable. RecordRing is the queue's store, used under the lock only.
// HandOverQueue adds the rules of the two threads, with the platform
// passed in as a template parameter offering
//   Lock(), Unlock()     the one lock of the queue
//   WaitForRoom()        block until WakeForRoom() is called (or return at
//                        once when it was called since the last wait)
//   WakeForRoom()
//   NotifyWindow()       tell the window that records wait; returns at once
//
// Who owns what: the window's thread makes the queue before the first
// capture thread starts and keeps it for the life of the process (a
// thread told to stop may still be pushing). Everything in it is read and
// written under the lock, by the capture thread (Push) and by the window's
// thread (BeginTaking, Take, Close), and by nothing else. The records
// pushed are copies; the window's thread takes each out into its own
// buffer before handling it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/log_record.h"

namespace murlo {

// The largest record the capture thread makes: the header, the most text
// the channel carries (4092 bytes) and a NUL.
inline constexpr size_t kMaxCapturedRecord = kRecordHeaderSize + 4092 + 1;
// The queue's store: some two hundred short strings, or fourteen of the
// longest, while the window updates its view.
inline constexpr size_t kCaptureQueueBytes = 64 * 1024;

// Records one after the other in a ring of bytes, each as its size (four
// bytes, little-endian) and its bytes, wrapping at the end of the store.
struct RecordRing {
    static constexpr size_t kSizeBytes = 4;

    char* bytes = nullptr;
    size_t capacity = 0;
    size_t start = 0;  // where the oldest record's size begins
    size_t used = 0;

    bool Empty() const { return used == 0; }
    // Whether a record of size bytes fits the store when it is empty.
    bool CanEverHold(size_t size) const { return size > 0 && size <= capacity && kSizeBytes <= capacity - size; }

    // Appends a copy of the record; false, nothing changed, when it does
    // not fit now (or never could). Records are never empty.
    bool Push(const void* record, size_t size) {
        if (!CanEverHold(size) || kSizeBytes + size > capacity - used) return false;
        const unsigned char sizeBytes[kSizeBytes] = {
            static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
            static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
        size_t at = (start + used) % capacity;
        at = CopyIn(at, sizeBytes, kSizeBytes);
        CopyIn(at, record, size);
        used += kSizeBytes + size;
        return true;
    }

    // Moves the oldest record into out, which has room bytes, and answers
    // its size; 0 when there is none. A record larger than room stays.
    size_t Take(void* out, size_t room) {
        if (used == 0) return 0;
        unsigned char sizeBytes[kSizeBytes];
        size_t at = CopyOut(start, sizeBytes, kSizeBytes);
        const size_t size = static_cast<size_t>(sizeBytes[0]) | static_cast<size_t>(sizeBytes[1]) << 8 |
                            static_cast<size_t>(sizeBytes[2]) << 16 | static_cast<size_t>(sizeBytes[3]) << 24;
        if (size > room) return 0;
        CopyOut(at, out, size);
        start = (start + kSizeBytes + size) % capacity;
        used -= kSizeBytes + size;
        if (used == 0) start = 0;
        return size;
    }

    void Clear() { start = used = 0; }

private:
    size_t CopyIn(size_t at, const void* from, size_t count) {
        const size_t first = count < capacity - at ? count : capacity - at;
        std::memcpy(bytes + at, from, first);
        std::memcpy(bytes, static_cast<const char*>(from) + first, count - first);
        return (at + count) % capacity;
    }
    size_t CopyOut(size_t at, void* to, size_t count) const {
        const size_t first = count < capacity - at ? count : capacity - at;
        std::memcpy(to, bytes + at, first);
        std::memcpy(static_cast<char*>(to) + first, bytes, count - first);
        return (at + count) % capacity;
    }
};

enum class PushResult {
    Queued,
    Dropped,  // the window is gone, or the record could never fit
};

// The queue between the capture thread and the window. The capture thread
// pushes; when the store is full it waits until the window has taken
// records, and never drops one while the window lives. The window is told
// once that records wait: the next notification goes out only after the
// window has begun to take them (BeginTaking), so that a record pushed
// after the window's last look is always followed by a notification.
template <typename Platform>
struct HandOverQueue {
    Platform platform;
    RecordRing ring;
    bool notifyPending = false;   // a notification is on its way to the window
    bool waitingForRoom = false;  // the capture thread waits for room
    bool closed = false;          // the window is gone

    // The capture thread's side.
    PushResult Push(const void* record, size_t size) {
        platform.Lock();
        for (;;) {
            if (closed || !ring.CanEverHold(size)) {
                platform.Unlock();
                return PushResult::Dropped;
            }
            if (ring.Push(record, size)) break;
            waitingForRoom = true;
            platform.Unlock();
            platform.WaitForRoom();
            platform.Lock();
        }
        const bool notify = !notifyPending;
        notifyPending = true;
        platform.Unlock();
        if (notify) platform.NotifyWindow();
        return PushResult::Queued;
    }

    // The window's side: a notification came, and it is about to take
    // every record there is.
    void BeginTaking() {
        platform.Lock();
        notifyPending = false;
        platform.Unlock();
    }
    // The oldest record, moved into out (room bytes, kMaxCapturedRecord
    // at least); its size, or 0 when none waits.
    size_t Take(void* out, size_t room) {
        platform.Lock();
        const size_t size = closed ? 0 : ring.Take(out, room);
        const bool wake = size > 0 && waitingForRoom;
        if (wake) waitingForRoom = false;
        platform.Unlock();
        if (wake) platform.WakeForRoom();
        return size;
    }
    // The window is gone: what waits is dropped, and so is every record
    // pushed from now on; a capture thread waiting for room goes on.
    void Close() {
        platform.Lock();
        closed = true;
        ring.Clear();
        const bool wake = waitingForRoom;
        waitingForRoom = false;
        platform.Unlock();
        if (wake) platform.WakeForRoom();
    }
};

}  // namespace murlo

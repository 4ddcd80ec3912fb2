// Several threads of one process, and several processes, sending at once:
// nothing is lost, each thread's records keep their order, and the lines
// of one dump are never split by another record.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/client_support.h"
#include "support/wine_support.h"

namespace {

using murlo::test::ReceivedRecord;
using murlo::test::RecordingWindow;

// What the driver's "threads" command sends per thread: RECORDS texts
// "T<thread> <i>" and, after every tenth, a dump of 40 bytes of the
// thread's letter ('a' + thread), which takes three lines.
struct Tally {
    int texts = 0;
    int dumps = 0;
};

bool IsDumpLine(const std::string& text) { return text.size() == 79 && text[8] == ':' && text[59] == ':'; }

uint32_t LineAddress(const std::string& text) { return static_cast<uint32_t>(strtoul(text.substr(0, 8).c_str(), nullptr, 16)); }

// Walks the records of one process in arrival order, adding per thread what
// arrived. The lock is per process: records of other processes may come
// between the lines of a dump, records of the same process may not.
void CheckProcess(const std::vector<ReceivedRecord>& records, std::map<std::pair<uint32_t, int>, Tally>& tallies) {
    for (size_t i = 0; i < records.size(); ++i) {
        const ReceivedRecord& record = records[i];
        EXPECT_EQ(record.size, 1312u);
        if (IsDumpLine(record.text)) {
            // Three lines of one dump in a row.
            if (i + 2 >= records.size()) {
                ADD_FAILURE() << "dump cut off at record " << i;
                break;
            }
            const uint32_t address = LineAddress(record.text);
            const char letter = record.text[60];
            for (size_t k = 1; k < 3; ++k) {
                const ReceivedRecord& next = records[i + k];
                EXPECT_TRUE(IsDumpLine(next.text)) << "dump split at record " << i + k << ": " << next.text;
                EXPECT_EQ(next.processId, record.processId) << "record " << i + k;
                EXPECT_EQ(LineAddress(next.text), address + 16 * k) << "record " << i + k;
                EXPECT_EQ(next.text[60], letter) << "record " << i + k;
            }
            ++tallies[{record.processId, letter - 'a'}].dumps;
            i += 2;
            continue;
        }
        int thread = -1, index = -1;
        if (sscanf(record.text.c_str(), "T%d %d", &thread, &index) != 2) {
            ADD_FAILURE() << "unexpected record " << i << ": " << record.text;
            continue;
        }
        EXPECT_EQ(record.text.substr(record.text.size() - 2), "\r\n");
        Tally& tally = tallies[{record.processId, thread}];
        EXPECT_EQ(index, tally.texts) << "thread " << thread << " of process " << record.processId;
        tally.texts = index + 1;
    }
}

std::map<std::pair<uint32_t, int>, Tally> CheckOrder(const std::vector<ReceivedRecord>& records) {
    std::map<uint32_t, std::vector<ReceivedRecord>> byProcess;
    for (const auto& record : records) byProcess[record.processId].push_back(record);
    std::map<std::pair<uint32_t, int>, Tally> tallies;
    for (const auto& [process, own] : byProcess) CheckProcess(own, tallies);
    return tallies;
}

using ClientConcurrency = murlo::test::RecordingConsoleTest;

TEST_F(ClientConcurrency, ThreadsOfOneProcess) {
    auto result = murlo::test::RunDriver({"threads", "4", "150"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(console.records.size(), 4u * (150 + 15 * 3));
    auto tallies = CheckOrder(console.records);
    EXPECT_EQ(tallies.size(), 4u);
    for (const auto& [key, tally] : tallies) {
        EXPECT_EQ(key.first, result.processId);
        EXPECT_EQ(tally.texts, 150) << "thread " << key.second;
        EXPECT_EQ(tally.dumps, 15) << "thread " << key.second;
    }
}

TEST_F(ClientConcurrency, SeveralProcesses) {
    std::vector<murlo::test::Process> drivers;
    for (int i = 0; i < 3; ++i) drivers.push_back(murlo::test::StartDriver({"threads", "2", "100"}));
    for (auto& driver : drivers) {
        EXPECT_EQ(murlo::test::WaitProcess(driver, 60000), 0);
        murlo::test::CloseProcess(driver);
    }
    EXPECT_EQ(console.pings, 3);
    EXPECT_EQ(console.records.size(), 3u * 2 * (100 + 10 * 3));
    auto tallies = CheckOrder(console.records);
    EXPECT_EQ(tallies.size(), 6u);
    for (const auto& [key, tally] : tallies) {
        EXPECT_EQ(tally.texts, 100) << "process " << key.first << " thread " << key.second;
        EXPECT_EQ(tally.dumps, 10) << "process " << key.first << " thread " << key.second;
    }
}

}  // namespace

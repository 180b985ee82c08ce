#include "reports/log_file.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes.h"
#include "reports/event_log.h"

namespace velt::test {
namespace {

const std::string kFolder = "C:\\ProgramData\\Veltrano";
const std::string kPath = kFolder + "\\Veltrano.log";
const std::string kOld = kFolder + "\\Veltrano.old.log";
constexpr char kDiskFull[] = "There is not enough space on the disk";

// Files and folders in memory; a file's bytes need their folder. Each kind of
// operation can be made to fail.
struct MemoryFiles : IFileAppender {
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    bool failFolders = false, failAppends = false, failRenames = false;
    int folderCalls = 0;

    uint64_t SizeOf(const std::string& path) override {
        const auto it = files.find(path);
        return it == files.end() ? 0 : it->second.size();
    }
    bool MakeFolder(const std::string& path, std::string& error) override {
        ++folderCalls;
        if (failFolders) error = "The system cannot find the path specified";
        if (!failFolders) folders.insert(path);
        return !failFolders;
    }
    bool Append(const std::string& path, const std::string& bytes, std::string& error) override {
        const bool fits = !failAppends && folders.count(path.substr(0, path.rfind('\\')));
        if (!fits) error = kDiskFull;
        if (fits) files[path] += bytes;
        return fits;
    }
    bool Replace(const std::string& from, const std::string& to, std::string& error) override {
        if (failRenames) error = "The process cannot access the file because it is being used by another process";
        if (failRenames || !files.count(from)) return false;
        files[to] = std::move(files[from]);
        files.erase(from);
        return true;
    }
};

struct Rig {
    MemoryFiles disk;
    std::vector<std::string> reports;
    LogFile log{disk, kFolder, [this](const std::string& r) { reports.push_back(r); }};

    // A file of `size` bytes before the next line.
    void Fill(uint64_t size) {
        disk.folders.insert(kFolder);
        disk.files[kPath] = std::string(size, 'x');
    }
};

// A line with its CR LF is this long.
const std::string kLine = "07.12.2026 22:38:46 Power Fail";
const uint64_t kLineBytes = kLine.size() + 2;

TEST(LogFile, LinesGoToTheProgramDataFolderAsTheWindowShowsThem) {
    EXPECT_EQ(LogFolder("C:\\ProgramData"), kFolder);
    FixedFormat fmt;
    EventLog shown;
    Rig rig;
    rig.log.Append(shown.Add("Power Fail", {2026, 12, 7, 22, 38, 46, 5}, fmt));
    rig.log.Append(shown.Add("Start Monitoring", {2026, 12, 8, 0, 0, 0, 0}, fmt));
    EXPECT_EQ(rig.log.Path(), kPath);
    EXPECT_EQ(rig.disk.files[kPath], LogFileText(shown.Lines()));
    EXPECT_EQ(rig.disk.files[kPath], "07.12.2026 22:38:46 Power Fail\r\n08.12.2026 Start Monitoring\r\n");
    EXPECT_EQ(rig.disk.folderCalls, 1);  // made once, not per line
    EXPECT_TRUE(rig.reports.empty());
}

TEST(LogFile, MovedAsideOnlyWhenTheLineWouldPassOneMegabyte) {
    struct Case {
        const char* what;
        uint64_t before;
        bool rotated;
    };
    const Case cases[] = {
        {"the line ends exactly at 1 MB", kLogFileLimit - kLineBytes, false},
        {"one byte over", kLogFileLimit - kLineBytes + 1, true},
        {"already at 1 MB", kLogFileLimit, true},
        {"past 1 MB after a failed move", kLogFileLimit + 500, true},
        {"empty file", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.Fill(c.before);
        rig.disk.files[kOld] = "an older file";
        rig.log.Append(kLine);
        const uint64_t oldSize = rig.disk.files[kOld].size();
        EXPECT_EQ(rig.disk.files[kPath].size(), c.rotated ? kLineBytes : c.before + kLineBytes);
        EXPECT_EQ(oldSize, c.rotated ? c.before : std::string("an older file").size());
        EXPECT_TRUE(rig.reports.empty());
    }
    EXPECT_EQ(kLogFileLimit, 1048576u);
}

TEST(LogFile, OneOldFileIsKept) {
    Rig rig;
    // Lines of 256 KiB with their CR LF: four fill a file exactly.
    const std::string quarter(kLogFileLimit / 4 - 2, 'q');
    for (char generation : {'a', 'b', 'c'})
        for (int i = 0; i < 4; ++i) rig.log.Append(std::string(1, generation) + quarter.substr(1));
    rig.log.Append("last");
    EXPECT_EQ(rig.disk.files.size(), 2u);
    EXPECT_EQ(rig.disk.files[kPath], "last\r\n");
    EXPECT_EQ(rig.disk.files[kOld].size(), kLogFileLimit);
    EXPECT_EQ(rig.disk.files[kOld].front(), 'c');
}

TEST(LogFile, AFailingDiskDropsLinesAndIsToldOnceUntilItWorksAgain) {
    struct Case {
        const char* what;
        bool MemoryFiles::*fault;
        const char* report;
    };
    const Case cases[] = {
        {"disk full", &MemoryFiles::failAppends,
         "Cannot write to file \"C:\\ProgramData\\Veltrano\\Veltrano.log\". There is not enough space on the disk"},
        {"no folder", &MemoryFiles::failFolders,
         "Cannot create folder \"C:\\ProgramData\\Veltrano\". The system cannot find the path specified"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.disk.*c.fault = true;
        for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(rig.log.Append("lost"));
        EXPECT_EQ(rig.reports, std::vector<std::string>{c.report});
        EXPECT_EQ(rig.disk.files.count(kPath), 0u);

        rig.disk.*c.fault = false;
        rig.log.Append("kept");
        EXPECT_EQ(rig.disk.files[kPath], "kept\r\n");
        rig.disk.failAppends = true;
        rig.log.Append("lost again");
        EXPECT_EQ(rig.reports.size(), 2u);  // told again after the success
    }
}

TEST(LogFile, AFolderGoneWithItsFileIsMadeAgain) {
    Rig rig;
    rig.log.Append("one");
    rig.disk.folders.clear();
    rig.disk.files.clear();
    rig.log.Append("lost");
    rig.log.Append("two");
    EXPECT_EQ(rig.disk.files[kPath], "two\r\n");
    EXPECT_EQ(rig.reports.size(), 1u);
}

TEST(LogFile, AFileThatCannotBeMovedAsideKeepsItsLinesAndIsToldOnce) {
    Rig rig;
    rig.Fill(kLogFileLimit);
    rig.disk.files[kOld] = "older";
    rig.disk.failRenames = true;
    rig.log.Append("one");
    rig.log.Append("two");
    EXPECT_EQ(rig.disk.files[kPath].size(), kLogFileLimit + 10);
    EXPECT_EQ(rig.disk.files[kOld], "older");
    ASSERT_EQ(rig.reports.size(), 1u);
    EXPECT_EQ(rig.reports[0],
              "Cannot rename file \"C:\\ProgramData\\Veltrano\\Veltrano.log\" to "
              "\"C:\\ProgramData\\Veltrano\\Veltrano.old.log\". "
              "The process cannot access the file because it is being used by another process");

    // A write failing as well is told on its own; the line is dropped.
    rig.disk.failAppends = true;
    rig.log.Append("lost");
    EXPECT_EQ(rig.reports.size(), 2u);

    // The next line moves the oversized file aside; a later refusal is told anew.
    rig.disk.failAppends = rig.disk.failRenames = false;
    rig.log.Append("three");
    EXPECT_EQ(rig.disk.files[kPath], "three\r\n");
    EXPECT_EQ(rig.disk.files[kOld].size(), kLogFileLimit + 10);
    rig.Fill(kLogFileLimit);
    rig.disk.failRenames = true;
    rig.log.Append("four");
    EXPECT_EQ(rig.reports.size(), 3u);
}

}  // namespace
}  // namespace velt::test

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

// Files and folders in memory; a file needs its folder. Each operation can be made to fail.
struct MemoryFiles : IFileAppender {
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    bool failFolders = false, failAppends = false, failRenames = false;
    int folderCalls = 0;

    uint64_t SizeOf(const std::string& path) override { return files.count(path) ? files[path].size() : 0; }
    bool MakeFolder(const std::string& path, std::string& error) override {
        ++folderCalls;
        error = "The system cannot find the path specified";
        if (!failFolders) folders.insert(path);
        return !failFolders;
    }
    bool Append(const std::string& path, const std::string& bytes, std::string& error) override {
        error = "There is not enough space on the disk";
        if (failAppends || !folders.count(path.substr(0, path.rfind('\\')))) return false;
        files[path] += bytes;
        return true;
    }
    bool Replace(const std::string& from, const std::string& to, std::string& error) override {
        error = "The file is being used by another process";
        if (failRenames || !files.count(from)) return false;
        files[to] = std::move(files[from]);
        return files.erase(from) == 1;
    }
};

struct Rig {
    MemoryFiles disk;
    std::vector<std::string> reports;
    LogFile log{disk, LogFolder("C:\\ProgramData"), [this](const std::string& r) { reports.push_back(r); }};

    void Fill(uint64_t size, const std::string& old = "older") {
        disk.folders.insert(kFolder);
        disk.files[kPath] = std::string(size, 'x');
        disk.files[kOld] = old;
    }
};

const std::string kLine = "07.12.2026 22:38:46 Power Fail";
const uint64_t kLineBytes = kLine.size() + 2;  // with CR LF

TEST(LogFile, LinesGoToTheProgramDataFolderAsTheWindowShowsThem) {
    FixedFormat fmt;
    EventLog shown;
    Rig rig;
    rig.log.Append(shown.Add("Power Fail", {2026, 12, 7, 22, 38, 46, 5}, fmt));
    rig.log.Append(shown.Add("Start Monitoring", {2026, 12, 8, 0, 0, 0, 0}, fmt));
    EXPECT_EQ(rig.log.Path(), kPath);
    EXPECT_EQ(rig.disk.files[kPath], "07.12.2026 22:38:46 Power Fail\r\n08.12.2026 Start Monitoring\r\n");
    EXPECT_EQ(rig.disk.folderCalls, 1);  // made once, not per line
    EXPECT_TRUE(rig.reports.empty());
}

TEST(LogFile, MovedAsideOnlyWhenTheLineWouldPassOneMegabyte) {
    struct Case {
        const char* what;
        uint64_t before;
        bool moved;
    };
    const Case cases[] = {
        {"the line ends exactly at 1 MB", 1048576 - kLineBytes, false},
        {"one byte over", 1048576 - kLineBytes + 1, true},
        {"past 1 MB after a failed move", 1048576 + 500, true},
        {"empty file", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.Fill(c.before);
        rig.log.Append(kLine);
        EXPECT_EQ(rig.disk.files[kPath].size(), c.moved ? kLineBytes : c.before + kLineBytes);
        EXPECT_EQ(rig.disk.files[kOld], c.moved ? std::string(c.before, 'x') : "older");
    }
    // Twelve lines of 256 KiB: the old file holds the third four.
    Rig rig;
    for (char generation : {'a', 'b', 'c'})
        for (int i = 0; i < 4; ++i) rig.log.Append(std::string(kLogFileLimit / 4 - 2, generation));
    rig.log.Append("last");
    EXPECT_EQ(rig.disk.files.size(), 2u);
    EXPECT_EQ(rig.disk.files[kPath], "last\r\n");
    EXPECT_EQ(rig.disk.files[kOld], LogFileText(std::vector(4, std::string(kLogFileLimit / 4 - 2, 'c'))));
}

TEST(LogFile, AFailingDiskDropsLinesAndIsToldOnceUntilItWorksAgain) {
    struct Case {
        bool MemoryFiles::*fault;
        const char* report;
    };
    const Case cases[] = {
        {&MemoryFiles::failAppends,
         "Cannot write to file \"C:\\ProgramData\\Veltrano\\Veltrano.log\". There is not enough space on the disk"},
        {&MemoryFiles::failFolders,
         "Cannot create folder \"C:\\ProgramData\\Veltrano\". The system cannot find the path specified"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report);
        Rig rig;
        rig.disk.*c.fault = true;
        for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(rig.log.Append("lost"));
        EXPECT_EQ(rig.reports, std::vector<std::string>{c.report});
        rig.disk.*c.fault = false;
        rig.log.Append("kept");
        EXPECT_EQ(rig.disk.files[kPath], "kept\r\n");
        // The folder removed with its file: the line is lost, told anew, and the folder made again.
        rig.disk.folders.clear();
        rig.log.Append("lost");
        rig.log.Append("kept");
        EXPECT_EQ(rig.reports.size(), 2u);
        EXPECT_EQ(rig.disk.files[kPath], "kept\r\nkept\r\n");
    }
}

TEST(LogFile, AFileThatCannotBeMovedAsideKeepsItsLinesAndIsToldOnce) {
    Rig rig;
    rig.Fill(kLogFileLimit);
    rig.disk.failRenames = true;
    rig.log.Append("one");
    rig.log.Append("two");
    EXPECT_EQ(rig.disk.files[kPath].size(), kLogFileLimit + 10);
    EXPECT_EQ(rig.disk.files[kOld], "older");
    EXPECT_EQ(rig.reports.size(), 1u);
    // The next line moves the oversized file aside; a later refusal is told anew.
    rig.disk.failRenames = false;
    rig.log.Append("three");
    EXPECT_EQ(rig.disk.files[kPath], "three\r\n");
    EXPECT_EQ(rig.disk.files[kOld].size(), kLogFileLimit + 10);
    rig.Fill(kLogFileLimit);
    rig.disk.failRenames = true;
    rig.log.Append("four");
    EXPECT_EQ(rig.reports.size(), 2u);
}

}  // namespace
}  // namespace velt::test

#include "core/hid_discovery.h"

#include <gtest/gtest.h>

#include "main_form_rig.h"

namespace velt::test {
namespace {

struct Discovery : ::testing::Test {
    VirtualTime time;
    TUPSLink link;
    FakeLock lock;
    FakeHidController hid;
    FakeLog log;
    FakeFeedback feedback;
    FakeHidListView view;
    AcceptedIds accepted;
    bool arrivalsIgnored = false;
    bool detects = true;
    std::vector<std::string> calls;
    HidDiscovery discovery{{link, lock, hid, log, feedback, view, accepted, [this] { return arrivalsIgnored; },
                             [this] {
                                 calls.push_back("detect");
                                 return detects;
                             },
                             [this] { calls.push_back("start"); }, [this] { calls.push_back("stop"); }}};
};

TEST_F(Discovery, LastAcceptedDeviceWinsAndOthersStayCheckedOut) {
    hid.Add(time, 0x06DA, 0x0003, "First UPS");
    hid.Add(time, 0x845E, 0x0001, "Wine mouse");
    FakeHid& second = hid.Add(time, 0x0F03, 0x0001, "Second UPS");
    EXPECT_TRUE(discovery.FindUsbUps());
    EXPECT_EQ(link.HidDevice, &second);
    EXPECT_EQ(link.Vid, 0x0F03);
    EXPECT_EQ(view.entries, (std::vector<std::string>{"First UPS", "Second UPS"}));
    EXPECT_EQ(hid.checkedOut, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "Device(s) enumerated", "HID found: Device VID=06DA PID=0003", "USB UPS enumerated",
                             "HID found: Device VID=845E PID=0001", "HID found: Device VID=0F03 PID=0001",
                             "USB UPS enumerated"}));
    EXPECT_EQ(feedback.status, "USB UPS found");

    // A new search gives every device back first.
    EXPECT_TRUE(discovery.FindUsbUps());
    EXPECT_EQ(hid.ops, (std::vector<std::string>{"out 0", "out 2", "in 0", "in 2", "out 0", "out 2"}));
}

TEST_F(Discovery, EmptyProductStringIsListedByItsIds) {
    hid.Add(time, 0x0665, 0x5161, "");
    EXPECT_TRUE(discovery.FindUsbUps());
    EXPECT_EQ(view.entries, std::vector<std::string>{"Device VID=665 PID=5161"});
    EXPECT_EQ(view.vid, "0665");
    EXPECT_EQ(view.pid, "5161");
    EXPECT_EQ(log.lines[1], "HID found: Device VID=0665 PID=5161");
}

TEST_F(Discovery, ExtraPairFromTheCommandLine) {
    hid.Add(time, 0x1234, 0xABCD);
    EXPECT_FALSE(discovery.FindUsbUps());
    accepted = {0x1234, 0xABCD};
    EXPECT_TRUE(discovery.FindUsbUps());
}

TEST_F(Discovery, AllOnesPairIsAcceptedWithoutTheSwitch) {
    hid.Add(time, 0xFFFF, 0xFFFF);
    EXPECT_TRUE(discovery.FindUsbUps());
}

TEST_F(Discovery, DeviceThatCannotBeCheckedOutIsSkipped) {
    hid.Add(time, 0x0665, 0x5161);
    hid.checkedOut[0] = true;  // held elsewhere
    EXPECT_FALSE(discovery.FindUsbUps());
    EXPECT_EQ(link.HidDevice, nullptr);
    EXPECT_TRUE(view.entries.empty());
}

TEST_F(Discovery, ArrivalStartsMonitoringOnlyWhenIdleAndAfterTheFirstTick) {
    FakeHid& ups = hid.Add(time, 0x0665, 0x5161);
    arrivalsIgnored = true;
    discovery.HIDArrival(ups);
    EXPECT_TRUE(calls.empty());
    arrivalsIgnored = false;
    link.Monitoring = true;  // already monitoring over serial
    discovery.HIDArrival(ups);
    EXPECT_TRUE(calls.empty());
    link.Monitoring = false;
    discovery.HIDArrival(ups);
    EXPECT_EQ(calls, (std::vector<std::string>{"detect", "start"}));
    EXPECT_TRUE(link.UsbActive && link.Monitoring);
    EXPECT_EQ(lock.depth, 0);
}

TEST_F(Discovery, FailedDetectionOnArrivalKeepsTheDevice) {
    FakeHid& ups = hid.Add(time, 0x0665, 0x5161);
    detects = false;
    discovery.HIDArrival(ups);
    EXPECT_TRUE(link.UsbActive);
    EXPECT_FALSE(link.Monitoring);
    EXPECT_EQ(calls, std::vector<std::string>{"detect"});
}

TEST_F(Discovery, OnlyTheMonitoredDeviceStopsMonitoringWhenRemoved) {
    FakeHid& other = hid.Add(time, 0x0665, 0x5161);
    FakeHid& ups = hid.Add(time, 0x0665, 0x5161);
    discovery.HIDArrival(ups);
    ASSERT_EQ(link.HidDevice, &ups);
    discovery.HIDRemoval(other);
    EXPECT_TRUE(link.Monitoring);
    discovery.HIDRemoval(ups);
    EXPECT_FALSE(link.Monitoring || link.UsbActive);
    EXPECT_EQ(link.HidDevice, nullptr);
    EXPECT_EQ(calls.back(), "stop");
    EXPECT_EQ(log.lines.back(), "Device(s) VID:0x0665 PID:0x5161 removed");
    discovery.HIDDeviceChange();
    EXPECT_EQ(log.lines.back(), "Device(s) changed");
}

}  // namespace
}  // namespace velt::test

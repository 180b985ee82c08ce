#include "core/com_port.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace velt::test {
namespace {

struct PortSelection : ::testing::Test {
    VirtualTime time;
    FakePorts ports{time};
    FakeDialog dialog;
    FakeLog log;
    TUPSLink link;
};

TEST_F(PortSelection, ListsFreePortsInOrderAndUsesTheChosenOne) {
    ports.present = {{3, true}, {1, true}};
    dialog.rts = true;
    ASSERT_TRUE(OpenComPort(link, ports, dialog, time, log));
    EXPECT_EQ(dialog.ports, (std::vector<std::string>{"COM1", "COM3"}));
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(link.ComPort, 1);
    EXPECT_TRUE(link.ComDtr);
    EXPECT_TRUE(link.ComRts);
    auto* port = static_cast<FakeSerial*>(link.ComHandle.get());
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->applied.dtrControl, LineControl::Enable);
    EXPECT_EQ(port->applied.rtsControl, LineControl::Enable);
}

TEST_F(PortSelection, RememberedPortOpensWithoutTheDialogEvenWhenUnlisted) {
    ports.present = {{2, true}};
    ports.failOpensOf = 1;  // busy during the scan
    link.ComPort = 2;
    ASSERT_TRUE(OpenComPort(link, ports, dialog, time, log));
    EXPECT_EQ(dialog.shown, 0);
    EXPECT_TRUE(dialog.ports.empty());
}

TEST_F(PortSelection, AttemptsAreBoundedByMaxAttempts) {
    link.ComPort = 4;  // never opens
    for (int max : {0, 5}) {
        ports.opened.clear();
        link.ComMaxAttempts = max;
        EXPECT_FALSE(OpenComPort(link, ports, dialog, time, log));
        EXPECT_EQ(ports.opened.size(), 9u + max + 1) << max;
    }
    ports.opened.clear();
    link.ComMaxAttempts = -7;  // a nonsense setting still tries once
    EXPECT_FALSE(OpenComPort(link, ports, dialog, time, log));
    EXPECT_EQ(ports.opened.size(), 10u);
}

TEST_F(PortSelection, RetriesUntilTheOpenSucceeds) {
    ports.present = {{1, true}};
    link.ComPort = 1;
    ports.failOpensOf = 1 + 3;  // the scan's open, then three attempts
    EXPECT_TRUE(OpenComPort(link, ports, dialog, time, log));
    EXPECT_TRUE(log.lines.empty());  // a port that came up in the end is no failure
}

TEST_F(PortSelection, CancelAndEmptyListGiveFalse) {
    ports.present = {{1, true}};
    dialog.ok = false;
    EXPECT_FALSE(OpenComPort(link, ports, dialog, time, log));
    EXPECT_EQ(link.ComPort, 0);

    ports.present.clear();
    dialog.ok = true;
    EXPECT_FALSE(OpenComPort(link, ports, dialog, time, log));
    EXPECT_EQ(link.ComPort, 0);
    EXPECT_EQ(link.ComHandle, nullptr);
}

TEST_F(PortSelection, OpeningClosesThePreviousPort) {
    bool destroyed = false;
    auto old = std::make_unique<FakeSerial>(time);
    old->destroyed = &destroyed;
    link.ComHandle = std::move(old);
    dialog.ok = false;
    OpenComPort(link, ports, dialog, time, log);
    EXPECT_TRUE(destroyed);
}

TEST(ConfigureComPort, SetsAStateWindowsAcceptsWithFlowControlOffAndTheLinesFromTheFlags) {
    for (const bool dtr : {false, true}) {
        for (const bool rts : {false, true}) {
            VirtualTime time;
            auto owned = std::make_unique<FakeSerial>(time);
            FakeSerial* port = owned.get();
            std::unique_ptr<ISerialPort> handle = std::move(owned);
            ASSERT_TRUE(ConfigureComPort(handle, dtr, rts, time));  // the port is gone when refused
            const SerialLineSettings& s = port->applied;
            EXPECT_EQ(s.baudRate, 2400u);
            EXPECT_EQ(s.byteSize, 8);
            EXPECT_EQ(s.parity, 0);
            EXPECT_EQ(s.stopBits, 0);
            EXPECT_EQ(s.eofChar, 0);
            EXPECT_EQ(s.xonChar, 0x11);
            EXPECT_EQ(s.xoffChar, 0x13);
            EXPECT_FALSE(s.inX || s.outX || s.outxCtsFlow || s.outxDsrFlow || s.dsrSensitivity || s.abortOnError);
            EXPECT_EQ(s.dtrControl, dtr ? LineControl::Enable : LineControl::Disable);
            EXPECT_EQ(s.rtsControl, rts ? LineControl::Enable : LineControl::Disable);
            EXPECT_EQ(port->timeouts.readTotalConstant, 500u);
            EXPECT_EQ(port->timeouts.writeTotalConstant, 0u);
            const std::vector<std::string> expected{"GetLine", "SetLine", "Timeouts", "Purge", "Mask"};
            EXPECT_EQ(port->ops, expected);
            EXPECT_EQ(time.sleeps, std::vector<unsigned>{100});
        }
    }
}

TEST(ConfigureComPort, AnyFailingStepClosesThePort) {
    VirtualTime time;
    for (int step = 0; step < 5; ++step) {
        auto port = std::make_unique<FakeSerial>(time);
        bool destroyed = false;
        port->destroyed = &destroyed;
        port->getOk = step != 0;
        port->setOk = step != 1;
        port->timeoutsOk = step != 2;
        port->purgeOk = step != 3;
        port->maskOk = step != 4;
        std::unique_ptr<ISerialPort> handle = std::move(port);
        EXPECT_FALSE(ConfigureComPort(handle, true, true, time)) << step;
        EXPECT_EQ(handle, nullptr);
        EXPECT_TRUE(destroyed);
    }
}

TEST(ComPortNumber, OnlyComNames) {
    EXPECT_EQ(ComPortNumber("COM1"), 1);
    EXPECT_EQ(ComPortNumber("COM9"), 9);
    EXPECT_FALSE(ComPortNumber("COM"));
    EXPECT_FALSE(ComPortNumber("COM0"));
    EXPECT_FALSE(ComPortNumber("LPT1"));
    EXPECT_FALSE(ComPortNumber("COM1x"));
}

}  // namespace
}  // namespace velt::test

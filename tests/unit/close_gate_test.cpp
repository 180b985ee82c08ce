// The main window's closing rule around running handlers.
#include "ui/close_gate.h"

#include <gtest/gtest.h>

namespace velt::ui {
namespace {

using Close = CloseGate::Close;

TEST(CloseGate, IdleWindowClosesAtOnceAndRunsNoHandlerAfter) {
    CloseGate g;
    EXPECT_EQ(g.OnClose(true), Close::Now);
    EXPECT_TRUE(g.Closing());
    EXPECT_FALSE(g.BeginHandler());
    EXPECT_EQ(g.OnClose(true), Close::Refused);  // a second close does nothing
}

TEST(CloseGate, RefusedCloseOnlyHides) {
    CloseGate g;
    EXPECT_EQ(g.OnClose(false), Close::Refused);
    EXPECT_FALSE(g.Closing());
    EXPECT_TRUE(g.BeginHandler());
}

// A close during the port dialog of a connect waits for the connect to end.
TEST(CloseGate, CloseDuringAHandlerWaitsForTheOutermostToEnd) {
    CloseGate g;
    ASSERT_TRUE(g.BeginHandler());  // the start timer's connect
    ASSERT_TRUE(g.BeginHandler());  // a tray menu Exit inside its dialog
    EXPECT_EQ(g.OnClose(true), Close::Deferred);
    EXPECT_FALSE(g.Closing());
    EXPECT_FALSE(g.EndHandler());  // the inner one
    EXPECT_TRUE(g.Busy());
    EXPECT_TRUE(g.EndHandler());  // the outer one: now
    EXPECT_FALSE(g.Busy());
    EXPECT_FALSE(g.EndHandler());  // only once
    EXPECT_EQ(g.OnClose(true), Close::Now);
}

TEST(CloseGate, RefusedCloseDuringAHandlerLeavesNothingPending) {
    CloseGate g;
    ASSERT_TRUE(g.BeginHandler());
    EXPECT_EQ(g.OnClose(false), Close::Refused);
    EXPECT_FALSE(g.EndHandler());
}

}  // namespace
}  // namespace velt::ui

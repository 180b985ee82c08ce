// The main window's layout table: everything inside the fixed client area and
// its page, nothing overlapping, groups enclosing what they hold.
#include "ui/main_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace velt::ui::layout {
namespace {

bool IsNamed(int id) {
    for (const auto& n : kNamedControls)
        if (n.id == id) return true;
    return false;
}

std::string Describe(const ControlSpec& c) { return std::string(TextOf(c.text)) + " (" + std::to_string(c.id) + ")"; }

constexpr Box kPageArea{0, 0, kPageWidth, kPageHeight};
constexpr Box kRepPageArea{0, 0, kRepPageWidth, kRepPageHeight};

bool IsLabel(Kind k) { return k == Kind::Label || k == Kind::LabelRight || k == Kind::LabelCenter; }

const ControlSpec* Spec(int id) {
    for (const auto& c : kMainControls)
        if (c.id == id) return &c;
    return nullptr;
}
// The group box caption takes the top of the group; contents start below it.
constexpr int kGroupCaptionHeight = 14;

TEST(MainLayout, ToolbarHoldsAllTwelveButtonsWithinTheClientWidth) {
    for (int slot = 0; slot < kToolbarSlots; ++slot) {
        const Box b = ToolSlot(slot);
        EXPECT_GE(b.x, 0) << slot;
        EXPECT_LE(b.Right(), kClientWidth) << slot;
        EXPECT_LE(b.Bottom(), kTabsTop) << slot;
        if (slot > 0) {
            EXPECT_GE(b.x, ToolSlot(slot - 1).Right()) << slot;
        }
    }
    // Separators after Stop, the beeper, Cancel Test and Shutdown.
    EXPECT_EQ(ToolSlot(2).x - ToolSlot(1).Right(), kToolSeparator);
    EXPECT_EQ(ToolSlot(3).x - ToolSlot(2).Right(), kToolSeparator);
    EXPECT_EQ(ToolSlot(4).x, ToolSlot(3).Right());
    EXPECT_EQ(ToolSlot(7).x - ToolSlot(6).Right(), kToolSeparator);
    EXPECT_EQ(ToolSlot(10).x - ToolSlot(9).Right(), kToolSeparator);
    EXPECT_EQ(ToolSlot(11).x, ToolSlot(10).Right());
}

TEST(MainLayout, PagesFitBetweenToolbarAndStatusBar) {
    EXPECT_LE(kTabsLeft + kTabsWidth, kClientWidth);
    // Room for the page headers, the frame and a status bar of up to 24 px.
    EXPECT_LE(kTabsTop + 30 + kPageHeight + 4 + kTabsBottomGap + 24, kClientHeight);
    EXPECT_LE(kPageWidth + 8, kTabsWidth);
}

TEST(MainLayout, EveryControlLiesInsideItsArea) {
    for (const auto& c : kMainControls) {
        if (c.page == Page::Window) {
            EXPECT_TRUE((Box{0, 0, kClientWidth, kTabsTop}.Contains(c.box))) << Describe(c);
        } else if (IsRepPage(c.page)) {
            EXPECT_TRUE(kRepPageArea.Contains(c.box)) << Describe(c);
        } else {
            EXPECT_TRUE(kPageArea.Contains(c.box)) << Describe(c);
        }
        EXPECT_GE(c.box.w, 0) << Describe(c);
        EXPECT_GT(c.box.h, 0) << Describe(c);
    }
}

TEST(MainLayout, ControlsOfOnePageDoNotOverlap) {
    for (const auto& a : kMainControls) {
        for (const auto& b : kMainControls) {
            if (&a >= &b || a.page != b.page || a.kind == Kind::Group || b.kind == Kind::Group) continue;
            EXPECT_FALSE(a.box.Overlaps(b.box)) << Describe(a) << " and " << Describe(b);
        }
    }
}

TEST(MainLayout, GroupsWhollyHoldWhatTheyTouchBelowTheirCaption) {
    for (const auto& g : kMainControls) {
        if (g.kind != Kind::Group) continue;
        const Box inner{g.box.x + 1, g.box.y + kGroupCaptionHeight, g.box.w - 2, g.box.h - kGroupCaptionHeight - 1};
        for (const auto& c : kMainControls) {
            if (&c == &g || c.page != g.page || !g.box.Overlaps(c.box)) continue;
            if (c.kind == Kind::Group && c.box.Contains(g.box)) continue;  // g nests inside c
            EXPECT_TRUE(inner.Contains(c.box)) << Describe(c) << " straddles " << Describe(g);
        }
    }
}

// Creation order is z-order: a group created after its contents would hide them.
TEST(MainLayout, GroupsComeBeforeTheirContents) {
    for (size_t gi = 0; gi < std::size(kMainControls); ++gi) {
        const auto& g = kMainControls[gi];
        if (g.kind != Kind::Group) continue;
        for (size_t ci = 0; ci < gi; ++ci) {
            const auto& c = kMainControls[ci];
            EXPECT_FALSE(c.page == g.page && g.box.Contains(c.box)) << Describe(c) << " before " << Describe(g);
        }
    }
}

TEST(MainLayout, IdsAreUniqueAndKnownToTheProbe) {
    std::set<int> seen;
    for (const auto& c : kMainControls) {
        if (c.id == kNoId) {
            EXPECT_TRUE(IsLabel(c.kind)) << "only fixed labels go without an id: " << Describe(c);
            continue;
        }
        EXPECT_TRUE(seen.insert(c.id).second) << Describe(c);
        EXPECT_TRUE(IsNamed(c.id)) << Describe(c);
    }
    for (const auto& p : kPages) {
        EXPECT_TRUE(seen.insert(p.id).second) << TextOf(p.caption);
        EXPECT_TRUE(IsNamed(p.id)) << TextOf(p.caption);
    }
    for (const auto& p : kRepPages) {
        EXPECT_TRUE(seen.insert(p.id).second) << TextOf(p.caption);
        EXPECT_TRUE(IsNamed(p.id)) << TextOf(p.caption);
    }
}

TEST(MainLayout, ProbeNamesAreUniqueAndIdsTooAcrossAllWindows) {
    std::set<std::string> names;
    std::set<int> ids;
    for (const auto& n : kNamedControls) {
        EXPECT_TRUE(names.insert(n.name).second) << n.name;
        EXPECT_TRUE(ids.insert(n.id).second) << n.name;
    }
}

// The report pages sit inside the inner page control, on the Settings page,
// and the room the system leaves there takes the page size the table assumes.
TEST(MainLayout, ReportPagesFitInsideTheirPageControl) {
    const ControlSpec* rep = Spec(IDC_RepPageControl);
    ASSERT_NE(rep, nullptr);
    EXPECT_EQ(rep->page, Page::Settings);
    EXPECT_EQ(rep->kind, Kind::Tabs);
    // Page headers up to 24 px, a frame of up to 4 px each side.
    EXPECT_LE(kRepPageHeight + 24 + 8, rep->box.h);
    EXPECT_LE(kRepPageWidth + 8, rep->box.w);
    for (const auto& c : kMainControls) {
        if (c.page == Page::Settings && &c != rep) {
            EXPECT_FALSE(rep->box.Overlaps(c.box)) << Describe(c) << " under the report pages";
        }
    }
}

// Twelve tool buttons in the order of the toolbar, each in its own slot.
TEST(MainLayout, ToolbarButtonsInTheirOrder) {
    const int order[] = {IDC_StartSB,     IDC_StopSB,   IDC_UPSBeeperSB, IDC_Test10sSB,
                         IDC_TestTSB,     IDC_TestLowSB, IDC_CancelTestSB, IDC_SleepSB,
                         IDC_HibernateSB, IDC_ShutdownSB, IDC_SaveSetSB,  IDC_ExitSB};
    for (int slot = 0; slot < kToolbarSlots; ++slot) {
        const ControlSpec* c = Spec(order[slot]);
        ASSERT_NE(c, nullptr) << slot;
        EXPECT_EQ(c->page, Page::Window);
        EXPECT_EQ(c->kind, Kind::ToolButton);
        EXPECT_EQ(c->box.x, ToolSlot(slot).x) << TextOf(c->hint);
    }
}

// Every text the layout names is in the string table the resources are built
// from, and the main controls show the texts the user knows them by.
TEST(MainLayout, CaptionsAndHintsAreListedTexts) {
    const auto listed = [](StringId id) {
        for (const auto& e : kStringTable)
            if (e.id == id) return *e.text != '\0';
        return false;
    };
    for (const auto& c : kMainControls) {
        EXPECT_TRUE(c.text == kNoText || listed(c.text)) << c.id;
        EXPECT_TRUE(c.hint == kNoText || listed(c.hint)) << Describe(c);
    }
    for (const auto& p : kPages) EXPECT_TRUE(listed(p.caption)) << p.id;
    for (const auto& p : kRepPages) EXPECT_TRUE(listed(p.caption)) << p.id;

    const struct {
        int id;
        const char* text;
        const char* hint;
    } cases[] = {
        {IDC_StartSB, "Start", "Start"},
        {IDC_StopSB, "Stop", "Stop"},
        {IDC_UPSBeeperSB, "Toggle UPS Beeper", "Toggle UPS Beeper"},
        {IDC_Test10sSB, "Test for 10 seconds", "Test for 10 seconds"},
        {IDC_TestTSB, "Test for specified time period", "Test for specified time period"},
        {IDC_TestLowSB, "Test until battery low", "Test until battery low"},
        {IDC_CancelTestSB, "Cancel Test", "Cancel Test"},
        {IDC_SleepSB, "Sleep", "Sleep"},
        {IDC_HibernateSB, "Hibernate", "Hibernate"},
        {IDC_ShutdownSB, "Shutdown", "Shutdown"},
        {IDC_SaveSetSB, "Save Settings", "Save Settings"},
        {IDC_ExitSB, "Exit", "Exit"},
        {IDC_UPSGB, "UPS", nullptr},
        {IDC_VIDNL, "VID:", nullptr},
        {IDC_ProductNameNL, "Product Name:", nullptr},
        {IDC_MfrNL, "Mfr.:", nullptr},
        {IDC_VerNL, "Ver.:", nullptr},
        {IDC_Q1_L, "Q1", nullptr},
        {IDC_I_L, "I", nullptr},
        {IDC_ConnectionGB, "Connection", nullptr},
        {IDC_USBL, "USB", nullptr},
        {IDC_COML, "COM", nullptr},
        {IDC_NetL, "NUT", nullptr},
        {IDC_UPSSourceLB, "", "Where the UPS is read from; the NUT server's fields take effect at the next Start"},
        {IDC_UPSInformationGB, "UPS Information", nullptr},
        {IDC_OPCurrentCB, "O/P Current", "Show on the status page"},
        {IDC_TemperatureCB, "Temperature", "Show on the status page"},
        {IDC_UPSStatusCB, "UPS Status", "Show on the status page"},
        {IDC_UPSStatusGB, "UPS Status", nullptr},
        {IDC_UPSStatusCB1, "Power Fail", nullptr},
        {IDC_UPSStatusCB3, "AVR", nullptr},
        {IDC_UPSStatusCB5, "Standby UPS", nullptr},
        {IDC_UPSStatusCB8, "Beeper On", nullptr},
        {IDC_NominalBatteryVoltageE, "12", nullptr},
        {IDC_BatteryChargeL, "...", nullptr},
        {IDC_LogGB, "Log", nullptr},
        {IDC_ClearLogSB, "Clear Log", "Clear Log"},
        {IDC_SaveLogSB, "Save Log", "Save Log"},
        {IDC_PowerFailGB, "Power Fail", nullptr},
        {IDC_DelayCB, "Delay:", "Count down when mains power fails"},
        {IDC_MinVoltageCB, "Min. Voltage:", "Act at once below this battery voltage"},
        {IDC_ActionGB, "Action", nullptr},
        {IDC_ShutdownRB, "Shutdown", nullptr},
        {IDC_SleepRB, "Suspend", nullptr},
        {IDC_HibernateRB, "Hibernate", nullptr},
        {IDC_NothingRB, "Nothing", nullptr},
        {IDC_UPSShutdownCB, "UPS Shutdown", "Tell the UPS to switch itself off"},
        {IDC_ExCB, "Run program", nullptr},
        {IDC_ExSB, "...", "External Program Select..."},
        {IDC_SettingsGB, "Settings", nullptr},
        {IDC_AutoRunCB, "AutoRun", "Start with the user's log-on"},
        {IDC_ForceSuspendCB, "Force Suspend", nullptr},
        {IDC_ForceShutdownCB, "Force Shutdown", nullptr},
        {IDC_BalloonCB, "Balloon Hints", nullptr},
        {IDC_AboutGB, "About", nullptr},
        {IDC_ProgNameL, "Veltrano", nullptr},
        {IDC_HTTPCB, "Enabled", "Serve the status page"},
        {IDC_NUTCommandsCB, "UPS commands", "Offer the UPS's commands to logged-in clients"},
        {IDC_LANRepSB, "Send Test Report", "Send Test Report"},
        {IDC_WebhookTestSB, "Send test", "Send test"},
        {IDC_NtfyTestSB, "Send test", "Send test"},
        {IDC_WebhookURLE, "", "http or https address that receives a JSON POST"},
        {IDC_WebhookHeaderE, "", "One header line, Name: value, e.g. Authorization: Bearer ..."},
        {IDC_WebhookReportsCB, "Reports", "Post the status reports too"},
        {IDC_NtfyWarningsCB, "Warnings", "Send a notice of each event"},
        {IDC_HistorySpanLB, "", "How far back the chart and the outages reach"},
        {IDC_HistoryExportSB, "Export CSV", "Save the minutes of this span as a CSV file"},
        {IDC_HistoryChart, "No history for this span yet", nullptr},
    };
    for (const auto& c : cases) {
        const ControlSpec* spec = Spec(c.id);
        ASSERT_NE(spec, nullptr) << c.text;
        EXPECT_STREQ(TextOf(spec->text), c.text) << c.id;
        EXPECT_STREQ(TextOf(spec->hint), c.hint ? c.hint : "") << c.id;
    }

    // The unit beside the temperature, in the ANSI code page.
    int celsius = 0;
    for (const auto& c : kMainControls)
        if (c.id == kNoId && c.page == Page::Status && c.box.y == ReadingUnit(6).y) {
            EXPECT_STREQ(TextOf(c.text), "\xB0" "C");
            ++celsius;
        }
    EXPECT_EQ(celsius, 1);
}

// Shown only once the UPS told them: the identity labels, the probe labels,
// the connection kinds, and the display-only status bits.
TEST(MainLayout, FieldsWaitingForTheUpsStartDisabled) {
    for (const int id : {IDC_VIDNL, IDC_VIDE, IDC_PIDNL, IDC_PIDE, IDC_ProductNameNL, IDC_ProductNameE, IDC_MfrNL,
                         IDC_MfrE, IDC_ModelNL, IDC_ModelE, IDC_VerNL, IDC_VerE, IDC_Q1_L, IDC_QS_L, IDC_F_L, IDC_I_L,
                         IDC_USBL, IDC_COML, IDC_NetL, IDC_UPSStatusGB, IDC_AVRModeL}) {
        ASSERT_NE(Spec(id), nullptr) << id;
        EXPECT_TRUE(Spec(id)->flags & kStartsDisabled) << Describe(*Spec(id));
    }
    for (int id = IDC_UPSStatusCB1; id <= IDC_UPSStatusCB8; ++id) {
        EXPECT_EQ(Spec(id)->kind, Kind::StatusBox) << id;
        EXPECT_TRUE(Spec(id)->flags & kStartsDisabled) << id;
    }
}

// The status view numbers fields and boxes 1..8 and finds them by id order.
TEST(MainLayout, ReadingsAndStatusBitsAreNumberedInIdOrder) {
    const char* fields[] = {"IPVoltageE", "IPFaultVoltageE", "OPVoltageE", "OPCurrentE",
                            "IPFrequencyE", "BatteryVoltageE", "TemperatureE", "UPSStatusE"};
    for (int i = 0; i < 8; ++i) {
        bool found = false;
        for (const auto& n : kNamedControls)
            if (n.id == IDC_IPVoltageE + i) found = std::string(n.name) == fields[i];
        EXPECT_TRUE(found) << fields[i];
        EXPECT_EQ(Spec(IDC_UPSStatusCB1 + i)->page, Page::Status);
    }
}

TEST(MainLayout, ButtonsCarryIconAndHint) {
    for (const auto& c : kMainControls) {
        if (c.kind != Kind::ToolButton) continue;
        EXPECT_NE(c.icon, 0) << Describe(c);
        ASSERT_NE(c.hint, kNoText) << Describe(c);
        // The probe reads a button's text; it is the hint the user sees.
        EXPECT_EQ(c.text, c.hint);
    }
}

// The up-down is attached to its buddy when it is created, so the buddy must exist by then.
TEST(MainLayout, UpDownsFollowTheirBuddyOnTheSamePage) {
    for (size_t ui = 0; ui < std::size(kMainControls); ++ui) {
        const auto& ud = kMainControls[ui];
        if (ud.kind != Kind::UpDown) continue;
        bool found = false;
        for (size_t bi = 0; bi < ui; ++bi) {
            const auto& b = kMainControls[bi];
            if (b.id == ud.buddy && b.page == ud.page) found = true;
        }
        EXPECT_TRUE(found) << Describe(ud);
    }
}

// The report pages share one grid: a caption stands on the text line of the
// field beside it (three pixels below the field's top), and every send button
// keeps the right-hand column, so the pages look alike when the user flips
// between them.
TEST(MainLayout, ReportPagesKeepTheirCaptionsAndSendButtonsOnTheGrid) {
    const auto isField = [](Kind k) {
        return k == Kind::TextEdit || k == Kind::PasswordEdit || k == Kind::ReadOnlyEdit || k == Kind::ComboList;
    };
    for (const auto& c : kMainControls) {
        if (!IsRepPage(c.page)) continue;
        if (c.kind == Kind::ToolButton) {
            EXPECT_EQ(c.box.x, kRepSendButton.x) << Describe(c);
            EXPECT_EQ(c.box.w, kRepSendButton.w) << Describe(c);
        }
        if (!IsLabel(c.kind)) continue;
        bool beside = false;
        for (const auto& f : kMainControls) {
            if (f.page != c.page || !isField(f.kind) || f.box.y + 3 != c.box.y) continue;
            const int gapAfter = f.box.x - c.box.Right(), gapBefore = c.box.x - f.box.Right();
            beside = beside || (gapAfter >= 0 && gapAfter <= 6) || (gapBefore >= 0 && gapBefore <= 6);
        }
        EXPECT_TRUE(beside) << Describe(c) << " is off the line of its field";
    }
}

// Controls reach their page through PageIndex, tabs come from the page tables:
// each page's controls land on the tab that names it, and the window opens on
// the tab that holds the settings.
TEST(MainLayout, EachPageLandsOnItsOwnTab) {
    const struct {
        Page page;
        const char* caption;
    } cases[] = {{Page::Info, "UPS Information"}, {Page::Status, "UPS Status"}, {Page::Settings, "Settings"},
                 {Page::Smtp, "SMTP"},            {Page::Http, "HTTP"},         {Page::Lan, "LAN"},
                 {Page::Nut, "NUT"},              {Page::Push, "Push"},         {Page::History, "History"}};
    for (const auto& c : cases) {
        const int index = PageIndex(c.page);
        const int count = IsRepPage(c.page) ? kRepPageCount : kPageCount;
        ASSERT_TRUE(index >= 0 && index < count) << c.caption;
        EXPECT_STREQ(TextOf((IsRepPage(c.page) ? kRepPages : kPages)[index].caption), c.caption);
    }
    EXPECT_EQ(kOpeningPage, PageIndex(Page::Settings));
    // "History" comes after the three pages the window always had.
    EXPECT_EQ(PageIndex(Page::History), kPageCount - 1);
    EXPECT_STREQ(TextOf(kPages[0].caption), "UPS Information");
}

}  // namespace
}  // namespace velt::ui::layout

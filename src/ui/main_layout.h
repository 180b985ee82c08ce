#pragma once
// Where the main window's controls sit, as data: the window builds its controls
// from this table, and native tests check that everything fits the fixed
// 318 x 550 client area. The table is joined at compile time from one table per
// page, in creation order: the page control of the report pages comes before
// the pages it holds.
#include <algorithm>
#include <array>
#include <cstddef>

#include "ui/layout_monitor_pages.h"
#include "ui/layout_settings_pages.h"
#include "ui/layout_types.h"

namespace velt::ui::layout {

template <size_t... N>
constexpr auto JoinTables(const ControlSpec (&... tables)[N]) {
    std::array<ControlSpec, (N + ...)> all{};
    size_t at = 0;
    ((std::copy(std::begin(tables), std::end(tables), all.begin() + at), at += N), ...);
    return all;
}

inline constexpr auto kMainControls =
    JoinTables(kToolbarControls, kInfoControls, kStatusControls, kSettingsControls, kSmtpControls, kHttpControls,
               kNutControls, kLanControls, kPushControls, kHistoryControls);

inline constexpr int kPageCount = 4;
inline constexpr int kRepPageCount = 5;

bool IsRepPage(Page p);

struct PageDef {
    int id;
    StringId caption;
};

inline constexpr PageDef kPages[kPageCount] = {
    {IDC_InfoTS, IDS_UPSInformation},
    {IDC_StatusTS, IDS_UPSStatus},
    {IDC_AboutTS, IDS_Settings},
    {IDC_HistoryTS, IDS_History},
};
inline constexpr int kOpeningPage = 2;  // the window opens on "Settings"

inline constexpr PageDef kRepPages[kRepPageCount] = {
    {IDC_SMTPTS, IDS_SMTP},
    {IDC_HTTPTS, IDS_HTTP},
    {IDC_LANTS, IDS_LAN},
    {IDC_NUTTS, IDS_NUT},
    {IDC_PushTS, IDS_Push},
};

// The page of PC, or of RepPageControl, that holds the controls of `page`;
// -1 for the window itself.
int PageIndex(Page page);

}  // namespace velt::ui::layout

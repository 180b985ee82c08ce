#include "ui/main_layout.h"

namespace velt::ui::layout {

bool Box::Contains(const Box& o) const {
    return o.x >= x && o.y >= y && o.Right() <= Right() && o.Bottom() <= Bottom();
}

bool Box::Overlaps(const Box& o) const {
    return x < o.Right() && o.x < Right() && y < o.Bottom() && o.y < Bottom();
}

bool IsRepPage(Page p) {
    return p == Page::Smtp || p == Page::Http || p == Page::Lan || p == Page::Nut || p == Page::Push;
}

int PageIndex(Page page) {
    switch (page) {
        case Page::Info: case Page::Smtp: return 0;
        case Page::Status: case Page::Http: return 1;
        case Page::Settings: case Page::Lan: return 2;
        case Page::Nut: case Page::History: return 3;
        case Page::Push: return 4;
        default: return -1;
    }
}

}  // namespace velt::ui::layout

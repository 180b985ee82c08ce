#include "core/date_time_text.h"

namespace velt {

std::string DateTimeText(const LocalDateTime& t, const IDateTimeFormat& fmt) {
    if (t.hour == 0 && t.minute == 0 && t.second == 0) return fmt.ShortDate(t);
    return fmt.ShortDate(t) + " " + fmt.LongTime(t);
}

}  // namespace velt

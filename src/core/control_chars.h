#pragma once
// The one rule for control characters in text that came from outside (a UPS,
// a mail server, a device): the C0 codes and DEL. Bytes above 0x7F are text.
namespace velt {

bool IsControl(char c);

}  // namespace velt

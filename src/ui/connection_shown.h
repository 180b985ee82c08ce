#pragma once
// What the "Connection" group shows for the link in use: which picture of
// ConnIL, which of the USB, serial and network labels is enabled, and their
// captions. Each state is whole, so a switch from one link to another leaves
// nothing of the last one behind. Plain C++.
#include <string>

#include "core/detection.h"

namespace velt::ui {

enum class ConnectionImage { Usb, Serial, Network };  // ConnIL's order

struct ShownConnection {
    ConnectionImage image = ConnectionImage::Usb;
    bool usbEnabled = false, comEnabled = false, netEnabled = false;
    std::string comCaption, netCaption;

    bool operator==(const ShownConnection&) const = default;
};

// This computer's link: USB, or the serial line on `comPort`.
ShownConnection LocalConnectionShown(ConnectionKind kind, int comPort);
// A NUT server: `where` is "ups@host:port".
ShownConnection NetworkConnectionShown(const std::string& where);

}  // namespace velt::ui

#include "ui/connection_shown.h"

#include "ui/string_ids.h"

namespace velt::ui {

// The labels not in use keep their plain captions, "COM" and "NUT".
ShownConnection LocalConnectionShown(ConnectionKind kind, int comPort) {
    const bool usb = kind == ConnectionKind::Usb;
    ShownConnection s;
    s.image = usb ? ConnectionImage::Usb : ConnectionImage::Serial;
    s.usbEnabled = usb;
    s.comEnabled = !usb;
    s.comCaption = usb ? TextOf(IDS_COM) : TextOf(IDS_COM) + std::to_string(comPort);
    s.netCaption = TextOf(IDS_NUT);
    return s;
}

ShownConnection NetworkConnectionShown(const std::string& where) {
    ShownConnection s;
    s.image = ConnectionImage::Network;
    s.netEnabled = true;
    s.comCaption = TextOf(IDS_COM);
    s.netCaption = where;
    return s;
}

}  // namespace velt::ui

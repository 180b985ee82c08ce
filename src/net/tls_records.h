#pragma once
// Cuts the bytes received from a TLS server into whole records (RFC 8446
// section 5.1: type, version, 16-bit length, then the fragment), however the
// network split them.
#include <string>
#include <string_view>

namespace velt {

class TlsRecordReader {
public:
    enum class Result { Record, NeedMore, Invalid };

    void Append(std::string_view bytes) { buffer_.append(bytes); }
    // The next whole record, header included, into `record`. Invalid for a
    // header no TLS server sends; the reader stays invalid.
    Result Next(std::string& record);
    size_t Buffered() const { return buffer_.size(); }

private:
    std::string buffer_;
    size_t start_ = 0;  // where the next record begins; the front is dropped in batches
    bool invalid_ = false;
};

}  // namespace velt

#include "net/tls_records.h"

namespace velt {

namespace {
constexpr size_t kHeader = 5;
// 2^14 of plaintext plus the most any cipher adds (RFC 5246 section 6.2.3).
constexpr size_t kFragmentMax = 16384 + 2048;
constexpr unsigned char kFirstType = 20, kLastType = 23;  // change_cipher_spec .. application_data
}  // namespace

TlsRecordReader::Result TlsRecordReader::Next(std::string& record) {
    if (invalid_) return Result::Invalid;
    const std::string_view rest = std::string_view(buffer_).substr(start_);
    if (rest.size() < kHeader) {
        buffer_.erase(0, start_);
        start_ = 0;
        return Result::NeedMore;
    }
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(rest[i]); };
    const size_t length = (static_cast<size_t>(byte(3)) << 8) | byte(4);
    if (byte(0) < kFirstType || byte(0) > kLastType || byte(1) != 3 || length > kFragmentMax) {
        invalid_ = true;
        return Result::Invalid;
    }
    if (rest.size() < kHeader + length) {
        buffer_.erase(0, start_);
        start_ = 0;
        return Result::NeedMore;
    }
    record.assign(rest.substr(0, kHeader + length));
    start_ += kHeader + length;
    return Result::Record;
}

}  // namespace velt

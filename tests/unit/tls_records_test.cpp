#include "net/tls_records.h"

#include <gtest/gtest.h>

#include <vector>

namespace velt::test {
namespace {

using Result = TlsRecordReader::Result;

std::string Record(unsigned char type, size_t length) {
    std::string record{static_cast<char>(type), '\x03', '\x03', static_cast<char>(length >> 8),
                       static_cast<char>(length & 0xFF)};
    for (size_t i = 0; i < length; ++i) record += static_cast<char>(i * 7 + type);
    return record;
}

std::vector<std::string> Drain(TlsRecordReader& reader) {
    std::vector<std::string> out;
    std::string record;
    while (reader.Next(record) == Result::Record) out.push_back(record);
    return out;
}

// However the network splits the stream, the same records come out whole.
TEST(TlsRecordReader, GivesWholeRecordsWhereverTheStreamIsSplit) {
    const std::vector<std::string> records = {Record(22, 0), Record(23, 1), Record(23, 300), Record(21, 2),
                                              Record(23, 16384 + 2048)};
    std::string stream;
    for (const auto& r : records) stream += r;
    for (size_t first = 0; first <= stream.size(); ++first) {
        for (size_t second = first; second <= std::min(stream.size(), first + 7); ++second) {
            TlsRecordReader reader;
            std::vector<std::string> out;
            for (const auto& [from, to] : {std::pair{size_t{0}, first}, {first, second}, {second, stream.size()}}) {
                reader.Append(std::string_view(stream).substr(from, to - from));
                for (auto& r : Drain(reader)) out.push_back(std::move(r));
            }
            ASSERT_EQ(out, records) << "split at " << first << " and " << second;
            ASSERT_EQ(reader.Buffered(), 0u);
        }
    }
}

TEST(TlsRecordReader, RefusesWhatNoTlsServerSends) {
    const std::string bad[] = {
        "220 smtp.example.com ESMTP\r\n",   // a plaintext reply
        Record(24, 4),                      // an unknown content type
        std::string("\x17\x02\x00\x00\x01x", 6),  // not version 3
        std::string("\x17\x03\x03\x48\x01", 5),   // longer than any record may be
    };
    for (const auto& bytes : bad) {
        TlsRecordReader reader;
        reader.Append(Record(23, 10) + bytes);
        std::string record;
        EXPECT_EQ(reader.Next(record), Result::Record);
        EXPECT_EQ(reader.Next(record), Result::Invalid);
        reader.Append(Record(23, 10));
        EXPECT_EQ(reader.Next(record), Result::Invalid);
    }
}

}  // namespace
}  // namespace velt::test

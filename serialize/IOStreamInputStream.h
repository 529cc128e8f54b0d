#pragma once
// An InputStream over a standard input byte stream that it does not own.

#include "serialize/InputStream.h"

#include <istream>

namespace Kor::serialize {

class IOStreamInputStream : public InputStream {
public:
    // `stream` must outlive this object; it is left alone on destruction.
    explicit IOStreamInputStream(std::istream* stream) : mStream(stream) {}
    ~IOStreamInputStream() override = default;

    bool read(void* buffer, std::size_t count) override;
    std::uint64_t tell() override;
    bool seek(std::uint64_t position) override;
    bool atEnd() override;
    bool good() override;
    bool skip(std::uint64_t count) override;
    void setFailed() override;
    std::uint64_t remaining() override;

protected:
    std::istream* mStream;
};

}  // namespace Kor::serialize

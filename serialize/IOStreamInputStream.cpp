#include "serialize/IOStreamInputStream.h"

#include <limits>

namespace Kor::serialize {

namespace {

constexpr auto kMaxStreamSize =
    static_cast<std::uint64_t>(std::numeric_limits<std::streamsize>::max());

}  // namespace

bool IOStreamInputStream::read(void* buffer, std::size_t count) {
    if (!mStream->good()) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    if (count > kMaxStreamSize) {
        mStream->setstate(std::ios::failbit);
        return false;
    }
    mStream->read(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
    // A read error (badbit) is a failed read as much as running out of data is.
    return !mStream->fail();
}

std::uint64_t IOStreamInputStream::tell() {
    const std::streamoff position = mStream->tellg();
    return position < 0 ? UINT64_MAX : static_cast<std::uint64_t>(position);
}

bool IOStreamInputStream::seek(std::uint64_t position) {
    // clear() leaves badbit set when there is no buffer, which is the failed state wanted.
    mStream->clear();
    if (position > static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max())) {
        mStream->setstate(std::ios::failbit);
        return false;
    }
    mStream->seekg(static_cast<std::streamoff>(position), std::ios::beg);
    return mStream->good();
}

bool IOStreamInputStream::atEnd() {
    return std::istream::traits_type::eq_int_type(mStream->peek(),
                                                  std::istream::traits_type::eof());
}

bool IOStreamInputStream::good() {
    return mStream->good();
}

bool IOStreamInputStream::skip(std::uint64_t count) {
    // The count of discarded bytes says whether the position moved; comparing tellg() before
    // and after would not, as tellg() reports -1 once the end of the data has been reached.
    mStream->ignore(static_cast<std::streamsize>(count < kMaxStreamSize ? count : kMaxStreamSize));
    return mStream->gcount() > 0;
}

void IOStreamInputStream::setFailed() {
    mStream->setstate(std::ios::failbit);
}

std::uint64_t IOStreamInputStream::remaining() {
    if (!mStream->good()) {
        return 0;
    }
    std::streambuf* buffer = mStream->rdbuf();
    // Ask the buffer directly so that the stream's state is untouched whatever happens.
    const std::streamoff here = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
    if (here < 0) {
        return kUnknownSize;
    }
    const std::streamoff end = buffer->pubseekoff(0, std::ios::end, std::ios::in);
    if (buffer->pubseekpos(here, std::ios::in) != here) {
        // Could not go back: the position is lost, so nothing more can be read reliably.
        mStream->setstate(std::ios::failbit);
        return 0;
    }
    if (end < 0) {
        return kUnknownSize;
    }
    return end > here ? static_cast<std::uint64_t>(end - here) : 0;
}

}  // namespace Kor::serialize

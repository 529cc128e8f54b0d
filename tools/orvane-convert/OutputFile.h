#pragma once
// The converter's output file, replaced only when the conversion succeeds.
//
// A regular file (or a new one) is written under a temporary name in the same folder and
// renamed over the output by commit(), so that a conversion that fails part way, or a full
// disk, leaves what was there before and no cut file that passes for a whole one. Standard
// output ("-") and paths that are not regular files (/dev/null, a FIFO) are written in place.
// A file that is replaced keeps its permissions; one the user may not write is refused.

#include <string>
#include <string_view>

namespace OrvaneConvert {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();  // discards what commit() did not keep
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False, with the reason in error(), when the output cannot be written.
    bool open(const std::string& path);
    bool write(std::string_view bytes);
    // Makes the output the new file. False, with the reason, when that fails; nothing then
    // replaced the earlier file.
    bool commit();
    // Removes the temporary file; the earlier file stays as it was.
    void discard();

    const std::string& error() const { return mError; }
    // True for standard output and paths that are not regular files: what was written there
    // stays, even when the conversion fails.
    bool writesInPlace() const { return mInPlace; }

private:
    void fail(const std::string& what);

    int mFd = -1;
    bool mOwnsFd = false;
    bool mInPlace = false;
    std::string mPath;       // as given, for messages
    std::string mTarget;     // the file the temporary one replaces
    std::string mTemporary;  // empty when written in place
    std::string mError;
};

}  // namespace OrvaneConvert

#pragma once
// The FIFO that Orvane writes its frames to: made by the recorder (mode 0600), opened for
// reading without waiting for a writer, removed when the recorder is done.

#include <sys/types.h>

#include <memory>
#include <string>

namespace OrvaneRecord {

class RecordingFifo {
public:
    // Makes the FIFO. Anything already at the path (another recorder's pipe, a file) is left
    // alone: null, with the reason in `error`.
    static std::unique_ptr<RecordingFifo> Create(const std::string& path, std::string& error);
    // Removes the FIFO, if it is still the one made here.
    ~RecordingFifo();
    RecordingFifo(const RecordingFifo&) = delete;
    RecordingFifo& operator=(const RecordingFifo&) = delete;

    // A non-blocking read end, closed on exec: readable once a writer has written, at its end
    // once the writer is gone. -1 with the reason in `error`.
    int OpenReadEnd(std::string& error) const;
    const std::string& Path() const { return mPath; }

private:
    RecordingFifo(std::string path, dev_t device, ino_t inode)
        : mPath(std::move(path)), mDevice(device), mInode(inode) {}

    std::string mPath;
    dev_t mDevice;
    ino_t mInode;
};

}  // namespace OrvaneRecord

#include "OpenGlLib/PipeTransport.h"

#include "OpenGlLib/FrameStreamFormat.h"

namespace Kor {

namespace {
PipeTransport* installed = nullptr;
}

PipeTransport& GetPipeTransport() {
    if (installed != nullptr) {
        return *installed;
    }
    static const std::unique_ptr<PipeTransport> system =
        MakeSystemPipeTransport(RecordingPipePath());
    return *system;
}

void SetPipeTransport(PipeTransport* transport) {
    installed = transport;
}

}  // namespace Kor

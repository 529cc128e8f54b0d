#include "app/SampleBudget.h"

#include "PlatformLib/Process.h"

namespace Kor {

SampleBudget SampleBudget::ofThisProcess() {
    // The rest is for the window, its drawing and the libraries, and for the other programs of
    // the machine.
    const std::uint64_t limit = MemoryLimit();
    return limit == 0 ? SampleBudget() : SampleBudget(limit / 4);
}

}  // namespace Kor

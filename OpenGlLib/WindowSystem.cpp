#include "OpenGlLib/WindowSystem.h"

namespace Kor {

namespace {
WindowSystem* installed = nullptr;
}

WindowSystem& GetWindowSystem() {
    return installed != nullptr ? *installed : NativeWindowSystem();
}

void SetWindowSystem(WindowSystem* system) {
    installed = system;
}

}  // namespace Kor

#include "app/ShowTrajectories.h"
#include "view/Viewer3D.h"

namespace Kor {

int showTrajectories(const std::vector<std::vector<PoseSample>>& poseLists,
                     const std::vector<TrajectoryColours::Colour>& colours) {
    // The viewer is gone before the process ends: its window closes first.
    {
        Viewer3D viewer;
        runFrameLoop(viewer, poseLists, colours);
    }
    return 0;
}

}  // namespace Kor

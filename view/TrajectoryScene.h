#pragma once
// The trajectories as a window draws them. Positions go to GL once, as floats relative to the
// origin of each piece: into buffer objects when the context has them, client arrays
// otherwise. Each frame then draws, per trajectory, either every sample or the level of detail
// the camera needs, which gives the same picture from far fewer vertices.

#include <cstddef>
#include <vector>

#include "view/DetailSelection.h"
#include "view/SampleHierarchy.h"
#include "view/TrajectoryPiece.h"
#include "view/Viewer3D.h"

namespace Kor {

enum class DrawDetail {
    Full,      // every sample
    Adaptive,  // every sample of a trajectory with fewer samples than the window has pixels;
               // of a longer one, the samples that change the picture
};

class TrajectoryScene {
public:
    // Copies the positions it draws. When the window is open, its GL context must be current
    // (as it is once the window is made, and between BeginFrame and EndFrame).
    TrajectoryScene(GLWindow& window, const std::vector<std::vector<PoseSample>>& poseLists,
                    const std::vector<TrajectoryColour>& colours);
    ~TrajectoryScene();
    TrajectoryScene(const TrajectoryScene&) = delete;
    TrajectoryScene& operator=(const TrajectoryScene&) = delete;

    // Every trajectory in its colour as points of size 2.5, then one line strip, seen through
    // the GL matrices of the frame (beginScene). An empty trajectory draws nothing. The samples
    // to draw are chosen again only when the camera or the window's size has changed.
    void draw(const Viewer3D& viewer, DrawDetail detail = DrawDetail::Adaptive);

    // Vertices of the points of the last draw.
    std::size_t drawnVertices() const { return mDrawnVertices; }

private:
    struct Piece {
        TrajectoryPiece samples;
        SampleHierarchy hierarchy;
        unsigned int buffer = 0;  // 0: no buffer object, the client array is drawn
        SampleSelection selection;
        std::vector<int> runCounts;  // the strips of the selection, as GL takes them
        std::vector<const void*> runFirsts;
        bool drawsAll = true;
    };
    struct Shown {
        TrajectoryColour colour{};
        std::size_t sampleCount = 0;
        std::vector<Piece> pieces;
    };
    struct Camera {
        Mat3 rotation{};
        std::array<double, 2> pan{};
        double distance = 0.0;
        int width = 0;
        int height = 0;
        DrawDetail detail = DrawDetail::Full;
        bool operator==(const Camera&) const = default;
    };

    void upload(Piece& piece);
    void choose(const Viewer3D& viewer, DrawDetail detail);
    void select(const Viewer3D& viewer, Shown& shown);
    void claimCells(int trajectory);
    bool contestCells(int trajectory);
    void drawPieces(const Shown& shown, unsigned int mode) const;

    GLWindow& mWindow;
    std::vector<Shown> mShown;
    DrawnCells mCells;
    // Per cell: the one trajectory whose points reach it, kNoOwner or kSeveralOwners.
    std::vector<int> mOwners;
    double mSnapPixels = 1.0 / 16.0;
    bool mChosen = false;
    Camera mChosenFor;
    std::size_t mDrawnVertices = 0;
};

// One frame: BeginFrame, the scene, then the window's overlay, presentation and messages.
void drawFrame(Viewer3D& viewer, TrajectoryScene& scene, DrawDetail detail = DrawDetail::Adaptive);

}  // namespace Kor

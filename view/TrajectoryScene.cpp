#include "view/TrajectoryScene.h"

#include "OpenGlLib/GLHeaders.h"

#include <algorithm>
#include <cmath>

#include "OpenGlLib/GLExtensions.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "analysis/Matrix3.h"

namespace Kor {

namespace {

bool haveBufferObjects() {
    return GLEntry::glGenBuffers != nullptr && GLEntry::glBindBuffer != nullptr &&
           GLEntry::glBufferData != nullptr && GLEntry::glDeleteBuffers != nullptr;
}

// Where positions relative to `origin` land in the window, as beginScene sets up GL.
PieceProjection projectionOf(const Viewer3D& viewer, const Vec3& origin, double snapPixels) {
    PieceProjection p;
    p.rotation = viewer.mRotation;
    const Vec3 moved = matVec(viewer.mRotation, origin);
    p.translation = {moved[0] + viewer.mPan[0], moved[1] + viewer.mPan[1],
                     moved[2] + viewer.mDistance};
    p.width = viewer.mGLWindow.mWidth;
    p.height = viewer.mGLWindow.mHeight;
    p.nearZ = kNearPlane;
    p.farZ = kFarPlane;
    p.snapPixels = snapPixels;
    return p;
}

}  // namespace

TrajectoryScene::TrajectoryScene(GLWindow& window,
                                 const std::vector<std::vector<PoseSample>>& poseLists,
                                 const std::vector<TrajectoryColour>& colours)
    : mWindow(window) {
    if (mWindow.mIsOpen) {
        mWindow.mInternals->PushCurrentContext();
        GLint bits = 0;
        glGetIntegerv(GL_SUBPIXEL_BITS, &bits);
        // A vertex lands within one subpixel step of where it is computed, and float
        // arithmetic adds a little; GL promises at least 4 bits.
        mSnapPixels = std::ldexp(1.0, -std::clamp(bits, 4, 16)) + 1e-4;
        mWindow.mInternals->PopCurrentContext();
    }
    const std::size_t count = std::min(poseLists.size(), colours.size());
    mShown.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        Shown& shown = mShown[k];
        shown.colour = colours[k];
        shown.sampleCount = poseLists[k].size();
        for (TrajectoryPiece& samples : splitIntoPieces(poseLists[k])) {
            Piece& piece = shown.pieces.emplace_back();
            piece.samples = std::move(samples);
            piece.hierarchy = SampleHierarchy(piece.samples);
            upload(piece);
        }
    }
}

TrajectoryScene::~TrajectoryScene() {
    // A closed window's context is gone or going, and its buffers with it.
    if (!mWindow.mIsOpen || !haveBufferObjects()) {
        return;
    }
    mWindow.mInternals->PushCurrentContext();
    for (Shown& shown : mShown) {
        for (Piece& piece : shown.pieces) {
            if (piece.buffer != 0) {
                GLEntry::glDeleteBuffers(1, &piece.buffer);
            }
        }
    }
    mWindow.mInternals->PopCurrentContext();
}

void TrajectoryScene::upload(Piece& piece) {
    if (!mWindow.mIsOpen || !haveBufferObjects()) {
        return;
    }
    const std::vector<Vec3f>& positions = piece.samples.positions;
    mWindow.mInternals->PushCurrentContext();
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint buffer = 0;
    GLEntry::glGenBuffers(1, &buffer);
    GLEntry::glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLEntry::glBufferData(GL_ARRAY_BUFFER,
                          static_cast<GLsizeiptr>(positions.size() * sizeof(Vec3f)),
                          positions.data(), GL_STATIC_DRAW);
    GLEntry::glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (buffer != 0 && glGetError() == GL_NO_ERROR) {
        piece.buffer = buffer;
    } else if (buffer != 0) {
        GLEntry::glDeleteBuffers(1, &buffer);  // out of memory, say: the client array serves
    }
    mWindow.mInternals->PopCurrentContext();
}

void TrajectoryScene::choose(const Viewer3D& viewer, DrawDetail detail) {
    const GLWindow& window = viewer.mGLWindow;
    const Camera camera{viewer.mRotation, viewer.mPan,    viewer.mDistance,
                        window.mWidth,    window.mHeight, detail};
    if (mChosen && camera == mChosenFor) {
        return;
    }
    mChosen = true;
    mChosenFor = camera;
    const auto pixels = static_cast<std::size_t>(std::max(window.mWidth, 0)) *
                        static_cast<std::size_t>(std::max(window.mHeight, 0));
    int detailed = 0, drawn = 0;
    for (Shown& shown : mShown) {
        const bool all = detail == DrawDetail::Full || shown.sampleCount < pixels;
        for (Piece& piece : shown.pieces) {
            piece.drawsAll = all;
            piece.selection = {};
            piece.runCounts.clear();
            piece.runFirsts.clear();
        }
        detailed += all ? 0 : 1;
        drawn += shown.sampleCount > 0 ? 1 : 0;
    }
    if (detailed == 0) {
        return;
    }
    if (drawn == 1) {
        for (Shown& shown : mShown) {
            if (!shown.pieces.empty() && !shown.pieces.front().drawsAll) {
                mCells.reset(window.mWidth, window.mHeight);
                select(viewer, shown);
            }
        }
        return;
    }
    // Where trajectories meet, the nearer one's colour shows: first the cells each one
    // reaches, then, for each that meets another, its samples again with their depth counted
    // in the cells they share.
    mOwners.clear();
    for (std::size_t k = 0; k < mShown.size(); ++k) {
        mCells.reset(window.mWidth, window.mHeight);
        select(viewer, mShown[k]);
        claimCells(static_cast<int>(k));
    }
    for (std::size_t k = 0; k < mShown.size(); ++k) {
        Shown& shown = mShown[k];
        if (shown.pieces.empty() || shown.pieces.front().drawsAll) {
            continue;
        }
        mCells.reset(window.mWidth, window.mHeight);
        if (contestCells(static_cast<int>(k))) {
            select(viewer, shown);
        }
    }
}

void TrajectoryScene::select(const Viewer3D& viewer, Shown& shown) {
    for (Piece& piece : shown.pieces) {
        selectSamples(piece.samples, piece.hierarchy,
                      projectionOf(viewer, piece.samples.origin, mSnapPixels), mCells,
                      piece.selection);
        piece.runCounts.clear();
        piece.runFirsts.clear();
        for (const SampleSelection::Run& run : piece.selection.runs) {
            if (run.count > 1) {  // a strip of one vertex draws nothing
                piece.runCounts.push_back(static_cast<int>(run.count));
                piece.runFirsts.push_back(piece.selection.indices.data() + run.start);
            }
        }
    }
}

namespace {
constexpr int kNoOwner = -1;
constexpr int kSeveralOwners = -2;
}  // namespace

// A point's pixels reach into the cells around its own, so a trajectory claims those too.
void TrajectoryScene::claimCells(int trajectory) {
    const CellGrid& grid = mCells.grid();
    mOwners.resize(grid.size(), kNoOwner);
    const int m = CellGrid::kMargin;
    for (int y = -m; y <= grid.height() + m; ++y) {
        for (int x = -m; x <= grid.width() + m; ++x) {
            if (!mCells.drawn(x, y)) {
                continue;
            }
            for (int ny = std::max(y - 1, -m); ny <= std::min(y + 1, grid.height() + m); ++ny) {
                for (int nx = std::max(x - 1, -m); nx <= std::min(x + 1, grid.width() + m); ++nx) {
                    int& owner = mOwners[grid.offset(nx, ny)];
                    owner = owner == kNoOwner || owner == trajectory ? trajectory : kSeveralOwners;
                }
            }
        }
    }
}

// Marks in the (reset) cells those another trajectory reaches; false when there are none.
bool TrajectoryScene::contestCells(int trajectory) {
    const CellGrid& grid = mCells.grid();
    const int m = CellGrid::kMargin;
    bool any = false;
    for (int y = -m; y <= grid.height() + m; ++y) {
        for (int x = -m; x <= grid.width() + m; ++x) {
            const int owner = mOwners[grid.offset(x, y)];
            if (owner != kNoOwner && owner != trajectory) {
                mCells.contest(x, y);
                any = true;
            }
        }
    }
    return any;
}

void TrajectoryScene::drawPieces(const Shown& shown, unsigned int mode) const {
    for (const Piece& piece : shown.pieces) {
        if (piece.buffer != 0) {
            GLEntry::glBindBuffer(GL_ARRAY_BUFFER, piece.buffer);
            glVertexPointer(3, GL_FLOAT, 0, nullptr);
        } else {
            glVertexPointer(3, GL_FLOAT, 0, piece.samples.positions.data());
        }
        const Vec3& origin = piece.samples.origin;
        glPushMatrix();
        glTranslated(origin[0], origin[1], origin[2]);
        if (piece.drawsAll) {
            glDrawArrays(mode, 0, static_cast<GLsizei>(piece.samples.positions.size()));
        } else if (mode == GL_POINTS) {
            glDrawElements(mode, static_cast<GLsizei>(piece.selection.indices.size()),
                           GL_UNSIGNED_INT, piece.selection.indices.data());
        } else if (GLEntry::glMultiDrawElements != nullptr) {
            GLEntry::glMultiDrawElements(mode, piece.runCounts.data(), GL_UNSIGNED_INT,
                                         piece.runFirsts.data(),
                                         static_cast<GLsizei>(piece.runCounts.size()));
        } else {
            for (std::size_t r = 0; r < piece.runCounts.size(); ++r) {
                glDrawElements(mode, piece.runCounts[r], GL_UNSIGNED_INT, piece.runFirsts[r]);
            }
        }
        glPopMatrix();
        if (piece.buffer != 0) {
            // Other drawing (the overlay's text) hands GL client arrays.
            GLEntry::glBindBuffer(GL_ARRAY_BUFFER, 0);
        }
    }
}

void TrajectoryScene::draw(const Viewer3D& viewer, DrawDetail detail) {
    choose(viewer, detail);
    mDrawnVertices = 0;
    glEnableClientState(GL_VERTEX_ARRAY);
    for (const Shown& shown : mShown) {
        glColor3ub(shown.colour[0], shown.colour[1], shown.colour[2]);
        if (shown.sampleCount == 0) {
            continue;
        }
        glPointSize(2.5f);
        drawPieces(shown, GL_POINTS);
        glLineWidth(1.0f);
        drawPieces(shown, GL_LINE_STRIP);
        for (const Piece& piece : shown.pieces) {
            mDrawnVertices += piece.drawsAll ? 0 : piece.selection.indices.size();
        }
        if (shown.pieces.front().drawsAll) {
            mDrawnVertices += shown.sampleCount;  // pieces share their ends
        }
    }
    glDisableClientState(GL_VERTEX_ARRAY);
}

void drawFrame(Viewer3D& viewer, TrajectoryScene& scene, DrawDetail detail) {
    viewer.mGLWindow.BeginFrame();
    beginScene(viewer);
    scene.draw(viewer, detail);
    viewer.mGLWindow.EndFrame();
}

}  // namespace Kor

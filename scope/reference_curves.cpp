#include "scope/reference_curves.h"

#include "params/param_set.h"

namespace kervano {

int upTOP, loTOP, upBOT, loBOT;
unsigned short upArray[kLineWords];
unsigned short loArray[kLineWords];
unsigned short refArray[kLineWords];

namespace {
constexpr int kTopOfScale = 1000;
constexpr int kBottomLimit = 1;

void FillLines(int up, int lo, int ref) {
    for (int i = 0; i < kCurvePoints; ++i) {
        // A negative BOT limit keeps its low 16 bits, far above the graph's range.
        upArray[i] = static_cast<unsigned short>(up & 0xFFFF);
        loArray[i] = static_cast<unsigned short>(lo & 0xFFFF);
        refArray[i] = static_cast<unsigned short>(ref & 0xFFFF);
    }
}
}  // namespace

void ComputeLimits() {
    // TOP: tolerance above the reference, hysteresis below; BOT mirrored.
    upTOP = refTOP + tolTOP;
    loTOP = refTOP - hystTOP;
    upBOT = refBOT - tolBOT;
    loBOT = refBOT + hystBOT;
    if (upTOP > kTopOfScale) upTOP = kTopOfScale;
    if (upBOT > kTopOfScale) upBOT = kTopOfScale;
    if (loTOP < kBottomLimit) loTOP = kBottomLimit;
    if (loBOT < kBottomLimit) loBOT = kBottomLimit;
}

void FillTopLines() {
    FillLines(upTOP, loTOP, refTOP);
}
void FillBotLines() {
    FillLines(upBOT, loBOT, refBOT);
}

}  // namespace kervano

// Reference and limit lines of the data graphs, from each channel's reference, tolerance
// and hysteresis.
#pragma once

namespace kervano {

constexpr int kLineWords = 256;
constexpr int kCurvePoints = 128;
constexpr int kHalfCurvePoints = kCurvePoints / 2;  // what one data block carries
extern int upTOP, loTOP, upBOT, loBOT;
extern unsigned short upArray[kLineWords];
extern unsigned short loArray[kLineWords];
extern unsigned short refArray[kLineWords];

// Computes and limits the four line values from the parameter variables.
void ComputeLimits();
// Fills the three line arrays with the TOP or the BOT lines.
void FillTopLines();
void FillBotLines();

}  // namespace kervano

// What the strip charts draw: the values received since the traces last started, all in the
// view mode's unit. Every reply carries its values in both units (raw counts and per mille
// of the maximum), so a history of each is kept, and a change of the view mode draws the
// same replies again in the new unit instead of adding new samples to old ones in another.
#pragma once

#include "scope/monitor.h"

namespace kervano {

// The normalised values of the replies whose raw values are in arrayRAWTOP and arrayRAWBOT.
extern double arrayNORMTOP[kHistoryValues];
extern double arrayNORMBOT[kHistoryValues];
// How many of the newest pairs in the histories were received since the traces started.
extern int tracePairs;

// Run: both strip charts empty, nothing drawn until the first reply.
void StartMonitorTraces();
// Scrolls the newest reply into the histories: the raw pairs (TOP, BOT), the normalised ones.
void AddToHistories(const unsigned short raw[4], const unsigned short norm[4]);
// Draws the newest pair in the unit of viewMode (0 raw, any other normalised), or the whole
// history received since the start when the unit changed.
void DrawTraces(unsigned short viewMode);

}  // namespace kervano

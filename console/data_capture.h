// The exchange of a data capture, without its drawing: what Data does on the line.
#pragma once

namespace kervano {

// One monitor exchange, then the four data blocks with the receive notification off, and
// the status text of a capture that missed a part. Returns 1 when the monitor reply came
// (it is then in the read-outs), 0 when it did not, -1 when the request could not be
// written at all (nothing was waited for; both curves are empty); dataBlockOk tells which
// blocks came.
int CaptureDataBlocks();

}  // namespace kervano

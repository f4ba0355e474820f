// Request/reply transactions: a parameter packet from RAM or EEPROM, and the firmware info.
#pragma once

#include <string>

namespace kervano {

constexpr int kVersionBytes = 64;
constexpr const char* kFirmwareErrorText = "Error reading firmware-info!";
// Shown when a parameter read of a command timed out, after the command's other steps.
constexpr const char* kParametersNotReadText =
    "Timeout-RS-232 - parameters not read from controller!";
// A parameter reply that does not begin with the frame's sync word is not taken.
constexpr const char* kParameterFrameRefusedText =
    "Parameter-frame refused - sync word not 0x0055!";
extern char szVersion[kVersionBytes];

// Reads one parameter packet (flag 0 full, 1 short) from RAM or EEPROM into the variables.
// Returns 1 when the reply came, 0 when it timed out, the request could not be written or
// the reply was refused (the status line then says which; the variables are unchanged),
// and for the file target, which it leaves alone.
int PushGET(int targetCode, int flag);
// The whole set from RAM or EEPROM: the full packet, then the short one (both are always
// asked for). Returns 1 when both replies came, 0 otherwise.
int ReadParameterSet(int targetCode);
int GetVERSIONInfo();
// szVersion as UTF-8, for every text that shows it.
std::string FirmwareTextUtf8();

}  // namespace kervano

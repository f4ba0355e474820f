// Request/reply transactions: a parameter packet from RAM or EEPROM, and the firmware info.
#pragma once

namespace kervano {

constexpr int kVersionBytes = 64;
extern char szVersion[kVersionBytes];

void PushGET(int targetCode, int flag);
int GetVERSIONInfo();

}  // namespace kervano

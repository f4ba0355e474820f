// A local serial device (USB adapter, built-in port, pseudo-terminal) through QSerialPort.
#pragma once

#include <string>

#include "platform/serial/line_device.h"

// Opens path with the given line settings. retryMs: how soon a read that found the line
// empty looks again (Qt may stop watching a line after such a read).
LineOpening OpenSerialLine(const std::string& path, long baudRate, int parity, int dataBits,
                           int stopBits, LineDevice::Events events, int retryMs);

// A port on a device server: one TCP connection, raw or with the telnet layer of RFC 2217.
// A connection that drops is a device that went away; the port works again once it is
// closed and opened, as for an unplugged adapter.
#pragma once

#include "platform/serial/line_device.h"
#include "platform/serial/network_address.h"
#include "platform/serial/telnet_filter.h"

// Connects to address (waiting up to connectMs) and, for RFC 2217, sets the server's line
// to settings. A server that refuses or is not there gives kComNoSerialPort.
LineOpening OpenNetworkLine(const NetworkAddress& address, const LineSettings& settings,
                            LineDevice::Events events, int connectMs);

// True when address accepts a connection within ms; the connection is dropped at once.
bool NetworkAddressAnswers(const NetworkAddress& address, int ms);

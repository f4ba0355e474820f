#include "link/order_names.h"

#include "link/frame.h"
#include "link/transactions.h"

namespace kervano {

const OrderName kOrderNames[] = {
    {ORDER_WRITE_RAM, "write RAM"},
    {ORDER_READ_RAM, "get RAM"},
    {ORDER_WRITE_EEPROM, "write EEPROM"},
    {ORDER_READ_EEPROM, "get EEPROM"},
    {ORDER_ECHO, "echo"},
    {ORDER_TEACH, "teach"},
    {ORDER_FIRMWARE, "firmware info"},
    {ORDER_MONITOR, "monitor"},
    {ORDER_DATA, "data block"},
    {ORDER_RESET, "reset"},
};
const int kOrderNameCount = sizeof kOrderNames / sizeof kOrderNames[0];

namespace {
constexpr int kDataBlockBytes = 128;
}  // namespace

const char* OrderNameOf(int code) {
    for (const OrderName& o : kOrderNames)
        if (o.code == code) return o.name;
    return "";
}

LineBlock DescribeLineBlock(bool toController, const unsigned char* bytes, int count,
                            int orderSent) {
    LineBlock block;
    if (count == kFrameBytes && bytes != nullptr) {
        block.order = bytes[2] * 256 + bytes[3];
        const std::string name = OrderNameOf(block.order);
        block.label = std::to_string(block.order) + (name.empty() ? "" : " " + name);
        block.firstWord = 4;
        return block;
    }
    if (toController) return block;
    block.order = orderSent;
    if ((orderSent == ORDER_FIRMWARE && count == kVersionBytes) ||
        (orderSent == ORDER_DATA && count == kDataBlockBytes)) {
        block.label = orderSent == ORDER_FIRMWARE ? "firmware block" : "data block";
        block.firstWord = 0;
    } else if (orderSent >= 0) {
        const std::string name = OrderNameOf(orderSent);
        block.label = "reply to " + std::to_string(orderSent) + (name.empty() ? "" : " " + name);
    }
    return block;
}

}  // namespace kervano

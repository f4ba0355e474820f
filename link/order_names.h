// The orders and replies on the line by the names an operator reads, for the traffic view.
#pragma once

#include <string>

namespace kervano {

struct OrderName {
    int code;
    const char* name;
};
// Every order the tool sends, in code order.
extern const OrderName kOrderNames[];
extern const int kOrderNameCount;

// "echo", "get RAM", ...; empty for a code the tool never sends.
const char* OrderNameOf(int code);

// What a block of bytes on the line is.
struct LineBlock {
    int order = -1;      // the order it belongs to, -1 when none can be told
    std::string label;   // "5 echo", "firmware block"; empty when unknown
    int firstWord = -1;  // byte offset of its first word, -1 when it has no words to show
};

// A frame is named by its order word, whichever way it goes and however its sync word
// reads. A reply without a frame header is known by its length and the order it answers
// (orderSent, the order of the last frame the tool wrote): 64 bytes after order 7 are the
// firmware block, 128 after order 9 a data block. Any other reply is "reply to" orderSent.
LineBlock DescribeLineBlock(bool toController, const unsigned char* bytes, int count,
                            int orderSent);

}  // namespace kervano

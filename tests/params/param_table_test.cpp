// The named parameter table agrees with the packet layouts.
#include "params/param_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "link/frame.h"
#include "link/packet.h"

using namespace kervano;

TEST(ParameterTable, EachNameSitsAtItsWordOfItsPacket) {
    std::set<std::string> names;
    for (int p = 0; p < kParameterCount; ++p) *kParameterTable[p].variable = 1000 + p;
    for (int p = 0; p < kParameterCount; ++p) {
        const ParameterEntry& entry = kParameterTable[p];
        names.insert(entry.name);
        CopyVarsToPP(entry.flag);
        EXPECT_EQ(pp[entry.word], 1000 + p) << entry.name;
    }
    EXPECT_EQ(names.size(), 18u);
}

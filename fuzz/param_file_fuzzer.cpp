// The parameter-file reader on arbitrary text. ParseParameterRecord must never read or write
// outside its record, must leave the record untouched when it says no, must accept only
// white-space separated decimal numbers from 0 to 65535 (exactly sixteen, after an optional
// UTF-8 byte-order mark), must say why it refuses, and what it accepts must survive a round
// trip through FormatParameterRecord.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "link/frame.h"
#include "params/param_file.h"

using namespace kervano;

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// The record on the heap, exactly sixteen words, so that any access past it is caught.
using Record = std::unique_ptr<unsigned short[]>;
Record FilledRecord(unsigned short pattern) {
    Record record(new unsigned short[PNUM]);
    for (int i = 0; i < PNUM; ++i) record[i] = static_cast<unsigned short>(pattern + i);
    return record;
}
bool SameWords(const unsigned short* a, const unsigned short* b) {
    for (int i = 0; i < PNUM; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::string token;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!token.empty()) tokens.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty()) tokens.push_back(token);
    return tokens;
}

bool AllDigits(const std::string& token) {
    for (char c : token)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Two different prior contents: a failed parse leaves each as it was, a successful one
    // overwrites all sixteen words, so both end up equal.
    Record first = FilledRecord(0xA5A5);
    Record second = FilledRecord(0x1234);
    const Record firstBefore = FilledRecord(0xA5A5);
    const Record secondBefore = FilledRecord(0x1234);
    std::string refusal;
    const bool accepted = ParseParameterRecord(text, first.get(), &refusal);
    Check(accepted == refusal.empty(), "a refusal, and only a refusal, says why");
    // The status line shows 65 bytes at most.
    Check(refusal.size() <= 65, "the reason fits the status line");
    Check(ParseParameterRecord(text, second.get()) == accepted, "same text, same verdict");

    const std::string kByteOrderMark = "\xEF\xBB\xBF";
    const bool marked = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
    const std::vector<std::string> tokens =
        Tokens(marked ? text.substr(kByteOrderMark.size()) : text);
    bool numeric = true;
    for (const std::string& t : tokens) numeric = numeric && AllDigits(t);
    if (!numeric || tokens.size() != PNUM) Check(!accepted, "accepts only sixteen numbers");

    if (!accepted) {
        Check(SameWords(first.get(), firstBefore.get()), "a refused text leaves the record");
        Check(SameWords(second.get(), secondBefore.get()), "a refused text leaves the record");
        return 0;
    }
    Check(numeric && tokens.size() == PNUM, "an accepted text is sixteen numbers only");
    Check(SameWords(first.get(), second.get()), "all sixteen words come from the text");
    for (int i = 0; i < PNUM; ++i) {
        // Leading zeros aside, an accepted number has at most five digits.
        const size_t digits =
            tokens[i].size() - std::min(tokens[i].find_first_not_of('0'), tokens[i].size());
        Check(digits <= 5 && std::strtoul(tokens[i].c_str(), nullptr, 10) <= 0xFFFF,
              "an accepted number lies within 0..65535");
        Check(first[i] == std::strtoul(tokens[i].c_str(), nullptr, 10), "word i is number i");
    }

    const std::string written = FormatParameterRecord(first.get());
    Record reread = FilledRecord(0x5A5A);
    Check(ParseParameterRecord(written, reread.get()), "the written record reads back");
    Check(SameWords(reread.get(), first.get()), "the written record reads back unchanged");
    Check(FormatParameterRecord(reread.get()) == written, "writing is deterministic");
    return 0;
}

#pragma once
// The inputs of the differential test: sequences of profile operations over
// names, values and starting files chosen to reach the corners where the
// engine and the Win32 functions could differ.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv::oracle {

enum class Kind { Read, Write, DeleteKey, EraseSection };

struct Op {
    Kind kind;
    std::string section;
    std::string key;
    std::string value;  // the default of a read
};

struct Sequence {
    bool folder = true;                // false: the file's folder does not exist
    std::optional<std::string> start;  // nothing: the file does not exist
    std::vector<Op> ops;
};

// The sequence a seed gives, always the same.
Sequence generateSequence(std::uint64_t seed);

// Texts users type whose ends a plain write would lose on reading.
extern const std::vector<std::string> kUserTexts;

}  // namespace kv::oracle

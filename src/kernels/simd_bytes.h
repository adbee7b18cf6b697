#pragma once
// Bytes through a 256-entry table in place, with the widest vectors the processor has
// (see simd_level.h). Every level gives exactly the table's values.
#include <cstddef>
#include <cstdint>

namespace quillaro {

// p[i] = table[p[i]] for every i < n.
void mapBytesThrough(std::uint8_t* p, std::size_t n, const std::uint8_t* table);

}  // namespace quillaro

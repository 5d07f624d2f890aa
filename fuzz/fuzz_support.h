// What the fuzz targets share: the checks that turn a wrong result into an abort the fuzzer reports, the
// derivation of all 40 result fields, and the offer of one input to every decoder of a family.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/field_record.h"
#include "core/instance.h"

namespace quorix::fuzz {

// Every target parses at this moment, so a finding replays the same way on any day.
inline constexpr DateTime kFuzzNow{.year = 2024, .month = 6, .day = 15, .hour = 12, .minute = 0, .second = 0};

// Prints what failed (and the result field it concerns) and aborts; libFuzzer and the replayer both report the
// abort with the input that caused it.
void require(bool condition, const char* what, std::string_view field = {});

// Whether a registry row has this group and id, as the record of a successful parse must say.
bool isRegistryRow(std::int32_t group, std::int32_t decoderId);

// What the setters promise: every filled slot inside the used part of the arena, and once selection has
// sanitised the record, only printable ASCII in the values.
void checkSlots(const FieldRecord& record, bool sanitised);

// Turns control bytes and bytes from 127 up in the used arena, and NULs inside values, into spaces, as selection
// does for its winner.
void sanitiseArena(FieldRecord& record);

// Runs all 40 derivations, each into a buffer of exactly outSize bytes (so ASan sees any write past it), and
// checks every result: a status of 0 or below, a NUL inside the buffer, printable ASCII only, flags 0 or 1.
void deriveAll(const FieldRecord& record, std::int32_t outSize);

// Hands the bytes, NUL-terminated as the prepare functions leave them, straight to the decode function of every
// registry row of the group, each on a fresh record, and derives whatever a row accepts.
void fuzzFamily(std::int32_t group, const std::uint8_t* data, std::size_t size);

}  // namespace quorix::fuzz

#pragma once
// Little-endian fields in byte blocks, independent of the host's byte order.
//
// The PEPP and PSN formats are little-endian on disk. Their records keep the
// header exactly as the file holds it and decode a field only when it is
// asked for, byte by byte, so that the program reads the same values on any
// host and carries the fields it does not interpret unchanged.

#include <bit>
#include <cstdint>
#include <cstring>

namespace orvane::le {

inline std::uint16_t GetU16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::int16_t GetI16(const unsigned char* p) { return static_cast<std::int16_t>(GetU16(p)); }
inline std::uint32_t GetU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t GetI32(const unsigned char* p) { return static_cast<std::int32_t>(GetU32(p)); }
inline float GetF32(const unsigned char* p) { return std::bit_cast<float>(GetU32(p)); }

inline void PutU16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v & 0xFF);
  p[1] = static_cast<unsigned char>(v >> 8);
}
inline void PutI16(unsigned char* p, std::int16_t v) { PutU16(p, static_cast<std::uint16_t>(v)); }
inline void PutU32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v & 0xFF);
  p[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
  p[2] = static_cast<unsigned char>((v >> 16) & 0xFF);
  p[3] = static_cast<unsigned char>(v >> 24);
}
inline void PutI32(unsigned char* p, std::int32_t v) { PutU32(p, static_cast<std::uint32_t>(v)); }
inline void PutF32(unsigned char* p, float v) { PutU32(p, std::bit_cast<std::uint32_t>(v)); }

}  // namespace orvane::le

// ColorCache: remembers single-colour conversions obtained from the host, one colour per slot of
// a table held in one handle of memory/handle_memory.h. Each key has a single slot of 8 bytes:
// the key padded to four bytes, then the value (three bytes and a filled mark for a four-byte
// key, four bytes for a shorter one, whose filled mark sits in its padding). A new colour takes
// the place of the one it finds there, and nothing is ever cleared. It suits conversions whose
// answer is the same whenever asked, where what the cache forgets only decides how often the
// host is asked, never what it answers.
// The record is allocated by createColorCache and freed by destroyColorCache; the table is
// addressable only between lockColorCache and unlockColorCache (both idempotent).
// A cache whose table could not be allocated stays valid but caches nothing: lookups find
// nothing and insertions store nothing, so every colour is converted through the host.
// Lookup and insert on a null cache behave the same way.
#pragma once

#include "hostapi/types.h"

struct HandleProcs;

struct ColorCache {
  uint8* table;              // slot table while locked, null while unlocked
  int8 keySize;              // bytes of a key (the source colour's channels)
  int8 valueSize;            // bytes of a value (the converted colour's channels)
  int8 slotBits;             // log2 of slotCount
  uint32 slotCount;          // number of slots
  HandleProcs* handleProcs;  // the host's handle services the table was made with
  Handle tableHandle;        // slotCount * 8 bytes; null if it could not be allocated
  int32 insertCount;         // colours stored
};

// Returns a locked cache of 2^slotBits (1..27) zeroed slots for keys of keySize bytes and values
// of valueSize bytes (1..3 for a four-byte key, 1..4 for a shorter one), or nullptr if the
// record itself cannot be allocated; other sizes give a cache without a table.
ColorCache* createColorCache(HandleProcs* procs, int8 slotBits, int8 keySize, int8 valueSize);
// Disposes of the table and the record and clears the owner's pointer; null is ignored.
void destroyColorCache(ColorCache*& cache);
void lockColorCache(ColorCache* cache);
void unlockColorCache(ColorCache* cache);

// The slot index of a key (keySize bytes).
uint32 colorCacheSlot(const ColorCache& cache, const uint8* key);

// A locked cache's table and slot rule copied into plain values, for loops over many pixels:
// the compiler keeps them in registers, where the cache's own fields, reachable through the
// pixels' byte pointers, would be read again after every store. Keys are handled packed, as
// four bytes, with pack<KeySize>. A probe of a cache without a table finds nothing; a null
// cache has no slots either.
class ColorCacheProbe {
 public:
  explicit ColorCacheProbe(const ColorCache* cache);

  // The key's bytes, zero-padded, as one number, with a shorter key's filled mark in the byte
  // it leaves free, so that no filled slot reads 0: the whole compare in a slot.
  template <int KeySize>
  static uint32 pack(const uint8* key) {
    // Byte by byte, in registers: a narrower copy into a word on the stack read back whole
    // would wait for the stores to land. Four bytes become one load.
    uint32 packed = KeySize < 4 ? uint32(1) << 24 : 0;
    for (int i = 0; i < KeySize; ++i) packed |= uint32(key[i]) << (8 * i);
    return packed;
  }

  // The top slotBits bits of the packed key times a large odd number (Fibonacci hashing).
  // Slots made of the low bits of each channel side by side, the rule before this one, put
  // nearby colours in nearby slots, which seemed kinder to the processor's caches; measured on
  // a CMYK photograph, the two conversion loops took half as long again with it.
  uint32 slot(uint32 packed) const { return (packed * kSlotMultiplier) >> slotShift_; }

  void prefetch(uint32 packed) const {
    if (table_ != nullptr) __builtin_prefetch(table_ + size_t(slot(packed)) * kSlotBytes);
  }

  // The value bytes stored for the packed key, or nullptr.
  const uint8* find(uint32 packed) const {
    if (table_ == nullptr) return nullptr;
    const uint8* entry = table_ + size_t(slot(packed)) * kSlotBytes;
    uint32 stored;
    __builtin_memcpy(&stored, entry, 4);
    return stored == packed && (!fourByteKeys_ || entry[kFilledOffset] != 0) ? entry + kValueOffset
                                                                             : nullptr;
  }

  // A slot: the key in bytes 0..3, the value from byte 4. A key of four bytes leaves room for
  // a value of three and the filled mark in byte 7; a shorter key carries the mark in its own
  // top byte (pack), leaving four bytes for the value.
  static constexpr int kSlotBytes = 8;
  static constexpr int kValueOffset = 4;
  static constexpr int kFilledOffset = 7;

 private:
  static constexpr uint32 kSlotMultiplier = 0x9E3779B1u;  // 2^32 divided by the golden ratio, odd

  const uint8* table_ = nullptr;
  // 32 - slotBits; a null cache's probe, which never reads a slot, keeps 31.
  uint32 slotShift_ = 31;
  bool fourByteKeys_ = false;
};
// The value bytes stored for key (keySize bytes), or nullptr. The cache must be locked.
const uint8* lookupColor(const ColorCache* cache, const uint8* key);
// Stores key and value (valueSize bytes); false when nothing was stored. The cache must be
// locked.
bool insertColor(ColorCache* cache, const uint8* key, const uint8* value);

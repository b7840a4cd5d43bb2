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
  // The slot of a key is made of the low bits of its bytes (keyBits[i] of byte i) side by side,
  // not of a hash: neighbouring pixels have nearby colours, and nearby colours then lie in
  // nearby slots, in cache lines and pages the processor already holds.
  int8 keyBits[4];
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
// The value bytes stored for key (keySize bytes), or nullptr. The cache must be locked.
const uint8* lookupColor(const ColorCache* cache, const uint8* key);
// Starts loading the slot of key, ahead of its lookup. The cache must be locked.
void prefetchColor(const ColorCache* cache, const uint8* key);
// Stores key and value (valueSize bytes); false when nothing was stored. The cache must be
// locked.
bool insertColor(ColorCache* cache, const uint8* key, const uint8* value);

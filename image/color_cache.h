// ColorCache: remembers single-colour conversions obtained from the host, as an open-addressing
// table of fixed-size slots (key bytes followed by value bytes) held in one handle of
// memory/handle_memory.h. A slot whose first byte is 0 counts as empty; the table starts all zero.
// A key is probed at slots (i * home) mod slotCount for i = 1..maxProbes; a key whose probes are
// all taken is simply not cached. When the insertions since the last clearing pass loadLimit the
// whole table is cleared instead of rehashed.
// The record is allocated by createColorCache and freed by destroyColorCache; the table is
// addressable only between lockColorCache and unlockColorCache (both idempotent).
// A cache whose table could not be allocated stays valid but caches nothing: lookups find
// nothing and insertions store nothing, so every colour is converted through the host.
// Lookup and insert on a null cache behave the same way.
// A direct cache (createDirectColorCache) keeps one colour per slot instead: each key has a
// single slot of 8 bytes (key padded to four bytes, value padded to three, a filled mark), a new
// colour takes the place of the one it finds there, and nothing is ever cleared. It suits
// conversions whose answer is the same whenever asked, where what the cache forgets only
// decides how often the host is asked, never what it answers.
#pragma once

#include "hostapi/types.h"

struct HandleProcs;

struct ColorCache {
  uint8* table;              // slot table while locked, null while unlocked
  int8 keySize;              // bytes of a key (the source colour's channels)
  int8 entrySize;            // bytes of a slot: key, then value
  int8 maxProbes;            // slots tried per key
  uint32 slotCount;          // number of slots
  HandleProcs* handleProcs;  // the host's handle services the table was made with
  Handle tableHandle;        // slotCount * entrySize bytes (8 a slot in a direct cache); null if
                             // it could not be allocated
  int32 loadLimit;           // slotCount * 0.8, truncated (a direct cache is never cleared)
  int32 insertCount;         // insertions since the table was last cleared
  int8 slotBits;             // direct cache: log2 of slotCount; 0 for a probing cache
};

// Returns a locked cache with a zeroed table, or nullptr if the record itself cannot be allocated.
ColorCache* createColorCache(HandleProcs* procs, uint32 slotCount, int8 maxProbes, int8 entrySize,
                             int8 keySize);
// Returns a locked direct cache of 2^slotBits zeroed slots for keys of keySize (1..4) bytes and
// values of valueSize (1..3) bytes; other sizes give a cache without a table.
ColorCache* createDirectColorCache(HandleProcs* procs, int8 slotBits, int8 keySize, int8 valueSize);
// Disposes of the table and the record and clears the owner's pointer; null is ignored.
void destroyColorCache(ColorCache*& cache);
void lockColorCache(ColorCache* cache);
void unlockColorCache(ColorCache* cache);

// The home value of a key in a probing cache: its bytes, taken as signed, shifted in from the right
// in 32 bits, modulo slotCount.
uint32 colorCacheHome(const ColorCache& cache, const uint8* key);
// The value bytes stored for key (keySize bytes), or nullptr. The cache must be locked.
const uint8* lookupColor(const ColorCache* cache, const uint8* key);
// Starts loading the slot of key in a direct cache, ahead of its lookup; nothing for other
// caches. The cache must be locked.
void prefetchColor(const ColorCache* cache, const uint8* key);
// Stores key and value (entrySize - keySize bytes); false when nothing was stored. The cache
// must be locked.
bool insertColor(ColorCache* cache, const uint8* key, const uint8* value);

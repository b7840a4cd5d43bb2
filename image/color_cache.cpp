#include "image/color_cache.h"

#include <cstring>
#include <new>

#include "memory/handle_memory.h"

namespace {

// A slot: the key in bytes 0..3, the value from byte 4. A key of four bytes leaves room for a
// value of three and the filled mark in byte 7; a shorter key carries the mark in its own top
// byte (packedKey), leaving four bytes for the value.
constexpr int kSlotBytes = 8;
constexpr int kValueOffset = 4;
constexpr int kFilledOffset = 7;

int32 tableBytes(const ColorCache& cache) { return int32(cache.slotCount) * kSlotBytes; }

bool usable(const ColorCache* cache) { return cache != nullptr && cache->table != nullptr; }

// The key's bytes, zero-padded, as one number: the whole compare in a slot. A key shorter than
// four bytes is marked filled in the byte it leaves free, so that no filled slot reads 0.
uint32 packedKey(const uint8* key, int keySize) {
  uint32 packed = 0;
  std::memcpy(&packed, key, size_t(keySize));
  if (keySize < 4) packed |= uint32(1) << 24;
  return packed;
}

uint8* slotOf(const ColorCache& cache, const uint8* key) {
  return cache.table + size_t(colorCacheSlot(cache, key)) * kSlotBytes;
}

// Inlined with a constant keySize for the document modes whose pixels all take this path.
inline const uint8* lookupSized(const ColorCache& cache, const uint8* key, int keySize) {
  const uint32 packed = packedKey(key, keySize);
  const uint8* slot = slotOf(cache, key);
  uint32 stored;
  std::memcpy(&stored, slot, 4);
  return stored == packed && (keySize < 4 || slot[kFilledOffset] != 0) ? slot + kValueOffset
                                                                       : nullptr;
}

}  // namespace

ColorCache* createColorCache(HandleProcs* procs, int8 slotBits, int8 keySize, int8 valueSize) {
  ColorCache* cache = new (std::nothrow) ColorCache{};
  if (cache == nullptr) return nullptr;
  cache->keySize = keySize;
  cache->valueSize = valueSize;
  cache->slotBits = slotBits > 0 && slotBits < 28 ? slotBits : 1;
  cache->slotCount = uint32(1) << cache->slotBits;
  cache->handleProcs = procs;
  const bool fits = keySize >= 1 && keySize <= 4 && valueSize >= 1 &&
                    valueSize <= (keySize < 4 ? 4 : kFilledOffset - kValueOffset);
  if (!fits) return cache;
  // The slot bits shared out over the key's bytes, the first bytes taking any left over; a
  // byte gives at most its eight.
  for (int i = 0; i < keySize; ++i) {
    const int share = cache->slotBits / keySize + (i < cache->slotBits % keySize ? 1 : 0);
    cache->keyBits[i] = int8(share < 8 ? share : 8);
  }
  cache->tableHandle = newHandle(procs, tableBytes(*cache));
  lockColorCache(cache);
  if (cache->table != nullptr) std::memset(cache->table, 0, size_t(tableBytes(*cache)));
  return cache;
}

void destroyColorCache(ColorCache*& cache) {
  if (cache == nullptr) return;
  unlockColorCache(cache);
  if (cache->tableHandle != nullptr) disposeHandle(cache->handleProcs, cache->tableHandle);
  delete cache;
  cache = nullptr;
}

void lockColorCache(ColorCache* cache) {
  if (cache == nullptr || cache->table != nullptr || cache->tableHandle == nullptr) return;
  cache->table = static_cast<uint8*>(lockHandle(cache->handleProcs, cache->tableHandle));
}

void unlockColorCache(ColorCache* cache) {
  if (cache == nullptr || cache->table == nullptr) return;
  unlockHandle(cache->handleProcs, cache->tableHandle);
  cache->table = nullptr;
}

uint32 colorCacheSlot(const ColorCache& cache, const uint8* key) {
  // The first byte's bits highest: a step in the last channel is a step to the next slot.
  uint32 slot = 0;
  for (int i = 0; i < cache.keySize; ++i)
    slot = (slot << cache.keyBits[i]) | (key[i] & ((1u << cache.keyBits[i]) - 1));
  return slot & (cache.slotCount - 1);
}

const uint8* lookupColor(const ColorCache* cache, const uint8* key) {
  if (!usable(cache)) return nullptr;
  switch (cache->keySize) {
    case 4:
      return lookupSized(*cache, key, 4);
    case 3:
      return lookupSized(*cache, key, 3);
    default:
      return lookupSized(*cache, key, cache->keySize);
  }
}

void prefetchColor(const ColorCache* cache, const uint8* key) {
  if (!usable(cache)) return;
  __builtin_prefetch(slotOf(*cache, key));
}

bool insertColor(ColorCache* cache, const uint8* key, const uint8* value) {
  if (!usable(cache)) return false;
  const uint32 packed = packedKey(key, cache->keySize);
  uint8* slot = slotOf(*cache, key);
  std::memset(slot, 0, kSlotBytes);
  std::memcpy(slot, &packed, 4);
  std::memcpy(slot + kValueOffset, value, size_t(cache->valueSize));
  if (cache->keySize == 4) slot[kFilledOffset] = 1;
  ++cache->insertCount;
  return true;
}

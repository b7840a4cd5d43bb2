#include "image/color_cache.h"

#include <cstring>
#include <new>

#include "memory/handle_memory.h"

namespace {

// The table size in bytes, or 0 when it would not fit a handle's signed 32-bit size.
int32 tableBytes(uint32 slotCount, int8 entrySize) {
  uint64_t bytes = uint64_t(slotCount) * uint64_t(entrySize > 0 ? entrySize : 0);
  return bytes <= 0x7fffffffu ? int32(bytes) : 0;
}

void clearTable(ColorCache& cache) {
  std::memset(cache.table, 0, size_t(tableBytes(cache.slotCount, cache.entrySize)));
}

uint8* probeSlot(const ColorCache& cache, uint32 home, int probe) {
  uint32 slot = uint32((uint64_t(probe) * home) % cache.slotCount);
  return cache.table + size_t(slot) * size_t(cache.entrySize);
}

bool usable(const ColorCache* cache) { return cache != nullptr && cache->table != nullptr; }

}  // namespace

ColorCache* createColorCache(HandleProcs* procs, uint32 slotCount, int8 maxProbes,
                             int8 entrySize, int8 keySize) {
  ColorCache* cache = new (std::nothrow) ColorCache{};
  if (cache == nullptr) return nullptr;
  cache->keySize = keySize;
  cache->entrySize = entrySize;
  cache->maxProbes = maxProbes;
  cache->slotCount = slotCount;
  cache->handleProcs = procs;
  cache->loadLimit = int32(slotCount * 0.8);
  int32 bytes = tableBytes(slotCount, entrySize);
  if (bytes > 0 && keySize > 0 && keySize < entrySize)
    cache->tableHandle = newHandle(procs, bytes);
  lockColorCache(cache);
  if (cache->table != nullptr) clearTable(*cache);
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

uint32 colorCacheHome(const ColorCache& cache, const uint8* key) {
  // Bytes of 128 and above count as negative: the hash has always been formed that way, and
  // the slot positions of every colour depend on it.
  uint32 hash = 0;
  for (int i = 0; i < cache.keySize; ++i)
    hash = (hash << 8) + uint32(int32(int8(key[i])));
  return cache.slotCount != 0 ? hash % cache.slotCount : 0;
}

const uint8* lookupColor(const ColorCache* cache, const uint8* key) {
  if (!usable(cache)) return nullptr;
  uint32 home = colorCacheHome(*cache, key);
  for (int probe = 1; probe <= cache->maxProbes; ++probe) {
    const uint8* slot = probeSlot(*cache, home, probe);
    // The key is compared before emptiness, so the all-zero colour is found in its slot.
    if (std::memcmp(slot, key, size_t(cache->keySize)) == 0) return slot + cache->keySize;
    if (slot[0] == 0) return nullptr;
  }
  return nullptr;
}

bool insertColor(ColorCache* cache, const uint8* key, const uint8* value) {
  if (!usable(cache)) return false;
  uint32 home = colorCacheHome(*cache, key);
  for (int probe = 1; probe <= cache->maxProbes; ++probe) {
    uint8* slot = probeSlot(*cache, home, probe);
    if (slot[0] != 0) continue;
    // Past the load limit the table is cleared rather than rehashed; the chosen slot is still
    // the right one for this key in the empty table.
    if (cache->insertCount++ > cache->loadLimit) {
      clearTable(*cache);
      cache->insertCount = 0;
    }
    std::memcpy(slot, key, size_t(cache->keySize));
    std::memcpy(slot + cache->keySize, value, size_t(cache->entrySize - cache->keySize));
    return true;
  }
  return false;
}

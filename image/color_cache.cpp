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

// A direct cache's slot: the key in bytes 0..3, the value in 4..6, the filled mark in 7.
constexpr int8 kDirectSlotBytes = 8;
constexpr int kDirectValueOffset = 4;
constexpr int kDirectFilledOffset = 7;

int8 slotBytesOf(const ColorCache& cache) {
  return cache.slotBits != 0 ? kDirectSlotBytes : cache.entrySize;
}

void clearTable(ColorCache& cache) {
  std::memset(cache.table, 0, size_t(tableBytes(cache.slotCount, slotBytesOf(cache))));
}

// Walks the probe sequence (i * home) mod slotCount for i = 1, 2, ... by adding home each step:
// home is already below slotCount, so one subtraction keeps the sum in range and no division is
// needed on the path every pixel of a document that is not RGB takes.
class ProbeWalk {
 public:
  ProbeWalk(const ColorCache& cache, uint32 home) : cache_(cache), home_(home), slot_(home) {}
  uint8* slot() const { return cache_.table + size_t(slot_) * size_t(cache_.entrySize); }
  void next() {
    uint64_t sum = uint64_t(slot_) + home_;
    slot_ = uint32(sum >= cache_.slotCount ? sum - cache_.slotCount : sum);
  }

 private:
  const ColorCache& cache_;
  uint32 home_;
  uint32 slot_;
};

// Keys are one to four bytes; comparing them in place is much cheaper than a library call.
bool sameKey(const uint8* slot, const uint8* key, int keySize) {
  switch (keySize) {
    case 1:
      return slot[0] == key[0];
    case 3:
      return slot[0] == key[0] && slot[1] == key[1] && slot[2] == key[2];
    case 4: {
      uint32 a, b;
      std::memcpy(&a, slot, 4);
      std::memcpy(&b, key, 4);
      return a == b;
    }
    default:
      return std::memcmp(slot, key, size_t(keySize)) == 0;
  }
}

bool usable(const ColorCache* cache) { return cache != nullptr && cache->table != nullptr; }

// The key's bytes, zero-padded, as one number: the whole compare in a direct slot.
uint32 directKey(const uint8* key, int keySize) {
  uint32 packed = 0;
  std::memcpy(&packed, key, size_t(keySize));
  return packed;
}

uint8* directSlot(const ColorCache& cache, uint32 packedKey) {
  // A multiplicative hash: CMYK colours differ mostly in their low bits, which it spreads over
  // the top bits it keeps.
  const uint32 index = uint32(packedKey * 0x9E3779B1u) >> (32 - cache.slotBits);
  return cache.table + size_t(index) * kDirectSlotBytes;
}

// Inlined with a constant keySize for CMYK, the one mode whose pixels all take this path.
inline const uint8* lookupDirect(const ColorCache& cache, const uint8* key, int keySize) {
  const uint32 packed = directKey(key, keySize);
  const uint8* slot = directSlot(cache, packed);
  uint32 stored;
  std::memcpy(&stored, slot, 4);
  return stored == packed && slot[kDirectFilledOffset] != 0 ? slot + kDirectValueOffset : nullptr;
}

bool insertDirect(ColorCache& cache, const uint8* key, const uint8* value) {
  uint8* slot = directSlot(cache, directKey(key, cache.keySize));
  std::memset(slot, 0, kDirectSlotBytes);
  std::memcpy(slot, key, size_t(cache.keySize));
  std::memcpy(slot + kDirectValueOffset, value, size_t(cache.entrySize - cache.keySize));
  slot[kDirectFilledOffset] = 1;
  ++cache.insertCount;
  return true;
}

}  // namespace

ColorCache* createColorCache(HandleProcs* procs, uint32 slotCount, int8 maxProbes, int8 entrySize,
                             int8 keySize) {
  ColorCache* cache = new (std::nothrow) ColorCache{};
  if (cache == nullptr) return nullptr;
  cache->keySize = keySize;
  cache->entrySize = entrySize;
  cache->maxProbes = maxProbes;
  cache->slotCount = slotCount;
  cache->handleProcs = procs;
  cache->loadLimit = int32(slotCount * 0.8);
  int32 bytes = tableBytes(slotCount, entrySize);
  if (bytes > 0 && keySize > 0 && keySize < entrySize) cache->tableHandle = newHandle(procs, bytes);
  lockColorCache(cache);
  if (cache->table != nullptr) clearTable(*cache);
  return cache;
}

ColorCache* createDirectColorCache(HandleProcs* procs, int8 slotBits, int8 keySize,
                                   int8 valueSize) {
  ColorCache* cache = new (std::nothrow) ColorCache{};
  if (cache == nullptr) return nullptr;
  cache->keySize = keySize;
  cache->entrySize = int8(keySize + valueSize);
  cache->maxProbes = 1;
  cache->slotBits = slotBits > 0 && slotBits < 28 ? slotBits : 1;
  cache->slotCount = uint32(1) << cache->slotBits;
  cache->handleProcs = procs;
  cache->loadLimit = int32(cache->slotCount);
  const int32 bytes = tableBytes(cache->slotCount, kDirectSlotBytes);
  const bool fits = keySize >= 1 && keySize <= kDirectValueOffset && valueSize >= 1 &&
                    valueSize <= kDirectFilledOffset - kDirectValueOffset;
  if (bytes > 0 && fits) cache->tableHandle = newHandle(procs, bytes);
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
  for (int i = 0; i < cache.keySize; ++i) hash = (hash << 8) + uint32(int32(int8(key[i])));
  return cache.slotCount != 0 ? hash % cache.slotCount : 0;
}

// The lookup for one key size, so that the key compare and the slot size are constants in the
// probe loop every pixel of a CMYK document runs.
template <int KeySize, int EntrySize>
const uint8* lookupSized(const ColorCache& cache, const uint8* key) {
  const uint32 count = cache.slotCount;
  const uint32 home = colorCacheHome(cache, key);
  uint32 index = home;
  for (int probe = 1; probe <= cache.maxProbes; ++probe) {
    const uint8* slot = cache.table + size_t(index) * EntrySize;
    // The key is compared before emptiness, so the all-zero colour is found in its slot.
    if (sameKey(slot, key, KeySize)) return slot + KeySize;
    if (slot[0] == 0) return nullptr;
    const uint64_t sum = uint64_t(index) + home;
    index = uint32(sum >= count ? sum - count : sum);
  }
  return nullptr;
}

const uint8* lookupColor(const ColorCache* cache, const uint8* key) {
  if (!usable(cache)) return nullptr;
  if (cache->slotBits != 0)
    return cache->keySize == 4 ? lookupDirect(*cache, key, 4)
                               : lookupDirect(*cache, key, cache->keySize);
  if (cache->keySize == 4 && cache->entrySize == 7) return lookupSized<4, 7>(*cache, key);
  if (cache->keySize == 3 && cache->entrySize == 7) return lookupSized<3, 7>(*cache, key);
  ProbeWalk walk(*cache, colorCacheHome(*cache, key));
  for (int probe = 1; probe <= cache->maxProbes; ++probe, walk.next()) {
    const uint8* slot = walk.slot();
    if (sameKey(slot, key, cache->keySize)) return slot + cache->keySize;
    if (slot[0] == 0) return nullptr;
  }
  return nullptr;
}

void prefetchColor(const ColorCache* cache, const uint8* key) {
  if (!usable(cache) || cache->slotBits == 0) return;
  __builtin_prefetch(directSlot(*cache, directKey(key, cache->keySize)));
}

bool insertColor(ColorCache* cache, const uint8* key, const uint8* value) {
  if (!usable(cache)) return false;
  if (cache->slotBits != 0) return insertDirect(*cache, key, value);
  ProbeWalk walk(*cache, colorCacheHome(*cache, key));
  for (int probe = 1; probe <= cache->maxProbes; ++probe, walk.next()) {
    uint8* slot = walk.slot();
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

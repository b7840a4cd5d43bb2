#include "image/color_cache.h"

#include <cstring>
#include <new>

#include "memory/handle_memory.h"

namespace {

constexpr int kSlotBytes = ColorCacheProbe::kSlotBytes;
constexpr int kValueOffset = ColorCacheProbe::kValueOffset;
constexpr int kFilledOffset = ColorCacheProbe::kFilledOffset;

int32 tableBytes(const ColorCache& cache) { return int32(cache.slotCount) * kSlotBytes; }

bool hasTable(const ColorCache* cache) { return cache != nullptr && cache->table != nullptr; }

uint32 packedKey(const uint8* key, int keySize) {
  switch (keySize) {
    case 4:
      return ColorCacheProbe::pack<4>(key);
    case 3:
      return ColorCacheProbe::pack<3>(key);
    case 2:
      return ColorCacheProbe::pack<2>(key);
    default:
      return ColorCacheProbe::pack<1>(key);
  }
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

ColorCacheProbe::ColorCacheProbe(const ColorCache* cache) {
  if (cache == nullptr) return;
  table_ = cache->table;
  slotShift_ = 32 - uint32(cache->slotBits);
  fourByteKeys_ = cache->keySize == 4;
}

uint32 colorCacheSlot(const ColorCache& cache, const uint8* key) {
  return ColorCacheProbe(&cache).slot(packedKey(key, cache.keySize));
}

const uint8* lookupColor(const ColorCache* cache, const uint8* key) {
  if (!hasTable(cache)) return nullptr;
  return ColorCacheProbe(cache).find(packedKey(key, cache->keySize));
}

bool insertColor(ColorCache* cache, const uint8* key, const uint8* value) {
  if (!hasTable(cache)) return false;
  const uint32 packed = packedKey(key, cache->keySize);
  uint8* slot = cache->table + size_t(ColorCacheProbe(cache).slot(packed)) * kSlotBytes;
  std::memset(slot, 0, kSlotBytes);
  std::memcpy(slot, &packed, 4);
  std::memcpy(slot + kValueOffset, value, size_t(cache->valueSize));
  if (cache->keySize == 4) slot[kFilledOffset] = 1;
  ++cache->insertCount;
  return true;
}

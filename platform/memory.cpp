// Global memory: fixed blocks are their own handle (as on Windows, the handle is the address);
// moveable blocks get a separate token whose lock returns the data. The driver can make chosen
// allocations fail, the way an exhausted system would.
#include "platform/stand_in.h"

#include <cstdlib>
#include <cstring>

using namespace standin;

namespace {

bool allocationShouldFail() {
  State& s = state();
  if (s.allocationsBeforeFailure < 0) return false;
  if (s.allocationsBeforeFailure > 0) {
    --s.allocationsBeforeFailure;
    return false;
  }
  if (--s.failingAllocations <= 0) s.allocationsBeforeFailure = -1;
  return true;
}

GlobalBlock* findBlock(HGLOBAL memory) {
  auto& blocks = state().globalBlocks;
  auto it = blocks.find(memory);
  return it == blocks.end() ? nullptr : &it->second;
}

}  // namespace

extern "C" {

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (allocationShouldFail()) return nullptr;
  GlobalBlock block;
  block.size = bytes;
  block.fixed = (flags & GMEM_MOVEABLE) == 0;
  // A moveable block of size 0 has no memory behind it: locking it yields null, as on Windows.
  if (bytes > 0 || block.fixed) {
    block.data = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1)
                                         : std::malloc(bytes ? bytes : 1);
    if (!block.data) return nullptr;
  }
  HGLOBAL handle = block.fixed ? block.data : static_cast<HGLOBAL>(new char);
  state().globalBlocks[handle] = block;
  return handle;
}

LPVOID GlobalLock(HGLOBAL memory) {
  GlobalBlock* block = findBlock(memory);
  if (!block || !block->data) return nullptr;
  if (!block->fixed) ++block->locks;
  return block->data;
}

BOOL GlobalUnlock(HGLOBAL memory) {
  GlobalBlock* block = findBlock(memory);
  if (!block || block->fixed || block->locks == 0) return FALSE;
  --block->locks;
  return block->locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  auto& blocks = state().globalBlocks;
  auto it = blocks.find(memory);
  if (it == blocks.end()) return memory;
  std::free(it->second.data);
  if (!it->second.fixed) delete static_cast<char*>(memory);
  blocks.erase(it);
  return nullptr;
}

HGLOBAL GlobalHandle(LPCVOID pointer) {
  if (!pointer) return nullptr;
  for (auto& [handle, block] : state().globalBlocks)
    if (block.data == pointer) return handle;
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  GlobalBlock* block = findBlock(memory);
  return block ? block->size : 0;
}

}  // extern "C"

namespace standin {

void freeAllGlobalMemory() {
  while (!state().globalBlocks.empty()) GlobalFree(state().globalBlocks.begin()->first);
}

}  // namespace standin

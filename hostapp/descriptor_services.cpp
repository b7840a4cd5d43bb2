#include "hostapp/descriptor_services.h"

#include "hostapi/constants.h"

DescriptorServices* DescriptorServices::active_ = nullptr;

struct DescriptorServices::Reader {
  RecordedAction items;
  size_t next = 0;
  DescriptorKeyID* keys;
  OSErr lastError = noErr;
};

struct DescriptorServices::Writer {
  RecordedAction items;
};

namespace {
constexpr DescriptorKeyID kNullKey = fourCharCode("null");
}

DescriptorServices::DescriptorServices(const DescriptorOptions& options) : options_(options) {
  active_ = this;
  readProcs_.readDescriptorProcsVersion = kCurrentReadDescriptorProcsVersion;
  readProcs_.numReadDescriptorProcs = options.readCount;
  writeProcs_.writeDescriptorProcsVersion = kCurrentWriteDescriptorProcsVersion;
  writeProcs_.numWriteDescriptorProcs = options.writeCount;
  if (!options.nullProcs) {
    readProcs_.openReadDescriptorProc = &openRead;
    readProcs_.closeReadDescriptorProc = &closeRead;
    readProcs_.getKeyProc = &getKey;
    readProcs_.getIntegerProc = &getInteger;
    writeProcs_.openWriteDescriptorProc = &openWrite;
    writeProcs_.closeWriteDescriptorProc = &closeWrite;
    writeProcs_.putIntegerProc = &putInteger;
  }
  parameters_.readDescriptorProcs = &readProcs_;
  parameters_.writeDescriptorProcs = &writeProcs_;
}

DescriptorServices::~DescriptorServices() {
  if (active_ == this) active_ = nullptr;
}

PIDescriptorParameters* DescriptorServices::parameters() {
  return options_.offered ? &parameters_ : nullptr;
}

void DescriptorServices::prepareRun(const RecordedAction* action, bool withDialog) {
  parameters_.descriptor = action != nullptr ? makeDescriptor(*action) : nullptr;
  parameters_.playInfo = withDialog ? plugInDialogDisplay : plugInDialogDontDisplay;
  parameters_.recordInfo = withDialog ? plugInDialogOptional : plugInDialogNone;
}

bool DescriptorServices::takeRecorded(RecordedAction* action) {
  auto found = blocks_.find(parameters_.descriptor);
  parameters_.descriptor = nullptr;
  if (found == blocks_.end()) return false;
  *action = found->second->items;
  blocks_.erase(found);
  return true;
}

PIDescriptorHandle DescriptorServices::makeDescriptor(const RecordedAction& items) {
  auto block = std::make_unique<Block>();
  block->items = items;
  block->master = reinterpret_cast<char*>(block->items.data());
  PIDescriptorHandle handle = &block->master;
  blocks_[handle] = std::move(block);
  return handle;
}

PIReadDescriptor HOSTAPI_CALL DescriptorServices::openRead(PIDescriptorHandle descriptor,
                                                           DescriptorKeyIDArray keys) {
  if (active_ == nullptr) return nullptr;
  auto found = active_->blocks_.find(descriptor);
  if (found == active_->blocks_.end()) return nullptr;
  auto* reader = new Reader{found->second->items, 0, keys, noErr};
  ++active_->openReaders_;
  return reinterpret_cast<PIReadDescriptor>(reader);
}

OSErr HOSTAPI_CALL DescriptorServices::closeRead(PIReadDescriptor token) {
  auto* reader = reinterpret_cast<Reader*>(token);
  if (reader == nullptr) return paramErr;
  OSErr last = reader->lastError;
  delete reader;
  if (active_ != nullptr) --active_->openReaders_;
  return last;
}

Boolean HOSTAPI_CALL DescriptorServices::getKey(PIReadDescriptor token, DescriptorKeyID* key,
                                                DescriptorTypeID* type, int32* flags) {
  auto* reader = reinterpret_cast<Reader*>(token);
  if (reader == nullptr || reader->next >= reader->items.size()) return 0;
  const DescriptorItem& item = reader->items[reader->next++];
  *key = item.key;
  *type = item.type;
  *flags = 0;
  for (DescriptorKeyID* expected = reader->keys; expected != nullptr && *expected != 0;
       ++expected) {
    if (*expected == item.key) *expected = kNullKey;
  }
  return 1;
}

OSErr HOSTAPI_CALL DescriptorServices::getInteger(PIReadDescriptor token, int32* value) {
  auto* reader = reinterpret_cast<Reader*>(token);
  if (reader == nullptr || reader->next == 0) return paramErr;
  const DescriptorItem& item = reader->items[reader->next - 1];
  if (item.type != kIntegerType) {
    reader->lastError = paramErr;
    return paramErr;
  }
  *value = item.value;
  return noErr;
}

PIWriteDescriptor HOSTAPI_CALL DescriptorServices::openWrite() {
  return reinterpret_cast<PIWriteDescriptor>(new Writer);
}

OSErr HOSTAPI_CALL DescriptorServices::closeWrite(PIWriteDescriptor token,
                                                  PIDescriptorHandle* descriptor) {
  auto* writer = reinterpret_cast<Writer*>(token);
  if (writer == nullptr) return paramErr;
  if (active_ != nullptr && descriptor != nullptr) {
    *descriptor = active_->makeDescriptor(writer->items);
  }
  delete writer;
  return noErr;
}

OSErr HOSTAPI_CALL DescriptorServices::putInteger(PIWriteDescriptor token, DescriptorKeyID key,
                                                  int32 value) {
  auto* writer = reinterpret_cast<Writer*>(token);
  if (writer == nullptr) return paramErr;
  writer->items.push_back(DescriptorItem{key, kIntegerType, value});
  return noErr;
}

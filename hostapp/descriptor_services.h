// The host's scripting suite: descriptors that a filter writes at the end of a run and that
// the host replays to a later run, as a recorded action does. A descriptor here is a list of
// items (key, type, integer value) behind a host handle whose first word leads to the data.
// The host owns every descriptor handle; handles live until the services are destroyed or the
// recorded one is taken back with takeRecorded.
// The read procedures overwrite each key they deliver in the filter's key array with 'null'
// (so the array must be writable). Integers are delivered only for items of type 'long';
// another type answers paramErr. closeRead answers the last error of the reading.
// Switches for tests: offer no suite at all (FilterRecord.descriptorParameters null), suites
// with only null procedures, or suites that claim fewer procedures than they hold.
// The procedures are C callbacks without a context word: one DescriptorServices is active at a
// time, the most recently constructed.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "hostapi/descriptors.h"

struct DescriptorItem {
  DescriptorKeyID key;
  DescriptorTypeID type;
  int32 value;
};
using RecordedAction = std::vector<DescriptorItem>;

constexpr DescriptorTypeID kIntegerType = fourCharCode("long");

struct DescriptorOptions {
  bool offered = true;
  bool nullProcs = false;
  int16 readCount = kCurrentReadDescriptorProcsCount;
  int16 writeCount = kCurrentWriteDescriptorProcsCount;
};

class DescriptorServices {
 public:
  explicit DescriptorServices(const DescriptorOptions& options = DescriptorOptions());
  ~DescriptorServices();
  DescriptorServices(const DescriptorServices&) = delete;
  DescriptorServices& operator=(const DescriptorServices&) = delete;

  // What goes into FilterRecord.descriptorParameters: null when the suite is not offered.
  PIDescriptorParameters* parameters();

  // Prepares the next run: replays `action` (null: no descriptor) with the play and record
  // modes of a run with or without its dialog.
  void prepareRun(const RecordedAction* action, bool withDialog);

  // After Finish: the descriptor the filter left in the parameters, decoded; false when it left
  // none that this host made. The field is cleared and the descriptor forgotten.
  bool takeRecorded(RecordedAction* action);

  int openReaders() const { return openReaders_; }

 private:
  struct Reader;
  struct Writer;
  struct Block {
    char* master;
    RecordedAction items;
  };

  static DescriptorServices* active_;
  static PIReadDescriptor HOSTAPI_CALL openRead(PIDescriptorHandle descriptor,
                                                DescriptorKeyIDArray keys);
  static OSErr HOSTAPI_CALL closeRead(PIReadDescriptor reader);
  static Boolean HOSTAPI_CALL getKey(PIReadDescriptor reader, DescriptorKeyID* key,
                                     DescriptorTypeID* type, int32* flags);
  static OSErr HOSTAPI_CALL getInteger(PIReadDescriptor reader, int32* value);
  static PIWriteDescriptor HOSTAPI_CALL openWrite();
  static OSErr HOSTAPI_CALL closeWrite(PIWriteDescriptor writer, PIDescriptorHandle* descriptor);
  static OSErr HOSTAPI_CALL putInteger(PIWriteDescriptor writer, DescriptorKeyID key, int32 value);
  PIDescriptorHandle makeDescriptor(const RecordedAction& items);

  DescriptorOptions options_;
  PIDescriptorParameters parameters_ = {};
  ReadDescriptorProcs readProcs_ = {};
  WriteDescriptorProcs writeProcs_ = {};
  std::map<PIDescriptorHandle, std::unique_ptr<Block>> blocks_;
  int openReaders_ = 0;
};

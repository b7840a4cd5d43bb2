// The scripting (descriptor) suite: how a module reads the parameters of a recorded action and
// writes the ones to record. The host owns the descriptor handles and the read/write tokens;
// the key array given to openReadDescriptorProc is written to by the host (each key it delivers
// is overwritten with 'null'), so it must live in writable memory.
#pragma once

#include "hostapi/types.h"

typedef uint32 DescriptorKeyID;
typedef uint32 DescriptorTypeID;
typedef uint32 DescriptorUnitID;
typedef uint32 DescriptorEnumID;
typedef uint32 DescriptorClassID;
typedef uint32 DescriptorEventID;
typedef DescriptorKeyID DescriptorKeyIDArray[];
typedef Handle PIDescriptorHandle;
typedef struct OpaqueReadDescriptor* PIReadDescriptor;
typedef struct OpaqueWriteDescriptor* PIWriteDescriptor;

struct PIDescriptorSimpleReference {
  DescriptorTypeID desiredClass;
  DescriptorKeyID keyForm;
  struct {
    Str255 name;
    int32 index;
    DescriptorTypeID type;
    DescriptorEnumID value;
  } keyData;
};

typedef PIReadDescriptor(HOSTAPI_CALL* OpenReadDescriptorProc)(PIDescriptorHandle descriptor,
                                                               DescriptorKeyIDArray keys);
typedef OSErr(HOSTAPI_CALL* CloseReadDescriptorProc)(PIReadDescriptor reader);
typedef Boolean(HOSTAPI_CALL* GetKeyProc)(PIReadDescriptor reader, DescriptorKeyID* key,
                                          DescriptorTypeID* type, int32* flags);
typedef OSErr(HOSTAPI_CALL* GetIntegerProc)(PIReadDescriptor reader, int32* value);
typedef OSErr(HOSTAPI_CALL* GetFloatProc)(PIReadDescriptor reader, double* value);
typedef OSErr(HOSTAPI_CALL* GetUnitFloatProc)(PIReadDescriptor reader, DescriptorUnitID* unit,
                                              double* value);
typedef OSErr(HOSTAPI_CALL* GetBooleanProc)(PIReadDescriptor reader, Boolean* value);
typedef OSErr(HOSTAPI_CALL* GetTextProc)(PIReadDescriptor reader, Handle* value);
typedef OSErr(HOSTAPI_CALL* GetAliasProc)(PIReadDescriptor reader, Handle* value);
typedef OSErr(HOSTAPI_CALL* GetEnumeratedProc)(PIReadDescriptor reader, DescriptorEnumID* value);
typedef OSErr(HOSTAPI_CALL* GetClassProc)(PIReadDescriptor reader, DescriptorTypeID* value);
typedef OSErr(HOSTAPI_CALL* GetSimpleReferenceProc)(PIReadDescriptor reader,
                                                    PIDescriptorSimpleReference* value);
typedef OSErr(HOSTAPI_CALL* GetObjectProc)(PIReadDescriptor reader, DescriptorTypeID* type,
                                           PIDescriptorHandle* value);
typedef OSErr(HOSTAPI_CALL* GetCountProc)(PIReadDescriptor reader, uint32* value);
typedef OSErr(HOSTAPI_CALL* GetStringProc)(PIReadDescriptor reader, Str255* value);
typedef OSErr(HOSTAPI_CALL* GetPinnedIntegerProc)(PIReadDescriptor reader, int32 min, int32 max,
                                                  int32* value);
typedef OSErr(HOSTAPI_CALL* GetPinnedFloatProc)(PIReadDescriptor reader, const double* min,
                                                const double* max, double* value);
typedef OSErr(HOSTAPI_CALL* GetPinnedUnitFloatProc)(PIReadDescriptor reader, const double* min,
                                                    const double* max, DescriptorUnitID* unit,
                                                    double* value);

constexpr int16 kCurrentReadDescriptorProcsVersion = 0;
constexpr int16 kCurrentReadDescriptorProcsCount = 18;

struct ReadDescriptorProcs {
  int16 readDescriptorProcsVersion;
  int16 numReadDescriptorProcs;
  OpenReadDescriptorProc openReadDescriptorProc;
  CloseReadDescriptorProc closeReadDescriptorProc;
  GetKeyProc getKeyProc;
  GetIntegerProc getIntegerProc;
  GetFloatProc getFloatProc;
  GetUnitFloatProc getUnitFloatProc;
  GetBooleanProc getBooleanProc;
  GetTextProc getTextProc;
  GetAliasProc getAliasProc;
  GetEnumeratedProc getEnumeratedProc;
  GetClassProc getClassProc;
  GetSimpleReferenceProc getSimpleReferenceProc;
  GetObjectProc getObjectProc;
  GetCountProc getCountProc;
  GetStringProc getStringProc;
  GetPinnedIntegerProc getPinnedIntegerProc;
  GetPinnedFloatProc getPinnedFloatProc;
  GetPinnedUnitFloatProc getPinnedUnitFloatProc;
};

typedef PIWriteDescriptor(HOSTAPI_CALL* OpenWriteDescriptorProc)(void);
typedef OSErr(HOSTAPI_CALL* CloseWriteDescriptorProc)(PIWriteDescriptor writer,
                                                      PIDescriptorHandle* descriptor);
typedef OSErr(HOSTAPI_CALL* PutIntegerProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                            int32 value);
typedef OSErr(HOSTAPI_CALL* PutFloatProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                          const double* value);
typedef OSErr(HOSTAPI_CALL* PutUnitFloatProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                              DescriptorUnitID unit, const double* value);
typedef OSErr(HOSTAPI_CALL* PutBooleanProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                            Boolean value);
typedef OSErr(HOSTAPI_CALL* PutTextProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                         Handle value);
typedef OSErr(HOSTAPI_CALL* PutAliasProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                          Handle value);
typedef OSErr(HOSTAPI_CALL* PutEnumeratedProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                               DescriptorTypeID type, DescriptorEnumID value);
typedef OSErr(HOSTAPI_CALL* PutClassProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                          DescriptorTypeID value);
typedef OSErr(HOSTAPI_CALL* PutSimpleReferenceProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                                    const PIDescriptorSimpleReference* value);
typedef OSErr(HOSTAPI_CALL* PutObjectProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                           DescriptorTypeID type, PIDescriptorHandle value);
typedef OSErr(HOSTAPI_CALL* PutCountProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                          uint32 count);
typedef OSErr(HOSTAPI_CALL* PutStringProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                           ConstStr255Param value);
typedef OSErr(HOSTAPI_CALL* PutScopedClassProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                                DescriptorTypeID value);
typedef OSErr(HOSTAPI_CALL* PutScopedObjectProc)(PIWriteDescriptor writer, DescriptorKeyID key,
                                                 DescriptorTypeID type, PIDescriptorHandle value);

constexpr int16 kCurrentWriteDescriptorProcsVersion = 0;
constexpr int16 kCurrentWriteDescriptorProcsCount = 16;

struct WriteDescriptorProcs {
  int16 writeDescriptorProcsVersion;
  int16 numWriteDescriptorProcs;
  OpenWriteDescriptorProc openWriteDescriptorProc;
  CloseWriteDescriptorProc closeWriteDescriptorProc;
  PutIntegerProc putIntegerProc;
  PutFloatProc putFloatProc;
  PutUnitFloatProc putUnitFloatProc;
  PutBooleanProc putBooleanProc;
  PutTextProc putTextProc;
  PutAliasProc putAliasProc;
  PutEnumeratedProc putEnumeratedProc;
  PutClassProc putClassProc;
  PutSimpleReferenceProc putSimpleReferenceProc;
  PutObjectProc putObjectProc;
  PutCountProc putCountProc;
  PutStringProc putStringProc;
  PutScopedClassProc putScopedClassProc;
  PutScopedObjectProc putScopedObjectProc;
};

struct PIDescriptorParameters {
  int16 descriptorParametersVersion;
  int16 playInfo;
  int16 recordInfo;
  PIDescriptorHandle descriptor;
  WriteDescriptorProcs* writeDescriptorProcs;
  ReadDescriptorProcs* readDescriptorProcs;
};

#if HOSTAPI_CHECK_LAYOUT
static_assert(offsetof(PIDescriptorParameters, playInfo) == 2 &&
                  offsetof(PIDescriptorParameters, recordInfo) == 4 &&
                  offsetof(PIDescriptorParameters, descriptor) == 8 &&
                  offsetof(PIDescriptorParameters, writeDescriptorProcs) ==
                      HOSTAPI_OFFSET(12, 16) &&
                  offsetof(PIDescriptorParameters, readDescriptorProcs) == HOSTAPI_OFFSET(16, 24) &&
                  sizeof(PIDescriptorParameters) == HOSTAPI_OFFSET(20, 32),
              "PIDescriptorParameters layout");
static_assert(offsetof(ReadDescriptorProcs, openReadDescriptorProc) == HOSTAPI_OFFSET(4, 8) &&
                  offsetof(ReadDescriptorProcs, closeReadDescriptorProc) == HOSTAPI_OFFSET(8, 16) &&
                  offsetof(ReadDescriptorProcs, getKeyProc) == HOSTAPI_OFFSET(12, 24) &&
                  offsetof(ReadDescriptorProcs, getIntegerProc) == HOSTAPI_OFFSET(16, 32) &&
                  offsetof(ReadDescriptorProcs, getFloatProc) == HOSTAPI_OFFSET(20, 40) &&
                  offsetof(ReadDescriptorProcs, getUnitFloatProc) == HOSTAPI_OFFSET(24, 48) &&
                  offsetof(ReadDescriptorProcs, getBooleanProc) == HOSTAPI_OFFSET(28, 56) &&
                  offsetof(ReadDescriptorProcs, getTextProc) == HOSTAPI_OFFSET(32, 64) &&
                  offsetof(ReadDescriptorProcs, getAliasProc) == HOSTAPI_OFFSET(36, 72) &&
                  offsetof(ReadDescriptorProcs, getEnumeratedProc) == HOSTAPI_OFFSET(40, 80) &&
                  offsetof(ReadDescriptorProcs, getClassProc) == HOSTAPI_OFFSET(44, 88) &&
                  offsetof(ReadDescriptorProcs, getSimpleReferenceProc) == HOSTAPI_OFFSET(48, 96) &&
                  offsetof(ReadDescriptorProcs, getObjectProc) == HOSTAPI_OFFSET(52, 104) &&
                  offsetof(ReadDescriptorProcs, getCountProc) == HOSTAPI_OFFSET(56, 112) &&
                  offsetof(ReadDescriptorProcs, getStringProc) == HOSTAPI_OFFSET(60, 120) &&
                  offsetof(ReadDescriptorProcs, getPinnedIntegerProc) == HOSTAPI_OFFSET(64, 128) &&
                  offsetof(ReadDescriptorProcs, getPinnedFloatProc) == HOSTAPI_OFFSET(68, 136) &&
                  offsetof(ReadDescriptorProcs, getPinnedUnitFloatProc) ==
                      HOSTAPI_OFFSET(72, 144) &&
                  sizeof(ReadDescriptorProcs) == HOSTAPI_OFFSET(76, 152),
              "ReadDescriptorProcs layout");
static_assert(offsetof(WriteDescriptorProcs, openWriteDescriptorProc) == HOSTAPI_OFFSET(4, 8) &&
                  offsetof(WriteDescriptorProcs, closeWriteDescriptorProc) ==
                      HOSTAPI_OFFSET(8, 16) &&
                  offsetof(WriteDescriptorProcs, putIntegerProc) == HOSTAPI_OFFSET(12, 24) &&
                  offsetof(WriteDescriptorProcs, putFloatProc) == HOSTAPI_OFFSET(16, 32) &&
                  offsetof(WriteDescriptorProcs, putUnitFloatProc) == HOSTAPI_OFFSET(20, 40) &&
                  offsetof(WriteDescriptorProcs, putBooleanProc) == HOSTAPI_OFFSET(24, 48) &&
                  offsetof(WriteDescriptorProcs, putTextProc) == HOSTAPI_OFFSET(28, 56) &&
                  offsetof(WriteDescriptorProcs, putAliasProc) == HOSTAPI_OFFSET(32, 64) &&
                  offsetof(WriteDescriptorProcs, putEnumeratedProc) == HOSTAPI_OFFSET(36, 72) &&
                  offsetof(WriteDescriptorProcs, putClassProc) == HOSTAPI_OFFSET(40, 80) &&
                  offsetof(WriteDescriptorProcs, putSimpleReferenceProc) ==
                      HOSTAPI_OFFSET(44, 88) &&
                  offsetof(WriteDescriptorProcs, putObjectProc) == HOSTAPI_OFFSET(48, 96) &&
                  offsetof(WriteDescriptorProcs, putCountProc) == HOSTAPI_OFFSET(52, 104) &&
                  offsetof(WriteDescriptorProcs, putStringProc) == HOSTAPI_OFFSET(56, 112) &&
                  offsetof(WriteDescriptorProcs, putScopedClassProc) == HOSTAPI_OFFSET(60, 120) &&
                  offsetof(WriteDescriptorProcs, putScopedObjectProc) == HOSTAPI_OFFSET(64, 128) &&
                  sizeof(WriteDescriptorProcs) == HOSTAPI_OFFSET(68, 136),
              "WriteDescriptorProcs layout");
static_assert(offsetof(PIDescriptorSimpleReference, keyData) == 8 &&
                  offsetof(PIDescriptorSimpleReference, keyData.index) == 264 &&
                  offsetof(PIDescriptorSimpleReference, keyData.type) == 268 &&
                  offsetof(PIDescriptorSimpleReference, keyData.value) == 272 &&
                  sizeof(PIDescriptorSimpleReference) == 276,
              "PIDescriptorSimpleReference layout");
#endif

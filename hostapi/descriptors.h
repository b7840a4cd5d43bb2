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
                  offsetof(PIDescriptorParameters, writeDescriptorProcs) == 12 &&
                  offsetof(PIDescriptorParameters, readDescriptorProcs) == 16 &&
                  sizeof(PIDescriptorParameters) == 20,
              "PIDescriptorParameters layout");
static_assert(offsetof(ReadDescriptorProcs, openReadDescriptorProc) == 4 &&
                  offsetof(ReadDescriptorProcs, closeReadDescriptorProc) == 8 &&
                  offsetof(ReadDescriptorProcs, getKeyProc) == 12 &&
                  offsetof(ReadDescriptorProcs, getIntegerProc) == 16 &&
                  offsetof(ReadDescriptorProcs, getFloatProc) == 20 &&
                  offsetof(ReadDescriptorProcs, getUnitFloatProc) == 24 &&
                  offsetof(ReadDescriptorProcs, getBooleanProc) == 28 &&
                  offsetof(ReadDescriptorProcs, getTextProc) == 32 &&
                  offsetof(ReadDescriptorProcs, getAliasProc) == 36 &&
                  offsetof(ReadDescriptorProcs, getEnumeratedProc) == 40 &&
                  offsetof(ReadDescriptorProcs, getClassProc) == 44 &&
                  offsetof(ReadDescriptorProcs, getSimpleReferenceProc) == 48 &&
                  offsetof(ReadDescriptorProcs, getObjectProc) == 52 &&
                  offsetof(ReadDescriptorProcs, getCountProc) == 56 &&
                  offsetof(ReadDescriptorProcs, getStringProc) == 60 &&
                  offsetof(ReadDescriptorProcs, getPinnedIntegerProc) == 64 &&
                  offsetof(ReadDescriptorProcs, getPinnedFloatProc) == 68 &&
                  offsetof(ReadDescriptorProcs, getPinnedUnitFloatProc) == 72 &&
                  sizeof(ReadDescriptorProcs) == 76,
              "ReadDescriptorProcs layout");
static_assert(offsetof(WriteDescriptorProcs, openWriteDescriptorProc) == 4 &&
                  offsetof(WriteDescriptorProcs, closeWriteDescriptorProc) == 8 &&
                  offsetof(WriteDescriptorProcs, putIntegerProc) == 12 &&
                  offsetof(WriteDescriptorProcs, putFloatProc) == 16 &&
                  offsetof(WriteDescriptorProcs, putUnitFloatProc) == 20 &&
                  offsetof(WriteDescriptorProcs, putBooleanProc) == 24 &&
                  offsetof(WriteDescriptorProcs, putTextProc) == 28 &&
                  offsetof(WriteDescriptorProcs, putAliasProc) == 32 &&
                  offsetof(WriteDescriptorProcs, putEnumeratedProc) == 36 &&
                  offsetof(WriteDescriptorProcs, putClassProc) == 40 &&
                  offsetof(WriteDescriptorProcs, putSimpleReferenceProc) == 44 &&
                  offsetof(WriteDescriptorProcs, putObjectProc) == 48 &&
                  offsetof(WriteDescriptorProcs, putCountProc) == 52 &&
                  offsetof(WriteDescriptorProcs, putStringProc) == 56 &&
                  offsetof(WriteDescriptorProcs, putScopedClassProc) == 60 &&
                  offsetof(WriteDescriptorProcs, putScopedObjectProc) == 64 &&
                  sizeof(WriteDescriptorProcs) == 68,
              "WriteDescriptorProcs layout");
static_assert(offsetof(PIDescriptorSimpleReference, keyData) == 8 &&
                  offsetof(PIDescriptorSimpleReference, keyData.index) == 264 &&
                  offsetof(PIDescriptorSimpleReference, keyData.type) == 268 &&
                  offsetof(PIDescriptorSimpleReference, keyData.value) == 272 &&
                  sizeof(PIDescriptorSimpleReference) == 276,
              "PIDescriptorSimpleReference layout");
#endif

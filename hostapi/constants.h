// Constants of the filter plug-in host interface: selectors, result codes, image modes and the
// smaller enumerations of the FilterRecord. Values are the host's numbering; names are the
// published ones so that host code and module code read alike.
#pragma once

#include "hostapi/types.h"

// Selectors passed to the entry point.
constexpr int16 filterSelectorAbout = 0;
constexpr int16 filterSelectorParameters = 1;
constexpr int16 filterSelectorPrepare = 2;
constexpr int16 filterSelectorStart = 3;
constexpr int16 filterSelectorContinue = 4;
constexpr int16 filterSelectorFinish = 5;

// Result codes (OSErr). Positive values mean "already reported by the module".
constexpr OSErr noErr = 0;
constexpr OSErr coercedParamErr = 2;
constexpr OSErr readErr = -19;
constexpr OSErr writErr = -20;
constexpr OSErr openErr = -23;
constexpr OSErr dskFulErr = -34;
constexpr OSErr ioErr = -36;
constexpr OSErr eofErr = -39;
constexpr OSErr fnfErr = -43;
constexpr OSErr fLckdErr = -45;
constexpr OSErr vLckdErr = -46;
constexpr OSErr paramErr = -50;
constexpr OSErr memFullErr = -108;
constexpr OSErr nilHandleErr = -109;
constexpr OSErr memWZErr = -111;
constexpr OSErr userCanceledErr = -128;
constexpr OSErr errMissingParameter = -1715;
constexpr OSErr filterBadParameters = -30100;
constexpr OSErr filterBadMode = -30101;
constexpr OSErr errPlugInHostInsufficient = -30900;
constexpr OSErr errPlugInPropertyUndefined = -30901;
constexpr OSErr errHostDoesNotSupportColStep = -30902;
constexpr OSErr errInvalidSamplePoint = -30903;
constexpr OSErr errReportString = -30904;
constexpr OSErr errUnknownPort = -30910;
constexpr OSErr errUnsupportedPortDepth = -30911;
constexpr OSErr errUnsupportedDepthConversion = -30915;
constexpr OSErr errWrongPlatformFilePath = -30916;

// Image modes (FilterRecord.imageMode, PSPixelMap.imageMode).
constexpr int16 plugInModeBitmap = 0;
constexpr int16 plugInModeGrayScale = 1;
constexpr int16 plugInModeIndexedColor = 2;
constexpr int16 plugInModeRGBColor = 3;
constexpr int16 plugInModeCMYKColor = 4;
constexpr int16 plugInModeHSLColor = 5;
constexpr int16 plugInModeHSBColor = 6;
constexpr int16 plugInModeMultichannel = 7;
constexpr int16 plugInModeDuotone = 8;
constexpr int16 plugInModeLabColor = 9;
constexpr int16 plugInModeGray16 = 10;
constexpr int16 plugInModeRGB48 = 11;

// filterCase; 0 means the host did not set it.
constexpr int16 filterCaseUnsupported = -1;
constexpr int16 filterCaseFlatImageNoSelection = 1;
constexpr int16 filterCaseFlatImageWithSelection = 2;
constexpr int16 filterCaseFloatingSelection = 3;
constexpr int16 filterCaseEditableTransparencyNoSelection = 4;
constexpr int16 filterCaseEditableTransparencyWithSelection = 5;
constexpr int16 filterCaseProtectedTransparencyNoSelection = 6;
constexpr int16 filterCaseProtectedTransparencyWithSelection = 7;

// Padding values besides a fill value 0..255.
constexpr int16 plugInWantsEdgeReplication = -1;
constexpr int16 plugInDoesNotWantPadding = -2;
constexpr int16 plugInWantsErrorOnBoundsException = -3;

// samplingSupport.
constexpr char hostDoesNotSupportSampling = 0;
constexpr char hostSupportsIntegralSampling = 1;
constexpr char hostSupportsFractionalSampling = 2;

// wantLayout.
constexpr int16 piLayoutTraditional = 0;

constexpr OSType kPhotoshopSignature = fourCharCode("8BIM");
constexpr int16 latestFilterVersion = 4;
constexpr int16 latestFilterSubVersion = 0;

// The PiPL properties naming a Windows module's exported entry point, one per architecture:
// 32-bit hosts read the first, 64-bit hosts the second.
constexpr OSType kEntryPointKeyX86 = fourCharCode("wx86");
constexpr OSType kEntryPointKeyX64 = fourCharCode("8664");

// Colour services: selectors and spaces.
constexpr int16 plugIncolorServicesChooseColor = 0;
constexpr int16 plugIncolorServicesConvertColor = 1;
constexpr int16 plugIncolorServicesSamplePoint = 2;
constexpr int16 plugIncolorServicesGetSpecialColor = 3;
constexpr int16 plugIncolorServicesChosenSpace = -1;
constexpr int16 plugIncolorServicesRGBSpace = 0;
constexpr int16 plugIncolorServicesHSBSpace = 1;
constexpr int16 plugIncolorServicesCMYKSpace = 2;
constexpr int16 plugIncolorServicesLabSpace = 3;
constexpr int16 plugIncolorServicesGraySpace = 4;
constexpr int16 plugIncolorServicesHSLSpace = 5;
constexpr int16 plugIncolorServicesXYZSpace = 6;

// Scripting: what the host asks of the dialog when playing, and what recording allows.
constexpr int16 plugInDialogDontDisplay = 0;
constexpr int16 plugInDialogDisplay = 1;
constexpr int16 plugInDialogSilent = 2;
constexpr int16 plugInDialogOptional = 0;
constexpr int16 plugInDialogRequired = 1;
constexpr int16 plugInDialogNone = 2;

// Descriptor key flags returned by getKeyProc.
constexpr int32 actionSimpleParameter = 0;
constexpr int32 actionEnumeratedParameter = 0x2000;
constexpr int32 actionListParameter = 0x4000;
constexpr int32 actionOptionalParameter = 0x8000;

// Common descriptor types.
constexpr DescType typeInteger = fourCharCode("long");
constexpr DescType typeFloat = fourCharCode("doub");
constexpr DescType typeUnitFloat = fourCharCode("UntF");
constexpr DescType typeBoolean = fourCharCode("bool");
constexpr DescType typeText = fourCharCode("TEXT");
constexpr DescType typeEnumerated = fourCharCode("enum");
constexpr DescType typeNull = fourCharCode("null");

#pragma once
// The camera operations the program calls, in the shape of Canon's EOS SDK so the logic reads like the
// original. Every call is routed to a registered camera driver (camera_driver.h); streams live here.
//
// Threads: any thread may call; calls on one camera are serialised. Camera events are queued and delivered
// only by EdsGetEvent, on the thread that calls it, so handlers never run inside another SDK call.
#include <cstdint>

using EdsInt8 = std::int8_t;
using EdsUInt8 = std::uint8_t;
using EdsInt32 = std::int32_t;
using EdsUInt32 = std::uint32_t;
using EdsInt64 = std::int64_t;
using EdsUInt64 = std::uint64_t;
using EdsBool = std::int32_t;
using EdsChar = char;
using EdsVoid = void;
using EdsError = EdsUInt32;

using EdsPropertyID = EdsUInt32;
using EdsCameraCommand = EdsUInt32;
using EdsCameraStatusCommand = EdsUInt32;
using EdsObjectEvent = EdsUInt32;
using EdsPropertyEvent = EdsUInt32;
using EdsStateEvent = EdsUInt32;
using EdsFileCreateDisposition = EdsUInt32;
using EdsAccess = EdsUInt32;
using EdsDataType = EdsUInt32;

// Handles are opaque and checked on every call: a released handle, or one of another kind, is refused.
struct EdsOpaqueObject;
using EdsBaseRef = EdsOpaqueObject*;
using EdsCameraListRef = EdsBaseRef;
using EdsCameraRef = EdsBaseRef;
using EdsDirectoryItemRef = EdsBaseRef;
using EdsStreamRef = EdsBaseRef;
using EdsImageRef = EdsBaseRef;
using EdsEvfImageRef = EdsBaseRef;

inline constexpr EdsBool kEdsFalse = 0;
inline constexpr EdsBool kEdsTrue = 1;
inline constexpr int EDS_MAX_NAME = 256;

// ---- Error codes ----
inline constexpr EdsError EDS_ERR_OK = 0x00000000;
inline constexpr EdsError EDS_ERR_INTERNAL_ERROR = 0x00000002;
inline constexpr EdsError EDS_ERR_MEM_ALLOC_FAILED = 0x00000003;
inline constexpr EdsError EDS_ERR_OPERATION_CANCELLED = 0x00000005;
inline constexpr EdsError EDS_ERR_NOT_SUPPORTED = 0x00000007;
inline constexpr EdsError EDS_ERR_FILE_FORMAT_UNRECOGNIZED = 0x0000002C;
inline constexpr EdsError EDS_ERR_PROPERTIES_UNAVAILABLE = 0x00000050;
inline constexpr EdsError EDS_ERR_PROPERTIES_MISMATCH = 0x00000051;
inline constexpr EdsError EDS_ERR_PROPERTIES_NOT_LOADED = 0x00000053;
inline constexpr EdsError EDS_ERR_INVALID_PARAMETER = 0x00000060;
inline constexpr EdsError EDS_ERR_INVALID_HANDLE = 0x00000061;
inline constexpr EdsError EDS_ERR_INVALID_POINTER = 0x00000062;
inline constexpr EdsError EDS_ERR_INVALID_INDEX = 0x00000063;
inline constexpr EdsError EDS_ERR_INVALID_LENGTH = 0x00000064;
inline constexpr EdsError EDS_ERR_INVALID_FN_POINTER = 0x00000065;
inline constexpr EdsError EDS_ERR_DEVICE_NOT_FOUND = 0x00000080;
inline constexpr EdsError EDS_ERR_DEVICE_BUSY = 0x00000081;
inline constexpr EdsError EDS_ERR_DEVICE_INVALID_PARAMETER = 0x00000086;
inline constexpr EdsError EDS_ERR_DEVICE_NO_DISK = 0x00000087;
inline constexpr EdsError EDS_ERR_STREAM_IO_ERROR = 0x000000A0;
inline constexpr EdsError EDS_ERR_STREAM_OPEN_ERROR = 0x000000A3;
inline constexpr EdsError EDS_ERR_STREAM_READ_ERROR = 0x000000A7;
inline constexpr EdsError EDS_ERR_STREAM_WRITE_ERROR = 0x000000A8;
inline constexpr EdsError EDS_ERR_COMM_PORT_IS_IN_USE = 0x000000C0;
inline constexpr EdsError EDS_ERR_COMM_DISCONNECTED = 0x000000C1;
inline constexpr EdsError EDS_ERR_SESSION_NOT_OPEN = 0x00002003;
inline constexpr EdsError EDS_ERR_INCOMPLETE_TRANSFER = 0x00002007;
inline constexpr EdsError EDS_ERR_INVALID_DEVICEPROP_VALUE = 0x0000201C;
inline constexpr EdsError EDS_ERR_TAKE_PICTURE_AF_NG = 0x00008D01;
inline constexpr EdsError EDS_ERR_TAKE_PICTURE_MIRROR_UP_NG = 0x00008D03;
inline constexpr EdsError EDS_ERR_TAKE_PICTURE_NO_CARD_NG = 0x00008D06;
inline constexpr EdsError EDS_ERR_TAKE_PICTURE_CARD_NG = 0x00008D07;
inline constexpr EdsError EDS_ERR_TAKE_PICTURE_CARD_PROTECT_NG = 0x00008D08;
inline constexpr EdsError EDS_ERR_OPERATION_REFUSED = 0x0000A005;
inline constexpr EdsError EDS_ERR_LOW_BATTERY = 0x0000A101;
inline constexpr EdsError EDS_ERR_OBJECT_NOTREADY = 0x0000A102;

// ---- Property ids ----
inline constexpr EdsPropertyID kEdsPropID_ProductName = 0x00000002;
inline constexpr EdsPropertyID kEdsPropID_OwnerName = 0x00000004;
inline constexpr EdsPropertyID kEdsPropID_DateTime = 0x00000006;
inline constexpr EdsPropertyID kEdsPropID_FirmwareVersion = 0x00000007;
inline constexpr EdsPropertyID kEdsPropID_BatteryLevel = 0x00000008;
inline constexpr EdsPropertyID kEdsPropID_CFn = 0x00000009;
inline constexpr EdsPropertyID kEdsPropID_SaveTo = 0x0000000B;
inline constexpr EdsPropertyID kEdsPropID_BodyIDEx = 0x00000015;
inline constexpr EdsPropertyID kEdsPropID_ImageQuality = 0x00000100;
inline constexpr EdsPropertyID kEdsPropID_AEMode = 0x00000400;
inline constexpr EdsPropertyID kEdsPropID_DriveMode = 0x00000401;
inline constexpr EdsPropertyID kEdsPropID_ISOSpeed = 0x00000402;
inline constexpr EdsPropertyID kEdsPropID_AFMode = 0x00000404;
inline constexpr EdsPropertyID kEdsPropID_Av = 0x00000405;
inline constexpr EdsPropertyID kEdsPropID_Tv = 0x00000406;
inline constexpr EdsPropertyID kEdsPropID_AvailableShots = 0x0000040A;
inline constexpr EdsPropertyID kEdsPropID_LensStatus = 0x00000416;
inline constexpr EdsPropertyID kEdsPropID_Evf_OutputDevice = 0x00000500;
inline constexpr EdsPropertyID kEdsPropID_Evf_Mode = 0x00000501;
inline constexpr EdsPropertyID kEdsPropID_Evf_Zoom = 0x00000507;
inline constexpr EdsPropertyID kEdsPropID_Evf_ZoomPosition = 0x00000508;
inline constexpr EdsPropertyID kEdsPropID_Evf_AFMode = 0x0000050E;
inline constexpr EdsPropertyID kEdsPropID_Evf_CoordinateSystem = 0x00000540;

// The data types of property values.
inline constexpr EdsDataType kEdsDataType_Unknown = 0;
inline constexpr EdsDataType kEdsDataType_String = 2;
inline constexpr EdsDataType kEdsDataType_UInt32 = 9;
inline constexpr EdsDataType kEdsDataType_ByteBlock = 14;
inline constexpr EdsDataType kEdsDataType_Point = 21;
inline constexpr EdsDataType kEdsDataType_Time = 23;
inline constexpr EdsDataType kEdsDataType_Size = 24;

// Property values the program interprets.
inline constexpr EdsUInt32 kEdsSaveTo_Camera = 1;
inline constexpr EdsUInt32 kEdsSaveTo_Host = 2;
inline constexpr EdsUInt32 kEdsEvfOutputDevice_TFT = 1;
inline constexpr EdsUInt32 kEdsEvfOutputDevice_PC = 2;
inline constexpr EdsUInt32 kEdsEvfZoom_Fit = 1;
inline constexpr EdsUInt32 kEdsEvfZoom_x5 = 5;
inline constexpr EdsUInt32 kEdsEvfZoom_x10 = 10;
inline constexpr EdsUInt32 kEdsDriveMode_Continuous = 1;
inline constexpr EdsUInt32 kEdsDriveMode_HighSpeedContinuous = 4;
inline constexpr EdsUInt32 kEdsDriveMode_LowSpeedContinuous = 5;
inline constexpr EdsUInt32 kEdsAFMode_Manual = 3;
inline constexpr EdsUInt32 kEdsBatteryLevel_AC = 0xFFFFFFFF;
inline constexpr EdsUInt32 kEdsAvailableShots_NoCard = 0xFFFFFFFF;

// ---- Commands ----
inline constexpr EdsCameraCommand kEdsCameraCommand_TakePicture = 0x00000000;
inline constexpr EdsCameraCommand kEdsCameraCommand_BulbStart = 0x00000002;
inline constexpr EdsCameraCommand kEdsCameraCommand_BulbEnd = 0x00000003;
inline constexpr EdsCameraCommand kEdsCameraCommand_PressShutterButton = 0x00000004;
inline constexpr EdsCameraCommand kEdsCameraCommand_DoEvfAf = 0x00000102;
inline constexpr EdsCameraCommand kEdsCameraCommand_DriveLensEvf = 0x00000103;

inline constexpr EdsInt32 kEdsCameraCommand_ShutterButton_OFF = 0x00000000;
inline constexpr EdsInt32 kEdsCameraCommand_ShutterButton_Halfway = 0x00000001;
inline constexpr EdsInt32 kEdsCameraCommand_ShutterButton_Completely = 0x00000003;
inline constexpr EdsInt32 kEdsCameraCommand_ShutterButton_Completely_NonAF = 0x00010003;
inline constexpr EdsInt32 kEdsCameraCommand_EvfAf_OFF = 0;
inline constexpr EdsInt32 kEdsCameraCommand_EvfAf_ON = 1;
inline constexpr EdsInt32 kEdsEvfDriveLens_Near1 = 0x00000001;
inline constexpr EdsInt32 kEdsEvfDriveLens_Near2 = 0x00000002;
inline constexpr EdsInt32 kEdsEvfDriveLens_Near3 = 0x00000003;
inline constexpr EdsInt32 kEdsEvfDriveLens_Far1 = 0x00008001;
inline constexpr EdsInt32 kEdsEvfDriveLens_Far2 = 0x00008002;
inline constexpr EdsInt32 kEdsEvfDriveLens_Far3 = 0x00008003;

inline constexpr EdsCameraStatusCommand kEdsCameraStatusCommand_UILock = 0;
inline constexpr EdsCameraStatusCommand kEdsCameraStatusCommand_UIUnLock = 1;

// ---- Events ----
inline constexpr EdsPropertyEvent kEdsPropertyEvent_All = 0x00000100;
inline constexpr EdsPropertyEvent kEdsPropertyEvent_PropertyChanged = 0x00000101;
inline constexpr EdsPropertyEvent kEdsPropertyEvent_PropertyDescChanged = 0x00000102;
inline constexpr EdsObjectEvent kEdsObjectEvent_All = 0x00000200;
inline constexpr EdsObjectEvent kEdsObjectEvent_DirItemCreated = 0x00000204;
inline constexpr EdsObjectEvent kEdsObjectEvent_DirItemRemoved = 0x00000205;
inline constexpr EdsObjectEvent kEdsObjectEvent_DirItemRequestTransfer = 0x00000208;
inline constexpr EdsStateEvent kEdsStateEvent_All = 0x00000300;
inline constexpr EdsStateEvent kEdsStateEvent_Shutdown = 0x00000301;
inline constexpr EdsStateEvent kEdsStateEvent_WillSoonShutDown = 0x00000303;
inline constexpr EdsStateEvent kEdsStateEvent_CaptureError = 0x00000305;
// Not the vendor's: a driver whose pictures for the computer cannot take its quicker way (libgphoto2's,
// through the card) and come the slower way, which holds the body while each crosses the link.
inline constexpr EdsStateEvent kEdsStateEvent_PicturesThroughMemory = 0x00000380;

// ---- File streams ----
inline constexpr EdsFileCreateDisposition kEdsFileCreateDisposition_CreateNew = 0;
inline constexpr EdsFileCreateDisposition kEdsFileCreateDisposition_CreateAlways = 1;
inline constexpr EdsFileCreateDisposition kEdsFileCreateDisposition_OpenExisting = 2;
inline constexpr EdsFileCreateDisposition kEdsFileCreateDisposition_OpenAlways = 3;
inline constexpr EdsFileCreateDisposition kEdsFileCreateDisposition_TruncateExisting = 4;
inline constexpr EdsAccess kEdsAccess_Read = 0;
inline constexpr EdsAccess kEdsAccess_Write = 1;
inline constexpr EdsAccess kEdsAccess_ReadWrite = 2;

// ---- Records ----
struct EdsPoint {
    EdsInt32 x;
    EdsInt32 y;
};

struct EdsSize {
    EdsInt32 width;
    EdsInt32 height;
};

struct EdsTime {
    EdsUInt32 year;
    EdsUInt32 month;
    EdsUInt32 day;
    EdsUInt32 hour;
    EdsUInt32 minute;
    EdsUInt32 second;
    EdsUInt32 milliseconds;
};
static_assert(sizeof(EdsTime) == 28, "the camera clock is exchanged as 28 bytes");

struct EdsDeviceInfo {
    EdsChar szPortName[EDS_MAX_NAME];
    EdsChar szDeviceDescription[EDS_MAX_NAME];
    EdsUInt32 deviceSubType; // 0: the older protocol
    EdsUInt32 reserved;
};

struct EdsPropertyDesc {
    EdsInt32 form;
    EdsInt32 access;
    EdsInt32 numElements; // never more than 128
    EdsInt32 propDesc[128];
};

struct EdsCapacity {
    EdsInt32 numberOfFreeClusters;
    EdsInt32 bytesPerSector;
    EdsBool reset;
};

struct EdsDirectoryItemInfo {
    EdsUInt32 size;
    EdsBool isFolder;
    EdsUInt32 groupID;
    EdsUInt32 option;
    EdsChar szFileName[EDS_MAX_NAME];
    EdsUInt32 format;
    EdsUInt32 dateTime;
};

// ---- Event handlers: each returns EDS_ERR_OK ----
// An object handler owns the reference it receives and must release it.
using EdsObjectEventHandler = EdsError (*)(EdsObjectEvent event, EdsBaseRef object, EdsVoid* context);
using EdsPropertyEventHandler = EdsError (*)(EdsPropertyEvent event, EdsPropertyID property, EdsUInt32 param,
                                             EdsVoid* context);
using EdsStateEventHandler = EdsError (*)(EdsStateEvent event, EdsUInt32 eventData, EdsVoid* context);
// Told, on whichever thread raised it, that an event waits for EdsGetEvent. It must only post a wake-up to
// the thread that dispatches (it may run inside another SDK call) and must not call the SDK itself.
using EdsEventNotifier = void (*)(EdsVoid* context);

// ---- Operations ----
// Initialising twice is harmless; terminating closes every open session, drops every handle and every
// queued event, and does nothing when the SDK is not initialised.
EdsError EdsInitializeSDK();
EdsError EdsTerminateSDK();

EdsError EdsRetain(EdsBaseRef ref);
EdsError EdsRelease(EdsBaseRef ref);

EdsError EdsGetCameraList(EdsCameraListRef* outList);
EdsError EdsGetChildCount(EdsBaseRef ref, EdsUInt32* outCount);
EdsError EdsGetChildAtIndex(EdsBaseRef ref, EdsInt32 index, EdsBaseRef* outChild);
EdsError EdsGetDeviceInfo(EdsCameraRef camera, EdsDeviceInfo* outInfo);

EdsError EdsOpenSession(EdsCameraRef camera);
EdsError EdsCloseSession(EdsCameraRef camera);

// Camera, image and live view image references answer properties.
EdsError EdsGetPropertyData(EdsBaseRef ref, EdsPropertyID property, EdsInt32 param, EdsUInt32 size,
                            EdsVoid* outData);
EdsError EdsSetPropertyData(EdsBaseRef ref, EdsPropertyID property, EdsInt32 param, EdsUInt32 size,
                            const EdsVoid* data);
EdsError EdsGetPropertyDesc(EdsBaseRef ref, EdsPropertyID property, EdsPropertyDesc* outDesc);

EdsError EdsSendCommand(EdsCameraRef camera, EdsCameraCommand command, EdsInt32 param);
EdsError EdsSendStatusCommand(EdsCameraRef camera, EdsCameraStatusCommand command, EdsInt32 param);
EdsError EdsSetCapacity(EdsCameraRef camera, EdsCapacity capacity);
// Not in Canon's SDK: the calls that follow on the camera, up to the release they lead to, are one shot's. A
// body that brings pictures over meanwhile lets them go first, so that the release keeps its moment.
EdsError EdsBeginShot(EdsCameraRef camera);
// Not in Canon's SDK: what the camera's own software said of the last call on the camera that failed, in its
// words, cut to `size` bytes with its NUL; an empty text when it said nothing.
EdsError EdsGetLastErrorText(EdsCameraRef camera, EdsUInt32 size, EdsChar* outText);

// A null handler removes the one registered for that event; the "All" event value catches every event of
// its kind that has no handler of its own.
EdsError EdsSetObjectEventHandler(EdsCameraRef camera, EdsObjectEvent event, EdsObjectEventHandler handler,
                                  EdsVoid* context);
EdsError EdsSetPropertyEventHandler(EdsCameraRef camera, EdsPropertyEvent event,
                                    EdsPropertyEventHandler handler, EdsVoid* context);
EdsError EdsSetCameraStateEventHandler(EdsCameraRef camera, EdsStateEvent event, EdsStateEventHandler handler,
                                       EdsVoid* context);
// Delivers the events queued so far to their handlers, on the calling thread.
EdsError EdsGetEvent();
// One notifier for the whole SDK; null removes it. Terminating the SDK removes it too.
EdsError EdsSetEventNotifier(EdsEventNotifier notifier, EdsVoid* context);

EdsError EdsGetDirectoryItemInfo(EdsDirectoryItemRef item, EdsDirectoryItemInfo* outInfo);
EdsError EdsDownload(EdsDirectoryItemRef item, EdsUInt64 size, EdsStreamRef stream);
EdsError EdsDownloadCancel(EdsDirectoryItemRef item);
EdsError EdsDownloadComplete(EdsDirectoryItemRef item);
// The folder on the camera's card that holds the file: a directory item whose name is the folder's path on
// the card. EDS_ERR_NOT_SUPPORTED for a file that is on no card.
EdsError EdsGetParent(EdsBaseRef item, EdsBaseRef* outParent);

EdsError EdsCreateFileStream(const EdsChar* path, EdsFileCreateDisposition disposition, EdsAccess access,
                             EdsStreamRef* outStream);
EdsError EdsCreateMemoryStream(EdsUInt64 initialCapacity, EdsStreamRef* outStream);
// The memory stream's bytes; valid until the stream is written again or released.
EdsError EdsGetPointer(EdsStreamRef stream, EdsVoid** outPointer);
EdsError EdsGetLength(EdsStreamRef stream, EdsUInt64* outLength);

// An image reference answers kEdsPropID_DateTime with the moment the picture in the stream was taken.
EdsError EdsCreateImageRef(EdsStreamRef stream, EdsImageRef* outImage);

EdsError EdsCreateEvfImageRef(EdsStreamRef stream, EdsEvfImageRef* outImage);
// Replaces the stream's content with the current live view JPEG and loads the frame's zoom properties.
EdsError EdsDownloadEvfImage(EdsCameraRef camera, EdsEvfImageRef image);

/* VRX for hosts: how a program loads libvrx.so and calls its commands.
 *
 * A host (4D, or anything playing 4D's part) does four things:
 *  1. dlopen()s the plug-in (installed in LIBDIR/vrx/libvrx.so; `pkg-config --variable=
 *     plugindir vrx`) and looks up its one entry point, FourDPack.
 *  2. Initialises it: FourDPack(VRX_SELECTOR_INIT, params, &globals, result) with the
 *     host's callback in params[VRX_HOST_ENTRY_SLOT]. The plug-in stores a handle to its
 *     global block in `globals`; 0 there means it could not start. The host keeps that
 *     slot and passes the same address to every later call.
 *  3. Calls commands: FourDPack(selector, params, &globals, result), where params[i]
 *     points at the host value of parameter $i+1 (null when absent; at least
 *     VRX_PARAM_SLOTS entries) and result is the result area described below.
 *  4. Shuts it down with VRX_SELECTOR_SHUTDOWN, then disposes of the handle left in
 *     `globals` (from then on the block is the host's) and dlclose()s the library.
 *
 * Everything runs on one thread. A command that waits (for a stream, a send, a delay)
 * calls the host back (VRX_HOST_DELAY_PROCESS, VRX_HOST_YIELD) so the host can run its
 * other processes, which may call FourDPack again meanwhile.
 *
 * Texts, BLOBs, pictures and arrays live in relocatable memory blocks named by 32-bit
 * handles. The host allocates them with the platform library (libvrxplatform, linked by
 * `pkg-config --libs vrx`), which the plug-in shares: ask for a block's address each time
 * it is needed, since an unlocked block may move whenever memory is allocated or resized.
 * Handles passed as parameters and returned as results belong to the host.
 */
#ifndef VRX_FOURDPACK_H
#define VRX_FOURDPACK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- entry point ---------------------------------------------------------------- */

/* The plug-in's only export. */
typedef void (*VrxFourDPackFn)(int32_t selector, void** params, uint32_t* globals, void* result);
#define VRX_ENTRY_POINT "FourDPack"

#define VRX_SELECTOR_INIT (-1)
#define VRX_SELECTOR_SHUTDOWN (-2)
#define VRX_LAST_SELECTOR 114 /* the legacy table's last */
#define VRX_FIRST_EXTENSION_SELECTOR 201
#define VRX_PARAM_SLOTS 8     /* the host always passes at least this many slots */
#define VRX_HOST_ENTRY_SLOT 3 /* at initialisation: params[3] is the host's VrxHostEntryFn */

/* The commands' selectors (1 and the numbers not listed are no command). `vrx commands`
 * lists each one's parameters and result. */
enum VrxSelector {
  VRX_OpenStream = 2,
  VRX_ListenStream = 3,
  VRX_CloseStream = 4,
  VRX_ReleaseStream = 5,
  VRX_GetStreamState = 6,
  VRX_SendText = 7,
  VRX_ReceiveText = 8,
  VRX_GetBytesAvailable = 9,
  VRX_GetStreamAddresses = 10,
  VRX_WaitStreamState = 11,
  VRX_SendFile = 12,
  VRX_ReceiveFile = 13,
  VRX_GetLocalAddress = 14,
  VRX_AddressToName = 15,
  VRX_NameToAddress = 16,
  VRX_EncodeMacBinary = 17,
  VRX_DecodeMacBinary = 18,
  VRX_EncodeBinHex = 19,
  VRX_DecodeBinHex = 20,
  VRX_DialEntry = 21,
  VRX_HangUpDialUp = 22,
  VRX_IsDialUpConnected = 23,
  VRX_Reserved24 = 24,
  VRX_Reserved25 = 25,
  VRX_Reserved26 = 26,
  VRX_Reserved27 = 27,
  VRX_EncodeHTML = 28,
  VRX_DecodeHTML = 29,
  VRX_EncodeURL = 30,
  VRX_DecodeURL = 31,
  VRX_MacToISO = 32,
  VRX_ISOToMac = 33,
  VRX_GetTicks = 34,
  VRX_StopTimer = 35,
  VRX_CountQueueItems = 36,
  VRX_AppendQueueItem = 37,
  VRX_GetQueueItem = 38,
  VRX_ClearQueue = 39,
  VRX_SendPicture = 40,
  VRX_OpenUDP = 41,
  VRX_CloseUDP = 42,
  VRX_SendUDP = 43,
  VRX_ReceiveUDP = 44,
  VRX_GetUDPMaxSize = 45,
  VRX_PictureToGif = 46,
  VRX_GetPictureInfo = 47,
  VRX_FormatDateHeader = 48,
  VRX_DateToSeconds = 49,
  VRX_ParseDateHeader = 50,
  VRX_SecondsToDate = 51,
  VRX_GetStreamRef = 52,
  VRX_NewMD5 = 53,
  VRX_UpdateMD5 = 54,
  VRX_FinishMD5 = 55,
  VRX_EncodeBase64 = 56,
  VRX_DecodeBase64 = 57,
  VRX_EncodeQuotedPrintable = 58,
  VRX_DecodeQuotedPrintable = 59,
  VRX_HitTestImageMap = 60,
  VRX_GetNameServer = 61,
  VRX_Reserved62 = 62,
  VRX_GetNetworkValue = 63,
  VRX_GetStreamStates = 64,
  VRX_ReadTimer = 66,
  VRX_PictureToFile = 67,
  VRX_FileToBlob = 68,
  VRX_NewDigest = 69,
  VRX_UpdateDigest = 70,
  VRX_FinishDigest = 71,
  VRX_Ping = 72,
  VRX_UuencodeText = 73,
  VRX_UudecodeText = 74,
  VRX_UuencodeFile = 75,
  VRX_UudecodeFile = 76,
  VRX_Reserved77 = 77,
  VRX_Reserved78 = 78,
  VRX_OpenFileRef = 79,
  VRX_UnreadStream = 80,
  VRX_SendBlob = 81,
  VRX_ReceiveBlob = 82,
  VRX_DetachBlob = 83,
  VRX_TakeBlob = 84,
  VRX_SetPriorityClass = 85,
  VRX_GetPriorityClass = 86,
  VRX_MapTextChars = 87,
  VRX_MapBlobChars = 88,
  VRX_UpdateDigestBlob = 89,
  VRX_CountQueues = 90,
  VRX_GetQueueID = 91,
  VRX_SetStreamOption = 92,
  VRX_FileToBlob2 = 94,
  VRX_BlobToFileAt = 95,
  VRX_ReplaceInBlob = 96,
  VRX_FindInBlob = 97,
  VRX_ReplaceInBlob2 = 98,
  VRX_CompressFile = 99,
  VRX_ExpandFile = 100,
  VRX_EncryptText = 101,
  VRX_DecryptText = 102,
  VRX_GetHostHandle = 103,
  VRX_PutHostHandle = 104,
  VRX_GetStreamSSLInfo = 105,
  VRX_SetStreamCertificate = 106,
  VRX_GetStreamSSLError = 107,
  VRX_EncryptBlob = 108,
  VRX_DecryptBlob = 109,
  VRX_CompressBlob = 110,
  VRX_ExpandBlob = 111,
  VRX_SetStreamCiphers = 114,
  /* Extensions of this system, apart from the legacy table (115..200 are no command). */
  VRX_StartTLS = 201,
  VRX_SetTrustedCertificates = 202,
  VRX_GetStreamAddressText = 203,
  VRX_NameToAddresses = 204,
  VRX_AddressToNameText = 205,
  VRX_SendUDPTo = 206,
  VRX_ReceiveUDPFrom = 207,
};

/* ---- host values ---------------------------------------------------------------- */
/* Parameters: params[i] points at one of these, by the command's parameter kind:
 *   long, time        int32_t
 *   integer           int16_t
 *   string            uint8_t[256]: length byte, then up to 255 bytes (Mac Roman)
 *   text              VrxTextValue
 *   BLOB, picture     VrxHandle (the block holds the bytes; 0 = empty)
 *   long array        VrxLongArrayValue
 *   date              VrxDateValue
 * The plug-in may replace handles and values of output parameters.
 *
 * Results: `result` points at an area of at least 16 bytes, aligned for a pointer:
 *   long              the plug-in writes an int32_t there
 *   text              the host puts a VrxTextValue* there; the plug-in fills that value
 *                     with a new handle the host then owns
 *   string            the host puts a uint8_t* to 256 bytes there
 *   BLOB              the plug-in writes a new VrxHandle there (the host owns it)
 *   byte              the plug-in writes the first byte
 */
typedef uint32_t VrxHandle; /* 0 = none */

#pragma pack(push, 1)
typedef struct VrxTextValue { /* at most VRX_MAX_TEXT_LENGTH bytes, Mac Roman */
  int16_t length;
  VrxHandle handle;
} VrxTextValue;

typedef struct VrxLongArrayValue { /* element i (1..count) at byte 4*i of the block */
  int16_t unused;
  int32_t count;
  VrxHandle handle;
} VrxLongArrayValue;

typedef struct VrxDateValue {
  int16_t day, month, year;
} VrxDateValue;

/* What the plug-in hands the host's callback; fields at the offsets below. */
typedef struct VrxHostCallBlock {
  uint8_t bytes[452];
} VrxHostCallBlock;
#pragma pack(pop)

#define VRX_MAX_TEXT_LENGTH 32767

/* ---- host calls ----------------------------------------------------------------- */
/* The plug-in calls the host back as entry(call, block). The host reads and writes the
 * block's fields (host byte order, unaligned) and sets VRX_HOST_CALL_RESULT: 0 done,
 * negative refused. */
typedef void (*VrxHostEntryFn)(int32_t call, VrxHostCallBlock* block);

#define VRX_HOST_CALL_ARG 0       /* int16_t: the key of a stored handle */
#define VRX_HOST_CALL_HANDLE 266  /* VrxHandle */
#define VRX_HOST_CALL_RESULT 270  /* int16_t */
#define VRX_HOST_CALL_PROCESS 272 /* int32_t: a process number */
#define VRX_HOST_CALL_TICKS 276   /* int32_t: 1/60 seconds */

/* Copy of the handle the host keeps under key ARG, into HANDLE (the plug-in owns it). */
#define VRX_HOST_GET_HANDLE 26
/* Keep a copy of HANDLE under key ARG, replacing any earlier one; the caller keeps its own. */
#define VRX_HOST_PUT_HANDLE 27
/* Suspend process PROCESS for TICKS; it sleeps once the plug-in yields. */
#define VRX_HOST_DELAY_PROCESS 89
/* Write the number of the process running now into PROCESS. */
#define VRX_HOST_CURRENT_PROCESS 91
/* Run the host's other processes; return when this one may go on. */
#define VRX_HOST_YIELD 93

/* ---- platform services (libvrxplatform) ------------------------------------------- */

/* Memory blocks. Errors: 0, -108 out of memory, -109 null handle, -111 not a live block. */
VrxHandle vrx_NewHandle(int32_t size);      /* contents undefined; 0 on failure */
VrxHandle vrx_NewHandleClear(int32_t size); /* zero-filled */
void vrx_DisposeHandle(VrxHandle h);
int32_t vrx_HandleSize(VrxHandle h);        /* 0 for null or dead handles */
/* Keeps the first min(old, new) bytes; 0 (and the block unchanged) on failure. */
int vrx_SetHandleSize(VrxHandle h, int32_t size);
/* The block's address now; null for null, dead or emptied handles. */
uint8_t* vrx_HandleAddress(VrxHandle h);
void vrx_LockHandle(VrxHandle h);   /* a locked block does not move */
void vrx_UnlockHandle(VrxHandle h);
int16_t vrx_MemError(void);

/* Ticks (1/60 s) on the monotonic clock, as the plug-in counts time-outs. */
uint32_t vrx_TickCount(void);

/* Events. While a command waits on a socket, the plug-in tells the host which one, so a
 * host may sleep in poll() until it is ready instead of turning round: */
typedef struct VrxEventHooks {
  void (*watch)(int fd, uint32_t events, void* ctx); /* notify on events (0 = stop) */
  void (*reenable)(int fd, void* ctx);               /* arm a delivered notification again */
  void (*hint)(int fd, short pollEvents, void* ctx); /* the next yield waits on fd */
  void (*idle)(void* ctx);                           /* "give time to the system" */
  void* ctx;
} VrxEventHooks;
void vrx_SetEventHooks(const VrxEventHooks* hooks); /* null removes them */

/* Watched sockets are reported to the plug-in's message filter, as the message
 * VRX_SOCKET_NOTIFY_MESSAGE with wParam = socket and lParam = event bits. */
#define VRX_SOCKET_NOTIFY_MESSAGE 14566
#define VRX_NOTIFY_ACCEPT 8
typedef void (*VrxMessageFilter)(uint32_t message, uintptr_t wParam, intptr_t lParam);
VrxMessageFilter vrx_CurrentMessageFilter(void); /* null when none is installed */

#ifdef __cplusplus
}
#endif

#endif /* VRX_FOURDPACK_H */

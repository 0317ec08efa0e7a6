#ifndef PXREMOTE_H
#define PXREMOTE_H
/*
 * PxRemote: remote control of a Parlix voice client running on the same
 * machine. Every function runs one command exchange with Parlix through its
 * named shared memory, operation mutex and two events, and blocks its caller
 * for at most 3.5 seconds (3 s for the mutex, 0.5 s for the reply).
 *
 * Result codes: 0 success, negative failure. The text of the most recent
 * failure is read with pxrGetLastError. Records are filled in the caller's
 * memory; text fields are fixed single-byte arrays that are NUL-terminated
 * only when the text is shorter than the field.
 *
 * Calls must not overlap within one process (the last-error text and the
 * cached version are process-wide); calls from different processes are
 * serialised by Parlix's operation mutex.
 *
 * Object names: the environment variable VANTOR_PARLIX_PREFIX, when set, is
 * put in front of every object name ("parlix_File_Mapping" and so on), so a
 * stand-in and its callers can run apart from any other Parlix on the
 * machine (tests use this). Unset or empty means the real names.
 */

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define PXR_CALL __stdcall
#if defined(PXREMOTE_BUILDING)
#define PXR_API __declspec(dllexport)
#else
#define PXR_API __declspec(dllimport)
#endif
#else
#define PXR_CALL
#define PXR_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes the library produces itself; Parlix may return others. */
#define PXR_OK 0
#define PXR_ERR_NOT_FOUND (-1000)         /* no Parlix client running */
#define PXR_ERR_INVALID_ERROR (-1003)     /* an error reply without a usable code */
#define PXR_ERR_UNEXPECTED_FORMAT (-1004) /* a separator after a number is missing */
#define PXR_ERR_INTEGER_EXPECTED (-1005)  /* a number field is not a 32-bit integer */
#define PXR_ERR_EXECUTE_EVENT (-1101)
#define PXR_ERR_DONE_EVENT (-1102)
#define PXR_ERR_OPEN_MEMORY (-1103)
#define PXR_ERR_MAP_MEMORY (-1104)
#define PXR_ERR_NO_REPLY (-1105)         /* no reply within 500 ms */
#define PXR_ERR_MUTEX_TIMEOUT (-1106)    /* operation mutex not obtained within 3000 ms */
#define PXR_ERR_COMMAND_TOO_LONG (-1107) /* command and its NUL do not fit Parlix's shared area */
#define PXR_ERR_INTERNAL (-1108)         /* the library ran out of memory */

/* PlayerChannelPrivilege bits */
#define PXR_PCP_ADMIN 1
#define PXR_PCP_OPERATOR 2
#define PXR_PCP_AUTO_OPERATOR 4
#define PXR_PCP_VOICED 8
#define PXR_PCP_AUTO_VOICE 16
/* PlayerPrivilege bits */
#define PXR_PP_SUPER_SERVER_ADMIN 1
#define PXR_PP_SERVER_ADMIN 2
#define PXR_PP_CAN_REGISTER 4
#define PXR_PP_REGISTERED 8
#define PXR_PP_UNREGISTERED 16
/* PlayerFlag bits */
#define PXR_PF_CHANNEL_COMMANDER 1
#define PXR_PF_WANT_VOICE 2
#define PXR_PF_NO_WHISPER 4
#define PXR_PF_AWAY 8
#define PXR_PF_INPUT_MUTED 16
#define PXR_PF_OUTPUT_MUTED 32
#define PXR_PF_RECORDING 64
/* ChannelFlag bits */
#define PXR_CF_REGISTERED 1
#define PXR_CF_UNREGISTERED 2
#define PXR_CF_MODERATED 4
#define PXR_CF_PASSWORD 8
#define PXR_CF_HIERARCHICAL 16
#define PXR_CF_DEFAULT 32
/* ServerType bits */
#define PXR_ST_CLAN 1
#define PXR_ST_PUBLIC 2
#define PXR_ST_FREEWARE 4
#define PXR_ST_COMMERCIAL 8

/* Records cross the library boundary: packed, 32-bit little-endian integers. */
#pragma pack(push, 1)

typedef struct PxrVersionInfo {
  int32_t major;
  int32_t minor;
  int32_t release;
  int32_t build;
} PxrVersionInfo;

typedef struct PxrPlayerInfo {
  int32_t id;
  int32_t number2;
  char name[30];
  int32_t channelPrivileges; /* PXR_PCP_* */
  int32_t privileges;        /* PXR_PP_* */
  int32_t flags;             /* PXR_PF_* */
} PxrPlayerInfo;

typedef struct PxrChannelInfo {
  int32_t id;
  int32_t number2;
  int32_t playerCount;
  int32_t flags; /* PXR_CF_* */
  int32_t number4;
  char name[30];
} PxrChannelInfo;

typedef struct PxrServerInfo {
  char text1[30];
  char text2[256];
  PxrVersionInfo version;
  char text3[30];
  char text4[30];
  char text5[100];
  int32_t serverType; /* PXR_ST_* */
  int32_t number1;
  int32_t number2;
  int32_t number3;
  int32_t number4;
} PxrServerInfo;

typedef struct PxrUserInfo {
  PxrPlayerInfo player;
  PxrChannelInfo channel;
  PxrChannelInfo secondChannel;
} PxrUserInfo;

#pragma pack(pop)

#ifdef __cplusplus
#define PXR_STATIC_ASSERT(cond, what) static_assert(cond, what)
#else
#define PXR_STATIC_ASSERT(cond, what) _Static_assert(cond, what)
#endif

PXR_STATIC_ASSERT(sizeof(int32_t) == 4, "int32");
PXR_STATIC_ASSERT(sizeof(PxrVersionInfo) == 16, "PxrVersionInfo size");
PXR_STATIC_ASSERT(offsetof(PxrVersionInfo, minor) == 4, "PxrVersionInfo.minor");
PXR_STATIC_ASSERT(offsetof(PxrVersionInfo, release) == 8, "PxrVersionInfo.release");
PXR_STATIC_ASSERT(offsetof(PxrVersionInfo, build) == 12, "PxrVersionInfo.build");

PXR_STATIC_ASSERT(sizeof(PxrPlayerInfo) == 50, "PxrPlayerInfo size");
PXR_STATIC_ASSERT(offsetof(PxrPlayerInfo, number2) == 4, "PxrPlayerInfo.number2");
PXR_STATIC_ASSERT(offsetof(PxrPlayerInfo, name) == 8, "PxrPlayerInfo.name");
PXR_STATIC_ASSERT(offsetof(PxrPlayerInfo, channelPrivileges) == 38, "PxrPlayerInfo.channelPrivileges");
PXR_STATIC_ASSERT(offsetof(PxrPlayerInfo, privileges) == 42, "PxrPlayerInfo.privileges");
PXR_STATIC_ASSERT(offsetof(PxrPlayerInfo, flags) == 46, "PxrPlayerInfo.flags");

PXR_STATIC_ASSERT(sizeof(PxrChannelInfo) == 50, "PxrChannelInfo size");
PXR_STATIC_ASSERT(offsetof(PxrChannelInfo, number2) == 4, "PxrChannelInfo.number2");
PXR_STATIC_ASSERT(offsetof(PxrChannelInfo, playerCount) == 8, "PxrChannelInfo.playerCount");
PXR_STATIC_ASSERT(offsetof(PxrChannelInfo, flags) == 12, "PxrChannelInfo.flags");
PXR_STATIC_ASSERT(offsetof(PxrChannelInfo, number4) == 16, "PxrChannelInfo.number4");
PXR_STATIC_ASSERT(offsetof(PxrChannelInfo, name) == 20, "PxrChannelInfo.name");

PXR_STATIC_ASSERT(sizeof(PxrServerInfo) == 482, "PxrServerInfo size");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, text2) == 30, "PxrServerInfo.text2");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, version) == 286, "PxrServerInfo.version");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, text3) == 302, "PxrServerInfo.text3");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, text4) == 332, "PxrServerInfo.text4");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, text5) == 362, "PxrServerInfo.text5");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, serverType) == 462, "PxrServerInfo.serverType");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, number1) == 466, "PxrServerInfo.number1");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, number2) == 470, "PxrServerInfo.number2");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, number3) == 474, "PxrServerInfo.number3");
PXR_STATIC_ASSERT(offsetof(PxrServerInfo, number4) == 478, "PxrServerInfo.number4");

PXR_STATIC_ASSERT(sizeof(PxrUserInfo) == 150, "PxrUserInfo size");
PXR_STATIC_ASSERT(offsetof(PxrUserInfo, channel) == 50, "PxrUserInfo.channel");
PXR_STATIC_ASSERT(offsetof(PxrUserInfo, secondChannel) == 100, "PxrUserInfo.secondChannel");

/* The exports' names are the library's binary interface, fixed by its
 * callers, hence outside the tree's naming rule. */
/* NOLINTBEGIN(readability-identifier-naming) */

/* Commands without data. Null texts are sent as empty texts. A non-null
 * password, even an empty one, is appended after a blank. */
PXR_API int32_t PXR_CALL pxrConnect(const char* address);
PXR_API int32_t PXR_CALL pxrDisconnect(void);
PXR_API int32_t PXR_CALL pxrQuit(void);
PXR_API int32_t PXR_CALL pxrSwitchChannelName(const char* name, const char* password);
PXR_API int32_t PXR_CALL pxrSwitchChannelID(int32_t channelId, const char* password);
PXR_API int32_t PXR_CALL pxrSetPlayerFlags(int32_t flags);
PXR_API int32_t PXR_CALL pxrSetWantVoiceReason(const char* reason);
PXR_API int32_t PXR_CALL pxrSetOperator(int32_t playerId, int32_t grant);
PXR_API int32_t PXR_CALL pxrSetVoice(int32_t playerId, int32_t grant);
PXR_API int32_t PXR_CALL pxrKickPlayerFromServer(int32_t playerId, const char* text);
PXR_API int32_t PXR_CALL pxrKickPlayerFromChannel(int32_t playerId, const char* text);
PXR_API int32_t PXR_CALL pxrSendTextMessageToChannel(int32_t channelId, const char* message);
PXR_API int32_t PXR_CALL pxrSendTextMessage(const char* message);

/* Commands that return data. `count` holds the array's capacity on entry and
 * the number of elements filled on success; after a failed list call it may
 * still hold the capacity, so test the result first. */
PXR_API int32_t PXR_CALL pxrGetVersion(PxrVersionInfo* info);
PXR_API int32_t PXR_CALL pxrGetServerInfo(PxrServerInfo* info);
PXR_API int32_t PXR_CALL pxrGetUserInfo(PxrUserInfo* info);
PXR_API int32_t PXR_CALL pxrGetChannelInfoByID(int32_t channelId, PxrChannelInfo* channel, PxrPlayerInfo* players,
                                               int32_t* count);
PXR_API int32_t PXR_CALL pxrGetChannelInfoByName(const char* name, PxrChannelInfo* channel, PxrPlayerInfo* players,
                                                 int32_t* count);
PXR_API int32_t PXR_CALL pxrGetPlayerInfoByID(int32_t playerId, PxrPlayerInfo* player);
PXR_API int32_t PXR_CALL pxrGetPlayerInfoByName(const char* name, PxrPlayerInfo* player);
PXR_API int32_t PXR_CALL pxrGetChannels(PxrChannelInfo* channels, int32_t* count);
PXR_API int32_t PXR_CALL pxrGetPlayers(PxrPlayerInfo* players, int32_t* count);
PXR_API int32_t PXR_CALL pxrGetSpeakers(int32_t* ids, int32_t* count);

/* Copies the last failure's text into `buffer`: at most size - 1 characters
 * and a NUL. Does nothing when `buffer` is null or `size` is not positive. */
PXR_API void PXR_CALL pxrGetLastError(char* buffer, int32_t size);

/* NOLINTEND(readability-identifier-naming) */

/* Function types for binding the exports at run time. */
typedef int32_t(PXR_CALL* PxrConnectFn)(const char*);
typedef int32_t(PXR_CALL* PxrNoArgFn)(void);
typedef int32_t(PXR_CALL* PxrSwitchChannelNameFn)(const char*, const char*);
typedef int32_t(PXR_CALL* PxrSwitchChannelIDFn)(int32_t, const char*);
typedef int32_t(PXR_CALL* PxrIntFn)(int32_t);
typedef int32_t(PXR_CALL* PxrTextFn)(const char*);
typedef int32_t(PXR_CALL* PxrIntIntFn)(int32_t, int32_t);
typedef int32_t(PXR_CALL* PxrIntTextFn)(int32_t, const char*);
typedef int32_t(PXR_CALL* PxrGetVersionFn)(PxrVersionInfo*);
typedef int32_t(PXR_CALL* PxrGetServerInfoFn)(PxrServerInfo*);
typedef int32_t(PXR_CALL* PxrGetUserInfoFn)(PxrUserInfo*);
typedef int32_t(PXR_CALL* PxrGetChannelInfoByIDFn)(int32_t, PxrChannelInfo*, PxrPlayerInfo*, int32_t*);
typedef int32_t(PXR_CALL* PxrGetChannelInfoByNameFn)(const char*, PxrChannelInfo*, PxrPlayerInfo*, int32_t*);
typedef int32_t(PXR_CALL* PxrGetPlayerInfoByIDFn)(int32_t, PxrPlayerInfo*);
typedef int32_t(PXR_CALL* PxrGetPlayerInfoByNameFn)(const char*, PxrPlayerInfo*);
typedef int32_t(PXR_CALL* PxrGetChannelsFn)(PxrChannelInfo*, int32_t*);
typedef int32_t(PXR_CALL* PxrGetPlayersFn)(PxrPlayerInfo*, int32_t*);
typedef int32_t(PXR_CALL* PxrGetSpeakersFn)(int32_t*, int32_t*);
typedef void(PXR_CALL* PxrGetLastErrorFn)(char*, int32_t);

#ifdef __cplusplus
}
#endif

#endif /* PXREMOTE_H */

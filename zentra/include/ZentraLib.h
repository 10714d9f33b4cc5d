#ifndef ZENTRALIB_H
#define ZENTRALIB_H

/* The DMX interface library: seven functions with C linkage. Device ids are zero-terminated
 * UTF-16 strings of at most 15 characters (16 with the terminator). */

#ifdef __cplusplus
#include <cstdint>
typedef char16_t ZentraWChar;
extern "C" {
#else
#include <stdint.h>
typedef uint_least16_t ZentraWChar;
#endif

typedef void *ZENTRA_ENUM;
typedef void *ZENTRA_HANDLE;

enum { ZENTRA_ID_CHARS = 16 };

/* Starts an enumeration of the devices present. Never null. */
ZENTRA_ENUM ZentraEnum_New(void);
/* Stores the next device id, zero-terminated, in a buffer of ZENTRA_ID_CHARS characters;
 * returns non-zero when it did, zero when no device is left. */
int ZentraEnum_NextW(ZENTRA_ENUM enumeration, ZentraWChar *buffer);
/* Frees an enumeration; also one that delivered nothing. */
void ZentraEnum_Delete(ZENTRA_ENUM enumeration);

/* Opens the device with the given id; null when it did not open. */
ZENTRA_HANDLE Zentra_OpenIDW(const ZentraWChar *id);
/* Sends one frame (start code and slots) waiting at most timeoutMs; non-zero when sent. */
int Zentra_Write(ZENTRA_HANDLE device, const unsigned char *frame, int length, int timeoutMs);
/* Receives the latest frame into the buffer waiting at most timeoutMs; non-zero when a frame was
 * received. The buffer is left as it was after a failure. */
int Zentra_Read(ZENTRA_HANDLE device, unsigned char *frame, int length, int timeoutMs);
/* Closes a device opened by Zentra_OpenIDW. */
void Zentra_Close(ZENTRA_HANDLE device);

#ifdef __cplusplus
}
#endif

#endif

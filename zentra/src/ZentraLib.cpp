#include "ZentraLib.h"

// Placeholder until the backends land: no device is ever present.
extern "C" {
ZENTRA_ENUM ZentraEnum_New(void) { static int e; return &e; }
int ZentraEnum_NextW(ZENTRA_ENUM, ZentraWChar *) { return 0; }
void ZentraEnum_Delete(ZENTRA_ENUM) {}
ZENTRA_HANDLE Zentra_OpenIDW(const ZentraWChar *) { return nullptr; }
int Zentra_Write(ZENTRA_HANDLE, const unsigned char *, int, int) { return 0; }
int Zentra_Read(ZENTRA_HANDLE, unsigned char *, int, int) { return 0; }
void Zentra_Close(ZENTRA_HANDLE) {}
}

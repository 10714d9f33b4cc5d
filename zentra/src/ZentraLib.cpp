#include "ZentraLib.h"

#include "Backends.h"

#include <algorithm>
#include <new>

// The C API over the backend in force. No exception crosses it: a failing backend reads as no
// device, a failed open, write or read.

namespace {

using zentra::Backend;

struct Enumeration
{
    std::vector<std::u16string> ids;
    std::size_t next = 0;
};

// Handed out when not even an enumeration could be built, so that ZentraEnum_New is never null.
Enumeration s_emptyEnumeration;

// A device remembers the backend that opened it: selecting another interface meanwhile does not
// pull it from under an open handle.
struct Device
{
    std::shared_ptr<Backend> backend;
    Backend::Handle handle;
};

} // namespace

extern "C" {

ZENTRA_ENUM ZentraEnum_New(void)
{
    try {
        auto enumeration = std::make_unique<Enumeration>();
        enumeration->ids = zentra::detail::UsableIds(*zentra::detail::CurrentBackend());
        return enumeration.release();
    } catch (...) {
        return &s_emptyEnumeration;
    }
}

int ZentraEnum_NextW(ZENTRA_ENUM enumeration, ZentraWChar *buffer)
{
    auto *e = static_cast<Enumeration *>(enumeration);
    if (!e || !buffer || e->next >= e->ids.size())
        return 0;
    const std::u16string &id = e->ids[e->next++];
    std::copy(id.begin(), id.end(), buffer);
    buffer[id.size()] = 0;
    return 1;
}

void ZentraEnum_Delete(ZENTRA_ENUM enumeration)
{
    auto *e = static_cast<Enumeration *>(enumeration);
    if (e != &s_emptyEnumeration)
        delete e;
}

ZENTRA_HANDLE Zentra_OpenIDW(const ZentraWChar *id)
{
    if (!id)
        return nullptr;
    const ZentraWChar *end = std::find(id, id + ZENTRA_ID_CHARS, ZentraWChar(0));
    if (end == id || end == id + ZENTRA_ID_CHARS)
        return nullptr; // empty, or longer than any id an enumeration delivers
    try {
        auto device = std::make_unique<Device>();
        device->backend = zentra::detail::CurrentBackend();
        device->handle = device->backend->Open(std::u16string_view(id, end - id));
        if (!device->handle)
            return nullptr;
        return device.release();
    } catch (...) {
        return nullptr;
    }
}

int Zentra_Write(ZENTRA_HANDLE device, const unsigned char *frame, int length, int timeoutMs)
{
    auto *d = static_cast<Device *>(device);
    if (!d || !frame || length <= 0 || timeoutMs < 0)
        return 0;
    try {
        return d->backend->Write(d->handle, {frame, static_cast<std::size_t>(length)},
                                 std::chrono::milliseconds(timeoutMs))
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

int Zentra_Read(ZENTRA_HANDLE device, unsigned char *frame, int length, int timeoutMs)
{
    auto *d = static_cast<Device *>(device);
    if (!d || !frame || length <= 0 || timeoutMs < 0)
        return 0;
    try {
        return d->backend->Read(d->handle, {frame, static_cast<std::size_t>(length)},
                                std::chrono::milliseconds(timeoutMs))
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

void Zentra_Close(ZENTRA_HANDLE device)
{
    std::unique_ptr<Device> d(static_cast<Device *>(device));
    if (!d)
        return;
    try {
        d->backend->Close(d->handle);
    } catch (...) {
        // Nothing left to do for a device that will not close; the handle is gone either way.
    }
}
}

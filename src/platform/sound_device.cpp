#include "platform/platform.hpp"

#include <AL/alc.h>
#include <AL/alext.h>

bool soundDeviceConnected() {
    ALCcontext* context = alcGetCurrentContext();
    if (context == nullptr) return true;
    ALCdevice* device = alcGetContextsDevice(context);
    if (device == nullptr || alcIsExtensionPresent(device, "ALC_EXT_disconnect") == ALC_FALSE)
        return true;
    ALCint connected = ALC_TRUE;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected != ALC_FALSE;
}

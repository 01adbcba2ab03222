#include "platform/platform.hpp"

#include "platform/win32_text.hpp"

#include <audioclient.h>
#include <mmdeviceapi.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <iostream>
#include <memory>
#include <thread>

namespace {
constexpr std::chrono::milliseconds probeDeadline{2000};  // ms a sound device may take to answer
constexpr char outOfMemoryLine[] = "skywaltz: out of memory; the game cannot go on\n";
constexpr wchar_t boxTitle[] = L"SKYWALTZ";

// The interfaces' identifiers, spelled out: mingw's import library does not carry them all.
const CLSID enumeratorClass = {
    0xbcde0395, 0xe52f, 0x467c, {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
const IID enumeratorInterface = {
    0xa95664d2, 0x9614, 0x4f35, {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
const IID audioClientInterface = {
    0x1cb9ad4c, 0xdbfa, 0x4c32, {0xb1, 0x78, 0xc2, 0xf5, 0x68, 0xa7, 0x03, 0xb2}};

// Releases a COM object when it goes out of scope.
struct Release {
    void operator()(IUnknown* object) const {
        if (object != nullptr) object->Release();
    }
};
template <typename T>
using Owned = std::unique_ptr<T, Release>;

bool leadsSomewhere(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void toConsole(FILE* stream) {
    if (std::freopen("CONOUT$", "w", stream) != nullptr) std::setvbuf(stream, nullptr, _IONBF, 0);
}

// Whether Windows has a default playback endpoint that answers: the one OpenAL Soft opens.
bool endpointAnswers() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return false;
    bool answers = false;
    {
        IMMDeviceEnumerator* rawEnumerator = nullptr;
        CoCreateInstance(enumeratorClass, nullptr, CLSCTX_ALL, enumeratorInterface,
                         reinterpret_cast<void**>(&rawEnumerator));
        const Owned<IMMDeviceEnumerator> enumerator(rawEnumerator);
        IMMDevice* rawDevice = nullptr;
        if (enumerator) enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &rawDevice);
        const Owned<IMMDevice> device(rawDevice);
        IAudioClient* rawClient = nullptr;
        if (device)
            device->Activate(audioClientInterface, CLSCTX_ALL, nullptr,
                             reinterpret_cast<void**>(&rawClient));
        const Owned<IAudioClient> client(rawClient);
        WAVEFORMATEX* format = nullptr;
        answers = client && SUCCEEDED(client->GetMixFormat(&format));
        CoTaskMemFree(format);
    }
    CoUninitialize();
    return answers;
}
}  // namespace

void prepareProcess() {
    // A GUI program starts without a console; one started from a console writes to it.
    // There is no display connection to lose nor a SIGPIPE to ignore on Windows: the window
    // belongs to the process, and a broken pipe fails the write that meets it.
    // A stream already sent to a file or a pipe keeps going there.
    const bool output = leadsSomewhere(STD_OUTPUT_HANDLE),
               errors = leadsSomewhere(STD_ERROR_HANDLE);
    if ((output && errors) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!output) toConsole(stdout);
    if (!errors) toConsole(stderr);
    std::cout.clear();
    std::cerr.clear();
}

bool displayAvailable() {
    return true;  // a Windows program always runs on a desktop
}

void reportNoDisplay() {
    std::cerr << "skywaltz: there is no desktop to open the window on\n";
}

void showFatalNotice(const std::string& line) {
    MessageBoxW(nullptr, widen(line).c_str(), boxTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

SoundProbe probeSoundDevice() {
    // OpenAL reads its configuration once, on its first call, so the probe asks Windows'
    // audio service directly and leaves OpenAL untouched until the game knows whether to point
    // it at its silent output. A hung audio service holds the worker, not the game.
    if (std::getenv("ALSOFT_DRIVERS") != nullptr) return SoundProbe::available;  // chosen outside
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> answered = answer->get_future();
    std::thread([answer] { answer->set_value(endpointAnswers()); }).detach();
    if (answered.wait_for(probeDeadline) != std::future_status::ready) return SoundProbe::noAnswer;
    return answered.get() ? SoundProbe::available : SoundProbe::missing;
}

bool memoryLimited() {
    return false;  // Windows has no per-process address-space limit like ulimit -v
}

void reportOutOfMemory() {
    std::fputs(outOfMemoryLine, stderr);
    std::fflush(stderr);
}

void useSilentAudio() {
    // OpenAL Soft's null backend accepts every call and plays nothing. Both the process's and
    // the C runtime's copies of the environment are set, since OpenAL may read either.
    SetEnvironmentVariableW(L"ALSOFT_DRIVERS", L"null");
    _putenv("ALSOFT_DRIVERS=null");
}

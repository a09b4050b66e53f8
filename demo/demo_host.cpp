// A host program: loads toolwindows.dll at run time, asks its factory for every window it may
// offer, drives those that exist the way an application would, and logs what a user would see.
// Usage: demo_host [screenshot folder]   (default: "screenshots" beside the exe)
#include <windows.h>
#include <commctrl.h>
#include <wincodec.h>

#include <cstdarg>
#include <cstdio>
#include <set>
#include <string>

#include <brin/ITinyFactory.h>
#include <toolwindows/IProgressBar.h>

namespace {

// ---- Logging and checks --------------------------------------------------------------------

int g_failures = 0;

void Log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    // Flushed per line so the log interleaves sensibly with anything Wine prints.
    std::fflush(stdout);
}

bool Check(bool ok, const char* what)
{
    if (!ok) {
        ++g_failures;
        Log("  FAILED: %s", what);
    }
    return ok;
}

// The module's API is 8-bit ANSI: texts are converted from the ANSI code page for the log.
std::string ForLog(const std::string& ansi)
{
    if (ansi.empty())
        return ansi;
    const int ansiLength = static_cast<int>(ansi.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// ---- Windows as a user sees them -----------------------------------------------------------

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::set<HWND>*>(param)->insert(hwnd);
    return TRUE;
}

std::set<HWND> ThreadWindows()
{
    std::set<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The tool window a Create made: new since `before`, and owned (the hidden parent, made by the
// first Create, is not).
HWND NewOwnedWindow(const std::set<HWND>& before)
{
    for (HWND hwnd : ThreadWindows())
        if (!before.count(hwnd) && GetWindow(hwnd, GW_OWNER))
            return hwnd;
    return nullptr;
}

std::string ItemText(HWND dialog, int id)
{
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

// Dispatches the thread's messages for `ms`, so a watcher sees each step; bounded, never idle
// in a plain sleep while messages wait.
void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

// ---- Screenshots ---------------------------------------------------------------------------

std::string ExeFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// Makes `folder` and any missing parent.
bool MakeFolders(const std::string& folder)
{
    for (size_t at = folder.find_first_of("\\/", 1); at != std::string::npos;
         at = folder.find_first_of("\\/", at + 1)) {
        const std::string part = folder.substr(0, at);
        if (!part.empty() && part.back() != ':')
            CreateDirectoryA(part.c_str(), nullptr);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

template <class T>
void SafeRelease(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// Writes top-down 32-bit BGRA pixels as a PNG through the WIC encoder.
bool WritePng(const std::string& file, UINT width, UINT height, const BYTE* pixels)
{
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, nullptr, 0);
    std::wstring wideFile(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wideFile.data(), wideLength);

    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    const UINT stride = width * 4;

    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(wideFile.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(width, height);
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    // The encoder may only offer a neighbour of the asked format; our pixels fit only this one.
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA))
        hr = E_FAIL;
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(height, stride, stride * height, const_cast<BYTE*>(pixels));
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();

    SafeRelease(frame);
    SafeRelease(encoder);
    SafeRelease(stream);
    SafeRelease(factory);
    if (FAILED(hr))
        Log("  PNG encoding of %s failed (hr 0x%08lx)", file.c_str(), static_cast<unsigned long>(hr));
    return SUCCEEDED(hr);
}

// Captures the whole window, frame included, as it is on screen, and writes it as a PNG.
// Copied from the window's own DC rather than through PrintWindow: Wine's WM_PRINT draws neither
// the frame nor the child controls, so PrintWindow gives a blank client area there.
bool Screenshot(HWND hwnd, const std::string& file)
{
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: top-down rows, as WIC expects
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        HDC window = GetWindowDC(hwnd);
        ok = window && BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY) != FALSE;
        if (window)
            ReleaseDC(hwnd, window);
        GdiFlush();
        SelectObject(memory, old);
        if (ok) {
            // GDI leaves the alpha byte undefined (usually 0): make every pixel opaque.
            auto* pixel = static_cast<BYTE*>(bits);
            for (int i = 0; i < width * height; ++i)
                pixel[i * 4 + 3] = 0xFF;
            ok = WritePng(file, static_cast<UINT>(width), static_cast<UINT>(height), pixel);
        }
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

// ---- The windows of the module -------------------------------------------------------------

struct DemoContext {
    brin::ITinyFactory* factory;
    std::string screenshots;  // folder, with its trailing separator
};

enum class Outcome { Absent, Driven };

// "progressbar": texts, steps through 0..100, hide and show, screenshots, release.
Outcome DemoProgressBar(const DemoContext& context)
{
    const char* const name = "progressbar";
    const std::set<HWND> before = ThreadWindows();
    auto* bar = static_cast<IProgressBar*>(context.factory->Create(name));
    if (!bar)
        return Outcome::Absent;
    const HWND hwnd = NewOwnedWindow(before);
    if (!Check(hwnd != nullptr, "progressbar: no new owned top-level window after Create")) {
        bar->Release();
        return Outcome::Driven;
    }

    const auto barPosition = [hwnd] {
        return static_cast<int>(SendDlgItemMessageA(hwnd, 2002, PBM_GETPOS, 0, 0));
    };
    // One log line per step with what the window shows, and a check that it is what was asked.
    const auto report = [&](const char* step, int wantedPercent, const char* wantedText, bool wantedVisible) {
        const std::string message = ItemText(hwnd, 2004);
        const std::string percent = ItemText(hwnd, 2003);
        const int position = barPosition();
        const bool visible = IsWindowVisible(hwnd) != FALSE;
        Log("%s: %-24s bar %3d, percent '%s', text '%s', %s", name, step, position, percent.c_str(),
            ForLog(message).c_str(), visible ? "shown" : "hidden");
        Check(visible == wantedVisible, "window visibility is not the expected one");
        if (wantedText)
            Check(message == wantedText, "message line does not show the text set");
        if (wantedPercent >= 0) {
            Check(position == wantedPercent, "bar position is not the expected percentage");
            Check(percent == std::to_string(wantedPercent) + "%", "percent line does not match");
        }
    };
    const auto screenshot = [&](const char* label) {
        const std::string file = context.screenshots + name + "-" + label + ".png";
        const bool ok = Screenshot(hwnd, file);
        Check(ok, "screenshot could not be written");
        if (ok)
            Log("%s: screenshot %s", name, file.c_str());
    };

    char title[256] = {};
    GetWindowTextA(hwnd, title, sizeof(title));
    Log("%s: created, window %p, title '%s', refcount %d", name, static_cast<void*>(hwnd),
        ForLog(title).c_str(), static_cast<int>(bar->GetRefCount()));
    Check(bar->GetRefCount() == 1, "a new window must hold exactly the caller's reference");
    report("as created", -1, nullptr, true);

    // CP1252: "..." as one ellipsis character, as the API is 8-bit ANSI.
    const char* const loading = "Chargement de la configuration\x85";
    bar->SetText(loading);
    bar->SetPercent(0);
    report("SetText + SetPercent(0)", 0, loading, true);
    PumpFor(80);

    for (int step = 1; step <= 4; ++step) {
        bar->AdvancePercent(10);
        report("AdvancePercent(+10)", step * 10, loading, true);
        PumpFor(80);
        if (step == 3)
            screenshot("30");
    }

    const char* const sensors = "Lecture des capteurs (\xE9tape 2/2)";
    bar->SetText(sensors);
    bar->SetPercent(50);
    report("SetText + SetPercent(50)", 50, sensors, true);
    PumpFor(80);

    bar->Hide();
    PumpFor(80);
    report("Hide", 50, sensors, false);
    bar->Show();
    PumpFor(80);
    report("Show", 50, sensors, true);

    for (int percent = 65; percent <= 95; percent += 15) {
        bar->SetPercent(percent);
        report(("SetPercent(" + std::to_string(percent) + ")").c_str(), percent, sensors, true);
        PumpFor(80);
    }
    // Past the end: the module clamps to 100.
    bar->AdvancePercent(25);
    report("AdvancePercent(+25)", 100, sensors, true);
    const char* const done = "Configuration charg\xE9" "e";
    bar->SetText(done);
    report("SetText", 100, done, true);
    PumpFor(80);
    screenshot("100");

    bar->Release();
    PumpFor(50);
    const bool gone = IsWindow(hwnd) == FALSE;
    Log("%s: released, window %s", name, gone ? "gone" : "STILL PRESENT");
    Check(gone, "the last Release must destroy the window");
    return Outcome::Driven;
}

// Every name the factory may answer, in its order. A window gets its demo function when the
// module offers it; until then a null one only reports whether it exists.
struct WindowDemo {
    const char* name;
    Outcome (*drive)(const DemoContext&);
};

constexpr WindowDemo kWindowDemos[] = {
    {"dlgprofiling", nullptr},
    {"progressbar", &DemoProgressBar},
    {"dlglog", nullptr},
    {"SetupParams", nullptr},
    {"DlgCapteurs", nullptr},
    {"DlgSlavesStates", nullptr},
};

// For a name with no demo function yet: the factory is expected to have nothing for it.
Outcome ProbeOnly(const DemoContext& context, const char* name)
{
    if (!context.factory->Create(name))
        return Outcome::Absent;
    // Its interface type is unknown here, so it cannot even be released: add its demo.
    Check(false, "the module offers a window this demo has no function for yet");
    return Outcome::Driven;
}

}  // namespace

int main(int argc, char** argv)
{
    // Log lines are UTF-8; a Wine console would otherwise read them in the OEM code page.
    SetConsoleOutputCP(CP_UTF8);

    std::string screenshots = argc > 1 ? argv[1] : ExeFolder() + "screenshots";
    if (screenshots.find_last_of("\\/") != screenshots.size() - 1) {
        // The separator the folder was given with, so the logged paths read naturally.
        const bool unixStyle =
            screenshots.find('\\') == std::string::npos && screenshots.find('/') != std::string::npos;
        screenshots += unixStyle ? '/' : '\\';
    }
    if (!MakeFolders(screenshots.substr(0, screenshots.size() - 1))) {
        Log("cannot make the screenshot folder %s", screenshots.c_str());
        return 2;
    }

    const std::set<HWND> windowsAtStart = ThreadWindows();
    const std::string dll = ExeFolder() + "toolwindows.dll";
    HMODULE module = LoadLibraryA(dll.c_str());
    if (!module) {
        Log("cannot load %s (error %lu)", dll.c_str(), GetLastError());
        return 2;
    }
    // Through void(*)(): FARPROC's own type says nothing about the export's.
    const auto proc = reinterpret_cast<void (*)()>(GetProcAddress(module, "GetTinyFactory"));
    const auto getFactory = reinterpret_cast<GetTinyFactoryFn>(proc);
    brin::ITinyFactory* factory = getFactory ? getFactory() : nullptr;
    if (!factory) {
        Log("%s: no GetTinyFactory export, or it gave no factory", dll.c_str());
        FreeLibrary(module);
        return 2;
    }
    Log("loaded %s, factory %p", dll.c_str(), static_cast<void*>(factory));

    const HRESULT com = CoInitialize(nullptr);
    const DemoContext context{factory, screenshots};
    std::string available, absent;
    for (const WindowDemo& demo : kWindowDemos) {
        const Outcome outcome = demo.drive ? demo.drive(context) : ProbeOnly(context, demo.name);
        std::string& list = outcome == Outcome::Driven ? available : absent;
        list += list.empty() ? "" : ", ";
        list += demo.name;
        if (outcome == Outcome::Absent)
            Log("%s: not offered by this module yet", demo.name);
    }
    Log("windows offered: %s", available.empty() ? "none" : available.c_str());
    Log("windows not offered yet: %s", absent.empty() ? "none" : absent.c_str());
    Check(!available.empty(), "the module offers no window at all");

    if (SUCCEEDED(com))
        CoUninitialize();

    // Unloading takes the module's remaining windows (its hidden parent) with it.
    FreeLibrary(module);
    PumpFor(50);
    size_t left = 0;
    for (HWND hwnd : ThreadWindows())
        left += windowsAtStart.count(hwnd) ? 0 : 1;
    Log("unloaded the module, %u of its windows left", static_cast<unsigned>(left));
    Check(left == 0, "windows of the module outlive FreeLibrary");

    if (g_failures == 0)
        Log("demo: all checks passed");
    else
        Log("demo: %d check(s) FAILED", g_failures);
    return g_failures == 0 ? 0 : 1;
}

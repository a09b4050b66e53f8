#include "Screenshot.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

template <class T>
void SafeRelease(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

// Writes top-down 32-bit BGRA pixels as a PNG through the WIC encoder.
bool WritePng(const std::string& file, UINT width, UINT height, const BYTE* pixels)
{
    const std::wstring wideFile = Wide(file);
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    const UINT stride = width * 4;

    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory));
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
    return SUCCEEDED(hr);
}

// Reads a picture file's first frame as top-down 32-bit BGRA pixels, whatever format it holds.
bool ReadPicture(const std::string& file, UINT* width, UINT* height, std::vector<UINT32>* pixels)
{
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr))
        hr = factory->CreateDecoderFromFilename(Wide(file).c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(hr))
        hr = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(hr))
        hr = frame->GetSize(width, height);
    if (SUCCEEDED(hr))
        hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
        hr = converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(hr)) {
        pixels->resize(static_cast<size_t>(*width) * *height);
        hr = converter->CopyPixels(nullptr, *width * 4, static_cast<UINT>(pixels->size() * 4),
                                   reinterpret_cast<BYTE*>(pixels->data()));
    }
    SafeRelease(converter);
    SafeRelease(frame);
    SafeRelease(decoder);
    SafeRelease(factory);
    return SUCCEEDED(hr);
}

}  // namespace

std::string PictureFault(HWND hwnd, const std::string& file)
{
    UINT width = 0, height = 0;
    std::vector<UINT32> pixels;
    if (!ReadPicture(file, &width, &height, &pixels))
        return "it cannot be read back";
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    char why[96];
    if (static_cast<LONG>(width) != rect.right - rect.left || static_cast<LONG>(height) != rect.bottom - rect.top) {
        std::snprintf(why, sizeof why, "it is %ux%u, the window %ldx%ld", width, height, rect.right - rect.left,
                      rect.bottom - rect.top);
        return why;
    }
    if (std::adjacent_find(pixels.begin(), pixels.end(), std::not_equal_to<>()) == pixels.end()) {
        // Read as a little-endian word, a BGRA pixel is 0xAARRGGBB.
        std::snprintf(why, sizeof why, "it is one colour all over (#%06x)", pixels.empty() ? 0u : pixels[0] & 0xFFFFFF);
        return why;
    }
    return {};
}

// Captures the whole window, frame included, as it is on screen, and writes it as a PNG.
// Copied from the window's own DC rather than through PrintWindow: Wine's WM_PRINT draws neither
// the frame nor the child controls, so PrintWindow gives a blank client area there.
bool Screenshot(HWND hwnd, const std::string& file, const std::function<void()>& afterRepaint)
{
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (afterRepaint)
        afterRepaint();
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

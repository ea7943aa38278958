#ifdef _WIN32

#include "platform/windows/screen_capture.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace ondrel::windows {
namespace {

// Each GDI object goes with the scope that made it, on every path.
struct ScreenDc {
  HDC dc = ::GetDC(nullptr);
  ~ScreenDc() {
    if (dc != nullptr) ::ReleaseDC(nullptr, dc);
  }
};

struct MemoryDc {
  HDC dc;
  explicit MemoryDc(HDC like) : dc(::CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc != nullptr) ::DeleteDC(dc);
  }
};

struct Bitmap {
  HBITMAP bitmap = nullptr;
  ~Bitmap() {
    if (bitmap != nullptr) ::DeleteObject(bitmap);
  }
};

struct Selection {
  HDC dc;
  HGDIOBJ previous;
  Selection(HDC into, HGDIOBJ object) : dc(into), previous(::SelectObject(into, object)) {}
  ~Selection() {
    if (previous != nullptr && previous != HGDI_ERROR) ::SelectObject(dc, previous);
  }
};

Outcome gdi_failure(const char* call) {
  return Outcome::failure(std::string(call) + " failed (error " + std::to_string(::GetLastError()) +
                          "): the desktop cannot be captured in this session");
}

}  // namespace

Expected<screen::RgbImage> capture_desktop_area(ScreenArea area) {
  const ScreenDc screen;
  if (screen.dc == nullptr) return gdi_failure("GetDC");
  const MemoryDc memory(screen.dc);
  if (memory.dc == nullptr) return gdi_failure("CreateCompatibleDC");
  // 32-bit top-down rows: BGRX in memory, each row a multiple of 4 bytes already.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = area.size.width;
  info.bmiHeader.biHeight = -area.size.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap section;
  section.bitmap = ::CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section.bitmap == nullptr || bits == nullptr) return gdi_failure("CreateDIBSection");
  {
    const Selection selected(memory.dc, section.bitmap);
    if (selected.previous == nullptr || selected.previous == HGDI_ERROR) return gdi_failure("SelectObject");
    if (!::BitBlt(memory.dc, 0, 0, area.size.width, area.size.height, screen.dc, area.origin.x, area.origin.y,
                  SRCCOPY))
      return gdi_failure("BitBlt");
    ::GdiFlush();  // the section's memory is read next
  }
  screen::RgbImage image = screen::RgbImage::blank(area.size.width, area.size.height);
  const auto* in = static_cast<const std::uint8_t*>(bits);
  std::uint8_t* out = image.pixels.data();
  const std::size_t pixels = static_cast<std::size_t>(area.size.width) * static_cast<std::size_t>(area.size.height);
  for (std::size_t i = 0; i < pixels; ++i, in += 4, out += 3) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
  }
  return image;
}

}  // namespace ondrel::windows

#endif  // _WIN32

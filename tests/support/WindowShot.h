// Saves a picture of a window as it is on the screen, for review: only when PELLORIN_SHOTS names
// a folder (a Windows path), into <folder>\<name>.bmp. Never asserted on.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// The folder pictures go to, or empty when none are wanted.
inline std::string ShotFolder() {
  char folder[MAX_PATH] = {};
  if (::GetEnvironmentVariableA("PELLORIN_SHOTS", folder, sizeof(folder)) == 0) return {};
  std::string path = folder;
  for (char& c : path)
    if (c == '/') c = '\\';
  if (!path.empty() && path[0] == '\\') path = "Z:" + path;
  return path;
}

// Writes what a memory DC holds in its selected bitmap area (width x height) as a BMP file.
inline void SaveDcShot(HDC source, int width, int height, const std::string& name) {
  const std::string folder = ShotFolder();
  if (folder.empty() || width <= 0 || height <= 0) return;
  HDC memory = ::CreateCompatibleDC(source);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  ::SelectObject(memory, old);
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
  const DWORD size = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
  file.bfSize = file.bfOffBits + size;
  const std::string path = folder + "\\" + name + ".bmp";
  HANDLE out = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ::WriteFile(out, &file, sizeof(file), &written, nullptr);
    ::WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr);
    ::WriteFile(out, bits, size, &written, nullptr);
    ::CloseHandle(out);
  }
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
}

// A window as it is on the screen.
inline void SaveWindowShot(HWND hWnd, const std::string& name) {
  if (ShotFolder().empty() || hWnd == nullptr) return;
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  ::Sleep(200);
  RECT rect;
  ::GetWindowRect(hWnd, &rect);
  HDC screen = ::GetDC(nullptr);
  HDC copy = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, rect.right - rect.left, rect.bottom - rect.top);
  HGDIOBJ old = ::SelectObject(copy, bitmap);
  ::BitBlt(copy, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top, SRCCOPY);
  SaveDcShot(copy, rect.right - rect.left, rect.bottom - rect.top, name);
  ::SelectObject(copy, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(copy);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace testsupport

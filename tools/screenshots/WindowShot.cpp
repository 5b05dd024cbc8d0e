// Photographs a program's window as the system draws it, title bar and frame
// included, and sends it keys and window commands, for the pictures of the
// Windows build (scripts/screenshots-windows):
//   window-shot <title> wait | keys <key>... | click <x> <y> | command <id> |
//               shot <file.png> | close
// Every command first waits for a visible top-level window of that title.
// A click's place is in pixels from the window's top left corner, as in its
// picture.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kWaitSteps = 300;  // of 100 ms
constexpr DWORD kSettleMs = 300;

HWND WaitForWindow(const char* title) {
  const std::wstring wide = QString::fromLocal8Bit(title).toStdWString();
  for (int step = 0; step < kWaitSteps; ++step) {
    HWND window = FindWindowW(nullptr, wide.c_str());
    if (window != nullptr && IsWindowVisible(window)) return window;
    Sleep(100);
  }
  std::fprintf(stderr, "window-shot: no window \"%s\"\n", title);
  return nullptr;
}

struct KeyName {
  const char* name;
  UINT key;
};

constexpr KeyName kKeys[] = {
    {"Return", VK_RETURN}, {"Tab", VK_TAB}, {"Space", VK_SPACE}, {"Escape", VK_ESCAPE}};

bool PressKey(HWND window, const char* name) {
  for (const KeyName& key : kKeys) {
    if (std::strcmp(key.name, name) != 0) continue;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key.key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(window, WM_KEYDOWN, key.key, scan | 1);
    PostMessageW(window, WM_KEYUP, key.key, scan | 1 | (LPARAM{3} << 30));
    Sleep(kSettleMs);
    return true;
  }
  std::fprintf(stderr, "window-shot: no key \"%s\"\n", name);
  return false;
}

bool Click(HWND window, const char* x, const char* y) {
  RECT frame;
  GetWindowRect(window, &frame);
  POINT place{frame.left + std::atoi(x), frame.top + std::atoi(y)};
  SetForegroundWindow(window);
  SetCursorPos(place.x, place.y);
  ScreenToClient(window, &place);
  const LPARAM at = MAKELPARAM(place.x, place.y);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
  Sleep(kSettleMs);
  return true;
}

// The window's rectangle on the screen, as the screen shows it.
QImage Grab(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  QImage image(width, height, QImage::Format_RGB32);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY | CAPTUREBLT);
  SelectObject(memory, previous);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const bool read =
      GetDIBits(memory, bitmap, 0, height, image.bits(), &info, DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return read ? image : QImage();
}

bool Shoot(HWND window, const char* path) {
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  Sleep(kSettleMs);
  const QImage image = Grab(window);
  if (!image.isNull() && image.save(QString::fromLocal8Bit(path), "PNG")) return true;
  std::fprintf(stderr, "window-shot: cannot write %s\n", path);
  return false;
}

bool Run(HWND window, const char* command, int count, char** args) {
  const std::string name = command;
  if (name == "wait" && count == 0) return true;
  if (name == "shot" && count == 1) return Shoot(window, args[0]);
  if (name == "click" && count == 2) return Click(window, args[0], args[1]);
  if (name == "close" && count == 0) return PostMessageW(window, WM_CLOSE, 0, 0) != 0;
  if (name == "command" && count == 1) {
    const bool posted =
        PostMessageW(window, WM_SYSCOMMAND, std::strtoul(args[0], nullptr, 10), 0) != 0;
    Sleep(kSettleMs);
    return posted;
  }
  if (name == "keys" && count > 0) {
    SetForegroundWindow(window);
    Sleep(kSettleMs);
    for (int i = 0; i < count; ++i) {
      if (!PressKey(window, args[i])) return false;
    }
    return true;
  }
  std::fprintf(stderr,
               "usage: window-shot <title> wait | keys <key>... | click <x> <y> | "
               "command <id> | shot <file.png> | close\n");
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Run(nullptr, "", 0, nullptr) ? 0 : 2;
  SetProcessDPIAware();
  HWND window = WaitForWindow(argv[1]);
  if (window == nullptr) return 1;
  return Run(window, argv[2], argc - 3, argv + 3) ? 0 : 1;
}

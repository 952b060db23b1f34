#pragma once

#include <windows.h>

// The screen density a window is drawn at. The program is per-monitor aware
// (its manifest), so each window has the density of its monitor; Windows
// before 10 (1607) lack the per-window calls, and there the screen's one
// density holds for every window.
namespace mirunea::win32 {

// The window's dots per inch: GetDpiForWindow where Windows has it, else
// the screen's LOGPIXELSY.
[[nodiscard]] int windowDpi(HWND window);

// A system metric at a density: GetSystemMetricsForDpi where Windows has it,
// else the metric at the system's density.
[[nodiscard]] int systemMetricForDpi(int index, int dpi);

} // namespace mirunea::win32

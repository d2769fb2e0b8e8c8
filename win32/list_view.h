// The program's report lists hold no items of their own (LVS_OWNERDATA): each
// cell's text is asked for when the list draws it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>

namespace win32 {

// Full-row selection and a column per header, each kCameraColumnWidth wide
// at 96 DPI, wider at the list's own DPI.
void addColumns(HWND list, std::span<const char* const> headers);
// The columns' widths at `dpi`, after the window moved to another monitor.
void scaleColumns(HWND list, int dpi);

// Answers LVN_GETDISPINFOW with `text(row, column)`; rows and columns the
// list asks for are not checked: `text` gives "" for those it lacks.
void showCell(NMLVDISPINFOW& request, const std::function<std::wstring(std::size_t row, std::size_t column)>& text);

}  // namespace win32

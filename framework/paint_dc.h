// CPaintDC: BeginPaint/EndPaint for one WM_PAINT, as a scoped object.
#pragma once

#include <windows.h>

class CPaintDC {
public:
    explicit CPaintDC(HWND hwnd) : m_hwnd(hwnd), m_hDC(BeginPaint(hwnd, &m_ps)) {}
    ~CPaintDC() { EndPaint(m_hwnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

private:
    PAINTSTRUCT m_ps{};
    HWND m_hwnd;
    HDC m_hDC;
};

#include "app/HeadlessView.h"

#include "platform/win32/Utf.h"

#include <cstdio>

void HeadlessView::SetWindowTitle(const std::u16string& title)
{
    std::lock_guard<std::mutex> hold(m_titleLock);
    if (title == m_title)
        return;
    m_title = title;
    const std::string line = Utf16ToUtf8(title) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

std::u16string HeadlessView::WindowTitle() const
{
    std::lock_guard<std::mutex> hold(m_titleLock);
    return m_title;
}

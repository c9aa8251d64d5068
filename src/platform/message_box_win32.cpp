#include "message_box_win32.h"

#include "app/app_record.h"
#include "text_win32.h"

#include "windows_api.h"

namespace korvane {

void Win32MessageBox::show(const std::string &text)
{
    MessageBoxW(GetActiveWindow(), widen(text).c_str(), widen(std::string(app::title)).c_str(),
        MB_OK | MB_SETFOREGROUND);
}

} // namespace korvane

// The text of a window or control as the person typed it: without the blanks around it.
#pragma once

#include <windows.h>

#include <string>

namespace velkan::runtime {

std::wstring TypedText(HWND control);

}  // namespace velkan::runtime

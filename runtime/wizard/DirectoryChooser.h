// The directory chooser of the install wizard, made from the "select a directory" template of the
// package's block: the folders of the current folder (".." to go up), the drives, and the name
// being chosen; a double click opens a folder. Its captions are the version's texts.
#pragma once

#include <windows.h>

#include <string>

namespace velkan::runtime {

struct DirectoryChooserTexts {
    std::wstring title;
    std::wstring nameLabel;
    std::wstring drivesLabel;
    std::wstring ok;
    std::wstring cancel;
};

// Shows the chooser over owner, starting from proposed; returns the directory chosen, or nothing
// when the person cancels.
std::wstring ChooseDirectory(HWND owner, const void* dialogTemplate,
                             const DirectoryChooserTexts& texts, const std::wstring& proposed);

}  // namespace velkan::runtime
